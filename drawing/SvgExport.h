// The drawing as an SVG picture, written without any windowing toolkit: every
// node is one <circle>, its caption one <text>, every line one <line>, so the
// picture stays editable in a vector editor.
#pragma once

#include <ostream>
#include <string>

#include "PictureExtent.h"

namespace TreeCore {

// Writes every visible element of `elements`, the whole drawing, at
// `pixelsPerTwip` (1/15 is the window's 100 %). Returns false when the stream
// failed.
bool WriteSvg(std::ostream& out, const ElementArrays& elements,
              double pixelsPerTwip = 1.0 / PictureTwipsPerPixel);

// Writes the picture to `path` through `path`.tmp, renamed into place once
// complete, so a failure never leaves a half-written picture behind. Returns
// an empty text on success, otherwise what went wrong.
std::string SaveSvg(const std::string& path, const ElementArrays& elements,
                    double pixelsPerTwip = 1.0 / PictureTwipsPerPixel);

}  // namespace TreeCore
