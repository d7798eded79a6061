#include "ExperimentLists.h"

#include <algorithm>
#include <numeric>
#include <random>

#include "ReadyLists.h"

namespace TreeExperiments {

namespace {

constexpr std::array<std::string_view, 5> Names = {"random", "ascending", "descending", "zigzag",
                                                   "duplicates"};

// seed_seq's mixing and mt19937's seeding are fixed by the standard, so the
// generator is the same everywhere; the kind enters by its place in AllKinds.
std::mt19937 ListGenerator(ListKind kind, int size, std::uint32_t seed, int repeat) {
  std::seed_seq seq{seed, static_cast<std::uint32_t>(kind), static_cast<std::uint32_t>(size),
                    static_cast<std::uint32_t>(repeat)};
  return std::mt19937(seq);
}

}  // namespace

std::string_view KindName(ListKind kind) {
  return Names[static_cast<std::size_t>(kind)];
}

std::optional<ListKind> KindNamed(std::string_view name) {
  const auto it = std::find(Names.begin(), Names.end(), name);
  if (it == Names.end()) return std::nullopt;
  return static_cast<ListKind>(it - Names.begin());
}

std::vector<int> DefaultSizes() {
  std::vector<int> sizes;
  for (int k = 1; k <= 15; ++k) sizes.push_back((1 << k) - 1);
  return sizes;
}

std::vector<std::int16_t> MakeList(ListKind kind, int size, std::uint32_t seed, int repeat) {
  std::vector<std::int16_t> values;
  if (size < 1) return values;
  values.reserve(static_cast<std::size_t>(size));
  switch (kind) {
    case ListKind::Random: {
      // The first `size` values of a shuffle of every value a list may hold.
      constexpr int Low = -32768, Count = 65536;
      std::vector<std::int16_t> pool(Count);
      for (int i = 0; i < Count; ++i)
        pool[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(Low + i);
      std::mt19937 rng = ListGenerator(kind, size, seed, repeat);
      for (int i = 0; i < size; ++i) {
        const auto j =
            static_cast<std::size_t>(i + static_cast<int>(TreeCommands::DrawBelow(
                                             rng, static_cast<std::uint32_t>(Count - i))));
        std::swap(pool[static_cast<std::size_t>(i)], pool[j]);
        values.push_back(pool[static_cast<std::size_t>(i)]);
      }
      break;
    }
    case ListKind::Ascending:
      for (int v = 1; v <= size; ++v) values.push_back(static_cast<std::int16_t>(v));
      break;
    case ListKind::Descending:
      for (int v = size; v >= 1; --v) values.push_back(static_cast<std::int16_t>(v));
      break;
    case ListKind::ZigZag:
      for (int i = 0; i < size; ++i)
        values.push_back(static_cast<std::int16_t>(i % 2 == 0 ? i / 2 + 1 : size - (i - 1) / 2));
      break;
    case ListKind::Duplicates: {
      const auto bound = static_cast<std::uint32_t>(std::max(1, size / 4));
      std::mt19937 rng = ListGenerator(kind, size, seed, repeat);
      for (int i = 0; i < size; ++i)
        values.push_back(static_cast<std::int16_t>(1 + TreeCommands::DrawBelow(rng, bound)));
      break;
    }
  }
  return values;
}

int LeastLevels(int n) {
  int levels = 0;
  for (long long full = 0; full < n; full = 2 * full + 1) ++levels;
  return levels;
}

int AvlWorstLevels(int n) {
  // Fewest nodes of an AVL tree h levels high: F(h + 2) - 1.
  long long fewerLevels = 0, fewest = 1;  // h = 0 and h = 1
  int h = 0;
  while (fewest <= n) {
    ++h;
    const long long next = fewest + fewerLevels + 1;
    fewerLevels = fewest;
    fewest = next;
  }
  return h;
}

}  // namespace TreeExperiments
