#include "PagePlan.h"

#include <algorithm>
#include <cmath>

#include "CaptionFit.h"

namespace TreeCore {

double LegibleScale(const ElementArrays& elements, double designPixels, double pixels) {
  double scale = 0;
  const std::int32_t count = elements.TreeNode.UpperBound();
  for (std::int32_t i = 0; i < count; ++i) {
    const auto k = static_cast<std::int16_t>(i);
    if (!elements.TreeNode.IsLoaded(k) || !elements.ShNode.IsLoaded(k)) continue;
    const Label& label = elements.TreeNode[k];
    const Shape& circle = elements.ShNode[k];
    if (!label.Visible || !circle.Visible || label.Caption.empty()) continue;
    const double diameter = std::min(circle.Width, circle.Height);
    if (!(diameter > 0)) continue;
    // The painter's fit: radius (d * s / 2 - 0.5) less one pixel of room must
    // hold the caption's box at `pixels`; the design size must reach it too.
    const double box = std::hypot(CaptionEms(label.Caption) / 2, CaptionDigitHeight / 2) * pixels;
    const double byCircle = 2 * (box + 1.5) / diameter;
    const double byDesign = pixels / (designPixels * PictureTwipsPerPixel);
    scale = std::max({scale, byCircle, byDesign});
  }
  return scale;
}

PagePlan PlanPages(double width, double height, double pageWidth, double pageHeight, double margin,
                   double legible, double largest) {
  PagePlan plan;
  if (!(width > 0) || !(height > 0)) return plan;
  const double across = std::max(1.0, pageWidth - margin),
               down = std::max(1.0, pageHeight - margin);
  const double fit = std::min({across / width, down / height, largest});
  if (fit >= legible) {
    plan.Scale = fit;
    return plan;
  }
  // A little under a page's worth more than it needs would leave a page
  // nearly empty; rounding is kept from adding one for a rounding error.
  const auto pages = [](double length) {
    return std::max(1, static_cast<int>(std::ceil(length - 1e-9)));
  };
  const double wide = width * legible / across, tall = height * legible / down;
  if (wide <= MaxPrintPages && tall <= MaxPrintPages) {
    plan.Across = pages(wide);
    plan.Down = pages(tall);
  }
  if (plan.Across * plan.Down > MaxPrintPages || wide > MaxPrintPages || tall > MaxPrintPages) {
    plan = {};
    plan.Scale = fit;
    return plan;
  }
  plan.Scale = std::clamp(std::min(plan.Across * across / width, plan.Down * down / height),
                          legible, std::max(legible, largest));
  return plan;
}

}  // namespace TreeCore
