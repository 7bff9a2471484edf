#include <gtest/gtest.h>

#include <filesystem>

#include "common/cp932.h"
#include "common/error_log.h"
#include "common/text_file.h"
#include "support/fakes.h"

namespace zelk {
namespace fs = std::filesystem;

class ErrorLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home = fs::temp_directory_path() / ("zelk_log_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(home);
    fs::create_directories(home / "Log");
  }
  void TearDown() override { fs::remove_all(home); }
  fs::path LogFile() const { return home / "Log" / "Log20240512.txt"; }

  fs::path home;
  test::TFakeClock clock{{2024, 5, 12, 9, 5, 7, 0}};
  test::TRecordingDialogs dialogs;
};

TEST_F(ErrorLogTest, ErrorBlockIsFourLinesAndShownAsDialog) {
  {
    TErrorLog log(home, true, clock, &dialogs);
    log.WriteErrorLog(-900, "A", "", "B");
  }
  auto lines = ReadTextLines(LogFile());
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "2024/05/12 9:05:07 エラー : -900");
  EXPECT_EQ(lines[1], "処理 : A");
  EXPECT_EQ(lines[2], "内容 : B");
  EXPECT_EQ(lines[3], "詳細 : ");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "エラー : -900\r\n処理 : A\r\n内容 : B\r\n詳細 : ");
  EXPECT_EQ(dialogs.shown[0].kind, TDialogKind::Error);
  // The file is CP932 with CR LF.
  EXPECT_EQ(ReadFileBytes(LogFile()).substr(0, 20), Utf8ToCp932("2024/05/12 9:05:07 エ").substr(0, 20));
}

TEST_F(ErrorLogTest, TwoRunsOfOneDayShareTheFileInOrder) {
  {
    TErrorLog log(home, true, clock, &dialogs);
    log.WriteLog("アプリケーション起動");
    log.WriteOperationLog("メインフォーム", "「投票履歴」起動");
  }
  {
    TErrorLog log(home, true, clock, &dialogs);
    log.WriteLog("二回目");
  }
  EXPECT_EQ(ReadTextLines(LogFile()),
            (std::vector<std::string>{"2024/05/12 9:05:07 アプリケーション起動",
                                      "2024/05/12 9:05:07 [メインフォーム] 「投票履歴」起動",
                                      "2024/05/12 9:05:07 二回目"}));
}

TEST_F(ErrorLogTest, LogOutputOffWritesOnlyWhenAnErrorOccurs) {
  {
    TErrorLog log(home, false, clock, &dialogs);
    log.WriteLog("plain");
  }
  EXPECT_FALSE(fs::exists(LogFile()));
  {
    TErrorLog log(home, false, clock, &dialogs);
    log.SetErrorDialogs(false);
    log.WriteLog("plain");
    log.WriteErrorLog(-999, "op", "key", "boom");
    log.WriteErrorLogQuiet(-900, "op2", "", "quiet");
  }
  EXPECT_TRUE(dialogs.shown.empty());
  auto lines = ReadTextLines(LogFile());
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "2024/05/12 9:05:07 plain");
  EXPECT_EQ(lines[5], "2024/05/12 9:05:07 エラー : -900");
}

}  // namespace zelk
