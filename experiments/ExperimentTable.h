// An experiment's results as the CSV rows, the --lists lines, and the means,
// minima and maxima the plots draw.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "ExperimentPlan.h"

namespace TreeExperiments {

std::string_view TreeText(TreeName tree);  // "scheme" or "avl"

inline constexpr const char* CsvHeader = "kind,size,repeat,tree,levels,RR,RL,LL,LR,fixups,ms";
// The CSV line of one tree's figures, without the line end; `fixups` empty for AVL.
std::string CsvRow(const ListId& id, TreeName tree, const TreeFigures& figures);
// The result's rows, each ending in a line end: the scheme's before AVL's.
std::string CsvRows(const ListResult& result);
// "kind,size,repeat:v1,v2,...", as --lists writes it.
std::string ListLine(const ListId& id, std::span<const std::int16_t> values);
// Milliseconds with three decimals, whatever the locale.
std::string Millis(double ms);

// What the plots draw, per insertion except Levels.
enum class Measure : std::uint8_t { Levels, Rotations, RR, RL, LL, LR, FixUps, Micros };
inline constexpr std::size_t MeasureCount = 8;

struct Stat {
  double Mean = 0, Min = 0, Max = 0;
  int Count = 0;
};

// Per kind, size and tree, the statistics of each measure over the repeats.
class Aggregate {
 public:
  struct Key {
    ListKind Kind;
    int Size;
    TreeName Tree;
    friend auto operator<=>(const Key&, const Key&) = default;
  };
  using Stats = std::array<Stat, MeasureCount>;

  void Add(const ListResult& result);
  void Clear() { sums_.clear(); }
  // Every key so far, in order (kind, size, tree), with its statistics.
  std::map<Key, Stats> All() const;
  // One key's statistics; Count 0 when none.
  Stat Of(const Key& key, Measure measure) const;

 private:
  struct Sums {
    std::array<double, MeasureCount> sum{}, min{}, max{};
    int count = 0;
  };
  static Stats StatsOf(const Sums& sums);
  std::map<Key, Sums> sums_;
};

// One list's value of `measure` for one tree.
double MeasureOf(const TreeFigures& figures, int size, Measure measure);

}  // namespace TreeExperiments
