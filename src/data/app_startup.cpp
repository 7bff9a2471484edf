#include "data/app_startup.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>

#include "common/config.h"
#include "common/error_log.h"
#include "common/expired_files.h"
#include "common/ui_services.h"
#include "data/data_module.h"
#include "data/web_addresses.h"
#include "platform/file_data_link.h"
#include "platform/shell.h"

namespace zelk {
namespace fs = std::filesystem;

namespace {

// Creates and removes one empty file: the plain test of "can this user write here".
// Permission bits alone do not answer it (root, read-only mounts, ACLs).
bool AcceptsFile(const fs::path& dir) {
  static std::atomic<int> counter{0};
  fs::path probe = dir / (".zelk-write-check-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

}  // namespace

bool LinkStorePresent(const fs::path& appDir, TLinkSide side) {
  std::error_code ec;
  return fs::is_directory(TFileDataLink::ConfiguredStoreFolder(appDir, side), ec);
}

bool FolderWritable(const fs::path& folder) {
  std::error_code ec;
  fs::path target = fs::absolute(folder, ec);
  if (ec || target.empty()) return false;
  if (fs::is_directory(target, ec)) return AcceptsFile(target);

  fs::path existing = target;
  while (!fs::exists(existing, ec)) {
    fs::path parent = existing.parent_path();
    if (parent == existing) return false;
    existing = parent;
  }
  // Something that is not a folder stands in the way, or the parent refuses new entries:
  // fail before creating anything.
  if (!fs::is_directory(existing, ec) || !AcceptsFile(existing)) return false;
  fs::create_directories(target, ec);
  if (ec || !fs::is_directory(target, ec)) return false;
  return AcceptsFile(target);
}

const std::vector<std::string>& WorkingFolderNames() {
  static const std::vector<std::string> names = {"Log", "Sokuho", "Temp", "SimulationJoken", "AutoHandle"};
  return names;
}

TApplicationCore::TApplicationCore(fs::path appDir, const IClock& clock, IDialogs& dialogs, IRegistry* registry,
                                   IShell& shell, TdmdOV& dmd)
    : appDir_(std::move(appDir)),
      clock_(clock),
      dialogs_(dialogs),
      registry_(registry),
      shell_(shell),
      dmd_(dmd),
      centralProbe_([](const fs::path& dir) { return LinkStorePresent(dir, TLinkSide::Central); }),
      localProbe_([](const fs::path& dir) { return LinkStorePresent(dir, TLinkSide::Local); }),
      installerAddress_(kAddressUmaConnInstaller) {}

TApplicationCore::~TApplicationCore() = default;

void TApplicationCore::SetLinkProbes(TLinkProbe central, TLinkProbe local) {
  centralProbe_ = std::move(central);
  localProbe_ = std::move(local);
}

TConfig& TApplicationCore::Config() {
  if (!config_) throw std::logic_error("settings are not loaded");
  return *config_;
}

TErrorLog& TApplicationCore::Log() {
  if (!log_) throw std::logic_error("the log is not open");
  return *log_;
}

TWindowGeometry TApplicationCore::StoredGeometry() const {
  TWindowGeometry g;
  if (!config_) return g;
  g.top = config_->FormMainTop;
  g.left = config_->FormMainLeft;
  g.height = config_->FormMainHeight;
  g.width = config_->FormMainWidth;
  g.maximized = config_->FormMainMaximize;
  return g;
}

bool TApplicationCore::OfferLocalInstaller() {
  std::string month = FormatYm(clock_.Now());
  if (!(month > config_->UmaConnCheckMonth)) return false;
  bool yes = dialogs_.Confirm(kUmaConnOfferMessage, TDialogKind::Information);
  // The offer is made once a month whatever the answer.
  config_->UmaConnCheckMonth = month;
  if (!yes) return false;
  shell_.OpenUrl(installerAddress_);
  config_->SaveSettings();
  return true;
}

void TApplicationCore::CreateWorkingFolders() {
  for (const auto& name : WorkingFolderNames()) {
    std::error_code ec;
    fs::create_directories(appDir_ / name, ec);
    if (ec || !fs::is_directory(appDir_ / name)) {
      log_->WriteErrorLog(-900, std::string(kMainFormText) + " - フォルダ作成", (appDir_ / name).string(),
                          ec ? ec.message() : "フォルダを作成できません");
    }
  }
}

TStartupResult TApplicationCore::Startup(IShellView& view) {
  if (started_) return TStartupResult::Running;
  config_ = std::make_unique<TConfig>(appDir_, clock_, &dialogs_, registry_);
  config_->LoadSettings();
  try {
    config_->JVLinkAvailable = centralProbe_ && centralProbe_(appDir_);
  } catch (const std::exception&) {
    config_->JVLinkAvailable = false;
  }

  // The application keeps every file below its own folder; without write access nothing of
  // the rest could work, so nothing else runs: no folder, no log.
  if (!FolderWritable(appDir_)) {
    dialogs_.Show(TDialogKind::Plain, kNotWritableMessage, TDialogButtons::Ok);
    exitCode_ = 1;
    return TStartupResult::NotWritable;
  }

  view.ShowSplash();
  log_ = std::make_unique<TErrorLog>(appDir_, config_->LogOutput, clock_, &dialogs_);

  try {
    bool local = false;
    try {
      local = localProbe_ && localProbe_(appDir_);
    } catch (const std::exception&) {
      local = false;
    }
    config_->NVLinkAvailable = local;
    if (!local && OfferLocalInstaller()) {
      exitCode_ = 0;
      return TStartupResult::InstallerChosen;
    }

    view.ApplyMainToolbarSettings();
    try {
      dmd_.ConfigureDatabases(config_->DbDir(), *log_, dialogs_);
    } catch (const std::exception& e) {
      log_->WriteErrorLog(-999, std::string(kMainFormText) + " - データベース設定", "", e.what());
    }
    CreateWorkingFolders();
  } catch (const std::exception& e) {
    log_->WriteErrorLog(-999, std::string(kMainFormText) + " - 起動", "", e.what());
  }

  view.StartupDone();
  config_->NVLoggedIn = false;
  log_->WriteLog(kStartupLogText);
  started_ = true;
  return TStartupResult::Running;
}

int TApplicationCore::Shutdown(IShellView& view) {
  if (!started_ || shutDown_) return 0;
  shutDown_ = true;
  const std::string op = std::string(kMainFormText) + " - 終了処理";
  log_->WriteLog(kShutdownLogText);

  if (config_->AutoDelete) {
    try {
      DeleteExpiredFiles(appDir_, clock_.Now().DateOnly(), config_->LogHozonKikan, config_->SokuhoDataHozonKikan);
    } catch (const std::exception& e) {
      log_->WriteErrorLogQuiet(-999, op, "", e.what());
    }
  }

  try {
    view.CloseChildWindows();
  } catch (const std::exception& e) {
    log_->WriteErrorLogQuiet(-999, op, "", e.what());
  }

  // A maximised window keeps the position and size of its last normal close.
  TWindowGeometry g = view.CurrentGeometry();
  if (g.maximized) {
    config_->FormMainMaximize = true;
  } else {
    config_->FormMainTop = g.top;
    config_->FormMainLeft = g.left;
    config_->FormMainHeight = g.height;
    config_->FormMainWidth = g.width;
    config_->FormMainMaximize = false;
  }
  config_->SaveSettings();

  if (config_->NVLoggedIn && localLogout_) {
    try {
      localLogout_();
    } catch (const std::exception& e) {
      log_->WriteErrorLogQuiet(-999, op, "", e.what());
    }
  }

  bool written = log_->Release();
  log_.reset();
  if (!written) {
    exitCode_ = 1;
    return -900;
  }
  return 0;
}

}  // namespace zelk
