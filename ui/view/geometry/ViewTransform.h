// The arithmetic of looking at a drawing: model twips to device pixels, the
// scale that shows a whole box, zoom steps, and where a scrolled view may go.
// Free of any toolkit so that it can be tested on its own.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

namespace TreeUi {

// Device pixels per model twip at 100 %.
inline constexpr double DesignScale = 1.0 / 15;
// The closest view: 400 %.
inline constexpr double MaxScale = 4 * DesignScale;
// One zoom step (a wheel notch, Ctrl+plus or Ctrl+minus).
inline constexpr double ZoomStepFactor = 1.25;
// Below this diameter (pixels) a node is a dot and lines are hairlines.
inline constexpr double DotDiameter = 4;
// Captions are drawn from this font size (pixels) up; smaller is unreadable.
inline constexpr double MinCaptionPixels = 6;
// The caption size at 100 %.
inline constexpr double DesignCaptionPixels = 11;

// model -> device: x * ScaleX + OffsetX. The two scales may differ: a fitted
// deep tree spreads its rows vertically once its nodes are dots.
struct ViewTransform {
  double ScaleX = DesignScale, ScaleY = DesignScale;
  double OffsetX = 0, OffsetY = 0;

  double DeviceX(double x) const { return x * ScaleX + OffsetX; }
  double DeviceY(double y) const { return y * ScaleY + OffsetY; }
  double ModelX(double px) const { return (px - OffsetX) / ScaleX; }
  double ModelY(double px) const { return (px - OffsetY) / ScaleY; }
  // The smaller of the two scales, relative to 100 %: what sizes circles and text.
  double Zoom() const { return std::min(ScaleX, ScaleY) / DesignScale; }
};

// A box in model twips. Empty when nothing has been added.
struct Extent {
  double X0 = 0, Y0 = 0, X1 = -1, Y1 = -1;

  bool Empty() const { return !(X1 >= X0 && Y1 >= Y0); }
  double Width() const { return Empty() ? 0 : X1 - X0; }
  double Height() const { return Empty() ? 0 : Y1 - Y0; }
  // Non-finite corners are left out: such an element can never be seen.
  void Add(double x0, double y0, double x1, double y1) {
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
      return;
    if (x1 < x0) std::swap(x0, x1);
    if (y1 < y0) std::swap(y0, y1);
    if (Empty()) {
      *this = Extent{x0, y0, x1, y1};
      return;
    }
    X0 = std::min(X0, x0);
    Y0 = std::min(Y0, y0);
    X1 = std::max(X1, x1);
    Y1 = std::max(Y1, y1);
  }
};

// The scale that shows a box whole, and how much taller than wide the rows
// may be spread.
struct FitScale {
  double Scale = DesignScale;  // horizontal, px per twip
  double Aspect = 1;           // vertical scale / horizontal scale, >= 1
};

// Shows `box` whole, centred, in a view of width x height pixels with `margin`
// pixels left free around it, at one scale no closer than MaxScale. When that
// makes a node of `nodeUnit` twips a dot, the rows are spread to use the
// view's height as well.
inline FitScale FitBox(const Extent& box, double width, double height, double margin,
                       double nodeUnit) {
  FitScale fit;
  if (box.Empty() || !(width > 0) || !(height > 0)) return fit;
  const double w = std::max(1.0, width - 2 * margin), h = std::max(1.0, height - 2 * margin);
  // A box of no width (one dot) fits at any scale; 1 twip keeps it finite.
  const double bw = std::max(box.Width(), 1.0), bh = std::max(box.Height(), 1.0);
  double s = std::min({w / bw, h / bh, MaxScale});
  if (!(s > 0) || !std::isfinite(s)) s = std::numeric_limits<double>::min();
  fit.Scale = s;
  if (nodeUnit * s < DotDiameter) {
    const double spread = h / (bh * s);
    // Within rounding of one scale is one scale.
    if (spread > 1 + 1e-9 && std::isfinite(spread)) fit.Aspect = spread;
  }
  return fit;
}

// The vertical spread at scale `s` after a fit of {fit.Scale, fit.Aspect}: the
// fitted spread at the fit and below, none from the scale at which nodes turn
// into circles on, and in between a smooth blend (linear in log scale), so
// that zooming in turns the stretched view back into a true one before any
// circle or caption appears.
inline double AspectAt(double s, const FitScale& fit, double nodeUnit) {
  if (!(fit.Aspect > 1) || !(nodeUnit > 0)) return 1;
  const double circles = DotDiameter / nodeUnit;
  if (!(s < circles)) return 1;
  if (!(s > fit.Scale) || !(circles > fit.Scale)) return fit.Aspect;
  const double t = std::log(circles / s) / std::log(circles / fit.Scale);
  return std::exp(std::log(fit.Aspect) * t);
}

// `steps` zoom steps from scale `s` (negative: out), kept within [least,
// MaxScale]. A step that would pass 100 % stops there, so that stepping
// always meets the actual size.
inline double StepScale(double s, double steps, double least) {
  double lo = std::min(least, MaxScale);
  if (!(lo > 0)) lo = std::numeric_limits<double>::min();
  if (!(s > 0) || !std::isfinite(s)) s = DesignScale;
  if (std::isnan(steps)) return std::clamp(s, lo, MaxScale);
  // In logarithms, so that any turn of the wheel lands within the limits.
  const double l = std::log(s) + steps * std::log(ZoomStepFactor);
  double next = std::exp(std::clamp(l, std::log(lo), std::log(MaxScale)));
  if ((s < DesignScale && next > DesignScale) || (s > DesignScale && next < DesignScale))
    next = DesignScale;
  // Within rounding of 100 % is 100 %: the view goes back to its design layout.
  if (std::abs(next / DesignScale - 1) < 1e-9) next = DesignScale;
  return std::clamp(next, lo, MaxScale);
}

// One axis of a scrolled view.
struct AxisLayout {
  double Origin = 0;   // model coordinate at content pixel 0
  double Content = 0;  // content length, pixels (at least the view's)
  double Offset = 0;   // scroll offset into the content, pixels
  bool Scrolls = false;
};

// Lays out one axis: the box [b0, b1] (model) at scale `s` (px per twip) with
// `margin` pixels either side, in a view `view` pixels long. The model point
// `keep` goes to view pixel `at`, as nearly as the content allows: content
// longer than the view scrolls within [0, content - view]; shorter content
// stays wholly inside the view.
inline AxisLayout LayOutAxis(double b0, double b1, double s, double margin, double view,
                             double keep, double at) {
  AxisLayout a;
  if (!(s > 0) || !std::isfinite(s)) s = DesignScale;
  view = std::isfinite(view) ? std::max(view, 0.0) : 0;
  if (!(b1 >= b0) || !std::isfinite(b0) || !std::isfinite(b1)) b0 = b1 = 0;
  const double content = (b1 - b0) * s + 2 * margin;
  const double start = b0 - margin / s;
  // The content pixel that would lie at view pixel 0.
  const double wanted = (keep - start) * s - at;
  if (!(content > view)) {
    const double shift =
        std::isfinite(wanted) ? std::clamp(wanted, content - view, 0.0) : (content - view) / 2;
    a.Origin = start + shift / s;
    a.Content = view;
    return a;
  }
  a.Origin = start;
  a.Content = content;
  a.Scrolls = true;
  a.Offset = std::isfinite(wanted) ? std::clamp(wanted, 0.0, content - view) : 0;
  return a;
}

}  // namespace TreeUi
