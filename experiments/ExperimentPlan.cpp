#include "ExperimentPlan.h"

#include <algorithm>
#include <charconv>

#include "ReadyLists.h"

namespace TreeExperiments {

namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The comma-separated pieces, blanks around each dropped.
std::vector<std::string_view> Pieces(std::string_view text) {
  std::vector<std::string_view> pieces;
  for (std::size_t start = 0;;) {
    const auto comma = text.find(',', start);
    pieces.push_back(Trim(text.substr(start, comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return pieces;
}

std::optional<long long> Whole(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::variant<std::vector<ListKind>, std::string> ReadKinds(std::string_view text) {
  std::vector<ListKind> kinds;
  for (const std::string_view piece : Pieces(text)) {
    const auto kind = KindNamed(piece);
    if (!kind)
      return "treetest: --kinds takes random, ascending, descending, zigzag or duplicates, not '" +
             std::string(piece) + "'";
    if (std::find(kinds.begin(), kinds.end(), *kind) == kinds.end()) kinds.push_back(*kind);
  }
  return kinds;
}

std::variant<std::vector<int>, std::string> ReadSizes(std::string_view text) {
  std::vector<int> sizes;
  for (const std::string_view piece : Pieces(text)) {
    const auto size = Whole(piece);
    if (!size || *size < 1 || *size > MaxSize)
      return "treetest: --sizes takes whole numbers from 1 to 32767, not '" + std::string(piece) +
             "'";
    sizes.push_back(static_cast<int>(*size));
  }
  std::sort(sizes.begin(), sizes.end());
  sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
  return sizes;
}

std::variant<int, std::string> ReadRepeats(std::string_view text) {
  const auto repeats = Whole(Trim(text));
  if (!repeats || *repeats < 1 || *repeats > MaxRepeats)
    return "treetest: --repeat takes a whole number from 1 to 10000, not '" + std::string(text) +
           "'";
  return static_cast<int>(*repeats);
}

std::variant<std::uint32_t, std::string> ReadSeedText(std::string_view text) {
  if (const auto seed = TreeCommands::ReadSeed(text)) return *seed;
  return "treetest: --seed takes a whole number from 0 to 4294967295, not '" + std::string(text) +
         "'";
}

std::vector<ListId> PlanLists(const Settings& settings) {
  std::vector<ListId> lists;
  for (const ListKind kind : settings.Kinds)
    for (const int size : settings.Sizes)
      for (int r = 1; r <= (IsDrawn(kind) ? settings.Repeats : 1); ++r)
        lists.push_back({kind, size, r});
  return lists;
}

std::optional<ListResult> RunList(const ListId& id, const Settings& settings,
                                  const std::atomic<bool>* cancel) {
  const std::vector<std::int16_t> values = MakeList(id.Kind, id.Size, settings.Seed, id.Repeat);
  const TreeTrace::ListCompare run =
      TreeTrace::CompareList(values, cancel, settings.Scheme, settings.Avl);
  if (run.Cancelled) return std::nullopt;
  ListResult result{id, {}, {}};
  if (settings.Scheme)
    result.Scheme =
        TreeFigures{run.Scheme.Levels, run.Scheme.Rotations, run.Scheme.FixUps, run.SchemeMs};
  if (settings.Avl) result.Avl = TreeFigures{run.Avl.Levels, run.Avl.Rotations, 0, run.AvlMs};
  return result;
}

}  // namespace TreeExperiments
