// Paints a whole drawing into a picture (PNG export, printing, the command
// line): every visible element, at given scales that may differ between the
// axes, with less detail where the elements get small.
#pragma once

#include <QImage>
#include <QSize>

#include "PictureExtent.h"
#include "view/ElementPainter.h"

class QPainter;

namespace TreeUi {

// Size in pixels (margins included) of the whole drawing at `scales`.
QSize PictureSize(const TreeCore::ElementArrays& elements, TreeCore::Scales scales);

// Paints the drawing with its top-left margin corner at (0, 0) of `painter`'s
// coordinates, `scales` pixels per twip, with the pad's painter: captions are
// left out when they would be too small to read, circles become dots when tiny.
// `options` add fitted captions and badges (its lookups are not used).
void PaintPicture(QPainter& painter, const TreeCore::ElementArrays& elements,
                  TreeCore::Scales scales, const PaintOptions& options = {});

// The drawing as an image; a null image when a side would be empty or larger
// than TreeCore::MaxFitPixels.
QImage RenderPicture(const TreeCore::ElementArrays& elements, TreeCore::Scales scales,
                     const PaintOptions& options = {});

// How large a picture to make: the drawing at the pad's scale (`View`, 100 %
// unless given), or fitted to a number of pixels on its long side.
struct PictureSizing {
  bool Fit = false;
  int LongSide = TreeCore::DefaultFitPixels;
  TreeCore::Scales View{};
};
TreeCore::Scales ScalesFor(const TreeCore::ElementArrays& elements, PictureSizing sizing);

}  // namespace TreeUi
