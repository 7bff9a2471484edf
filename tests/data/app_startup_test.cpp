// Start-up and shut-down of the application on a temporary home folder with recording fakes.
#include "data/app_startup.h"

#include <gtest/gtest.h>

#include <fstream>

#include "common/config.h"
#include "common/error_log.h"
#include "common/text_file.h"
#include "data/data_module.h"
#include "data/schema.h"
#include "data/temp_dir.h"
#include "support/fake_shell.h"
#include "support/fakes.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;
using test::TFakeClock;
using test::TRecordingDialogs;
using test::TRecordingShell;
using test::TTempDir;

class TRecordingView final : public IShellView {
 public:
  void ShowSplash() override { calls.push_back("splash"); }
  void ApplyMainToolbarSettings() override { calls.push_back("toolbar"); }
  void StartupDone() override { calls.push_back("done"); }
  void CloseChildWindows() override { calls.push_back("children"); }
  TWindowGeometry CurrentGeometry() const override { return geometry; }
  std::vector<std::string> calls;
  TWindowGeometry geometry{10, 20, 600, 800, false};
};

// One application run on a home folder: settings, dialogs, shell and data module of its own.
struct TRun {
  explicit TRun(const fs::path& home, TFakeClock& clock) : core(home, clock, dialogs, nullptr, shell, dmd) {}
  TRecordingDialogs dialogs;
  TRecordingShell shell;
  TdmdOV dmd;
  TRecordingView view;
  TApplicationCore core;
};

class AppStartupTest : public ::testing::Test {
 protected:
  AppStartupTest() {
    fs::create_directories(home() / "linkstore" / "JV");
    fs::create_directories(home() / "linkstore" / "NV");
    CreateDatabases(home() / "db");
  }
  fs::path home() const { return dir.path / "home"; }
  fs::path logFile() const { return home() / "Log" / ("Log" + FormatYmd(clock.now) + ".txt"); }
  void WriteSettings(const std::vector<std::string>& lines) { WriteTextLines(home() / "zelk.ini", lines); }
  std::string SettingsText() const { return ReadFileBytes(home() / "zelk.ini"); }

  TTempDir dir{"zelk_startup"};
  TFakeClock clock{{2024, 5, 12, 10, 0, 0, 0}};
};

TEST_F(AppStartupTest, UnwritableHomeShowsOnlyTheMessageAndCreatesNothing) {
  fs::path file = dir.path / "plain-file";
  std::ofstream(file) << "x";
  for (const fs::path& badHome : {file / "home", fs::path("/proc/zelk-no-home")}) {
    TRun run(badHome, clock);
    EXPECT_EQ(run.core.Startup(run.view), TStartupResult::NotWritable) << badHome;
    ASSERT_EQ(run.dialogs.shown.size(), 1u);
    EXPECT_EQ(run.dialogs.shown[0].kind, TDialogKind::Plain);
    EXPECT_EQ(run.dialogs.shown[0].text, "Zelkaroを右クリックして「管理者として実行」で起動し直してください");
    EXPECT_TRUE(run.view.calls.empty());
    EXPECT_FALSE(run.core.HasLog());
    EXPECT_NE(run.core.ExitCode(), 0);
    EXPECT_FALSE(fs::exists(badHome));
  }
}

TEST_F(AppStartupTest, StartAndStopWriteTheDayLogFoldersAndSettings) {
  WriteSettings({"[CurrentInformation]", "FormMainMaximize=0"});
  {
    TRun run(home(), clock);
    ASSERT_EQ(run.core.Startup(run.view), TStartupResult::Running);
    EXPECT_EQ(run.view.calls, (std::vector<std::string>{"splash", "toolbar", "done"}));
    EXPECT_TRUE(run.dialogs.shown.empty()) << run.dialogs.Texts()[0];
    EXPECT_TRUE(run.core.Config().JVLinkAvailable);
    EXPECT_TRUE(run.core.Config().NVLinkAvailable);
    EXPECT_FALSE(run.core.Config().NVLoggedIn);
    EXPECT_TRUE(run.dmd.conRace.Connected());
    EXPECT_TRUE(run.dmd.conCode.Connected());
    for (const auto& name : WorkingFolderNames()) EXPECT_TRUE(fs::is_directory(home() / name)) << name;

    run.core.Config().NVLoggedIn = true;
    int logouts = 0;
    run.core.SetLocalLogout([&] { ++logouts; });
    EXPECT_EQ(run.core.Shutdown(run.view), 0);
    EXPECT_EQ(logouts, 1);
    EXPECT_EQ(run.view.calls.back(), "children");
    EXPECT_EQ(run.core.ExitCode(), 0);
  }
  std::vector<std::string> lines = ReadTextLines(logFile());
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "2024/05/12 10:00:00 [メインフォーム] DB設定");
  EXPECT_EQ(lines[1], "2024/05/12 10:00:00 アプリケーション起動");
  EXPECT_EQ(lines.back(), "2024/05/12 10:00:00 アプリケーション終了");

  std::string ini = SettingsText();
  EXPECT_NE(ini.find("FormMainTop=10"), std::string::npos);
  EXPECT_NE(ini.find("FormMainWidth=800"), std::string::npos);
  EXPECT_NE(ini.find("FormMainMaximize=0"), std::string::npos);
}

TEST_F(AppStartupTest, MaximisedCloseKeepsTheLastNormalGeometry) {
  WriteSettings({"[CurrentInformation]", "FormMainTop=5", "FormMainLeft=6", "FormMainHeight=700",
                 "FormMainWidth=900", "FormMainMaximize=0"});
  TRun run(home(), clock);
  ASSERT_EQ(run.core.Startup(run.view), TStartupResult::Running);
  run.view.geometry = {0, 0, 1080, 1920, true};
  run.core.Shutdown(run.view);
  TConfig reread(home(), clock, nullptr, nullptr);
  reread.LoadSettings();
  EXPECT_TRUE(reread.FormMainMaximize);
  EXPECT_EQ(reread.FormMainTop, 5);
  EXPECT_EQ(reread.FormMainLeft, 6);
  EXPECT_EQ(reread.FormMainHeight, 700);
  EXPECT_EQ(reread.FormMainWidth, 900);
}

TEST_F(AppStartupTest, LocalInstallerIsOfferedOncePerMonth) {
  fs::remove_all(home() / "linkstore" / "NV");
  const std::string offer =
      "UmaConnをインストールすることにより、地方競馬でもご利用いただけます。\r\nUmaConnをダウンロードしますか？";
  struct Case {
    const char* storedMonth;  // nullptr: no settings file (the default is the previous month)
    bool offered;
  };
  for (Case c : {Case{"202405", false}, Case{"202404", true}, Case{"202312", true}, Case{nullptr, true}}) {
    fs::remove(home() / "zelk.ini");
    if (c.storedMonth) WriteSettings({"[UmaConn]", std::string("UmaConnCheckMonth=") + c.storedMonth});
    for (int start = 0; start < 2; ++start) {
      TRun run(home(), clock);
      ASSERT_EQ(run.core.Startup(run.view), TStartupResult::Running);
      EXPECT_FALSE(run.core.Config().NVLinkAvailable);
      bool shown = !run.dialogs.shown.empty() && run.dialogs.shown[0].text == offer;
      // Answered "No"; the second start in the same month is never asked again.
      EXPECT_EQ(shown, c.offered && start == 0) << (c.storedMonth ? c.storedMonth : "default") << " start " << start;
      if (shown) {
        EXPECT_EQ(run.dialogs.shown[0].kind, TDialogKind::Information);
        EXPECT_EQ(run.dialogs.shown[0].buttons, TDialogButtons::YesNo);
      }
      EXPECT_EQ(run.core.Config().UmaConnCheckMonth, c.offered ? "202405" : c.storedMonth);
      EXPECT_TRUE(run.shell.urls.empty());
      run.core.Shutdown(run.view);
    }
  }
}

TEST_F(AppStartupTest, AcceptingTheInstallerOpensItsAddressSavesAndStops) {
  fs::remove_all(home() / "linkstore" / "NV");
  WriteSettings({"[UmaConn]", "UmaConnCheckMonth=202404"});
  TRun run(home(), clock);
  run.dialogs.answers.push_back(TDialogAnswer::Yes);
  run.core.SetInstallerAddress("https://installer.example/umaconn");
  EXPECT_EQ(run.core.Startup(run.view), TStartupResult::InstallerChosen);
  EXPECT_EQ(run.core.ExitCode(), 0);
  EXPECT_EQ(run.shell.urls, (std::vector<std::string>{"https://installer.example/umaconn"}));
  EXPECT_EQ(run.view.calls, (std::vector<std::string>{"splash"}));
  EXPECT_FALSE(run.dmd.conRace.Connected());
  EXPECT_FALSE(fs::exists(home() / "Sokuho"));
  EXPECT_NE(SettingsText().find("UmaConnCheckMonth=202405"), std::string::npos);
}

TEST_F(AppStartupTest, MissingCentralLinkAndMissingCodeDatabase) {
  fs::remove_all(home() / "linkstore" / "JV");
  fs::remove(home() / "db" / "code.db");
  TRun run(home(), clock);
  ASSERT_EQ(run.core.Startup(run.view), TStartupResult::Running);
  EXPECT_FALSE(run.core.Config().JVLinkAvailable);
  EXPECT_EQ(run.dialogs.Texts(), (std::vector<std::string>{"指定されたデータベースファイルが存在しません ： Code"}));
  EXPECT_TRUE(run.dmd.conRace.Connected());
  EXPECT_TRUE(run.dmd.conRacese.Connected());
  EXPECT_FALSE(run.dmd.conCode.Connected());
  run.core.Shutdown(run.view);
}

TEST_F(AppStartupTest, ShutdownDeletesExpiredLogsOnlyWhenAutoDeleteIsOn) {
  for (bool autoDelete : {true, false}) {
    WriteSettings({"[System]", std::string("AutoDelete=") + (autoDelete ? "1" : "0"), "LogHozonKikan=7"});
    fs::create_directories(home() / "Log");
    WriteTextLines(home() / "Log" / "Log20240505.txt", {"7 days"});
    WriteTextLines(home() / "Log" / "Log20240504.txt", {"8 days"});
    TRun run(home(), clock);
    ASSERT_EQ(run.core.Startup(run.view), TStartupResult::Running);
    run.core.Shutdown(run.view);
    EXPECT_TRUE(fs::exists(home() / "Log" / "Log20240505.txt"));
    EXPECT_EQ(fs::exists(home() / "Log" / "Log20240504.txt"), !autoDelete);
  }
}

TEST_F(AppStartupTest, UnwritableLogFileIsReportedAsAFailedShutdown) {
  TRun run(home(), clock);
  ASSERT_EQ(run.core.Startup(run.view), TStartupResult::Running);
  fs::create_directories(logFile());  // a folder where the day's file belongs
  EXPECT_EQ(run.core.Shutdown(run.view), -900);
  EXPECT_NE(run.core.ExitCode(), 0);
}

}  // namespace
}  // namespace zelk
