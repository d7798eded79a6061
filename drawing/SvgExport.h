// The drawing as an SVG picture, written without any windowing toolkit: every
// node is one <circle>, its caption one <text>, every line one <line>, so the
// picture stays editable in a vector editor.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "PictureExtent.h"

namespace TreeCore {

// What a picture adds to today's: both off give the picture as it always was.
struct SvgOptions {
  // Each caption in a font small enough to stay inside its circle.
  bool FitCaptions = false;
  // A short text beside each element's circle (Show Balance), by element k;
  // `Warn` colours it and its circle.
  const std::vector<std::string>* Badges = nullptr;
  const std::vector<bool>* Warn = nullptr;
};

// Writes every visible element of `elements`, the whole drawing, at
// `pixelsPerTwip` (1/15 is the window's 100 %). Returns false when the stream
// failed.
bool WriteSvg(std::ostream& out, const ElementArrays& elements,
              double pixelsPerTwip = 1.0 / PictureTwipsPerPixel, const SvgOptions& options = {});

// Writes the picture to `path` through `path`.tmp, renamed into place once
// complete, so a failure never leaves a half-written picture behind. Returns
// an empty text on success, otherwise what went wrong (naming `path`).
std::string SaveSvg(const std::string& path, const ElementArrays& elements,
                    double pixelsPerTwip = 1.0 / PictureTwipsPerPixel,
                    const SvgOptions& options = {});

}  // namespace TreeCore
