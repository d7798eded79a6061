#include "HandoutPlan.h"

#include <algorithm>
#include <memory>

#include "TraceEngine.h"

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

namespace {

// Copies the table at each event of the run and at the event after it, then
// leaves the engine by an exception, as StatesAt does.
class RunObserver final : public TreeCore::TreeObserver {
 public:
  struct Stop {};
  RunObserver(const TreeCore::TreeRec& tree, std::size_t first, std::size_t count,
              std::vector<EventStates>& out)
      : start_(tree), tree_(tree), first_(first), end_(first + count), out_(out) {}

  void OnInsert(std::int16_t value, std::int32_t node) override {
    Seen(EventType::Insert, 0, node, value);
  }
  void OnRotate(TreeCore::ChainKind kind, std::int32_t node, std::int16_t value) override {
    Seen(EventType::Rotate, static_cast<std::uint8_t>(kind), node, value);
  }
  void OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) override {
    Seen(EventType::FixUp, rightHeavy ? 1 : 0, node, value);
  }
  void OnErase(std::int16_t value, std::int32_t node) override {
    Seen(EventType::Erase, 0, node, value);
  }

 private:
  void Seen(EventType type, std::uint8_t detail, std::int32_t node, std::int16_t value) {
    const std::size_t k = count_++;
    if (k > first_ && k <= end_) out_.back().After = tree_;
    if (k == end_) throw Stop{};
    if (k < first_) return;
    EventStates& s = out_.emplace_back();
    s.Found = true;
    s.Event = MakeEvent(tree_, type, detail, node, value);
    // An insert's "before" is the tree before its value began.
    s.Before = type == EventType::Insert ? start_ : tree_;
  }

  const TreeCore::TreeRec start_;  // the tree before the value began
  const TreeCore::TreeRec& tree_;
  std::size_t first_, end_;
  std::vector<EventStates>& out_;
  std::size_t count_ = 0;
};

}  // namespace

std::vector<EventStates> StatesOfRun(const TraceRecorder& recorder, std::size_t value,
                                     std::size_t first, std::size_t count) {
  std::vector<EventStates> out;
  if (value >= recorder.ValueCount() || count == 0 || first >= recorder.Step(value).EventCount)
    return out;
  // The plain procedures, as the steps window's replay runs them.
  auto engine = std::make_unique<Engine>();
  engine->SetTuning(TreeCore::Tuning::Plain());
  TreeCore::TreeRec tree = recorder.TreeBefore(value, *engine);
  RunObserver observer(tree, first, count, out);
  engine->SetObserver(&observer);
  try {
    recorder.RunValue(*engine, tree, value);
    // The run reached the value's last event.
    if (!out.empty()) out.back().After = std::move(tree);
  } catch (const RunObserver::Stop&) {
  }
  return out;
}

}  // namespace TreeTrace
