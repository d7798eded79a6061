// Why an event fired: the facts it fired on, read off the tree just before
// it as the procedure saw them, and the rule in one sentence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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

// Event `states` (from StatesAt) of value `value` of `recorder`'s command.
EventReason ExplainEvent(const TraceRecorder& recorder, std::size_t value,
                         const EventStates& states);

}  // namespace TreeTrace
