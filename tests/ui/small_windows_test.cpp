// The shell's small windows: the progress window, the splash and the version dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>
#include <stdexcept>

#include "common/error_log.h"
#include "data/app_startup.h"
#include "data/data_module.h"
#include "data/temp_dir.h"
#include "support/fake_shell.h"
#include "ui/app/application.h"
#include "support/fakes.h"
#include "ui/app/about_dialog.h"
#include "ui/app/progress_window.h"
#include "ui/app/qt_dialogs.h"
#include "ui/app/splash_window.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

TEST(ProgressWindow, LayoutFollowsTheVisibleControlsAndCancelFlagResets) {
  QWidget owner;
  TfrmProgress frm(&owner);
  EXPECT_EQ(frm.windowTitle(), QStringLiteral("処理中"));
  EXPECT_EQ(frm.CancelButton()->text(), QStringLiteral("キャンセル"));

  struct Case {
    bool bar, cancel;
    int labelTop;
  };
  for (Case c : {Case{true, true, 28}, Case{true, false, 28}, Case{false, true, 28}, Case{false, false, 52}}) {
    frm.ShowProgress("最適化中", c.bar, c.cancel);
    EXPECT_EQ(frm.Label()->text(), QStringLiteral("最適化中"));
    EXPECT_EQ(frm.Label()->y(), c.labelTop) << c.bar << c.cancel;
    EXPECT_EQ(frm.Bar()->isVisible(), c.bar);
    EXPECT_EQ(frm.CancelButton()->isVisible(), c.cancel);
    EXPECT_EQ(frm.CursorTimerActive(), c.cancel);
  }

  frm.ShowProgress("x", true, true);
  frm.CancelButton()->click();
  EXPECT_TRUE(frm.IsCancelled());
  frm.ShowProgress("y", true, true);  // a new operation starts uncancelled
  EXPECT_FALSE(frm.IsCancelled());

  frm.SetProgressMax(10);
  frm.StepProgress(3);
  frm.StepProgress(4);
  EXPECT_EQ(frm.Bar()->maximum(), 10);
  EXPECT_EQ(frm.Bar()->value(), 7);
  frm.SetProgressMax(5);  // a new maximum starts the bar again
  EXPECT_EQ(frm.Bar()->value(), 0);

  frm.CloseProgress();
  EXPECT_FALSE(frm.isVisible());
  EXPECT_FALSE(frm.CursorTimerActive());
}

TEST(SplashWindow, ClosesOnlyWhenTimerFiredAndStartupDone) {
  for (bool doneFirst : {true, false}) {
    auto* splash = new TfrmSplash(0);
    bool closed = false;
    QObject::connect(splash, &TfrmSplash::SplashClosed, [&] { closed = true; });
    splash->Start();
    EXPECT_EQ(splash->VersionLabel()->text(), QStringLiteral("Ver.2.0.0"));
    EXPECT_TRUE(splash->UserNameLabel()->text().isEmpty());
    if (doneFirst) {
      splash->MarkStartupDone();
      EXPECT_FALSE(closed);
      while (!splash->TimerFired()) QApplication::processEvents();
    } else {
      while (!splash->TimerFired()) QApplication::processEvents();
      EXPECT_FALSE(closed);
      splash->MarkStartupDone();
    }
    EXPECT_TRUE(closed);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

TEST(AboutDialog, WritesCreationOkAndCloseEntries) {
  fs::path dir = fs::temp_directory_path() / "zelk_about_test";
  test::TFakeClock clock;
  test::TRecordingDialogs dialogs;
  TErrorLog log(dir, false, clock, &dialogs);
  {
    TfrmAbout about(log, nullptr);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(about.VersionLabel()->text(), QStringLiteral("Ver.2.0.0"));
    EXPECT_TRUE(about.EditionLabel()->text().isEmpty());
    EXPECT_EQ(about.OkButton()->text(), QStringLiteral("OK"));
    about.show();
    about.OkButton()->click();
  }
  ASSERT_EQ(log.Entries().size(), 3u);
  EXPECT_EQ(log.Entries()[0], "2024/05/12 10:00:00 [バージョン情報] 生成");
  EXPECT_EQ(log.Entries()[1], "2024/05/12 10:00:00 [バージョン情報] 「OK」ボタン");
  EXPECT_EQ(log.Entries()[2], "2024/05/12 10:00:00 [バージョン情報] 終了");
}

TEST(QtDialogs, ScreenshotModeAnswersByDefaultAndSavesEachBox) {
  fs::path dir = fs::temp_directory_path() / "zelk_dialogs_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  TQtDialogs dialogs;
  dialogs.SetScreenshotFolder(dir);
  EXPECT_EQ(dialogs.Show(TDialogKind::Information, "一行目\r\n二行目", TDialogButtons::YesNo), TDialogAnswer::No);
  EXPECT_EQ(dialogs.Show(TDialogKind::Error, "エラー", TDialogButtons::Ok), TDialogAnswer::Ok);
  ASSERT_EQ(dialogs.SavedPictures().size(), 2u);
  EXPECT_EQ(dialogs.SavedPictures()[0].filename(), "message_01_information.png");
  EXPECT_EQ(dialogs.SavedPictures()[1].filename(), "message_02_error.png");
  for (const auto& f : dialogs.SavedPictures()) EXPECT_GT(fs::file_size(f), 0u);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace zelk

namespace zelk {
namespace {

namespace fs = std::filesystem;

// An object whose event handler fails the way any handler of the system could.
class TThrowingObject final : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw std::runtime_error("テスト例外");
    return QObject::event(e);
  }
};

TEST(ApplicationHook, ExceptionInAnEventHandlerIsLoggedWithoutDialog) {
  auto* app = qobject_cast<TZelkaroApplication*>(QCoreApplication::instance());
  ASSERT_NE(app, nullptr);
  test::TTempDir dir("zelk_hook");
  fs::create_directories(dir.path / "linkstore" / "NV");
  test::TFakeClock clock;
  test::TRecordingDialogs dialogs;
  test::TRecordingShell shell;
  TdmdOV dmd;
  TApplicationCore core(dir.path, clock, dialogs, nullptr, shell, dmd);
  struct TNoView final : IShellView {} view;
  ASSERT_EQ(core.Startup(view), TStartupResult::Running);
  dialogs.shown.clear();
  app->SetCore(&core);

  TThrowingObject target;
  QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
  QCoreApplication::sendPostedEvents(&target, QEvent::User);  // the loop goes on afterwards
  app->SetCore(nullptr);

  ASSERT_FALSE(core.Log().Entries().empty());
  EXPECT_EQ(core.Log().Entries().back(), "2024/05/12 10:00:00 テスト例外");
  EXPECT_TRUE(dialogs.shown.empty());
  core.Shutdown(view);
}

}  // namespace
}  // namespace zelk
