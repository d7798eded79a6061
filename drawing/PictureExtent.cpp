#include "PictureExtent.h"

#include <algorithm>

namespace TreeCore {

namespace {

void Grow(Extent& e, double left, double top, double right, double bottom) {
  if (e.Empty) {
    e = Extent{left, top, right, bottom, false};
    return;
  }
  e.Left = std::min(e.Left, left);
  e.Top = std::min(e.Top, top);
  e.Right = std::max(e.Right, right);
  e.Bottom = std::max(e.Bottom, bottom);
}

}  // namespace

Extent VisibleExtent(const ElementArrays& elements) {
  Extent e;
  ForEachVisible(elements.LnNode, [&](const Line& l) {
    Grow(e, std::min(l.X1, l.X2), std::min(l.Y1, l.Y2), std::max(l.X1, l.X2), std::max(l.Y1, l.Y2));
  });
  ForEachVisible(elements.ShNode, [&](const Shape& s) {
    Grow(e, s.Left, s.Top, s.Left + s.Width, s.Top + s.Height);
  });
  ForEachVisible(elements.TreeNode, [&](const Label& l) {
    Grow(e, l.Left, l.Top, l.Left + l.Width, l.Top + l.Height);
  });
  return e;
}

Scales FitScales(double widthTwips, double heightTwips, int longSide, double natural) {
  Scales s;
  if (!(widthTwips > 0) || !(heightTwips > 0) || longSide <= 0) return s;
  const bool wide = widthTwips >= heightTwips;
  const double longTwips = wide ? widthTwips : heightTwips;
  const double shortTwips = wide ? heightTwips : widthTwips;
  const double uniform = longSide / longTwips;
  const double shortCap = (longSide / 4.0) / shortTwips;
  const double shortScale = std::max(uniform, std::min(natural, shortCap));
  s.X = wide ? uniform : shortScale;
  s.Y = wide ? shortScale : uniform;
  return s;
}

}  // namespace TreeCore
