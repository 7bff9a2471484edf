#include "data/odds_files.h"

#include <array>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "common/text_file.h"

namespace zelk {
namespace fs = std::filesystem;

namespace {

// Characters of `s` at [offset, offset + length), blanks where the text is shorter.
void CopyField(std::string_view s, size_t offset, size_t length, char* out) {
  for (size_t i = 0; i < length; ++i) out[i] = offset + i < s.size() ? s[offset + i] : ' ';
}

using TRaceKey = std::array<char, 12>;

TRaceKey RaceKey(std::string_view line) {
  TRaceKey k;
  CopyField(line, 11, 8, k.data());
  CopyField(line, 19, 2, k.data() + 8);
  CopyField(line, 25, 2, k.data() + 10);
  return k;
}

int CompareKeys(const TRaceKey& a, const TRaceKey& b) { return std::memcmp(a.data(), b.data(), a.size()); }

bool SameCourseAndRace(std::string_view a, std::string_view b) {
  char ka[4], kb[4];
  CopyField(a, 19, 2, ka);
  CopyField(a, 25, 2, ka + 2);
  CopyField(b, 19, 2, kb);
  CopyField(b, 25, 2, kb + 2);
  return std::memcmp(ka, kb, 4) == 0;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string TwoDigits(int n) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

}  // namespace

fs::path OddsDayFilePath(const fs::path& dbDir, std::string_view branch, std::string_view kind,
                         std::string_view yyyy, std::string_view mmdd) {
  std::string file(mmdd);
  file += ".DAT";
  return dbDir / std::string(branch) / std::string(kind) / std::string(yyyy) / file;
}

fs::path OddsDayFileOfRace(const fs::path& dbDir, std::string_view branch, std::string_view kind,
                           const TDateTime& raceDate) {
  std::string ymd = FormatYmd(raceDate);
  return OddsDayFilePath(dbDir, branch, kind, std::string_view(ymd).substr(0, 4), std::string_view(ymd).substr(4, 4));
}

fs::path OddsDayFileOfRecord(const fs::path& dbDir, std::string_view branch, std::string_view record) {
  if (record.size() < 19) throw std::invalid_argument("レコード長が不足しています");
  std::string_view kind = record.substr(0, 2), yyyy = record.substr(11, 4), mmdd = record.substr(15, 4);
  // The date becomes folder and file names: only digits may pass.
  if (!AllDigits(yyyy) || !AllDigits(mmdd)) throw std::invalid_argument("開催年月日が不正です");
  for (char c : kind)
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) throw std::invalid_argument("レコード種別が不正です");
  return OddsDayFilePath(dbDir, branch, kind, yyyy, mmdd);
}

fs::path WFFilePath(const fs::path& dbDir) { return dbDir / kBranchNAR / "TU.DAT"; }

std::string OddsLineRaceKey(std::string_view line) {
  TRaceKey k = RaceKey(line);
  return std::string(k.data(), k.size());
}

int CreationDateValue(std::string_view record) {
  constexpr int kDefault = 19800101;
  if (record.size() < 11) return kDefault;
  std::string_view d = record.substr(3, 8);
  if (!AllDigits(d)) return kDefault;
  int y = (d[0] - '0') * 1000 + (d[1] - '0') * 100 + (d[2] - '0') * 10 + (d[3] - '0');
  int m = (d[4] - '0') * 10 + (d[5] - '0');
  int day = (d[6] - '0') * 10 + (d[7] - '0');
  if (!IsValidDate(y, m, day)) return kDefault;
  return y * 10000 + m * 100 + day;
}

bool OddsLineSupersedes(std::string_view newer, std::string_view stored) {
  int a = CreationDateValue(newer), b = CreationDateValue(stored);
  if (a != b) return a > b;
  char ta[8], tb[8];
  CopyField(newer, 27, 8, ta);
  CopyField(stored, 27, 8, tb);
  return std::memcmp(ta, tb, 8) > 0;
}

std::string_view WithoutLineEnd(std::string_view record) {
  if (!record.empty() && record.back() == '\n') record.remove_suffix(1);
  if (!record.empty() && record.back() == '\r') record.remove_suffix(1);
  return record;
}

std::string BuildProbabilityLine(std::string_view yosoRecord, const TDateTime& importDate) {
  std::string_view rec = WithoutLineEnd(yosoRecord);
  if (rec.size() < kYosoRecordLength) throw std::invalid_argument("専門紙確率レコードの長さが不足しています");
  if (!AllDigits(rec.substr(0, 12)) || !ParseYmdText(std::string(rec.substr(0, 8))))
    throw std::invalid_argument("専門紙確率レコードのレースキーが不正です");
  std::string line;
  line.reserve(kProbabilityLineLength);
  line += "O18";
  line += FormatYmd(importDate);
  line += rec.substr(0, 8);   // race year and month-day
  line += rec.substr(8, 2);   // racecourse
  line += "0000";             // meeting and day of meeting
  line += rec.substr(10, 2);  // race number
  line += "00000000";         // announcement time
  line += "0000";             // registered and starters
  line += "0000";             // sale flags and place-payout key
  line += rec.substr(12, 18 * 8);
  line.append(kProbabilityLineLength - line.size(), ' ');
  return line;
}

std::optional<std::string> ReadOddsLineOfRace(const fs::path& dayFile, std::string_view courseCode, int raceNumber) {
  std::error_code ec;
  if (!fs::exists(dayFile, ec)) return std::nullopt;
  std::string race = TwoDigits(raceNumber);
  for (auto& line : ReadRawLines(dayFile)) {
    if (line.size() >= 27 && line.compare(19, 2, courseCode) == 0 && line.compare(25, 2, race) == 0) return line;
  }
  return std::nullopt;
}

void TOddsDayFile::Reset() {
  path_.clear();
  lines_.clear();
  dirty_ = false;
}

void TOddsDayFile::Select(const fs::path& path) {
  if (!path_.empty() && path == path_) return;
  Flush();
  std::error_code ec;
  std::vector<std::string> lines;
  if (fs::exists(path, ec)) {
    lines = ReadRawLines(path);
  } else {
    WriteFileAtomic(path, "");
  }
  path_ = path;
  lines_ = std::move(lines);
  dirty_ = false;
}

void TOddsDayFile::Flush() {
  if (path_.empty() || lines_.empty() || !dirty_) return;
  WriteRawLines(path_, lines_);
  dirty_ = false;
}

void TOddsDayFile::PlaceSortedBy(std::string line, bool alwaysReplace) {
  TRaceKey key = RaceKey(line);
  for (auto it = lines_.begin(); it != lines_.end(); ++it) {
    int c = CompareKeys(RaceKey(*it), key);
    if (c < 0) continue;
    if (c > 0) {
      lines_.insert(it, std::move(line));
      dirty_ = true;
      return;
    }
    if (alwaysReplace || OddsLineSupersedes(line, *it)) {
      *it = std::move(line);
      dirty_ = true;
    }
    return;
  }
  lines_.push_back(std::move(line));
  dirty_ = true;
}

void TOddsDayFile::PlaceSorted(std::string line) { PlaceSortedBy(std::move(line), false); }

void TOddsDayFile::PlaceProbability(std::string line) { PlaceSortedBy(std::move(line), true); }

void TOddsDayFile::PlaceByRace(std::string line) {
  for (auto& stored : lines_) {
    if (!SameCourseAndRace(stored, line)) continue;
    if (OddsLineSupersedes(line, stored)) {
      stored = std::move(line);
      dirty_ = true;
    }
    return;
  }
  lines_.push_back(std::move(line));
  dirty_ = true;
}

void TOddsDayFile::PlaceWF(std::string line) {
  char key[8], other[8];
  CopyField(line, 11, 8, key);
  for (auto it = lines_.begin(); it != lines_.end(); ++it) {
    CopyField(*it, 11, 8, other);
    int c = std::memcmp(other, key, 8);
    if (c < 0) continue;
    if (c > 0) {
      lines_.insert(it, std::move(line));
      dirty_ = true;
      return;
    }
    if (CreationDateValue(line) >= CreationDateValue(*it)) {
      *it = std::move(line);
      dirty_ = true;
    }
    return;
  }
  lines_.push_back(std::move(line));
  dirty_ = true;
}

}  // namespace zelk
