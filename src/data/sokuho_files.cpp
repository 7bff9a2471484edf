#include "data/sokuho_files.h"

#include <cstdio>
#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <set>
#include <system_error>

#include "common/text_file.h"
#include "common/ui_services.h"
#include "data/odds_files.h"

namespace zelk {
namespace fs = std::filesystem;

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::vector<std::string> ReadIfExists(const fs::path& file) {
  std::error_code ec;
  if (!fs::exists(file, ec)) return {};
  return ReadRawLines(file);
}

std::string CourseRaceFile(std::string_view kind, std::string_view course, int race) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", race);
  return std::string(kind) + std::string(course) + buf + ".dat";
}

// Swaps two existing folders in one step. False when the file system cannot do it.
bool ExchangeFolders(const fs::path& a, const fs::path& b) {
#ifdef RENAME_EXCHANGE
  if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0) return true;
  if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP) return false;
  throw std::system_error(errno, std::generic_category(), "速報フォルダを置き換えられません: " + b.string());
#else
  (void)a;
  (void)b;
  return false;
#endif
}

}  // namespace

fs::path SokuhoDayFolder(const fs::path& appDir, const TDateTime& raceDate) {
  return appDir / "Sokuho" / FormatYmd(raceDate);
}

std::string SokuhoFileName(std::string_view line) {
  if (line.size() < 27) return {};
  std::string_view kind = line.substr(0, 2), course = line.substr(19, 2);
  if (!IsDigit(course[0]) || !IsDigit(course[1])) return {};
  if (kind == "WE") return "WE" + std::string(course) + ".dat";
  if (kind != "AV" && kind != "JC" && kind != "WH") return {};
  std::string_view race = line.substr(25, 2);
  if (!IsDigit(race[0]) || !IsDigit(race[1])) return {};
  return std::string(kind) + std::string(course) + std::string(race) + ".dat";
}

std::vector<std::string> ReadSokuhoWE(const fs::path& appDir, const TDateTime& raceDate, std::string_view courseCode) {
  return ReadIfExists(SokuhoDayFolder(appDir, raceDate) / ("WE" + std::string(courseCode) + ".dat"));
}

std::vector<std::string> ReadSokuhoAV(const fs::path& appDir, const TDateTime& raceDate, std::string_view courseCode,
                                      int raceNumber) {
  return ReadIfExists(SokuhoDayFolder(appDir, raceDate) / CourseRaceFile("AV", courseCode, raceNumber));
}

std::vector<std::string> ReadSokuhoJC(const fs::path& appDir, const TDateTime& raceDate, std::string_view courseCode,
                                      int raceNumber) {
  return ReadIfExists(SokuhoDayFolder(appDir, raceDate) / CourseRaceFile("JC", courseCode, raceNumber));
}

TSokuhoFiles::TSokuhoFiles(fs::path appDir, IPump& pump) : appDir_(std::move(appDir)), pump_(&pump) {}

void TSokuhoFiles::Begin(const TDateTime& raceDate) {
  lines_.clear();
  fs::create_directories(SokuhoDayFolder(appDir_, raceDate));
}

bool TSokuhoFiles::Add(std::string_view record) {
  std::string_view line = WithoutLineEnd(record);
  if (SokuhoFileName(line).empty()) return false;
  lines_.emplace_back(line);
  return true;
}

bool TSokuhoFiles::KeepsExisting(const std::string& fileName) const {
  if (owner_ == TOwner::All || fileName.size() < 4) return false;
  std::string course = fileName.substr(2, 2);
  bool centralFile = course <= "10";
  return owner_ == TOwner::Central ? !centralFile : centralFile;
}

int TSokuhoFiles::Write(const TDateTime& raceDate) {
  if (lines_.empty()) return -902;
  fs::path day = SokuhoDayFolder(appDir_, raceDate);
  // The side folder's name is no date, so the clean-up of old day folders never takes it
  // for one.
  fs::path side = day;
  side += ".new";
  std::error_code ec;
  try {
    std::vector<const std::string*> sorted;
    sorted.reserve(lines_.size());
    for (const auto& l : lines_) sorted.push_back(&l);
    std::stable_sort(sorted.begin(), sorted.end(), [](const std::string* a, const std::string* b) { return *a < *b; });
    std::map<std::string, std::string> files;
    for (const std::string* l : sorted) {
      std::string& bytes = files[SokuhoFileName(*l)];
      bytes += *l;
      bytes += "\r\n";
    }

    fs::remove_all(side);
    fs::create_directories(side);
    for (const auto& [name, bytes] : files) WriteFileAtomic(side / name, bytes);
    // The other racing's files of this date go into the new set unchanged.
    std::set<std::string> kept;
    if (fs::exists(day)) {
      for (const auto& entry : fs::directory_iterator(day)) {
        std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && !files.count(name) && KeepsExisting(name)) {
          fs::copy_file(entry.path(), side / name);
          kept.insert(name);
        }
      }
    }

    if (!fs::exists(day)) {
      fs::create_directories(day.parent_path());
      fs::rename(side, day);
    } else if (ExchangeFolders(side, day)) {
      fs::remove_all(side);  // now the previous content
    } else {
      // Without a folder swap: every file is replaced in one step, then the files of the
      // previous fetch that this one no longer produces are removed.
      for (const auto& [name, bytes] : files) fs::rename(side / name, day / name);
      for (const auto& entry : fs::directory_iterator(day)) {
        std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && !files.count(name) && !kept.count(name)) fs::remove(entry.path());
      }
      fs::remove_all(side);
    }
  } catch (const std::exception&) {
    fs::remove_all(side, ec);
    return -900;
  }
  pump_->WaitMs(1000);
  return 0;
}

}  // namespace zelk
