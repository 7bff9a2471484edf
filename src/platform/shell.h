#pragma once
// The desktop's shell services: opening web addresses and documents, the trash, power-off
// and sound playback. The core uses them through IShell; tests use TRecordingShell
// (tests/support/fake_shell.h).
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace zelk {

class IShell {
 public:
  virtual ~IShell() = default;
  // Opens a web address in the user's browser. True when the opener was started.
  virtual bool OpenUrl(const std::string& url) = 0;
  // Opens a file with the application the desktop associates with it.
  virtual bool OpenDocument(const std::filesystem::path& path) = 0;
  // Moves a file or folder to the user's trash (recoverable). True when it left its place.
  virtual bool MoveToTrash(const std::filesystem::path& path) = 0;
  // Powers the machine off (the automatic run's shut-down option). True when it was requested.
  virtual bool PowerOff() = 0;
  // Starts playing a WAV file and returns at once; a sound still playing is stopped first.
  // False (and silence) when the file or a player is missing.
  virtual bool PlaySoundAsync(const std::filesystem::path& wavFile) = 0;
};

// The freedesktop.org home trash: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash.
std::filesystem::path HomeTrashFolder();

// Moves `path` into the trash folder `trash` (files/ and info/ with a .trashinfo holding the
// original path and the deletion date). A name already in the trash gets a numbered suffix.
// Across file systems the entry is copied and then removed. False when nothing was moved;
// the entry is then where it was.
bool MoveToTrashFolder(const std::filesystem::path& path, const std::filesystem::path& trash);

// Starts a program found on PATH with the given arguments, without a shell, its output sent
// to /dev/null. Returns the child's process id, or -1 when it could not be started.
pid_t SpawnProgram(const std::string& program, const std::vector<std::string>& args);

// The first of the programs that is an executable file on PATH; empty when none is.
std::string FindProgram(const std::vector<std::string>& candidates);

// xdg-open, the freedesktop trash, systemctl poweroff, paplay or aplay.
class TSystemShell final : public IShell {
 public:
  TSystemShell() = default;
  ~TSystemShell() override;
  TSystemShell(const TSystemShell&) = delete;
  TSystemShell& operator=(const TSystemShell&) = delete;

  bool OpenUrl(const std::string& url) override;
  bool OpenDocument(const std::filesystem::path& path) override;
  bool MoveToTrash(const std::filesystem::path& path) override;
  bool PowerOff() override;
  bool PlaySoundAsync(const std::filesystem::path& wavFile) override;

  // Waits for every child this shell started (tests; programs that must not leave early).
  void WaitForChildren();

 private:
  void ReapFinished();
  std::vector<pid_t> children_;
  pid_t player_ = -1;
};

}  // namespace zelk
