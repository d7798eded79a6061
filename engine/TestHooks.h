// Entry points for tests: each procedure of the scheme (docs/balancing.md)
// run alone, as an operation of its own, on any record a test builds. The
// program reaches them only inside InsertValue, DeleteNode and EraseValues
// (TreeCore.h), which run them in one balancing loop. Each takes the engine
// instance it works for first; the forms without one work for the default
// instance.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "TreeCore.h"

namespace TreeCore {

// The height update from `node` (docs/balancing.md, "Insertion and heights").
void UpdateHeights(EngineState& state, TreeRec& tree, std::int32_t node);
void UpdateHeights(TreeRec& tree, std::int32_t node);

// The balance check of one node: the fix-up it calls for, if any, with every
// Rebalance that follows from it (docs/balancing.md, "The balance check").
void CheckBalance(EngineState& state, TreeRec& tree, std::int32_t node);
void CheckBalance(TreeRec& tree, std::int32_t node);

void Rebalance(EngineState& state, TreeRec& tree, std::int32_t node, bool skipWalk);
void Rebalance(TreeRec& tree, std::int32_t node, bool skipWalk);

// The chain rotation of `kind` ("RR", "LL", "RL" or "LR", upper-cased before
// it is compared; any other text does nothing) with `top` as the chain's top.
void Rotate(EngineState& state, TreeRec& tree, std::string_view kind, std::int32_t top);
void Rotate(TreeRec& tree, std::string_view kind, std::int32_t top);

// The heavy-side fix-up of `index` (docs/balancing.md, "The heavy-side
// fix-up"). With `deleting` the Rebalance calls it owes run at its end, as
// there is no cut to wait for.
void RebalanceRightHeavy(EngineState& state, TreeRec& tree, std::int32_t index, bool deleting);
void RebalanceLeftHeavy(EngineState& state, TreeRec& tree, std::int32_t index, bool deleting);
void RebalanceRightHeavy(TreeRec& tree, std::int32_t index, bool deleting);
void RebalanceLeftHeavy(TreeRec& tree, std::int32_t index, bool deleting);

// In-order walk from the node held in `link`, calling the OrdersCode method
// named `methodName` on `target` for each node. The engine's level-lowering
// pass lowers the levels directly (docs/balancing.md, "The heavy-side fix-up").
void CallInOrder(std::vector<NodeRec>& nodes, const std::int32_t& link, OrdersCode& target,
                 std::string_view methodName);

}  // namespace TreeCore
