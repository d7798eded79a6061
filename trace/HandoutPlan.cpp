#include "HandoutPlan.h"

#include <algorithm>

namespace TreeTrace {

EventNumbering::EventNumbering(const TraceRecorder& recorder) {
  starts_.reserve(recorder.ValueCount() + 1);
  std::uint64_t n = 0;
  for (std::size_t i = 0; i < recorder.ValueCount(); ++i) {
    starts_.push_back(n);
    n += recorder.Step(i).EventCount;
  }
  starts_.push_back(n);
}

EventPosition EventNumbering::At(std::uint64_t n) const {
  // The last value starting at or before n; values without events start
  // where the next one does, so the search skips them.
  const auto it = std::upper_bound(starts_.begin(), starts_.end() - 1, n);
  const auto value = static_cast<std::size_t>(it - starts_.begin()) - 1;
  return {value, static_cast<std::size_t>(n - starts_[value])};
}

HandoutPlan PlanHandout(const EventNumbering& events, HandoutScope scope,
                        std::size_t selectedValue) {
  HandoutPlan plan;
  const EventRange selected{events.FirstOf(selectedValue), events.CountOf(selectedValue)};
  plan.Scope = scope == HandoutScope::WholeCommand ? EventRange{0, events.Total()} : selected;
  plan.AskRange = plan.Scope.Count > MaxPagesUnasked;
  plan.Suggested = {selected.First, std::min(selected.Count, MaxPagesUnasked)};
  return plan;
}

EventRange ChosenRange(const HandoutPlan& plan, std::uint64_t first, std::uint64_t last) {
  if (first > last) std::swap(first, last);
  // From 1-based to 0-based, then cut to the scope.
  const std::uint64_t from = std::max(first, std::uint64_t{1}) - 1;
  const std::uint64_t to = last;  // one past the last, 0-based
  const std::uint64_t lo = std::max(from, plan.Scope.First);
  const std::uint64_t hi = std::min(to, plan.Scope.First + plan.Scope.Count);
  if (last == 0 || lo >= hi) return {};
  return {lo, hi - lo};
}

}  // namespace TreeTrace
