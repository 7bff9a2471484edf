// The demo season: deterministic files in the data provider's layouts whose payouts follow the
// finishing order and the final odds.
#include "data/demo_data.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "common/cp932.h"
#include "common/text_file.h"
#include "data/demo_check.h"
#include "data/demo_records.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

// One two-day season (a settled day and a real-time day) written once for all tests.
class DemoDataTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    home_ = new fs::path(fs::temp_directory_path() / ("zelk_demo_test_" + std::to_string(::getpid())));
    fs::remove_all(*home_);
    // The files as WriteDemoData lays them out, written without its per-file flush to keep the
    // suite fast (every test program writes its own copy).
    for (const auto& day : BuildDemoSeason({MakeDate(2024, 5, 11), 2, 1}))
      for (bool central : {true, false})
        for (const auto& f : DemoLinkFiles(day, central)) {
          fs::path path = *home_ / "linkstore" / (central ? "JV" : "NV") / f.path;
          fs::create_directories(path.parent_path());
          std::ofstream out(path, std::ios::binary);
          for (const auto& line : f.lines) out << line << "\r\n";
        }
  }
  static void TearDownTestSuite() {
    fs::remove_all(*home_);
    delete home_;
  }
  static fs::path Link(const char* link) { return *home_ / "linkstore" / link; }

  static std::vector<std::string> Lines(const fs::path& dir, const std::string& part) {
    std::vector<std::string> all;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir))
      if (e.path().filename().string().find(part) != std::string::npos) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files)
      for (auto& l : ReadRawLines(f)) all.push_back(l);
    return all;
  }

  static fs::path* home_;
};

fs::path* DemoDataTest::home_ = nullptr;

TEST(DemoSeasonTest, SameArgumentsGiveTheSameFilesAndAnotherSeedOtherRaces) {
  auto files = [](TDemoDataOptions options) {
    std::map<std::string, std::vector<std::string>> all;
    for (const auto& day : BuildDemoSeason(options))
      for (bool central : {true, false})
        for (auto& f : DemoLinkFiles(day, central)) all[(central ? "JV/" : "NV/") + f.path] = f.lines;
    return all;
  };
  const TDemoDataOptions two{MakeDate(2024, 5, 11), 2, 1};
  auto a = files(two);
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(a, files(two));

  TDemoDataOptions other = two;
  other.seed = 2;
  auto c = files(other);
  int same = 0, differing = 0;
  for (const auto& [path, lines] : a)
    if (c.count(path)) (c[path] == lines ? same : differing)++;
  EXPECT_GT(differing, 0);
  EXPECT_EQ(same, 0);
}

TEST_F(DemoDataTest, EveryRecordHasItsLayoutLengthAndTheStoreChecksSound) {
  for (const char* link : {"JV", "NV"}) {
    SCOPED_TRACE(link);
    TDemoCheck check = CheckDemoLinkStore(Link(link));
    for (const auto& p : check.problems) ADD_FAILURE() << p;
    EXPECT_TRUE(check.Ok());
    EXPECT_GT(check.settledRaces, 0);
    EXPECT_GT(check.realtimeRaces, 0);
    EXPECT_GT(check.deadHeats, 0);
    EXPECT_GT(check.scratchedHorses, 0);
    EXPECT_GT(check.supersededOdds, 0);
  }
  // Record lengths with their CR LF, as the data link delivers them.
  const std::map<std::string, size_t> recordLength = {{"RA", 1272}, {"SE", 555},   {"HR", 719},
                                                      {"O1", 962},  {"O2", 2042},  {"O3", 2654},
                                                      {"O4", 4031}, {"O5", 12293}, {"O6", 83285}};
  std::map<std::string, int> seen;
  for (const auto& e : fs::directory_iterator(Link("JV") / "server/RACE")) {
    std::string bytes = ReadFileBytes(e.path());
    size_t start = 0;
    while (start < bytes.size()) {
      size_t end = bytes.find("\r\n", start);
      ASSERT_NE(end, std::string::npos) << e.path();
      std::string kind = bytes.substr(start, 2);
      ASSERT_TRUE(recordLength.count(kind)) << kind;
      EXPECT_EQ(end + 2 - start, recordLength.at(kind)) << kind;
      ++seen[kind];
      start = end + 2;
    }
  }
  EXPECT_EQ(seen.size(), recordLength.size());
}

TEST_F(DemoDataTest, FieldsStandAtTheirOffsets) {
  fs::path server = Link("JV") / "server/RACE";
  auto ra = Lines(server, "_RA7_20240511");
  auto se = Lines(server, "_SE7_20240511");
  ASSERT_EQ(ra.size(), 36u);  // three racecourses of twelve races
  const std::string& first = ra.front();
  EXPECT_EQ(first.substr(0, 3), "RA7");
  EXPECT_EQ(first.substr(11, 8), "20240511");
  EXPECT_EQ(first.substr(19, 2), "04");  // racecourses in code order
  EXPECT_EQ(first.substr(25, 2), "01");
  EXPECT_EQ(ra[11].substr(25, 2), "12");
  int registered = std::stoi(first.substr(881, 2));
  EXPECT_GE(registered, 8);
  EXPECT_LE(registered, 18);

  int horsesOfFirstRace = 0;
  for (const auto& line : se) {
    if (line.substr(11, 16) != first.substr(11, 16)) continue;
    ++horsesOfFirstRace;
    EXPECT_EQ(std::stoi(line.substr(28, 2)), horsesOfFirstRace);
    // 馬名: katakana of at most 18 full-width characters, padded with full-width blanks.
    std::string name = Cp932ToUtf8(line.substr(40, 36));
    EXPECT_EQ(name.find("\xEF\xBF\xBD"), std::string::npos);  // no undecodable byte
    EXPECT_EQ(name.find(' '), std::string::npos);
    EXPECT_TRUE(name.rfind("\xE3\x82", 0) == 0 || name.rfind("\xE3\x83", 0) == 0) << name;  // katakana block
    const int place = std::stoi(line.substr(334, 2));
    const int ijo = line[331] - '0';
    EXPECT_EQ(place == 0, ijo != 0);
    EXPECT_NE(std::stoll(line.substr(30, 10)), 0);
  }
  EXPECT_EQ(horsesOfFirstRace, registered);
}

TEST_F(DemoDataTest, ScratchedHorsesAreRefundedAndShowNoOdds) {
  fs::path server = Link("JV") / "realtime";
  auto results = ReadRawLines(server / "0B12/20240512.txt");
  auto meeting = ReadRawLines(server / "0B14/20240512.txt");
  int scratches = 0;
  for (const auto& se : results) {
    if (se.substr(0, 2) != "SE" || se[331] == '0') continue;
    ++scratches;
    const std::string race = se.substr(11, 16), horse = se.substr(28, 2);
    const std::string* hr = nullptr;
    for (const auto& l : results)
      if (l.substr(0, 2) == "HR" && l.substr(11, 16) == race) hr = &l;
    ASSERT_NE(hr, nullptr);
    EXPECT_EQ((*hr)[57 + std::stoul(horse)], '1');  // 返還馬番情報
    EXPECT_EQ((*hr)[49], '1');                      // 返還フラグ　単勝
    EXPECT_EQ((*hr)[57], '1');                      // 返還フラグ　3連単
    bool announced = false;
    for (const auto& av : meeting)
      if (av.substr(0, 2) == "AV" && av.substr(11, 16) == race && av.substr(35, 2) == horse)
        announced = av[2] == se[331];
    EXPECT_TRUE(announced);
    auto odds = ReadRawLines(server / ("0B30/" + race.substr(0, 8) + race.substr(8, 2) + race.substr(14, 2) + ".txt"));
    ASSERT_EQ(odds.size(), 6u);
    const size_t slot = 43 + (std::stoul(horse) - 1) * 8;
    EXPECT_EQ(odds[0].substr(slot, 8), horse + "------");
  }
  EXPECT_GE(scratches, 1);
}

TEST_F(DemoDataTest, LastDayStaysAtTheRaceCardWithRealtimeAnswers) {
  fs::path jv = Link("JV");
  auto lastDayRa = Lines(jv / "server/RACE", "_20240512");
  for (const auto& line : lastDayRa) {
    if (line.substr(0, 2) == "RA" || line.substr(0, 2) == "SE") {
      EXPECT_EQ(line[2], '2');
    }
    if (line[0] == 'O') {
      EXPECT_EQ(line[2], '1');
    }
    EXPECT_NE(line.substr(0, 2), "HR");
  }
  for (const char* spec : {"0B12", "0B14", "0B15"})
    EXPECT_TRUE(fs::exists(jv / "realtime" / spec / "20240512.txt")) << spec;
  EXPECT_TRUE(fs::exists(jv / "realtime/0B30/202405120511.txt"));
  std::map<std::string, int> meetingKinds;
  for (const auto& l : ReadRawLines(jv / "realtime/0B14/20240512.txt")) ++meetingKinds[l.substr(0, 2)];
  for (const char* kind : {"WE", "AV", "TC", "CC"}) EXPECT_GT(meetingKinds[kind], 0) << kind;
  // The first day's races are final: no real-time answers for it.
  EXPECT_FALSE(fs::exists(jv / "realtime/0B12/20240511.txt"));
}

TEST_F(DemoDataTest, TheCheckFindsAWrongPayoutAndAShortRecord) {
  const fs::path copy = *home_ / "broken";
  fs::copy(Link("NV"), copy, fs::copy_options::recursive);
  fs::path hrFile;
  for (const auto& e : fs::directory_iterator(copy / "server/RACE"))
    if (e.path().filename().string().find("_HR2_") != std::string::npos) hrFile = e.path();
  ASSERT_FALSE(hrFile.empty());
  auto lines = ReadRawLines(hrFile);
  lines[0][102 + 2 + 8] = lines[0][102 + 2 + 8] == '0' ? '5' : '0';  // last digit of the 単勝 payout
  lines[1].pop_back();
  WriteRawLines(hrFile, lines);
  TDemoCheck check = CheckDemoLinkStore(copy);
  // The short record is refused, so its race also has no payouts.
  ASSERT_EQ(check.problems.size(), 3u);
  EXPECT_NE(check.problems[0].find("record HR of length 716"), std::string::npos) << check.problems[0];
  EXPECT_NE(check.problems[1].find("payout of bet type 1 does not follow its odds"), std::string::npos)
      << check.problems[1];
  EXPECT_NE(check.problems[2].find("no payouts"), std::string::npos) << check.problems[2];
}

TEST(DemoSeasonTest, WriteDemoDataFillsBothLinkStores) {
  const fs::path home = fs::temp_directory_path() / ("zelk_demo_write_" + std::to_string(::getpid()));
  fs::remove_all(home);
  TDemoDataSummary summary;
  ASSERT_EQ(WriteDemoData(home, {MakeDate(2024, 5, 11), 1, 1}, &summary), 0);
  EXPECT_EQ(summary.days, 1);
  size_t expectedFiles = 0;
  for (bool central : {true, false})
    expectedFiles += DemoLinkFiles(BuildDemoDay({MakeDate(2024, 5, 11), 1, 1}, 0), central).size();
  EXPECT_EQ(static_cast<size_t>(summary.files), expectedFiles);
  EXPECT_TRUE(fs::exists(home / "linkstore/JV/realtime/0B12/20240511.txt"));
  EXPECT_TRUE(fs::exists(home / "linkstore/NV/realtime/0B14/20240511.txt"));
  std::string error;
  EXPECT_EQ(WriteDemoData(home, {MakeDate(2024, 5, 11), 0, 1}, nullptr, &error), -900);
  EXPECT_FALSE(error.empty());
  fs::remove_all(home);
}

TEST(DemoSeasonTest, ARunWithAnotherSeedLeavesNoRaceOfTheOldSeason) {
  const fs::path home = fs::temp_directory_path() / ("zelk_demo_rerun_" + std::to_string(::getpid()));
  fs::remove_all(home);
  const TDemoDataOptions seed1{MakeDate(2024, 5, 11), 1, 1};
  TDemoDataOptions seed2 = seed1;
  seed2.seed = 2;  // two local races more than seed 1 on this day
  WriteFileAtomic(home / "linkstore/NV/server/RACE/20240101000000_own.txt", "RA\r\n");
  ASSERT_EQ(WriteDemoData(home, seed2), 0);
  ASSERT_EQ(WriteDemoData(home, seed1), 0);
  std::set<std::string> expected = {"NV/server/RACE/20240101000000_own.txt"};  // not a demo file: kept
  for (bool central : {true, false})
    for (const auto& f : DemoLinkFiles(BuildDemoDay(seed1, 0), central))
      expected.insert((central ? "JV/" : "NV/") + f.path);
  std::set<std::string> found;
  for (const auto& e : fs::recursive_directory_iterator(home / "linkstore"))
    if (e.is_regular_file()) found.insert(fs::relative(e.path(), home / "linkstore").string());
  EXPECT_EQ(found, expected);
  fs::remove_all(home);
}

TEST(DemoRaceTest, DeadHeatsShareThePoolAndPayoutRatesFollowTheTable) {
  // A dead heat for first between horses at 3.0 and 6.0 on 単勝 (rate 80 %): each pays
  // 1 + odds × (1 − 1/3 − 1/6) / 2.
  EXPECT_EQ(DemoSharedPayoutYen({3.0, 6.0}, 0, 1), 170);
  EXPECT_EQ(DemoSharedPayoutYen({3.0, 6.0}, 1, 1), 250);
  EXPECT_EQ(DemoSharedPayoutYen({1.1, 1.2}, 0, 1), 100);  // never below the stake
  EXPECT_EQ(DemoSharedPayoutYen({4.5}, 0, 1), 450);

  struct TCase {
    const char* course;
    TDateTime date;
    bool last;
    int slot;
    double rate;
  } cases[] = {
      {"05", MakeDate(2024, 5, 11), false, 1, 80},   {"05", MakeDate(2024, 5, 11), false, 9, 72.5},
      {"05", MakeDate(2014, 6, 6), false, 1, 78.8},  {"05", MakeDate(2014, 6, 6), false, 9, 73.8},
      {"44", MakeDate(2014, 4, 10), false, 9, 75},   {"30", MakeDate(2024, 5, 11), false, 6, 80},
      {"54", MakeDate(2024, 5, 11), true, 9, 77.0},  {"54", MakeDate(2024, 5, 11), false, 9, 72.5},
      {"50", MakeDate(2015, 3, 31), false, 5, 77.5}, {"50", MakeDate(2015, 4, 1), false, 6, 75},
      {"65", MakeDate(2024, 5, 11), false, 1, 73.8},
  };
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(DemoPayoutRates(c.course, c.date, c.last)[static_cast<size_t>(c.slot)], c.rate)
        << c.course << " " << FormatYmd(c.date) << " slot " << c.slot;
}

}  // namespace
}  // namespace zelk
