#pragma once
// A recording stand-in for the desktop shell.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace zelk::test {

class TRecordingShell final : public IShell {
 public:
  bool OpenUrl(const std::string& url) override {
    urls.push_back(url);
    return result;
  }
  bool OpenDocument(const std::filesystem::path& path) override {
    documents.push_back(path);
    return result;
  }
  // Records the path; with `removeOnTrash` the entry is also removed, as the trash would.
  bool MoveToTrash(const std::filesystem::path& path) override {
    trashed.push_back(path);
    if (result && removeOnTrash) std::filesystem::remove_all(path);
    return result;
  }
  bool PowerOff() override {
    ++powerOffs;
    return result;
  }
  bool PlaySoundAsync(const std::filesystem::path& wavFile) override {
    sounds.push_back(wavFile);
    return result;
  }

  bool result = true;          // the answer of every call
  bool removeOnTrash = false;  // MoveToTrash really removes the entry
  std::vector<std::string> urls;
  std::vector<std::filesystem::path> documents;
  std::vector<std::filesystem::path> trashed;
  std::vector<std::filesystem::path> sounds;
  int powerOffs = 0;
};

}  // namespace zelk::test
