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

#include "BlockStack.h"
#include "InOrderLinks.h"
#include "TreeCore.h"
#include "TreeObserver.h"
#include "Tuning.h"

namespace TreeCore {

namespace Detail {

// One suspended Rebalance or heavy-side fix-up of the balancing loop. A
// sorted list nests millions of them (some 3.3 million for 32767 ascending
// values), so the three small fields share one byte and the record is not
// padded: nine bytes instead of twelve.
struct [[gnu::packed]] BalanceFrame {
  std::int32_t top = -1;       // on entry the node given; then Rebalance: chain top a; fix-up: a
  std::int32_t walk = -1;      // Rebalance: w; fix-up: b
  std::uint8_t kind : 1 = 0;   // Rebalance or fix-up
  std::uint8_t stage : 3 = 0;  // four stages
  std::uint8_t flags : 3 = 0;  // skipWalk, rightHeavy, liftHeld
};
static_assert(sizeof(BalanceFrame) == 9);

// What an erase of several values in one batch keeps (engine-internal).
struct EraseBatch;

}  // namespace Detail

struct EngineState {
  EngineState() = default;
  EngineState(const EngineState&) = delete;
  EngineState& operator=(const EngineState&) = delete;

  // The tree the window works on.
  TreeRec MainTree;
  // The record the OrdersCode methods read and write: SharedTreeStore, which
  // the drawing pass fills with a copy of the tree it draws. The engine's
  // level-lowering pass leaves it alone and lowers the levels of the tree it
  // fixes in place (docs/balancing.md, "The heavy-side fix-up").
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

  // The balancing loop's suspended calls; empty between operations. Kept in
  // blocks: a sorted list nests millions of them.
  Detail::BlockStack<Detail::BalanceFrame> Frames;

  // What the running operation has done once already (line breaks, Orders).
  std::uint8_t OperationFlags = 0;
  // The level-lowering walk's pending nodes beyond the few it keeps on the
  // machine stack; kept to reuse its storage.
  std::vector<std::int32_t> WalkStack;

  // Set while EraseValues runs: removals mark slots instead of closing gaps.
  Detail::EraseBatch* Batch = nullptr;

  // Inside one run of the balancing loop, with Tuning.CertifiedWalks: the
  // slots i with WalkStamp[i] == WalkCertificate form paths to the root that
  // a balance walk found balanced and that nothing has spoiled since; 0 means
  // there is none. Stamps of older walks never equal a later certificate.
  std::vector<std::uint32_t> WalkStamp;
  std::uint32_t WalkCertificate = 0;
  std::uint32_t LastWalkId = 0;

  // Which speed-ups this instance takes; Tuning::Plain() for none. Set it
  // between operations.
  TreeCore::Tuning Tuning;

  // Set by a caller whose tree changes only through this instance (a Get
  // Tree job): insertions then keep each node's in-order neighbours for the
  // fix-ups, when Tuning.InOrderLinks allows. Any other operation through
  // this instance lets them go, and the next insertion builds them afresh;
  // changing the tree by hand or through another instance meanwhile is not
  // allowed.
  bool KeepInOrderLinks = false;
  Detail::InOrderLinks InOrder;
};

// The instance behind the names without a state (MainTree, InsertValue, ...).
EngineState& DefaultEngine();

}  // namespace TreeCore
