#include "ReadyLists.h"

#include <charconv>
#include <numeric>
#include <random>

namespace TreeCommands {

namespace {

std::optional<std::uint64_t> ReadWhole(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::uint32_t DrawBelow(std::mt19937& rng, std::uint32_t bound) {
  const std::uint32_t limit = UINT32_MAX - UINT32_MAX % bound;
  std::uint32_t draw;
  do draw = static_cast<std::uint32_t>(rng());
  while (draw >= limit);
  return draw % bound;
}

std::variant<int, std::string> ReadCount(std::string_view text, ReadyList kind) {
  const int most = kind == ReadyList::Random ? MaxRandomCount : MaxReadyCount;
  const std::string range = "Please enter a whole number from 1 to " + std::to_string(most);
  const auto value = ReadWhole(text);
  if (!value || *value < 1 || *value > static_cast<std::uint64_t>(most)) {
    if (kind == ReadyList::Random && value && *value > static_cast<std::uint64_t>(most))
      return range + ": the range -999..999 holds no more distinct values.";
    return range + ".";
  }
  return static_cast<int>(*value);
}

std::optional<std::uint32_t> ReadSeed(std::string_view text) {
  const auto value = ReadWhole(text);
  if (!value || *value > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(*value);
}

std::vector<std::int16_t> MakeReadyList(ReadyList kind, int count, std::uint32_t seed) {
  std::vector<std::int16_t> values;
  if (count < 1) return values;
  values.reserve(static_cast<std::size_t>(count));
  switch (kind) {
    case ReadyList::Random: {
      // The first `count` values of a seeded shuffle of -999..999.
      std::vector<std::int16_t> pool(MaxRandomCount);
      std::iota(pool.begin(), pool.end(), static_cast<std::int16_t>(RandomLow));
      std::mt19937 rng(seed);
      const int n = std::min(count, MaxRandomCount);
      for (int i = 0; i < n; ++i) {
        const auto j =
            i + static_cast<int>(DrawBelow(rng, static_cast<std::uint32_t>(MaxRandomCount - i)));
        std::swap(pool[static_cast<std::size_t>(i)], pool[static_cast<std::size_t>(j)]);
        values.push_back(pool[static_cast<std::size_t>(i)]);
      }
      break;
    }
    case ReadyList::Ascending:
      for (int v = 1; v <= count; ++v) values.push_back(static_cast<std::int16_t>(v));
      break;
    case ReadyList::Descending:
      for (int v = count; v >= 1; --v) values.push_back(static_cast<std::int16_t>(v));
      break;
    case ReadyList::ZigZag:
      for (int low = 1, high = count; low <= high; ++low, --high) {
        values.push_back(static_cast<std::int16_t>(low));
        if (high != low) values.push_back(static_cast<std::int16_t>(high));
      }
      break;
    case ReadyList::ManyEqual:
      // Three values only, in the order 2, 1, 3: equal values arrive again
      // and again on both sides of the first.
      for (int i = 0; i < count; ++i) {
        static constexpr std::int16_t cycle[3] = {2, 1, 3};
        values.push_back(cycle[i % 3]);
      }
      break;
  }
  return values;
}

std::string ListText(const std::vector<std::int16_t>& values) {
  std::string text;
  text.reserve(values.size() * 6);
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) text += ", ";
    text += std::to_string(values[i]);
  }
  return text;
}

}  // namespace TreeCommands
