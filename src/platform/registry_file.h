#pragma once
// Registry values kept in an INI file: one section per key ("HKEY_CURRENT_USER\Software\ZELKARO"),
// one "name=value" line per value. The file holds account credentials in plain text, so it is
// created with mode 0600 in a folder of mode 0700 and always replaced atomically.
// Default path: $ZELK_REGISTRY, else $XDG_CONFIG_HOME/zelkaro/registry.ini, else
// ~/.config/zelkaro/registry.ini.
#include <filesystem>

#include "common/registry.h"

namespace zelk {

class TIniFile;

class TRegistryFile final : public IRegistry {
 public:
  TRegistryFile();  // the default path
  explicit TRegistryFile(std::filesystem::path path);

  static std::filesystem::path DefaultPath();
  const std::filesystem::path& Path() const { return path_; }

  std::optional<std::string> ReadString(const std::string& keyPath, const std::string& name) override;
  bool WriteString(const std::string& keyPath, const std::string& name, const std::string& value) override;
  bool KeyExists(const std::string& keyPath) override;

 private:
  // Loads the store; false when it exists but cannot be read.
  bool Load(TIniFile& ini) const;

  std::filesystem::path path_;
};

}  // namespace zelk
