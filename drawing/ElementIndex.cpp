#include "ElementIndex.h"

namespace TreeUi {

namespace {

bool Finite(const Box& b) {
  return std::isfinite(b.X0) && std::isfinite(b.Y0) && std::isfinite(b.X1) && std::isfinite(b.Y1);
}

}  // namespace

std::int64_t ElementIndex::Key(double y) const {
  // Far beyond any band: clamped so that the conversion stays defined.
  constexpr double Limit = 4e18;
  const double k = std::floor(y / bandHeight_);
  if (!(k > -Limit)) return static_cast<std::int64_t>(-Limit);
  if (k > Limit) return static_cast<std::int64_t>(Limit);
  return static_cast<std::int64_t>(k);
}

void ElementIndex::Clear() {
  items_.clear();
  bands_.clear();
  tallest_ = 0;
  bandHeight_ = 1;
}

void ElementIndex::Build(std::vector<Item> items) {
  Clear();
  items_ = std::move(items);
  std::erase_if(items_, [](const Item& i) { return !Finite(i.Bounds); });
  for (Item& i : items_) {
    if (i.Bounds.X1 < i.Bounds.X0) std::swap(i.Bounds.X0, i.Bounds.X1);
    if (i.Bounds.Y1 < i.Bounds.Y0) std::swap(i.Bounds.Y0, i.Bounds.Y1);
    tallest_ = std::max(tallest_, i.Bounds.Y1 - i.Bounds.Y0);
  }
  bandHeight_ = std::max(tallest_, 1.0);
  if (items_.empty()) return;

  // Each element's band is worked out once. A drawing has a few dozen rows
  // at most, so the elements are dealt into their bands in one pass and then
  // each band is ordered by left edge; the drawing pass creates the elements
  // of a row from left to right, so that order is usually there already.
  std::vector<std::int64_t> keys(items_.size());
  std::int64_t lowest = 0, highest = 0;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    keys[i] = Key(items_[i].Bounds.Y0);
    lowest = i == 0 ? keys[i] : std::min(lowest, keys[i]);
    highest = i == 0 ? keys[i] : std::max(highest, keys[i]);
  }

  std::vector<Item> sorted(items_.size());
  std::vector<std::int64_t> sortedKeys(items_.size());
  const auto span = static_cast<std::uint64_t>(highest) - static_cast<std::uint64_t>(lowest);
  if (span < items_.size()) {
    std::vector<std::size_t> start(static_cast<std::size_t>(span) + 2, 0);
    for (const std::int64_t k : keys) ++start[static_cast<std::size_t>(k - lowest) + 1];
    for (std::size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
    for (std::size_t i = 0; i < items_.size(); ++i) {
      const std::size_t at = start[static_cast<std::size_t>(keys[i] - lowest)]++;
      sorted[at] = items_[i];
      sortedKeys[at] = keys[i];
    }
  } else {
    // Bands far apart (hand-made boxes): an ordinary sort on the stored keys.
    std::vector<std::size_t> order(items_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    for (std::size_t i = 0; i < order.size(); ++i) {
      sorted[i] = items_[order[i]];
      sortedKeys[i] = keys[order[i]];
    }
  }
  items_ = std::move(sorted);

  auto byLeft = [](const Item& a, const Item& b) { return a.Bounds.X0 < b.Bounds.X0; };
  for (std::size_t begin = 0; begin < items_.size();) {
    std::size_t end = begin + 1;
    while (end < items_.size() && sortedKeys[end] == sortedKeys[begin]) ++end;
    const auto first = items_.begin() + static_cast<std::ptrdiff_t>(begin);
    const auto last = items_.begin() + static_cast<std::ptrdiff_t>(end);
    if (!std::is_sorted(first, last, byLeft)) std::sort(first, last, byLeft);
    Band band{sortedKeys[begin], 0, begin, end};
    for (auto it = first; it != last; ++it)
      band.Widest = std::max(band.Widest, it->Bounds.X1 - it->Bounds.X0);
    bands_.push_back(band);
    begin = end;
  }
}

}  // namespace TreeUi
