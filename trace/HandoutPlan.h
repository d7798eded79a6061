// Which events a steps handout covers, one page each: the events of a
// command numbered across its values, the range a choice of scope gives,
// when a range is long enough to ask about, and the states of a run of
// events rebuilt in one replay.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "EventStates.h"
#include "TraceRecorder.h"

namespace TreeTrace {

struct EventPosition {
  std::size_t Value = 0, Event = 0;
  bool operator==(const EventPosition&) const = default;
};

// The events of a command numbered from 0 across its values.
class EventNumbering {
 public:
  explicit EventNumbering(const TraceRecorder& recorder);
  std::uint64_t Total() const { return starts_.back(); }
  // The number of value i's first event (of the event after it when it has none).
  std::uint64_t FirstOf(std::size_t value) const { return starts_[value]; }
  std::uint64_t CountOf(std::size_t value) const { return starts_[value + 1] - starts_[value]; }
  // Event n, n below Total().
  EventPosition At(std::uint64_t n) const;

 private:
  std::vector<std::uint64_t> starts_;  // ValueCount() + 1 entries
};

enum class HandoutScope { SelectedValue, WholeCommand };

// Events First .. First + Count - 1.
struct EventRange {
  std::uint64_t First = 0, Count = 0;
  bool operator==(const EventRange&) const = default;
};

// More pages than this, and the user chooses which events to include.
constexpr std::uint64_t MaxPagesUnasked = 500;

struct HandoutPlan {
  EventRange Scope;       // every event of the scope: one page each
  bool AskRange = false;  // Scope has more than MaxPagesUnasked events
  // The choice offered when asking: the selected value's events, at most
  // MaxPagesUnasked of them.
  EventRange Suggested;
};

HandoutPlan PlanHandout(const EventNumbering& events, HandoutScope scope,
                        std::size_t selectedValue);
// Events `first` to `last` (counted from 1, as a dialog shows them, either
// order) kept inside the scope; an empty range when they miss it.
EventRange ChosenRange(const HandoutPlan& plan, std::uint64_t first, std::uint64_t last);

}  // namespace TreeTrace
