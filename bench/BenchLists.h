// The lists the engine benchmarks insert: the values from -16384 up, as they
// come, reversed, or shuffled with a fixed seed.
#pragma once

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

namespace BenchLists {

enum Order { Random, Ascending, Descending };

inline std::vector<std::int16_t> Values(std::int64_t count, Order order) {
  std::vector<std::int16_t> v(static_cast<std::size_t>(count));
  std::iota(v.begin(), v.end(), static_cast<std::int16_t>(-16384));
  if (order == Descending) std::reverse(v.begin(), v.end());
  if (order == Random) std::shuffle(v.begin(), v.end(), std::mt19937(12345));
  return v;
}

}  // namespace BenchLists
