#include "data/data_module.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "common/error_log.h"
#include "data/schema.h"
#include "support/fakes.h"
#include "temp_dir.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

class DataModuleTest : public ::testing::Test {
 protected:
  DataModuleTest() : log(home.path, false, clock, &dialogs) { CreateDatabases(home.path / "db"); }
  test::TTempDir home{"zelk_dmd"};
  test::TFakeClock clock;
  test::TRecordingDialogs dialogs;
  TErrorLog log;
  TdmdOV dmd;
};

TEST_F(DataModuleTest, ConfigureConnectsAllFiveAndLogsTheOperation) {
  EXPECT_FALSE(dmd.conRace.Connected());
  dmd.ConfigureDatabases(home.path / "db", log, dialogs);
  for (TConnection* c : {&dmd.conRace, &dmd.conRacese, &dmd.conCode, &dmd.conSokuhoRace, &dmd.conSokuhoRacese})
    EXPECT_TRUE(c->Connected()) << c->Name();
  EXPECT_TRUE(dialogs.shown.empty());
  ASSERT_EQ(log.Entries().size(), 1u);
  EXPECT_EQ(log.Entries()[0], "2024/05/12 10:00:00 [メインフォーム] DB設定");
}

TEST_F(DataModuleTest, MissingCodeFileIsReportedOnceAndTheOthersConnect) {
  fs::remove(home.path / "db" / "code.db");
  dmd.ConfigureDatabases(home.path / "db", log, dialogs);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, TDialogKind::Error);
  EXPECT_EQ(dialogs.shown[0].text, "指定されたデータベースファイルが存在しません ： Code");
  EXPECT_FALSE(dmd.conCode.Connected());
  EXPECT_FALSE(fs::exists(home.path / "db" / "code.db"));
  for (TConnection* c : {&dmd.conRace, &dmd.conRacese, &dmd.conSokuhoRace, &dmd.conSokuhoRacese})
    EXPECT_TRUE(c->Connected()) << c->Name();
}

TEST_F(DataModuleTest, BrokenFileIsLoggedAsAnExceptionAndStartUpGoesOn) {
  { std::ofstream(home.path / "db" / "race.db", std::ios::trunc) << "not a database file at all, not at all"; }
  dmd.ConfigureDatabases(home.path / "db", log, dialogs);
  ASSERT_EQ(log.Entries().size(), 2u);
  EXPECT_NE(log.Entries()[1].find("エラー : -999\r\n処理 : メインフォーム - データベース設定\r\n内容 : "),
            std::string::npos);
  EXPECT_TRUE(log.Entries()[1].ends_with("\r\n詳細 : "));
  EXPECT_FALSE(dmd.conRace.Connected());
}

TEST_F(DataModuleTest, RefRaceJoinsCodeNamesAndRefusesWrites) {
  dmd.ConfigureDatabases(home.path / "db", log, dialogs);
  TRow ra;
  ra.Set("開催年月日", std::string("2024-05-12"));
  ra.Set("競馬場コード", std::string("05"));
  ra.Set("レース番号", 11LL);
  ra.Set("競走種別コード", 13LL);
  ra.Set("競走条件コード最若年条件", 5LL);
  ra.Set("重量種別コード", 4LL);
  dmd.tblRA.Insert(ra);
  ra.Set("競馬場コード", std::string("99"));
  ra.Set("競走条件コード最若年条件", 0LL);
  ra.Set("レース番号", 1LL);
  dmd.tblRA.Insert(ra);

  auto row = dmd.RefRace({std::string("2024-05-12"), std::string("05"), 11LL});
  ASSERT_TRUE(row);
  EXPECT_EQ(row->Text(kRefJomei), "東京");
  EXPECT_EQ(row->Text(kRefShubetsu), "３歳以上");
  EXPECT_EQ(row->Text(kRefJoken), "１勝クラス");
  EXPECT_EQ(row->Text(kRefJuryo), "定量");
  row = dmd.RefRace({std::string("2024-05-12"), std::string("99"), 1LL});
  ASSERT_TRUE(row);
  EXPECT_EQ(row->Text(kRefJomei), "");
  EXPECT_EQ(row->Text(kRefJoken), "");

  TRow change;
  change.Set("距離", 2400LL);
  EXPECT_THROW(dmd.tblRefRace.Update({std::string("2024-05-12"), std::string("05"), 11LL}, change),
               std::runtime_error);
  EXPECT_THROW(dmd.tblRefHaraimodoshi.Delete({std::string("2024-05-12"), std::string("05"), 11LL}),
               std::runtime_error);
  EXPECT_THROW(dmd.tblKeibajo.Delete({std::string("05")}), std::runtime_error);
}

TEST_F(DataModuleTest, CloseAndReopenRaceConnectionsKeepTheOthers) {
  dmd.ConfigureDatabases(home.path / "db", log, dialogs);
  TRow se;
  se.Set("開催年月日", std::string("2024-05-12"));
  se.Set("競馬場コード", std::string("05"));
  se.Set("レース番号", 11LL);
  se.Set("馬番", 1LL);
  dmd.tblSokuhoSE.Insert(se);
  ASSERT_TRUE(dmd.tblRefDenma.Seek({std::string("2024-05-12"), std::string("05"), 11LL, 1LL}));

  dmd.CloseRaceConnections();
  EXPECT_FALSE(dmd.conRace.Connected());
  EXPECT_FALSE(dmd.conRacese.Connected());
  EXPECT_TRUE(dmd.conSokuhoRace.Connected());
  EXPECT_TRUE(dmd.conCode.Connected());
  dmd.OpenRaceConnections();
  EXPECT_TRUE(dmd.tblRefDenma.Seek({std::string("2024-05-12"), std::string("05"), 11LL, 1LL}));
}

TEST(DataModuleUnconfiguredTest, OpenWithoutConfigurationFails) {
  TdmdOV dmd;
  EXPECT_THROW(dmd.OpenRaceConnections(), std::runtime_error);
  EXPECT_THROW(dmd.tblRA.Seek({std::string("2024-05-12"), std::string("05"), 1LL}), std::runtime_error);
}

}  // namespace
}  // namespace zelk
