// What the panes mark beside one event, worked out once for the steps
// window and its PDF handout alike: the nodes the event involves, ringed in
// both trees, and each one's role.
#pragma once

#include <cstdint>
#include <vector>

#include "EventReason.h"
#include "EventStates.h"
#include "TraceRecorder.h"
#include "pane/TreePane.h"

namespace TreeUi {

struct EventMarks {
  // Slots, sorted: in the tree before the event and in the tree after it.
  std::vector<std::int32_t> Before, After;
  // Rings by role, the new top's last (outermost, drawn over the others).
  std::vector<NodeRing> BeforeRings, AfterRings;
};

// Whether event `e` of value `value` is the fix-up that removes an erased
// node with two children: it parks the node as a leaf, to be cut off.
bool ParksErasedNode(const TreeTrace::TraceRecorder& recorder, std::size_t value,
                     const TreeTrace::StepEvent& e);

// The tree as that fix-up leaves it, for the panes: the recorded state after
// it (the node already cut off and the table closed up) with the node back in
// its slot `slot`, a leaf where it was parked, below its in-order neighbour.
// The trace itself has no such state; only the panes show it.
TreeCore::TreeRec ParkedTree(const TreeCore::TreeRec& before, const TreeCore::TreeRec& after,
                             std::int32_t slot);

// The marks of event `states` (from StatesAt) of value `value`.
EventMarks MarksOfEvent(const TreeTrace::TraceRecorder& recorder, std::size_t value,
                        const TreeTrace::EventStates& states, const TreeTrace::EventReason& reason);

}  // namespace TreeUi
