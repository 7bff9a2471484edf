#include "platform/file_data_link.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "common/text_file.h"

namespace zelk {
namespace {
namespace fs = std::filesystem;

class FileDataLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store = fs::temp_directory_path() / ("zelk_link_" + std::to_string(::getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(store);
    fs::create_directories(store);
  }
  void TearDown() override { fs::remove_all(store); }

  void Publish(const std::string& name, const std::string& bytes) {
    WriteFileAtomic(store / "server" / "RACE" / name, bytes);
  }
  void LinkIni(const std::string& text) { WriteFileAtomic(store / "link.ini", text); }

  // Reads everything of the current open: records as "file:first-two-chars", file ends as "|".
  static std::string ReadAll(TFileDataLink& link) {
    std::string out, rec, file;
    for (int guard = 0; guard < 1000; ++guard) {
      int size = 110000;
      int rc = link.Read(rec, size, file);
      if (rc == 0) return out;
      if (rc == -1) {
        out += "|";
        continue;
      }
      if (rc < 0) return out + "E" + std::to_string(rc);
      EXPECT_EQ(size, static_cast<int>(rec.size()));
      EXPECT_EQ(rec.substr(rec.size() - 2), "\r\n");
      out += file.substr(15, 3) + rec.substr(0, 2) + " ";
    }
    return out + "loop";
  }

  fs::path store;
};

TEST_F(FileDataLinkTest, OpenSelectsLaterFilesDownloadsAndReadsFileByFile) {
  Publish("20240505120000_RA1.txt", "RA1\r\nRA2\r\n");
  Publish("20240512120000_SEa.txt", "SE1\r\n\r\nSE2");  // blank line skipped, missing CR LF added
  Publish("20240512120000_HRb.txt", "HR1\r\n");
  Publish("20240401000000_old.txt", "RA0\r\n");
  Publish("notastamp.txt", "XX\r\n");
  TFileDataLink link(store);
  ASSERT_EQ(link.Init("SID"), 0);
  int readCount = 0, downloadCount = 0;
  std::string last;
  ASSERT_EQ(link.Open("RACE", "20240501000000", 1, readCount, downloadCount, last), 0);
  EXPECT_EQ(readCount, 3);
  EXPECT_EQ(downloadCount, 3);
  EXPECT_EQ(last, "20240512120000");
  // A small store is downloaded at the first poll; later polls answer the same count.
  EXPECT_EQ(link.Status(), 3);
  EXPECT_EQ(link.Status(), 3);
  EXPECT_TRUE(fs::exists(store / "data" / "20240512120000_HRb.txt"));
  EXPECT_EQ(ReadAll(link), "RA1RA RA1RA |HRbHR |SEaSE SEaSE |");
  EXPECT_EQ(link.TotalReadFileSize(), 10 + 10 + 5);
  EXPECT_EQ(link.Close(), 0);

  // Files already in data/ are not downloaded again; the difference starts after the last stamp.
  ASSERT_EQ(link.Init("SID"), 0);
  ASSERT_EQ(link.Open("RACE", "20240505120000", 1, readCount, downloadCount, last), 0);
  EXPECT_EQ(readCount, 2);
  EXPECT_EQ(downloadCount, 0);
  link.Close();
  ASSERT_EQ(link.Init("SID"), 0);
  EXPECT_EQ(link.Open("RACE", "20240512120000", 1, readCount, downloadCount, last), -1);
  EXPECT_EQ(link.Close(), 0);
  // A setup starts at the start time itself.
  ASSERT_EQ(link.Init("SID"), 0);
  ASSERT_EQ(link.Open("RACE", "20240512120000", 3, readCount, downloadCount, last), 0);
  EXPECT_EQ(readCount, 2);
  link.Close();
}

TEST_F(FileDataLinkTest, SkipAbandonsTheFileWithoutFileEnd) {
  Publish("20240505120000_AAa.txt", "O11\r\nO12\r\nO13\r\n");
  Publish("20240506120000_BBb.txt", "RA1\r\n");
  TFileDataLink link(store);
  link.Init("SID");
  int r, d;
  std::string last, rec, file;
  ASSERT_EQ(link.Open("RACE", "20240101000000", 1, r, d, last), 0);
  while (link.Status() < d) {
  }
  int size = 110000;
  ASSERT_GT(link.Read(rec, size, file), 0);
  link.Skip();
  EXPECT_EQ(link.CurrentReadFileSize(), 15);
  EXPECT_EQ(ReadAll(link), "BBbRA |");
}

TEST_F(FileDataLinkTest, StateAndParameterErrors) {
  TFileDataLink link(store);
  int r, d;
  std::string last, rec, file;
  int size = 110000;
  EXPECT_EQ(link.Open("RACE", "20240101000000", 1, r, d, last), -201);
  EXPECT_EQ(link.Read(rec, size, file), -203);
  EXPECT_EQ(link.Init(""), -101);
  EXPECT_EQ(link.Init(std::string(65, 'x')), -102);
  ASSERT_EQ(link.Init("SID"), 0);
  EXPECT_EQ(link.Open("../x", "20240101000000", 1, r, d, last), -111);
  EXPECT_EQ(link.Open("RACE", "20241301000000", 1, r, d, last), -112);
  EXPECT_EQ(link.Open("RACE", "2024010100000", 1, r, d, last), -112);
  EXPECT_EQ(link.Open("RACE", "20240101000000", 7, r, d, last), -115);
  EXPECT_EQ(link.RTOpen("0B99", "20240512"), -111);
  EXPECT_EQ(link.RTOpen("0B30", "20240512"), -114);
  EXPECT_EQ(link.RTOpen("0B15", "../../x"), -114);
  EXPECT_EQ(link.RTOpen("0B15", "20240512"), -1);  // no answer file: no data, still to be closed
  EXPECT_EQ(link.RTOpen("0B15", "20240512"), -202);
  EXPECT_EQ(link.Close(), 0);
}

TEST_F(FileDataLinkTest, RealTimeAnswerFile) {
  WriteFileAtomic(store / "realtime" / "0B30" / "202405120511.txt", "O1a\r\nO2b\r\n");
  TFileDataLink link(store);
  link.Init("SID");
  ASSERT_EQ(link.RTOpen("0B30", "202405120511"), 0);
  std::string rec, file;
  int size = 110000;
  EXPECT_EQ(link.Read(rec, size, file), 5);
  EXPECT_EQ(file, "202405120511.txt");
  EXPECT_EQ(rec, "O1a\r\n");
  EXPECT_EQ(link.Read(rec, size, file), 5);
  EXPECT_EQ(link.Read(rec, size, file), -1);
  EXPECT_EQ(link.Read(rec, size, file), 0);
  EXPECT_EQ(link.Close(), 0);
}

TEST_F(FileDataLinkTest, InjectedFailuresAndVersion) {
  Publish("20240505120000_RA1.txt", "RA1\r\nRA2\r\nRA3\r\n");
  LinkIni("[Link]\r\nVersion=0203\r\n[Fail]\r\nStatus=-502\r\nStatusAfter=1\r\nRead=-403\r\nReadAfter=2\r\nClose=-201\r\n");
  TFileDataLink link(store);
  EXPECT_EQ(link.Version(), "0203");
  EXPECT_EQ(LinkVersionText(link.Version()), "2.0.3");
  link.Init("SID");
  int r, d;
  std::string last, rec, file;
  ASSERT_EQ(link.Open("RACE", "20240101000000", 1, r, d, last), 0);
  EXPECT_EQ(link.Status(), 1);
  EXPECT_EQ(link.Status(), -502);
  int size = 110000;
  EXPECT_GT(link.Read(rec, size, file), 0);
  EXPECT_GT(link.Read(rec, size, file), 0);
  EXPECT_EQ(link.Read(rec, size, file), -403);
  EXPECT_EQ(link.Close(), -201);

  LinkIni("[Fail]\r\nOpen=-301\r\n");
  link.Init("SID");
  EXPECT_EQ(link.Open("RACE", "20240101000000", 1, r, d, last), -301);
}

TEST_F(FileDataLinkTest, ConfiguredStoreFolderFallsBackToDefault) {
  EXPECT_EQ(TFileDataLink::ConfiguredStoreFolder(store, TLinkSide::Local), store / "linkstore" / "NV");
  TFileDataLink::SaveStoreFolder(store, TLinkSide::Central, store / "elsewhere");
  EXPECT_EQ(TFileDataLink::ConfiguredStoreFolder(store, TLinkSide::Central), store / "elsewhere");
  EXPECT_EQ(TFileDataLink::ConfiguredStoreFolder(store, TLinkSide::Local), store / "linkstore" / "NV");
}

}  // namespace
}  // namespace zelk
