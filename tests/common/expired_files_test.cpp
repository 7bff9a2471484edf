#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "common/expired_files.h"

namespace zelk {
namespace fs = std::filesystem;

class ExpiredFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::temp_directory_path() / ("zelk_expired_" + std::to_string(::getpid()));
    fs::remove_all(home_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(home_ / "Log", fs::perms::owner_all, ec);
    fs::remove_all(home_);
  }
  fs::path Touch(const fs::path& relative) {
    fs::path p = home_ / relative;
    fs::create_directories(p.parent_path());
    std::ofstream(p) << "x";
    return p;
  }
  bool Exists(const fs::path& relative) const { return fs::exists(home_ / relative); }

  fs::path home_;
  const TDateTime today_{2024, 5, 12, 23, 59, 0, 0};
};

TEST_F(ExpiredFiles, LogsOlderThanTheRetentionGo) {
  // Today 2024-05-12, 7 days kept: 05-05 is exactly 7 days old and stays, 05-04 goes.
  Touch("Log/Log20240505.txt");
  Touch("Log/Log20240504.txt");
  Touch("Log/Log20240512.txt");
  Touch("Log/LOG20240101.TXT");
  Touch("Log/Log20240101_old.txt");
  Touch("IpatLog/Ipat20240505.txt");
  Touch("IpatLog/Ipat20240504.txt");
  Touch("IpatLog/Log20240101.txt");  // not this folder's prefix

  EXPECT_EQ(DeleteExpiredFiles(home_, today_, 7, 14), 4);
  EXPECT_TRUE(Exists("Log/Log20240505.txt"));
  EXPECT_FALSE(Exists("Log/Log20240504.txt"));
  EXPECT_TRUE(Exists("Log/Log20240512.txt"));
  EXPECT_FALSE(Exists("Log/LOG20240101.TXT"));
  EXPECT_FALSE(Exists("Log/Log20240101_old.txt"));
  EXPECT_TRUE(Exists("IpatLog/Ipat20240505.txt"));
  EXPECT_FALSE(Exists("IpatLog/Ipat20240504.txt"));
  EXPECT_TRUE(Exists("IpatLog/Log20240101.txt"));
}

TEST_F(ExpiredFiles, NamesWithoutAValidDateStayAndDoNotStopTheCleanUp) {
  const char* odd[] = {
      "Log/Log.txt",          "Log/Log2024.txt",         "Log/Log20241301.txt", "Log/Log20230229.txt",
      "Log/Logabcdefgh.txt",  "Log/Log 20240101.txt",    "Log/Log20240101.csv", "Log/メモ20240101.txt",
      "Log/Log２０２４0101.txt", "IpatLog/Ipat-1.txt",      "Sokuho/2024010",      "Sokuho/2024-1-1",
      "Sokuho/20241399/WE05.dat",
  };
  for (const char* f : odd) Touch(f);
  Touch("Log/Log20240101.txt");
  Touch("Sokuho/20240101/WE05.dat");
  fs::create_directories(home_ / "Log" / "Log20240102.txt");  // a folder, not a log file

  EXPECT_EQ(DeleteExpiredFiles(home_, today_, 7, 7), 3);
  for (const char* f : odd) EXPECT_TRUE(Exists(f)) << f;
  EXPECT_FALSE(Exists("Log/Log20240101.txt"));
  EXPECT_FALSE(Exists("Sokuho/20240101"));
  EXPECT_TRUE(Exists("Log/Log20240102.txt"));
}

TEST_F(ExpiredFiles, DayFoldersUseTheirOwnPeriod) {
  Touch("Sokuho/20240428/WE05.dat");  // 14 days: kept
  Touch("Sokuho/20240427/WE05.dat");  // 15 days: removed with its files
  Touch("Sokuho/20240427/AV0511.dat");
  Touch("Sokuho/20240420");           // a plain file with a date name is no day folder
  Touch("Log/Log20240427.txt");       // logs keep 30 days here

  EXPECT_EQ(DeleteExpiredFiles(home_, today_, 30, 14), 3);
  EXPECT_TRUE(Exists("Sokuho/20240428/WE05.dat"));
  EXPECT_FALSE(Exists("Sokuho/20240427"));
  EXPECT_TRUE(Exists("Sokuho/20240420"));
  EXPECT_TRUE(Exists("Log/Log20240427.txt"));
}

TEST_F(ExpiredFiles, MissingOrLockedFoldersAreNoError) {
  EXPECT_EQ(DeleteExpiredFiles(home_, today_, 7, 14), 0);  // nothing exists at all

  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  Touch("Log/Log20240101.txt");
  Touch("Sokuho/20240101/WE05.dat");
  fs::permissions(home_ / "Log", fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(DeleteExpiredFiles(home_, today_, 7, 14), 2);
  EXPECT_TRUE(Exists("Log/Log20240101.txt"));
  EXPECT_FALSE(Exists("Sokuho/20240101"));
}

}  // namespace zelk
