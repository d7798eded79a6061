// Pieces the engine's source files share; not part of the public interface.
#pragma once

#include <cstdint>
#include <vector>

#include "TreeCore.h"

#ifdef TREECORE_COUNTERS
#define TREECORE_COUNT(state, field) (++(state).Counters.field)
#else
#define TREECORE_COUNT(state, field) ((void)(state))
#endif

namespace TreeCore::Detail {

void AssignLineBreaks(EngineState& state);

// Lowers the Level of every node of the subtree whose top is `top` by one,
// through LevelDown called by name.
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
void ReplaceChildLink(TreeRec& tree, std::int32_t parent, std::int32_t child,
                      std::int32_t replacement);

// The observer's calls; nothing happens when none is attached.
inline void NotifyInsert(EngineState& state, const TreeRec& tree, std::int32_t node) {
  if (state.Observer != nullptr)
    state.Observer->OnInsert(tree.Nodes[static_cast<std::size_t>(node)].Data, node);
}
inline void NotifyRotate(EngineState& state, const TreeRec& tree, ChainKind kind,
                         std::int32_t top) {
  if (state.Observer != nullptr)
    state.Observer->OnRotate(kind, top, tree.Nodes[static_cast<std::size_t>(top)].Data);
}
inline void NotifyFixUp(EngineState& state, const TreeRec& tree, bool rightHeavy,
                        std::int32_t node) {
  if (state.Observer != nullptr)
    state.Observer->OnFixUp(rightHeavy, node, tree.Nodes[static_cast<std::size_t>(node)].Data);
}
inline void NotifyErase(EngineState& state, const TreeRec& tree, std::int32_t node) {
  if (state.Observer != nullptr)
    state.Observer->OnErase(tree.Nodes[static_cast<std::size_t>(node)].Data, node);
}

// In debug builds, stops the program when the tree is not sound; nothing in
// release builds.
void CheckSound(const TreeRec& tree);

}  // namespace TreeCore::Detail
