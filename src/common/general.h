#pragma once
// Stateless racing helpers shared by the whole system: racecourse codes and names, track
// classes, bet-type names and the conversions between the internal bet types (1-8) and the
// betting-service bet types (1-9), going names, win-probability source names, combination
// counts and texts, stake amounts, date ranges, blank trimming and small file helpers.
//
// Conventions of this header:
// - Texts are UTF-8 unless the name says Cp932.
// - A lookup that has no answer for a code outside its table returns std::nullopt, so the
//   caller keeps whatever it held before (`name = BetTypeName(k).value_or(name)`).
//   Lookups with a fixed fallback ("？？", "00", empty text, 0) return that fallback instead.
// - Codes given as text are read like the integer conversion of the input screens:
//   optional sign and decimal digits in 32-bit range; unreadable text counts as 0.
// - Nothing here throws to the caller.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/date_time.h"

namespace zelk {

class IShell;

// ---- Racecourses ---------------------------------------------------------------------

// Name of a racecourse code ("05" -> "東京", "83" -> "帯広"); "？？" for an unknown code.
std::string RacecourseName(std::string_view code);
// Two-digit code of a racecourse name; the central courses win for names used twice
// ("札幌" -> "01", "北見" -> "31"), "帯広" gives "83"; "00" for an unknown name.
std::string RacecourseCode(std::string_view name);
// Central racing: "01" <= code <= "10" in text order (so "1" counts as central).
bool IsCentralCourse(std::string_view code);
// 南関東: "42" <= code <= "45" in text order.
bool IsMinamiKantoCourse(std::string_view code);
// Code read as an integer lies in 81-84 (the second Hokkaido numbering of 北見 … 旭川).
bool IsCode81To84(std::string_view code);

// ---- Tracks --------------------------------------------------------------------------

// 1 turf (10-22), 2 dirt (23-26, 29), 3 jump (51-59), 0 otherwise (sand 27-28 included).
int TrackClass(int trackCode);
// 1 turf or jump, 2 dirt, 0 otherwise.
int TrackClassTurfDirt(int trackCode);
// "芝", "ダ", "サ" (sand), "障" (jump), empty for other codes.
std::string TrackShortName(int trackCode);
// The turf value for turf and jump tracks, the dirt value for dirt tracks, otherwise zero.
template <typename T>
T ByTrackClass(int trackCode, T turf, T dirt) {
  switch (TrackClassTurfDirt(trackCode)) {
    case 1: return turf;
    case 2: return dirt;
    default: return T{};
  }
}

// ---- Bet types -----------------------------------------------------------------------

// Internal bet type 1-8: 単勝 複勝 枠連 馬連 ワイド 馬単 ３連複 ３連単.
std::optional<std::string> BetTypeName(int betType);
// Three characters wide, filled with a full-width space ("単勝　").
std::optional<std::string> BetTypeNamePadded(int betType);
// "-" for unordered pairs and triples, ">" for 馬単 and ３連単, empty for 単勝/複勝 and unknown types.
std::string BetTypeSeparator(int betType);
// One-character internal bet type -> betting-service bet type ("4" -> "5"; "9" stays "9").
std::optional<std::string> ToServiceBetType(std::string_view betType);

// Betting-service bet type 1-9: 単勝 複勝 枠連 枠単 馬連 馬単 ワイド ３連複 ３連単.
std::optional<std::string> ServiceBetTypeName(int serviceType);
std::optional<std::string> ServiceBetTypeNamePadded(int serviceType);
std::string ServiceBetTypeSeparator(int serviceType);
// One-character betting-service bet type -> internal bet type; 枠単 ("4") has none and gives "9".
std::optional<std::string> FromServiceBetType(std::string_view serviceType);

// Purchase-method code of a bet-log line -> combination construction code
// ("1" -> "3", "2" -> "4", "3"/"4" -> "2", "9" -> "1"; "0", "5"-"8" stay).
std::optional<std::string> FromServiceMethod(std::string_view method);
// Cuts the three 18-character blocks (characters 1-18, 25-42, 49-66) of a 72-character
// selection text and joins them in the order 1-2-3 (method 0-2, 6-8) or 1-3-2 (method 3-5);
// empty text for any other method.
std::string ReorderFormationBlocks(std::string_view method, std::string_view selection);

// ---- Going, race conditions, probability sources ------------------------------------

// 1 "良", 2 "稍重", 3 "重", 4 "不良"; one full-width space otherwise.
std::string GoingName(int going);
// Condition list index 1-6 <-> race-condition code 5, 10, 16, 26, 28, 29; 0 otherwise.
int JokenIndexToCode(int index);
int JokenCodeToIndex(int code);
// Win-probability sources: 1, 4, 6, 7, 8 market shares, 41-48 predicted sources.
// Empty text for an unknown code; the market shares have no file key.
std::string SourceName(int source);
std::string SourceFileKey(int source);
// Source code of a name; 0 for any other text.
int SourceCodeFromName(std::string_view name);

// ---- Text ----------------------------------------------------------------------------

// Trimming modes.
inline constexpr int kTrimBothEnds = 0;
inline constexpr int kTrimStart = 1;
inline constexpr int kTrimEnd = 2;
inline constexpr int kTrimAll = 3;

// Removes blanks by mode: both ends, start only, end only, or every blank. Blanks are the
// single-byte characters 0-32 and 127 and, with `fullWidth`, the full-width space U+3000.
// Multi-byte characters are never split.
std::string TrimBlanks(std::string_view utf8, int mode, bool fullWidth);
// Both ends, full-width spaces included: the trimming of names from records and the database.
std::string TrimBoth(std::string_view utf8);
// The same on CP932 bytes (record fields cut by byte offset): a lead byte followed by a
// non-zero byte is one character, the full-width space is 0x81 0x40.
std::string TrimBlanksCp932(std::string_view cp932, int mode, bool fullWidth);
std::string TrimBothCp932(std::string_view cp932);

// The whole text converts to a 32-bit integer: optional sign and decimal digits in range,
// or "$" and one to eight hexadecimal digits (two's complement, "$FFFFFFFF" is -1). No blanks.
std::optional<int> TextToInt(std::string_view text);
bool IsIntegerText(std::string_view text);
// TextToInt with a default for unreadable text.
int TextToIntDef(std::string_view text, int fallback);

// ---- Numbers -------------------------------------------------------------------------

// (smaller, larger) and the three in ascending order: normalised unordered combinations.
std::pair<int, int> OrderPair(int a, int b);
std::array<int, 3> OrderTriple(int a, int b, int c);

// Number of combinations of an internal bet type among n horses (枠連: among the frames
// that n horses fill); 0 for unknown types and for fields too small for the type.
int CombinationCount(int betType, int horses);
// Two-digit numbers joined by the bet type's separator: "03>12" for 馬単 3, 12;
// the first number alone for 単勝/複勝; empty for unknown types.
std::string CombinationText(int betType, int first, int second, int third);

// Horse numbers 1-18 whose flag character is "1", joined by "," ("1,3,18").
std::string FlagsToList(std::string_view flags);
// How many of the first 18 flag characters are "1".
int CountFlags(std::string_view flags);

// Fair odds of a hit rate in percent: 100 / x, 0 when x is 0.
double RironOdds(double hitRatePercent);
// Expected value in percent of a hit rate in percent and odds: odds / RironOdds * 100;
// 0 when the hit rate or its fair odds is 0. (25 %, 5.0 -> 125.)
double CalcEV(double hitRatePercent, double odds);

// The value with `decimals` decimals, the further digits cut rather than rounded
// (33.39 -> "33.3"). No decimal point when `decimals` is 0.
std::string FormatDecimalsCut(int decimals, double value);

// Stake modes: 0 the base amount; 1 floor(base * rate / 100) * 100 but at least 100; else 0.
long long AmountByMode(int mode, long long base, double rate);
// Stake of one ticket in yen: base (mode 0), base * rate but at least 100 (mode 1), 0 (other
// modes); then to whole hundreds: rounding 0 raises, 1 cuts, any other rounds halves up.
// The rate is the hit rate as given by the caller (base 50, rate 12.34 -> 617 yen before
// rounding). Amounts are reckoned to a thousandth of a yen, so binary noise in the rate never
// moves a stake across a hundred; a product that is not a finite number or is beyond nine
// thousand trillion yen gives no raw amount (mode 1 then stakes its minimum of 100 yen).
long long CalcKonyuKingaku(int mode, long long base, int rounding, double rate);

// ---- Dates ---------------------------------------------------------------------------

// "yyyymmdd": characters 1-4, 5-6 and 7-8 as year, month and day; nullopt unless all eight are
// digits forming a valid date (further characters are ignored).
std::optional<TDateTime> ParseYmd(std::string_view text);
// Gregorian validity; every part must be positive.
bool IsValidYmd(int year, int month, int day);
// First day of a search range given with zero parts for "any": 1986-01-01 for year 0 or
// years up to 1985; January 1st for month 0; the 1st for day 0. nullopt for an impossible date.
std::optional<TDateTime> RangeStartDate(int year, int month, int day);
// Last day: 2099-12-31 for year 0; December 31st for month 0; the month's last day for day 0.
std::optional<TDateTime> RangeEndDate(int year, int month, int day);

// ---- Files ---------------------------------------------------------------------------

// Creates the file's folder with all parents and an empty file when missing. True when the
// file exists afterwards.
bool EnsureFile(const std::filesystem::path& file);
// Deletes every plain file (and file link) directly inside the folder; subfolders stay.
// Files that cannot be deleted are skipped. Returns the number deleted.
int DeleteFilesInFolder(const std::filesystem::path& folder);
// Empties a folder: subfolders go to the trash through the shell, plain files are deleted.
// The folder itself stays; entries that cannot be removed are skipped silently.
// Returns the number of entries removed.
int DeleteFolderTree(const std::filesystem::path& folder, IShell& shell);

}  // namespace zelk
