// Lists of the shapes that drive the balancing differently, for the tests
// that run one engine setting against another.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace EngineTest {

inline constexpr int ShapeCount = 6;
inline constexpr const char* ShapeNames[ShapeCount] = {"random",  "ascending",  "descending",
                                                       "zig-zag", "few values", "up then down"};

inline std::vector<std::int16_t> Shaped(int shape, int n, std::mt19937& rng) {
  std::vector<std::int16_t> v(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    int x = 0;
    switch (shape) {
      case 0:
        x = static_cast<int>(rng() % 20000) - 10000;
        break;  // random
      case 1:
        x = i;
        break;  // ascending
      case 2:
        x = n - i;
        break;  // descending
      case 3:
        x = i % 2 ? i : n - i;
        break;  // zig-zag
      case 4:
        x = static_cast<int>(rng() % 7);
        break;  // few distinct values
      default:
        x = i < n / 2 ? i : -i;
        break;  // up, then down
    }
    v[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(x);
  }
  return v;
}

}  // namespace EngineTest
