#include "common/comma_text.h"

namespace zelk {

std::vector<std::string> SplitCommaText(const std::string& text) {
  std::vector<std::string> items;
  if (text.empty()) return items;
  size_t i = 0;
  const size_t n = text.size();
  while (true) {
    std::string item;
    if (i < n && text[i] == '"') {
      ++i;
      while (i < n) {
        if (text[i] == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
      // Anything between the closing quote and the next comma belongs to the item.
      while (i < n && text[i] != ',') item += text[i++];
    } else {
      while (i < n && text[i] != ',') item += text[i++];
    }
    items.push_back(item);
    if (i >= n) break;
    ++i;  // skip the comma
    if (i == n) {
      items.emplace_back();
      break;
    }
  }
  return items;
}

std::string JoinCommaText(const std::vector<std::string>& items) {
  std::string out;
  for (size_t k = 0; k < items.size(); ++k) {
    if (k > 0) out += ',';
    const std::string& it = items[k];
    if (it.find_first_of(" ,\"") != std::string::npos) {
      out += '"';
      for (char c : it) {
        if (c == '"') out += '"';
        out += c;
      }
      out += '"';
    } else {
      out += it;
    }
  }
  return out;
}

}  // namespace zelk
