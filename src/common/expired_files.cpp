#include "common/expired_files.h"

#include <cctype>
#include <string>
#include <system_error>
#include <vector>

#include "common/general.h"

namespace zelk {
namespace fs = std::filesystem;

namespace {

bool StartsWithNoCase(const std::string& s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

bool EndsWithNoCase(const std::string& s, std::string_view suffix) {
  return s.size() >= suffix.size() && StartsWithNoCase(s.substr(s.size() - suffix.size()), suffix);
}

// True when the entry's date lies more than `days` days before today.
bool Expired(std::string_view dateText, const TDateTime& today, int days) {
  std::optional<TDateTime> date = ParseYmd(dateText);
  return date && DaysBetween(*date, today.DateOnly()) > days;
}

std::vector<fs::directory_entry> Entries(const fs::path& folder) {
  std::vector<fs::directory_entry> entries;
  std::error_code ec;
  fs::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) entries.push_back(*it);
  return entries;
}

// Log files "<prefix>yyyymmdd….txt".
int DeleteExpiredLogs(const fs::path& folder, std::string_view prefix, const TDateTime& today, int days) {
  int removed = 0;
  for (const auto& e : Entries(folder)) {
    std::error_code ec;
    if (!fs::is_regular_file(e.symlink_status(ec))) continue;
    const std::string name = e.path().filename().string();
    if (!StartsWithNoCase(name, prefix) || !EndsWithNoCase(name, ".txt")) continue;
    if (!Expired(std::string_view(name).substr(prefix.size()), today, days)) continue;
    if (fs::remove(e.path(), ec)) ++removed;
  }
  return removed;
}

// Real-time day folders "yyyymmdd": their plain files, then the folder.
int DeleteExpiredDayFolders(const fs::path& folder, const TDateTime& today, int days) {
  int removed = 0;
  for (const auto& e : Entries(folder)) {
    std::error_code ec;
    if (!fs::is_directory(e.symlink_status(ec))) continue;
    const std::string name = e.path().filename().string();
    if (name.size() != 8 || !Expired(name, today, days)) continue;
    removed += DeleteFilesInFolder(e.path());
    if (fs::remove(e.path(), ec)) ++removed;
  }
  return removed;
}

}  // namespace

int DeleteExpiredFiles(const fs::path& appDir, const TDateTime& today, int logHozonKikan,
                       int sokuhoDataHozonKikan) {
  int removed = 0;
  // Each folder on its own: a failure in one never keeps the others from being cleaned, and
  // the clean-up never stops the shut-down.
  auto guarded = [&](auto step) {
    try {
      removed += step();
    } catch (...) {
    }
  };
  guarded([&] { return DeleteExpiredLogs(appDir / "Log", "Log", today, logHozonKikan); });
  guarded([&] { return DeleteExpiredLogs(appDir / "IpatLog", "Ipat", today, logHozonKikan); });
  guarded([&] { return DeleteExpiredDayFolders(appDir / "Sokuho", today, sokuhoDataHozonKikan); });
  return removed;
}

}  // namespace zelk
