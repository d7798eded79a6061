// Everything one engine instance works with besides the tree it is given:
// the main tree, the shared copy the OrdersCode methods use, the drawing
// counters and hooks, the balancing frame stack and the observer. Two
// instances never share anything, so each may run on a thread of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TreeCore.h"
#include "TreeObserver.h"

namespace TreeCore {

namespace Detail {

// One suspended Rebalance or heavy-side fix-up of the balancing loop.
struct BalanceFrame {
  std::int32_t node = -1;  // the index read on entry
  std::int32_t top = -1;   // Rebalance: chain top a; fix-up: a
  std::int32_t walk = -1;  // Rebalance: w; fix-up: b
  std::uint8_t kind = 0;   // Rebalance or fix-up
  std::uint8_t stage = 0;
  std::uint8_t flags = 0;  // skipWalk, rightHeavy, liftHeld
};

}  // namespace Detail

struct EngineState {
  EngineState() = default;
  EngineState(const EngineState&) = delete;
  EngineState& operator=(const EngineState&) = delete;

  // The tree the window works on.
  TreeRec MainTree;
  // The record the OrdersCode methods read and write. It normally designates
  // SharedTreeStore, which the drawing pass fills with a copy of the tree it
  // draws; a level-lowering pass points it at the tree being fixed instead.
  TreeRec SharedTreeStore;
  TreeRec* SharedTree = &SharedTreeStore;
  std::unique_ptr<OrdersCode> Orders;
  std::int16_t DrawnElementCount = 0;
  std::string LineBreak;
  std::string DoubleLineBreak;

  // Installed by the drawing layer: destroys run-time element i (label,
  // circle, line) and draws the children of SharedTree node Num.
  std::function<void(std::int16_t)> DestroyElement;
  std::function<void(std::int32_t)> PrintNode;

  // Watches the balancing; nullptr means nobody does and nothing is reported.
  TreeObserver* Observer = nullptr;

  // Work counted for the benchmark (only in the counted build of the engine).
  WorkCounters Counters;

  // The balancing loop's suspended calls; empty between operations.
  std::vector<Detail::BalanceFrame> Frames;
};

// The instance behind the names without a state (MainTree, InsertValue, ...).
EngineState& DefaultEngine();

}  // namespace TreeCore
