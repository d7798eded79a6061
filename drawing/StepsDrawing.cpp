#include "StepsDrawing.h"

#include <algorithm>

namespace TreeUi {

const std::vector<std::int32_t>& StepsDrawing::Draw(const TreeCore::TreeRec& tree,
                                                    TreeCore::ElementArrays& elements,
                                                    TreeCore::TreeLayout layout) {
  // The pass leaves an emptied tree's old elements in place: clear them first.
  if (layout_.TreeNodeArray != nullptr) TreeCore::ResetDrawing(engine_, layout_);
  TreeCore::DrawTreeInto(engine_, layout_, tree, elements.TreeNode, elements.ShNode,
                         elements.LnNode, 0);
  if (layout == TreeCore::TreeLayout::Compact)
    TreeCore::ApplyCompactLayout(tree, layout_, TreeCore::CompactScheme::Tidy,
                                 badges_ ? TreeCore::BadgeGap : TreeCore::CompactGap);
  // The pass leaves the design-time elements of an empty tree in place.
  if (layout_.NodeOfElement.empty()) {
    elements.TreeNode[0].Visible = false;
    elements.ShNode[0].Visible = false;
    elements.LnNode[0].Visible = false;
  }
  return layout_.NodeOfElement;
}

std::vector<int> ElementsShowing(const std::vector<std::int32_t>& nodeOfElement,
                                 const std::vector<std::int32_t>& sortedNodes) {
  std::vector<int> elements;
  for (std::size_t k = 0; k < nodeOfElement.size(); ++k)
    if (std::binary_search(sortedNodes.begin(), sortedNodes.end(), nodeOfElement[k]))
      elements.push_back(static_cast<int>(k));
  return elements;
}

}  // namespace TreeUi
