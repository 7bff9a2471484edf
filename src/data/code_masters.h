#pragma once
// The data provider's published code tables as the rows of the code master tables of
// db/code.db. Every column is text; the first column is the code and the key.
#include <string>
#include <vector>

namespace zelk {

struct TCodeMaster {
  std::string table;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

const std::vector<TCodeMaster>& CodeMasters();

}  // namespace zelk
