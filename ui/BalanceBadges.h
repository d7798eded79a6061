// "Show Balance": each drawn node's RightHeight - LeftHeight as a badge
// beside its circle, and the circles of nodes whose sides differ by two or
// more in the warning colour.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TreeCore.h"

namespace TreeUi {

class DrawSurface;

struct BalanceBadges {
  std::vector<std::string> Badges;  // by element k; "" where no node is shown
  std::vector<bool> Warn;
};

// The badges for a drawing whose element k shows node nodeOfElement[k].
BalanceBadges BalanceOf(const TreeCore::TreeRec& tree,
                        const std::vector<std::int32_t>& nodeOfElement);
// Puts them on the surface, or takes them off when `on` is false.
void ShowBalance(DrawSurface& surface, const TreeCore::TreeRec& tree,
                 const std::vector<std::int32_t>& nodeOfElement, bool on);

}  // namespace TreeUi
