#include <gtest/gtest.h>

#include <filesystem>

#include "common/comma_text.h"
#include "common/cp932.h"
#include "common/date_time.h"
#include "common/ini_file.h"
#include "common/text_file.h"

namespace zelk {
namespace fs = std::filesystem;

TEST(Cp932, RoundTripsJapaneseAndKeepsAscii) {
  std::string cp = Utf8ToCp932("札幌ﾃｽﾄ　A1");
  EXPECT_EQ(cp, std::string("\x8E\x44\x96\x79\xC3\xBD\xC4\x81\x40" "A1"));
  EXPECT_EQ(Cp932ToUtf8(cp), "札幌ﾃｽﾄ　A1");
  EXPECT_EQ(Cp932ToUtf8("12345"), "12345");
  // A broken lead byte at the end does not lose the rest of the text.
  EXPECT_EQ(Cp932ToUtf8("AB\x81"), "AB\xEF\xBF\xBD");
}

TEST(TextFile, WritesCp932WithCrLfAndReadsBack) {
  fs::path dir = fs::temp_directory_path() / "zelk_text_file_test";
  fs::remove_all(dir);
  fs::path f = dir / "sub" / "a.txt";
  WriteTextLines(f, {"一行目", "", "three"});
  EXPECT_EQ(ReadFileBytes(f), Utf8ToCp932("一行目") + "\r\n\r\nthree\r\n");
  EXPECT_EQ(ReadTextLines(f), (std::vector<std::string>{"一行目", "", "three"}));
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(f.parent_path()), fs::directory_iterator()), 1);
  fs::remove_all(dir);
}

TEST(CommaText, SplitsAndJoinsQuotedItems) {
  struct Case {
    std::string text;
    std::vector<std::string> items;
  } cases[] = {
      {"1,name,A,B", {"1", "name", "A", "B"}},
      {"1,\"a b\",\"x,y\",\"q\"\"q\"", {"1", "a b", "x,y", "q\"q"}},
      {"a,,b,", {"a", "", "b", ""}},
      {"", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitCommaText(c.text), c.items) << c.text;
    EXPECT_EQ(SplitCommaText(JoinCommaText(c.items)), c.items) << c.text;
  }
  EXPECT_EQ(JoinCommaText({"1", "a b", "x,y", "q\"q"}), "1,\"a b\",\"x,y\",\"q\"\"q\"");
}

TEST(IniFile, KeepsOrderAndIgnoresKeyCase) {
  TIniFile ini;
  ini.LoadFromLines({"[System]", "LogOutput=1", "backupdir=C:\\x", "", "[Database]", "CommitKensuJV=500"});
  EXPECT_EQ(ini.ReadString("system", "BackUpDir", "?"), "C:\\x");
  EXPECT_EQ(ini.ReadString("Database", "Missing", "def"), "def");
  ini.WriteString("System", "LogOutput", "0");
  ini.WriteString("New", "Key", "値");
  EXPECT_EQ(ini.ToLines(), (std::vector<std::string>{"[System]", "LogOutput=0", "backupdir=C:\\x", "", "[Database]",
                                                     "CommitKensuJV=500", "", "[New]", "Key=値"}));
}

TEST(DateTime, CalendarAndFormats) {
  EXPECT_TRUE(IsValidDate(2024, 2, 29));
  EXPECT_FALSE(IsValidDate(2023, 2, 29));
  EXPECT_FALSE(IsValidDate(1900, 2, 29));
  EXPECT_TRUE(IsValidDate(2000, 2, 29));
  TDateTime t{2024, 5, 12, 9, 5, 7, 0};
  EXPECT_EQ(FormatYmd(t), "20240512");
  EXPECT_EQ(FormatYmdHns(t), "20240512090507");
  EXPECT_EQ(FormatShortDate(t), "2024/05/12");
  EXPECT_EQ(FormatLongTime(t), "9:05:07");
  EXPECT_EQ(FormatSettingsDateTime(t.DateOnly()), "2024/05/12");
  EXPECT_EQ(FormatSettingsDateTime(t), "2024/05/12 9:05:07");
  EXPECT_EQ(ParseSettingsDateTime("2024/05/12 9:05:07"), t);
  EXPECT_EQ(AddMonths(MakeDate(2024, 3, 31), -1), MakeDate(2024, 2, 29));
  EXPECT_EQ(AddDays(MakeDate(2024, 1, 1), -1), MakeDate(2023, 12, 31));
  EXPECT_EQ(DaysBetween(MakeDate(2024, 5, 5), MakeDate(2024, 5, 12)), 7);
  EXPECT_EQ(AddSeconds(TDateTime{2024, 5, 12, 23, 59, 59, 0}, 2), (TDateTime{2024, 5, 13, 0, 0, 1, 0}));
  EXPECT_FALSE(ParseYmdText("20240230").has_value());
  EXPECT_EQ(ParseIsoDate("2024-05-12"), MakeDate(2024, 5, 12));
}

}  // namespace zelk
