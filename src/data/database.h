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
class TTable;

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

  // Opens the existing database file (never creates it), in WAL mode with synchronous=NORMAL
  // and a busy timeout so that a second connection to the same file waits instead of failing,
  // and brings its schema up to the current version. Throws std::runtime_error.
  void Connect(const std::filesystem::path& file);
  // Closes the file; an open transaction is rolled back. The table objects on this connection
  // forget their prepared statements.
  void Disconnect();
  bool Connected() const;
  const std::string& Name() const { return name_; }
  const std::filesystem::path& File() const { return file_; }

  // The open database. Throws std::runtime_error when not connected.
  SQLite::Database& Db();

  // One transaction at a time (BEGIN IMMEDIATE: the write lock is taken at once, so two
  // connections to one file never deadlock on a lock upgrade). BeginTrans throws when a
  // transaction is already open, CommitTrans when none is; a failed commit leaves the
  // transaction open for RollbackTrans. RollbackTrans without a transaction does nothing.
  void BeginTrans();
  void CommitTrans();
  void RollbackTrans();
  bool InTransaction() const { return inTransaction_; }

  // Runs one SQL text without parameters (schema work, pragmas). Throws on error.
  void Execute(const std::string& sql);

 private:
  friend class TTable;
  void Attach(TTable* table);
  void Detach(TTable* table);
  void ResetTables();

  std::string name_;
  std::filesystem::path file_;
  std::unique_ptr<SQLite::Database> db_;
  bool inTransaction_ = false;
  std::vector<TTable*> tables_;  // table objects whose statements live on db_
};

// Opens a transaction on the connection and rolls it back when the guard goes out of scope
// without Commit (an exception passed, or an early return).
class TTransactionGuard {
 public:
  explicit TTransactionGuard(TConnection& connection);
  ~TTransactionGuard();
  TTransactionGuard(const TTransactionGuard&) = delete;
  TTransactionGuard& operator=(const TTransactionGuard&) = delete;
  void Commit();

 private:
  TConnection& con_;
  bool done_ = false;
};

// A column or table name as an SQL identifier in double quotes (embedded quotes doubled).
std::string QuoteIdentifier(const std::string& name);

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
  // Every column in table order.
  const std::vector<std::string>& Columns();
  bool ReadOnly() const { return readOnly_; }

  // The row with exactly this primary key, or nothing.
  std::optional<TRow> Seek(const TKey& key);
  // Rows whose primary key is >= `from` (a full or partial key) in key order,
  // while their leading key columns equal the first `samePrefix` values of `from`.
  std::vector<TRow> ScanFrom(const TKey& from, size_t samePrefix);
  // Writes throw std::runtime_error on a read-only table object and for a column the table
  // does not have; Insert throws when a row with the same key exists.
  void Insert(const TRow& row);
  // Sets the given columns of the row with this key. Throws when no row has this key.
  void Update(const TKey& key, const TRow& changes);
  // Deletes the row with this key; no row is not an error.
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
