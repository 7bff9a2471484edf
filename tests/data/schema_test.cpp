#include "data/schema.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "data/database.h"
#include "temp_dir.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> TableColumns(TConnection& con, const std::string& table) {
  TTable t(con, table, true);
  return t.Columns();
}

size_t CountStartingWith(const std::vector<std::string>& cols, const std::string& prefix) {
  return static_cast<size_t>(
      std::count_if(cols.begin(), cols.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }));
}

TEST(SchemaTest, TablesHaveTheirColumnsInOrderAndKeys) {
  test::TTempDir dir;
  CreateDatabases(dir.path);
  TConnection race("conRace"), racese("conRacese");
  race.Connect(dir.path / "race.db");
  racese.Connect(dir.path / "racese.db");

  auto ra = TableColumns(race, "レース詳細");
  ASSERT_EQ(ra.size(), 19u);
  EXPECT_EQ(ra.front(), "データ区分");
  EXPECT_EQ(ra[9], "競走条件コード最若年条件");
  EXPECT_EQ(ra.back(), "ダート馬場状態コード");
  TTable raTable(race, "レース詳細");
  EXPECT_EQ(raTable.KeyColumns(), (std::vector<std::string>{"開催年月日", "競馬場コード", "レース番号"}));

  auto se = TableColumns(racese, "馬毎レース情報");
  EXPECT_EQ(se, EntryColumns());
  ASSERT_EQ(se.size(), 12u);
  EXPECT_EQ(se[6], "馬番");
  EXPECT_EQ(se.back(), "確定着順");

  auto hr = TableColumns(race, "払戻");
  EXPECT_EQ(hr, PayoutColumns());
  EXPECT_EQ(hr.size(), 133u);
  EXPECT_EQ(hr[9], "返還フラグ　単勝");  // full-width space
  EXPECT_EQ(CountStartingWith(hr, "返還フラグ　"), 8u);
  EXPECT_EQ(CountStartingWith(hr, "返還馬番情報"), 28u);
  EXPECT_EQ(CountStartingWith(hr, "返還枠番情報"), 8u);
  EXPECT_EQ(CountStartingWith(hr, "返還同枠情報"), 8u);
  const std::vector<std::pair<std::string, size_t>> slots = {{"単勝払戻", 3}, {"複勝払戻", 5},  {"枠連払戻", 3},
                                                             {"馬連払戻", 3}, {"ワイド払戻", 7}, {"馬単払戻", 6},
                                                             {"3連複払戻", 3}, {"3連単払戻", 6}};
  for (const auto& [bet, n] : slots) {
    EXPECT_EQ(CountStartingWith(hr, bet), 2 * n) << bet;
    EXPECT_NE(std::find(hr.begin(), hr.end(), bet + "払戻金" + std::to_string(n)), hr.end()) << bet;
  }
  // Each payout follows its horse or combination text.
  auto at = std::find(hr.begin(), hr.end(), "ワイド払戻組番7");
  ASSERT_NE(at, hr.end());
  EXPECT_EQ(*(at + 1), "ワイド払戻払戻金7");

  // Column types: dates and codes text, numbers and yen integer.
  SQLite::Statement st(race.Db(), "SELECT name, type FROM pragma_table_info('払戻')");
  while (st.executeStep()) {
    std::string name = st.getColumn(0).getString(), type = st.getColumn(1).getString();
    bool text = name == "データ区分" || name.find("年月日") != std::string::npos || name == "競馬場コード" ||
                (name.find("馬番") != std::string::npos && name.find("払戻") != std::string::npos) ||
                name.find("組番") != std::string::npos;
    EXPECT_EQ(type, text ? "TEXT" : "INTEGER") << name;
  }
}

TEST(SchemaTest, CreateRefusesWhenAnyFileExistsAndLeavesItAlone) {
  test::TTempDir dir;
  { std::ofstream(dir.path / "racese.db") << "keep"; }
  EXPECT_THROW(CreateDatabases(dir.path), std::runtime_error);
  EXPECT_FALSE(fs::exists(dir.path / "race.db"));
  EXPECT_FALSE(fs::exists(dir.path / "code.db"));
  EXPECT_EQ(fs::file_size(dir.path / "racese.db"), 4u);

  test::TTempDir second;
  CreateDatabases(second.path);
  EXPECT_THROW(CreateDatabases(second.path), std::runtime_error);
}

TEST(SchemaTest, VersionIsCheckedAtConnect) {
  test::TTempDir dir;
  CreateDatabases(dir.path);
  TConnection con("conRace");
  con.Connect(dir.path / "race.db");
  EXPECT_EQ(SchemaVersionOf(con), kSchemaVersion);
  con.Execute("UPDATE schema_version SET version = " + std::to_string(kSchemaVersion + 1));
  con.Disconnect();
  EXPECT_THROW(con.Connect(dir.path / "race.db"), std::runtime_error);  // written by a newer program
  EXPECT_FALSE(con.Connected());

  {
    SQLite::Database foreign((dir.path / "other.db").string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    foreign.exec("CREATE TABLE t (a)");
  }
  EXPECT_THROW(con.Connect(dir.path / "other.db"), std::runtime_error);
}

TEST(SchemaTest, CodeMastersHoldThePublishedCodes) {
  test::TTempDir dir;
  CreateDatabases(dir.path);
  TConnection code("conCode");
  code.Connect(dir.path / "code.db");
  struct TCase {
    const char* table;
    const char* code;
    const char* column;
    const char* value;
  };
  const TCase cases[] = {
      {"競馬場コード", "05", "場略名(3文字)", "東京"},
      {"競馬場コード", "33", "場略名(3文字)", "帯広"},
      {"競馬場コード", "83", "場略名(3文字)", "帯広"},
      {"競馬場コード", "44", "場略名(3文字)", "大井"},
      {"コンボ用競馬場コード", "10", "場略名(3文字)", "小倉"},
      {"競走種別コード", "13", "略名(6文字)", "３歳以上"},
      {"競走種別コード", "18", "略名(8文字)", "障害３歳以上"},
      {"競走条件コード", "005", "名称", "１勝クラス"},
      {"競走条件コード", "703", "名称", "未勝利"},
      {"重量種別コード", "1", "名称", "ハンデ"},
      {"グレードコード", "A", "名称", "Ｇ１"},
      {"馬場状態コード", "2", "名称", "稍重"},
      {"天候コード", "3", "名称", "雨"},
      {"トラックコード", "17", "名称", "芝・右回り"},
      {"競走記号コード", "A00", "名称", "(混合)"},
  };
  for (const auto& c : cases) {
    TTable t(code, c.table, true);
    auto row = t.Seek({std::string(c.code)});
    ASSERT_TRUE(row) << c.table << " " << c.code;
    EXPECT_EQ(row->Text(c.column), c.value) << c.table << " " << c.code;
  }
  TTable keibajo(code, "競馬場コード", true);
  EXPECT_EQ(keibajo.ScanFrom({std::string("00")}, 0).size(), 46u);
}

}  // namespace
}  // namespace zelk
