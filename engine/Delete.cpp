// Removal of one node, then the renumbering that keeps the table gap-free.
#include <vector>

#include "Internal.h"
#include "TreeCore.h"

namespace TreeCore {
namespace {

NodeRec& At(TreeRec& t, std::int32_t i) { return t.Nodes[static_cast<std::size_t>(i)]; }

void RemoveLeaf(TreeRec& t, std::int32_t k) {
  const std::int32_t p = At(t, k).Parent;
  NodeRec& P = At(t, p);
  if (P.LeftChild == k)
    P.LeftChild = -1;
  else
    P.RightChild = -1;
  UpdateHeights(t, p);
  Rebalance(t, p, false);
}

void RemoveWithOneChild(TreeRec& t, std::int32_t k) {
  const NodeRec& n = At(t, k);
  const std::int32_t c = n.LeftChild == -1 ? n.RightChild : n.LeftChild;
  const std::int32_t p = n.Parent;
  if (p != -1) Detail::ReplaceChildLink(t, p, k, c);
  At(t, c).Parent = p;
  // c's whole subtree moves up one level: giving c alone n's level would leave
  // its descendants a level too deep.
  Detail::LevelLoweringPass(t, c);
  if (At(t, c).Parent == -1) t.Root = c;
  // From c, so that the root's heights and the tree's come out right too.
  UpdateHeights(t, c);
}

void RemoveWithTwoChildren(TreeRec& t, std::int32_t k) {
  const NodeRec& n = At(t, k);
  const bool leftHeavy = n.LeftHeight > n.RightHeight;
  const std::vector<Detail::HeldRebalance> held =
      Detail::FixUpForDeletion(t, k, /*rightHeavy=*/!leftHeavy);
  const std::int32_t p = At(t, k).Parent;
  NodeRec& P = At(t, p);
  if (P.RightChild == k) {
    P.RightChild = -1;
    UpdateHeights(t, p);
  } else if (P.LeftChild == k) {
    P.LeftChild = -1;
    UpdateHeights(t, p);
  }
  // The fix-up's Rebalance calls wait until the parked node is cut off: run
  // earlier, they could move it and then cut the wrong link.
  for (const Detail::HeldRebalance& call : held) Rebalance(t, call.Node, call.SkipWalk);
}

// Renumbers every link for the removal of slot k and closes the gap.
void Compact(TreeRec& t, std::int32_t k) {
  std::vector<std::int32_t> refresh;
  const auto slots = static_cast<std::int32_t>(t.Nodes.size());
  for (std::int32_t i = 0; i < slots; ++i) {
    NodeRec& node = At(t, i);
    for (std::int32_t* link : {&node.LeftChild, &node.RightChild, &node.Parent})
      if (*link == k) *link = -1;
    for (std::int32_t* link : {&node.LeftChild, &node.RightChild, &node.Parent})
      if (*link > k) --*link;
    if (i != k && node.Parent == -1) {
      node.Kind = NodeKind::Root;
      t.Root = i < k ? i : i - 1;
      continue;
    }
    if (node.LeftChild == -1 && node.RightChild == -1) {
      node.Kind = NodeKind::Leaf;
      // The removed slot needs no refresh; any other runs once the table is
      // compact, so its walk follows links in one numbering only.
      if (i != k && (node.LeftHeight != 0 || node.RightHeight != 0))
        refresh.push_back(i < k ? i : i - 1);
    } else {
      node.Kind = NodeKind::Interior;
    }
  }

  if (t.Nodes.size() == 1)
    t.Nodes.assign(1, NodeRec{});
  else
    t.Nodes.erase(t.Nodes.begin() + k);
  --t.Count;

  for (const std::int32_t i : refresh) UpdateHeights(t, i);
}

// A right-leaning three-node chain hanging from slot 0 gets a root check.
void FinalShapeCheck(TreeRec& t) {
  if (!t.Exists || t.Count == 0) return;
  const NodeRec& first = At(t, 0);
  if (first.LeftChild != -1 || first.RightChild == -1) return;
  const NodeRec& right = At(t, first.RightChild);
  if (right.LeftChild != -1 || right.RightChild == -1) return;
  const NodeRec& grandchild = At(t, right.RightChild);
  if (grandchild.LeftChild != -1 || grandchild.RightChild != -1) return;
  Rebalance(t, t.Root, false);
}

}  // namespace

void DeleteNode(TreeRec& tree, std::int32_t index) {
  const std::int32_t k = index;
  const NodeRec& n = At(tree, k);
  // The case follows the links; on a tree whose kinds match its links (as
  // every operation leaves it) this is the choice by kind.
  if (n.LeftChild == -1 && n.RightChild == -1) {
    if (n.Parent != -1)
      RemoveLeaf(tree, k);
    else
      tree.Exists = false;  // the last node; Root keeps its old value
  } else if (n.LeftChild == -1 || n.RightChild == -1)
    RemoveWithOneChild(tree, k);
  else
    RemoveWithTwoChildren(tree, k);

  Compact(tree, k);
  FinalShapeCheck(tree);
}

}  // namespace TreeCore
