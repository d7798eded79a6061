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

  std::sort(items_.begin(), items_.end(), [this](const Item& a, const Item& b) {
    const std::int64_t ka = Key(a.Bounds.Y0), kb = Key(b.Bounds.Y0);
    if (ka != kb) return ka < kb;
    return a.Bounds.X0 < b.Bounds.X0;
  });

  for (std::size_t i = 0; i < items_.size(); ++i) {
    const std::int64_t k = Key(items_[i].Bounds.Y0);
    if (bands_.empty() || bands_.back().Key != k) bands_.push_back(Band{k, 0, i, i});
    Band& band = bands_.back();
    band.End = i + 1;
    band.Widest = std::max(band.Widest, items_[i].Bounds.X1 - items_[i].Bounds.X0);
  }
}

}  // namespace TreeUi
