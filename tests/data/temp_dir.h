#pragma once
// A fresh folder below the system's temporary folder, removed with the object.
#include <unistd.h>

#include <filesystem>
#include <string>

namespace zelk::test {

class TTempDir {
 public:
  explicit TTempDir(const std::string& tag = "zelk") {
    static int serial = 0;
    path = std::filesystem::temp_directory_path() /
           (tag + "_" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  std::filesystem::path path;
};

}  // namespace zelk::test
