// The tree just before and just after one event of a recorded command,
// rebuilt on demand: the value is replayed from the nearest snapshot and the
// engine is stopped at the event, so nothing is kept per event.
#pragma once

#include <cstddef>
#include <vector>

#include "TraceRecorder.h"
#include "TreeCore.h"

namespace TreeTrace {

struct EventStates {
  bool Found = false;  // false when the value has no such event
  StepEvent Event;     // the event, read off the tree as it fired
  // An insert's "before" is the tree before its value began; any other
  // event's is the table as the procedure stood when the event fired.
  TreeCore::TreeRec Before;
  // The table when the value's next event fired, or when the value ended.
  TreeCore::TreeRec After;
};

// Event `event` (counted from 0) of value `value`.
EventStates StatesAt(const TraceRecorder& recorder, std::size_t value, std::size_t event);

// The states of events first .. first + count - 1 of value `value`, with one
// replay; each as StatesAt gives it. Fewer when the value has fewer.
std::vector<EventStates> StatesOfRun(const TraceRecorder& recorder, std::size_t value,
                                     std::size_t first, std::size_t count);

}  // namespace TreeTrace
