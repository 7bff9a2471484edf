#include "common/date_time.h"

#include <cstdio>
#include <ctime>
#include <sys/time.h>

namespace zelk {

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12) return 0;
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

bool IsValidDate(int y, int m, int d) { return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m); }

long long DayNumber(int y, int m, int d) {
  // Howard Hinnant's days_from_civil.
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

TDateTime FromDayNumber(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d), 0, 0, 0, 0};
}

long long DayNumber(const TDateTime& d) { return DayNumber(d.year, d.month, d.day); }

TDateTime AddDays(const TDateTime& t, long long days) {
  TDateTime r = FromDayNumber(DayNumber(t) + days);
  r.hour = t.hour;
  r.minute = t.minute;
  r.second = t.second;
  r.msec = t.msec;
  return r;
}

TDateTime AddMonths(const TDateTime& t, int months) {
  int total = t.year * 12 + (t.month - 1) + months;
  TDateTime r = t;
  r.year = total / 12;
  r.month = total % 12 + 1;
  if (r.day > DaysInMonth(r.year, r.month)) r.day = DaysInMonth(r.year, r.month);
  return r;
}

static long long TotalMs(const TDateTime& t) {
  return ((DayNumber(t) * 24 + t.hour) * 60 + t.minute) * 60000LL + t.second * 1000LL + t.msec;
}

TDateTime AddSeconds(const TDateTime& t, long long seconds) {
  long long ms = TotalMs(t) + seconds * 1000;
  long long days = ms >= 0 ? ms / 86400000 : -((-ms + 86399999) / 86400000);
  long long rest = ms - days * 86400000;
  TDateTime r = FromDayNumber(days);
  r.hour = static_cast<int>(rest / 3600000);
  r.minute = static_cast<int>(rest / 60000 % 60);
  r.second = static_cast<int>(rest / 1000 % 60);
  r.msec = static_cast<int>(rest % 1000);
  return r;
}

long long DaysBetween(const TDateTime& a, const TDateTime& b) { return DayNumber(b) - DayNumber(a); }
long long MillisecondsBetween(const TDateTime& a, const TDateTime& b) { return TotalMs(b) - TotalMs(a); }

TDateTime MakeDate(int y, int m, int d) { return {y, m, d, 0, 0, 0, 0}; }

TDateTime NowLocal() {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  std::tm tm{};
  localtime_r(&tv.tv_sec, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
          static_cast<int>(tv.tv_usec / 1000)};
}

static std::string Fmt(const char* f, int a, int b = 0, int c = 0, int d = 0, int e = 0, int g = 0) {
  char buf[64];
  std::snprintf(buf, sizeof buf, f, a, b, c, d, e, g);
  return buf;
}

std::string FormatYmd(const TDateTime& t) { return Fmt("%04d%02d%02d", t.year, t.month, t.day); }
std::string FormatYm(const TDateTime& t) { return Fmt("%04d%02d", t.year, t.month); }
std::string FormatYmdHns(const TDateTime& t) {
  return Fmt("%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
}
std::string FormatShortDate(const TDateTime& t) { return Fmt("%04d/%02d/%02d", t.year, t.month, t.day); }
std::string FormatLongTime(const TDateTime& t) { return Fmt("%d:%02d:%02d", t.hour, t.minute, t.second); }
std::string FormatShortTime(const TDateTime& t) { return Fmt("%d:%02d", t.hour, t.minute); }
std::string FormatIsoDate(const TDateTime& t) { return Fmt("%04d-%02d-%02d", t.year, t.month, t.day); }
std::string FormatSettingsDateTime(const TDateTime& t) {
  std::string s = FormatShortDate(t);
  if (t.hour || t.minute || t.second) s += " " + FormatLongTime(t);
  return s;
}

static bool Digits(const std::string& s, size_t pos, size_t len, int& out) {
  if (pos + len > s.size()) return false;
  int v = 0;
  for (size_t i = pos; i < pos + len; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
  }
  out = v;
  return true;
}

std::optional<TDateTime> ParseYmdText(const std::string& text) {
  int y, m, d;
  if (text.size() < 8 || !Digits(text, 0, 4, y) || !Digits(text, 4, 2, m) || !Digits(text, 6, 2, d)) return std::nullopt;
  if (!IsValidDate(y, m, d)) return std::nullopt;
  return MakeDate(y, m, d);
}

std::optional<TDateTime> ParseIsoDate(const std::string& text) {
  int y, m, d;
  if (text.size() < 10 || text[4] != '-' || text[7] != '-' || !Digits(text, 0, 4, y) || !Digits(text, 5, 2, m) ||
      !Digits(text, 8, 2, d))
    return std::nullopt;
  if (!IsValidDate(y, m, d)) return std::nullopt;
  return MakeDate(y, m, d);
}

std::optional<TDateTime> ParseSettingsDateTime(const std::string& text) {
  int y, m, d;
  if (text.size() < 10 || text[4] != '/' || text[7] != '/' || !Digits(text, 0, 4, y) || !Digits(text, 5, 2, m) ||
      !Digits(text, 8, 2, d) || !IsValidDate(y, m, d))
    return std::nullopt;
  TDateTime r = MakeDate(y, m, d);
  if (text.size() == 10) return r;
  if (text[10] != ' ') return std::nullopt;
  int h = 0, n = 0, s = 0;
  std::string rest = text.substr(11);
  if (std::sscanf(rest.c_str(), "%d:%d:%d", &h, &n, &s) < 2 || h < 0 || h > 23 || n < 0 || n > 59 || s < 0 || s > 59)
    return std::nullopt;
  r.hour = h;
  r.minute = n;
  r.second = s;
  return r;
}

}  // namespace zelk
