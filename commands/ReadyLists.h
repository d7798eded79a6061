// Ready-made lists for trying the balancing on its hard cases: random,
// ascending, descending, zig-zag and many equal values.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace TreeCommands {

enum class ReadyList { Random, Ascending, Descending, ZigZag, ManyEqual };

inline constexpr int DefaultReadyCount = 15;
inline constexpr int MaxReadyCount = 32767;
// Random values are distinct and lie in -999..999.
inline constexpr int RandomLow = -999;
inline constexpr int RandomHigh = 999;
inline constexpr int MaxRandomCount = RandomHigh - RandomLow + 1;

// The count a user typed: a whole number in 1..32767 (1..1999 for the random
// list, which has no more distinct values to give); otherwise the message
// that says why not.
std::variant<int, std::string> ReadCount(std::string_view text, ReadyList kind);
// A seed the user typed: a whole number in 0..4294967295.
std::optional<std::uint32_t> ReadSeed(std::string_view text);

// The list itself; `count` must have passed ReadCount. The random list
// depends on `seed` alone, the same on every machine.
std::vector<std::int16_t> MakeReadyList(ReadyList kind, int count, std::uint32_t seed = 0);

// A uniform draw in 0..bound-1 (bound > 0) from the raw generator: the
// standard distributions may differ between libraries, this does not.
std::uint32_t DrawBelow(std::mt19937& rng, std::uint32_t bound);

// The list as the Get Tree box shows it: "1, 2, 3".
std::string ListText(const std::vector<std::int16_t>& values);

}  // namespace TreeCommands
