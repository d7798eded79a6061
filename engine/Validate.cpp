// The soundness check every public operation's result must pass.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "TreeCore.h"

namespace TreeCore {
namespace {

std::string NodeName(const TreeRec& t, std::int32_t i) {
  return "node " + std::to_string(i) + " (" +
         std::to_string(t.Nodes[static_cast<std::size_t>(i)].Data) + ")";
}

}  // namespace

std::string Validate(const TreeRec& t) {
  const auto size = static_cast<std::int32_t>(t.Nodes.size());
  if (!t.Exists) {
    if (t.Count != 0) return "empty tree with Count " + std::to_string(t.Count);
    // Emptied trees keep one blank slot; a record never used has none.
    if (size > 1) return "empty tree with " + std::to_string(size) + " slots";
    return {};
  }
  if (t.Count != size)
    return "Count " + std::to_string(t.Count) + " but " + std::to_string(size) + " slots";
  if (t.Root < 0 || t.Root >= size) return "Root " + std::to_string(t.Root) + " outside the table";
  if (t.Nodes[static_cast<std::size_t>(t.Root)].Parent != -1) return "root has a parent";

  auto inside = [&](std::int32_t i) { return i == -1 || (i >= 0 && i < size); };
  for (std::int32_t i = 0; i < size; ++i) {
    const NodeRec& n = t.Nodes[static_cast<std::size_t>(i)];
    if (!inside(n.LeftChild) || !inside(n.RightChild) || !inside(n.Parent))
      return "link outside the table at slot " + std::to_string(i);
  }

  // Iterative walks throughout: a sorted list makes the depth unbounded.
  std::vector<char> seen(static_cast<std::size_t>(size), 0);
  std::vector<std::int32_t> order;  // in-order
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
    const NodeRec& n = t.Nodes[static_cast<std::size_t>(it.node)];
    if (it.expanded) {
      order.push_back(it.node);
      continue;
    }
    if (seen[static_cast<std::size_t>(it.node)]++) return NodeName(t, it.node) + " reached twice";
    if (n.Level != it.depth)
      return NodeName(t, it.node) + " Level " + std::to_string(n.Level) + " at depth " +
             std::to_string(it.depth);
    const bool hasChild = n.LeftChild != -1 || n.RightChild != -1;
    const NodeKind want = it.node == t.Root ? NodeKind::Root
                          : hasChild        ? NodeKind::Interior
                                            : NodeKind::Leaf;
    if (n.Kind != want)
      return NodeName(t, it.node) + " Kind " + std::string(KindText(n.Kind)) + ", expected " +
             std::string(KindText(want));
    for (const std::int32_t c : {n.LeftChild, n.RightChild})
      if (c != -1 && t.Nodes[static_cast<std::size_t>(c)].Parent != it.node)
        return NodeName(t, it.node) + " child " + std::to_string(c) + " does not point back";
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

  // Real heights, children before parents: the reverse of a pre-order.
  std::vector<std::int32_t> height(static_cast<std::size_t>(size), 0);
  std::vector<std::int32_t> pre{t.Root};
  pre.reserve(static_cast<std::size_t>(size));
  for (std::size_t i = 0; i < pre.size(); ++i) {
    const NodeRec& n = t.Nodes[static_cast<std::size_t>(pre[i])];
    if (n.LeftChild != -1) pre.push_back(n.LeftChild);
    if (n.RightChild != -1) pre.push_back(n.RightChild);
  }
  auto side = [&](std::int32_t c) { return c == -1 ? 0 : 1 + height[static_cast<std::size_t>(c)]; };
  for (auto it = pre.rbegin(); it != pre.rend(); ++it) {
    const NodeRec& n = t.Nodes[static_cast<std::size_t>(*it)];
    const std::int32_t l = side(n.LeftChild), r = side(n.RightChild);
    if (n.LeftHeight != l || n.RightHeight != r)
      return NodeName(t, *it) + " heights " + std::to_string(n.LeftHeight) + "/" +
             std::to_string(n.RightHeight) + ", real " + std::to_string(l) + "/" +
             std::to_string(r);
    height[static_cast<std::size_t>(*it)] = std::max(l, r);
  }

  // Height may run ahead of the tree (the descent raises it to a new node's
  // level, and an emptied tree keeps the old value) but never behind it: the
  // drawing lays out Height + 1 rows and would leave the deepest row out.
  const NodeRec& root = t.Nodes[static_cast<std::size_t>(t.Root)];
  if (t.TreeLeftHeight != root.LeftHeight || t.TreeRightHeight != root.RightHeight)
    return "tree heights " + std::to_string(t.TreeLeftHeight) + "/" +
           std::to_string(t.TreeRightHeight) + " differ from the root's";
  const std::int32_t real = height[static_cast<std::size_t>(t.Root)];
  if (t.Height < real)
    return "Height " + std::to_string(t.Height) + " below the real height " + std::to_string(real);
  return {};
}

}  // namespace TreeCore
