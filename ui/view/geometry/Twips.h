// Geometry units of the window: the controls are laid out in twips, Qt works
// in logical pixels (its device pixel ratio takes care of dense screens).
#pragma once

#include <cmath>

namespace TreeUi {

inline constexpr double TwipsPerPixel = 15.0;

inline constexpr double ToTwips(double pixels) {
  return pixels * TwipsPerPixel;
}
inline constexpr double ToPixelsF(double twips) {
  return twips / TwipsPerPixel;
}

// Whole pixels for a control edge or size, halves to the even neighbour.
inline int ToPixels(double twips) {
  const double px = std::nearbyint(twips / TwipsPerPixel);
  if (!(px > -1e9)) return -1000000000;  // also catches NaN
  if (px > 1e9) return 1000000000;
  return static_cast<int>(px);
}

}  // namespace TreeUi
