// The main window on the offscreen platform: menus, actions, single-instance and exclusion
// rules of the MDI children, the configuration broadcast, and a whole screenshot run.
#include "ui/app/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <cstdlib>

#include "common/config.h"
#include "common/error_log.h"
#include "common/text_file.h"
#include "data/data_module.h"
#include "data/schema.h"
#include "data/temp_dir.h"
#include "support/fake_shell.h"
#include "support/fakes.h"
#include "ui/app/import_windows.h"
#include "ui/app/placeholder_windows.h"
#include "ui/data/jv_link_window.h"
#include "ui/app/zelkaro_run.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

void FlushDeletes() {
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    fs::create_directories(dir.path / "linkstore" / "JV");
    CreateDatabases(dir.path / "db");
    core = std::make_unique<TApplicationCore>(dir.path, clock, dialogs, nullptr, shell, dmd);
    frm = std::make_unique<TfrmMain>(*core, 0);
  }
  ~MainWindowTest() override {
    if (frm) frm->close();
    frm.reset();
    FlushDeletes();
  }
  void Start() {
    ASSERT_EQ(frm->FormCreate(), TStartupResult::Running);
    frm->FormShow();
    QElapsedTimer t;
    t.start();
    while (!frm->isEnabled() && t.elapsed() < 3000) QApplication::processEvents();
    ASSERT_TRUE(frm->isEnabled());
    dialogs.shown.clear();  // the local-link offer of the start
  }
  void Trigger(const char* action) {
    frm->Action(QString::fromUtf8(action))->trigger();
    FlushDeletes();
  }
  std::vector<std::string> LogEntriesAfterStart() const {
    std::vector<std::string> texts;
    for (const auto& e : core->Log().Entries()) texts.push_back(e.substr(e.find(' ', 11) + 1));
    return texts;
  }

  test::TTempDir dir{"zelk_mainwin"};
  test::TFakeClock clock;
  test::TRecordingDialogs dialogs;
  test::TRecordingShell shell;
  TdmdOV dmd;
  std::unique_ptr<TApplicationCore> core;
  std::unique_ptr<TfrmMain> frm;
};

TEST_F(MainWindowTest, ToolMenuCaptionsAndSeparators) {
  QMenu* tool = frm->Menu(QStringLiteral("mnuTool"));
  ASSERT_NE(tool, nullptr);
  EXPECT_EQ(tool->title(), QStringLiteral("ツール(&T)"));
  QStringList items;
  for (QAction* a : tool->actions()) items << (a->isSeparator() ? QStringLiteral("-") : a->text());
  EXPECT_EQ(items, (QStringList{"JV-Linkのプロパティ(&V)", "UmaConnのプロパティ(&X)", "-", "JV-Linkキャッシュ削除(&Y)",
                                "UmaConnキャッシュ削除(&Z)", "-", "INET-ID 入力画面を開く(&N)", "楽天入金(&A)",
                                "IPAT認証コード設定(&I)", "楽天アカウント変更(&R)", "-", "オプション(&O)..."}));

  QStringList titles;
  for (QAction* a : frm->menuBar()->actions()) titles << a->text();
  EXPECT_EQ(titles, (QStringList{"ファイル(&F)", "スタート(&S)", "データ(&D)", "ツール(&T)", "ウィンドウ(&W)", "ヘルプ(&H)"}));

  // The action list holds actions that no menu carries.
  for (const char* hidden : {"actCompactDB", "actDeleteRecord", "actFormYosoOdds", "actSokuPatNyukin",
                             "actWebOpenHayate", "actBroadcastConfigChange"}) {
    QAction* a = frm->Action(QString::fromUtf8(hidden));
    ASSERT_NE(a, nullptr) << hidden;
    EXPECT_TRUE(a->associatedObjects().empty() || a->associatedObjects() == QList<QObject*>{frm.get()}) << hidden;
  }
  EXPECT_EQ(frm->Action(QStringLiteral("actFormYosoOdds"))->text(), QStringLiteral("専門紙確率データのインポート（無料） (&D)"));
}

TEST_F(MainWindowTest, ToolbarSettingsAndLinkFlagsDriveMenus) {
  Start();  // central link store present, local one missing
  EXPECT_FALSE(frm->Toolbar()->isVisible());
  EXPECT_TRUE(frm->Menu(QStringLiteral("mnuStart"))->menuAction()->isVisible());
  EXPECT_TRUE(frm->Action(QStringLiteral("actJvImport"))->isEnabled());
  EXPECT_TRUE(frm->Action(QStringLiteral("actJvLinkProperties"))->isEnabled());
  for (const char* nv : {"actNvImport", "actNvLinkProperties", "actRakutenNyukin", "actRakutenAccountChange"}) {
    EXPECT_FALSE(frm->Action(QString::fromUtf8(nv))->isEnabled()) << nv;
  }

  core->Config().MainToolBarVisible = true;
  Trigger("actBroadcastConfigChange");
  EXPECT_TRUE(frm->Toolbar()->isVisible());
  EXPECT_FALSE(frm->Menu(QStringLiteral("mnuStart"))->menuAction()->isVisible());
  QStringList buttons;
  for (QToolButton* b : frm->Toolbar()->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (!b->objectName().startsWith(QStringLiteral("btn"))) continue;
    buttons << b->objectName();
  }
  EXPECT_EQ(buttons, (QStringList{"btnBakenSimulation", "btnShushiKanri", "btnAutoHandle"}));
}

TEST_F(MainWindowTest, SimulationAndAutomaticOperationExcludeEachOther) {
  Start();
  struct Case {
    const char* first;
    const char* firstName;
    const char* second;
    const char* secondName;
    const char* message;
  };
  for (Case c : {Case{"actAutoHandleShow", kAutoHandleName, "actBakenSimulationShow", kBakenSimulationName,
                      "馬券シミュレーション画面を起動するには自動運転画面を閉じてください。"},
                 Case{"actBakenSimulationShow", kBakenSimulationName, "actAutoHandleShow", kAutoHandleName,
                      "自動運転画面を起動するには馬券シミュレーション画面を閉じてください。"}}) {
    Trigger(c.first);
    ASSERT_TRUE(frm->IsFormOpen(QString::fromUtf8(c.firstName)));
    dialogs.shown.clear();
    Trigger(c.second);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, TDialogKind::Error);
    EXPECT_EQ(dialogs.shown[0].text, c.message);
    EXPECT_FALSE(frm->IsFormOpen(QString::fromUtf8(c.secondName)));
    EXPECT_EQ(frm->MdiArea()->subWindowList().size(), 1);

    frm->FindChildWindow(QString::fromUtf8(c.firstName))->close();
    FlushDeletes();
    EXPECT_FALSE(frm->IsFormOpen(QString::fromUtf8(c.firstName)));
    dialogs.shown.clear();
    Trigger(c.second);  // allowed once the other window has closed
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(frm->IsFormOpen(QString::fromUtf8(c.secondName)));
    frm->MdiArea()->closeAllSubWindows();
    FlushDeletes();
  }
}

TEST_F(MainWindowTest, BetHistoryTwiceShowsTheSameWindowAndLogsEachChoice) {
  Start();
  Trigger("actShushiKanriShow");
  QMdiSubWindow* first = frm->FindChildWindow(QString::fromUtf8(kShushiKanriName));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->windowTitle(), QStringLiteral("投票履歴"));
  Trigger("actShushiKanriShow");
  EXPECT_EQ(frm->FindChildWindow(QString::fromUtf8(kShushiKanriName)), first);
  EXPECT_EQ(frm->MdiArea()->subWindowList().size(), 1);

  Trigger("actAutoHandleShow");
  EXPECT_EQ(frm->FindChildWindow(QString::fromUtf8(kAutoHandleName))->pos(), QPoint(0, 0));

  // The window menu lists the open children below the tile items and their separator.
  QMenu* windows = frm->Menu(QStringLiteral("mnuMainWindow"));
  emit windows->aboutToShow();
  QStringList items;
  for (QAction* a : windows->actions()) items << (a->isSeparator() ? QStringLiteral("-") : a->text());
  EXPECT_EQ(items, (QStringList{"上下に並べて表示(&H)", "左右に並べて表示(&T)", "-", "&1 投票履歴", "&2 自動運転"}));

  std::vector<std::string> entries = LogEntriesAfterStart();
  std::vector<std::string> tail(entries.end() - 3, entries.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"[メインフォーム] 「投票履歴」起動", "[メインフォーム] 「投票履歴」起動",
                                            "[メインフォーム] 「自動運転」起動"}));
}

TEST_F(MainWindowTest, BroadcastReachesOnlySimulationAndAutomaticOperation) {
  Start();
  Trigger("actBakenSimulationShow");
  Trigger("actShushiKanriShow");
  Trigger("actBroadcastConfigChange");
  auto changes = [&](const char* name) {
    return static_cast<TPlaceholderChild*>(frm->FindChildWindow(QString::fromUtf8(name))->widget())->ConfigChanges();
  };
  EXPECT_EQ(changes(kBakenSimulationName), 1);
  EXPECT_EQ(changes(kShushiKanriName), 0);
}

TEST_F(MainWindowTest, ImportWindowIsCreatedOnceAndKeptWhenClosed) {
  Start();
  EXPECT_FALSE(frm->IsFormOpen(QStringLiteral("frmJVLink")));
  Trigger("actJvImport");
  TfrmDataLink* first = frm->ImportWindows().Existing(TLinkVariant::Central);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  first->btnCloseClick();  // closing only hides it
  EXPECT_TRUE(frm->IsFormOpen(QStringLiteral("frmJVLink")));
  Trigger("actJvImport");
  EXPECT_EQ(frm->ImportWindows().Existing(TLinkVariant::Central), first);
  EXPECT_EQ(frm->ImportWindows().Existing(TLinkVariant::Local), nullptr);
  EXPECT_EQ(LogEntriesAfterStart().back(), "[メインフォーム] 「JV-Dataインポート」起動");
}

TEST_F(MainWindowTest, ClosingRunsShutdownAndWritesTheLog) {
  Start();
  Trigger("actShushiKanriShow");
  frm->close();
  EXPECT_TRUE(core->ShutDown());
  EXPECT_EQ(frm->MdiArea()->subWindowList().size(), 0);
  std::vector<std::string> lines = ReadTextLines(dir.path / "Log" / "Log20240512.txt");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "2024/05/12 10:00:00 アプリケーション終了");
}

TEST(ZelkaroRun, ScreenshotRunLeavesPicturesAndExitsZero) {
  test::TTempDir dir("zelk_shots");
  fs::path home = dir.path / "home";
  fs::path shots = dir.path / "shots";
  setenv("ZELK_REGISTRY", (dir.path / "registry.ini").c_str(), 1);
  // No link stores: the monthly local-link offer is answered "No" and saved as a picture too.
  TZelkaroOptions options = ParseZelkaroArguments({"--home", home.string(), "--screenshot", shots.string()},
                                                  nullptr, "/nowhere");
  ASSERT_TRUE(options.error.empty());
  EXPECT_EQ(options.home, home);
  EXPECT_EQ(RunZelkaro(options, nullptr), 0);
  for (const char* name : {"main_window.png", "splash.png", "progress.png", "about.png", "menu_tool.png",
                           "baken_simulation.png", "auto_handle.png", "shushi_kanri.png", "message_01_information.png"}) {
    EXPECT_TRUE(fs::exists(shots / name)) << name;
  }
  EXPECT_TRUE(fs::exists(home / "zelk.ini"));  // shut down through the normal sequence
  FlushDeletes();
}

TEST(ZelkaroRun, ArgumentsAndHomeFolderChoice) {
  EXPECT_EQ(ParseZelkaroArguments({}, nullptr, "/opt/zelkaro").home, fs::path("/opt/zelkaro"));
  EXPECT_EQ(ParseZelkaroArguments({}, "/srv/env-home", "/opt/zelkaro").home, fs::path("/srv/env-home"));
  EXPECT_EQ(ParseZelkaroArguments({"--home", "/srv/h"}, "/srv/env-home", "/opt").home, fs::path("/srv/h"));
  EXPECT_FALSE(ParseZelkaroArguments({"--home"}, nullptr, "/opt").error.empty());
  EXPECT_FALSE(ParseZelkaroArguments({"--bogus"}, nullptr, "/opt").error.empty());
}

}  // namespace
}  // namespace zelk
