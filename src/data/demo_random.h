#pragma once
// Seeded pseudo-random numbers for the demo season (splitmix64). Written out here rather than
// taken from <random> so that the same seed gives the same season with every library version.
#include <cstdint>
#include <string_view>

namespace zelk {

class TDemoRandom {
 public:
  explicit TDemoRandom(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

  // Uniform in [0, 1), 53 bits.
  double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

  // Uniform integer in [lo, hi].
  int Between(int lo, int hi) {
    const auto span = static_cast<std::uint64_t>(hi - lo + 1);
    return lo + static_cast<int>(Next() % span);
  }

  // True with probability p.
  bool Chance(double p) { return Uniform() < p; }

 private:
  std::uint64_t state_;
};

// Seed of one independent stream: mixes the season seed with a label (date, course, race ...),
// so that one race's content does not depend on how many races were drawn before it.
inline std::uint64_t DemoStreamSeed(std::uint64_t seed, std::string_view label) {
  std::uint64_t h = 0xCBF29CE484222325ULL ^ seed;
  for (unsigned char c : label) {
    h ^= c;
    h *= 0x100000001B3ULL;
  }
  TDemoRandom mix(h);
  return mix.Next();
}

}  // namespace zelk
