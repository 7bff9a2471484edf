#pragma once
// Checks a link store written by the demo season from its files alone: record lengths, every
// race card with its entries and odds, payouts that follow the finishing order and the final
// odds lines, refunds of scratched horses, and real-time answers for the races still at the
// race-card stage.
#include <filesystem>
#include <string>
#include <vector>

namespace zelk {

struct TDemoCheck {
  std::vector<std::string> problems;  // empty when the link store is sound
  int records = 0;
  int settledRaces = 0;   // races whose results and payouts are in the stored data
  int realtimeRaces = 0;  // races at the race-card stage whose results are in the real-time answers
  int deadHeats = 0;
  int scratchedHorses = 0;
  int supersededOdds = 0;  // intermediate odds lines replaced by a later final line
  bool Ok() const { return problems.empty(); }
};

// Checks one link store folder (linkstore/JV or linkstore/NV).
TDemoCheck CheckDemoLinkStore(const std::filesystem::path& linkDir);

}  // namespace zelk
