#pragma once
// Record texts of the demo season in the data provider's fixed layouts (CP932, one byte per
// character for the digit fields). Every builder returns the record's line without its CR LF;
// the record length of a kind counts the CR LF, as the data link delivers it.
#include <string>
#include <string_view>

#include "common/date_time.h"
#include "data/demo_race.h"

namespace zelk {

// Line length (without CR LF) of a record kind: RA 1270, SE 553, HR 717, O1 960 … O6 83283,
// WE 40, AV 76, JC 159, TC 43, CC 48; 0 for a kind the demo does not write.
int DemoLineLength(std::string_view kind);

// Creation date and announcement time ("mmddhhnn") stamped into a record.
struct TDemoStamp {
  TDateTime created;
  std::string announce = "00000000";
};

// Race header. `results` fills the starters, weather and going of the run race and the
// race-day start-time and course changes; otherwise the race card as published before.
std::string DemoRaRecord(const TDemoRace& race, char dataKind, const TDemoStamp& stamp, bool results);
// One horse of a race; `results` adds 異常区分コード, 確定着順 and a jockey change.
std::string DemoSeRecord(const TDemoRace& race, const TDemoHorse& horse, char dataKind, const TDemoStamp& stamp,
                         bool results);
// Payouts and refunds.
std::string DemoHrRecord(const TDemoRace& race, char dataKind, const TDemoStamp& stamp);
// Odds line of kind O1..O6 (oddsKind 1..6) from one announcement of the race's odds.
std::string DemoOddsRecord(int oddsKind, const TDemoRace& race, const TDemoOdds& odds, char dataKind,
                           const TDemoStamp& stamp);

// Weather and going of one racecourse on a race day.
struct TDemoGoing {
  int changeKind = 1;  // 1 first announcement, 3 change
  int weather = 1, turf = 1, dirt = 1;
  int oldWeather = 0, oldTurf = 0, oldDirt = 0;
};
std::string DemoWeRecord(const TDemoRaceSetup& day, const TDemoGoing& going, const TDemoStamp& stamp);
// Scratch (data kind = the scratch code), jockey change, start-time change, course change.
std::string DemoAvRecord(const TDemoRace& race, const TDemoHorse& horse, const TDemoStamp& stamp);
std::string DemoJcRecord(const TDemoRace& race, const TDemoHorse& horse, const TDemoStamp& stamp);
std::string DemoTcRecord(const TDemoRace& race, const TDemoStamp& stamp);
std::string DemoCcRecord(const TDemoRace& race, const TDemoStamp& stamp);

// "mmddhhnn" of a date and a time of day given as hhmm.
std::string DemoAnnounceTime(const TDateTime& date, int hhmm);

}  // namespace zelk
