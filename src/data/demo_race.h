#pragma once
// One synthetic race of the demo season: horses with strengths, true win probabilities, market
// odds of all eight bet types (true probabilities with noise and the takeout of the payout-rate
// table), the finishing order drawn from the true probabilities, scratches with their refunds,
// dead heats, and the payouts that follow from the odds of the winning combinations.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/date_time.h"

namespace zelk {

// Bet types 1 単勝, 2 複勝, 3 枠連, 4 馬連, 5 ワイド, 6 馬単, 7 ３連複, 8 ３連単.
constexpr int kDemoBetTypes = 8;

struct TDemoHorse {
  int umaban = 0;
  int waku = 0;
  long long ketto = 0;  // 血統登録番号, ten digits
  std::string name;     // 馬名, UTF-8 katakana
  int jockey = 0;       // 騎手コード
  int newJockey = 0;    // nonzero: jockey change announced on race day
  double strength = 0;  // true win probability among all registered horses
  int ijo = 0;          // 異常区分コード: 1 出走取消, 2 発走除外 (decided on race day)
  int chakujun = 0;     // 確定着順; 0 for a scratched horse
  bool Runs() const { return ijo == 0; }
};

// One slot of an odds line: the combination (horses, or frames for 枠連) and its odds in tenths.
struct TDemoOddsEntry {
  int a = 0, b = 0, c = 0;
  int odds = 0;        // odds in tenths (minimum odds for 複勝 and ワイド)
  int odds2 = 0;       // maximum odds in tenths for 複勝 and ワイド
  int ninki = 0;       // popularity
  bool valid = true;   // false: a horse (or the frame) is scratched, the slot shows dashes
  double rawOdds = 0;  // unrounded market odds, the base of 複勝 and ワイド payouts
};

// One announcement of the odds of a race (all eight bet types).
struct TDemoOdds {
  std::array<std::vector<TDemoOddsEntry>, kDemoBetTypes + 1> entries;  // [1..8], slot order
  std::array<long long, kDemoBetTypes + 1> votes{};                    // vote totals [1..8]
  bool tanSale = true, fukuSale = true, wakuSale = false;
  int fukuKey = 3;   // places paid for 複勝 (2 or 3)
  int starters = 0;  // horses counted as starting when the odds were made
};

struct TDemoPayout {
  int a = 0, b = 0, c = 0;  // winning horse / frames / combination in stored order
  long long yen = 0;        // payout per 100 yen
  int ninki = 0;
};

enum class TDemoDeadHeat { None = 0, First = 1, Second = 2, Third = 3 };

// What the season decides about a race before it is drawn.
struct TDemoRaceSetup {
  TDateTime date;
  std::string course;  // 競馬場コード, two digits
  int raceNo = 1;
  int kai = 1, nichime = 1;
  int startHhmm = 1000;
  bool central = true;
  bool kochiLastRace = false;
  int minRunners = 8, maxRunners = 18;
  bool forceScratch = false;
  bool forceDeadHeat = false;
  int weather = 1, turfGoing = 1, dirtGoing = 1;  // in force at the start
};

struct TDemoRace {
  TDemoRaceSetup setup;
  // header
  int distance = 1600;
  int trackCode = 11;
  std::string courseKubun = "  ";
  std::string gradeCode = " ";
  int shubetsu = 13;
  std::string kigo = "000";
  int juryo = 4;
  int joken = 5;
  std::string raceName;  // UTF-8, empty for an ordinary race
  // race-day changes (used on the real-time day)
  int newStartHhmm = 0;               // start-time change (TC), 0 = none
  int newDistance = 0, newTrack = 0;  // course change (CC), 0 = none

  std::vector<TDemoHorse> horses;  // index = horse number - 1
  int registered = 0;
  int starters = 0;
  std::array<double, 10> rates{};  // payout rates in percent, slots [1..9] of the payout-rate table

  TDemoOdds early;  // intermediate odds (before any scratch)
  TDemoOdds final;  // final odds (after the scratches)

  TDemoDeadHeat deadHeat = TDemoDeadHeat::None;
  std::array<std::vector<TDemoPayout>, kDemoBetTypes + 1> payouts;  // [1..8], ascending
  std::array<int, kDemoBetTypes + 1> refundFlag{};                  // 返還フラグ by bet type
  std::array<int, 29> refundUma{};                                  // 返還馬番情報 [1..28]
  std::array<int, 9> refundWaku{};                                  // 返還枠番情報 [1..8]
  std::array<int, 9> refundDowaku{};                                // 返還同枠情報 [1..8]

  bool HasScratch() const { return starters < registered; }
  int StartHhmm() const { return newStartHhmm ? newStartHhmm : setup.startHhmm; }
};

// Draws one race. The same seed and setup always give the same race.
TDemoRace BuildDemoRace(std::uint64_t seed, const TDemoRaceSetup& setup);

// Payout rates (払戻率, percent) of a racecourse on a date, nine slots [1..9]:
// 単勝, 複勝, 枠連, 枠単, 馬連, ワイド, 馬単, ３連複, ３連単.
std::array<double, 10> DemoPayoutRates(const std::string& course, const TDateTime& date, bool kochiLastRace);

// Payout-rate slot of a bet type 1..8.
int DemoRateSlot(int betType);

// Frame of each horse number when `registered` horses are drawn (index = horse number - 1).
std::vector<int> DemoFrames(int registered);

// Payout per 100 yen of winning combination `index` among `winnerOdds` (market odds of all
// winning combinations of one bet type) when `places` combinations win in a race without a dead
// heat: the pool after takeout, less the winning stakes, is shared equally by the winners.
// Rounded down to 10 yen, never below 100 yen.
long long DemoSharedPayoutYen(const std::vector<double>& winnerOdds, size_t index, int places);

// Places paid for 複勝 with `starters` horses running.
int DemoFukuKey(int starters);

}  // namespace zelk
