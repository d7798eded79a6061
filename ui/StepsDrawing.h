// Draws a tree other than the main one into a pane's own element arrays,
// leaving the main tree, its drawing and the window's state alone.
#pragma once

#include <cstdint>
#include <vector>

#include "Templates.h"
#include "TreeCore.h"

namespace TreeUi {

// Replaces the drawing in `elements` with `tree`; returns, for each element
// k, the index of the node it shows (-1 for none).
std::vector<std::int32_t> DrawStepTree(const TreeCore::TreeRec& tree,
                                       TreeCore::ElementArrays& elements);

}  // namespace TreeUi
