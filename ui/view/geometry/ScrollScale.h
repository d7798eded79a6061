// Maps a scroll extent in twips onto the int positions of a scroll bar.
//
// A position is one twip as long as the range fits in MaxPositions, which
// covers the drawing of every tree the tool can hold (32767 nodes make a
// drawing of some 25 million twips), so scrolling keeps the twip steps of the
// design. Only a wider extent scrolls in a coarser unit, the smallest power of
// two that brings the range back under MaxPositions: every part of the drawing
// stays reachable and no int arithmetic inside the scroll bar can overflow.
#pragma once

#include <cmath>

namespace TreeUi {

struct ScrollScale {
  // Leaves headroom for position + page step in int.
  static constexpr int MaxPositions = 1 << 30;
  // Larger (or infinite) extents are taken as this one.
  static constexpr double MaxExtent = 1e300;

  double Unit = 1;     // twips per scroll position
  double Extent = 0;   // the range in twips
  int Maximum = 0;     // in positions
  int SingleStep = 1;  // in positions
  int PageStep = 1;    // in positions

  // `extent` is the scroll range in twips, `step` the arrow step and `page`
  // the page step, both in twips.
  static ScrollScale For(double extent, double step, double page) {
    ScrollScale s;
    s.Extent = Clamp(extent);
    const double rounded = std::nearbyint(s.Extent);
    if (rounded > MaxPositions) {
      s.Unit = std::exp2(std::ceil(std::log2(s.Extent / MaxPositions)));
      while (std::ceil(s.Extent / s.Unit) > MaxPositions) s.Unit *= 2;
      s.Maximum = static_cast<int>(std::ceil(s.Extent / s.Unit));
      s.SingleStep = Positions(std::nearbyint(Clamp(step) / s.Unit));
      // Rounded down, so that paging never skips a strip of the drawing.
      s.PageStep = Positions(std::floor(Clamp(page) / s.Unit));
    } else {
      s.Maximum = static_cast<int>(rounded);
      s.SingleStep = Positions(std::nearbyint(Clamp(step)));
      s.PageStep = Positions(std::nearbyint(Clamp(page)));
    }
    return s;
  }

  // The offset in twips that a position shows; the last position shows the
  // end of the range.
  double Offset(int position) const {
    if (position <= 0) return 0;
    if (Unit == 1) return position >= Maximum ? Maximum : position;
    return position >= Maximum ? Extent : position * Unit;
  }

  // The position nearest to an offset in twips, halves to the even neighbour.
  int Position(double offset) const {
    if (!(offset > 0)) return 0;
    const double p = std::nearbyint(offset / Unit);
    return p >= Maximum ? Maximum : static_cast<int>(p);
  }

 private:
  static double Clamp(double twips) {
    if (!(twips > 0)) return 0;  // negatives and NaN
    return twips > MaxExtent ? MaxExtent : twips;
  }
  static int Positions(double count) {
    if (!(count >= 1)) return 1;
    return count > MaxPositions ? MaxPositions : static_cast<int>(count);
  }
};

}  // namespace TreeUi
