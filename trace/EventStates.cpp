#include "EventStates.h"

#include <memory>

#include "TraceEngine.h"

namespace TreeTrace {

namespace {

// The replay's engine runs the plain procedures, step by step, so that the
// tables it shows are theirs (the speed-ups keep them so too; this does not
// rest on it).
std::unique_ptr<Engine> MakeReplayEngine() {
  auto engine = std::make_unique<Engine>();
  engine->SetTuning(TreeCore::Tuning::Plain());
  return engine;
}

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
  const std::unique_ptr<Engine> engine = MakeReplayEngine();
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

EventStates StatesAt(const TraceRecorder& recorder, std::size_t value, std::size_t event) {
  std::vector<EventStates> run = StatesOfRun(recorder, value, event, 1);
  return run.empty() ? EventStates{} : std::move(run.front());
}

}  // namespace TreeTrace
