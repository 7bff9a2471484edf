#include "common/ini_file.h"

#include <algorithm>
#include <cctype>

#include "common/text_file.h"

namespace zelk {
namespace {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string TrimAscii(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

}  // namespace

void TIniFile::Load() {
  sections_.clear();
  std::error_code ec;
  if (!std::filesystem::exists(path_, ec)) return;
  LoadFromLines(ReadTextLines(path_));
}

void TIniFile::LoadFromLines(const std::vector<std::string>& lines) {
  sections_.clear();
  Section* cur = nullptr;
  for (const auto& raw : lines) {
    std::string line = TrimAscii(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      std::string name = line.substr(1, line.size() - 2);
      cur = FindSection(name);
      if (!cur) {
        sections_.push_back({name, {}});
        cur = &sections_.back();
      }
      continue;
    }
    if (!cur) continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = TrimAscii(line.substr(0, eq));
    std::string value = line.substr(eq + 1);
    auto it = std::find_if(cur->entries.begin(), cur->entries.end(),
                           [&](const Entry& e) { return SameName(e.key, key); });
    if (it == cur->entries.end())
      cur->entries.push_back({key, value});
    else
      it->value = value;
  }
}

std::vector<std::string> TIniFile::ToLines() const {
  std::vector<std::string> lines;
  for (size_t i = 0; i < sections_.size(); ++i) {
    if (i > 0) lines.emplace_back();
    lines.push_back("[" + sections_[i].name + "]");
    for (const auto& e : sections_[i].entries) lines.push_back(e.key + "=" + e.value);
  }
  return lines;
}

void TIniFile::Save() const { WriteTextLines(path_, ToLines()); }

TIniFile::Section* TIniFile::FindSection(const std::string& name) {
  for (auto& s : sections_)
    if (SameName(s.name, name)) return &s;
  return nullptr;
}

const TIniFile::Section* TIniFile::FindSection(const std::string& name) const {
  for (const auto& s : sections_)
    if (SameName(s.name, name)) return &s;
  return nullptr;
}

std::optional<std::string> TIniFile::Find(const std::string& section, const std::string& key) const {
  const Section* s = FindSection(section);
  if (!s) return std::nullopt;
  for (const auto& e : s->entries)
    if (SameName(e.key, key)) return e.value;
  return std::nullopt;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  auto v = Find(section, key);
  return v ? *v : def;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  Section* s = FindSection(section);
  if (!s) {
    sections_.push_back({section, {}});
    s = &sections_.back();
  }
  for (auto& e : s->entries)
    if (SameName(e.key, key)) {
      e.value = value;
      return;
    }
  s->entries.push_back({key, value});
}

bool TIniFile::SectionExists(const std::string& section) const { return FindSection(section) != nullptr; }

std::vector<std::string> TIniFile::Sections() const {
  std::vector<std::string> out;
  for (const auto& s : sections_) out.push_back(s.name);
  return out;
}

std::vector<std::string> TIniFile::Keys(const std::string& section) const {
  std::vector<std::string> out;
  if (const Section* s = FindSection(section))
    for (const auto& e : s->entries) out.push_back(e.key);
  return out;
}

void TIniFile::EraseSection(const std::string& section) {
  sections_.erase(std::remove_if(sections_.begin(), sections_.end(),
                                 [&](const Section& s) { return SameName(s.name, section); }),
                  sections_.end());
}

void TIniFile::DeleteKey(const std::string& section, const std::string& key) {
  if (Section* s = FindSection(section))
    s->entries.erase(std::remove_if(s->entries.begin(), s->entries.end(),
                                    [&](const Entry& e) { return SameName(e.key, key); }),
                     s->entries.end());
}

}  // namespace zelk
