#include "NodeElement.h"

#include <string>

#include "TreeCore.h"

namespace TreeUi {

int ElementOfNode(std::int32_t index, const TreeCore::ElementArrays& elements) {
  // The drawing pass leaves each drawn node's element in its copy of the tree.
  const TreeCore::TreeRec& drawn = TreeCore::SharedTreeStore;
  if (!drawn.Exists || index < 0 || static_cast<std::size_t>(index) >= drawn.Nodes.size())
    return -1;
  const TreeCore::NodeRec& node = drawn.Nodes[static_cast<std::size_t>(index)];
  const std::int32_t k = index == drawn.Root ? 0 : node.ControlIndex;
  // An undrawn node keeps the 0 of the main tree: only the root owns element 0.
  if (k < 0 || k > 32767 || (k == 0 && index != drawn.Root)) return -1;
  const auto e = static_cast<std::int16_t>(k);
  if (!elements.TreeNode.IsLoaded(e) || !elements.TreeNode[e].Visible) return -1;
  // A stale copy (the tree changed without a redraw) shows another value.
  if (elements.TreeNode[e].Caption != std::to_string(node.Data)) return -1;
  return k;
}

}  // namespace TreeUi
