// Pieces the engine's source files share; not part of the public interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "TreeCore.h"

#ifdef TREECORE_COUNTERS
#define TREECORE_COUNT(state, field) (++(state).Counters.field)
#else
#define TREECORE_COUNT(state, field) ((void)(state))
#endif

namespace TreeCore::Detail {

// Assigns the line-break texts, as every height update does (once per
// operation gives the same texts), and sets the flags that say so.
void AssignLineBreaks(EngineState& state);

// What an operation does at most once: the flags are cleared as it starts.
// SettledSkippable comes with LineBreaksAssigned when the tuning skips
// height updates that would write nothing: the operation's first update
// assigns the line breaks, so it is never skipped.
enum OperationFlag : std::uint8_t {
  LineBreaksAssigned = 1,
  OrdersReplaced = 2,
  SettledSkippable = 4,
};
inline void BeginInsertion(EngineState& state) {
  state.OperationFlags = 0;
}
// Every other operation also lets the in-order links go: only insertions
// keep them, and a removal left by an exception changes the tree without
// changing its count (docs/performance.md, "Neighbours kept in order").
inline void BeginOperation(EngineState& state) {
  state.OperationFlags = 0;
  state.InOrder.Tree = nullptr;
}

inline NodeRec& At(TreeRec& t, std::int32_t i) {
  return t.Nodes[static_cast<std::size_t>(i)];
}
inline const NodeRec& At(const TreeRec& t, std::int32_t i) {
  return t.Nodes[static_cast<std::size_t>(i)];
}

// A node's balance, RightHeight - LeftHeight, taken as a 16-bit value.
inline std::int16_t BalanceOf(const NodeRec& x) {
  return static_cast<std::int16_t>(x.RightHeight - x.LeftHeight);
}
// The balance is off by two or more: the balance check starts a fix-up.
inline bool OutOfBalance(const NodeRec& x) {
  const std::int16_t d = BalanceOf(x);
  return d >= 2 || d <= -2;
}

// A balance walk may stop at a node of a path found balanced: every check
// above it would find nothing. Such a path holds while its nodes stay
// balanced and keep their parents, so the writes that could spoil it report
// here (docs/performance.md, "Certified walks"). With Tuning.CertifiedWalks
// off no path is ever certified, and the reports find nothing.
inline bool OnCertifiedPath(const EngineState& state, std::int32_t node) {
  return state.WalkCertificate != 0 &&
         state.WalkStamp[static_cast<std::size_t>(node)] == state.WalkCertificate;
}
// Code that runs with no certificate (`certified` false) skips the reports:
// nothing here certifies a path, so none can be spoiled.
template <bool certified = true>
inline void ParentWritten(EngineState& state, std::int32_t node) {
  if constexpr (certified)
    if (node >= 0 && OnCertifiedPath(state, node)) state.WalkCertificate = 0;
}
template <bool certified = true>
inline void HeightsWritten(EngineState& state, const TreeRec& tree, std::int32_t node) {
  if constexpr (certified)
    if (OnCertifiedPath(state, node) && OutOfBalance(tree.Nodes[static_cast<std::size_t>(node)]))
      state.WalkCertificate = 0;
}

// Rebalance as the engine calls it inside an operation (Heights, the height
// update's walk, is in HeightWalk.h).
void RebalanceIn(EngineState& state, TreeRec& tree, std::int32_t node, bool skipWalk);

// Lowers the Level of every node of the subtree whose top is `top` by one,
// as LevelDown called for each of them would.
void LevelLoweringPass(EngineState& state, TreeRec& tree, std::int32_t top);

// A Rebalance call that a deleting fix-up holds back until its caller has cut
// the parked node off.
struct HeldRebalance {
  std::int32_t Node;
  bool SkipWalk;
};

// The heavy-side fix-up with deleting true: does its work and returns, in the
// order they were issued, the Rebalance calls it held back.
std::vector<HeldRebalance> FixUpForDeletion(EngineState& state, TreeRec& tree, std::int32_t index,
                                            bool rightHeavy);

// The link in `parent` that holds `child` now holds `replacement` (left tested first).
inline void ReplaceChildLink(TreeRec& tree, std::int32_t parent, std::int32_t child,
                             std::int32_t replacement) {
  NodeRec& p = tree.Nodes[static_cast<std::size_t>(parent)];
  if (p.LeftChild == child)
    p.LeftChild = replacement;
  else if (p.RightChild == child)
    p.RightChild = replacement;
}

// A batch erase: removed slots are marked and the table is closed once at
// the end. Indices stay those of the full table meanwhile.
struct EraseBatch {
  explicit EraseBatch(std::int32_t slots);

  std::vector<char> Removed;          // by slot
  std::vector<std::int32_t> Fenwick;  // counts of removed slots, for Compacted
  std::vector<std::int32_t> Touched;  // slots whose links or kind changed since the last removal
  // Touched holds each slot once: a removal can start millions of fix-ups,
  // each touching the same few slots again.
  std::vector<std::uint32_t> TouchedIn;  // by slot: the removal that last recorded it
  std::uint32_t Removal = 1;
  std::int32_t Live = 0;
  std::int32_t FirstLive = 0;
  std::int32_t LastLive = -1;

  void MarkRemoved(std::int32_t slot);
  // The index `slot` has in the table with the removed slots closed up.
  std::int32_t Compacted(std::int32_t slot) const;
};

// Whether a batch erase is running. The balancing loop settles it once per
// run and passes it down as a template argument: an insertion's millions of
// fix-ups would otherwise ask at every node they touch.
enum class InBatch : std::uint8_t { Ask, No, Yes };
template <InBatch B>
inline bool Batched(const EngineState& state) {
  if constexpr (B == InBatch::Ask)
    return state.Batch != nullptr;
  else
    return B == InBatch::Yes;
}

// Records that a removal in a batch changed the links or the kind of `node`.
template <InBatch B = InBatch::Ask>
inline void Touch(EngineState& state, std::int32_t node) {
  if (Batched<B>(state) && node >= 0) {
    EraseBatch& batch = *state.Batch;
    std::uint32_t& in = batch.TouchedIn[static_cast<std::size_t>(node)];
    if (in != batch.Removal) {
      in = batch.Removal;
      batch.Touched.push_back(node);
    }
  }
}

// An index as events name it: within a batch, the one per-removal compaction gives.
inline std::int32_t EventIndex(const EngineState& state, std::int32_t node) {
  return state.Batch != nullptr ? state.Batch->Compacted(node) : node;
}

// The observer's calls; nothing happens when none is attached.
inline void NotifyInsert(EngineState& state, const TreeRec& tree, std::int32_t node) {
  if (state.Observer != nullptr)
    state.Observer->OnInsert(tree.Nodes[static_cast<std::size_t>(node)].Data,
                             EventIndex(state, node));
}
inline void NotifyRotate(EngineState& state, const TreeRec& tree, ChainKind kind,
                         std::int32_t top) {
  if (state.Observer != nullptr)
    state.Observer->OnRotate(kind, EventIndex(state, top),
                             tree.Nodes[static_cast<std::size_t>(top)].Data);
}
inline void NotifyFixUp(EngineState& state, const TreeRec& tree, bool rightHeavy,
                        std::int32_t node) {
  if (state.Observer != nullptr)
    state.Observer->OnFixUp(rightHeavy, EventIndex(state, node),
                            tree.Nodes[static_cast<std::size_t>(node)].Data);
}
inline void NotifyErase(EngineState& state, const TreeRec& tree, std::int32_t node) {
  if (state.Observer != nullptr)
    state.Observer->OnErase(tree.Nodes[static_cast<std::size_t>(node)].Data,
                            EventIndex(state, node));
}

// In debug builds, an operation that starts on a sound tree must leave it
// sound, or the program stops; a tree made unsound by hand (tests make such
// trees to reach the engine's guards) is not held to it. Nothing in release
// builds.
class SoundnessCheck {
 public:
#ifdef NDEBUG
  explicit SoundnessCheck(const TreeRec&) {}
  void Done() const {}
#else
  explicit SoundnessCheck(const TreeRec& tree);
  void Done() const;

 private:
  const TreeRec& tree_;
  bool wasSound_;
#endif
};

}  // namespace TreeCore::Detail

#include "HeightWalk.h"
