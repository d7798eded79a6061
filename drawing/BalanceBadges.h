// "Show Balance": each drawn node's RightHeight - LeftHeight as a badge
// beside its circle, and the circles of nodes whose sides differ by two or
// more in the warning colour.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TreeCore.h"

namespace TreeUi {

struct BalanceBadges {
  std::vector<std::string> Badges;  // by element k; "" where no node is shown
  std::vector<bool> Warn;
};

// The badges for a drawing whose element k shows node nodeOfElement[k].
BalanceBadges BalanceOf(const TreeCore::TreeRec& tree,
                        const std::vector<std::int32_t>& nodeOfElement);

// By element of a drawing of `after`: whether the node's two side heights
// differ from the same node's in `before`, or `before` lacks it (an insert's
// new node). The same node keeps its slot, but for a removal whose table has
// closed up over slot `removed`: the slots behind it moved down by one.
std::vector<bool> HeightsChanged(const TreeCore::TreeRec& before, const TreeCore::TreeRec& after,
                                 const std::vector<std::int32_t>& nodeOfElement,
                                 std::int32_t removed = -1);

}  // namespace TreeUi
