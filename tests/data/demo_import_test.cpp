// The demo season through the real import path: the file data link over the link store, the
// import runner and the record writers into fresh databases.
#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "common/config.h"
#include "common/error_log.h"
#include "data/data_module.h"
#include "data/demo_data.h"
#include "data/import_runner.h"
#include "data/record_tables.h"
#include "data/schema.h"
#include "platform/file_data_link.h"
#include "support/fakes.h"
#include "support/import_fakes.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

long long Count(const fs::path& db, const std::string& sql) {
  SQLite::Database d(db.string(), SQLite::OPEN_READONLY);
  return d.execAndGet(sql).getInt64();
}

TEST(DemoImportTest, SetupImportOfTheDemoSeasonReflectsEveryRecordAndTheRealTimeDayFollows) {
  const fs::path home = fs::temp_directory_path() / ("zelk_demo_import_" + std::to_string(::getpid()));
  fs::remove_all(home);
  ASSERT_EQ(WriteDemoData(home, {MakeDate(2024, 5, 11), 2, 1}), 0);
  CreateDatabases(home / "db");
  test::TFakeClock clock{{2024, 5, 12, 9, 30, 0, 0}};
  test::TRecordingDialogs dialogs;
  test::TFakePump pump{&clock};
  {
    TErrorLog log(home, false, clock, &dialogs);
    TdmdOV dmd;
    dmd.ConfigureDatabases(home / "db", log, dialogs);
    TConfig config(home, clock, &dialogs, nullptr);
    for (bool central : {true, false}) {
      SCOPED_TRACE(central ? "JV" : "NV");
      std::unique_ptr<TRecordTables> writer;
      if (central)
        writer = std::make_unique<TJVTables>(config, dmd, log);
      else
        writer = std::make_unique<TNVTables>(config, dmd, log);
      writer->SetPump(pump);
      writer->SetClock(clock);
      TFileDataLink link(home / "linkstore" / (central ? "JV" : "NV"));
      test::TRecordingImportHost host(&dmd);
      host.race = host.racenv = "20240101000000";
      test::TRecordingMemo memo;
      TImportRunner runner(central ? TLinkVariant::Central : TLinkVariant::Local, host, log, *writer, link, dialogs,
                           pump, clock);
      runner.SetMemo(&memo);
      TImportInputs setup;
      setup.kind = TImportKind::Setup;
      setup.setupYear = "2024";
      setup.setupMonth = "5";
      EXPECT_EQ(runner.ExecDownload(setup), 0);
      EXPECT_TRUE(memo.Has("全件DBに反映されました"));
      for (const auto& line : memo.lines) EXPECT_EQ(line.find("エラー"), std::string::npos) << line;

      EXPECT_EQ(runner.FetchSokuhoData(MakeDate(2024, 5, 12)), 0);
      const TDemoDay lastDay = BuildDemoDay({MakeDate(2024, 5, 11), 2, 1}, 1);
      const TDemoRace& first = central ? lastDay.central.front() : lastDay.local.front();
      EXPECT_TRUE(fs::exists(home / "Sokuho/20240512" / ("WE" + first.setup.course + ".dat")));
      EXPECT_EQ(runner.FetchSokuhoOdds(first.setup.course, 1, MakeDate(2024, 5, 12)), 0);
    }
    for (const auto& e : log.Entries()) EXPECT_EQ(e.find("エラー"), std::string::npos) << e;
  }
  // Both days' races are stored; the second day's payouts came with its real-time results.
  const long long races = Count(home / "db/race.db", "SELECT COUNT(*) FROM レース詳細");
  EXPECT_GE(races, 2 * (36 + 20));
  EXPECT_EQ(Count(home / "db/race.db", "SELECT COUNT(*) FROM 払戻"), races);
  EXPECT_EQ(Count(home / "db/race.db", "SELECT COUNT(*) FROM レース詳細 WHERE データ区分 = '2'"), 0);
  EXPECT_GT(Count(home / "db/racese.db", "SELECT COUNT(*) FROM 馬毎レース情報 WHERE 異常区分コード <> 0"), 0);
  fs::remove_all(home);
}

}  // namespace
}  // namespace zelk
