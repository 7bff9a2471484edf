#include "data/demo_race.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>
#include <string_view>

#include "data/demo_random.h"

namespace zelk {

namespace {

// Largest odds value (tenths) that fits each bet type's odds field.
constexpr std::array<int, kDemoBetTypes + 1> kMaxOdds = {0, 9999, 9999, 99999, 999999, 99999, 999999, 999999, 9999999};

constexpr std::string_view kSyllables[] = {"ア", "イ", "ウ", "エ", "オ", "カ", "キ", "ク", "ケ", "コ", "サ", "シ", "ス",
                                           "セ", "ソ", "タ", "チ", "ツ", "テ", "ト", "ナ", "ニ", "ノ", "ハ", "ヒ", "フ",
                                           "ホ", "マ", "ミ", "ム", "メ", "モ", "ヤ", "ユ", "ヨ", "ラ", "リ", "ル", "レ",
                                           "ロ", "ワ", "ガ", "ギ", "グ", "ゴ", "ザ", "ジ", "ズ", "ダ", "デ", "ド", "バ",
                                           "ビ", "ブ", "ベ", "ボ", "パ", "ピ", "プ", "ポ", "ン", "ー"};
constexpr int kSyllableCount = static_cast<int>(std::size(kSyllables));
// Syllables that may not begin a name (ン, ー).
constexpr int kNoLeadSyllables = 2;

constexpr std::string_view kPrefixes[] = {"サクラ",   "メイショウ", "キタノ", "ゴールド", "シルバー", "ミスター",
                                          "マイネル", "エイシン",   "タマモ", "ダイワ",   "コスモ",   "スズカ"};
constexpr std::string_view kRaceSuffixes[] = {"ステークス", "特別", "カップ", "賞"};

int SyllableCount(std::string_view katakana) {
  // Every katakana character of the lists is three UTF-8 bytes.
  return static_cast<int>(katakana.size() / 3);
}

std::string RandomWord(TDemoRandom& rng, int syllables) {
  std::string word;
  for (int i = 0; i < syllables; ++i) {
    int pick = i == 0 ? rng.Between(0, kSyllableCount - 1 - kNoLeadSyllables) : rng.Between(0, kSyllableCount - 1);
    word += kSyllables[pick];
  }
  return word;
}

std::string HorseName(TDemoRandom& rng) {
  std::string name;
  if (rng.Chance(0.35)) name = std::string(kPrefixes[rng.Between(0, static_cast<int>(std::size(kPrefixes)) - 1)]);
  int room = 9 - SyllableCount(name);
  int len = rng.Between(std::min(2, room), std::min(6, room));
  return name + RandomWord(rng, len);
}

// Frame pairs of 枠連 in slot order: (f, g) with f <= g, both drawn, a same-frame pair only when
// the frame holds two horses or more.
std::vector<std::pair<int, int>> FramePairs(const std::vector<int>& frameCount) {
  std::vector<std::pair<int, int>> pairs;
  for (int f = 1; f <= 8; ++f)
    for (int g = f; g <= 8; ++g) {
      if (frameCount[f] == 0 || frameCount[g] == 0) continue;
      if (f == g && frameCount[f] < 2) continue;
      pairs.emplace_back(f, g);
    }
  return pairs;
}

// Market probabilities of every combination from per-horse win probabilities (0 for horses
// that do not run), by the Harville model.
struct TComboProbs {
  int n = 0;
  std::vector<double> p;
  std::vector<double> exacta;    // [i * n + j], i first, j second
  std::vector<double> trifecta;  // [(i * n + j) * n + k]
  double P2(int i, int j) const { return exacta[static_cast<size_t>(i * n + j)]; }
  double P3(int i, int j, int k) const { return trifecta[static_cast<size_t>((i * n + j) * n + k)]; }
};

TComboProbs Harville(const std::vector<double>& p) {
  TComboProbs cp;
  cp.n = static_cast<int>(p.size());
  cp.p = p;
  const int n = cp.n;
  cp.exacta.assign(static_cast<size_t>(n * n), 0.0);
  cp.trifecta.assign(static_cast<size_t>(n * n * n), 0.0);
  for (int i = 0; i < n; ++i) {
    if (p[i] <= 0) continue;
    for (int j = 0; j < n; ++j) {
      if (j == i || p[j] <= 0) continue;
      double pij = p[i] * p[j] / (1.0 - p[i]);
      cp.exacta[static_cast<size_t>(i * n + j)] = pij;
      for (int k = 0; k < n; ++k) {
        if (k == i || k == j || p[k] <= 0) continue;
        cp.trifecta[static_cast<size_t>((i * n + j) * n + k)] = pij * p[k] / (1.0 - p[i] - p[j]);
      }
    }
  }
  return cp;
}

// Raw probability of one slot's combination (horse numbers 1-based, frames for 枠連).
double SlotProbability(int type, const TDemoOddsEntry& e, const TComboProbs& cp, int fukuKey,
                       const std::vector<int>& frames) {
  const int n = cp.n;
  int a = e.a - 1, b = e.b - 1, c = e.c - 1;
  switch (type) {
    case 1:
      return cp.p[a];
    case 2: {
      double q = cp.p[a];
      for (int j = 0; j < n; ++j)
        if (j != a) q += cp.P2(j, a);
      if (fukuKey == 3)
        for (int i = 0; i < n; ++i)
          for (int j = 0; j < n; ++j)
            if (i != a && j != a && i != j) q += cp.P3(i, j, a);
      return q;
    }
    case 3: {
      double q = 0;
      for (int x = 0; x < n; ++x)
        for (int y = x + 1; y < n; ++y) {
          int fx = frames[x], fy = frames[y];
          if ((fx == e.a && fy == e.b) || (fx == e.b && fy == e.a)) q += cp.P2(x, y) + cp.P2(y, x);
        }
      return q;
    }
    case 4:
      return cp.P2(a, b) + cp.P2(b, a);
    case 5: {
      double q = cp.P2(a, b) + cp.P2(b, a);
      for (int x = 0; x < n; ++x) {
        if (x == a || x == b) continue;
        q += cp.P3(a, x, b) + cp.P3(b, x, a) + cp.P3(x, a, b) + cp.P3(x, b, a);
      }
      return q;
    }
    case 6:
      return cp.P2(a, b);
    case 7:
      return cp.P3(a, b, c) + cp.P3(a, c, b) + cp.P3(b, a, c) + cp.P3(b, c, a) + cp.P3(c, a, b) + cp.P3(c, b, a);
    case 8:
      return cp.P3(a, b, c);
  }
  return 0;
}

std::vector<TDemoOddsEntry> SlotsOf(int type, int n, const std::vector<int>& frames) {
  std::vector<TDemoOddsEntry> slots;
  switch (type) {
    case 1:
    case 2:
      for (int h = 1; h <= n; ++h) slots.push_back({h});
      break;
    case 3: {
      std::vector<int> count(9, 0);
      for (int f : frames) ++count[f];
      for (auto [f, g] : FramePairs(count)) slots.push_back({f, g});
      break;
    }
    case 4:
    case 5:
      for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j) slots.push_back({i, j});
      break;
    case 6:
      for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
          if (i != j) slots.push_back({i, j});
      break;
    case 7:
      for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
          for (int k = j + 1; k <= n; ++k) slots.push_back({i, j, k});
      break;
    case 8:
      for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
          for (int k = 1; k <= n; ++k)
            if (i != j && j != k && i != k) slots.push_back({i, j, k});
      break;
  }
  return slots;
}

// How many combinations of a bet type win in a race without a dead heat.
int PlacesOf(int type, int fukuKey) {
  if (type == 2) return fukuKey;
  if (type == 5) return 3;
  return 1;
}

void AssignPopularity(std::vector<TDemoOddsEntry>& slots) {
  std::vector<size_t> order;
  for (size_t i = 0; i < slots.size(); ++i)
    if (slots[i].valid) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) { return slots[x].odds < slots[y].odds; });
  for (size_t r = 0; r < order.size(); ++r) slots[order[r]].ninki = static_cast<int>(r + 1);
}

int TenthsOf(double odds, int type) {
  double t = std::floor(odds * 10.0);
  if (!(t >= 10.0)) t = 10.0;  // also catches NaN
  if (t > kMaxOdds[type]) t = kMaxOdds[type];
  return static_cast<int>(t);
}

// Payout of the ワイド pair {a, b} when x is the third horse of the first three: the three
// pairs of the first three share the pool, listed in ascending order.
template <typename TPairOdds>
long long WideWinnerPayout(int a, int b, int x, const TPairOdds& pairOdds) {
  std::array<int, 3> t = {a, b, x};
  std::sort(t.begin(), t.end());
  const std::array<std::pair<int, int>, 3> pairs = {{{t[0], t[1]}, {t[0], t[2]}, {t[1], t[2]}}};
  std::vector<double> winnerOdds;
  size_t self = 0;
  for (size_t i = 0; i < pairs.size(); ++i) {
    if (pairs[i] == std::pair<int, int>(std::min(a, b), std::max(a, b))) self = i;
    winnerOdds.push_back(pairOdds(pairs[i].first, pairs[i].second));
  }
  return DemoSharedPayoutYen(winnerOdds, self, 3);
}

// Odds of every bet type from per-horse market probabilities (0 for horses not running).
TDemoOdds MakeOdds(const TDemoRace& race, const std::vector<double>& market, TDemoRandom& rng, double comboNoise,
                   double voteScale) {
  TDemoOdds odds;
  const int n = race.registered;
  std::vector<int> frames;
  for (const auto& h : race.horses) frames.push_back(h.waku);
  std::vector<int> runnersInFrame(9, 0);
  int starters = 0;
  for (int i = 0; i < n; ++i)
    if (market[i] > 0) {
      ++runnersInFrame[frames[i]];
      ++starters;
    }
  odds.starters = starters;
  odds.fukuKey = DemoFukuKey(starters);
  odds.wakuSale = n >= 9;
  TComboProbs cp = Harville(market);

  for (int type = 1; type <= kDemoBetTypes; ++type) {
    if (type == 3 && !odds.wakuSale) continue;
    auto slots = SlotsOf(type, n, frames);
    const double rate = race.rates[DemoRateSlot(type)] / 100.0;
    const int places = PlacesOf(type, odds.fukuKey);
    std::vector<double> q(slots.size(), 0.0);
    double total = 0;
    for (size_t i = 0; i < slots.size(); ++i) {
      bool runs = true;
      if (type == 3) {
        runs = slots[i].a == slots[i].b ? runnersInFrame[slots[i].a] >= 2
                                        : runnersInFrame[slots[i].a] >= 1 && runnersInFrame[slots[i].b] >= 1;
      } else {
        for (int h : {slots[i].a, slots[i].b, slots[i].c})
          if (h && market[h - 1] <= 0) runs = false;
      }
      slots[i].valid = runs;
      if (!runs) continue;
      double noise = 1.0 + comboNoise * (2.0 * rng.Uniform() - 1.0);
      q[i] = SlotProbability(type, slots[i], cp, odds.fukuKey, frames) * noise;
      total += q[i];
    }
    for (size_t i = 0; i < slots.size(); ++i) {
      if (!slots[i].valid) continue;
      double share = q[i] / total * places;  // the shares of one bet type add up to its places
      slots[i].rawOdds = rate / share;
      slots[i].odds = TenthsOf(slots[i].rawOdds, type);
    }
    odds.entries[type] = std::move(slots);
  }

  // Ranges of 複勝 and ワイド: the payout of a horse (pair) with the favourites, and with the
  // outsiders, as the other winners.
  {
    auto& fuku = odds.entries[2];
    const int k = odds.fukuKey;
    for (auto& e : fuku) {
      if (!e.valid) continue;
      std::vector<std::pair<double, int>> others;  // (1 / odds, horse)
      for (const auto& o : fuku)
        if (o.valid && o.a != e.a) others.emplace_back(1.0 / o.rawOdds, o.a);
      std::sort(others.begin(), others.end());
      auto payoutWith = [&](bool favourites) {
        std::vector<int> set = {e.a};
        for (int i = 0; i < k - 1 && i < static_cast<int>(others.size()); ++i)
          set.push_back(favourites ? others[others.size() - 1 - static_cast<size_t>(i)].second
                                   : others[static_cast<size_t>(i)].second);
        std::sort(set.begin(), set.end());
        std::vector<double> winnerOdds;
        size_t self = 0;
        for (size_t i = 0; i < set.size(); ++i) {
          if (set[i] == e.a) self = i;
          winnerOdds.push_back(fuku[static_cast<size_t>(set[i] - 1)].rawOdds);
        }
        return DemoSharedPayoutYen(winnerOdds, self, k);
      };
      e.odds = static_cast<int>(std::min<long long>(payoutWith(true) / 10, kMaxOdds[2]));
      e.odds2 = static_cast<int>(std::min<long long>(payoutWith(false) / 10, kMaxOdds[2]));
    }
  }
  {
    auto& wide = odds.entries[5];
    std::map<std::pair<int, int>, double> raw;
    for (const auto& e : wide)
      if (e.valid) raw[{e.a, e.b}] = e.rawOdds;
    auto pairOdds = [&](int x, int y) { return raw.at({std::min(x, y), std::max(x, y)}); };
    for (auto& e : wide) {
      if (!e.valid) continue;
      long long lo = -1, hi = -1;
      for (int x = 1; x <= n; ++x) {
        if (x == e.a || x == e.b || market[x - 1] <= 0) continue;
        long long yen = WideWinnerPayout(e.a, e.b, x, pairOdds);
        if (lo < 0 || yen < lo) lo = yen;
        if (hi < 0 || yen > hi) hi = yen;
      }
      e.odds = static_cast<int>(std::min<long long>(lo / 10, kMaxOdds[5]));
      e.odds2 = static_cast<int>(std::min<long long>(hi / 10, kMaxOdds[5]));
    }
  }
  for (int type = 1; type <= kDemoBetTypes; ++type) AssignPopularity(odds.entries[type]);

  static constexpr std::array<double, kDemoBetTypes + 1> kVoteShare = {0, 1.0, 0.45, 0.15, 1.1, 0.5, 0.6, 1.6, 3.2};
  for (int type = 1; type <= kDemoBetTypes; ++type) {
    if (type == 3 && !odds.wakuSale) continue;
    odds.votes[type] = static_cast<long long>(voteScale * kVoteShare[type] * (0.8 + 0.4 * rng.Uniform()));
  }
  return odds;
}

// Strict finishing orders consistent with the result: one order, or two when two horses dead-heat.
std::vector<std::vector<int>> StrictOrders(const std::vector<TDemoHorse>& horses) {
  std::vector<const TDemoHorse*> runners;
  for (const auto& h : horses)
    if (h.Runs()) runners.push_back(&h);
  std::sort(runners.begin(), runners.end(), [](const TDemoHorse* x, const TDemoHorse* y) {
    return x->chakujun != y->chakujun ? x->chakujun < y->chakujun : x->umaban < y->umaban;
  });
  std::vector<int> base;
  for (const auto* h : runners) base.push_back(h->umaban);
  std::vector<std::vector<int>> orders = {base};
  for (size_t i = 0; i + 1 < runners.size() && i < 3; ++i)
    if (runners[i]->chakujun == runners[i + 1]->chakujun) {
      auto swapped = base;
      std::swap(swapped[i], swapped[i + 1]);
      orders.push_back(swapped);
    }
  return orders;
}

using TCombo = std::array<int, 3>;

std::set<TCombo> WinningCombos(int type, const std::vector<std::vector<int>>& orders, int fukuKey,
                               const std::vector<TDemoHorse>& horses) {
  std::set<TCombo> won;
  for (const auto& o : orders) {
    auto sorted2 = [](int x, int y) { return TCombo{std::min(x, y), std::max(x, y), 0}; };
    switch (type) {
      case 1:
        won.insert({o[0], 0, 0});
        break;
      case 2:
        for (int i = 0; i < fukuKey && i < static_cast<int>(o.size()); ++i)
          won.insert({o[static_cast<size_t>(i)], 0, 0});
        break;
      case 3:
        won.insert(sorted2(horses[static_cast<size_t>(o[0] - 1)].waku, horses[static_cast<size_t>(o[1] - 1)].waku));
        break;
      case 4:
        won.insert(sorted2(o[0], o[1]));
        break;
      case 5:
        won.insert(sorted2(o[0], o[1]));
        won.insert(sorted2(o[0], o[2]));
        won.insert(sorted2(o[1], o[2]));
        break;
      case 6:
        won.insert({o[0], o[1], 0});
        break;
      case 7: {
        TCombo t = {o[0], o[1], o[2]};
        std::sort(t.begin(), t.end());
        won.insert(t);
        break;
      }
      case 8:
        won.insert({o[0], o[1], o[2]});
        break;
    }
  }
  return won;
}

void SettlePayouts(TDemoRace& race) {
  const auto orders = StrictOrders(race.horses);
  const TDemoOdds& odds = race.final;
  for (int type = 1; type <= kDemoBetTypes; ++type) {
    race.payouts[type].clear();
    if (type == 3 && !odds.wakuSale) continue;
    const auto won = WinningCombos(type, orders, odds.fukuKey, race.horses);
    std::map<TCombo, const TDemoOddsEntry*> slotOf;
    for (const auto& e : odds.entries[type]) slotOf[{e.a, e.b, e.c}] = &e;
    std::vector<const TDemoOddsEntry*> winners;
    for (const auto& c : won) winners.push_back(slotOf.at(c));
    const int places = PlacesOf(type, odds.fukuKey);
    const bool ranged = type == 2 || type == 5;
    std::vector<double> winnerOdds;
    for (const auto* e : winners) winnerOdds.push_back(ranged ? e->rawOdds : e->odds / 10.0);
    for (size_t i = 0; i < winners.size(); ++i) {
      TDemoPayout p{winners[i]->a, winners[i]->b, winners[i]->c, 0, winners[i]->ninki};
      if (!ranged && winners.size() == 1)
        p.yen = winners[i]->odds * 10LL;
      else
        p.yen = DemoSharedPayoutYen(winnerOdds, i, places);
      race.payouts[type].push_back(p);
    }
  }
}

void SettleRefunds(TDemoRace& race) {
  std::vector<int> drawn(9, 0), running(9, 0);
  bool any = false;
  for (const auto& h : race.horses) {
    ++drawn[h.waku];
    if (h.Runs())
      ++running[h.waku];
    else {
      race.refundUma[h.umaban] = 1;
      any = true;
    }
  }
  if (!any) return;
  for (int type : {1, 2, 4, 5, 6, 7, 8}) race.refundFlag[type] = 1;
  if (!race.final.wakuSale) return;
  for (int f = 1; f <= 8; ++f) {
    if (drawn[f] > 0 && running[f] == 0) race.refundWaku[f] = 1;
    if (drawn[f] >= 2 && running[f] < 2) race.refundDowaku[f] = 1;
    if (race.refundWaku[f] || race.refundDowaku[f]) race.refundFlag[3] = 1;
  }
}

void DrawHeader(TDemoRace& race, TDemoRandom& rng) {
  const auto& s = race.setup;
  if (s.central) {
    bool turf = rng.Chance(0.55);
    static constexpr int kTurf[] = {1200, 1400, 1600, 1800, 2000, 2200, 2400};
    static constexpr int kDirt[] = {1150, 1200, 1400, 1600, 1700, 1800, 2100};
    race.distance = turf ? kTurf[rng.Between(0, 6)] : kDirt[rng.Between(0, 6)];
    race.trackCode = turf ? (rng.Chance(0.5) ? 11 : 17) : (rng.Chance(0.5) ? 23 : 24);
    race.courseKubun = turf ? "A " : "  ";
  } else {
    static constexpr int kLocal[] = {800, 1000, 1200, 1400, 1500, 1600, 1800, 2000};
    race.distance = kLocal[rng.Between(0, 7)];
    race.trackCode = rng.Chance(0.5) ? 23 : 24;
    race.courseKubun = "  ";
  }
  const int r = s.raceNo;
  race.shubetsu = r <= 4 ? 12 : (rng.Chance(0.5) ? 13 : 14);
  race.joken = r <= 3 ? 703 : r <= 8 ? 5 : r <= 10 ? 10 : r == 11 ? 999 : 16;
  race.juryo = race.shubetsu == 12 ? 3 : r == 11 ? 2 : 4;
  race.kigo = "000";
  race.gradeCode = " ";
  race.raceName.clear();
  if (r >= 9 && (s.central || r >= 10)) {
    std::string word = RandomWord(rng, rng.Between(3, 5));
    if (s.central && r == 11) {
      race.gradeCode = rng.Chance(0.3) ? "C" : "L";
      race.raceName = word + std::string(kRaceSuffixes[0]);
    } else {
      race.raceName = word + std::string(kRaceSuffixes[rng.Between(1, 3)]);
    }
  }
}

}  // namespace

TDemoRace BuildDemoRace(std::uint64_t seed, const TDemoRaceSetup& setup) {
  TDemoRace race;
  race.setup = setup;
  TDemoRandom rng(DemoStreamSeed(seed, FormatYmd(setup.date) + setup.course + std::to_string(setup.raceNo)));
  DrawHeader(race, rng);
  race.rates = DemoPayoutRates(setup.course, setup.date, setup.kochiLastRace);

  int n = rng.Between(setup.minRunners, setup.maxRunners);
  if (setup.forceScratch && n < 7) n = 7;
  race.registered = n;
  const auto frames = DemoFrames(n);
  double total = 0;
  for (int i = 0; i < n; ++i) {
    TDemoHorse h;
    h.umaban = i + 1;
    h.waku = frames[static_cast<size_t>(i)];
    h.name = HorseName(rng);
    h.ketto = static_cast<long long>(rng.Between(2017, 2022)) * 1000000 + rng.Between(100000, 199999);
    h.jockey = setup.central ? rng.Between(1000, 1199) : rng.Between(30000, 31999);
    if (rng.Chance(0.03)) h.newJockey = setup.central ? rng.Between(1200, 1299) : rng.Between(32000, 32999);
    double w = 0.3 + rng.Uniform();
    h.strength = w * w * w * w;
    total += h.strength;
    race.horses.push_back(h);
  }
  for (auto& h : race.horses) h.strength /= total;

  // Race-day scratches, only while enough horses stay to run.
  int scratches = setup.forceScratch ? 1 : (rng.Chance(0.08) ? (rng.Chance(0.15) ? 2 : 1) : 0);
  if (n - scratches < 5) scratches = 0;
  for (int k = 0; k < scratches; ++k) {
    int pick = rng.Between(0, n - 1);
    while (!race.horses[static_cast<size_t>(pick)].Runs()) pick = (pick + 1) % n;
    race.horses[static_cast<size_t>(pick)].ijo = rng.Chance(0.7) ? 1 : 2;
  }
  race.starters = n - scratches;

  // Market: the true probabilities seen through the bettors' noise.
  std::vector<double> bias(static_cast<size_t>(n)), early(static_cast<size_t>(n)), market(static_cast<size_t>(n));
  double earlyTotal = 0, marketTotal = 0;
  for (int i = 0; i < n; ++i) {
    bias[static_cast<size_t>(i)] = 0.75 + 0.5 * rng.Uniform();
    early[static_cast<size_t>(i)] =
        race.horses[static_cast<size_t>(i)].strength * bias[static_cast<size_t>(i)] * (0.85 + 0.3 * rng.Uniform());
    earlyTotal += early[static_cast<size_t>(i)];
    if (race.horses[static_cast<size_t>(i)].Runs()) {
      market[static_cast<size_t>(i)] = race.horses[static_cast<size_t>(i)].strength * bias[static_cast<size_t>(i)];
      marketTotal += market[static_cast<size_t>(i)];
    }
  }
  for (auto& v : early) v /= earlyTotal;
  for (auto& v : market) v /= marketTotal;
  double voteScale =
      (setup.central ? 300000.0 : 20000.0) * (setup.raceNo >= 11 ? 2.5 : 1.0) * (0.6 + 0.8 * rng.Uniform());
  race.early = MakeOdds(race, early, rng, 0.15, voteScale * 0.55);
  race.final = MakeOdds(race, market, rng, 0.08, voteScale);

  // Finishing order, drawn from the true probabilities of the horses that run.
  std::vector<int> left;
  for (const auto& h : race.horses)
    if (h.Runs()) left.push_back(h.umaban);
  int position = 0;
  while (!left.empty()) {
    double sum = 0;
    for (int u : left) sum += race.horses[static_cast<size_t>(u - 1)].strength;
    double x = rng.Uniform() * sum;
    size_t chosen = left.size() - 1;
    for (size_t i = 0; i < left.size(); ++i) {
      x -= race.horses[static_cast<size_t>(left[i] - 1)].strength;
      if (x < 0) {
        chosen = i;
        break;
      }
    }
    race.horses[static_cast<size_t>(left[chosen] - 1)].chakujun = ++position;
    left.erase(left.begin() + static_cast<long>(chosen));
  }
  if ((setup.forceDeadHeat || rng.Chance(0.03)) && race.starters >= 4) {
    int kind = rng.Between(1, 3);
    race.deadHeat = static_cast<TDemoDeadHeat>(kind);
    for (auto& h : race.horses)
      if (h.chakujun == kind + 1) h.chakujun = kind;
  }
  SettlePayouts(race);
  SettleRefunds(race);
  return race;
}

std::array<double, 10> DemoPayoutRates(const std::string& course, const TDateTime& date, bool kochiLastRace) {
  std::array<double, 10> r;
  r.fill(73.8);
  r[0] = 0;
  int code = 0;
  try {
    code = std::stoi(course);
  } catch (...) {
    code = 0;
  }
  auto on = [&](int y, int m, int d) { return date >= MakeDate(y, m, d); };
  auto set = [&](std::array<double, 10> v) {
    for (int i = 1; i <= 9; ++i)
      if (v[static_cast<size_t>(i)] > 0) r[static_cast<size_t>(i)] = v[static_cast<size_t>(i)];
  };
  const bool apr2014 = on(2014, 4, 1);
  if (code >= 0 && code <= 10) {
    if (!on(2014, 6, 7))
      set({0, 78.8, 78.8});
    else
      set({0, 80, 80, 77.5, 0, 77.5, 77.5, 75, 75, 72.5});
  } else if (!apr2014) {
  } else if (code == 33 || code == 83) {
    set({0, 80, 80, 0, 0, 75, 0, 75, 72.5, 72.5});
  } else if (code == 30 || code == 58) {
    set({0, 80, 80, 75, 0, 75, 80, 75, 70, 70});
  } else if (code == 35 || code == 36 || code == 47 || code == 48) {
    set({0, 80, 80, 75, 0, 75, 75, 75, 72.5, 72.5});
  } else if (code == 44 && !on(2014, 4, 20)) {
    set({0, 75, 75, 75, 75, 75, 75, 75, 75, 75});
  } else if ((code >= 42 && code <= 45) || code == 46) {
    set({0, 80, 80, 75, 75, 75, 75, 75, 72.5, 72.5});
  } else if (code == 50) {
    if (!on(2015, 4, 1))
      set({0, 80, 80, 77.5, 0, 77.5, 77.5, 75, 75, 72.5});
    else
      set({0, 80, 80, 75, 0, 77.5, 75, 75, 72.5, 72.5});
  } else if (code == 54) {
    set({0, 80, 80, 75, 0, 75, 75, 75, 72.5, 72.5});
    if (on(2014, 6, 7) && kochiLastRace) r[9] = 77.0;
  } else if (code == 55) {
    set({0, 80, 80, 75, 0, 75, 75, 75, 75, 72.5});
  }
  return r;
}

int DemoRateSlot(int betType) {
  static constexpr int kSlot[] = {0, 1, 2, 3, 5, 6, 7, 8, 9};
  return betType >= 1 && betType <= kDemoBetTypes ? kSlot[betType] : 0;
}

std::vector<int> DemoFrames(int registered) {
  std::vector<int> frames;
  if (registered <= 8) {
    for (int h = 1; h <= registered; ++h) frames.push_back(h);
    return frames;
  }
  // The outer frames take the extra horses: 18 horses give 2, 2, 2, 2, 2, 2, 3, 3.
  const int base = registered / 8, extra = registered % 8;
  for (int f = 1; f <= 8; ++f) {
    int count = base + (f > 8 - extra ? 1 : 0);
    for (int i = 0; i < count; ++i) frames.push_back(f);
  }
  return frames;
}

long long DemoSharedPayoutYen(const std::vector<double>& winnerOdds, size_t index, int places) {
  double inverse = 0;
  for (double o : winnerOdds) inverse += 1.0 / o;
  const double w = static_cast<double>(winnerOdds.size());
  const double payout = 1.0 + winnerOdds[index] * (places - inverse) / w;
  long long yen = static_cast<long long>(std::floor(payout * 10.0)) * 10;
  return yen < 100 ? 100 : yen;
}

int DemoFukuKey(int starters) { return starters < 5 ? 0 : starters <= 7 ? 2 : 3; }

}  // namespace zelk
