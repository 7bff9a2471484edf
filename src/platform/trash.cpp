#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "common/date_time.h"
#include "platform/shell.h"

// The home trash of the freedesktop desktop (as file managers keep it): the entry is moved to
// Trash/files/NAME and Trash/info/NAME.trashinfo records where it came from and when.

namespace zelk {
namespace fs = std::filesystem;

namespace {

// Percent-escapes every byte outside the unreserved characters and "/", as in a URL path.
std::string EscapePath(const std::string& bytes) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                std::string_view("-_.!~*'()/").find(static_cast<char>(c)) != std::string_view::npos;
    if (keep) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::string DeletionDate() {
  TDateTime t = NowLocal();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return buf;
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

fs::path HomeTrashFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && dataHome[0] == '/') return fs::path(dataHome) / "Trash";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return fs::path(home) / ".local" / "share" / "Trash";
  return {};
}

bool MoveToTrashFolder(const fs::path& path, const fs::path& trash) {
  if (trash.empty()) return false;
  std::error_code ec;
  fs::path source = fs::absolute(path, ec).lexically_normal();
  if (ec || !source.has_filename()) return false;
  if (!fs::exists(fs::symlink_status(source, ec))) return false;  // nothing there

  const fs::path files = trash / "files";
  const fs::path info = trash / "info";
  fs::create_directories(files, ec);
  fs::create_directories(info, ec);
  if (!fs::is_directory(files, ec) || !fs::is_directory(info, ec)) return false;
  ::chmod(trash.c_str(), 0700);

  // Claim a free name by creating its info file exclusively.
  const std::string base = source.filename().string();
  std::string name;
  fs::path infoFile;
  int fd = -1;
  for (int n = 1; n < 10000 && fd < 0; ++n) {
    name = n == 1 ? base : base + "." + std::to_string(n);
    infoFile = info / (name + ".trashinfo");
    if (fs::exists(fs::symlink_status(files / name, ec))) continue;
    fd = ::open(infoFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  const std::string record =
      "[Trash Info]\nPath=" + EscapePath(source.string()) + "\nDeletionDate=" + DeletionDate() + "\n";
  bool written = WriteAll(fd, record);
  ::close(fd);
  if (!written) {
    fs::remove(infoFile, ec);
    return false;
  }

  const fs::path target = files / name;
  if (std::rename(source.c_str(), target.c_str()) == 0) return true;
  if (errno == EXDEV) {
    // Another file system: copy into the trash, then remove the original.
    fs::copy(source, target, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    if (!ec) {
      fs::remove_all(source, ec);
      if (!fs::exists(fs::symlink_status(source, ec))) return true;
      return false;  // partly removed: the full copy stays in the trash
    }
    fs::remove_all(target, ec);
  }
  fs::remove(infoFile, ec);
  return false;
}

}  // namespace zelk
