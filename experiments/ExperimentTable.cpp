#include "ExperimentTable.h"

#include <algorithm>
#include <charconv>
#include <numeric>

namespace TreeExperiments {

std::string_view TreeText(TreeName tree) {
  return tree == TreeName::Scheme ? "scheme" : "avl";
}

std::string Millis(double ms) {
  char text[32];
  const auto end =
      std::to_chars(text, text + sizeof text, std::max(ms, 0.0), std::chars_format::fixed, 3).ptr;
  return std::string(text, end);
}

std::string CsvRow(const ListId& id, TreeName tree, const TreeFigures& figures) {
  std::string row = std::string(KindName(id.Kind)) + ',' + std::to_string(id.Size) + ',' +
                    std::to_string(id.Repeat) + ',' + std::string(TreeText(tree)) + ',' +
                    std::to_string(figures.Levels);
  for (const std::uint32_t count : figures.Rotations) row += ',' + std::to_string(count);
  row += ',';
  if (tree == TreeName::Scheme) row += std::to_string(figures.FixUps);
  return row + ',' + Millis(figures.Ms);
}

std::string CsvRows(const ListResult& result) {
  std::string rows;
  if (result.Scheme) rows += CsvRow(result.Id, TreeName::Scheme, *result.Scheme) + '\n';
  if (result.Avl) rows += CsvRow(result.Id, TreeName::Avl, *result.Avl) + '\n';
  return rows;
}

std::string ListLine(const ListId& id, std::span<const std::int16_t> values) {
  std::string line = std::string(KindName(id.Kind)) + ',' + std::to_string(id.Size) + ',' +
                     std::to_string(id.Repeat) + ':';
  line.reserve(line.size() + values.size() * 7);
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i) line += ',';
    line += std::to_string(values[i]);
  }
  return line;
}

double MeasureOf(const TreeFigures& figures, int size, Measure measure) {
  const double n = std::max(size, 1);
  switch (measure) {
    case Measure::Levels:
      return figures.Levels;
    case Measure::Rotations:
      return std::accumulate(figures.Rotations.begin(), figures.Rotations.end(), 0.0) / n;
    case Measure::RR:
    case Measure::RL:
    case Measure::LL:
    case Measure::LR:
      return figures.Rotations[static_cast<std::size_t>(measure) -
                               static_cast<std::size_t>(Measure::RR)] /
             n;
    case Measure::FixUps:
      return figures.FixUps / n;
    case Measure::Micros:
      return figures.Ms * 1000.0 / n;
  }
  return 0;
}

void Aggregate::Add(const ListResult& result) {
  const auto add = [&](TreeName tree, const TreeFigures& figures) {
    Sums& s = sums_[{result.Id.Kind, result.Id.Size, tree}];
    for (std::size_t m = 0; m < MeasureCount; ++m) {
      const double v = MeasureOf(figures, result.Id.Size, static_cast<Measure>(m));
      s.sum[m] += v;
      s.min[m] = s.count == 0 ? v : std::min(s.min[m], v);
      s.max[m] = s.count == 0 ? v : std::max(s.max[m], v);
    }
    ++s.count;
  };
  if (result.Scheme) add(TreeName::Scheme, *result.Scheme);
  if (result.Avl) add(TreeName::Avl, *result.Avl);
}

Aggregate::Stats Aggregate::StatsOf(const Sums& sums) {
  Stats stats;
  for (std::size_t m = 0; m < MeasureCount; ++m)
    stats[m] = {sums.sum[m] / sums.count, sums.min[m], sums.max[m], sums.count};
  return stats;
}

std::map<Aggregate::Key, Aggregate::Stats> Aggregate::All() const {
  std::map<Key, Stats> all;
  for (const auto& [key, sums] : sums_) all.emplace(key, StatsOf(sums));
  return all;
}

Stat Aggregate::Of(const Key& key, Measure measure) const {
  const auto it = sums_.find(key);
  if (it == sums_.end()) return {};
  return StatsOf(it->second)[static_cast<std::size_t>(measure)];
}

}  // namespace TreeExperiments
