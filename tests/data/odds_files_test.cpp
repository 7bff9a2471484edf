#include "data/odds_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "common/text_file.h"
#include "support/record_builder.h"

namespace zelk {
namespace fs = std::filesystem;
using test::TRecordBuilder;

namespace {

// An O1 line of racecourse 05 on 2024-05-12.
std::string O1(int race, std::string_view created, std::string_view announced, std::string_view raceDate = "20240512",
               std::string_view course = "05") {
  return TRecordBuilder("O1", 960).Header('1', created, raceDate, course, race).Set(27, announced).Text();
}

std::vector<int> RaceNumbers(const std::vector<std::string>& lines) {
  std::vector<int> r;
  for (const auto& l : lines) r.push_back(std::stoi(l.substr(25, 2)));
  return r;
}

class OddsFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("zelk_odds_files_" + std::to_string(::getpid()));
    fs::remove_all(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

}  // namespace

TEST(OddsPaths, BuildTheTreeFromTheRecordDate) {
  fs::path db = "/home/u/db";
  EXPECT_EQ(OddsDayFileOfRecord(db, kBranchJRA, O1(11, "20240510", "05121500")), db / "JRA/O1/2024/0512.DAT");
  EXPECT_EQ(OddsDayFileOfRace(db, kBranchNAR, "YOSOU", MakeDate(2024, 1, 3)), db / "NAR/YOSOU/2024/0103.DAT");
  EXPECT_EQ(WFFilePath(db), db / "NAR/TU.DAT");
  // The record's date becomes folder names: anything but digits is refused.
  std::string evil = O1(11, "20240510", "05121500");
  evil.replace(11, 8, "../../..");
  EXPECT_THROW(OddsDayFileOfRecord(db, kBranchJRA, evil), std::invalid_argument);
  EXPECT_THROW(OddsDayFileOfRecord(db, kBranchJRA, "O1"), std::invalid_argument);
}

TEST(OddsPlacement, SameRaceKeepsTheLatestAnnouncementOrCreation) {
  struct Case {
    const char* name;
    std::string first, second;
    int keep;  // 1 or 2: which line stays
  } cases[] = {
      {"later announcement second", O1(1, "20240511", "05121400"), O1(1, "20240511", "05121430"), 2},
      {"later announcement first", O1(1, "20240511", "05121430"), O1(1, "20240511", "05121400"), 1},
      {"older re-import", O1(1, "20240511", "05120900"), O1(1, "20240510", "05121600"), 1},
      {"newer creation wins over time", O1(1, "20240510", "05121600"), O1(1, "20240511", "05120900"), 2},
      {"equal everything keeps stored", O1(1, "20240511", "05121400"), O1(1, "20240511", "05121400"), 1},
      {"blank date counts as 1980-01-01", O1(1, "        ", "05121600"), O1(1, "19800102", "05120000"), 2},
      {"invalid date counts as 1980-01-01", O1(1, "19800101", "05121600"), O1(1, "20241340", "05121500"), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool byRace : {false, true}) {
      TOddsDayFile f;
      std::string first = c.first, second = c.second;
      second[960 - 1] = 'X';  // tells the two apart even when their fields are equal
      if (byRace) {
        f.PlaceByRace(first);
        f.PlaceByRace(second);
      } else {
        f.PlaceSorted(first);
        f.PlaceSorted(second);
      }
      ASSERT_EQ(f.Lines().size(), 1u);
      EXPECT_EQ(f.Lines()[0], c.keep == 1 ? first : second);
    }
  }
}

TEST(OddsPlacement, CentralLinesSortByRaceWhileLocalO6KeepsArrivalOrder) {
  TOddsDayFile sorted, byRace;
  for (int race : {1, 3, 2}) {
    sorted.PlaceSorted(O1(race, "20240511", "05121400"));
    byRace.PlaceByRace(O1(race, "20240511", "05121400"));
  }
  sorted.PlaceSorted(O1(2, "20240511", "05121400", "20240512", "04"));  // another course sorts first
  EXPECT_EQ(RaceNumbers(sorted.Lines()), (std::vector<int>{2, 1, 2, 3}));
  EXPECT_EQ(sorted.Lines()[0].substr(19, 2), "04");
  EXPECT_EQ(RaceNumbers(byRace.Lines()), (std::vector<int>{1, 3, 2}));

  // Probability lines always replace the stored line of their race.
  TOddsDayFile prob;
  prob.PlaceProbability(O1(2, "20240511", "05121400"));
  prob.PlaceProbability(O1(1, "20240511", "05121400"));
  prob.PlaceProbability(O1(2, "20240501", "05120000"));
  EXPECT_EQ(RaceNumbers(prob.Lines()), (std::vector<int>{1, 2}));
  EXPECT_EQ(prob.Lines()[1].substr(3, 8), "20240501");
}

TEST_F(OddsFilesTest, AlternatingRaceDaysSwitchFilesWithoutLosingLines) {
  TOddsDayFile f;
  const char* days[] = {"20240511", "20240512"};
  for (int race = 1; race <= 4; ++race) {
    for (const char* day : days) {
      std::string line = O1(race, "20240510", "05101200", day);
      f.Select(OddsDayFileOfRecord(dir, kBranchJRA, line));
      f.PlaceSorted(line);
    }
  }
  f.Flush();
  for (const char* day : days) {
    fs::path file = dir / "JRA/O1/2024" / (std::string(day).substr(4) + ".DAT");
    auto lines = ReadRawLines(file);
    EXPECT_EQ(RaceNumbers(lines), (std::vector<int>{1, 2, 3, 4})) << day;
    EXPECT_EQ(ReadFileBytes(file).size(), 4u * 962);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "JRA/O1/2024"), fs::directory_iterator()), 2);

  // Reset forgets without writing; a later Select loads what is on disk.
  f.PlaceSorted(O1(5, "20240510", "05101200", "20240512"));
  f.Reset();
  f.Select(dir / "JRA/O1/2024/0512.DAT");
  EXPECT_EQ(f.Lines().size(), 4u);

  // The readers' rule: first line of the racecourse and race.
  auto line = ReadOddsLineOfRace(OddsDayFileOfRace(dir, kBranchJRA, "O1", MakeDate(2024, 5, 12)), "05", 3);
  ASSERT_TRUE(line);
  EXPECT_EQ(RaceNumbers({*line}), std::vector<int>{3});
  EXPECT_FALSE(ReadOddsLineOfRace(dir / "JRA/O1/2024/0512.DAT", "06", 3));
  EXPECT_FALSE(ReadOddsLineOfRace(dir / "JRA/O1/2024/0101.DAT", "05", 3));
}

TEST_F(OddsFilesTest, SelectingANewDayCreatesAnEmptyFileAndFailedWriteBackKeepsMemory) {
  TOddsDayFile f;
  f.Select(dir / "NAR/O2/2024/0512.DAT");
  EXPECT_TRUE(fs::exists(dir / "NAR/O2/2024/0512.DAT"));
  f.PlaceSorted(O1(1, "20240510", "05101200"));
  // The next day's folder cannot be created: a plain file stands where the folder should be.
  WriteFileAtomic(dir / "NAR/O2/2025", "x");
  EXPECT_THROW(f.Select(dir / "NAR/O2/2025/0101.DAT"), std::exception);
  EXPECT_EQ(f.Path(), dir / "NAR/O2/2024/0512.DAT");
  ASSERT_EQ(f.Lines().size(), 1u);
}

TEST(OddsPlacement, WFLinesSortByRaceDateAndReplaceWhenNotOlder) {
  auto wf = [](std::string_view raceDate, std::string_view created, char tag) {
    return TRecordBuilder("WF", 7213).Header('1', created, raceDate, "  ", 0).Set(7212, std::string(1, tag)).Text();
  };
  TOddsDayFile f;
  f.PlaceWF(wf("20240512", "20240510", 'a'));
  f.PlaceWF(wf("20240505", "20240503", 'b'));
  f.PlaceWF(wf("20240512", "20240510", 'c'));  // same creation date replaces
  f.PlaceWF(wf("20240505", "20240502", 'd'));  // older stays out
  ASSERT_EQ(f.Lines().size(), 2u);
  EXPECT_EQ(f.Lines()[0].back(), 'b');
  EXPECT_EQ(f.Lines()[1].back(), 'c');
}

TEST(ProbabilityLine, HasTheO1LayoutOfDataKind8) {
  std::string slots;
  for (int h = 1; h <= 18; ++h) {
    char buf[9];
    std::snprintf(buf, sizeof buf, "%02d%04d%02d", h, 10 * h + 5, h);
    slots += buf;
  }
  std::string rec = "202405120511" + slots;
  ASSERT_EQ(rec.size(), kYosoRecordLength);
  std::string line = BuildProbabilityLine(rec + "\r\n", MakeDate(2024, 5, 10));
  ASSERT_EQ(line.size(), kProbabilityLineLength);
  EXPECT_EQ(line.substr(0, 43), "O1820240510202405120500001100000000" "00000000");
  EXPECT_EQ(line.substr(43, 144), slots);
  EXPECT_EQ(line.substr(187), std::string(773, ' '));
  EXPECT_EQ(OddsLineRaceKey(line), "202405120511");

  EXPECT_THROW(BuildProbabilityLine(rec.substr(0, 155), MakeDate(2024, 5, 10)), std::invalid_argument);
  EXPECT_THROW(BuildProbabilityLine("2024051205 1" + slots, MakeDate(2024, 5, 10)), std::invalid_argument);
  EXPECT_THROW(BuildProbabilityLine("202413120511" + slots, MakeDate(2024, 5, 10)), std::invalid_argument);
}

}  // namespace zelk
