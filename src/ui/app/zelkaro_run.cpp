#include "ui/app/zelkaro_run.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <memory>

#include "common/ui_services.h"
#include "data/app_startup.h"
#include "data/data_module.h"
#include "platform/registry_file.h"
#include "platform/shell.h"
#include "ui/app/application.h"
#include "ui/app/main_window.h"
#include "ui/app/qt_dialogs.h"
#include "ui/app/screenshots.h"

namespace zelk {
namespace fs = std::filesystem;

namespace {

// The shell of a screenshot run: nobody watches, so nothing is opened, trashed or played;
// requests are reported on stderr.
class TScreenshotShell final : public IShell {
 public:
  bool OpenUrl(const std::string& url) override { return Note("open", url); }
  bool OpenDocument(const fs::path& path) override { return Note("open", path.string()); }
  bool MoveToTrash(const fs::path& path) override { return Note("trash", path.string()), false; }
  bool PowerOff() override { return Note("power-off", ""), false; }
  bool PlaySoundAsync(const fs::path& wav) override { return Note("play", wav.string()), false; }

 private:
  static bool Note(const char* what, const std::string& target) {
    std::fprintf(stderr, "zelkaro: screenshot run, not done: %s %s\n", what, target.c_str());
    return true;
  }
};

}  // namespace

fs::path ExecutableFolder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : exe.parent_path();
}

TZelkaroOptions ParseZelkaroArguments(const std::vector<std::string>& args, const char* envHome,
                                      const fs::path& exeDir) {
  TZelkaroOptions o;
  fs::path home;
  if (envHome && *envHome) home = envHome;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if ((a == "--home" || a == "--screenshot") && i + 1 < args.size() && !args[i + 1].empty()) {
      (a == "--home" ? home : o.screenshotDir) = args[++i];
    } else if (a == "--home" || a == "--screenshot") {
      o.error = a + " にはフォルダを指定してください";
    } else {
      o.error = "不明な引数: " + a;
    }
  }
  std::error_code ec;
  o.home = home.empty() ? exeDir : fs::absolute(home, ec);
  if (!o.screenshotDir.empty()) o.screenshotDir = fs::absolute(o.screenshotDir, ec);
  return o;
}

int RunZelkaro(const TZelkaroOptions& options, TZelkaroApplication* app) {
  const bool screenshots = !options.screenshotDir.empty();
  TQtDialogs dialogs;
  if (screenshots) {
    std::error_code ec;
    fs::create_directories(options.screenshotDir, ec);
    if (!fs::is_directory(options.screenshotDir)) {
      std::fprintf(stderr, "zelkaro: cannot create %s\n", options.screenshotDir.c_str());
      return 2;
    }
    dialogs.SetScreenshotFolder(options.screenshotDir);
  }

  TSystemClock clock;
  TRegistryFile registry;
  std::unique_ptr<IShell> shell;
  if (screenshots) {
    shell = std::make_unique<TScreenshotShell>();
  } else {
    shell = std::make_unique<TSystemShell>();
  }
  TdmdOV dmd;
  TApplicationCore core(options.home, clock, dialogs, &registry, *shell, dmd);
  if (app) app->SetCore(&core);
  struct TDetach {
    TZelkaroApplication* app;
    ~TDetach() {
      if (app) app->SetCore(nullptr);
    }
  } detach{app};

  TfrmMain frmMain(core, screenshots ? 0 : 2000);
  dialogs.SetParent(&frmMain);
  if (frmMain.FormCreate() != TStartupResult::Running) return core.ExitCode();
  frmMain.FormShow();

  if (!screenshots) {
    QObject::connect(&frmMain, &TfrmMain::MainClosed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    int rc = QApplication::exec();
    if (!core.ShutDown()) frmMain.close();
    return rc != 0 ? rc : core.ExitCode();
  }

  // Screenshot run: let the splash close and the window settle, take every picture, then
  // shut down through the normal sequence.
  QElapsedTimer settle;
  settle.start();
  while (!frmMain.isEnabled() && settle.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 50);
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  TScreenshotSession session(frmMain, options.screenshotDir);
  RunScreenshots(session);
  frmMain.close();
  QApplication::processEvents();

  for (const auto& f : dialogs.SavedPictures()) std::printf("%s\n", f.c_str());
  for (const auto& f : session.Saved()) std::printf("%s\n", f.c_str());
  for (const auto& f : session.Failures()) std::fprintf(stderr, "zelkaro: screenshot failed: %s\n", f.c_str());
  if (core.ExitCode() != 0) return core.ExitCode();
  return session.Failures().empty() ? 0 : 1;
}

}  // namespace zelk
