#include "platform/registry_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "common/cp932.h"
#include "common/ini_file.h"

namespace zelk {
namespace fs = std::filesystem;
namespace {

// Section name of a key: separators normalised, so "HKEY_CURRENT_USER\\Software\ZELKARO\" and
// "HKEY_CURRENT_USER\Software\ZELKARO" are the same key.
std::string SectionOf(const std::string& keyPath) { return RegistryKeyPath(keyPath, ""); }

// A text survives the file when it has no line break, no blank at its end (the INI reader trims
// lines) and only characters that CP932 can hold.
bool Storable(const std::string& s) {
  if (s.find_first_of("\r\n") != std::string::npos) return false;
  if (!s.empty() && (s.back() == ' ' || s.back() == '\t')) return false;
  return Cp932ToUtf8(Utf8ToCp932(s)) == s;
}

void WriteWithMode0600(const fs::path& path, const std::string& bytes) {
  if (path.has_parent_path() && !fs::exists(path.parent_path())) {
    fs::create_directories(path.parent_path());
    fs::permissions(path.parent_path(), fs::perms::owner_all, fs::perm_options::replace);
  }
  fs::path tmp = path;
  tmp += ".tmp" + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) throw std::runtime_error("registry store cannot be created");
  ::fchmod(fd, 0600);
  const char* p = bytes.data();
  size_t left = bytes.size();
  bool ok = true;
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  std::error_code ec;
  if (ok) fs::rename(tmp, path, ec);
  if (!ok || ec) {
    ::unlink(tmp.c_str());
    throw std::runtime_error("registry store cannot be written");
  }
}

}  // namespace

TRegistryFile::TRegistryFile() : path_(DefaultPath()) {}
TRegistryFile::TRegistryFile(fs::path path) : path_(std::move(path)) {}

fs::path TRegistryFile::DefaultPath() {
  if (const char* p = std::getenv("ZELK_REGISTRY"); p && *p) return p;
  fs::path base;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x)
    base = x;
  else if (const char* h = std::getenv("HOME"); h && *h)
    base = fs::path(h) / ".config";
  else
    base = ".config";
  return base / "zelkaro" / "registry.ini";
}

bool TRegistryFile::Load(TIniFile& ini) const {
  try {
    ini = TIniFile(path_);
    ini.Load();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

std::optional<std::string> TRegistryFile::ReadString(const std::string& keyPath, const std::string& name) {
  TIniFile ini;
  if (!Load(ini)) return std::nullopt;
  return ini.Find(SectionOf(keyPath), name);
}

bool TRegistryFile::KeyExists(const std::string& keyPath) {
  TIniFile ini;
  return Load(ini) && ini.SectionExists(SectionOf(keyPath));
}

bool TRegistryFile::WriteString(const std::string& keyPath, const std::string& name, const std::string& value) {
  std::string section = SectionOf(keyPath);
  if (section.empty() || name.empty() || name.find('=') != std::string::npos || name.front() == '[' ||
      name.front() == ';' || !Storable(name) || !Storable(value) || section.find(']') != std::string::npos)
    return false;
  TIniFile ini;
  if (!Load(ini)) return false;  // never replace a store that could not be read
  ini.WriteString(section, name, value);
  try {
    std::string bytes;
    for (const auto& line : ini.ToLines()) bytes += Utf8ToCp932(line) + "\r\n";
    WriteWithMode0600(path_, bytes);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace zelk
