// Connections and table objects over SQLite (SQLiteCpp). Each table object prepares its
// statements once and keeps them until its connection is closed or reconnected, so that
// the bulk import runs seek + insert/update by primary key without parsing SQL per record.
#include "data/database.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "data/schema.h"

namespace zelk {

// ---- TRow ----

void TRow::Set(const std::string& column, TValue value) {
  for (auto& [name, v] : values_)
    if (name == column) {
      v = std::move(value);
      return;
    }
  values_.emplace_back(column, std::move(value));
}

const TValue* TRow::Get(const std::string& column) const {
  for (const auto& [name, v] : values_)
    if (name == column) return &v;
  return nullptr;
}

bool TRow::IsNull(const std::string& column) const {
  const TValue* v = Get(column);
  return v == nullptr || std::holds_alternative<std::monostate>(*v);
}

std::string TRow::Text(const std::string& column) const {
  const TValue* v = Get(column);
  if (v == nullptr) return {};
  if (const auto* s = std::get_if<std::string>(v)) return *s;
  if (const auto* i = std::get_if<long long>(v)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(v)) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", *d);
    return buf;
  }
  return {};
}

long long TRow::Int(const std::string& column) const {
  const TValue* v = Get(column);
  if (v == nullptr) return 0;
  if (const auto* i = std::get_if<long long>(v)) return *i;
  if (const auto* d = std::get_if<double>(v)) return static_cast<long long>(*d);
  if (const auto* s = std::get_if<std::string>(v)) {
    size_t b = s->find_first_not_of(' ');
    size_t e = s->find_last_not_of(' ');
    if (b == std::string::npos) return 0;
    long long out = 0;
    const char* first = s->data() + b;
    const char* last = s->data() + e + 1;
    if (*first == '+') ++first;
    auto [p, ec] = std::from_chars(first, last, out);
    if (ec != std::errc() || p != last) return 0;
    return out;
  }
  return 0;
}

// ---- helpers ----

std::string QuoteIdentifier(const std::string& name) {
  std::string q = "\"";
  for (char c : name) {
    if (c == '"') q += '"';
    q += c;
  }
  q += '"';
  return q;
}

namespace {

void BindValue(SQLite::Statement& st, int index, const TValue& value) {
  if (const auto* i = std::get_if<long long>(&value))
    st.bind(index, static_cast<int64_t>(*i));
  else if (const auto* d = std::get_if<double>(&value))
    st.bind(index, *d);
  else if (const auto* s = std::get_if<std::string>(&value))
    st.bind(index, *s);
  else
    st.bind(index);
}

TValue ColumnValue(const SQLite::Column& c) {
  switch (c.getType()) {
    case SQLITE_INTEGER:
      return static_cast<long long>(c.getInt64());
    case SQLITE_FLOAT:
      return c.getDouble();
    case SQLITE_TEXT:
    case SQLITE_BLOB:
      return c.getString();
    default:
      return std::monostate{};
  }
}

TRow ReadRow(SQLite::Statement& st, const std::vector<std::string>& names) {
  TRow row;
  const int n = st.getColumnCount();
  for (int i = 0; i < n; ++i) row.Set(names[static_cast<size_t>(i)], ColumnValue(st.getColumn(i)));
  return row;
}

}  // namespace

// ---- TConnection ----

TConnection::TConnection(std::string name) : name_(std::move(name)) {}

TConnection::~TConnection() {
  try {
    Disconnect();
  } catch (...) {
  }
}

void TConnection::Connect(const std::filesystem::path& file) {
  Disconnect();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec))
    throw std::runtime_error("データベースファイルが存在しません: " + file.string());
  auto db = std::make_unique<SQLite::Database>(file.string(), SQLite::OPEN_READWRITE);
  db->setBusyTimeout(10000);
  db->exec("PRAGMA journal_mode=WAL");
  db->exec("PRAGMA synchronous=NORMAL");
  db_ = std::move(db);
  file_ = file;
  try {
    UpgradeDatabase(*this);
  } catch (...) {
    db_.reset();
    file_.clear();
    throw;
  }
}

void TConnection::Disconnect() {
  ResetTables();
  if (db_ && inTransaction_) {
    try {
      db_->exec("ROLLBACK");
    } catch (...) {
    }
  }
  inTransaction_ = false;
  db_.reset();
}

bool TConnection::Connected() const { return db_ != nullptr; }

SQLite::Database& TConnection::Db() {
  if (!db_) throw std::runtime_error("データベースに接続されていません: " + name_);
  return *db_;
}

void TConnection::Execute(const std::string& sql) { Db().exec(sql); }

void TConnection::BeginTrans() {
  if (inTransaction_) throw std::runtime_error("トランザクションは既に開始されています: " + name_);
  Db().exec("BEGIN IMMEDIATE");
  inTransaction_ = true;
}

void TConnection::CommitTrans() {
  if (!inTransaction_) throw std::runtime_error("トランザクションが開始されていません: " + name_);
  Db().exec("COMMIT");
  inTransaction_ = false;
}

void TConnection::RollbackTrans() {
  if (!inTransaction_) return;
  inTransaction_ = false;
  if (db_ && sqlite3_get_autocommit(db_->getHandle()) == 0) db_->exec("ROLLBACK");
}

void TConnection::Attach(TTable* table) { tables_.push_back(table); }

void TConnection::Detach(TTable* table) {
  tables_.erase(std::remove(tables_.begin(), tables_.end(), table), tables_.end());
}

void TConnection::ResetTables() {
  for (TTable* t : tables_) t->Reset();
}

// ---- TTransactionGuard ----

TTransactionGuard::TTransactionGuard(TConnection& connection) : con_(connection) { con_.BeginTrans(); }

TTransactionGuard::~TTransactionGuard() {
  if (done_) return;
  try {
    con_.RollbackTrans();
  } catch (...) {
  }
}

void TTransactionGuard::Commit() {
  con_.CommitTrans();
  done_ = true;
}

// ---- TTable ----

struct TTable::Impl {
  bool described = false;
  std::vector<std::string> columns;
  std::unordered_set<std::string> columnSet;
  std::vector<std::string> keys;
  std::unique_ptr<SQLite::Statement> seek;
  std::unique_ptr<SQLite::Statement> del;
  // Scans by (key values given, prefix that must match), inserts and updates by column list.
  std::unordered_map<size_t, std::unique_ptr<SQLite::Statement>> scans;
  std::unordered_map<std::string, std::unique_ptr<SQLite::Statement>> inserts;
  std::unordered_map<std::string, std::unique_ptr<SQLite::Statement>> updates;
  // Column names of SELECT * in table order, shared by every row read.
  std::vector<std::string> selectNames;
};

TTable::TTable(TConnection& connection, std::string tableName, bool readOnly)
    : con_(connection), table_(std::move(tableName)), readOnly_(readOnly), impl_(std::make_unique<Impl>()) {
  con_.Attach(this);
}

TTable::~TTable() { con_.Detach(this); }

void TTable::Reset() { impl_ = std::make_unique<Impl>(); }

namespace {

void Describe(SQLite::Database& db, const std::string& table, std::vector<std::string>& columns,
              std::vector<std::string>& keys) {
  SQLite::Statement st(db, "SELECT name, pk FROM pragma_table_info(?) ORDER BY cid");
  st.bind(1, table);
  std::vector<std::pair<int, std::string>> pk;
  while (st.executeStep()) {
    columns.push_back(st.getColumn(0).getString());
    int k = st.getColumn(1).getInt();
    if (k > 0) pk.emplace_back(k, columns.back());
  }
  if (columns.empty()) throw std::runtime_error("テーブルが存在しません: " + table);
  std::sort(pk.begin(), pk.end());
  for (auto& [k, name] : pk) keys.push_back(name);
}

std::string KeyWhere(const std::vector<std::string>& keys, size_t count, int firstParam) {
  std::string w;
  for (size_t i = 0; i < count; ++i) {
    if (i) w += " AND ";
    w += QuoteIdentifier(keys[i]) + "=?" + std::to_string(firstParam + static_cast<int>(i));
  }
  return w;
}

std::string KeyOrder(const std::vector<std::string>& keys) {
  std::string o;
  for (size_t i = 0; i < keys.size(); ++i) {
    if (i) o += ", ";
    o += QuoteIdentifier(keys[i]);
  }
  return o;
}

}  // namespace

const std::vector<std::string>& TTable::KeyColumns() {
  if (!impl_->described) {
    Describe(con_.Db(), table_, impl_->columns, impl_->keys);
    impl_->columnSet.insert(impl_->columns.begin(), impl_->columns.end());
    impl_->selectNames = impl_->columns;
    impl_->described = true;
  }
  return impl_->keys;
}

const std::vector<std::string>& TTable::Columns() {
  KeyColumns();
  return impl_->columns;
}

std::optional<TRow> TTable::Seek(const TKey& key) {
  const auto& keys = KeyColumns();
  if (key.size() != keys.size())
    throw std::runtime_error("主キーの値の数が違います: " + table_);
  if (!impl_->seek)
    impl_->seek = std::make_unique<SQLite::Statement>(
        con_.Db(), "SELECT * FROM " + QuoteIdentifier(table_) + " WHERE " + KeyWhere(keys, keys.size(), 1));
  SQLite::Statement& st = *impl_->seek;
  st.reset();
  st.clearBindings();
  for (size_t i = 0; i < key.size(); ++i) BindValue(st, static_cast<int>(i) + 1, key[i]);
  std::optional<TRow> row;
  try {
    if (st.executeStep()) row = ReadRow(st, impl_->selectNames);
  } catch (...) {
    st.tryReset();
    throw;
  }
  st.reset();
  return row;
}

std::vector<TRow> TTable::ScanFrom(const TKey& from, size_t samePrefix) {
  const auto& keys = KeyColumns();
  if (from.empty() || from.size() > keys.size() || samePrefix > from.size())
    throw std::runtime_error("走査キーが正しくありません: " + table_);
  const size_t cacheKey = from.size() * 64 + samePrefix;
  auto& slot = impl_->scans[cacheKey];
  if (!slot) {
    // (k1, …, km) >= (?1, …, ?m) in key order, with the first samePrefix columns fixed.
    std::string lhs = "(", rhs = "(";
    for (size_t i = 0; i < from.size(); ++i) {
      if (i) lhs += ", ", rhs += ", ";
      lhs += QuoteIdentifier(keys[i]);
      rhs += "?" + std::to_string(i + 1);
    }
    std::string sql = "SELECT * FROM " + QuoteIdentifier(table_) + " WHERE " + lhs + ") >= " + rhs + ")";
    if (samePrefix) sql += " AND " + KeyWhere(keys, samePrefix, 1);
    sql += " ORDER BY " + KeyOrder(keys);
    slot = std::make_unique<SQLite::Statement>(con_.Db(), sql);
  }
  SQLite::Statement& st = *slot;
  st.reset();
  st.clearBindings();
  for (size_t i = 0; i < from.size(); ++i) BindValue(st, static_cast<int>(i) + 1, from[i]);
  std::vector<TRow> rows;
  try {
    while (st.executeStep()) rows.push_back(ReadRow(st, impl_->selectNames));
  } catch (...) {
    st.tryReset();
    throw;
  }
  st.reset();
  return rows;
}

namespace {

void RequireWritable(bool readOnly, const std::string& table) {
  if (readOnly) throw std::runtime_error("読み取り専用のテーブルには書き込めません: " + table);
}

std::string Signature(const TRow& row) {
  std::string sig;
  for (const auto& [name, v] : row.Values()) {
    sig += name;
    sig += '\x1f';
  }
  return sig;
}

void RunWrite(SQLite::Statement& st) {
  try {
    st.exec();
  } catch (...) {
    st.tryReset();
    throw;
  }
  st.reset();
}

}  // namespace

void TTable::Insert(const TRow& row) {
  RequireWritable(readOnly_, table_);
  KeyColumns();
  if (row.Values().empty()) throw std::runtime_error("挿入する列がありません: " + table_);
  auto& slot = impl_->inserts[Signature(row)];
  if (!slot) {
    std::string cols, params;
    int n = 0;
    for (const auto& [name, v] : row.Values()) {
      if (!impl_->columnSet.count(name)) throw std::runtime_error("列が存在しません: " + table_ + "." + name);
      if (n) cols += ", ", params += ", ";
      cols += QuoteIdentifier(name);
      params += "?" + std::to_string(++n);
    }
    slot = std::make_unique<SQLite::Statement>(
        con_.Db(), "INSERT INTO " + QuoteIdentifier(table_) + " (" + cols + ") VALUES (" + params + ")");
  }
  SQLite::Statement& st = *slot;
  st.clearBindings();
  int i = 0;
  for (const auto& [name, v] : row.Values()) BindValue(st, ++i, v);
  RunWrite(st);
}

void TTable::Update(const TKey& key, const TRow& changes) {
  RequireWritable(readOnly_, table_);
  const auto& keys = KeyColumns();
  if (key.size() != keys.size()) throw std::runtime_error("主キーの値の数が違います: " + table_);
  if (changes.Values().empty()) return;
  auto& slot = impl_->updates[Signature(changes)];
  const int n = static_cast<int>(changes.Values().size());
  if (!slot) {
    std::string sets;
    int i = 0;
    for (const auto& [name, v] : changes.Values()) {
      if (!impl_->columnSet.count(name)) throw std::runtime_error("列が存在しません: " + table_ + "." + name);
      if (i) sets += ", ";
      sets += QuoteIdentifier(name) + "=?" + std::to_string(++i);
    }
    slot = std::make_unique<SQLite::Statement>(con_.Db(), "UPDATE " + QuoteIdentifier(table_) + " SET " + sets +
                                                              " WHERE " + KeyWhere(keys, keys.size(), n + 1));
  }
  SQLite::Statement& st = *slot;
  st.clearBindings();
  int i = 0;
  for (const auto& [name, v] : changes.Values()) BindValue(st, ++i, v);
  for (size_t k = 0; k < key.size(); ++k) BindValue(st, n + 1 + static_cast<int>(k), key[k]);
  RunWrite(st);
  if (sqlite3_changes(con_.Db().getHandle()) == 0)
    throw std::runtime_error("更新する行が存在しません: " + table_);
}

void TTable::Delete(const TKey& key) {
  RequireWritable(readOnly_, table_);
  const auto& keys = KeyColumns();
  if (key.size() != keys.size()) throw std::runtime_error("主キーの値の数が違います: " + table_);
  if (!impl_->del)
    impl_->del = std::make_unique<SQLite::Statement>(
        con_.Db(), "DELETE FROM " + QuoteIdentifier(table_) + " WHERE " + KeyWhere(keys, keys.size(), 1));
  SQLite::Statement& st = *impl_->del;
  st.clearBindings();
  for (size_t i = 0; i < key.size(); ++i) BindValue(st, static_cast<int>(i) + 1, key[i]);
  RunWrite(st);
}

}  // namespace zelk
