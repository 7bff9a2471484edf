#include "data/sokuho_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <set>

#include "common/text_file.h"
#include "support/fakes.h"
#include "support/record_builder.h"

namespace zelk {
namespace fs = std::filesystem;
using test::TRecordBuilder;

namespace {

std::string WE(std::string_view course, std::string_view announced) {
  return TRecordBuilder("WE", 42).Header('1', "20240512", "20240512", course, 0).Set(25, announced).Delivered();
}
std::string AV(std::string_view course, int race, int horse) {
  return TRecordBuilder("AV", 78).Header('1', "20240512", "20240512", course, race).Num(35, 2, horse).Delivered();
}

std::set<std::string> FileNames(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

class SokuhoFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home = fs::temp_directory_path() / ("zelk_sokuho_files_" + std::to_string(::getpid()));
    fs::remove_all(home);
  }
  void TearDown() override { fs::remove_all(home); }
  fs::path home;
  test::TFakePump pump;
  TDateTime day = MakeDate(2024, 5, 12);
};

}  // namespace

TEST_F(SokuhoFilesTest, WritesOneFilePerCourseAndRaceSortedAndWaits) {
  TSokuhoFiles s(home, pump);
  s.Begin(day);
  EXPECT_TRUE(fs::is_directory(home / "Sokuho/20240512"));
  EXPECT_TRUE(s.Add(AV("05", 11, 7)));
  EXPECT_TRUE(s.Add(WE("05", "05121030")));
  EXPECT_TRUE(s.Add(AV("05", 11, 3)));
  EXPECT_TRUE(s.Add(WE("05", "05120900")));
  EXPECT_TRUE(s.Add(TRecordBuilder("JC", 120).Header('1', "20240512", "20240512", "08", 2).Delivered()));
  EXPECT_TRUE(s.Add(TRecordBuilder("WH", 100).Header('1', "20240512", "20240512", "08", 2).Delivered()));
  EXPECT_EQ(s.Write(day), 0);
  EXPECT_EQ(pump.waitedMs, 1000);

  fs::path folder = home / "Sokuho/20240512";
  EXPECT_EQ(FileNames(folder), (std::set<std::string>{"AV0511.dat", "JC0802.dat", "WE05.dat", "WH0802.dat"}));
  EXPECT_EQ(FileNames(home / "Sokuho"), std::set<std::string>{"20240512"});
  auto av = ReadSokuhoAV(home, day, "05", 11);
  ASSERT_EQ(av.size(), 2u);
  EXPECT_EQ(av[0].substr(35, 2), "03");  // text order
  EXPECT_EQ(av[0].size(), 78u);        // stored without CR LF
  auto we = ReadSokuhoWE(home, day, "05");
  ASSERT_EQ(we.size(), 2u);
  EXPECT_EQ(we[0].substr(25, 8), "05120900");
  EXPECT_EQ(ReadSokuhoJC(home, day, "08", 2).size(), 1u);
  EXPECT_TRUE(ReadSokuhoJC(home, day, "08", 3).empty());
}

TEST_F(SokuhoFilesTest, ANewFetchReplacesTheWholeDayFolderAndAnEmptyOneTouchesNothing) {
  TSokuhoFiles s(home, pump);
  s.Begin(day);
  s.Add(AV("05", 11, 7));
  s.Add(AV("05", 12, 1));
  ASSERT_EQ(s.Write(day), 0);

  s.Begin(day);
  EXPECT_EQ(s.Write(day), -902);
  EXPECT_EQ(FileNames(home / "Sokuho/20240512"), (std::set<std::string>{"AV0511.dat", "AV0512.dat"}));

  s.Begin(day);
  s.Add(AV("05", 12, 4));
  ASSERT_EQ(s.Write(day), 0);
  EXPECT_EQ(FileNames(home / "Sokuho/20240512"), std::set<std::string>{"AV0512.dat"});
  auto av = ReadSokuhoAV(home, day, "05", 12);
  ASSERT_EQ(av.size(), 1u);
  EXPECT_EQ(av[0].substr(35, 2), "04");
  EXPECT_EQ(FileNames(home / "Sokuho"), std::set<std::string>{"20240512"});
}

TEST_F(SokuhoFilesTest, CentralAndLocalFetchesOfOneDateKeepEachOthersFiles) {
  TSokuhoFiles central(home, pump), local(home, pump);
  central.SetOwner(TSokuhoFiles::TOwner::Central);
  local.SetOwner(TSokuhoFiles::TOwner::Local);
  central.Begin(day);
  central.Add(AV("05", 11, 7));
  central.Add(WE("05", "05120900"));
  ASSERT_EQ(central.Write(day), 0);
  local.Begin(day);
  local.Add(AV("44", 3, 2));
  ASSERT_EQ(local.Write(day), 0);
  EXPECT_EQ(FileNames(home / "Sokuho/20240512"), (std::set<std::string>{"AV0511.dat", "AV4403.dat", "WE05.dat"}));
  // A new central fetch still replaces the central files of the date.
  central.Begin(day);
  central.Add(AV("05", 12, 1));
  ASSERT_EQ(central.Write(day), 0);
  EXPECT_EQ(FileNames(home / "Sokuho/20240512"), (std::set<std::string>{"AV0512.dat", "AV4403.dat"}));
}

TEST_F(SokuhoFilesTest, LinesThatCannotNameASafeFileAreRefused) {
  TSokuhoFiles s(home, pump);
  s.Begin(day);
  std::string traversal = AV("05", 11, 7);
  traversal.replace(19, 2, "..");
  std::string badRace = AV("05", 11, 7);
  badRace.replace(25, 2, "/x");
  EXPECT_FALSE(s.Add(traversal));
  EXPECT_FALSE(s.Add(badRace));
  EXPECT_FALSE(s.Add("AV1"));
  EXPECT_FALSE(s.Add(TRecordBuilder("ZZ", 40).Header('1', "20240512", "20240512", "05", 1).Text()));
  EXPECT_TRUE(s.Lines().empty());
  EXPECT_EQ(s.Write(day), -902);
}

TEST_F(SokuhoFilesTest, AFileErrorAnswersMinus900AndKeepsThePreviousFiles) {
  TSokuhoFiles s(home, pump);
  s.Begin(day);
  s.Add(AV("05", 11, 7));
  ASSERT_EQ(s.Write(day), 0);
  // Files may not grow past a few bytes: every new file fails to be written.
  s.Begin(day);
  s.Add(AV("05", 12, 1));
  s.Add(AV("05", 12, 2));
  struct rlimit old;
  ::getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit tiny = old;
  tiny.rlim_cur = 16;
  ::setrlimit(RLIMIT_FSIZE, &tiny);
  int rc = s.Write(day);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(rc, -900);
  EXPECT_EQ(FileNames(home / "Sokuho"), std::set<std::string>{"20240512"});
  EXPECT_EQ(FileNames(home / "Sokuho/20240512"), std::set<std::string>{"AV0511.dat"});
  EXPECT_EQ(ReadSokuhoAV(home, day, "05", 11).size(), 1u);
}

}  // namespace zelk
