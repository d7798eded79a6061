// Checks that a tree record is whole and consistent; the tests call it after
// every operation. Balance is not checked: the engine does not keep it
// everywhere.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "TreeCore.h"

namespace TreeCheck {

// An empty string when the tree is consistent, else what is wrong.
inline std::string Violation(const TreeCore::TreeRec& t) {
  using TreeCore::NodeKind;
  const auto size = static_cast<std::int32_t>(t.Nodes.size());
  if (!t.Exists) {
    if (t.Count != 0) return "empty tree with Count " + std::to_string(t.Count);
    return {};
  }
  if (t.Count != size)
    return "Count " + std::to_string(t.Count) + " but " + std::to_string(size) + " slots";
  if (t.Root < 0 || t.Root >= size) return "Root outside the table";
  if (t.Nodes[static_cast<std::size_t>(t.Root)].Parent != -1) return "root has a parent";

  auto inside = [&](std::int32_t i) { return i == -1 || (i >= 0 && i < size); };
  for (std::int32_t i = 0; i < size; ++i) {
    const auto& n = t.Nodes[static_cast<std::size_t>(i)];
    if (!inside(n.LeftChild) || !inside(n.RightChild) || !inside(n.Parent))
      return "link outside the table at slot " + std::to_string(i);
  }

  // Iterative walk: the depth is not bounded by anything here.
  std::vector<int> seen(static_cast<std::size_t>(size), 0);
  std::vector<std::int32_t> height(static_cast<std::size_t>(size), 0);
  std::vector<std::int32_t> order;
  order.reserve(static_cast<std::size_t>(size));
  struct Item {
    std::int32_t node;
    std::int32_t depth;
    bool expanded;
  };
  std::vector<Item> stack{{t.Root, 1, false}};
  while (!stack.empty()) {
    const Item it = stack.back();
    stack.pop_back();
    const auto& n = t.Nodes[static_cast<std::size_t>(it.node)];
    // Built only for a message: the checker runs after every call of long runs.
    auto at = [&] {
      return "node " + std::to_string(it.node) + " (" + std::to_string(n.Data) + ")";
    };
    if (it.expanded) {
      order.push_back(it.node);
      continue;
    }
    if (seen[static_cast<std::size_t>(it.node)]++) return at() + " reached twice";
    if (n.Level != it.depth)
      return at() + " Level " + std::to_string(n.Level) + " at depth " + std::to_string(it.depth);
    const bool hasChild = n.LeftChild != -1 || n.RightChild != -1;
    const NodeKind want = it.node == t.Root ? NodeKind::Root
                          : hasChild        ? NodeKind::Interior
                                            : NodeKind::Leaf;
    if (n.Kind != want)
      return at() + " Kind " + std::string(TreeCore::KindText(n.Kind)) + ", expected " +
             std::string(TreeCore::KindText(want));
    for (const std::int32_t c : {n.LeftChild, n.RightChild})
      if (c != -1 && t.Nodes[static_cast<std::size_t>(c)].Parent != it.node)
        return at() + " child " + std::to_string(c) + " does not point back";
    // Right subtree first on the stack, so the node comes out after its left.
    if (n.RightChild != -1) stack.push_back({n.RightChild, it.depth + 1, false});
    stack.push_back({it.node, it.depth, true});
    if (n.LeftChild != -1) stack.push_back({n.LeftChild, it.depth + 1, false});
  }
  if (static_cast<std::int32_t>(order.size()) != t.Count)
    return "in-order visits " + std::to_string(order.size()) + " of " + std::to_string(t.Count) +
           " nodes";
  for (std::size_t i = 1; i < order.size(); ++i)
    if (t.Nodes[static_cast<std::size_t>(order[i - 1])].Data >
        t.Nodes[static_cast<std::size_t>(order[i])].Data)
      return "in-order values decrease at node " + std::to_string(order[i]);

  // Real heights, children before parents: reverse of a pre-order.
  std::vector<std::int32_t> pre{t.Root};
  for (std::size_t i = 0; i < pre.size(); ++i) {
    const auto& n = t.Nodes[static_cast<std::size_t>(pre[i])];
    if (n.LeftChild != -1) pre.push_back(n.LeftChild);
    if (n.RightChild != -1) pre.push_back(n.RightChild);
  }
  auto side = [&](std::int32_t c) { return c == -1 ? 0 : 1 + height[static_cast<std::size_t>(c)]; };
  for (auto it = pre.rbegin(); it != pre.rend(); ++it) {
    const auto& n = t.Nodes[static_cast<std::size_t>(*it)];
    const std::int32_t l = side(n.LeftChild), r = side(n.RightChild);
    if (n.LeftHeight != l || n.RightHeight != r)
      return "node " + std::to_string(*it) + " (" + std::to_string(n.Data) + ") heights " +
             std::to_string(n.LeftHeight) + "/" + std::to_string(n.RightHeight) + ", real " +
             std::to_string(l) + "/" + std::to_string(r);
    height[static_cast<std::size_t>(*it)] = std::max(l, r);
  }
  return {};
}

// The values in the tree, in order.
inline std::vector<std::int16_t> InOrderValues(const TreeCore::TreeRec& t) {
  std::vector<std::int16_t> out;
  if (!t.Exists) return out;
  std::vector<std::int32_t> stack;
  std::int32_t i = t.Root;
  while (i != -1 || !stack.empty()) {
    while (i != -1) {
      stack.push_back(i);
      i = t.Nodes[static_cast<std::size_t>(i)].LeftChild;
    }
    i = stack.back();
    stack.pop_back();
    out.push_back(t.Nodes[static_cast<std::size_t>(i)].Data);
    i = t.Nodes[static_cast<std::size_t>(i)].RightChild;
  }
  return out;
}

}  // namespace TreeCheck
