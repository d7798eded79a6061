// A spatial lookup over drawing elements, so that painting a frame and
// finding the label under the mouse cost what is visible, not what exists.
//
// The elements are cut into horizontal bands as high as the tallest element
// and each band is kept sorted by left edge. The tree layout puts nodes on
// rows of fixed height, so a band holds one row and every element of it has
// the same width: a query visits the few bands that the area crosses and, in
// each, only the elements that reach into the area's columns.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace TreeUi {

// An axis-aligned box in twips, edges included.
struct Box {
  double X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
};

class ElementIndex {
 public:
  struct Item {
    Box Bounds;
    std::int32_t Index = 0;
  };

  // Replaces the contents. Boxes with a non-finite edge are left out: they
  // can never be seen.
  void Build(std::vector<Item> items);
  void Clear();
  std::size_t Size() const { return items_.size(); }

  // Calls visit(index) once for every element whose box meets `area`.
  template <class Visit>
  void Query(const Box& area, Visit&& visit) const {
    if (bands_.empty()) return;
    const std::int64_t first = Key(area.Y0 - tallest_);
    const std::int64_t last = Key(area.Y1);
    auto band = std::lower_bound(bands_.begin(), bands_.end(), first,
                                 [](const Band& b, std::int64_t k) { return b.Key < k; });
    for (; band != bands_.end() && band->Key <= last; ++band) {
      const auto begin = items_.begin() + static_cast<std::ptrdiff_t>(band->Begin);
      const auto end = items_.begin() + static_cast<std::ptrdiff_t>(band->End);
      const double from = area.X0 - band->Widest;
      auto it = std::lower_bound(begin, end, from,
                                 [](const Item& i, double x) { return i.Bounds.X0 < x; });
      for (; it != end && it->Bounds.X0 <= area.X1; ++it) {
        const Box& b = it->Bounds;
        if (b.X1 >= area.X0 && b.Y1 >= area.Y0 && b.Y0 <= area.Y1) visit(it->Index);
      }
    }
  }

 private:
  struct Band {
    std::int64_t Key = 0;
    double Widest = 0;
    std::size_t Begin = 0, End = 0;  // range in items_, sorted by X0
  };

  std::int64_t Key(double y) const;

  std::vector<Item> items_;
  std::vector<Band> bands_;  // sorted by Key
  double bandHeight_ = 1;
  double tallest_ = 0;
};

}  // namespace TreeUi
