#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

#include "platform/shell.h"

namespace zelk {
namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Sets an environment variable for one test and puts the old value back.
class TScopedEnv {
 public:
  TScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~TScopedEnv() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zelk_shell_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "bin");
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A stand-in program on PATH that writes its argument count and arguments, one a line.
  void FakeProgram(const std::string& name, int exitCode = 0) {
    fs::path p = dir_ / "bin" / name;
    std::ofstream(p) << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" << (dir_ / (name + ".out")).string()
                     << "'\nexit " << exitCode << "\n";
    fs::permissions(p, fs::perms::owner_all);
  }
  std::string Output(const std::string& name) { return ReadAll(dir_ / (name + ".out")); }

  fs::path dir_;
};

}  // namespace

TEST_F(ShellTest, TrashKeepsTheEntryWithItsOriginalPathAndDate) {
  TScopedEnv dataHome("XDG_DATA_HOME", (dir_ / "share").string());
  const fs::path trash = dir_ / "share" / "Trash";
  ASSERT_EQ(HomeTrashFolder(), trash);

  const fs::path original = dir_ / "work" / "キャッシュ 1%.jvd";
  fs::create_directories(original.parent_path());
  std::ofstream(original) << "data";
  TSystemShell shell;
  ASSERT_TRUE(shell.MoveToTrash(original));
  EXPECT_FALSE(fs::exists(original));
  EXPECT_EQ(ReadAll(trash / "files" / "キャッシュ 1%.jvd"), "data");

  const std::string info = ReadAll(trash / "info" / "キャッシュ 1%.jvd.trashinfo");
  const std::string escapedDir = (dir_ / "work").string();
  EXPECT_NE(info.find("[Trash Info]\nPath=" + escapedDir + "/%E3%82%AD%E3%83%A3%E3%83%83%E3%82%B7%E3%83%A5%201%25.jvd\n"),
            std::string::npos)
      << info;
  EXPECT_TRUE(std::regex_search(info, std::regex("\nDeletionDate=\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}\n$")))
      << info;

  // The same name again gets a numbered name; a folder goes whole.
  fs::create_directories(original.parent_path() / "キャッシュ 1%.jvd" / "sub");
  std::ofstream(original / "sub" / "b.jvd") << "b";
  ASSERT_TRUE(shell.MoveToTrash(original));
  EXPECT_EQ(ReadAll(trash / "files" / "キャッシュ 1%.jvd.2" / "sub" / "b.jvd"), "b");
  EXPECT_TRUE(fs::exists(trash / "info" / "キャッシュ 1%.jvd.2.trashinfo"));
  EXPECT_EQ(ReadAll(trash / "files" / "キャッシュ 1%.jvd"), "data");

  // Nothing to move: no answer of success and no stray info file.
  EXPECT_FALSE(shell.MoveToTrash(dir_ / "work" / "missing"));
  EXPECT_FALSE(fs::exists(trash / "info" / "missing.trashinfo"));
}

TEST_F(ShellTest, OpenPassesTheAddressAsOneArgumentWithoutAShell) {
  FakeProgram("xdg-open");
  TScopedEnv path("PATH", (dir_ / "bin").string());
  TSystemShell shell;
  const std::string url = "https://example.jp/a?b=1;touch '" + (dir_ / "pwned").string() + "'&c=$(id) `id`";
  ASSERT_TRUE(shell.OpenUrl(url));
  shell.WaitForChildren();
  EXPECT_EQ(Output("xdg-open"), "1\n" + url + "\n");
  EXPECT_FALSE(fs::exists(dir_ / "pwned"));

  // An address that would read as an option is refused.
  fs::remove(dir_ / "xdg-open.out");
  EXPECT_FALSE(shell.OpenUrl("--help"));
  EXPECT_FALSE(shell.OpenUrl(""));

  // Documents are opened by their full path, and only when they exist.
  EXPECT_FALSE(shell.OpenDocument(dir_ / "nothing.pdf"));
  std::ofstream(dir_ / "-manual.pdf") << "%PDF";
  ASSERT_TRUE(shell.OpenDocument(dir_ / "-manual.pdf"));
  shell.WaitForChildren();
  EXPECT_EQ(Output("xdg-open"), "1\n" + (dir_ / "-manual.pdf").string() + "\n");
}

TEST_F(ShellTest, SoundPlaysThroughAPlayerOrStaysSilent) {
  const fs::path wav = dir_ / "的中.wav";
  std::ofstream(wav) << "RIFF";
  TScopedEnv path("PATH", (dir_ / "bin").string());
  TSystemShell shell;
  EXPECT_FALSE(shell.PlaySoundAsync(wav));  // no player on PATH

  FakeProgram("aplay");
  ASSERT_TRUE(shell.PlaySoundAsync(wav));
  shell.WaitForChildren();
  EXPECT_EQ(Output("aplay"), "2\n-q\n" + wav.string() + "\n");

  FakeProgram("paplay");
  ASSERT_TRUE(shell.PlaySoundAsync(wav));
  shell.WaitForChildren();
  EXPECT_EQ(Output("paplay"), "1\n" + wav.string() + "\n");

  EXPECT_FALSE(shell.PlaySoundAsync(dir_ / "missing.wav"));
}

TEST_F(ShellTest, PowerOffReportsWhetherTheRequestWasTaken) {
  TScopedEnv path("PATH", (dir_ / "bin").string());
  TSystemShell shell;
  EXPECT_FALSE(shell.PowerOff());  // no systemctl at all

  FakeProgram("systemctl");
  EXPECT_TRUE(shell.PowerOff());
  EXPECT_EQ(Output("systemctl"), "1\npoweroff\n");

  FakeProgram("systemctl", 1);
  EXPECT_FALSE(shell.PowerOff());
}

}  // namespace zelk
