// The size of a whole drawing and the scales that fit it into a picture.
// Shared by the SVG writer, the PNG export, printing and the command line.
#pragma once

#include "Templates.h"

namespace TreeCore {

// Twips per pixel at the window's 100 % scale.
inline constexpr double PictureTwipsPerPixel = 15.0;
// The margin around a picture, in pixels at 100 %.
inline constexpr double PictureMargin = 8.0;
// Bounds of a raster picture, in pixels on its long side.
inline constexpr int DefaultFitPixels = 4096;
inline constexpr int MaxFitPixels = 16384;

// Bounding box, in twips, of every visible line, circle and label. Empty when
// nothing is visible.
struct Extent {
  double Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Empty = true;
  double Width() const { return Right - Left; }
  double Height() const { return Bottom - Top; }
};
Extent VisibleExtent(const ElementArrays& elements);

// Pixels per twip along each axis.
struct Scales {
  double X = 1.0 / PictureTwipsPerPixel;
  double Y = 1.0 / PictureTwipsPerPixel;
};

// Scales that bring a drawing of width x height twips (margins included) to
// `longSide` pixels on its long side. A uniform scale would squeeze the short
// side of a deep tree's very wide drawing to a few pixels, so the short side
// keeps up to its 100 % size as long as it stays within a quarter of
// `longSide`; it never comes out smaller than the uniform scale gives.
// `natural` is the 100 % size in pixels per twip (a printer has more pixels).
Scales FitScales(double widthTwips, double heightTwips, int longSide,
                 double natural = 1.0 / PictureTwipsPerPixel);

}  // namespace TreeCore
