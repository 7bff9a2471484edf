#pragma once
// Local calendar dates and times, and the fixed formats the system uses everywhere:
// short date "yyyy/MM/dd", long time "h:mm:ss", record dates "yyyymmdd",
// time stamps "yyyymmddhhnnss" and database dates "YYYY-MM-DD".
#include <compare>
#include <optional>
#include <string>

namespace zelk {

struct TDateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, msec = 0;

  auto operator<=>(const TDateTime&) const = default;
  bool operator==(const TDateTime&) const = default;

  TDateTime DateOnly() const { return {year, month, day, 0, 0, 0, 0}; }
  bool HasTime() const { return hour || minute || second || msec; }
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
bool IsValidDate(int year, int month, int day);

// Day number (days since 1970-01-01) and back, proleptic Gregorian.
long long DayNumber(int year, int month, int day);
TDateTime FromDayNumber(long long days);
long long DayNumber(const TDateTime& d);

TDateTime AddDays(const TDateTime& t, long long days);
// Adds months keeping the day, clamped to the month's last day.
TDateTime AddMonths(const TDateTime& t, int months);
TDateTime AddSeconds(const TDateTime& t, long long seconds);
// Whole days from a to b (b - a) by calendar date.
long long DaysBetween(const TDateTime& a, const TDateTime& b);
// Milliseconds from a to b.
long long MillisecondsBetween(const TDateTime& a, const TDateTime& b);

TDateTime MakeDate(int year, int month, int day);
TDateTime NowLocal();

std::string FormatYmd(const TDateTime& t);        // yyyymmdd
std::string FormatYm(const TDateTime& t);         // yyyymm
std::string FormatYmdHns(const TDateTime& t);     // yyyymmddhhnnss
std::string FormatShortDate(const TDateTime& t);  // yyyy/MM/dd
std::string FormatLongTime(const TDateTime& t);   // h:mm:ss
std::string FormatShortTime(const TDateTime& t);  // h:mm
std::string FormatIsoDate(const TDateTime& t);    // YYYY-MM-DD
// Settings file date-time: "yyyy/MM/dd", plus " h:mm:ss" when the time is not midnight.
std::string FormatSettingsDateTime(const TDateTime& t);

std::optional<TDateTime> ParseYmdText(const std::string& text);  // yyyymmdd, must be a valid date
std::optional<TDateTime> ParseIsoDate(const std::string& text);  // YYYY-MM-DD
std::optional<TDateTime> ParseSettingsDateTime(const std::string& text);

}  // namespace zelk
