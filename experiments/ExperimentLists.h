// The lists an experiment runs: five kinds, each size, each repeat, every one
// reproducible from the experiment's seed on any machine.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace TreeExperiments {

enum class ListKind : std::uint8_t { Random, Ascending, Descending, ZigZag, Duplicates };

inline constexpr std::array<ListKind, 5> AllKinds = {ListKind::Random, ListKind::Ascending,
                                                     ListKind::Descending, ListKind::ZigZag,
                                                     ListKind::Duplicates};
inline constexpr int MaxSize = 32767;
inline constexpr int DefaultRepeats = 20;
inline constexpr std::uint32_t DefaultSeed = 1;

// "random", "ascending", "descending", "zigzag", "duplicates".
std::string_view KindName(ListKind kind);
std::optional<ListKind> KindNamed(std::string_view name);
// The kinds drawn at random, which are repeated; the others run once.
constexpr bool IsDrawn(ListKind kind) {
  return kind == ListKind::Random || kind == ListKind::Duplicates;
}

// 2^k - 1 for k = 1..15: full trees are possible at each.
std::vector<int> DefaultSizes();

// The list of `kind` with `size` values (1..MaxSize); a drawn kind's values
// come from a generator of its own, seeded from (seed, kind, size, repeat).
std::vector<std::int16_t> MakeList(ListKind kind, int size, std::uint32_t seed, int repeat);

// The fewest levels n values can take, ceil(log2(n + 1)), and the most an AVL
// tree of n values can have: the largest h with F(h + 2) - 1 <= n.
int LeastLevels(int n);
int AvlWorstLevels(int n);

}  // namespace TreeExperiments
