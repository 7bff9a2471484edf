#pragma once
// The embedded demo season: a deterministic synthetic racing season written into the link
// stores (linkstore/JV for central racing, linkstore/NV for local racing) in the data provider's
// record layouts, so that every feature can be tried without a data subscription.
//
// Past race days are published as race cards (RA/SE data kind "2"), some intermediate odds
// (data kind "1"), and final results (RA/SE "7", HR "2") with their final odds ("4" central,
// "5" local). The last day stays at the race-card stage with intermediate odds in the stored
// data; its results, meeting announcements and final odds wait in the real-time answers
// (0B15 race cards, 0B12 results RA/SE "6" and HR "1", 0B14 WE/AV/JC/TC/CC, 0B30 odds per race).
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "common/date_time.h"
#include "data/demo_race.h"

namespace zelk {

struct TDemoDataOptions {
  TDateTime from = MakeDate(2024, 5, 11);
  int days = 3;
  std::uint64_t seed = 1;
};

// Weather and going of one racecourse on one day: the first announcement and an optional change.
struct TDemoCourseDay {
  TDemoRaceSetup day;  // date, racecourse, meeting and day of meeting
  int weather = 1, turf = 1, dirt = 1;
  int changeHhmm = 0;  // 0 = no change during the day
  int weather2 = 1, turf2 = 1, dirt2 = 1;
};

struct TDemoDay {
  TDateTime date;
  bool realtime = false;  // the last day: results only in the real-time answers
  std::vector<TDemoCourseDay> centralCourses, localCourses;
  std::vector<TDemoRace> central, local;  // in racecourse and race order
};

struct TDemoDataSummary {
  int days = 0;
  int races = 0;
  int files = 0;
  long long bytes = 0;
};

// The races of the season as the writer draws them; BuildDemoDay draws day `index` (from 0) alone.
std::vector<TDemoDay> BuildDemoSeason(const TDemoDataOptions& options);
TDemoDay BuildDemoDay(const TDemoDataOptions& options, int index);

// One file of a link store: path below the link folder (e.g. "server/RACE/…", "realtime/0B12/…")
// and its record lines without CR LF.
struct TDemoFile {
  std::string path;
  std::vector<std::string> lines;
};

// The files of one link (central: linkstore/JV, else linkstore/NV) for one day of the season.
std::vector<TDemoFile> DemoLinkFiles(const TDemoDay& day, bool central);

// Writes the season into appDir/linkstore/JV and appDir/linkstore/NV (files are replaced whole).
// The demo files an earlier run left for the same days are removed first, so the stores then hold
// the same files as after a run into empty stores; other days and other files stay.
// Returns 0, or -900 with the reason in *error.
int WriteDemoData(const std::filesystem::path& appDir, const TDemoDataOptions& options,
                  TDemoDataSummary* summary = nullptr, std::string* error = nullptr);

}  // namespace zelk
