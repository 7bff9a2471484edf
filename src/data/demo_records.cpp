#include "data/demo_records.h"

#include <cstdio>
#include <stdexcept>

#include "common/cp932.h"

namespace zelk {

namespace {

// A fixed-length record being filled: blanks everywhere until a field is put.
class TRecordText {
 public:
  explicit TRecordText(std::string_view kind) : text_(static_cast<size_t>(DemoLineLength(kind)), ' ') { Put(0, kind); }
  void Put(size_t offset, std::string_view field) {
    if (offset + field.size() > text_.size()) throw std::logic_error("field past the end of the record");
    text_.replace(offset, field.size(), field);
  }
  // Zero-padded decimal number of exactly `width` digits.
  void Num(size_t offset, int width, long long value) {
    std::string digits = std::to_string(value);
    if (value < 0 || static_cast<int>(digits.size()) > width) throw std::logic_error("number too wide for its field");
    Put(offset, std::string(static_cast<size_t>(width) - digits.size(), '0') + digits);
  }
  void Char(size_t offset, char c) { Put(offset, std::string_view(&c, 1)); }
  // UTF-8 text converted to CP932 and padded with full-width blanks to `bytes`.
  void Wide(size_t offset, size_t bytes, const std::string& utf8) {
    std::string cp = Utf8ToCp932(utf8);
    if (cp.size() > bytes) throw std::logic_error("text too long for its field");
    while (cp.size() + 2 <= bytes) cp += "\x81\x40";
    if (cp.size() < bytes) cp += ' ';
    Put(offset, cp);
  }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// Kind, data kind, creation date, race date, racecourse, meeting, day and (unless `noRace`) race.
void PutHeader(TRecordText& r, char dataKind, const TDemoStamp& stamp, const TDemoRaceSetup& s, bool noRace = false) {
  r.Char(2, dataKind);
  r.Put(3, FormatYmd(stamp.created));
  r.Put(11, FormatYmd(s.date));
  r.Put(19, s.course);
  r.Num(21, 2, s.kai);
  r.Num(23, 2, s.nichime);
  if (!noRace) r.Num(25, 2, s.raceNo);
}

void PutOddsSlot(TRecordText& r, size_t offset, const TDemoOddsEntry& e, int numbers, int numberWidth, int oddsWidth,
                 bool twoOdds, int ninkiWidth) {
  size_t at = offset;
  for (int v : {e.a, e.b, e.c}) {
    if (numbers-- <= 0) break;
    r.Num(at, numberWidth, v);
    at += static_cast<size_t>(numberWidth);
  }
  const int oddsFields = twoOdds ? 2 : 1;
  if (!e.valid) {
    r.Put(at, std::string(static_cast<size_t>(oddsWidth * oddsFields + ninkiWidth), '-'));
    return;
  }
  r.Num(at, oddsWidth, e.odds);
  at += static_cast<size_t>(oddsWidth);
  if (twoOdds) {
    r.Num(at, oddsWidth, e.odds2);
    at += static_cast<size_t>(oddsWidth);
  }
  r.Num(at, ninkiWidth, e.ninki);
}

struct TOddsLayout {
  int betType;
  size_t first;
  size_t slots;
  size_t width;
  int numbers, numberWidth, oddsWidth;
  bool twoOdds;
  int ninkiWidth;
  size_t votes;
};

constexpr TOddsLayout kOddsLayouts[] = {
    {1, 43, 28, 8, 1, 2, 4, false, 2, 927},     {2, 267, 28, 12, 1, 2, 4, true, 2, 938},
    {3, 603, 36, 9, 2, 1, 5, false, 2, 949},    {4, 40, 153, 13, 2, 2, 6, false, 3, 2029},
    {5, 40, 153, 17, 2, 2, 5, true, 3, 2641},   {6, 40, 306, 13, 2, 2, 6, false, 3, 4018},
    {7, 40, 816, 15, 3, 2, 6, false, 3, 12280}, {8, 40, 4896, 17, 3, 2, 7, false, 4, 83272},
};

void PutOddsOfType(TRecordText& r, const TOddsLayout& l, const TDemoOdds& odds) {
  const auto& entries = odds.entries[static_cast<size_t>(l.betType)];
  if (entries.size() > l.slots) throw std::logic_error("more combinations than odds slots");
  for (size_t i = 0; i < entries.size(); ++i)
    PutOddsSlot(r, l.first + i * l.width, entries[i], l.numbers, l.numberWidth, l.oddsWidth, l.twoOdds, l.ninkiWidth);
  r.Num(l.votes, 11, odds.votes[static_cast<size_t>(l.betType)]);
}

std::string Hhmm(int hhmm) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04d", hhmm);
  return buf;
}

}  // namespace

int DemoLineLength(std::string_view kind) {
  struct TLen {
    std::string_view kind;
    int length;
  };
  static constexpr TLen kLengths[] = {{"RA", 1270}, {"SE", 553},  {"HR", 717},   {"O1", 960},   {"O2", 2040},
                                      {"O3", 2652}, {"O4", 4029}, {"O5", 12291}, {"O6", 83283}, {"WE", 40},
                                      {"AV", 76},   {"JC", 159},  {"TC", 43},    {"CC", 48}};
  for (const auto& l : kLengths)
    if (l.kind == kind) return l.length;
  return 0;
}

std::string DemoAnnounceTime(const TDateTime& date, int hhmm) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d%02d%04d", date.month, date.day, hhmm);
  return buf;
}

std::string DemoRaRecord(const TDemoRace& race, char dataKind, const TDemoStamp& stamp, bool results) {
  const auto& s = race.setup;
  TRecordText r("RA");
  PutHeader(r, dataKind, stamp, s);
  r.Num(27, 1, (DayNumber(s.date) + 4) % 7 + 1);  // day of the week, 1 = Sunday
  r.Num(28, 4, race.raceName.empty() ? 0 : s.raceNo);
  r.Wide(32, 60, race.raceName);
  r.Put(614, race.gradeCode);
  r.Num(616, 2, race.shubetsu);
  r.Put(618, race.kigo);
  r.Num(621, 1, race.juryo);
  for (size_t age = 0; age < 4; ++age) r.Num(622 + age * 3, 3, 0);
  r.Num(race.shubetsu == 12 ? 625 : 628, 3, race.joken);
  r.Num(634, 3, race.joken);
  const bool courseChanged = results && race.newDistance;
  r.Num(697, 4, courseChanged ? race.newDistance : race.distance);
  r.Num(701, 4, courseChanged ? race.distance : 0);
  r.Num(705, 2, courseChanged ? race.newTrack : race.trackCode);
  r.Num(707, 2, courseChanged ? race.trackCode : 0);
  r.Put(709, race.courseKubun);
  const bool timeChanged = results && race.newStartHhmm;
  r.Put(873, Hhmm(timeChanged ? race.newStartHhmm : s.startHhmm));
  r.Put(877, Hhmm(timeChanged ? s.startHhmm : 0));
  r.Num(881, 2, race.registered);
  r.Num(883, 2, results ? race.starters : race.registered);
  r.Num(885, 2, results ? race.starters : 0);
  r.Num(887, 1, results ? s.weather : 0);
  r.Num(888, 1, results ? s.turfGoing : 0);
  r.Num(889, 1, results ? s.dirtGoing : 0);
  return r.Text();
}

std::string DemoSeRecord(const TDemoRace& race, const TDemoHorse& horse, char dataKind, const TDemoStamp& stamp,
                         bool results) {
  TRecordText r("SE");
  PutHeader(r, dataKind, stamp, race.setup);
  r.Num(27, 1, horse.waku);
  r.Num(28, 2, horse.umaban);
  r.Num(30, 10, horse.ketto);
  r.Wide(40, 36, horse.name);
  const bool changed = results && horse.newJockey;
  r.Num(296, 5, changed ? horse.newJockey : horse.jockey);
  r.Num(301, 5, changed ? horse.jockey : 0);
  r.Num(331, 1, results ? horse.ijo : 0);
  r.Num(332, 2, results ? horse.chakujun : 0);
  r.Num(334, 2, results ? horse.chakujun : 0);
  return r.Text();
}

std::string DemoHrRecord(const TDemoRace& race, char dataKind, const TDemoStamp& stamp) {
  TRecordText r("HR");
  PutHeader(r, dataKind, stamp, race.setup);
  r.Num(27, 2, race.registered);
  r.Num(29, 2, race.starters);
  r.Put(31, std::string(18, '0'));
  static constexpr size_t kFlagAt[] = {0, 49, 50, 51, 52, 53, 55, 56, 57};
  r.Char(54, '0');
  for (int t = 1; t <= kDemoBetTypes; ++t) r.Num(kFlagAt[t], 1, race.refundFlag[static_cast<size_t>(t)]);
  for (size_t h = 1; h <= 28; ++h) r.Num(57 + h, 1, race.refundUma[h]);
  for (size_t f = 1; f <= 8; ++f) {
    r.Num(85 + f, 1, race.refundWaku[f]);
    r.Num(93 + f, 1, race.refundDowaku[f]);
  }
  struct TSlots {
    size_t first, slots, width;
    int numbers, numberWidth, ninkiWidth;
  };
  static constexpr TSlots kSlots[] = {{0, 0, 0, 0, 0, 0},    {102, 3, 13, 1, 2, 2}, {141, 5, 13, 1, 2, 2},
                                      {206, 3, 13, 2, 1, 2}, {245, 3, 16, 2, 2, 3}, {293, 7, 16, 2, 2, 3},
                                      {453, 6, 16, 2, 2, 3}, {549, 3, 18, 3, 2, 3}, {603, 6, 19, 3, 2, 4}};
  for (int t = 1; t <= kDemoBetTypes; ++t) {
    const auto& l = kSlots[t];
    const auto& pays = race.payouts[static_cast<size_t>(t)];
    if (pays.size() > l.slots) throw std::logic_error("more winners than payout slots");
    for (size_t i = 0; i < l.slots; ++i) {
      size_t at = l.first + i * l.width;
      const size_t numberBytes = static_cast<size_t>(l.numbers * l.numberWidth);
      if (i >= pays.size()) {  // empty slot: blank number, zero payout and popularity
        r.Num(at + numberBytes, 9, 0);
        r.Num(at + numberBytes + 9, l.ninkiWidth, 0);
        continue;
      }
      const auto& p = pays[i];
      int k = l.numbers;
      for (int v : {p.a, p.b, p.c}) {
        if (k-- <= 0) break;
        r.Num(at, l.numberWidth, v);
        at += static_cast<size_t>(l.numberWidth);
      }
      r.Num(at, 9, p.yen);
      r.Num(at + 9, l.ninkiWidth, p.ninki);
    }
  }
  return r.Text();
}

std::string DemoOddsRecord(int oddsKind, const TDemoRace& race, const TDemoOdds& odds, char dataKind,
                           const TDemoStamp& stamp) {
  if (oddsKind < 1 || oddsKind > 6) throw std::logic_error("odds kind out of range");
  const std::string kind = "O" + std::to_string(oddsKind);
  TRecordText r(kind);
  PutHeader(r, dataKind, stamp, race.setup);
  r.Put(27, stamp.announce);
  r.Num(35, 2, race.registered);
  r.Num(37, 2, odds.starters);
  if (oddsKind == 1) {
    r.Char(39, odds.tanSale ? '7' : '0');
    r.Char(40, odds.fukuSale ? '7' : '0');
    r.Char(41, odds.wakuSale ? '7' : '0');
    r.Num(42, 1, odds.fukuKey);
    for (int t = 1; t <= 3; ++t) {
      if (t == 3 && !odds.wakuSale) {
        r.Num(949, 11, 0);
        continue;
      }
      PutOddsOfType(r, kOddsLayouts[t - 1], odds);
    }
  } else {
    r.Char(39, '7');
    PutOddsOfType(r, kOddsLayouts[oddsKind + 1], odds);
  }
  return r.Text();
}

std::string DemoWeRecord(const TDemoRaceSetup& day, const TDemoGoing& going, const TDemoStamp& stamp) {
  TRecordText r("WE");
  PutHeader(r, '1', stamp, day, true);
  r.Put(25, stamp.announce);
  r.Num(33, 1, going.changeKind);
  r.Num(34, 1, going.weather);
  r.Num(35, 1, going.turf);
  r.Num(36, 1, going.dirt);
  r.Num(37, 1, going.oldWeather);
  r.Num(38, 1, going.oldTurf);
  r.Num(39, 1, going.oldDirt);
  return r.Text();
}

std::string DemoAvRecord(const TDemoRace& race, const TDemoHorse& horse, const TDemoStamp& stamp) {
  TRecordText r("AV");
  PutHeader(r, static_cast<char>('0' + horse.ijo), stamp, race.setup);
  r.Put(27, stamp.announce);
  r.Num(35, 2, horse.umaban);
  r.Wide(37, 36, horse.name);
  r.Num(73, 3, 0);
  return r.Text();
}

std::string DemoJcRecord(const TDemoRace& race, const TDemoHorse& horse, const TDemoStamp& stamp) {
  TRecordText r("JC");
  PutHeader(r, '1', stamp, race.setup);
  r.Put(27, stamp.announce);
  r.Num(35, 2, horse.umaban);
  r.Wide(37, 36, horse.name);
  r.Num(76, 5, horse.newJockey);
  r.Num(118, 5, horse.jockey);
  return r.Text();
}

std::string DemoTcRecord(const TDemoRace& race, const TDemoStamp& stamp) {
  TRecordText r("TC");
  PutHeader(r, '1', stamp, race.setup);
  r.Put(27, stamp.announce);
  r.Put(35, Hhmm(race.newStartHhmm));
  r.Put(39, Hhmm(race.setup.startHhmm));
  return r.Text();
}

std::string DemoCcRecord(const TDemoRace& race, const TDemoStamp& stamp) {
  TRecordText r("CC");
  PutHeader(r, '1', stamp, race.setup);
  r.Put(27, stamp.announce);
  r.Num(35, 4, race.newDistance);
  r.Num(39, 2, race.newTrack);
  r.Num(41, 4, race.distance);
  r.Num(45, 2, race.trackCode);
  r.Num(47, 1, 1);
  return r.Text();
}

}  // namespace zelk
