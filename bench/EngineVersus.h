// The two sides of engine_versus.sh: one Get Tree's insertions, timed, on
// the engine each side is compiled against.
#pragma once

#include <cstdint>
#include <vector>

struct VersusRun {
  double Milliseconds = 0;  // CPU time of the insertions
  std::uint64_t Table = 0;  // a hash of the node table they built
};

VersusRun RunBefore(const std::vector<std::int16_t>& values);
VersusRun RunAfter(const std::vector<std::int16_t>& values);
