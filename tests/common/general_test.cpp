#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "common/cp932.h"
#include "common/general.h"
#include "support/fake_shell.h"

namespace zelk {
namespace fs = std::filesystem;

TEST(Racecourse, NamesOfCodes) {
  struct Case {
    const char* code;
    const char* name;
  } cases[] = {
      {"01", "札幌"}, {"10", "小倉"}, {"1", "札幌"},    {"33", "帯広"},    {"83", "帯広"},
      {"44", "大井"}, {"49", "紀三井寺"}, {"58", "札幌"}, {"61", "中京"}, {"81", "北見"},
      {"99", "？？"}, {"ab", "？？"}, {"", "？？"},      {"00", "？？"},    {"11", "？？"},
      {"62", "？？"}, {"85", "？？"},
  };
  for (const auto& c : cases) EXPECT_EQ(RacecourseName(c.code), c.name) << c.code;
}

TEST(Racecourse, CodesOfNamesPreferTheFirstNumbering) {
  struct Case {
    const char* name;
    const char* code;
  } cases[] = {
      {"札幌", "01"}, {"函館", "02"}, {"新潟", "04"}, {"中京", "07"}, {"北見", "31"}, {"岩見沢", "32"},
      {"旭川", "34"}, {"帯広", "83"}, {"中津", "57"}, {"門別", "30"}, {"札幌 ", "00"}, {"", "00"},
  };
  for (const auto& c : cases) EXPECT_EQ(RacecourseCode(c.name), c.code) << c.name;
}

TEST(Racecourse, CategoriesCompareAsText) {
  EXPECT_TRUE(IsCentralCourse("01"));
  EXPECT_TRUE(IsCentralCourse("10"));
  EXPECT_TRUE(IsCentralCourse("1"));  // sorts between "01" and "10"
  EXPECT_FALSE(IsCentralCourse("00"));
  EXPECT_FALSE(IsCentralCourse("30"));
  EXPECT_TRUE(IsMinamiKantoCourse("42"));
  EXPECT_TRUE(IsMinamiKantoCourse("45"));
  EXPECT_FALSE(IsMinamiKantoCourse("46"));
  EXPECT_FALSE(IsMinamiKantoCourse("41"));
  EXPECT_TRUE(IsCode81To84("81"));
  EXPECT_TRUE(IsCode81To84("84"));
  EXPECT_FALSE(IsCode81To84("85"));
  EXPECT_FALSE(IsCode81To84("x1"));
}

TEST(Track, ClassesAndNames) {
  struct Case {
    int code, cls, turfDirt;
    const char* shortName;
  } cases[] = {
      {9, 0, 0, ""},   {10, 1, 1, "芝"}, {22, 1, 1, "芝"}, {23, 2, 2, "ダ"}, {26, 2, 2, "ダ"},
      {27, 0, 0, "サ"}, {28, 0, 0, "サ"}, {29, 2, 2, "ダ"}, {30, 0, 0, ""},   {51, 3, 1, "障"},
      {59, 3, 1, "障"}, {60, 0, 0, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrackClass(c.code), c.cls) << c.code;
    EXPECT_EQ(TrackClassTurfDirt(c.code), c.turfDirt) << c.code;
    EXPECT_EQ(TrackShortName(c.code), c.shortName) << c.code;
  }
  EXPECT_EQ(ByTrackClass(55, 1600, 1200), 1600);
  EXPECT_EQ(ByTrackClass(24, 1600, 1200), 1200);
  EXPECT_EQ(ByTrackClass(27, 1600, 1200), 0);
}

TEST(BetType, InternalAndServiceTablesAgree) {
  // Every internal type keeps its name and separator when converted to the service code and back.
  for (int t = 1; t <= 8; ++t) {
    std::string service = ToServiceBetType(std::to_string(t)).value();
    int s = std::stoi(service);
    EXPECT_EQ(ServiceBetTypeName(s), BetTypeName(t)) << t;
    EXPECT_EQ(ServiceBetTypeNamePadded(s), BetTypeNamePadded(t)) << t;
    EXPECT_EQ(ServiceBetTypeSeparator(s), BetTypeSeparator(t)) << t;
    EXPECT_EQ(FromServiceBetType(service), std::to_string(t)) << t;
  }
  EXPECT_EQ(ToServiceBetType("4"), "5");
  EXPECT_EQ(ToServiceBetType("5"), "7");
  EXPECT_EQ(ToServiceBetType("9"), "9");
  EXPECT_EQ(FromServiceBetType("4"), "9");  // 枠単 has no internal type
  EXPECT_EQ(ServiceBetTypeName(4), "枠単");
  EXPECT_EQ(ServiceBetTypeSeparator(4), ">");
  EXPECT_EQ(BetTypeNamePadded(1), "単勝　");
  EXPECT_EQ(BetTypeNamePadded(5), "ワイド");
  EXPECT_EQ(BetTypeSeparator(6), ">");
  EXPECT_EQ(BetTypeSeparator(7), "-");
}

TEST(BetType, CodesOutsideTheTablesGiveNothing) {
  for (int bad : {0, 9, -1}) {
    EXPECT_FALSE(BetTypeName(bad)) << bad;
    EXPECT_FALSE(BetTypeNamePadded(bad)) << bad;
    EXPECT_EQ(BetTypeSeparator(bad), "") << bad;
  }
  EXPECT_FALSE(ServiceBetTypeName(10));
  EXPECT_FALSE(ServiceBetTypeNamePadded(0));
  EXPECT_EQ(ServiceBetTypeSeparator(0), "");
  for (const char* bad : {"", "0", "10", "a", " 1"}) {
    EXPECT_FALSE(ToServiceBetType(bad)) << bad;
    EXPECT_FALSE(FromServiceBetType(bad)) << bad;
  }
  // The caller's value survives.
  std::string name = "前回";
  name = BetTypeName(12).value_or(name);
  EXPECT_EQ(name, "前回");
}

TEST(BetType, PurchaseMethodsAndFormationBlocks) {
  struct Case {
    const char* in;
    const char* out;
  } methods[] = {{"0", "0"}, {"1", "3"}, {"2", "4"}, {"3", "2"}, {"4", "2"},
                 {"5", "5"}, {"6", "6"}, {"7", "7"}, {"8", "8"}, {"9", "1"}};
  for (const auto& m : methods) EXPECT_EQ(FromServiceMethod(m.in), m.out) << m.in;
  EXPECT_FALSE(FromServiceMethod("a"));
  EXPECT_FALSE(FromServiceMethod("10"));

  const std::string a(18, 'A'), b(18, 'B'), c(18, 'C'), gap(6, '-');
  const std::string selection = a + gap + b + gap + c + gap;
  ASSERT_EQ(selection.size(), 72u);
  EXPECT_EQ(ReorderFormationBlocks("0", selection), a + b + c);
  EXPECT_EQ(ReorderFormationBlocks("8", selection), a + b + c);
  EXPECT_EQ(ReorderFormationBlocks("3", selection), a + c + b);
  EXPECT_EQ(ReorderFormationBlocks("5", selection), a + c + b);
  EXPECT_EQ(ReorderFormationBlocks("9", selection), "");
  EXPECT_EQ(ReorderFormationBlocks("x", selection), "");
  // A short selection gives what is there instead of reading past its end.
  EXPECT_EQ(ReorderFormationBlocks("0", "0102"), "0102");
}

TEST(Names, GoingConditionsAndSources) {
  EXPECT_EQ(GoingName(1), "良");
  EXPECT_EQ(GoingName(4), "不良");
  EXPECT_EQ(GoingName(0), "　");
  EXPECT_EQ(GoingName(5), "　");
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(JokenCodeToIndex(JokenIndexToCode(i)), i);
  EXPECT_EQ(JokenIndexToCode(4), 26);
  EXPECT_EQ(JokenIndexToCode(7), 0);
  EXPECT_EQ(JokenCodeToIndex(11), 0);
  for (int s : {1, 4, 6, 7, 8, 41, 42, 43, 44, 45, 46, 47, 48}) EXPECT_EQ(SourceCodeFromName(SourceName(s)), s) << s;
  EXPECT_EQ(SourceName(7), "３連複シェア率");
  EXPECT_EQ(SourceFileKey(41), "YOSOU");
  EXPECT_EQ(SourceFileKey(46), "ABV");
  EXPECT_EQ(SourceFileKey(1), "");
  EXPECT_EQ(SourceName(2), "");
  EXPECT_EQ(SourceCodeFromName("単勝"), 0);
}

TEST(Trim, ModesOnUtf8) {
  struct Case {
    const char* in;
    int mode;
    bool fullWidth;
    const char* out;
  } cases[] = {
      {"　ディープインパクト ", kTrimBothEnds, true, "ディープインパクト"},
      {"　ディープ　インパクト　 ", kTrimBothEnds, true, "ディープ　インパクト"},
      {"　札幌 ", kTrimBothEnds, false, "　札幌"},
      {" \t札幌　 ", kTrimStart, true, "札幌　 "},
      {" 札幌　 ", kTrimEnd, true, " 札幌"},
      {" 札 幌　", kTrimAll, true, "札幌"},
      {" 札 幌　", kTrimAll, false, "札幌　"},
      {"   ", kTrimBothEnds, true, ""},
      {"　　", kTrimEnd, true, ""},
      {"", kTrimBothEnds, true, ""},
      {"\x7F" "A\x01", kTrimBothEnds, false, "A"},
      // A character whose last bytes look like nothing special is kept whole.
      {"ｱ ", kTrimBothEnds, true, "ｱ"},
  };
  for (const auto& c : cases) EXPECT_EQ(TrimBlanks(c.in, c.mode, c.fullWidth), c.out) << c.in << " mode " << c.mode;
  EXPECT_EQ(TrimBoth("　キタサンブラック "), "キタサンブラック");
  EXPECT_EQ(TrimBoth(std::string("AB\0", 3)), "AB");
}

TEST(Trim, Cp932WalksLeadAndTrailBytes) {
  // Each name read from a record by byte offset: the full-width space 0x81 0x40, and a
  // character whose trail byte is 0x40 (ー is 0x81 0x5B; 院 0x89 0x40) must not be cut.
  const std::string name = Utf8ToCp932("　ゴールドシップ　 ");
  EXPECT_EQ(Cp932ToUtf8(TrimBothCp932(name)), "ゴールドシップ");
  const std::string trail40 = Utf8ToCp932("院 ");  // 0x89 0x40 0x20
  ASSERT_EQ(trail40, "\x89\x40\x20");
  EXPECT_EQ(TrimBothCp932(trail40), "\x89\x40");
  // Trail byte 0x20 would be a blank if read alone.
  EXPECT_EQ(TrimBlanksCp932("\x81\x20 ", kTrimBothEnds, true), "\x81\x20");
  // A lead byte at the end is one character of its own.
  EXPECT_EQ(TrimBlanksCp932(" \x81", kTrimBothEnds, true), "\x81");
  EXPECT_EQ(Cp932ToUtf8(TrimBlanksCp932(Utf8ToCp932(" 札　幌 "), kTrimAll, true)), "札幌");
}

TEST(Text, IntegerTexts) {
  struct Case {
    const char* text;
    std::optional<int> value;
  } cases[] = {
      {"0", 0},           {"12", 12},          {"-7", -7},          {"+7", 7},
      {"007", 7},         {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
      {"2147483648", {}}, {"-2147483649", {}}, {"99999999999999999999", {}},
      {"", {}},           {"-", {}},           {" 1", {}},          {"1 ", {}},
      {"1.0", {}},        {"１", {}},          {"$FF", 255},        {"$ffffffff", -1},
      {"$", {}},          {"$123456789", {}},  {"$G", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextToInt(c.text), c.value) << c.text;
    EXPECT_EQ(IsIntegerText(c.text), c.value.has_value()) << c.text;
  }
  EXPECT_EQ(TextToIntDef("x", 99), 99);
}

TEST(Numbers, OrderingAndCombinationCounts) {
  EXPECT_EQ(OrderPair(9, 3), std::pair(3, 9));
  EXPECT_EQ(OrderPair(3, 9), std::pair(3, 9));
  EXPECT_EQ(OrderTriple(12, 1, 7), (std::array<int, 3>{1, 7, 12}));

  struct Case {
    int type, n, count;
  } cases[] = {
      {1, 18, 18}, {2, 0, 0},    {3, 1, 0},     {3, 2, 1},      {3, 8, 28},   {3, 9, 29},
      {3, 12, 32}, {3, 15, 35},  {3, 16, 36},   {3, 18, 36},    {4, 1, 0},    {4, 18, 153},
      {5, 2, 1},   {6, 1, 0},    {6, 18, 306},  {7, 2, 0},      {7, 3, 1},    {7, 18, 816},
      {8, 2, 0},   {8, 3, 6},    {8, 18, 4896}, {9, 18, 0},     {0, 18, 0},   {1, -1, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(CombinationCount(c.type, c.n), c.count) << c.type << "/" << c.n;
}

TEST(Numbers, CombinationTextsAndFlags) {
  struct Case {
    int type, a, b, c;
    const char* text;
  } cases[] = {
      {1, 5, 0, 0, "05"},       {2, 12, 3, 4, "12"},       {3, 1, 8, 0, "01-08"},
      {5, 2, 3, 0, "02-03"},    {6, 3, 12, 0, "03>12"},    {7, 1, 2, 3, "01-02-03"},
      {8, 18, 1, 9, "18>01>09"}, {9, 1, 2, 3, ""},         {0, 1, 2, 3, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(CombinationText(c.type, c.a, c.b, c.c), c.text) << c.type;

  EXPECT_EQ(FlagsToList("101000000000000001"), "1,3,18");
  EXPECT_EQ(FlagsToList("1010000000000000011"), "1,3,18");  // past horse 18 nothing counts
  EXPECT_EQ(FlagsToList(""), "");
  EXPECT_EQ(CountFlags("101000000000000001"), 3);
  EXPECT_EQ(CountFlags("1111111111111111111111"), 18);
  EXPECT_EQ(CountFlags("11"), 2);
}

TEST(Numbers, FairOddsAndExpectedValue) {
  EXPECT_DOUBLE_EQ(RironOdds(25), 4.0);
  EXPECT_DOUBLE_EQ(RironOdds(0), 0.0);
  EXPECT_DOUBLE_EQ(CalcEV(25, 5.0), 125.0);
  EXPECT_DOUBLE_EQ(CalcEV(0, 5.0), 0.0);
  EXPECT_DOUBLE_EQ(CalcEV(10, 0), 0.0);
}

TEST(Numbers, FormatDecimalsCutNeverRaises) {
  struct Case {
    int decimals;
    double value;
    const char* text;
  } cases[] = {
      {1, 33.39, "33.3"}, {1, 33.3, "33.3"},   {1, 33.396, "33.3"}, {2, 0.29, "0.29"},
      {2, 1.2396, "1.23"}, {1, 100, "100.0"},  {0, 2.56, "2"},      {1, 0, "0.0"},
      {3, 12.3456789, "12.345"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDecimalsCut(c.decimals, c.value), c.text) << c.value;
}

TEST(Money, StakeAmounts) {
  // mode, base, rounding, rate -> yen
  struct Case {
    int mode;
    long long base;
    int rounding;
    double rate;
    long long yen;
  } cases[] = {
      {1, 1000, 0, 0.05, 100}, {1, 1000, 1, 0.05, 100}, {1, 1000, 2, 0.05, 100},
      {1, 1000, 0, 0.25, 300}, {1, 1000, 1, 0.25, 200}, {1, 1000, 2, 0.25, 300},
      {1, 50, 0, 12.34, 700},  {1, 50, 1, 12.34, 600},  {1, 50, 2, 12.34, 600},
      {1, 50, 0, 1.5, 100},    {1, 100, 2, 12.34, 1200}, {0, 250, 2, 0, 300},
      {0, 250, 0, 0, 300},     {0, 250, 1, 0, 200},     {0, 300, 0, 0, 300},
      {2, 1000, 0, 0.5, 0},    {1, 1000, 0, 0.3, 300},  {1, 1000, 0, 0.7, 700},
      {1, 100, 0, 0.57 * 100, 5700},
      // A hit rate broken by a division by zero never turns into a huge stake.
      {1, 100, 0, std::numeric_limits<double>::infinity(), 100},
      {1, 100, 2, std::numeric_limits<double>::quiet_NaN(), 100},
      {1, 100, 1, -std::numeric_limits<double>::infinity(), 100},
      {1, 100, 0, 1e300, 100},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CalcKonyuKingaku(c.mode, c.base, c.rounding, c.rate), c.yen)
        << c.mode << " " << c.base << " " << c.rounding << " " << c.rate;

  EXPECT_EQ(AmountByMode(0, 1234, 9), 1234);
  EXPECT_EQ(AmountByMode(1, 1000, 0.25), 200);  // 250 cut to 200
  EXPECT_EQ(AmountByMode(1, 1000, 0.05), 100);  // at least 100
  EXPECT_EQ(AmountByMode(1, 1000, 0.3), 300);   // binary noise of 0.3 does not cut to 200
  EXPECT_EQ(AmountByMode(1, 100, 0.57 * 100), 5700);
  EXPECT_EQ(AmountByMode(3, 1000, 25), 0);
}

TEST(Dates, ParsingAndValidity) {
  EXPECT_EQ(ParseYmd("20240229"), MakeDate(2024, 2, 29));
  EXPECT_EQ(ParseYmd("20240512.txt"), MakeDate(2024, 5, 12));
  for (const char* bad : {"20230229", "20241301", "20240100", "00000101", "2024051", "2024-5-1", "abcdefgh", "",
                          "+2024051"})
    EXPECT_FALSE(ParseYmd(bad)) << bad;

  EXPECT_TRUE(IsValidYmd(2000, 2, 29));
  EXPECT_FALSE(IsValidYmd(1900, 2, 29));
  EXPECT_FALSE(IsValidYmd(2023, 4, 31));
  EXPECT_TRUE(IsValidYmd(2023, 12, 31));
  EXPECT_FALSE(IsValidYmd(0, 1, 1));
  EXPECT_FALSE(IsValidYmd(2023, 0, 1));
  EXPECT_FALSE(IsValidYmd(2023, 13, 1));
}

TEST(Dates, SearchRanges) {
  struct Case {
    int y, m, d;
    std::optional<TDateTime> start, end;
  } cases[] = {
      {0, 0, 0, MakeDate(1986, 1, 1), MakeDate(2099, 12, 31)},
      {1980, 5, 5, MakeDate(1986, 1, 1), MakeDate(1980, 5, 5)},
      {2024, 0, 0, MakeDate(2024, 1, 1), MakeDate(2024, 12, 31)},
      {2024, 2, 0, MakeDate(2024, 2, 1), MakeDate(2024, 2, 29)},
      {2023, 2, 0, MakeDate(2023, 2, 1), MakeDate(2023, 2, 28)},
      {2024, 5, 12, MakeDate(2024, 5, 12), MakeDate(2024, 5, 12)},
      {2024, 4, 31, std::nullopt, std::nullopt},
      {2024, 13, 0, std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RangeStartDate(c.y, c.m, c.d), c.start) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(RangeEndDate(c.y, c.m, c.d), c.end) << c.y << "-" << c.m << "-" << c.d;
  }
}

class FileHelpers : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zelk_general_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Touch(const fs::path& p, const std::string& text = "x") {
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text;
  }
  fs::path dir_;
};

TEST_F(FileHelpers, EnsureFileCreatesFoldersAndKeepsContent) {
  fs::path f = dir_ / "a" / "b" / "0512.DAT";
  EXPECT_TRUE(EnsureFile(f));
  EXPECT_EQ(fs::file_size(f), 0u);
  Touch(f, "line");
  EXPECT_TRUE(EnsureFile(f));
  EXPECT_EQ(fs::file_size(f), 4u);
}

TEST_F(FileHelpers, DeleteFilesInFolderLeavesSubfolders) {
  Touch(dir_ / "a.txt");
  Touch(dir_ / "予想 データ.csv");
  Touch(dir_ / "sub" / "keep.txt");
  fs::create_symlink(dir_ / "sub" / "keep.txt", dir_ / "link");
  fs::permissions(dir_ / "a.txt", fs::perms::owner_read);  // read-only files go as well
  EXPECT_EQ(DeleteFilesInFolder(dir_), 3);
  EXPECT_TRUE(fs::exists(dir_ / "sub" / "keep.txt"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
  EXPECT_EQ(DeleteFilesInFolder(dir_ / "missing"), 0);
}

TEST_F(FileHelpers, DeleteFolderTreeTrashesSubfoldersAndKeepsTheFolder) {
  Touch(dir_ / "data" / "JV" / "a.jvd");
  Touch(dir_ / "cache" / "b.jvd");
  Touch(dir_ / "top.jvd");
  test::TRecordingShell shell;
  shell.removeOnTrash = true;
  EXPECT_EQ(DeleteFolderTree(dir_, shell), 3);
  EXPECT_EQ(shell.trashed.size(), 2u);
  EXPECT_TRUE(fs::is_directory(dir_));
  EXPECT_TRUE(fs::is_empty(dir_));

  // A subfolder the trash refuses stays, and the files beside it still go.
  Touch(dir_ / "stuck" / "c.jvd");
  Touch(dir_ / "d.jvd");
  shell.result = false;
  EXPECT_EQ(DeleteFolderTree(dir_, shell), 1);
  EXPECT_TRUE(fs::exists(dir_ / "stuck" / "c.jvd"));
  EXPECT_FALSE(fs::exists(dir_ / "d.jvd"));
}

}  // namespace zelk
