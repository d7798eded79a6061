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

}  // namespace TreeUi
