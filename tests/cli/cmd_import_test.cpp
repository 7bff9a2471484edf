// Runs the built zelk program on a temporary application folder.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "common/cp932.h"
#include "common/text_file.h"

namespace zelk {
namespace {
namespace fs = std::filesystem;

fs::path ZelkProgram() { return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "src/cli/zelk"; }

std::string RaceRecord(int raceNo) {
  std::string r(1272, ' ');
  auto put = [&](size_t at, const std::string& v) { r.replace(at, v.size(), v); };
  put(0, "RA7");
  put(3, "20240510");
  put(11, "20240512");
  put(19, "05");
  put(21, "0304");
  put(25, raceNo < 10 ? "0" + std::to_string(raceNo) : std::to_string(raceNo));
  return r + "\r\n";
}

class ZelkImportCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(ZelkProgram())) GTEST_SKIP() << "zelk is not built";
    home = fs::temp_directory_path() / ("zelk_cli_import_" + std::to_string(::getpid())) / "home";
    fs::remove_all(home.parent_path());
    fs::create_directories(home.parent_path());
    ASSERT_EQ(Run("init"), 0);
  }
  void TearDown() override { fs::remove_all(home.parent_path()); }

  int Run(const std::string& args) {
    std::string cmd = "ZELK_REGISTRY='" + (home.parent_path() / "registry.ini").string() + "' '" +
                      ZelkProgram().string() + "' --home '" + home.string() + "' " + args + " >'" +
                      (home.parent_path() / "out.txt").string() + "' 2>'" +
                      (home.parent_path() / "err.txt").string() + "'";
    int status = std::system(cmd.c_str());
    out = ReadFileBytes(home.parent_path() / "out.txt");
    err = ReadFileBytes(home.parent_path() / "err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path home;
  std::string out, err;
};

TEST_F(ZelkImportCommand, ExitCodeFollowsTheRun) {
  fs::path store = home / "linkstore" / "JV";
  WriteFileAtomic(store / "server" / "RACE" / "20240512183000_RA20240512.txt", RaceRecord(1) + RaceRecord(2));

  EXPECT_EQ(Run("import --link jv --mode individual --from 20240101000000"), 0) << err;
  EXPECT_NE(out.find("中央競馬　蓄積系データのインポート開始\n"), std::string::npos) << out;
  EXPECT_NE(out.find("> 20240512183000_RA20240512.txt 2件\n"), std::string::npos) << out;
  EXPECT_NE(out.find("全件DBに反映されました\n"), std::string::npos) << out;
  EXPECT_EQ(err.find("\r"), std::string::npos);  // no progress bar when stderr is not a terminal
  EXPECT_NE(Cp932ToUtf8(ReadFileBytes(home / "zelk.ini")).find("RACE=20240512183000\r\n"), std::string::npos);
  EXPECT_FALSE(fs::is_empty(home / "Log"));  // the day's log file was written

  EXPECT_EQ(Run("import --link jv --mode setup --year 1985 --month 1"), 1);
  EXPECT_NE(err.find("開始年は1986年以降である必要があります"), std::string::npos) << err;

  WriteFileAtomic(store / "link.ini", "[Fail]\r\nOpen=-301\r\n");
  EXPECT_EQ(Run("import --link jv --mode diff"), 1);
  EXPECT_NE(out.find("> ダウンロード・エラー：-301 （認証エラー）\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("速報系"), std::string::npos) << out;

  EXPECT_EQ(Run("import --link xx --mode diff"), 2);
  EXPECT_EQ(Run("realtime-odds --link nv --date 20240512 --course ../ --race 1"), 2);
  EXPECT_EQ(Run("realtime-odds --link jv --date 20240512 --course 05 --race 11"), 1);  // no odds published
}

}  // namespace
}  // namespace zelk
