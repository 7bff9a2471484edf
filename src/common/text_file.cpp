#include "common/text_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "common/cp932.h"

namespace zelk {
namespace fs = std::filesystem;

std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("ファイルを開けません: " + path.string());
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::runtime_error("ファイルを読み込めません: " + path.string());
  return data;
}

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t nl = bytes.find('\n', start);
    if (nl == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    size_t end = nl;
    if (end > start && bytes[end - 1] == '\r') --end;
    lines.emplace_back(bytes.substr(start, end - start));
    start = nl + 1;
  }
  return lines;
}

std::vector<std::string> ReadRawLines(const fs::path& path) { return SplitLines(ReadFileBytes(path)); }

std::vector<std::string> ReadTextLines(const fs::path& path) {
  auto lines = ReadRawLines(path);
  for (auto& l : lines) l = Cp932ToUtf8(l);
  return lines;
}

void WriteFileAtomic(const fs::path& path, std::string_view bytes) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  fs::path tmp = path;
  tmp += ".tmp" + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw std::runtime_error("ファイルを作成できません: " + path.string() + " (" + std::strerror(errno) + ")");
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      int e = errno;
      ::close(fd);
      ::unlink(tmp.c_str());
      throw std::runtime_error("ファイルに書き込めません: " + path.string() + " (" + std::strerror(e) + ")");
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    ::unlink(tmp.c_str());
    throw std::runtime_error("ファイルに書き込めません: " + path.string());
  }
  std::error_code ec;
  fs::rename(tmp, path, ec);
  if (ec) {
    ::unlink(tmp.c_str());
    throw std::runtime_error("ファイルを置き換えられません: " + path.string() + " (" + ec.message() + ")");
  }
}

void WriteRawLines(const fs::path& path, const std::vector<std::string>& lines) {
  size_t total = 0;
  for (const auto& l : lines) total += l.size() + 2;
  std::string data;
  data.reserve(total);
  for (const auto& l : lines) {
    data += l;
    data += "\r\n";
  }
  WriteFileAtomic(path, data);
}

void WriteTextLines(const fs::path& path, const std::vector<std::string>& lines) {
  std::vector<std::string> raw;
  raw.reserve(lines.size());
  for (const auto& l : lines) raw.push_back(Utf8ToCp932(l));
  WriteRawLines(path, raw);
}

void AppendRawLine(const fs::path& path, std::string_view line) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::app);
  if (!out) throw std::runtime_error("ファイルを開けません: " + path.string());
  out.write(line.data(), static_cast<std::streamsize>(line.size()));
  out.write("\r\n", 2);
  out.flush();
  if (!out) throw std::runtime_error("ファイルに書き込めません: " + path.string());
}

}  // namespace zelk
