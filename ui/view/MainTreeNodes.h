// The main pad's nodes: the main tree as the default drawing drew it.
#pragma once

#include "Templates.h"
#include "view/DrawSurface.h"

namespace TreeUi {

PadNodes MainTreeNodes(const TreeCore::ElementArrays& elements);

}  // namespace TreeUi
