// From a node of the main tree to the drawing element that shows it.
#pragma once

#include <cstdint>

#include "Templates.h"

namespace TreeUi {

// The element (0 for the root) that the last drawing pass gave node `index`
// of the main tree, or -1 when that node was not drawn or the drawing no
// longer shows it.
int ElementOfNode(std::int32_t index, const TreeCore::ElementArrays& elements);

}  // namespace TreeUi
