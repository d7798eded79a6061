#include "BalanceBadges.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace TreeUi {

BalanceBadges BalanceOf(const TreeCore::TreeRec& tree,
                        const std::vector<std::int32_t>& nodeOfElement) {
  BalanceBadges b;
  b.Badges.resize(nodeOfElement.size());
  b.Warn.resize(nodeOfElement.size());
  if (!tree.Exists) return b;
  for (std::size_t k = 0; k < nodeOfElement.size(); ++k) {
    const std::int32_t n = nodeOfElement[k];
    if (n < 0 || n >= tree.Count || static_cast<std::size_t>(n) >= tree.Nodes.size()) continue;
    const TreeCore::NodeRec& node = tree.Nodes[static_cast<std::size_t>(n)];
    const std::int64_t d = std::int64_t{node.RightHeight} - node.LeftHeight;
    char text[24];
    std::snprintf(text, sizeof text, "%+lld", static_cast<long long>(d));
    // A balanced node reads 0, not +0.
    b.Badges[k] = d == 0 ? "0" : text;
    b.Warn[k] = d >= 2 || d <= -2;
  }
  return b;
}

std::vector<bool> HeightsChanged(const TreeCore::TreeRec& before, const TreeCore::TreeRec& after,
                                 const std::vector<std::int32_t>& nodeOfElement,
                                 std::int32_t removed) {
  std::vector<bool> changed(nodeOfElement.size());
  const bool closedUp = removed >= 0 && after.Count == before.Count - 1;
  for (std::size_t k = 0; k < nodeOfElement.size(); ++k) {
    const std::int32_t n = nodeOfElement[k];
    if (n < 0 || n >= after.Count || static_cast<std::size_t>(n) >= after.Nodes.size()) continue;
    const std::int32_t was = closedUp && n >= removed ? n + 1 : n;
    if (was >= before.Count || static_cast<std::size_t>(was) >= before.Nodes.size()) {
      changed[k] = true;
      continue;
    }
    const TreeCore::NodeRec& a = before.Nodes[static_cast<std::size_t>(was)];
    const TreeCore::NodeRec& b = after.Nodes[static_cast<std::size_t>(n)];
    changed[k] = a.LeftHeight != b.LeftHeight || a.RightHeight != b.RightHeight;
  }
  return changed;
}

}  // namespace TreeUi
