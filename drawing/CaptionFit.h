// The caption size that keeps a caption inside its circle: a caption's box
// (its advance wide, its digits' height tall) must fit within the circle, so
// long captions such as "-32768" get a smaller font than short ones.
#pragma once

#include <algorithm>
#include <cmath>
#include <string_view>

namespace TreeCore {

// Height of digits and of the minus sign's reach, in ems, of the usual sans fonts.
inline constexpr double CaptionDigitHeight = 0.73;

// The widest advance of the usual sans fonts for a caption's characters, in
// ems: digits 0.636, the minus sign 0.361 (others as digits). Used where no
// font can be measured (the SVG writer); a picture with a narrower font only
// leaves more room.
inline double CaptionEms(std::string_view caption) {
  double ems = 0;
  for (const char c : caption) ems += c == '-' ? 0.361 : 0.636;
  return ems;
}

// The largest font size (pixels) up to `design` at which a caption `ems`
// ems wide fits inside a circle of `radius` pixels with room for its outline.
inline double CaptionFitPixels(double ems, double radius, double design) {
  const double room = radius - 1.0;
  if (!(room > 0) || !(ems > 0)) return design;
  const double fit = room / std::hypot(ems / 2, CaptionDigitHeight / 2);
  return std::min(design, fit);
}

// Pixels between a circle's right edge and its badge: clear of the selection
// ring (3 pixels out, 2.5 wide), so that no ring covers a badge's minus sign.
inline constexpr double BadgeClearance = 5;

}  // namespace TreeCore
