#include "data/import_runner.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "common/config.h"
#include "common/error_log.h"
#include "common/text_file.h"
#include "data/app_folder.h"
#include "data/data_module.h"
#include "data/record_tables.h"
#include "data/record_writer.h"
#include "platform/data_link.h"
#include "platform/file_data_link.h"
#include "support/fakes.h"
#include "support/import_fakes.h"

namespace zelk {
namespace {
namespace fs = std::filesystem;
using test::TFakeClock;
using test::TFakePump;
using test::TRecordingDialogs;

// A link that plays files from memory and records what it was asked.
class TScriptedLink final : public IDataLink {
 public:
  struct TFile {
    std::string name;
    std::vector<std::string> records;
  };
  std::vector<TFile> files;
  std::map<std::string, std::vector<TFile>> realtime;  // "0B12/20240512" -> answer
  int openResult = 0;
  int downloadCount = -1;  // -1: every file
  std::string lastStamp = "20240512183000";
  int readFailCode = 0, readFailAfter = 0;
  std::function<void(int)> onStatus;                  // called with each poll's answer
  std::function<void(const std::string&)> onRecord;  // called with each record delivered
  std::vector<std::string> calls;

  int Init(const std::string& sid) override {
    calls.push_back("Init " + sid);
    return 0;
  }
  int Open(const std::string& spec, const std::string& from, int option, int& r, int& d, std::string& last) override {
    calls.push_back("Open " + spec + " " + from + " " + std::to_string(option));
    play_ = files;
    r = static_cast<int>(play_.size());
    d = downloadCount < 0 ? r : downloadCount;
    dl_ = d;
    last = lastStamp;
    Rewind();
    return openResult;
  }
  int Status() override {
    polled_ = std::min(polled_ + 1, dl_);
    if (onStatus) onStatus(polled_);
    return polled_;
  }
  void Cancel() override { calls.push_back("Cancel"); }
  int RTOpen(const std::string& spec, const std::string& key) override {
    calls.push_back("RTOpen " + spec + " " + key);
    auto it = realtime.find(spec + "/" + key);
    if (it == realtime.end()) return -1;
    play_ = it->second;
    Rewind();
    return 0;
  }
  int Read(std::string& record, int& size, std::string& fileName) override {
    if (readFailCode != 0 && delivered_ >= readFailAfter) return readFailCode;
    if (file_ >= play_.size()) return 0;
    fileName = play_[file_].name;
    if (rec_ < play_[file_].records.size()) {
      record = play_[file_].records[rec_++] + "\r\n";
      size = static_cast<int>(record.size());
      ++delivered_;
      if (onRecord) onRecord(record);
      return size;
    }
    ++file_;
    rec_ = 0;
    return -1;
  }
  void Skip() override {
    ++file_;
    rec_ = 0;
  }
  int Close() override {
    calls.push_back("Close");
    return 0;
  }
  int Properties() override { return 0; }
  std::string Version() const override { return version; }
  fs::path SavePath() const override { return "/save"; }
  long long TotalReadFileSize() const override { return 1000 * static_cast<long long>(play_.size()); }
  long long CurrentReadFileSize() const override { return 1000; }
  std::string version = "0400";

 private:
  void Rewind() {
    file_ = rec_ = 0;
    delivered_ = 0;
    polled_ = 0;
  }
  std::vector<TFile> play_;
  size_t file_ = 0, rec_ = 0;
  int delivered_ = 0, polled_ = 0, dl_ = 0;
};

// A writer that keeps records as rows: reflected rows wait in the open transaction until a
// commit keeps them, a roll-back drops them. Rows are keyed by the record text, so reading
// a record twice stores it once.
class TRowWriter final : public IRecordWriter {
 public:
  std::set<std::string> committed, pending;
  std::vector<std::string> calls;
  std::vector<size_t> commitsAt;  // committed rows after each commit
  std::function<int(const std::string&)> reflectResult = [](const std::string&) { return 0; };
  std::set<std::string> notImported;  // kinds OpenTables refuses with -903
  int writeSokuhoResult = 0, flushResult = 0;

  int OpenTables(const std::string& kind) override {
    calls.push_back("open " + kind);
    return notImported.count(kind) ? -903 : 0;
  }
  int CloseTables(const std::string& kind, bool commit) override {
    calls.push_back((commit ? "commit " : "rollback ") + kind);
    if (commit) {
      committed.insert(pending.begin(), pending.end());
      commitsAt.push_back(committed.size());
    }
    pending.clear();
    return 0;
  }
  int ReflectRecord(const std::string& record) override {
    int rc = reflectResult(record);
    if (rc == 0) pending.insert(record.substr(0, record.size() - 2));
    return rc;
  }
  int ReflectSokuhoRecord(const std::string& record) override {
    calls.push_back("sokuho " + record.substr(0, record.size() - 2));
    return reflectResult(record);
  }
  int BeginSokuhoTables() override {
    calls.push_back("begin sokuho");
    return 0;
  }
  int EndSokuhoTables(bool commit) override {
    calls.push_back(commit ? "end sokuho commit" : "end sokuho rollback");
    return 0;
  }
  void BeginSokuho(const TDateTime& d) override { calls.push_back("collect " + FormatYmd(d)); }
  void AddSokuho(const std::string&) override {}
  int WriteSokuho(const TDateTime& d) override {
    calls.push_back("write sokuho " + FormatYmd(d));
    return writeSokuhoResult;
  }
  void ResetOddsFile() override { calls.push_back("reset odds"); }
  int FlushOddsFile() override {
    calls.push_back("flush odds");
    return flushResult;
  }
};

std::vector<std::string> Records(const std::string& kind, int count, int start = 0) {
  std::vector<std::string> r;
  for (int i = 0; i < count; ++i) r.push_back(kind + std::to_string(start + i));
  return r;
}

class ImportRunnerTest : public ::testing::Test {
 protected:
  ImportRunnerTest() : dir(fs::temp_directory_path() / ("zelk_import_" + std::to_string(::getpid()) + "_" + Name())) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    log = std::make_unique<TErrorLog>(dir, false, clock, &dialogs);
  }
  ~ImportRunnerTest() override {
    log.reset();
    fs::remove_all(dir);
  }
  static const char* Name() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

  TImportRunner& Runner(TLinkVariant v = TLinkVariant::Central, IDataLink* otherLink = nullptr) {
    runner = std::make_unique<TImportRunner>(v, host, *log, writer, otherLink ? *otherLink : link, dialogs, pump, clock);
    runner->SetMemo(&memo);
    return *runner;
  }
  bool Logged(const std::string& text) const {
    for (const auto& e : log->Entries())
      if (e.find(text) != std::string::npos) return true;
    return false;
  }

  fs::path dir;
  TFakeClock clock;
  TFakePump pump{&clock};
  TRecordingDialogs dialogs;
  std::unique_ptr<TErrorLog> log;
  TScriptedLink link;
  TRowWriter writer;
  test::TRecordingImportHost host;
  test::TRecordingMemo memo;
  std::unique_ptr<TImportRunner> runner;
};

TEST(ReturnCodeTextTest, CodesAndVariants) {
  struct Case {
    TLinkVariant v;
    int code;
    const char* text;
  } cases[] = {
      {TLinkVariant::Central, 0, "0 （正常）"},
      {TLinkVariant::Central, -301, "-301 （認証エラー）"},
      {TLinkVariant::Central, -201, "-201 （JVInitが行われていない）"},
      {TLinkVariant::Local, -201, "-201 （NVInitが行われていない）"},
      {TLinkVariant::Central, -3, "-3 （その他エラー）"},
      {TLinkVariant::Local, -3, "-3 （NVReadエラー。ファイルダウンロード中。少し待ってから再開してください。）"},
      {TLinkVariant::Local, -401, "-401 （UmaConn内部エラー）"},
      {TLinkVariant::Central, -413, "-413 （サーバエラー（HTTPステータス200,403,404以外））"},
      {TLinkVariant::Central, -7777, "-7777 （その他エラー）"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReturnCodeText(c.v, c.code), c.text) << c.code;
  for (int code : {-101, -203, -211, -301, -303, -431, -504}) EXPECT_TRUE(IsReportedOpenError(code)) << code;
  for (int code : {0, -1, -3, -111, -304, -505, -999}) EXPECT_FALSE(IsReportedOpenError(code)) << code;
}

TEST_F(ImportRunnerTest, ParameterRulesOfTheThreeKinds) {
  struct Case {
    TLinkVariant v;
    TImportInputs in;
    int rc;
    const char* warning;  // "" when none
    TImportField focus;
    const char* from;
    int option;
  };
  auto individual = [](std::string date, std::string time, bool setupMode = false, bool race = true) {
    TImportInputs in;
    in.kind = TImportKind::Individual;
    in.kobetsuDate = date;
    in.kobetsuTime = time;
    in.setupMode = setupMode;
    in.kobetsuRace = race;
    return in;
  };
  auto setup = [](std::string year, std::string month, bool race = true) {
    TImportInputs in;
    in.kind = TImportKind::Setup;
    in.setupYear = year;
    in.setupMonth = month;
    in.setupRace = race;
    return in;
  };
  const auto C = TLinkVariant::Central;
  const auto L = TLinkVariant::Local;
  Case cases[] = {
      {C, TImportInputs{}, 0, "", TImportField::None, "20240505000000", 1},
      {L, TImportInputs{}, 0, "", TImportField::None, "20240506000000", 1},
      {C, individual("20240501", "123000"), 0, "", TImportField::None, "20240501123000", 1},
      {C, individual("20240501", "123000", true), 0, "", TImportField::None, "20240501123000", 3},
      {C, individual("202405", "123000"), -900, "日付・時刻の指定が不正です", TImportField::KobetsuDate, "", 0},
      {C, individual("2024 501", "12300_"), -900, "日付・時刻の指定が不正です", TImportField::KobetsuDate, "", 0},
      {C, individual("20240501", "123000", false, false), -900, "取得対象データ種別が指定されていません",
       TImportField::KobetsuRace, "", 0},
      {C, setup("1986", "1"), 0, "", TImportField::None, "19860101000000", 3},
      {C, setup("2023", "11"), 0, "", TImportField::None, "20231101000000", 3},
      {C, setup("1985", "1"), -900, "開始年は1986年以降である必要があります", TImportField::SetupYear, "", 0},
      {L, setup("2004", "1"), -900, "開始年は2005年以降である必要があります", TImportField::SetupYear, "", 0},
      {L, setup("2005", "3"), 0, "", TImportField::None, "20050301000000", 3},
      {C, setup("20x4", "1"), -900, "開始年の指定が不正です", TImportField::SetupYear, "", 0},
      {C, setup("2024", ""), -900, "開始月の指定が不正です", TImportField::SetupMonth, "", 0},
      {C, setup("2024", "1", false), -900, "取得対象データ種別が指定されていません", TImportField::SetupRace, "", 0},
  };
  int i = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(i++);
    dialogs.shown.clear();
    TImportParams p;
    TImportField focus = TImportField::None;
    EXPECT_EQ(Runner(c.v).ComputeParameters(c.in, p, &focus), c.rc);
    EXPECT_EQ(focus, c.focus);
    if (*c.warning) {
      ASSERT_EQ(dialogs.shown.size(), 1u);
      EXPECT_EQ(dialogs.shown[0].kind, TDialogKind::Warning);
      EXPECT_EQ(dialogs.shown[0].text, c.warning);
    } else {
      EXPECT_TRUE(dialogs.shown.empty());
      EXPECT_EQ(p.dataSpec, "RACE");
      EXPECT_EQ(p.fromTime, c.from);
      EXPECT_EQ(p.option, c.option);
    }
  }
}

TEST_F(ImportRunnerTest, DifferenceImportReadsEveryFileAndMovesTheTimeStamp) {
  link.files = {{"RA1.txt", Records("RA", 3)}, {"SE1.txt", Records("SE", 2)}};
  link.realtime["0B15/20240512"] = {{"20240512.txt", {"RAx"}}};
  EXPECT_EQ(Runner().ExecDownload(TImportInputs{}), 0);
  std::vector<std::string> expected = {
      "中央競馬　蓄積系データのインポート開始", "", "データ種別：RACE", "", "> ダウンロード開始", "> ダウンロード終了",
      "> 読込処理開始", "> RA1.txt 3件", "> SE1.txt 2件", "> 読込処理終了", "全件DBに反映されました", "",
      "中央競馬　蓄積系データのインポート終了", "", "中央競馬　速報系データのインポート開始", "> 読込処理開始",
      "> 20240512.txt 1件", "> 読込処理終了", "中央競馬　速報系データのインポート終了"};
  EXPECT_EQ(memo.lines, expected);
  EXPECT_EQ(host.race, "20240512183000");
  EXPECT_EQ(host.racenv, "20240506000000");
  EXPECT_GE(host.saves, 1);
  EXPECT_EQ(writer.committed.size(), 5u);
  EXPECT_EQ(link.calls.front(), "Init SA130412/SD208891/ZELKARO/Ver.2.0.0");
  EXPECT_EQ(link.calls[1], "Open RACE 20240505000000 1");
  EXPECT_EQ(link.calls[2], "Close");
  EXPECT_EQ(link.calls.back(), "Close");
  EXPECT_TRUE(Logged("[JRA-VAN Data Lab.データ インポート処理] 「ダウンロード実行」ボタン"));
  EXPECT_TRUE(Logged("[JRA-VAN Data Lab.データ インポート処理] JVLink - JVOpen実行(RACE)"));
  EXPECT_TRUE(Logged("速報系ダウンロード実行（0B15,20240512）"));
}

TEST_F(ImportRunnerTest, NoNewDataKeepsTheTimeStamp) {
  link.openResult = -1;
  TImportRunner& r = Runner(TLinkVariant::Local);
  EXPECT_EQ(r.ExecDownload(TImportInputs{}), 0);
  EXPECT_TRUE(memo.Has("新規データはありません"));
  EXPECT_FALSE(memo.Has("全件DBに反映されました"));
  EXPECT_EQ(memo.lines.front(), "地方競馬　蓄積系データのインポート開始");
  EXPECT_EQ(host.racenv, "20240506000000");
}

TEST_F(ImportRunnerTest, CommitsEveryCommitKensuRecordsAndAtTheFileEnd) {
  link.files = {{"RA.txt", Records("RA", 1200)}};
  EXPECT_EQ(Runner().ImportStoredData(TImportParams{"RACE", "20240101000000", 1}), 0);
  EXPECT_EQ(writer.commitsAt, (std::vector<size_t>{500, 1000, 1200}));
  EXPECT_TRUE(memo.Has("> RA.txt 1200件"));
}

TEST_F(ImportRunnerTest, OpenErrorShownToTheUserStopsBeforeTheRealTimeStep) {
  link.openResult = -301;
  EXPECT_EQ(Runner().ExecDownload(TImportInputs{}), -905);
  EXPECT_EQ(memo.From("> ダウンロード・エラー：-301 （認証エラー）", 3),
            (std::vector<std::string>{"> ダウンロード・エラー：-301 （認証エラー）", "> ダウンロード終了",
                                      "処理を中止します"}));
  EXPECT_FALSE(memo.Has("中央競馬　蓄積系データのインポート終了"));
  for (const auto& c : link.calls) EXPECT_EQ(c.find("RTOpen"), std::string::npos) << c;
  EXPECT_EQ(link.calls.back(), "Close");
  EXPECT_EQ(host.race, "20240505000000");
}

TEST_F(ImportRunnerTest, UnreportedOpenErrorIsADownloadFailure) {
  link.openResult = -112;
  EXPECT_EQ(Runner().ImportStoredData(TImportParams{"RACE", "2024", 1}), -900);
  EXPECT_TRUE(memo.Has("ダウンロードできませんでした"));
  EXPECT_TRUE(memo.Has("ダウンロード・エラーコード = -900"));
}

TEST_F(ImportRunnerTest, StopDuringTheDownload) {
  link.files = {{"RA.txt", Records("RA", 2)}, {"SE.txt", Records("SE", 2)}};
  TImportRunner& r = Runner();
  link.onStatus = [&](int done) {
    if (done == 1) r.Stop();
  };
  EXPECT_EQ(r.ExecDownload(TImportInputs{}), -900);
  EXPECT_TRUE(memo.Has("> ダウンロード キャンセル"));
  EXPECT_EQ(memo.From("ダウンロードできませんでした", 2),
            (std::vector<std::string>{"ダウンロードできませんでした", "ダウンロード・エラーコード = -901"}));
  EXPECT_NE(std::find(link.calls.begin(), link.calls.end(), "Cancel"), link.calls.end());
  EXPECT_TRUE(writer.committed.empty());
  EXPECT_EQ(host.race, "20240505000000");
  EXPECT_GE(pump.waitedMs, 500);
  EXPECT_TRUE(Logged("「キャンセル」ボタン"));
}

TEST_F(ImportRunnerTest, StopDuringTheReadKeepsTheFilesReadCompletely) {
  link.files = {{"RA.txt", Records("RA", 3)}, {"SE.txt", Records("SE", 4)}};
  TImportRunner& r = Runner();
  link.onRecord = [&](const std::string& rec) {
    if (rec.rfind("SE1", 0) == 0) r.Stop();
  };
  EXPECT_EQ(r.ExecDownload(TImportInputs{}), -900);
  EXPECT_TRUE(memo.Has("> 読込処理 キャンセル"));
  EXPECT_EQ(memo.From("DBに反映されなかったデータがあります", 2),
            (std::vector<std::string>{"DBに反映されなかったデータがあります", "読込処理エラーコード = -901"}));
  EXPECT_EQ(writer.committed, (std::set<std::string>{"RA0", "RA1", "RA2"}));
  EXPECT_TRUE(writer.pending.empty());  // the unfinished file was rolled back, not left open
  EXPECT_EQ(writer.calls.back(), "rollback SE");
  EXPECT_EQ(host.race, "20240505000000");
}

TEST_F(ImportRunnerTest, RecordFailuresSkipsAndReadErrors) {
  link.files = {{"WH.txt", Records("WH", 2)}, {"RA.txt", Records("RA", 3)}};
  writer.notImported = {"WH"};
  writer.reflectResult = [](const std::string& rec) {
    if (rec.rfind("RA0", 0) == 0) return -907;
    if (rec.rfind("RA2", 0) == 0) return -900;
    return 0;
  };
  EXPECT_EQ(Runner().ImportStoredData(TImportParams{"RACE", "20240101000000", 1}), -900);
  EXPECT_TRUE(memo.Has("> WH.txt (WH) スキップ"));
  EXPECT_TRUE(memo.Has("> RA.txt 3件目でエラー"));
  EXPECT_TRUE(memo.Has("読込処理エラーコード = -900"));
  EXPECT_TRUE(writer.committed.empty());  // RA1 was rolled back with its kind
  EXPECT_EQ(writer.calls.back(), "rollback RA");

  memo.lines.clear();
  link.files = {{"RA.txt", Records("RA", 3)}};
  link.readFailCode = -502;
  link.readFailAfter = 2;
  writer.reflectResult = [](const std::string&) { return 0; };
  EXPECT_EQ(runner->ImportStoredData(TImportParams{"RACE", "20240101000000", 1}), -900);
  EXPECT_TRUE(memo.Has("> RA.txt エラー-502"));
  EXPECT_TRUE(Logged("JVRead()でエラー発生  -502 （ダウンロード失敗）"));
  EXPECT_TRUE(writer.pending.empty());
}

// A timer firing while the read loop processes messages must not re-initialise the link under it.
TEST_F(ImportRunnerTest, ACallDuringARunIsRefusedAndTheRunCompletes) {
  link.files = {{"RA.txt", Records("RA", 3)}};
  link.realtime["0B30/202405120511"] = {{"o.txt", {"O1a"}}};
  TImportRunner& r = Runner();
  std::vector<int> answers;
  link.onRecord = [&](const std::string& rec) {
    if (rec.rfind("RA1", 0) == 0) {
      answers.push_back(r.FetchSokuhoOdds("05", 11, MakeDate(2024, 5, 12)));
      answers.push_back(r.FetchSokuhoData(MakeDate(2024, 5, 12)));
    }
  };
  EXPECT_EQ(r.ExecDownload(TImportInputs{}), 0);
  EXPECT_EQ(answers, (std::vector<int>{-900, -900}));
  EXPECT_EQ(writer.committed.size(), 3u);
  link.onRecord = nullptr;
  EXPECT_EQ(r.FetchSokuhoOdds("05", 11, MakeDate(2024, 5, 12)), 0);
}

TEST_F(ImportRunnerTest, ReconnectsTheRaceDatabasesAfterNinetyNineFiles) {
  for (int i = 0; i < 101; ++i) link.files.push_back({"F" + std::to_string(i), {"RA" + std::to_string(i)}});
  TImportRunner& r = Runner();
  EXPECT_EQ(r.ImportStoredData(TImportParams{"RACE", "20240101000000", 1}), 0);
  EXPECT_EQ(host.reconnects, 1);
  EXPECT_EQ(writer.committed.size(), 101u);
}

TEST_F(ImportRunnerTest, RealTimeDataOfADay) {
  link.realtime["0B12/20240512"] = {{"a.txt", {"HR1", "RA1"}}};
  link.realtime["0B14/20240512"] = {{"b.txt", {"WE1"}}};
  EXPECT_EQ(Runner().FetchSokuhoData(MakeDate(2024, 5, 12)), 0);
  EXPECT_EQ(writer.calls, (std::vector<std::string>{"collect 20240512", "begin sokuho", "sokuho HR1", "sokuho RA1",
                                                     "end sokuho commit", "begin sokuho", "sokuho WE1",
                                                     "end sokuho commit", "write sokuho 20240512"}));
  EXPECT_TRUE(Logged("速報開催情報取得メソッド"));

  // A record the writer refuses fails its step; the local link runs 0B15 first.
  writer.calls.clear();
  writer.reflectResult = [](const std::string& rec) { return rec.rfind("HR", 0) == 0 ? -900 : 0; };
  EXPECT_EQ(Runner(TLinkVariant::Local).FetchSokuhoData(MakeDate(2024, 5, 12)), -900);
  EXPECT_TRUE(memo.Has("> 読込処理中にエラー"));
  EXPECT_EQ(writer.calls[3], "end sokuho rollback");
  EXPECT_TRUE(Logged("[地方競馬データ インポート処理] 速報レース情報(成績確定後）取得エラー"));

  // Nothing collected is a failure, as the day's real-time files are then missing.
  writer.calls.clear();
  writer.reflectResult = [](const std::string&) { return 0; };
  writer.writeSokuhoResult = -902;
  EXPECT_EQ(Runner().FetchSokuhoData(MakeDate(2024, 5, 12)), -900);
}

TEST_F(ImportRunnerTest, RealTimeStepFailureReachesTheAutomaticRun) {
  std::vector<std::string> autoMessages;
  link.realtime["0B12/20240512"] = {{"a.txt", {"RA1"}}};
  link.readFailCode = -502;
  TImportRunner& r = Runner();
  r.SetAutoHandleMessages([&](const std::string& m) { autoMessages.push_back(m); });
  EXPECT_EQ(r.FetchSokuhoData(MakeDate(2024, 5, 12)), -900);
  EXPECT_EQ(autoMessages, (std::vector<std::string>{"速報レース情報(成績確定後）取得エラー：-900"}));
  EXPECT_TRUE(Logged("JVRead()でエラー発生  -502 （ダウンロード失敗）"));
  EXPECT_EQ(link.calls.back(), "Close");
}

TEST_F(ImportRunnerTest, RealTimeOddsOfOneRace) {
  link.realtime["0B30/202405120511"] = {{"o.txt", {"O1a", "O2b"}}};
  TImportRunner& r = Runner();
  EXPECT_EQ(r.FetchSokuhoOdds("05", 11, MakeDate(2024, 5, 12)), 0);
  EXPECT_EQ(writer.calls, (std::vector<std::string>{"reset odds", "sokuho O1a", "sokuho O2b", "flush odds"}));
  EXPECT_EQ(link.calls.back(), "Close");
  EXPECT_TRUE(Logged("速報オッズ取得メソッド"));

  EXPECT_EQ(r.FetchSokuhoOdds("05", 1, MakeDate(2024, 5, 12)), -1);  // no odds published yet
  EXPECT_EQ(link.calls.back(), "Close");

  writer.flushResult = -900;  // odds that did not reach their file are not a success
  EXPECT_EQ(r.FetchSokuhoOdds("05", 11, MakeDate(2024, 5, 12)), -900);
}

// The file link and the row writer together: a run broken off by a read error leaves the
// time stamp alone, and the next run reads everything again without doubling a row.
TEST_F(ImportRunnerTest, InterruptedImportRunAgainCompletes) {
  fs::path store = dir / "linkstore" / "JV";
  WriteFileAtomic(store / "server" / "RACE" / "20240511120000_RA.txt", "RA1\r\nRA2\r\nRA3\r\n");
  WriteFileAtomic(store / "server" / "RACE" / "20240512120000_SE.txt", "SE1\r\nSE2\r\n");
  WriteFileAtomic(store / "link.ini", "[Fail]\r\nRead=-502\r\nReadAfter=4\r\n");
  TFileDataLink fileLink(store);
  TImportRunner& r = Runner(TLinkVariant::Central, &fileLink);
  EXPECT_EQ(r.ExecDownload(TImportInputs{}), -900);
  EXPECT_EQ(host.race, "20240505000000");
  EXPECT_EQ(writer.committed, (std::set<std::string>{"RA1", "RA2", "RA3"}));

  fs::remove(store / "link.ini");
  memo.lines.clear();
  EXPECT_EQ(r.ExecDownload(TImportInputs{}), 0);
  EXPECT_TRUE(memo.Has("> 20240511120000_RA.txt 3件"));
  EXPECT_TRUE(memo.Has("> 20240512120000_SE.txt 2件"));
  EXPECT_EQ(writer.committed, (std::set<std::string>{"RA1", "RA2", "RA3", "SE1", "SE2"}));
  EXPECT_EQ(host.race, "20240512120000");

  memo.lines.clear();
  EXPECT_EQ(r.ExecDownload(TImportInputs{}), 0);
  EXPECT_TRUE(memo.Has("新規データはありません"));
}

// A central race record (kind RA, length 1272) of 2024-05-12 at racecourse 05.
std::string RaceRecord(int raceNo) {
  std::string r(1272, ' ');
  auto put = [&](size_t at, const std::string& v) { r.replace(at, v.size(), v); };
  put(0, "RA7");
  put(3, "20240510");
  put(11, "20240512");
  put(19, "05");
  put(21, "0304");
  char no[3];
  std::snprintf(no, sizeof no, "%02d", raceNo);
  put(25, no);
  put(697, "1600");
  put(705, "11");
  put(873, "1530");
  return r + "\r\n";
}

// The runner over the application's own settings, data module and record writer.
TEST_F(ImportRunnerTest, DifferenceImportIntoTheDatabasesSavesTheTimeStamp) {
  InitApplicationFolder(dir);
  WriteFileAtomic(TFileDataLink::DefaultStoreFolder(dir, TLinkSide::Central) / "server" / "RACE" /
                      "20240512183000_RA20240512.txt",
                  RaceRecord(1) + RaceRecord(2) + RaceRecord(11));
  TConfig config(dir, clock, &dialogs, nullptr);
  config.LoadSettings();
  config.CommitKensuJV = 2;
  TdmdOV dmd;
  dmd.ConfigureDatabases(config.DbDir(), *log, dialogs);
  TJVTables tables(config, dmd, *log);
  TFileDataLink fileLink(TFileDataLink::ConfiguredStoreFolder(dir, TLinkSide::Central));
  TImportRunner r(TLinkVariant::Central, config, *log, dmd, tables, fileLink, dialogs, pump, clock);
  r.SetMemo(&memo);
  ASSERT_EQ(r.ExecDownload(TImportInputs{}), 0) << ::testing::PrintToString(memo.lines);
  EXPECT_TRUE(memo.Has("> 20240512183000_RA20240512.txt 3件"));
  for (int no : {1, 2, 11}) EXPECT_TRUE(dmd.tblRA.Seek({std::string("2024-05-12"), std::string("05"), no})) << no;
  EXPECT_TRUE(dialogs.shown.empty());

  TConfig reloaded(dir, clock, nullptr, nullptr);
  reloaded.LoadSettings();
  EXPECT_EQ(reloaded.RACE, "20240512183000");
}

}  // namespace
}  // namespace zelk
