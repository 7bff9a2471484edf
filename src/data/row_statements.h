#pragma once
// Prepared statements that write one racing table by primary key: the seek of the two columns
// every reflection rule needs (データ区分, データ作成年月日), insert, update and delete. Values
// pass through bound parameters only; table and column names come from the fixed schema.
//
// The statements are prepared on the connection's current handle and prepared again when the
// connection was reconnected. Release() finalizes them; the record writers release them when
// a record kind is closed, so no statement outlives the span in which its connection is known
// to stay open.
#include <optional>
#include <string>
#include <vector>

#include "data/database.h"

struct sqlite3;
struct sqlite3_stmt;

namespace zelk {

class TRowStatements {
 public:
  TRowStatements(TConnection& connection, std::string table, std::vector<std::string> columns,
                 std::vector<std::string> keyColumns);
  ~TRowStatements();
  TRowStatements(const TRowStatements&) = delete;
  TRowStatements& operator=(const TRowStatements&) = delete;

  struct TStored {
    std::string dataKind;
    std::string created;  // 'YYYY-MM-DD', empty when Null
  };
  std::optional<TStored> Seek(const TKey& key);
  // `values` in the order of the columns given at construction. Throw std::runtime_error.
  void Insert(const std::vector<TValue>& values);
  // Fails when no row has the key.
  void Update(const TKey& key, const std::vector<TValue>& values);
  void Delete(const TKey& key);

  void Release();

 private:
  void Prepare();
  void Step(sqlite3_stmt* st, bool expectChange);

  TConnection& con_;
  std::string table_;
  std::vector<std::string> columns_, keys_;
  std::vector<size_t> updated_;  // columns set by the update: all but the key
  sqlite3* handle_ = nullptr;
  sqlite3_stmt* seek_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
  sqlite3_stmt* update_ = nullptr;
  sqlite3_stmt* delete_ = nullptr;
};

}  // namespace zelk
