// Removal of one node, then the renumbering that keeps the table gap-free.
#include <cstddef>
#include <cstring>
#include <limits>
#include <vector>

#include "Internal.h"
#include "TreeCore.h"

namespace TreeCore {
namespace {

NodeRec& At(TreeRec& t, std::int32_t i) {
  return t.Nodes[static_cast<std::size_t>(i)];
}

void RemoveLeaf(EngineState& e, TreeRec& t, std::int32_t k) {
  const std::int32_t p = At(t, k).Parent;
  NodeRec& P = At(t, p);
  if (P.LeftChild == k)
    P.LeftChild = -1;
  else
    P.RightChild = -1;
  UpdateHeights(e, t, p);
  Rebalance(e, t, p, false);
}

void RemoveWithOneChild(EngineState& e, TreeRec& t, std::int32_t k) {
  const NodeRec& n = At(t, k);
  const std::int32_t c = n.LeftChild == -1 ? n.RightChild : n.LeftChild;
  const std::int32_t p = n.Parent;
  if (p != -1) Detail::ReplaceChildLink(t, p, k, c);
  At(t, c).Parent = p;
  // c's whole subtree moves up one level: giving c alone n's level would leave
  // its descendants a level too deep.
  Detail::LevelLoweringPass(e, t, c);
  if (At(t, c).Parent == -1) t.Root = c;
  // From c, so that the root's heights and the tree's come out right too.
  UpdateHeights(e, t, c);
}

void RemoveWithTwoChildren(EngineState& e, TreeRec& t, std::int32_t k) {
  const NodeRec& n = At(t, k);
  const bool leftHeavy = n.LeftHeight > n.RightHeight;
  const std::vector<Detail::HeldRebalance> held =
      Detail::FixUpForDeletion(e, t, k, /*rightHeavy=*/!leftHeavy);
  const std::int32_t p = At(t, k).Parent;
  NodeRec& P = At(t, p);
  if (P.RightChild == k) {
    P.RightChild = -1;
    UpdateHeights(e, t, p);
  } else if (P.LeftChild == k) {
    P.LeftChild = -1;
    UpdateHeights(e, t, p);
  }
  // The fix-up's Rebalance calls wait until the parked node is cut off: run
  // earlier, they could move it and then cut the wrong link.
  for (const Detail::HeldRebalance& call : held) Rebalance(e, t, call.Node, call.SkipWalk);
}

// Parent, LeftChild, RightChild and ControlIndex lie side by side, so the
// three links are renumbered together as one vector of four.
static_assert(offsetof(NodeRec, LeftChild) == offsetof(NodeRec, Parent) + 4);
static_assert(offsetof(NodeRec, RightChild) == offsetof(NodeRec, Parent) + 8);
static_assert(offsetof(NodeRec, ControlIndex) == offsetof(NodeRec, Parent) + 12);
using Int4 = std::int32_t __attribute__((vector_size(16)));

// Renumbers the links of `from` into `to`, which is slot `at` of the
// compacted table, and gives it the kind its links call for; ControlIndex
// goes along unchanged. Returns whether `to` is a childless node with heights
// left from before, to be refreshed.
[[gnu::always_inline]] inline bool Relink(const NodeRec& from, NodeRec& to, std::int32_t at,
                                          std::int32_t k, std::int32_t& root) {
  // A link to k becomes -1 (all bits set), a link behind k moves down by one;
  // the fourth lane compares with a bound ControlIndex never reaches.
  const Int4 bound = {k, k, k, std::numeric_limits<std::int32_t>::max()};
  Int4 links;
  std::memcpy(&links, &from.Parent, sizeof links);
  links = (links + (links > bound)) | (links == bound);
  std::memcpy(&to.Parent, &links, sizeof links);

  // Half the slots are leaves, in no order: the kind is chosen without a branch.
  const bool childless = (links[1] & links[2]) == -1;
  static_assert(static_cast<int>(NodeKind::Leaf) == static_cast<int>(NodeKind::Interior) + 1);
  NodeKind kind = static_cast<NodeKind>(static_cast<int>(NodeKind::Interior) + childless);
  bool stale = childless & ((from.LeftHeight | from.RightHeight) != 0);
  if (links[0] == -1) [[unlikely]] {
    kind = NodeKind::Root;
    root = at;
    stale = false;
  }
  to.Kind = kind;
  return stale;
}

// Renumbers every link for the removal of slot k and closes the gap, in one
// pass: each slot is renumbered and, behind k, moved down by one. This runs
// over the whole table on every removal, so it is kept tight.
void Compact(EngineState& e, TreeRec& t, std::int32_t k) {
  std::vector<std::int32_t> refresh;
  NodeRec* const nodes = t.Nodes.data();
  const auto slots = static_cast<std::int32_t>(t.Nodes.size());
  std::int32_t root = t.Root;

  for (std::int32_t i = 0; i < k; ++i)
    if (Relink(nodes[i], nodes[i], i, k, root)) [[unlikely]]
      refresh.push_back(i);
  // The removed slot k is overwritten; what the pass would write into it goes
  // with it. Behind it every slot moves down by one, its fields going straight
  // to their new place (reading them back after writing them stalls the copy).
  for (std::int32_t i = k + 1; i < slots; ++i) {
    NodeRec& from = nodes[i];
    NodeRec& to = nodes[i - 1];
    to.Data = from.Data;
    to.Level = from.Level;
    to.LeftHeight = from.LeftHeight;
    to.RightHeight = from.RightHeight;
    to.Description = std::move(from.Description);
    if (Relink(from, to, i - 1, k, root)) [[unlikely]]
      refresh.push_back(i - 1);
  }
  t.Root = root;

  if (t.Nodes.size() == 1)
    t.Nodes.assign(1, NodeRec{});
  else
    t.Nodes.pop_back();
  --t.Count;

  for (const std::int32_t i : refresh) UpdateHeights(e, t, i);
}

// A right-leaning three-node chain hanging from slot 0 gets a root check.
void FinalShapeCheck(EngineState& e, TreeRec& t) {
  if (!t.Exists || t.Count == 0) return;
  const NodeRec& first = At(t, 0);
  if (first.LeftChild != -1 || first.RightChild == -1) return;
  const NodeRec& right = At(t, first.RightChild);
  if (right.LeftChild != -1 || right.RightChild == -1) return;
  const NodeRec& grandchild = At(t, right.RightChild);
  if (grandchild.LeftChild != -1 || grandchild.RightChild != -1) return;
  Rebalance(e, t, t.Root, false);
}

}  // namespace

void DeleteNode(EngineState& state, TreeRec& tree, std::int32_t index) {
  const std::int32_t k = index;
  Detail::NotifyErase(state, tree, k);
  const NodeRec& n = At(tree, k);
  // The case follows the links; on a tree whose kinds match its links (as
  // every operation leaves it) this is the choice by kind.
  if (n.LeftChild == -1 && n.RightChild == -1) {
    if (n.Parent != -1)
      RemoveLeaf(state, tree, k);
    else
      tree.Exists = false;  // the last node; Root keeps its old value
  } else if (n.LeftChild == -1 || n.RightChild == -1)
    RemoveWithOneChild(state, tree, k);
  else
    RemoveWithTwoChildren(state, tree, k);

  Compact(state, tree, k);
  FinalShapeCheck(state, tree);
  Detail::CheckSound(tree);
}

void DeleteNode(TreeRec& tree, std::int32_t index) {
  DeleteNode(DefaultEngine(), tree, index);
}

}  // namespace TreeCore
