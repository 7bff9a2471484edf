#include "data/demo_data.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <exception>

#include "common/text_file.h"
#include "data/demo_random.h"
#include "data/demo_records.h"

namespace zelk {

namespace {

// Central racecourses of the season (東京, 京都, 新潟) and the local ones taken in turns.
const char* const kCentralCourses[] = {"04", "05", "08"};
const char* const kLocalCourses[] = {"44", "50", "45", "54", "43", "48", "42", "35", "46", "55", "47", "30"};
constexpr int kLocalCourseCount = static_cast<int>(std::size(kLocalCourses));

int AddMinutes(int hhmm, int minutes) {
  int m = hhmm / 100 * 60 + hhmm % 100 + minutes;
  return m / 60 * 100 + m % 60;
}

TDemoCourseDay DrawCourseDay(std::uint64_t seed, const TDateTime& date, const std::string& course, int kai, int nichime,
                             bool central) {
  TDemoRandom rng(DemoStreamSeed(seed, "course" + FormatYmd(date) + course));
  TDemoCourseDay cd;
  cd.day.date = date;
  cd.day.course = course;
  cd.day.kai = kai;
  cd.day.nichime = nichime;
  cd.day.central = central;
  cd.weather = rng.Between(1, 3);
  cd.turf = central ? rng.Between(1, 3) : 0;
  cd.dirt = rng.Between(1, 3);
  cd.weather2 = cd.weather;
  cd.turf2 = cd.turf;
  cd.dirt2 = cd.dirt;
  if (rng.Chance(0.3)) {
    cd.changeHhmm = 1300;
    cd.weather2 = 3;
    cd.turf2 = central ? std::min(4, cd.turf + 1) : 0;
    cd.dirt2 = std::min(4, cd.dirt + 1);
  }
  return cd;
}

void AddRaces(std::uint64_t seed, const TDemoCourseDay& cd, int races, int firstStart, int interval, int minRunners,
              int maxRunners, int scratchRace, int deadHeatRace, std::vector<TDemoRace>& out) {
  for (int r = 1; r <= races; ++r) {
    TDemoRaceSetup s = cd.day;
    s.raceNo = r;
    s.startHhmm = AddMinutes(firstStart, interval * (r - 1));
    s.kochiLastRace = s.course == "54" && r == races;
    s.minRunners = minRunners;
    s.maxRunners = maxRunners;
    s.forceScratch = r == scratchRace;
    s.forceDeadHeat = r == deadHeatRace;
    const bool changed = cd.changeHhmm && s.startHhmm >= cd.changeHhmm;
    s.weather = changed ? cd.weather2 : cd.weather;
    s.turfGoing = changed ? cd.turf2 : cd.turf;
    s.dirtGoing = changed ? cd.dirt2 : cd.dirt;
    out.push_back(BuildDemoRace(seed, s));
  }
}

std::string Stamp(const TDateTime& date, int hhmmss) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06d", hhmmss);
  return FormatYmd(date) + buf;
}

// Files of one link store as they are assembled in memory.
struct TLinkFiles {
  std::vector<TDemoFile> files;
  void Add(std::string path, std::vector<std::string> lines) {
    if (!lines.empty()) files.push_back({std::move(path), std::move(lines)});
  }
};

void AddServerFile(TLinkFiles& link, const std::string& stamp, const std::string& kind, char dataKind,
                   const TDateTime& date, std::vector<std::string> lines) {
  link.Add("server/RACE/" + stamp + "_" + kind + dataKind + "_" + FormatYmd(date) + ".txt", std::move(lines));
}

bool HasEarlyOdds(const TDemoRace& race, bool realtimeDay) { return realtimeDay || race.setup.raceNo % 4 == 1; }

void BuildLinkDay(const TDemoDay& day, bool central, TLinkFiles& link) {
  const auto& races = central ? day.central : day.local;
  const auto& courses = central ? day.centralCourses : day.localCourses;
  const TDateTime date = day.date;
  const TDateTime eve = AddDays(date, -1);
  const char finalOddsKind = central ? '4' : '5';

  // Race cards, published the day before.
  {
    std::vector<std::string> ra, se;
    for (const auto& race : races) {
      ra.push_back(DemoRaRecord(race, '2', {eve}, false));
      for (const auto& h : race.horses) se.push_back(DemoSeRecord(race, h, '2', {eve}, false));
    }
    AddServerFile(link, Stamp(eve, 120000), "RA", '2', date, std::move(ra));
    AddServerFile(link, Stamp(eve, 120001), "SE", '2', date, std::move(se));
  }
  // Intermediate odds of the morning.
  for (int k = 1; k <= 6; ++k) {
    std::vector<std::string> lines;
    for (const auto& race : races)
      if (HasEarlyOdds(race, day.realtime))
        lines.push_back(
            DemoOddsRecord(k, race, race.early, '1', {date, DemoAnnounceTime(date, 900 + race.setup.raceNo)}));
    AddServerFile(link, Stamp(date, 93000 + k - 1), "O" + std::to_string(k), '1', date, std::move(lines));
  }

  auto finalOdds = [&](int k, const TDemoRace& race) {
    return DemoOddsRecord(k, race, race.final, finalOddsKind,
                          {date, DemoAnnounceTime(date, AddMinutes(race.StartHhmm(), 1))});
  };

  if (!day.realtime) {
    std::vector<std::string> ra, se, hr;
    for (const auto& race : races) {
      ra.push_back(DemoRaRecord(race, '7', {date}, true));
      for (const auto& h : race.horses) se.push_back(DemoSeRecord(race, h, '7', {date}, true));
      hr.push_back(DemoHrRecord(race, '2', {date}));
    }
    AddServerFile(link, Stamp(date, 180000), "RA", '7', date, std::move(ra));
    AddServerFile(link, Stamp(date, 180001), "SE", '7', date, std::move(se));
    AddServerFile(link, Stamp(date, 180002), "HR", '2', date, std::move(hr));
    for (int k = 1; k <= 6; ++k) {
      std::vector<std::string> lines;
      for (const auto& race : races) lines.push_back(finalOdds(k, race));
      AddServerFile(link, Stamp(date, 180002 + k), "O" + std::to_string(k), finalOddsKind, date, std::move(lines));
    }
    return;
  }

  // The real-time day: answers of the real-time opens.
  const std::string ymd = FormatYmd(date);
  {
    std::vector<std::string> card, results;
    for (const auto& race : races) {
      card.push_back(DemoRaRecord(race, '2', {date}, false));
      for (const auto& h : race.horses) card.push_back(DemoSeRecord(race, h, '2', {date}, false));
      results.push_back(DemoRaRecord(race, '6', {date}, true));
      for (const auto& h : race.horses) results.push_back(DemoSeRecord(race, h, '6', {date}, true));
      results.push_back(DemoHrRecord(race, '1', {date}));
    }
    link.Add("realtime/0B15/" + ymd + ".txt", std::move(card));
    link.Add("realtime/0B12/" + ymd + ".txt", std::move(results));
  }
  {
    std::vector<std::string> meeting;
    for (const auto& cd : courses) {
      TDemoGoing first{1, cd.weather, cd.turf, cd.dirt, 0, 0, 0};
      meeting.push_back(DemoWeRecord(cd.day, first, {date, DemoAnnounceTime(date, 830)}));
      if (cd.changeHhmm) {
        TDemoGoing change{3, cd.weather2, cd.turf2, cd.dirt2, cd.weather, cd.turf, cd.dirt};
        meeting.push_back(DemoWeRecord(cd.day, change, {date, DemoAnnounceTime(date, cd.changeHhmm)}));
      }
    }
    for (const auto& race : races) {
      const std::string early = DemoAnnounceTime(date, AddMinutes(race.setup.startHhmm, -40));
      for (const auto& h : race.horses) {
        if (!h.Runs()) meeting.push_back(DemoAvRecord(race, h, {date, early}));
        if (h.newJockey) meeting.push_back(DemoJcRecord(race, h, {date, early}));
      }
      if (race.newStartHhmm) meeting.push_back(DemoTcRecord(race, {date, early}));
      if (race.newDistance) meeting.push_back(DemoCcRecord(race, {date, early}));
    }
    link.Add("realtime/0B14/" + ymd + ".txt", std::move(meeting));
  }
  for (const auto& race : races) {
    std::vector<std::string> lines;
    for (int k = 1; k <= 6; ++k) lines.push_back(finalOdds(k, race));
    char key[8];
    std::snprintf(key, sizeof key, "%02d", race.setup.raceNo);
    link.Add("realtime/0B30/" + ymd + race.setup.course + key + ".txt", std::move(lines));
  }
}

// Removes what an earlier run wrote for one day into one link store, so that a run with another
// seed leaves no race of the old season behind (a local meeting may now have fewer races).
void RemoveDemoDay(const std::filesystem::path& linkDir, const TDateTime& date) {
  const std::string ymd = FormatYmd(date);
  std::error_code ec;
  auto removeWhere = [&](const std::filesystem::path& dir, auto matches) {
    if (!std::filesystem::is_directory(dir, ec)) return;
    std::vector<std::filesystem::path> doomed;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
      if (e.is_regular_file(ec) && matches(e.path().filename().string())) doomed.push_back(e.path());
    for (const auto& p : doomed) std::filesystem::remove(p);
  };
  // server/RACE: "yyyymmddhhnnss_" + kind + data kind + "_" + race date + ".txt"
  removeWhere(linkDir / "server" / "RACE", [&](const std::string& name) {
    const std::string tail = "_" + ymd + ".txt";
    if (name.size() != 15 + 3 + tail.size() || name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
      return false;
    if (name[14] != '_' || !std::all_of(name.begin(), name.begin() + 14, [](char c) { return c >= '0' && c <= '9'; }))
      return false;
    const std::string kind = name.substr(15, 2);
    return kind == "RA" || kind == "SE" || kind == "HR" || (kind[0] == 'O' && kind[1] >= '1' && kind[1] <= '6');
  });
  for (const char* spec : {"0B12", "0B14", "0B15"})
    removeWhere(linkDir / "realtime" / spec, [&](const std::string& name) { return name == ymd + ".txt"; });
  removeWhere(linkDir / "realtime" / "0B30", [&](const std::string& name) {
    return name.size() == 16 && name.compare(0, 8, ymd) == 0 && name.compare(12, 4, ".txt") == 0;
  });
}

}  // namespace

TDemoDay BuildDemoDay(const TDemoDataOptions& options, int d) {
  {
    TDemoDay day;
    day.date = AddDays(options.from, d);
    day.realtime = d == options.days - 1;
    const std::string ymd = FormatYmd(day.date);
    const int nichime = static_cast<int>(DayNumber(day.date) % 8) + 1;
    TDemoRandom rng(DemoStreamSeed(options.seed, "day" + ymd));

    for (int c = 0; c < 3; ++c) {
      auto cd = DrawCourseDay(options.seed, day.date, kCentralCourses[c], 2, nichime, true);
      day.centralCourses.push_back(cd);
      int scratchRace = rng.Between(1, 12), deadHeatRace = rng.Between(1, 12);
      AddRaces(options.seed, cd, 12, AddMinutes(950, 5 * c), 35, 8, 18, c == 0 ? scratchRace : 0,
               c == 1 ? deadHeatRace : 0, day.central);
    }
    const long long dayNo = DayNumber(day.date);
    std::array<std::string, 2> localCodes = {kLocalCourses[(2 * dayNo) % kLocalCourseCount],
                                             kLocalCourses[(2 * dayNo + 1) % kLocalCourseCount]};
    std::sort(localCodes.begin(), localCodes.end());
    for (int c = 0; c < 2; ++c) {
      const std::string& code = localCodes[static_cast<size_t>(c)];
      auto cd = DrawCourseDay(options.seed, day.date, code, 1, nichime, false);
      day.localCourses.push_back(cd);
      int races = rng.Between(10, 12);
      int scratchRace = rng.Between(1, races), deadHeatRace = rng.Between(1, races);
      AddRaces(options.seed, cd, races, c == 0 ? 1050 : 1430, 30, 5, 12, c == 0 ? scratchRace : 0,
               c == 1 ? deadHeatRace : 0, day.local);
    }
    if (day.realtime) {
      // Race-day changes announced in the meeting data: a later start and a course change.
      auto& late = day.central[4];
      late.newStartHhmm = AddMinutes(late.setup.startHhmm, 10);
      for (auto& race : day.central)
        if (race.setup.course == kCentralCourses[1] && race.trackCode < 23 && race.setup.raceNo >= 6) {
          race.newTrack = 24;
          race.newDistance = race.distance;
          break;
        }
      auto& localLate = day.local[1];
      localLate.newStartHhmm = AddMinutes(localLate.setup.startHhmm, 15);
    }
    return day;
  }
}

std::vector<TDemoFile> DemoLinkFiles(const TDemoDay& day, bool central) {
  TLinkFiles link;
  BuildLinkDay(day, central, link);
  return std::move(link.files);
}

std::vector<TDemoDay> BuildDemoSeason(const TDemoDataOptions& options) {
  std::vector<TDemoDay> season;
  for (int d = 0; d < options.days; ++d) season.push_back(BuildDemoDay(options, d));
  return season;
}

int WriteDemoData(const std::filesystem::path& appDir, const TDemoDataOptions& options, TDemoDataSummary* summary,
                  std::string* error) {
  try {
    if (options.days < 1) throw std::invalid_argument("日数は1以上を指定してください");
    TDemoDataSummary sum;
    const auto root = appDir / "linkstore";
    for (int d = 0; d < options.days; ++d) {
      // One day at a time keeps the memory small.
      const TDemoDay day = BuildDemoDay(options, d);
      for (bool central : {true, false}) {
        const auto linkDir = root / (central ? "JV" : "NV");
        RemoveDemoDay(linkDir, day.date);
        for (const auto& [rel, lines] : DemoLinkFiles(day, central)) {
          WriteRawLines(linkDir / rel, lines);
          ++sum.files;
          for (const auto& l : lines) sum.bytes += static_cast<long long>(l.size()) + 2;
        }
      }
      sum.races += static_cast<int>(day.central.size() + day.local.size());
      ++sum.days;
    }
    if (summary) *summary = sum;
    return 0;
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return -900;
  }
}

}  // namespace zelk
