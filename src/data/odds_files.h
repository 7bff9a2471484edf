#pragma once
// The odds tree below the database folder: one day file per racing branch ("JRA", "NAR"),
// kind ("O1" … "O6", "OA", probability keys such as "YOSOU") and race day, one line per race;
// plus the single WF file NAR/TU.DAT. Lines are the data-link records as raw CP932 bytes
// without their CR LF; every field is cut by byte offset.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/date_time.h"

namespace zelk {

inline constexpr const char* kBranchJRA = "JRA";
inline constexpr const char* kBranchNAR = "NAR";

// Shortest odds record that holds the common header through the announcement time.
inline constexpr size_t kOddsHeaderLength = 35;
// Downloaded prediction record: date 8, racecourse 2, race 2, 18 horse slots of 8.
inline constexpr size_t kYosoRecordLength = 156;
inline constexpr size_t kProbabilityLineLength = 960;

// database folder / branch / kind / yyyy / mmdd.DAT
std::filesystem::path OddsDayFilePath(const std::filesystem::path& dbDir, std::string_view branch,
                                      std::string_view kind, std::string_view yyyy, std::string_view mmdd);
// The day file of a race (race date as a calendar date).
std::filesystem::path OddsDayFileOfRace(const std::filesystem::path& dbDir, std::string_view branch,
                                        std::string_view kind, const TDateTime& raceDate);
// The day file an odds record belongs to (race year at 11, month-day at 15).
std::filesystem::path OddsDayFileOfRecord(const std::filesystem::path& dbDir, std::string_view branch,
                                          std::string_view record);
// database folder / NAR / TU.DAT
std::filesystem::path WFFilePath(const std::filesystem::path& dbDir);

// Race key of a stored line: race year + month-day + racecourse + race number (12 characters).
std::string OddsLineRaceKey(std::string_view line);
// Creation date at offset 3 as yyyymmdd; "00000000", blanks or an invalid date count as 1980-01-01.
int CreationDateValue(std::string_view record);
// True when `newer` replaces `stored` of the same race: later creation date, or the same
// creation date and a later announcement time (offset 27, "mmddhhnn").
bool OddsLineSupersedes(std::string_view newer, std::string_view stored);

// The record text without a trailing CR LF (or lone LF).
std::string_view WithoutLineEnd(std::string_view record);

// The probability line (O1 layout, data kind "8", 960 characters) of a downloaded prediction
// record created on `importDate`. Throws std::invalid_argument when the record is too short or
// its date, racecourse or race number are not digits.
std::string BuildProbabilityLine(std::string_view yosoRecord, const TDateTime& importDate);

// First line of a day file whose racecourse code (19) and race number (25) match;
// nothing when the file or the line is missing.
std::optional<std::string> ReadOddsLineOfRace(const std::filesystem::path& dayFile, std::string_view courseCode,
                                              int raceNumber);

// The lines of one odds file held in memory. One file at a time: selecting another path first
// writes the lines back to the old one. Writing back replaces the whole file atomically.
class TOddsDayFile {
 public:
  // Forgets the lines and the path without writing.
  void Reset();
  // Makes `path` the file in memory: writes back the current one when it differs and holds
  // lines, creates the folder and an empty file when missing, loads the lines.
  // Throws std::runtime_error; on failure the memory is as before the call.
  void Select(const std::filesystem::path& path);
  // Writes the lines back when there are any and they changed since loading. Throws on failure.
  void Flush();

  // Sorted placement by race key (central O1–O6, local O1–O5): the file stays sorted with one
  // line per race; an equal race is replaced only by a superseding line.
  void PlaceSorted(std::string line);
  // Probability lines: sorted by race key, an equal race is always replaced.
  void PlaceProbability(std::string line);
  // Local O6 and OA: the line of the same racecourse and race is replaced when superseded,
  // a new race is appended (arrival order).
  void PlaceByRace(std::string line);
  // WF file: sorted by race date (offset 11, 8); an equal date is replaced unless the new
  // line's creation date is earlier.
  void PlaceWF(std::string line);

  const std::vector<std::string>& Lines() const { return lines_; }
  const std::filesystem::path& Path() const { return path_; }
  bool HasPath() const { return !path_.empty(); }

 private:
  void PlaceSortedBy(std::string line, bool alwaysReplace);

  std::filesystem::path path_;
  std::vector<std::string> lines_;
  bool dirty_ = false;
};

}  // namespace zelk
