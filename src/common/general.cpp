#include "common/general.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <system_error>
#include <vector>

#include "common/cp932.h"
#include "platform/shell.h"

namespace zelk {
namespace fs = std::filesystem;

namespace {

struct TCourse {
  int code;
  const char* name;
};

// Every racecourse code with its name, in code order.
constexpr TCourse kCourses[] = {
    {1, "札幌"},     {2, "函館"},   {3, "福島"},   {4, "新潟"},   {5, "東京"},     {6, "中山"},
    {7, "中京"},     {8, "京都"},   {9, "阪神"},   {10, "小倉"},  {30, "門別"},    {31, "北見"},
    {32, "岩見沢"},  {33, "帯広"},  {34, "旭川"},  {35, "盛岡"},  {36, "水沢"},    {37, "上山"},
    {38, "三条"},    {39, "足利"},  {40, "宇都宮"}, {41, "高崎"}, {42, "浦和"},    {43, "船橋"},
    {44, "大井"},    {45, "川崎"},  {46, "金沢"},  {47, "笠松"},  {48, "名古屋"},  {49, "紀三井寺"},
    {50, "園田"},    {51, "姫路"},  {52, "益田"},  {53, "福山"},  {54, "高知"},    {55, "佐賀"},
    {56, "荒尾"},    {57, "中津"},  {58, "札幌"},  {59, "函館"},  {60, "新潟"},    {61, "中京"},
    {81, "北見"},    {82, "岩見沢"}, {83, "帯広"}, {84, "旭川"},
};

std::string TwoDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.2d", n);
  return buf;
}

struct TBetType {
  const char* name;
  const char* padded;
  const char* separator;
};

constexpr TBetType kBetTypes[8] = {
    {"単勝", "単勝　", ""},    {"複勝", "複勝　", ""},    {"枠連", "枠連　", "-"},
    {"馬連", "馬連　", "-"},   {"ワイド", "ワイド", "-"},  {"馬単", "馬単　", ">"},
    {"３連複", "３連複", "-"}, {"３連単", "３連単", ">"},
};

constexpr TBetType kServiceBetTypes[9] = {
    {"単勝", "単勝　", ""},    {"複勝", "複勝　", ""},    {"枠連", "枠連　", "-"},
    {"枠単", "枠単　", ">"},   {"馬連", "馬連　", "-"},   {"馬単", "馬単　", ">"},
    {"ワイド", "ワイド", "-"}, {"３連複", "３連複", "-"}, {"３連単", "３連単", ">"},
};

// Service code of each internal bet type 1-8.
constexpr char kToService[8] = {'1', '2', '3', '5', '7', '6', '8', '9'};
// Internal bet type of each service code 1-9 (枠単 has none: 9).
constexpr char kFromService[9] = {'1', '2', '3', '9', '4', '6', '5', '7', '8'};

struct TSource {
  int code;
  const char* name;
  const char* fileKey;
};

constexpr TSource kSources[] = {
    {1, "単勝シェア率", ""},        {4, "馬連シェア率", ""},     {6, "馬単シェア率", ""},
    {7, "３連複シェア率", ""},      {8, "３連単シェア率", ""},   {41, "専門紙確率", "YOSOU"},
    {42, "血統確率", "KETTO"},      {43, "インブリード確率", "INBREED"},
    {44, "馬番確率", "UMABAN"},     {45, "騎手確率", "KISYU"},   {46, "AB値", "ABV"},
    {47, "時計確率", "TOKEI"},      {48, "ブレンド確率", "BLEND"},
};

constexpr int kJokenCodes[6] = {5, 10, 16, 26, 28, 29};

// One character of a text: its length in bytes and whether it is a blank.
struct TChar {
  size_t length;
  bool blank;
};

TChar NextUtf8(std::string_view s, size_t i, bool fullWidth) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  if (c <= 32 || c == 127) return {1, true};
  size_t len = 1;
  if (c >= 0xC2 && c <= 0xDF) len = 2;
  else if (c >= 0xE0 && c <= 0xEF) len = 3;
  else if (c >= 0xF0 && c <= 0xF4) len = 4;
  if (len > 1) {
    if (i + len > s.size()) return {1, false};
    for (size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return {1, false};
  }
  bool ideographicSpace = fullWidth && len == 3 && c == 0xE3 && static_cast<unsigned char>(s[i + 1]) == 0x80 &&
                          static_cast<unsigned char>(s[i + 2]) == 0x80;
  return {len, ideographicSpace};
}

TChar NextCp932(std::string_view s, size_t i, bool fullWidth) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  if (IsCp932LeadByte(c) && i + 1 < s.size() && s[i + 1] != '\0') {
    bool fullSpace = fullWidth && c == 0x81 && static_cast<unsigned char>(s[i + 1]) == 0x40;
    return {2, fullSpace};
  }
  return {1, c <= 32 || c == 127};
}

// One walk over the text: leading blanks dropped (modes 0, 1), a trailing run of blanks cut
// (modes 0, 2), every blank dropped (mode 3).
template <typename Next>
std::string Trim(std::string_view s, int mode, bool fullWidth, Next next) {
  std::string out;
  out.reserve(s.size());
  bool seenText = false;
  size_t runStart = std::string::npos;  // position in `out` where the current blank run began
  for (size_t i = 0; i < s.size();) {
    TChar ch = next(s, i, fullWidth);
    std::string_view piece = s.substr(i, ch.length);
    i += ch.length;
    if (!ch.blank) {
      seenText = true;
      runStart = std::string::npos;
      out.append(piece);
      continue;
    }
    if (mode == kTrimAll) continue;
    if (!seenText && (mode == kTrimBothEnds || mode == kTrimStart)) continue;
    if ((mode == kTrimBothEnds || mode == kTrimEnd) && runStart == std::string::npos) runStart = out.size();
    out.append(piece);
  }
  if (runStart != std::string::npos) out.resize(runStart);
  return out;
}

long long FloorDiv(long long a, long long b) {
  long long q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// A yen amount in thousandths of a yen; the rounding at the third decimal absorbs the
// binary noise of products like 1000 * 0.3. A product that is not a number, infinite (a
// division by zero upstream) or beyond nine thousand trillion yen counts as no amount, never
// as an unbounded stake.
long long MilliYen(double yen) {
  if (!std::isfinite(yen) || std::fabs(yen) > 9e15) return 0;
  return std::llround(yen * 1000.0);
}

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

// ---- Racecourses ---------------------------------------------------------------------

std::string RacecourseName(std::string_view code) {
  int n = TextToIntDef(code, 0);
  for (const TCourse& c : kCourses)
    if (c.code == n) return c.name;
  return "？？";
}

std::string RacecourseCode(std::string_view name) {
  for (const TCourse& c : kCourses) {
    // Searched: 01-10, 30-32, 34-57. 帯広 answers with its second number.
    if (c.code == 33 || c.code > 57) continue;
    if (name == c.name) return TwoDigits(c.code);
  }
  if (name == "帯広") return "83";
  return "00";
}

bool IsCentralCourse(std::string_view code) { return code >= "01" && code <= "10"; }

bool IsMinamiKantoCourse(std::string_view code) { return code >= "42" && code <= "45"; }

bool IsCode81To84(std::string_view code) {
  int n = TextToIntDef(code, 0);
  return n >= 81 && n <= 84;
}

// ---- Tracks --------------------------------------------------------------------------

int TrackClass(int trackCode) {
  if (trackCode >= 10 && trackCode <= 22) return 1;
  if ((trackCode >= 23 && trackCode <= 26) || trackCode == 29) return 2;
  if (trackCode >= 51 && trackCode <= 59) return 3;
  return 0;
}

int TrackClassTurfDirt(int trackCode) {
  switch (TrackClass(trackCode)) {
    case 1:
    case 3: return 1;
    case 2: return 2;
    default: return 0;
  }
}

std::string TrackShortName(int trackCode) {
  if (trackCode == 27 || trackCode == 28) return "サ";
  switch (TrackClass(trackCode)) {
    case 1: return "芝";
    case 2: return "ダ";
    case 3: return "障";
    default: return "";
  }
}

// ---- Bet types -----------------------------------------------------------------------

std::optional<std::string> BetTypeName(int betType) {
  if (betType < 1 || betType > 8) return std::nullopt;
  return kBetTypes[betType - 1].name;
}

std::optional<std::string> BetTypeNamePadded(int betType) {
  if (betType < 1 || betType > 8) return std::nullopt;
  return kBetTypes[betType - 1].padded;
}

std::string BetTypeSeparator(int betType) {
  if (betType < 1 || betType > 8) return "";
  return kBetTypes[betType - 1].separator;
}

std::optional<std::string> ToServiceBetType(std::string_view betType) {
  if (betType.size() != 1 || betType[0] < '1' || betType[0] > '9') return std::nullopt;
  if (betType[0] == '9') return "9";
  return std::string(1, kToService[betType[0] - '1']);
}

std::optional<std::string> ServiceBetTypeName(int serviceType) {
  if (serviceType < 1 || serviceType > 9) return std::nullopt;
  return kServiceBetTypes[serviceType - 1].name;
}

std::optional<std::string> ServiceBetTypeNamePadded(int serviceType) {
  if (serviceType < 1 || serviceType > 9) return std::nullopt;
  return kServiceBetTypes[serviceType - 1].padded;
}

std::string ServiceBetTypeSeparator(int serviceType) {
  if (serviceType < 1 || serviceType > 9) return "";
  return kServiceBetTypes[serviceType - 1].separator;
}

std::optional<std::string> FromServiceBetType(std::string_view serviceType) {
  if (serviceType.size() != 1 || serviceType[0] < '1' || serviceType[0] > '9') return std::nullopt;
  return std::string(1, kFromService[serviceType[0] - '1']);
}

std::optional<std::string> FromServiceMethod(std::string_view method) {
  if (method.size() != 1) return std::nullopt;
  switch (method[0]) {
    case '0':
    case '5':
    case '6':
    case '7':
    case '8': return std::string(method);
    case '1': return "3";
    case '2': return "4";
    case '3':
    case '4': return "2";
    case '9': return "1";
    default: return std::nullopt;
  }
}

std::string ReorderFormationBlocks(std::string_view method, std::string_view selection) {
  auto block = [&](size_t start) {
    return start < selection.size() ? std::string(selection.substr(start, 18)) : std::string();
  };
  int m = TextToIntDef(method, 99);
  if ((m >= 0 && m <= 2) || (m >= 6 && m <= 8)) return block(0) + block(24) + block(48);
  if (m >= 3 && m <= 5) return block(0) + block(48) + block(24);
  return "";
}

// ---- Going, race conditions, probability sources ------------------------------------

std::string GoingName(int going) {
  switch (going) {
    case 1: return "良";
    case 2: return "稍重";
    case 3: return "重";
    case 4: return "不良";
    default: return "　";
  }
}

int JokenIndexToCode(int index) { return index >= 1 && index <= 6 ? kJokenCodes[index - 1] : 0; }

int JokenCodeToIndex(int code) {
  for (int i = 0; i < 6; ++i)
    if (kJokenCodes[i] == code) return i + 1;
  return 0;
}

std::string SourceName(int source) {
  for (const TSource& s : kSources)
    if (s.code == source) return s.name;
  return "";
}

std::string SourceFileKey(int source) {
  for (const TSource& s : kSources)
    if (s.code == source) return s.fileKey;
  return "";
}

int SourceCodeFromName(std::string_view name) {
  for (const TSource& s : kSources)
    if (name == s.name) return s.code;
  return 0;
}

// ---- Text ----------------------------------------------------------------------------

std::string TrimBlanks(std::string_view utf8, int mode, bool fullWidth) {
  return Trim(utf8, mode, fullWidth, NextUtf8);
}

std::string TrimBoth(std::string_view utf8) { return TrimBlanks(utf8, kTrimBothEnds, true); }

std::string TrimBlanksCp932(std::string_view cp932, int mode, bool fullWidth) {
  return Trim(cp932, mode, fullWidth, NextCp932);
}

std::string TrimBothCp932(std::string_view cp932) { return TrimBlanksCp932(cp932, kTrimBothEnds, true); }

std::optional<int> TextToInt(std::string_view text) {
  if (text.empty()) return std::nullopt;
  if (text[0] == '$') {
    std::string_view hex = text.substr(1);
    if (hex.empty() || hex.size() > 8) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : hex) {
      int d;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      else return std::nullopt;
      v = v * 16 + static_cast<std::uint32_t>(d);
    }
    return static_cast<int>(static_cast<std::int32_t>(v));
  }
  bool negative = false;
  std::string_view digits = text;
  if (digits[0] == '+' || digits[0] == '-') {
    negative = digits[0] == '-';
    digits.remove_prefix(1);
  }
  if (!AllDigits(digits)) return std::nullopt;
  long long v = 0;
  for (char c : digits) {
    v = v * 10 + (c - '0');
    if (v > 2147483648LL) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > 2147483647LL || v < -2147483648LL) return std::nullopt;
  return static_cast<int>(v);
}

bool IsIntegerText(std::string_view text) { return TextToInt(text).has_value(); }

int TextToIntDef(std::string_view text, int fallback) { return TextToInt(text).value_or(fallback); }

// ---- Numbers -------------------------------------------------------------------------

std::pair<int, int> OrderPair(int a, int b) { return a <= b ? std::pair{a, b} : std::pair{b, a}; }

std::array<int, 3> OrderTriple(int a, int b, int c) {
  std::array<int, 3> r{a, b, c};
  std::sort(r.begin(), r.end());
  return r;
}

int CombinationCount(int betType, int horses) {
  const int n = horses;
  switch (betType) {
    case 1:
    case 2: return std::max(n, 0);
    case 3:
      // Eight frames: pairs of distinct frames, plus the same frame twice once a frame holds
      // two horses (from the ninth horse on).
      if (n < 2) return 0;
      if (n <= 8) return n * (n - 1) / 2;
      if (n <= 15) return n % 8 + 28;
      return 36;
    case 4:
    case 5: return n < 2 ? 0 : n * (n - 1) / 2;
    case 6: return n < 2 ? 0 : n * (n - 1);
    case 7: return n <= 2 ? 0 : n * (n - 1) * (n - 2) / 6;
    case 8: return n <= 2 ? 0 : n * (n - 1) * (n - 2);
    default: return 0;
  }
}

std::string CombinationText(int betType, int first, int second, int third) {
  switch (betType) {
    case 1:
    case 2: return TwoDigits(first);
    case 3:
    case 4:
    case 5: return TwoDigits(first) + "-" + TwoDigits(second);
    case 6: return TwoDigits(first) + ">" + TwoDigits(second);
    case 7: return TwoDigits(first) + "-" + TwoDigits(second) + "-" + TwoDigits(third);
    case 8: return TwoDigits(first) + ">" + TwoDigits(second) + ">" + TwoDigits(third);
    default: return "";
  }
}

std::string FlagsToList(std::string_view flags) {
  std::string out;
  for (size_t i = 0; i < flags.size() && i < 18; ++i) {
    if (flags[i] != '1') continue;
    if (!out.empty()) out += ',';
    out += std::to_string(i + 1);
  }
  return out;
}

int CountFlags(std::string_view flags) {
  return static_cast<int>(std::count(flags.begin(), flags.begin() + std::min<size_t>(flags.size(), 18), '1'));
}

double RironOdds(double hitRatePercent) { return hitRatePercent == 0 ? 0.0 : 100.0 / hitRatePercent; }

double CalcEV(double hitRatePercent, double odds) {
  if (hitRatePercent == 0) return 0.0;
  double fair = RironOdds(hitRatePercent);
  if (fair == 0) return 0.0;
  return odds / fair * 100.0;
}

std::string FormatDecimalsCut(int decimals, double value) {
  decimals = std::clamp(decimals, 0, 20);
  // Six guard digits: rounding there only absorbs binary noise (0.29 is 0.28999…), then the
  // digits beyond the wanted ones are cut, so 33.396 shows 33.3 and not 33.4.
  char buf[400];
  int len = std::snprintf(buf, sizeof buf, "%.*f", decimals + 6, value);
  if (len < 0 || static_cast<size_t>(len) >= sizeof buf) return "";
  std::string s(buf, static_cast<size_t>(len));
  size_t point = s.find('.');
  if (point == std::string::npos) return s;  // inf, nan
  s.resize(decimals == 0 ? point : point + 1 + static_cast<size_t>(decimals));
  return s;
}

long long AmountByMode(int mode, long long base, double rate) {
  if (mode == 0) return base;
  if (mode != 1) return 0;
  long long amount = FloorDiv(MilliYen(static_cast<double>(base) * rate), 100000) * 100;
  return std::max(amount, 100LL);
}

long long CalcKonyuKingaku(int mode, long long base, int rounding, double rate) {
  long long milli;  // the raw stake in thousandths of a yen
  if (mode == 0) milli = base * 1000;
  else if (mode == 1) milli = std::max(MilliYen(static_cast<double>(base) * rate), 100000LL);
  else milli = 0;
  constexpr long long kHundred = 100000;  // 100 yen in thousandths
  switch (rounding) {
    case 0: return -FloorDiv(-milli, kHundred) * 100;
    case 1: return FloorDiv(milli, kHundred) * 100;
    default:
      // Halves away from zero.
      return milli >= 0 ? FloorDiv(milli + kHundred / 2, kHundred) * 100
                        : -FloorDiv(-milli + kHundred / 2, kHundred) * 100;
  }
}

// ---- Dates ---------------------------------------------------------------------------

std::optional<TDateTime> ParseYmd(std::string_view text) {
  if (text.size() < 8 || !AllDigits(text.substr(0, 8))) return std::nullopt;
  int y = TextToIntDef(text.substr(0, 4), 0);
  int m = TextToIntDef(text.substr(4, 2), 0);
  int d = TextToIntDef(text.substr(6, 2), 0);
  if (!IsValidYmd(y, m, d)) return std::nullopt;
  return MakeDate(y, m, d);
}

bool IsValidYmd(int year, int month, int day) {
  if (year <= 0 || month <= 0 || day <= 0 || month > 12) return false;
  return day <= DaysInMonth(year, month);
}

std::optional<TDateTime> RangeStartDate(int year, int month, int day) {
  if (year <= 1985) return MakeDate(1986, 1, 1);
  if (month == 0) return MakeDate(year, 1, 1);
  if (day == 0) day = 1;
  if (!IsValidYmd(year, month, day)) return std::nullopt;
  return MakeDate(year, month, day);
}

std::optional<TDateTime> RangeEndDate(int year, int month, int day) {
  if (year == 0) return MakeDate(2099, 12, 31);
  if (year < 0) return std::nullopt;
  if (month == 0) return MakeDate(year, 12, 31);
  if (month < 0 || month > 12) return std::nullopt;
  if (day == 0) day = DaysInMonth(year, month);
  if (!IsValidYmd(year, month, day)) return std::nullopt;
  return MakeDate(year, month, day);
}

// ---- Files ---------------------------------------------------------------------------

bool EnsureFile(const fs::path& file) {
  std::error_code ec;
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), ec);
  if (!fs::exists(file, ec)) {
    std::FILE* f = std::fopen(file.c_str(), "ab");
    if (f) std::fclose(f);
  }
  return fs::is_regular_file(file, ec);
}

namespace {

// Entries directly inside a folder, gathered before anything is removed.
std::vector<fs::directory_entry> ListFolder(const fs::path& folder) {
  std::vector<fs::directory_entry> entries;
  std::error_code ec;
  fs::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) entries.push_back(*it);
  return entries;
}

bool IsPlainFile(const fs::directory_entry& e) {
  std::error_code ec;
  fs::file_status st = e.symlink_status(ec);
  return !ec && (fs::is_regular_file(st) || fs::is_symlink(st));
}

}  // namespace

int DeleteFilesInFolder(const fs::path& folder) {
  int deleted = 0;
  for (const auto& e : ListFolder(folder)) {
    if (!IsPlainFile(e)) continue;
    std::error_code ec;
    if (fs::remove(e.path(), ec)) ++deleted;
  }
  return deleted;
}

int DeleteFolderTree(const fs::path& folder, IShell& shell) {
  int removed = 0;
  for (const auto& e : ListFolder(folder)) {
    std::error_code ec;
    fs::file_status st = e.symlink_status(ec);
    if (ec) continue;
    if (fs::is_directory(st)) {
      try {
        if (shell.MoveToTrash(e.path())) ++removed;
      } catch (...) {
        // An entry that cannot go to the trash stays; the clean-up goes on.
      }
    } else if (IsPlainFile(e)) {
      if (fs::remove(e.path(), ec)) ++removed;
    }
  }
  return removed;
}

}  // namespace zelk
