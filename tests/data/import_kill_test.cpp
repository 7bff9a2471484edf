// A stored-data import killed in the middle (SIGKILL, no clean-up of any kind) leaves the
// databases consistent and every odds day file whole; running the import again completes it
// with exactly the content of an import that was never interrupted.
#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>

#include "common/config.h"
#include "common/error_log.h"
#include "common/text_file.h"
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

// Passes every record on and kills the process after `killAfter` records (0: never).
class TKillingWriter final : public IRecordWriter {
 public:
  TKillingWriter(IRecordWriter& inner, long killAfter) : inner_(inner), killAfter_(killAfter) {}
  int OpenTables(const std::string& kind) override { return inner_.OpenTables(kind); }
  int CloseTables(const std::string& kind, bool commit) override { return inner_.CloseTables(kind, commit); }
  int ReflectRecord(const std::string& record) override {
    int r = inner_.ReflectRecord(record);
    ++count_;
    if (killAfter_ > 0 && count_ >= killAfter_) ::raise(SIGKILL);
    return r;
  }
  int ReflectSokuhoRecord(const std::string& record) override { return inner_.ReflectSokuhoRecord(record); }
  int BeginSokuhoTables() override { return inner_.BeginSokuhoTables(); }
  int EndSokuhoTables(bool commit) override { return inner_.EndSokuhoTables(commit); }
  void BeginSokuho(const TDateTime& d) override { inner_.BeginSokuho(d); }
  void AddSokuho(const std::string& record) override { inner_.AddSokuho(record); }
  int WriteSokuho(const TDateTime& d) override { return inner_.WriteSokuho(d); }
  void ResetOddsFile() override { inner_.ResetOddsFile(); }
  int FlushOddsFile() override { return inner_.FlushOddsFile(); }

 private:
  IRecordWriter& inner_;
  long killAfter_;
  long count_ = 0;

 public:
  long Count() const { return count_; }
};

// One central setup import of the demo month into `home`; answers the runner's result.
int ImportCentral(const fs::path& home, long killAfter, long* records = nullptr) {
  test::TFakeClock clock{{2024, 5, 12, 9, 30, 0, 0}};
  test::TRecordingDialogs dialogs;
  test::TFakePump pump{&clock};
  TErrorLog log(home, false, clock, &dialogs);
  TdmdOV dmd;
  dmd.ConfigureDatabases(home / "db", log, dialogs);
  TConfig config(home, clock, &dialogs, nullptr);
  TJVTables tables(config, dmd, log);
  tables.SetPump(pump);
  tables.SetClock(clock);
  TKillingWriter writer(tables, killAfter);
  TFileDataLink link(home / "linkstore" / "JV");
  test::TRecordingImportHost host(&dmd);
  host.commitKensu = 100;
  host.race = "20240101000000";
  TImportRunner runner(TLinkVariant::Central, host, log, writer, link, dialogs, pump, clock);
  TImportInputs setup;
  setup.kind = TImportKind::Setup;
  setup.setupYear = "2024";
  setup.setupMonth = "5";
  int result = runner.ExecDownload(setup);
  if (records) *records = writer.Count();
  return result;
}

fs::path FreshHome(const std::string& name) {
  fs::path home = fs::temp_directory_path() / ("zelk_kill_" + name + "_" + std::to_string(::getpid()));
  fs::remove_all(home);
  EXPECT_EQ(WriteDemoData(home, {MakeDate(2024, 5, 11), 2, 7}), 0);
  CreateDatabases(home / "db");
  return home;
}

// Every row of the three tables in key order, and every odds file's bytes.
std::map<std::string, std::string> Snapshot(const fs::path& home) {
  std::map<std::string, std::string> out;
  auto dump = [&](const char* file, const char* sql) {
    SQLite::Database db((home / "db" / file).string(), SQLite::OPEN_READONLY);
    SQLite::Statement q(db, sql);
    std::string text;
    while (q.executeStep()) {
      for (int c = 0; c < q.getColumnCount(); ++c) text += q.getColumn(c).getString() + "|";
      text += "\n";
    }
    out[sql] = text;
  };
  dump("race.db", "SELECT * FROM レース詳細 ORDER BY 開催年月日, 競馬場コード, レース番号");
  dump("race.db", "SELECT * FROM 払戻 ORDER BY 開催年月日, 競馬場コード, レース番号");
  dump("racese.db", "SELECT * FROM 馬毎レース情報 ORDER BY 開催年月日, 競馬場コード, レース番号, 馬番");
  if (fs::exists(home / "db" / "JRA"))
    for (const auto& e : fs::recursive_directory_iterator(home / "db" / "JRA"))
      if (e.is_regular_file()) out[fs::relative(e.path(), home).string()] = ReadFileBytes(e.path());
  return out;
}

void ExpectConsistent(const fs::path& home) {
  for (const char* file : {"race.db", "racese.db"}) {
    SQLite::Database db((home / "db" / file).string(), SQLite::OPEN_READONLY);
    EXPECT_EQ(db.execAndGet("PRAGMA integrity_check").getString(), "ok") << file;
  }
  const std::map<std::string, size_t> lengths = {{"O1", 960},  {"O2", 2040},  {"O3", 2652},
                                                 {"O4", 4029}, {"O5", 12291}, {"O6", 83283}};
  if (!fs::exists(home / "db" / "JRA")) return;
  for (const auto& e : fs::recursive_directory_iterator(home / "db" / "JRA")) {
    if (!e.is_regular_file()) continue;
    const std::string kind = e.path().parent_path().parent_path().filename().string();
    ASSERT_TRUE(lengths.count(kind)) << e.path();
    const std::string bytes = ReadFileBytes(e.path());
    EXPECT_TRUE(bytes.empty() || bytes.ends_with("\r\n")) << e.path();
    for (const auto& line : SplitLines(bytes)) EXPECT_EQ(line.size(), lengths.at(kind)) << e.path();
  }
}

TEST(ImportKillTest, KilledImportLeavesWholeDataAndTheNextRunCompletesIt) {
  const fs::path reference = FreshHome("reference");
  long total = 0;
  ASSERT_EQ(ImportCentral(reference, 0, &total), 0);
  const auto expected = Snapshot(reference);
  ASSERT_GT(expected.size(), 3u);

  // Early (inside the first race-card file), in the middle, and among the last odds records.
  for (long killAfter : {30L, total / 2, total - 5}) {
    SCOPED_TRACE("killed after " + std::to_string(killAfter) + " records");
    const fs::path home = FreshHome("run");
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ImportCentral(home, killAfter);
      ::_exit(0);  // the import ended before the kill point
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the import ended before the kill point";

    ExpectConsistent(home);
    EXPECT_EQ(ImportCentral(home, 0), 0);
    EXPECT_EQ(Snapshot(home), expected);
    fs::remove_all(home);
  }
  fs::remove_all(reference);
}

}  // namespace
}  // namespace zelk
