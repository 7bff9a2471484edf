#pragma once
// INI file ("[Section]" lines and "Key=Value" lines), CP932 with CR LF on disk.
// Sections and keys keep their file order; new ones are appended. Key and section names
// compare without regard to ASCII case, as the settings files always have.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zelk {

class TIniFile {
 public:
  TIniFile() = default;
  explicit TIniFile(std::filesystem::path path) : path_(std::move(path)) {}

  // Loads the file; a missing file gives an empty INI. Throws when the file exists but cannot be read.
  void Load();
  // Loads from text already in memory (UTF-8 lines).
  void LoadFromLines(const std::vector<std::string>& lines);
  // Writes the whole file atomically. Throws on failure.
  void Save() const;
  std::vector<std::string> ToLines() const;

  std::optional<std::string> Find(const std::string& section, const std::string& key) const;
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  bool SectionExists(const std::string& section) const;
  std::vector<std::string> Sections() const;
  std::vector<std::string> Keys(const std::string& section) const;
  void EraseSection(const std::string& section);
  void DeleteKey(const std::string& section, const std::string& key);

  const std::filesystem::path& Path() const { return path_; }

 private:
  struct Entry {
    std::string key, value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  Section* FindSection(const std::string& name);
  const Section* FindSection(const std::string& name) const;

  std::filesystem::path path_;
  std::vector<Section> sections_;
};

}  // namespace zelk
