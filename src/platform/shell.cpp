#include "platform/shell.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zelk {
namespace fs = std::filesystem;

pid_t SpawnProgram(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> argvText;
  argvText.reserve(args.size() + 1);
  argvText.push_back(program);
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

std::string FindProgram(const std::vector<std::string>& candidates) {
  const char* pathEnv = std::getenv("PATH");
  std::string_view path = pathEnv ? pathEnv : "/usr/bin:/bin";
  for (const auto& name : candidates) {
    size_t start = 0;
    while (start <= path.size()) {
      size_t end = std::min(path.find(':', start), path.size());
      std::string_view dir = path.substr(start, end - start);
      fs::path candidate = dir.empty() ? fs::path(name) : fs::path(dir) / name;
      std::error_code ec;
      if (fs::is_regular_file(candidate, ec) && access(candidate.c_str(), X_OK) == 0) return name;
      start = end + 1;
    }
  }
  return "";
}

TSystemShell::~TSystemShell() { ReapFinished(); }

void TSystemShell::ReapFinished() {
  std::erase_if(children_, [](pid_t pid) {
    int status;
    pid_t r = waitpid(pid, &status, WNOHANG);
    return r == pid || (r < 0 && errno == ECHILD);
  });
}

void TSystemShell::WaitForChildren() {
  for (pid_t pid : children_) {
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  children_.clear();
  player_ = -1;
}

bool TSystemShell::OpenUrl(const std::string& url) {
  ReapFinished();
  // An address is never taken for an option of the opener.
  if (url.empty() || url[0] == '-') return false;
  pid_t pid = SpawnProgram("xdg-open", {url});
  if (pid < 0) return false;
  children_.push_back(pid);
  return true;
}

bool TSystemShell::OpenDocument(const fs::path& path) {
  ReapFinished();
  std::error_code ec;
  fs::path full = fs::absolute(path, ec);
  if (ec || !fs::exists(full, ec)) return false;
  pid_t pid = SpawnProgram("xdg-open", {full.string()});
  if (pid < 0) return false;
  children_.push_back(pid);
  return true;
}

bool TSystemShell::MoveToTrash(const fs::path& path) { return MoveToTrashFolder(path, HomeTrashFolder()); }

bool TSystemShell::PowerOff() {
  ReapFinished();
  pid_t pid = SpawnProgram("systemctl", {"poweroff"});
  if (pid < 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool TSystemShell::PlaySoundAsync(const fs::path& wavFile) {
  ReapFinished();
  // Like the desktop's asynchronous playback, a new sound replaces the one still playing.
  if (player_ > 0 && std::find(children_.begin(), children_.end(), player_) != children_.end()) {
    kill(player_, SIGTERM);
  }
  player_ = -1;
  std::error_code ec;
  if (!fs::is_regular_file(wavFile, ec)) return false;
  std::string player = FindProgram({"paplay", "aplay"});
  if (player.empty()) return false;
  std::vector<std::string> args;
  if (player == "aplay") args.push_back("-q");
  args.push_back(fs::absolute(wavFile, ec).string());
  pid_t pid = SpawnProgram(player, args);
  if (pid < 0) return false;
  children_.push_back(pid);
  player_ = pid;
  return true;
}

}  // namespace zelk
