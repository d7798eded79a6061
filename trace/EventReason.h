// Why an event fired: the facts it fired on, read off the tree just before
// it as the procedure saw them, and the rule in one sentence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "EventStates.h"
#include "TraceRecorder.h"

namespace TreeTrace {

struct EventReason {
  std::string Facts;  // "right 3, left 1: right-heavy by 2. ..."
  std::string Rule;   // one sentence of the rule
  // A fix-up whose neighbour leaves its parent b with one side only: the
  // lift step moves b (LiftedValue) below LiftTargetValue.
  bool Lift = false;
  std::int16_t LiftedValue = 0, LiftTargetValue = 0;
};

// What a node does in an event. The order is the legend's.
enum class Role : std::uint8_t {
  Subject,    // the inserted, erased or fixed node, or the chain's top
  Middle,     // the chain's middle
  Bottom,     // the chain's bottom
  NewTop,     // the chain node that takes the top's place
  Neighbour,  // the fix-up's in-order neighbour, which moves up
  Lift,       // the lift step's b and the node it goes below
};
constexpr int RoleCount = 6;
struct RoleMark {
  std::int32_t Node;
  TreeTrace::Role Role;
};
// The roles of the event's nodes in `tree` (its state before or after the
// event), found by value, since slots move.
std::vector<RoleMark> EventRoles(const StepEvent& event, const EventReason& reason,
                                 const TreeCore::TreeRec& tree);

// Event `states` (from StatesAt) of value `value` of `recorder`'s command.
EventReason ExplainEvent(const TraceRecorder& recorder, std::size_t value,
                         const EventStates& states);

}  // namespace TreeTrace
