// The tool's windows as a screen reader meets them. A plain top-level widget
// is exposed as a filler; the window, Balancing Steps and Compare are
// frames, named by their titles.
#pragma once

namespace TreeUi {

// Lets Qt's accessibility find the frames; once is enough.
void InstallWindowAccessibility();

}  // namespace TreeUi
