// Draws a tree other than the main one into a pane's own element arrays with
// an engine and layout state of its own, so that the main tree, its drawing
// and the window's state are left alone.
#pragma once

#include <cstdint>
#include <vector>

#include "CompactLayout.h"
#include "Drawing.h"
#include "EngineState.h"
#include "Templates.h"

namespace TreeUi {

class StepsDrawing {
 public:
  // Replaces the drawing in `elements` with `tree` in `layout`; returns, for
  // each element k, the index of the node it shows. An empty tree shows
  // nothing, not even the design-time elements.
  const std::vector<std::int32_t>& Draw(const TreeCore::TreeRec& tree,
                                        TreeCore::ElementArrays& elements,
                                        TreeCore::TreeLayout layout = TreeCore::TreeLayout::Slots);
  // The compact layout leaves room for Show Balance's badges between circles.
  void SetRoomForBadges(bool on) { badges_ = on; }

 private:
  TreeCore::EngineState engine_;
  TreeCore::DrawingState layout_;
  bool badges_ = false;
};

// The elements that show the nodes in `sortedNodes` (node indexes, sorted).
std::vector<int> ElementsShowing(const std::vector<std::int32_t>& nodeOfElement,
                                 const std::vector<std::int32_t>& sortedNodes);

}  // namespace TreeUi
