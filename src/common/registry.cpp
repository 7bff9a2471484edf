#include "common/registry.h"

namespace zelk {

std::string RegistryKeyPath(const std::string& root, const std::string& path) {
  // Empty parts (doubled, leading or trailing separators) are dropped.
  std::string whole = root + "\\" + path, out, part;
  auto flush = [&] {
    if (part.empty()) return;
    if (!out.empty()) out += '\\';
    out += part;
    part.clear();
  };
  for (char c : whole) {
    if (c == '\\')
      flush();
    else
      part += c;
  }
  flush();
  return out;
}

}  // namespace zelk
