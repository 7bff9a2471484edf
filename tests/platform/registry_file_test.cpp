#include "platform/registry_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "common/cp932.h"
#include "common/text_file.h"

namespace zelk {
namespace fs = std::filesystem;

class RegistryFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("zelk_registry_test_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    path = dir / "cfg" / "registry.ini";
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir, path;
};

TEST_F(RegistryFileTest, WritesPrivateCp932FileAndReadsBack) {
  TRegistryFile reg(path);
  EXPECT_FALSE(reg.KeyExists(kZelkaroRegistryKey));
  EXPECT_FALSE(reg.ReadString(kZelkaroRegistryKey, "IPATCODE1").has_value());

  ASSERT_TRUE(reg.WriteString(kZelkaroRegistryKey, "IPATCODE1", "1,本口座,ABCD1234,12345678,1234,5678"));
  ASSERT_TRUE(reg.WriteString(kZelkaroRegistryKey, "MAILPASS", "p@ss"));
  EXPECT_TRUE(reg.KeyExists("HKEY_CURRENT_USER\\Software\\ZELKARO\\"));
  // The root and the key path may be written with doubled or trailing separators; value names
  // compare without regard to case, as registry names do.
  EXPECT_EQ(reg.ReadString(RegistryKeyPath(kHkeyCurrentUser, "\\Software\\ZELKARO"), "ipatcode1"),
            "1,本口座,ABCD1234,12345678,1234,5678");
  EXPECT_FALSE(reg.KeyExists(RegistryKeyPath(kHkeyLocalMachine, "\\Software\\ZELKARO")));

  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(path.parent_path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(ReadFileBytes(path), Utf8ToCp932("[HKEY_CURRENT_USER\\Software\\ZELKARO]\r\n"
                                             "IPATCODE1=1,本口座,ABCD1234,12345678,1234,5678\r\n"
                                             "MAILPASS=p@ss\r\n"));
  EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(RegistryFileTest, RefusesTextsTheFileCannotHoldAndKeepsTheStore) {
  TRegistryFile reg(path);
  ASSERT_TRUE(reg.WriteString(kZelkaroRegistryKey, "MAILPASS", "old"));
  std::string before = ReadFileBytes(path);
  for (const char* value : {"a\r\nIPATCODE1=1,x", "trailing ", "\xF0\x9F\x90\x8E"})
    EXPECT_FALSE(reg.WriteString(kZelkaroRegistryKey, "MAILPASS", value)) << value;
  EXPECT_FALSE(reg.WriteString(kZelkaroRegistryKey, "A=B", "x"));
  EXPECT_FALSE(reg.WriteString(kZelkaroRegistryKey, "", "x"));
  EXPECT_EQ(ReadFileBytes(path), before);
  EXPECT_EQ(reg.ReadString(kZelkaroRegistryKey, "MAILPASS"), "old");
}

TEST_F(RegistryFileTest, UnreadableStoreIsAMissingKeyAndIsNeverReplaced) {
  fs::create_directories(path);  // a folder where the file should be
  TRegistryFile reg(path);
  EXPECT_FALSE(reg.KeyExists(kZelkaroRegistryKey));
  EXPECT_FALSE(reg.ReadString(kZelkaroRegistryKey, "IPATCODE1").has_value());
  EXPECT_FALSE(reg.WriteString(kZelkaroRegistryKey, "IPATCODE1", "x"));
  EXPECT_TRUE(fs::is_directory(path));
}

TEST_F(RegistryFileTest, DefaultPathFollowsTheEnvironment) {
  const char* oldReg = std::getenv("ZELK_REGISTRY");
  const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
  std::string savedReg = oldReg ? oldReg : "", savedXdg = oldXdg ? oldXdg : "";
  ::unsetenv("ZELK_REGISTRY");
  ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  EXPECT_EQ(TRegistryFile::DefaultPath(), dir / "zelkaro" / "registry.ini");
  ::setenv("ZELK_REGISTRY", path.c_str(), 1);
  EXPECT_EQ(TRegistryFile().Path(), path);
  if (oldReg)
    ::setenv("ZELK_REGISTRY", savedReg.c_str(), 1);
  else
    ::unsetenv("ZELK_REGISTRY");
  if (oldXdg)
    ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace zelk
