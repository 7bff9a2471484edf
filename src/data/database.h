#pragma once
// The racing database module: SQLite files db/race.db, db/racese.db and db/code.db holding the
// tables レース詳細, 払戻 (race.db), 馬毎レース情報 (racese.db) and the code masters (code.db),
// with their Japanese column names and primary keys. Dates are 'YYYY-MM-DD' text.
//
// Values pass through bound parameters only; table and column names come from the fixed
// schema, never from user text.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace SQLite {
class Database;
}

namespace zelk {

class TErrorLog;
class IDialogs;

// A column value: Null, integer (also booleans, bytes, currency in whole yen), real, or text.
using TValue = std::variant<std::monostate, long long, double, std::string>;
// Primary-key values in key order (race date as 'YYYY-MM-DD' text, racecourse code text,
// race number and horse number as integers).
using TKey = std::vector<TValue>;

// One row: column name -> value, in the order set.
class TRow {
 public:
  void Set(const std::string& column, TValue value);
  const TValue* Get(const std::string& column) const;
  bool Has(const std::string& column) const { return Get(column) != nullptr; }
  bool IsNull(const std::string& column) const;
  std::string Text(const std::string& column) const;  // "" for Null or missing
  long long Int(const std::string& column) const;     // 0 for Null, missing or unreadable
  const std::vector<std::pair<std::string, TValue>>& Values() const { return values_; }

 private:
  std::vector<std::pair<std::string, TValue>> values_;
};

// One connection to one database file. Several connections to one file are normal
// (bulk import and real-time import use separate ones).
class TConnection {
 public:
  explicit TConnection(std::string name);
  ~TConnection();
  TConnection(const TConnection&) = delete;
  TConnection& operator=(const TConnection&) = delete;

  // Opens the existing database file (never creates it). Throws std::runtime_error.
  void Connect(const std::filesystem::path& file);
  void Disconnect();
  bool Connected() const;
  const std::string& Name() const { return name_; }
  const std::filesystem::path& File() const { return file_; }

  // The open database. Throws std::runtime_error when not connected.
  SQLite::Database& Db();

  void BeginTrans();
  void CommitTrans();
  void RollbackTrans();
  bool InTransaction() const { return inTransaction_; }

 private:
  std::string name_;
  std::filesystem::path file_;
  std::unique_ptr<SQLite::Database> db_;
  bool inTransaction_ = false;
};

// A table object on a connection: seek by primary key, forward scan from a key,
// insert, update and delete. Read-only table objects refuse to write.
class TTable {
 public:
  TTable(TConnection& connection, std::string tableName, bool readOnly = false);
  ~TTable();
  TTable(const TTable&) = delete;
  TTable& operator=(const TTable&) = delete;

  const std::string& TableName() const { return table_; }
  TConnection& Connection() { return con_; }
  // Primary-key columns in key order (read from the database schema).
  const std::vector<std::string>& KeyColumns();

  // The row with exactly this primary key, or nothing.
  std::optional<TRow> Seek(const TKey& key);
  // Rows whose primary key is >= `from` (a full or partial key) in key order,
  // while their leading key columns equal the first `samePrefix` values of `from`.
  std::vector<TRow> ScanFrom(const TKey& from, size_t samePrefix);
  void Insert(const TRow& row);
  // Sets the given columns of the row with this key.
  void Update(const TKey& key, const TRow& changes);
  void Delete(const TKey& key);

  // Forgets cached statements (after the connection was reconnected).
  void Reset();

 private:
  struct Impl;
  TConnection& con_;
  std::string table_;
  bool readOnly_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace zelk
