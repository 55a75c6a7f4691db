// A small seeded random source (splitmix64) for the random faults, so that a
// run with the same seed draws the same delays and losses on every machine.
#pragma once

#include <cstdint>

namespace modemsim {

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

  // A whole number in [least, most]; `least` when the range is empty.
  int Between(int least, int most) {
    if (most <= least) return least;
    return least + static_cast<int>(Next() % static_cast<uint64_t>(most - least + 1));
  }

 private:
  uint64_t state_;
};

}  // namespace modemsim
