// Tables of the racing databases and their schema versions.
#include "data/schema.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <fcntl.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>
#include <system_error>

#include "data/code_masters.h"
#include "data/database.h"

namespace zelk {

namespace {

struct TColumn {
  std::string name;
  const char* type;  // "TEXT" or "INTEGER"
};

constexpr const char* kText = "TEXT";
constexpr const char* kInt = "INTEGER";

std::vector<TColumn> RaceTable() {
  return {{"データ区分", kText},
          {"データ作成年月日", kText},
          {"開催年月日", kText},
          {"競馬場コード", kText},
          {"レース番号", kInt},
          {"グレードコード", kText},
          {"競走種別コード", kInt},
          {"競走記号コード", kText},
          {"重量種別コード", kInt},
          {"競走条件コード最若年条件", kInt},
          {"距離", kInt},
          {"トラックコード", kInt},
          {"コース区分", kText},
          {"発走時刻", kText},
          {"登録頭数", kInt},
          {"出走頭数", kInt},
          {"天候コード", kInt},
          {"芝馬場状態コード", kText},
          {"ダート馬場状態コード", kText}};
}

std::vector<TColumn> EntryTable() {
  return {{"データ区分", kText}, {"データ作成年月日", kText}, {"開催年月日", kText}, {"競馬場コード", kText},
          {"レース番号", kInt},  {"枠番", kInt},               {"馬番", kInt},       {"血統登録番号", kInt},
          {"馬名", kText},       {"騎手コード", kInt},         {"異常区分コード", kInt}, {"確定着順", kInt}};
}

std::vector<TColumn> PayoutTable() {
  std::vector<TColumn> c = {{"データ区分", kText}, {"データ作成年月日", kText}, {"開催年月日", kText},
                            {"競馬場コード", kText}, {"開催回", kInt},         {"開催日目", kInt},
                            {"レース番号", kInt},    {"登録頭数", kInt},       {"出走頭数", kInt}};
  // The blank between 返還フラグ and the bet type is a full-width space.
  for (const char* bet : {"単勝", "複勝", "枠連", "馬連", "ワイド", "馬単", "3連複", "3連単"})
    c.push_back({std::string("返還フラグ　") + bet, kInt});
  for (int n = 1; n <= 28; ++n) c.push_back({"返還馬番情報" + std::to_string(n), kInt});
  for (int n = 1; n <= 8; ++n) c.push_back({"返還枠番情報" + std::to_string(n), kInt});
  for (int n = 1; n <= 8; ++n) c.push_back({"返還同枠情報" + std::to_string(n), kInt});
  struct TSlots {
    const char* bet;
    const char* what;  // 馬番 or 組番
    int count;
  };
  for (const TSlots& s : {TSlots{"単勝", "馬番", 3}, TSlots{"複勝", "馬番", 5}, TSlots{"枠連", "組番", 3},
                          TSlots{"馬連", "組番", 3}, TSlots{"ワイド", "組番", 7}, TSlots{"馬単", "組番", 6},
                          TSlots{"3連複", "組番", 3}, TSlots{"3連単", "組番", 6}})
    for (int n = 1; n <= s.count; ++n) {
      c.push_back({std::string(s.bet) + "払戻" + s.what + std::to_string(n), kText});
      c.push_back({std::string(s.bet) + "払戻払戻金" + std::to_string(n), kInt});
    }
  return c;
}

std::vector<std::string> Names(const std::vector<TColumn>& cols) {
  std::vector<std::string> n;
  for (const auto& c : cols) n.push_back(c.name);
  return n;
}

std::string CreateTableSql(const std::string& table, const std::vector<TColumn>& cols,
                           const std::vector<std::string>& keys) {
  std::string sql = "CREATE TABLE " + QuoteIdentifier(table) + " (";
  for (const auto& c : cols) {
    sql += QuoteIdentifier(c.name) + " " + c.type;
    for (const auto& k : keys)
      if (k == c.name) sql += " NOT NULL";
    sql += ", ";
  }
  sql += "PRIMARY KEY (";
  for (size_t i = 0; i < keys.size(); ++i) sql += (i ? ", " : "") + QuoteIdentifier(keys[i]);
  sql += ")) WITHOUT ROWID";
  return sql;
}

const std::vector<std::string> kRaceKey = {"開催年月日", "競馬場コード", "レース番号"};
const std::vector<std::string> kEntryKey = {"開催年月日", "競馬場コード", "レース番号", "馬番"};

void CreateVersionTable(SQLite::Database& db) {
  db.exec("CREATE TABLE schema_version (version INTEGER NOT NULL)");
  db.exec("INSERT INTO schema_version (version) VALUES (" + std::to_string(kSchemaVersion) + ")");
}

void BuildRaceDb(SQLite::Database& db) {
  db.exec(CreateTableSql("レース詳細", RaceTable(), kRaceKey));
  db.exec(CreateTableSql("払戻", PayoutTable(), kRaceKey));
}

void BuildRaceseDb(SQLite::Database& db) { db.exec(CreateTableSql("馬毎レース情報", EntryTable(), kEntryKey)); }

void BuildCodeDb(SQLite::Database& db) {
  for (const auto& master : CodeMasters()) {
    std::vector<TColumn> cols;
    for (const auto& name : master.columns) cols.push_back({name, kText});
    db.exec(CreateTableSql(master.table, cols, {master.columns.front()}));
    std::string sql = "INSERT INTO " + QuoteIdentifier(master.table) + " VALUES (";
    for (size_t i = 0; i < master.columns.size(); ++i) sql += (i ? ", ?" : "?");
    sql += ")";
    SQLite::Statement st(db, sql);
    for (const auto& row : master.rows) {
      st.reset();
      st.clearBindings();
      for (size_t i = 0; i < master.columns.size(); ++i)
        st.bind(static_cast<int>(i) + 1, i < row.size() ? row[i] : std::string());
      st.exec();
    }
  }
}

void SyncPath(const std::filesystem::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("ファイルを開けません: " + path.string());
  ::fsync(fd);
  ::close(fd);
}

// Builds one file under a temporary name and renames it into place, so that an interrupted
// creation never leaves a half-built database under the real name.
void BuildFile(const std::filesystem::path& file, const std::function<void(SQLite::Database&)>& build) {
  std::filesystem::path tmp = file;
  tmp += ".creating";
  std::filesystem::remove(tmp);
  try {
    {
      SQLite::Database db(tmp.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
      // The file is private until the rename: no rollback journal or syncing while it is built;
      // it is synced once before the rename.
      db.exec("PRAGMA journal_mode=MEMORY");
      db.exec("PRAGMA synchronous=OFF");
      SQLite::Transaction tr(db);
      CreateVersionTable(db);
      build(db);
      tr.commit();
      db.exec("PRAGMA journal_mode=WAL");  // kept in the file: connections use WAL from the start
    }
    SyncPath(tmp);
    std::filesystem::rename(tmp, file);
    SyncPath(file.parent_path());
  } catch (...) {
    std::error_code ec;
    std::filesystem::remove(tmp, ec);
    throw;
  }
}

// Upgrade steps: kUpgrades[v - 1] turns version v into v + 1. Version 1 is the first.
const std::vector<std::function<void(TConnection&)>>& Upgrades() {
  static const std::vector<std::function<void(TConnection&)>> steps = {};
  return steps;
}

}  // namespace

std::vector<std::string> RaceColumns() { return Names(RaceTable()); }
std::vector<std::string> EntryColumns() { return Names(EntryTable()); }
std::vector<std::string> PayoutColumns() { return Names(PayoutTable()); }

std::vector<std::filesystem::path> ExistingDatabaseFiles(const std::filesystem::path& dbDir) {
  std::vector<std::filesystem::path> found;
  for (const char* name : {kRaceDbFile, kRaceseDbFile, kCodeDbFile}) {
    std::error_code ec;
    if (std::filesystem::exists(dbDir / name, ec)) found.push_back(dbDir / name);
  }
  return found;
}

void CreateDatabases(const std::filesystem::path& dbDir) {
  auto existing = ExistingDatabaseFiles(dbDir);
  if (!existing.empty())
    throw std::runtime_error("データベースファイルが既に存在します: " + existing.front().string());
  std::filesystem::create_directories(dbDir);
  // All three or none: a failure removes the files this call has already made.
  std::vector<std::filesystem::path> made;
  try {
    BuildFile(dbDir / kRaceDbFile, BuildRaceDb);
    made.push_back(dbDir / kRaceDbFile);
    BuildFile(dbDir / kRaceseDbFile, BuildRaceseDb);
    made.push_back(dbDir / kRaceseDbFile);
    BuildFile(dbDir / kCodeDbFile, BuildCodeDb);
  } catch (...) {
    for (const auto& f : made) {
      std::error_code ec;
      std::filesystem::remove(f, ec);
    }
    throw;
  }
}

int SchemaVersionOf(TConnection& connection) {
  SQLite::Database& db = connection.Db();
  if (!db.tableExists("schema_version"))
    throw std::runtime_error("Zelkaroのデータベースではありません(schema_versionがありません): " +
                             connection.File().string());
  SQLite::Statement st(db, "SELECT MAX(version) FROM schema_version");
  if (!st.executeStep() || st.getColumn(0).isNull())
    throw std::runtime_error("データベースの版が読めません: " + connection.File().string());
  return st.getColumn(0).getInt();
}

void UpgradeDatabase(TConnection& connection) {
  int version = SchemaVersionOf(connection);
  if (version > kSchemaVersion)
    throw std::runtime_error("このプログラムより新しい版のデータベースです(版 " + std::to_string(version) +
                             "): " + connection.File().string());
  const auto& steps = Upgrades();
  while (version < kSchemaVersion) {
    TTransactionGuard guard(connection);
    steps[static_cast<size_t>(version - 1)](connection);
    ++version;
    SQLite::Statement st(connection.Db(), "UPDATE schema_version SET version = ?");
    st.bind(1, version);
    st.exec();
    guard.Commit();
  }
}

}  // namespace zelk
