#pragma once
// The real-time tree: application folder / "Sokuho" / yyyymmdd is the day folder of one race
// date. It holds per racecourse WE<cc>.dat and per race AV<cc><rr>.dat, JC<cc><rr>.dat and
// WH<cc><rr>.dat: the raw CP932 record lines of the last real-time fetch for that date.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/date_time.h"

namespace zelk {

class IPump;

std::filesystem::path SokuhoDayFolder(const std::filesystem::path& appDir, const TDateTime& raceDate);
// File name of a collected line in its day folder ("WE05.dat", "AV0511.dat"); empty when the
// line is too short or its kind, racecourse or race number would not make a safe file name.
std::string SokuhoFileName(std::string_view line);

// Lines of the real-time files of one race day; empty when the file is missing.
std::vector<std::string> ReadSokuhoWE(const std::filesystem::path& appDir, const TDateTime& raceDate,
                                      std::string_view courseCode);
std::vector<std::string> ReadSokuhoAV(const std::filesystem::path& appDir, const TDateTime& raceDate,
                                      std::string_view courseCode, int raceNumber);
std::vector<std::string> ReadSokuhoJC(const std::filesystem::path& appDir, const TDateTime& raceDate,
                                      std::string_view courseCode, int raceNumber);

// Collects the real-time lines of one fetch and writes them as the day folder's new content.
class TSokuhoFiles {
 public:
  // `pump` serves the one-second wait after writing.
  TSokuhoFiles(std::filesystem::path appDir, IPump& pump);

  void SetPump(IPump& pump) { pump_ = &pump; }

  // Which racing the fetches of this collector belong to. Central and local real-time data of
  // one date share the day folder, so a fetch replaces only the files of its own racing
  // (central: racecourse codes up to "10", local: above) and keeps the other's.
  enum class TOwner { All, Central, Local };
  void SetOwner(TOwner owner) { owner_ = owner; }

  // Clears the collected lines and makes sure the day folder exists. Throws on a file error.
  void Begin(const TDateTime& raceDate);
  // Collects a record's text without its CR LF. False (nothing collected) when the line
  // cannot name its file.
  bool Add(std::string_view record);
  // 0 after writing and the one-second wait; -902 when nothing was collected (the folder is
  // untouched); -900 on a file error (the folder keeps its previous content).
  // The new files are built in a side folder and swapped in as a whole.
  int Write(const TDateTime& raceDate);

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::filesystem::path appDir_;
  bool KeepsExisting(const std::string& fileName) const;

  IPump* pump_;
  TOwner owner_ = TOwner::All;
  std::vector<std::string> lines_;
};

}  // namespace zelk
