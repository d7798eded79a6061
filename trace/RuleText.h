// The balancing procedure in plain words, line by line, as the steps
// window's Rules panel lists it, and which of its lines an event comes from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "EventReason.h"
#include "EventStates.h"
#include "TraceRecorder.h"

namespace TreeTrace {

// One line of the procedure each; the order is the listing's.
enum class RulePart : std::uint8_t {
  InsertFirst,
  InsertWalk,
  InsertLink,
  HeightStart,
  HeightUp,
  HeightRoot,
  CheckTop,
  CheckRoot,
  CheckChain,
  CheckWalk,
  RotateRR,
  RotateRL,
  RotateLL,
  RotateLR,
  RotateAfter,
  FixRight,
  FixLeft,
  FixTakeOut,
  FixSink,
  FixRebalance,
  LiftStep,
  LiftAfter,
  Parked,
  EraseFind,
  EraseLeaf,
  EraseLast,
  EraseOneChild,
  EraseTwoChildren,
  EraseRenumber,
  EraseSlotZero,
};
constexpr std::size_t RulePartCount = static_cast<std::size_t>(RulePart::EraseSlotZero) + 1;

struct RuleLine {
  RulePart Part;
  const char* Text;
};
struct RuleSection {
  const char* Title;
  std::span<const RuleLine> Lines;
};

// The sections in the order the procedure runs them; every part once.
std::span<const RuleSection> RuleSections();

// The lines event `states` (from StatesAt) of value `value` comes from, the
// one it fires on first, then those it runs through.
std::vector<RulePart> EventRuleParts(const TraceRecorder& recorder, std::size_t value,
                                     const EventStates& states, const EventReason& reason);
// A whole value of a Get Tree or an Erase: where it starts.
std::vector<RulePart> ValueRuleParts(CommandKind kind);

}  // namespace TreeTrace
