#pragma once
// The store of registry values: a root (HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE) with a key path
// names a key, and a key holds named string values. Betting accounts, the mail account and the
// companion products' uninstall entries are read through it.
#include <optional>
#include <string>

namespace zelk {

inline constexpr const char* kHkeyCurrentUser = "HKEY_CURRENT_USER";
inline constexpr const char* kHkeyLocalMachine = "HKEY_LOCAL_MACHINE";
// The application's own key under HKEY_CURRENT_USER (accounts, mail account).
inline constexpr const char* kZelkaroRegistryKey = "HKEY_CURRENT_USER\\Software\\ZELKARO";

// Joins a root and a key path ("\Software\ZELKARO") into one key path with single separators.
std::string RegistryKeyPath(const std::string& root, const std::string& path);

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // `keyPath` is the root followed by the key path, e.g. "HKEY_CURRENT_USER\Software\ZELKARO".
  // Missing key, missing value or an unreadable store all give no value.
  virtual std::optional<std::string> ReadString(const std::string& keyPath, const std::string& name) = 0;
  // Creates the key when missing. False when the store cannot be written or the name or value
  // cannot be stored (line breaks, empty name); the store is then unchanged.
  virtual bool WriteString(const std::string& keyPath, const std::string& name, const std::string& value) = 0;
  // True when the key can be opened (it exists and the store is readable).
  virtual bool KeyExists(const std::string& keyPath) = 0;
};

}  // namespace zelk
