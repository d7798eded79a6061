// The layout state of one drawing: the slot widths, the extent, the element
// arrays it draws into and which node each element shows. The main window
// draws with the default instance; any other pane brings its own.
#pragma once

#include <cstdint>
#include <vector>

#include "Controls.h"

namespace TreeCore {

struct DrawingState {
  float NodeUnit = 0;
  std::int32_t LayoutLevels = 0;
  std::vector<float> LevelWidth;  // indexed by level, slot 0 unused
  float DrawingWidth = 0;
  float DrawingHeight = 0;
  // The arrays the last pass drew into; the elements are destroyed through them.
  ControlArray<Label>* TreeNodeArray = nullptr;
  ControlArray<Shape>* ShNodeArray = nullptr;
  ControlArray<Line>* LnNodeArray = nullptr;
  // Element k shows node NodeOfElement[k] of the tree drawn; one entry per
  // element the last pass drew, none after a pass over an empty tree.
  std::vector<std::int32_t> NodeOfElement;
};

// The instance behind the names without a state (DrawingWidth, DrawTree, ...).
DrawingState& DefaultDrawing();

}  // namespace TreeCore
