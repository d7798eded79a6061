// The in-order neighbours of every node of one tree, kept by insertions for
// a caller that owns its tree (a Get Tree job): a heavy-side fix-up then
// finds the two nodes next to the one it fixes in a step, instead of a walk
// down the tree for each (docs/performance.md, "Neighbours kept in order").
#pragma once

#include <cstdint>
#include <vector>

namespace TreeCore {

struct TreeRec;
struct EngineState;

namespace Detail {

struct InOrderLinks {
  // The tree the links describe, and its Count when they were last brought
  // up to date; nullptr when they describe none.
  const TreeRec* Tree = nullptr;
  std::int32_t Count = 0;
  // Set only inside an insertion into Tree: the fix-ups may read the links.
  bool InUse = false;
  // By slot: the node just before and just after it in order, -1 for none.
  std::vector<std::int32_t> Before;
  std::vector<std::int32_t> After;
};

// For the length of one insertion: brings the links up to date when the
// state keeps them, lets the fix-ups read them, and records the count the
// insertion leaves. They are built from the tree afresh when they describe
// another tree or another count (a reset, or a record moved) or when any
// other operation ran through the instance since. An insertion left by an
// exception drops them.
class InOrderScope {
 public:
  InOrderScope(EngineState& state, TreeRec& tree);
  ~InOrderScope();
  InOrderScope(const InOrderScope&) = delete;
  InOrderScope& operator=(const InOrderScope&) = delete;

  // The new node `added` hangs from `parent`, on its right side or its left.
  // (A first node has no neighbours: its new slot already says so.)
  void Linked(std::int32_t added, std::int32_t parent, bool right);
  void Done();

 private:
  InOrderLinks* links_ = nullptr;  // nullptr: not kept for this insertion
  const TreeRec& tree_;
  bool done_ = false;
};

}  // namespace Detail
}  // namespace TreeCore
