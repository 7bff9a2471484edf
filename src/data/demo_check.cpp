#include "data/demo_check.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <set>

#include "common/text_file.h"
#include "data/demo_race.h"
#include "data/demo_records.h"

namespace zelk {

namespace {

using TCombo = std::array<int, 3>;

int Digits(const std::string& line, size_t offset, size_t length) {
  if (offset + length > line.size()) return -1;
  int v = 0;
  for (size_t i = offset; i < offset + length; ++i) {
    if (line[i] < '0' || line[i] > '9') return -1;
    v = v * 10 + (line[i] - '0');
  }
  return v;
}

std::string RaceKey(const std::string& line) { return line.substr(11, 8) + line.substr(19, 2) + line.substr(25, 2); }

struct TRaceFiles {
  std::string card;      // RA of the race card
  std::string resultRa;  // RA with results (stored or real-time)
  std::vector<std::string> resultSe;
  std::vector<std::string> cardSe;
  std::string hr;
  bool resultsInRealtime = false;
  std::array<std::string, 7> finalOdds;  // [1..6], latest final line
  std::array<std::string, 7> earlyOdds;  // [1..6], intermediate line
};

// Layout of one bet type's odds slots within its line.
struct TSlotLayout {
  int oddsKind;
  size_t first, count, width;
  int numbers, numberWidth, oddsWidth;
  bool twoOdds;
};
constexpr TSlotLayout kSlots[] = {
    {0, 0, 0, 0, 0, 0, 0, false},     {1, 43, 28, 8, 1, 2, 4, false},   {1, 267, 28, 12, 1, 2, 4, true},
    {1, 603, 36, 9, 2, 1, 5, false},  {2, 40, 153, 13, 2, 2, 6, false}, {3, 40, 153, 17, 2, 2, 5, true},
    {4, 40, 306, 13, 2, 2, 6, false}, {5, 40, 816, 15, 3, 2, 6, false}, {6, 40, 4896, 17, 3, 2, 7, false}};

struct TSlot {
  TCombo combo{};
  std::string odds;  // the odds field(s) as written
};

std::vector<TSlot> SlotsOf(const std::string& line, int type) {
  const auto& l = kSlots[type];
  std::vector<TSlot> slots;
  for (size_t i = 0; i < l.count; ++i) {
    size_t at = l.first + i * l.width;
    if (line[at] == ' ') continue;
    TSlot s;
    for (int k = 0; k < l.numbers; ++k) {
      s.combo[static_cast<size_t>(k)] = Digits(line, at, static_cast<size_t>(l.numberWidth));
      at += static_cast<size_t>(l.numberWidth);
    }
    s.odds = line.substr(at, static_cast<size_t>(l.oddsWidth * (l.twoOdds ? 2 : 1)));
    slots.push_back(s);
  }
  return slots;
}

// Combinations that win under every order of the runners consistent with their places.
std::set<TCombo> ExpectedWinners(int type, const std::map<int, int>& place, const std::map<int, int>& frame,
                                 int fukuKey) {
  std::vector<std::pair<int, int>> runners;  // (place, horse)
  for (auto [h, p] : place) runners.emplace_back(p, h);
  std::sort(runners.begin(), runners.end());
  std::vector<std::vector<int>> orders(1);
  for (auto [p, h] : runners) orders[0].push_back(h);
  for (size_t i = 0; i + 1 < runners.size() && i < 3; ++i)
    if (runners[i].first == runners[i + 1].first) {
      auto o = orders[0];
      std::swap(o[i], o[i + 1]);
      orders.push_back(o);
    }
  std::set<TCombo> won;
  auto unordered = [](std::vector<int> v) {
    std::sort(v.begin(), v.end());
    TCombo c{};
    for (size_t i = 0; i < v.size(); ++i) c[i] = v[i];
    return c;
  };
  for (const auto& o : orders) {
    switch (type) {
      case 1:
        won.insert({o[0], 0, 0});
        break;
      case 2:
        for (int i = 0; i < fukuKey; ++i) won.insert({o[static_cast<size_t>(i)], 0, 0});
        break;
      case 3:
        won.insert(unordered({frame.at(o[0]), frame.at(o[1])}));
        break;
      case 4:
        won.insert(unordered({o[0], o[1]}));
        break;
      case 5:
        won.insert(unordered({o[0], o[1]}));
        won.insert(unordered({o[0], o[2]}));
        won.insert(unordered({o[1], o[2]}));
        break;
      case 6:
        won.insert({o[0], o[1], 0});
        break;
      case 7:
        won.insert(unordered({o[0], o[1], o[2]}));
        break;
      case 8:
        won.insert({o[0], o[1], o[2]});
        break;
    }
  }
  return won;
}

struct THrSlots {
  size_t first, count, width;
  int numbers, numberWidth;
};
constexpr THrSlots kHr[] = {{0, 0, 0, 0, 0},    {102, 3, 13, 1, 2}, {141, 5, 13, 1, 2},
                            {206, 3, 13, 2, 1}, {245, 3, 16, 2, 2}, {293, 7, 16, 2, 2},
                            {453, 6, 16, 2, 2}, {549, 3, 18, 3, 2}, {603, 6, 19, 3, 2}};
constexpr size_t kRefundFlagAt[] = {0, 49, 50, 51, 52, 53, 55, 56, 57};

class TChecker {
 public:
  explicit TChecker(TDemoCheck& out) : out_(out) {}

  void Problem(const std::string& key, const std::string& text) { out_.problems.push_back(key + ": " + text); }

  void CheckSettled(const std::string& key, const TRaceFiles& r) {
    const std::string& ra = r.resultRa;
    const int registered = Digits(ra, 881, 2), starters = Digits(ra, 883, 2);
    if (static_cast<int>(r.resultSe.size()) != registered) Problem(key, "entries differ from the registered count");
    for (int k = 1; k <= 6; ++k)
      if (r.finalOdds[static_cast<size_t>(k)].empty()) Problem(key, "no final O" + std::to_string(k) + " line");
    if (r.hr.empty()) {
      Problem(key, "no payouts");
      return;
    }
    if (!out_.problems.empty() && out_.problems.back().rfind(key, 0) == 0) return;
    const std::string& hr = r.hr;
    const std::string& o1 = r.finalOdds[1];
    if (Digits(hr, 27, 2) != registered || Digits(hr, 29, 2) != starters) Problem(key, "payout counts differ");

    std::map<int, int> place, frame;
    int scratched = 0;
    const auto tanSlots = SlotsOf(o1, 1);
    for (const auto& se : r.resultSe) {
      const int h = Digits(se, 28, 2), ijo = Digits(se, 331, 1), pos = Digits(se, 334, 2);
      frame[h] = Digits(se, 27, 1);
      const bool refunded = hr[57 + static_cast<size_t>(h)] == '1';
      if (ijo == 1 || ijo == 2) {
        ++scratched;
        ++out_.scratchedHorses;
        if (pos != 0) Problem(key, "scratched horse with a place");
        if (!refunded || hr[kRefundFlagAt[1]] != '1') Problem(key, "scratched horse not refunded");
        for (const auto& s : tanSlots)
          if (s.combo[0] == h && s.odds.find('-') == std::string::npos) Problem(key, "scratched horse has odds");
      } else {
        if (refunded) Problem(key, "running horse refunded");
        if (pos < 1) Problem(key, "running horse without a place");
        place[h] = pos;
      }
    }
    if (registered - scratched != starters) Problem(key, "starters differ from the runners");
    if (place.size() < 3) return;

    const int fukuKey = Digits(o1, 42, 1);
    bool deadHeat = false;
    for (int type = 1; type <= kDemoBetTypes; ++type) {
      if (type == 3 && o1[41] != '7') continue;
      const auto expected = ExpectedWinners(type, place, frame, fukuKey);
      const auto& l = kHr[type];
      std::vector<std::pair<TCombo, long long>> paid;
      for (size_t i = 0; i < l.count; ++i) {
        size_t at = l.first + i * l.width;
        const size_t numberBytes = static_cast<size_t>(l.numbers * l.numberWidth);
        const int yen = Digits(hr, at + numberBytes, 9);
        if (yen <= 0) break;
        TCombo c{};
        for (int k = 0; k < l.numbers; ++k)
          c[static_cast<size_t>(k)] =
              Digits(hr, at + static_cast<size_t>(k * l.numberWidth), static_cast<size_t>(l.numberWidth));
        paid.emplace_back(c, yen);
      }
      std::set<TCombo> paidSet;
      for (const auto& p : paid) paidSet.insert(p.first);
      if (paidSet != expected || paid.size() != expected.size()) {
        Problem(key, "winners of bet type " + std::to_string(type) + " do not follow the finishing order");
        continue;
      }
      const int places = type == 2 ? fukuKey : type == 5 ? 3 : 1;
      if (static_cast<int>(paid.size()) != places) deadHeat = true;
      CheckPayouts(key, type, paid, places, r.finalOdds[static_cast<size_t>(kSlots[type].oddsKind)]);
    }
    if (deadHeat) ++out_.deadHeats;
  }

  void CheckPayouts(const std::string& key, int type, const std::vector<std::pair<TCombo, long long>>& paid, int places,
                    const std::string& oddsLine) {
    std::map<TCombo, std::string> odds;
    for (const auto& s : SlotsOf(oddsLine, type)) odds[s.combo] = s.odds;
    const auto& l = kSlots[type];
    std::vector<double> winnerOdds;
    for (const auto& [c, yen] : paid) {
      auto it = odds.find(c);
      if (it == odds.end() || it->second.find('-') != std::string::npos) {
        Problem(key, "winner of bet type " + std::to_string(type) + " without odds");
        return;
      }
      winnerOdds.push_back(Digits(it->second, 0, static_cast<size_t>(l.oddsWidth)) / 10.0);
    }
    const bool deadHeat = static_cast<int>(paid.size()) != places;
    for (size_t i = 0; i < paid.size(); ++i) {
      const std::string& o = odds[paid[i].first];
      const long long yen = paid[i].second;
      const int lo = Digits(o, 0, static_cast<size_t>(l.oddsWidth));
      bool good;
      if (l.twoOdds) {
        const int hi = Digits(o, static_cast<size_t>(l.oddsWidth), static_cast<size_t>(l.oddsWidth));
        good = deadHeat ? yen >= 100 && yen % 10 == 0 : yen >= lo * 10LL && yen <= hi * 10LL;
      } else {
        good = deadHeat ? yen == DemoSharedPayoutYen(winnerOdds, i, places) : yen == lo * 10LL;
      }
      if (!good) Problem(key, "payout of bet type " + std::to_string(type) + " does not follow its odds");
    }
  }

 private:
  TDemoCheck& out_;
};

}  // namespace

TDemoCheck CheckDemoLinkStore(const std::filesystem::path& linkDir) {
  TDemoCheck out;
  std::map<std::string, TRaceFiles> races;
  std::set<std::string> scratchAnnounced;  // race key + horse from AV lines
  std::set<std::string> realtimeOdds;      // race keys with a 0B30 answer

  auto take = [&](const std::string& line, const std::string& where, bool realtime) {
    ++out.records;
    const std::string kind = line.substr(0, 2);
    const int length = DemoLineLength(kind);
    if (length == 0 || static_cast<int>(line.size()) != length) {
      out.problems.push_back(where + ": record " + kind + " of length " + std::to_string(line.size()));
      return;
    }
    if (kind == "WE" || kind == "TC" || kind == "CC" || kind == "JC") return;
    const std::string key = RaceKey(line);
    auto& r = races[key];
    const char dk = line[2];
    if (kind == "AV") {
      scratchAnnounced.insert(key + line.substr(35, 2) + dk);
    } else if (kind == "RA") {
      if (dk == '2') {
        if (!realtime) r.card = line;
      } else {
        r.resultRa = line;
        r.resultsInRealtime = realtime;
      }
    } else if (kind == "SE") {
      if (dk != '2')
        r.resultSe.push_back(line);
      else if (!realtime)
        r.cardSe.push_back(line);
    } else if (kind == "HR") {
      r.hr = line;
    } else if (kind[0] == 'O') {
      const size_t k = static_cast<size_t>(kind[1] - '0');
      if (dk == '1') {
        r.earlyOdds[k] = line;
      } else {
        auto& f = r.finalOdds[k];
        if (f.empty() || line.substr(3, 8) + line.substr(27, 8) > f.substr(3, 8) + f.substr(27, 8)) f = line;
      }
    }
  };

  std::vector<std::filesystem::path> serverFiles;
  std::error_code ec;
  if (std::filesystem::is_directory(linkDir / "server" / "RACE", ec))
    for (const auto& e : std::filesystem::directory_iterator(linkDir / "server" / "RACE"))
      serverFiles.push_back(e.path());
  std::sort(serverFiles.begin(), serverFiles.end());
  for (const auto& f : serverFiles) {
    std::set<std::string> kinds;
    for (const auto& line : ReadRawLines(f)) {
      kinds.insert(line.substr(0, 2));
      take(line, f.filename().string(), false);
    }
    if (kinds.size() != 1) out.problems.push_back(f.filename().string() + ": not one record kind");
  }
  for (const char* spec : {"0B15", "0B12", "0B14", "0B30"}) {
    const auto dir = linkDir / "realtime" / spec;
    if (!std::filesystem::is_directory(dir, ec)) continue;
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(dir)) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
      if (std::string(spec) == "0B30") realtimeOdds.insert(f.stem().string());
      for (const auto& line : ReadRawLines(f)) take(line, std::string(spec) + "/" + f.filename().string(), true);
    }
  }

  TChecker checker(out);
  for (const auto& [key, r] : races) {
    if (r.card.empty()) {
      checker.Problem(key, "no race card");
      continue;
    }
    if (static_cast<int>(r.cardSe.size()) != Digits(r.card, 881, 2)) checker.Problem(key, "race card entries missing");
    if (r.resultRa.empty()) {
      checker.Problem(key, "race card without results in the stored or real-time data");
      continue;
    }
    if (r.resultsInRealtime) {
      ++out.realtimeRaces;
      if (!realtimeOdds.count(key)) checker.Problem(key, "no real-time odds answer");
      for (const auto& se : r.resultSe) {
        const char ijo = se[331];
        if ((ijo == '1' || ijo == '2') && !scratchAnnounced.count(key + se.substr(28, 2) + ijo))
          checker.Problem(key, "scratch not announced in the meeting data");
      }
    } else {
      ++out.settledRaces;
    }
    for (size_t k = 1; k <= 6; ++k)
      if (!r.earlyOdds[k].empty() && !r.finalOdds[k].empty()) {
        if (r.earlyOdds[k].substr(27, 8) >= r.finalOdds[k].substr(27, 8))
          checker.Problem(key, "intermediate odds not earlier than the final odds");
        else if (k == 1)
          ++out.supersededOdds;
      }
    checker.CheckSettled(key, r);
  }
  return out;
}

}  // namespace zelk
