// The height update's upward walk. It runs millions of times for a sorted
// list, most walks a step or two long, so it is inlined where the engine
// calls it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "Internal.h"

namespace TreeCore::Detail {

inline std::int32_t SideHeight(const NodeRec& child) {
  return 1 + std::max(child.LeftHeight, child.RightHeight);
}

// The walk has ended at `c`, the root (or a parentless node taken for it).
[[gnu::noinline]] inline void FinishAtRoot(EngineState& state, TreeRec& tree, std::int32_t c) {
  NodeRec& top = tree.Nodes[static_cast<std::size_t>(c)];
  if (top.LeftChild != -1)
    top.LeftHeight = SideHeight(tree.Nodes[static_cast<std::size_t>(top.LeftChild)]);
  if (top.RightChild != -1)
    top.RightHeight = SideHeight(tree.Nodes[static_cast<std::size_t>(top.RightChild)]);
  tree.TreeLeftHeight = top.LeftHeight;
  tree.TreeRightHeight = top.RightHeight;
  tree.Height = std::max(top.LeftHeight, top.RightHeight);
  HeightsWritten(state, tree, c);
}

// Why: the walk stops at the first height that did not change, so a change
// costs its path and no more (docs/balancing.md, "Insertion and heights").
// `certified` false: called with no certificate (see ParentWritten).
template <InBatch B = InBatch::Ask, bool certified = true>
inline void Heights(EngineState& state, TreeRec& tree, std::int32_t node) {
  // The texts are assigned by every height update; once per operation gives
  // the same texts.
  if ((state.OperationFlags & LineBreaksAssigned) == 0) [[unlikely]]
    AssignLineBreaks(state);
  const std::int32_t n = node;
  if (n == -1) return;

  // A sorted list makes millions of these walks, most of them a step or
  // two long: what they read of the state is read once, and a missing
  // side's height is cleared without a branch.
  NodeRec* const nodes = tree.Nodes.data();
  NodeRec& start = nodes[n];
  const bool noLeft = start.LeftChild == -1;
  const bool noRight = start.RightChild == -1;
  start.LeftHeight &= static_cast<std::int32_t>(noLeft) - 1;  // 0 without that child
  start.RightHeight &= static_cast<std::int32_t>(noRight) - 1;
  if (noLeft && noRight) {
    start.Kind = NodeKind::Leaf;
    Touch<B>(state, n);
  }
  HeightsWritten<certified>(state, tree, n);

  if (n == tree.Root) {
    tree.TreeLeftHeight = start.LeftHeight;
    tree.TreeRightHeight = start.RightHeight;
    tree.Height = std::max(start.LeftHeight, start.RightHeight);
    return;
  }

  [[maybe_unused]] const std::uint32_t certificate = state.WalkCertificate;
  [[maybe_unused]] const std::uint32_t* const stamps = state.WalkStamp.data();
  std::int32_t c = n;
  // Each step's height is carried to the next in a register, not read back
  // from the field just written: the walk's chain is its loads of the
  // parents, not a store and a reload per step (docs/performance.md, "Walks
  // bound by their loads").
  std::int32_t fresh = SideHeight(start);
  for (;;) {
    const std::int32_t p = nodes[c].Parent;
    if (p == -1) [[unlikely]] {
      // A parentless node not marked "Root" (a root that a height update once
      // marked "Leaf"): the walk ends here as it would at the root.
      FinishAtRoot(state, tree, c);
      return;
    }
    NodeRec& parent = nodes[p];
    // The right link is tested first. Branches, not a selected address:
    // the store's address is then known early and the processor runs ahead
    // on the next step.
    std::int32_t old;
    std::int32_t next;
    if (parent.RightChild == c) {
      old = parent.RightHeight;
      parent.RightHeight = fresh;
      next = 1 + std::max(parent.LeftHeight, fresh);
    } else if (parent.LeftChild == c) [[likely]] {
      old = parent.LeftHeight;
      parent.LeftHeight = fresh;
      next = 1 + std::max(fresh, parent.RightHeight);
    } else {
      // Held on neither side (a tree made by hand): nothing is written
      // here, and the walk ends at this parent (at the root's refresh if
      // it is marked Root).
      old = fresh;
      next = fresh;
    }
    c = p;
    if (parent.Kind == NodeKind::Root) [[unlikely]] {
      FinishAtRoot(state, tree, c);
      return;
    }
    if (fresh == old) return;
    if constexpr (certified)
      if (certificate != 0 && stamps[p] == certificate && OutOfBalance(parent)) [[unlikely]]
        state.WalkCertificate = 0;
    fresh = next;
  }
}

// Whether a height update that would write nothing may be skipped: only
// with Tuning.SkipSettledHeights, and neither within an operation's first
// update (it assigns the line breaks) nor in a batch erase (there the update
// records a childless start as touched, even one already a leaf).
template <InBatch B = InBatch::Ask>
inline bool SettledMayBeSkipped(const EngineState& state) {
  return (state.OperationFlags & SettledSkippable) != 0 && !Batched<B>(state);
}

// Whether a height update from `n` would write nothing and may be skipped:
// its missing sides already count 0, a childless node is already a leaf, and
// its parent, not marked Root (the walk always recomputes such a node's
// sides), already holds its height (docs/performance.md, "Updates that would
// write nothing").
template <InBatch B = InBatch::Ask>
inline bool HeightsSettled(const EngineState& state, const TreeRec& tree, std::int32_t n) {
  if (!SettledMayBeSkipped<B>(state)) return false;
  const NodeRec* const nodes = tree.Nodes.data();
  const NodeRec& x = nodes[n];
  const bool noLeft = x.LeftChild == -1;
  const bool noRight = x.RightChild == -1;
  if ((noLeft && x.LeftHeight != 0) || (noRight && x.RightHeight != 0)) return false;
  if (noLeft && noRight && x.Kind != NodeKind::Leaf) return false;
  if (n == tree.Root || x.Parent == -1) return false;
  const NodeRec& p = nodes[x.Parent];
  if (p.Kind == NodeKind::Root) return false;
  const std::int32_t height = SideHeight(x);
  if (p.RightChild == n) return p.RightHeight == height;
  return p.LeftChild != n || p.LeftHeight == height;
}

// Heights where the caller's node is most often settled already (a leaf
// just placed, a node whose subtree the walk before has counted): the
// check's few reads cost less than the walk's unpredictable exit.
template <InBatch B = InBatch::Ask, bool certified = true>
inline void HeightsUnlessSettled(EngineState& state, TreeRec& tree, std::int32_t n) {
  if (n != -1 && HeightsSettled<B>(state, tree, n)) {
    HeightsWritten<certified>(state, tree, n);
    return;
  }
  Heights<B, certified>(state, tree, n);
}

}  // namespace TreeCore::Detail
