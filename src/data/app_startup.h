#pragma once
// Start-up and shut-down of the application, without windows: the settings, the data-link
// probes, the writable-home check, the log, the local-racing installer offer, the database
// configuration and the working folders; at the end the log entry, the clean-up of expired
// files, the window geometry, the settings save, the local-racing logout and the log release.
// The main window drives it through IShellView; tests drive it with fakes.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zelk {

class IClock;
class IDialogs;
class IRegistry;
class IShell;
class TConfig;
class TErrorLog;
class TdmdOV;
enum class TLinkSide;

inline constexpr const char* kNotWritableMessage =
    "Zelkaroを右クリックして「管理者として実行」で起動し直してください";
inline constexpr const char* kUmaConnOfferMessage =
    "UmaConnをインストールすることにより、地方競馬でもご利用いただけます。\r\nUmaConnをダウンロードしますか？";
inline constexpr const char* kStartupLogText = "アプリケーション起動";
inline constexpr const char* kShutdownLogText = "アプリケーション終了";
inline constexpr const char* kMainFormText = "メインフォーム";

// Position and size of the main window in pixels.
struct TWindowGeometry {
  int top = 0, left = 0, height = 0, width = 0;
  bool maximized = false;
};

// What the windows do at the fixed points of start-up and shut-down.
class IShellView {
 public:
  virtual ~IShellView() = default;
  // After the settings and the writable-home check, before the log exists.
  virtual void ShowSplash() {}
  // After the local-racing probe: toolbar, menus and the items the link flags enable.
  virtual void ApplyMainToolbarSettings() {}
  // After the databases and the folders.
  virtual void StartupDone() {}
  // Shut-down: every open child window closes (each saves its own state).
  virtual void CloseChildWindows() {}
  // Shut-down: the window's state as it closes.
  virtual TWindowGeometry CurrentGeometry() const { return {}; }
};

enum class TStartupResult {
  Running,          // the main window runs
  NotWritable,      // the application folder cannot be written: message shown, nothing else ran
  InstallerChosen,  // the user chose to download the local-racing installer: settings saved
};

// Probe of a data link: true when the link is present on this machine.
using TLinkProbe = std::function<bool(const std::filesystem::path& appDir)>;

// True when the link's store folder (linkstore/JV or linkstore/NV under the application folder,
// or the folder chosen in the link's properties) exists.
bool LinkStorePresent(const std::filesystem::path& appDir, TLinkSide side);

// True when files can be created in `folder`. A folder that does not exist yet is created
// (with its missing parents) only when its nearest existing parent accepts a file; nothing
// is left behind when the check fails.
bool FolderWritable(const std::filesystem::path& folder);

// The working folders created at start-up under the application folder.
const std::vector<std::string>& WorkingFolderNames();

class TApplicationCore {
 public:
  TApplicationCore(std::filesystem::path appDir, const IClock& clock, IDialogs& dialogs, IRegistry* registry,
                   IShell& shell, TdmdOV& dmd);
  ~TApplicationCore();
  TApplicationCore(const TApplicationCore&) = delete;
  TApplicationCore& operator=(const TApplicationCore&) = delete;

  // Stand-ins for the two data-link controls; default: their link store folders.
  void SetLinkProbes(TLinkProbe central, TLinkProbe local);
  // Logs the local-racing betting account out at shut-down (set by the local-racing import
  // window once it exists); called only while the login flag is set.
  void SetLocalLogout(std::function<void()> logout) { localLogout_ = std::move(logout); }
  // Where the local-racing control's installer is downloaded.
  void SetInstallerAddress(std::string address) { installerAddress_ = std::move(address); }

  // Runs start-up once. Exceptions are caught and logged (or shown when no log exists yet).
  TStartupResult Startup(IShellView& view);
  // Runs shut-down once after a successful start-up. Returns 0, or -900 when the log file
  // could not be written.
  int Shutdown(IShellView& view);

  // The process exit code for the start-up result and shut-down.
  int ExitCode() const { return exitCode_; }

  TConfig& Config();
  TErrorLog& Log();  // exists from start-up step 7 until shut-down
  bool HasLog() const { return log_ != nullptr; }
  TdmdOV& Dmd() { return dmd_; }
  IDialogs& Dialogs() { return dialogs_; }
  IShell& Shell() { return shell_; }
  const IClock& Clock() const { return clock_; }
  const std::filesystem::path& AppDir() const { return appDir_; }
  bool Started() const { return started_; }
  bool ShutDown() const { return shutDown_; }

  // The stored window geometry the main window applies when it is shown.
  TWindowGeometry StoredGeometry() const;

 private:
  bool OfferLocalInstaller();
  void CreateWorkingFolders();

  std::filesystem::path appDir_;
  const IClock& clock_;
  IDialogs& dialogs_;
  IRegistry* registry_;
  IShell& shell_;
  TdmdOV& dmd_;
  std::unique_ptr<TConfig> config_;
  std::unique_ptr<TErrorLog> log_;
  TLinkProbe centralProbe_;
  TLinkProbe localProbe_;
  std::function<void()> localLogout_;
  std::string installerAddress_;
  bool started_ = false;
  bool shutDown_ = false;
  int exitCode_ = 0;
};

}  // namespace zelk
