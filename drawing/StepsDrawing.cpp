#include "StepsDrawing.h"

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
  return layout_.NodeOfElement;
}

}  // namespace TreeUi
