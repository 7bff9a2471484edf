#include "data/row_statements.h"

#include <SQLiteCpp/Database.h>
#include <sqlite3.h>

#include <algorithm>
#include <stdexcept>

namespace zelk {

namespace {

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

sqlite3_stmt* PrepareText(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &st, nullptr) !=
      SQLITE_OK)
    throw std::runtime_error(std::string(sqlite3_errmsg(db)) + ": " + sql);
  return st;
}

void Bind(sqlite3_stmt* st, int index, const TValue& v) {
  int rc;
  if (const auto* i = std::get_if<long long>(&v))
    rc = sqlite3_bind_int64(st, index, *i);
  else if (const auto* d = std::get_if<double>(&v))
    rc = sqlite3_bind_double(st, index, *d);
  else if (const auto* s = std::get_if<std::string>(&v))
    // The values outlive the step that reads them.
    rc = sqlite3_bind_text(st, index, s->data(), static_cast<int>(s->size()), SQLITE_STATIC);
  else
    rc = sqlite3_bind_null(st, index);
  if (rc != SQLITE_OK) throw std::runtime_error(sqlite3_errstr(rc));
}

std::string ColumnText(sqlite3_stmt* st, int i) {
  const unsigned char* p = sqlite3_column_text(st, i);
  return p ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(st, i))) : "";
}

}  // namespace

TRowStatements::TRowStatements(TConnection& connection, std::string table, std::vector<std::string> columns,
                               std::vector<std::string> keyColumns)
    : con_(connection), table_(std::move(table)), columns_(std::move(columns)), keys_(std::move(keyColumns)) {}

TRowStatements::~TRowStatements() { Release(); }

void TRowStatements::Release() {
  for (sqlite3_stmt** st : {&seek_, &insert_, &update_, &delete_}) {
    sqlite3_finalize(*st);
    *st = nullptr;
  }
  handle_ = nullptr;
}

void TRowStatements::Prepare() {
  sqlite3* db = con_.Db().getHandle();
  if (db == handle_) return;
  Release();
  std::string where;
  for (size_t k = 0; k < keys_.size(); ++k) where += (k ? " AND " : " WHERE ") + Quoted(keys_[k]) + "=?";
  std::string cols, params, sets;
  updated_.clear();
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (i) cols += ", ", params += ", ";
    cols += Quoted(columns_[i]);
    params += "?";
    // The key columns keep their values: leaving them out spares the index maintenance.
    if (std::find(keys_.begin(), keys_.end(), columns_[i]) != keys_.end()) continue;
    if (!sets.empty()) sets += ", ";
    sets += Quoted(columns_[i]) + "=?";
    updated_.push_back(i);
  }
  seek_ = PrepareText(db, "SELECT \"データ区分\", \"データ作成年月日\" FROM " + Quoted(table_) + where);
  insert_ = PrepareText(db, "INSERT INTO " + Quoted(table_) + " (" + cols + ") VALUES (" + params + ")");
  update_ = PrepareText(db, "UPDATE " + Quoted(table_) + " SET " + sets + where);
  delete_ = PrepareText(db, "DELETE FROM " + Quoted(table_) + where);
  handle_ = db;
}

void TRowStatements::Step(sqlite3_stmt* st, bool expectChange) {
  int rc = sqlite3_step(st);
  sqlite3_reset(st);
  if (rc != SQLITE_DONE) throw std::runtime_error(std::string(sqlite3_errmsg(handle_)) + ": " + table_);
  if (expectChange && sqlite3_changes(handle_) == 0) throw std::runtime_error("更新する行が存在しません: " + table_);
}

std::optional<TRowStatements::TStored> TRowStatements::Seek(const TKey& key) {
  Prepare();
  if (key.size() != keys_.size()) throw std::runtime_error("主キーの値の数が違います: " + table_);
  sqlite3_reset(seek_);
  for (size_t k = 0; k < key.size(); ++k) Bind(seek_, static_cast<int>(k) + 1, key[k]);
  int rc = sqlite3_step(seek_);
  std::optional<TStored> stored;
  if (rc == SQLITE_ROW) {
    stored.emplace();
    stored->dataKind = ColumnText(seek_, 0);
    stored->created = ColumnText(seek_, 1);
    rc = SQLITE_DONE;
  }
  sqlite3_reset(seek_);
  if (rc != SQLITE_DONE) throw std::runtime_error(std::string(sqlite3_errmsg(handle_)) + ": " + table_);
  return stored;
}

void TRowStatements::Insert(const std::vector<TValue>& values) {
  Prepare();
  if (values.size() != columns_.size()) throw std::runtime_error("列の数が違います: " + table_);
  sqlite3_reset(insert_);
  for (size_t i = 0; i < values.size(); ++i) Bind(insert_, static_cast<int>(i) + 1, values[i]);
  Step(insert_, false);
}

void TRowStatements::Update(const TKey& key, const std::vector<TValue>& values) {
  Prepare();
  if (values.size() != columns_.size() || key.size() != keys_.size())
    throw std::runtime_error("列の数が違います: " + table_);
  sqlite3_reset(update_);
  int n = 0;
  for (size_t i : updated_) Bind(update_, ++n, values[i]);
  for (const auto& k : key) Bind(update_, ++n, k);
  Step(update_, true);
}

void TRowStatements::Delete(const TKey& key) {
  Prepare();
  if (key.size() != keys_.size()) throw std::runtime_error("主キーの値の数が違います: " + table_);
  sqlite3_reset(delete_);
  for (size_t k = 0; k < key.size(); ++k) Bind(delete_, static_cast<int>(k) + 1, key[k]);
  Step(delete_, false);
}

}  // namespace zelk
