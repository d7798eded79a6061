// How a drawing goes onto paper. A wide tree fitted to one page can shrink its
// captions past reading (a hundred-odd nodes on A4 already do), so the fit
// stops at the scale where every caption stays legible and the picture goes
// on as many pages as that scale needs, to be laid side by side.
#pragma once

#include "PictureExtent.h"

namespace TreeCore {

// The least caption size, in pixels at 96 to the inch (6 points), that reads on paper.
inline constexpr double LegibleCaptionPixels = 8;

// The least scale (pixels per twip) at which every visible caption, fitted
// into its circle, is at least `pixels` high; `designPixels` is the caption
// size at 100 %. 0 when nothing has a caption.
double LegibleScale(const ElementArrays& elements, double designPixels,
                    double pixels = LegibleCaptionPixels);

// More pages than this and the tree is printed on one page as it fits: a
// very large tree is better had as one overview than as a stack of paper (a
// legible 32,767-node tree would take over a thousand pages).
inline constexpr int MaxPrintPages = 16;

struct PagePlan {
  double Scale = 0;  // pixels per twip
  int Across = 1;
  int Down = 1;
  int Pages() const { return Across * Down; }
};

// The scale and pages for a drawing of `width` x `height` twips on pages
// whose paint area is `pageWidth` x `pageHeight` pixels, `margin` pixels of
// which the picture keeps free. One page at the fitting scale (at most
// `largest`) when that is at least `legible`; else the fewest pages that hold
// the drawing at `legible`, filled as far as they allow, unless that takes
// more than MaxPrintPages.
PagePlan PlanPages(double width, double height, double pageWidth, double pageHeight, double margin,
                   double legible, double largest);

}  // namespace TreeCore
