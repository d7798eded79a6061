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

// Copies the table at the chosen event and at the one after it, then leaves
// the engine by an exception: the engine and its tree are thrown away.
class StopAtEvent final : public TreeCore::TreeObserver {
 public:
  struct Stop {};
  StopAtEvent(const TreeCore::TreeRec& tree, std::size_t target, EventStates& out)
      : tree_(tree), target_(target), out_(out) {}

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
    if (k == target_) {
      out_.Found = true;
      out_.Event = MakeEvent(tree_, type, detail, node, value);
      if (type != EventType::Insert) out_.Before = tree_;
    } else if (k == target_ + 1) {
      out_.After = tree_;
      throw Stop{};
    }
  }

  const TreeCore::TreeRec& tree_;
  std::size_t target_;
  EventStates& out_;
  std::size_t count_ = 0;
};

}  // namespace

EventStates StatesAt(const TraceRecorder& recorder, std::size_t value, std::size_t event) {
  EventStates out;
  if (value >= recorder.ValueCount() || event >= recorder.Step(value).EventCount) return out;
  const std::unique_ptr<Engine> engine = MakeReplayEngine();
  TreeCore::TreeRec tree = recorder.TreeBefore(value, *engine);
  // The state an insert starts from; replaced for any other event.
  out.Before = tree;
  StopAtEvent stop(tree, event, out);
  engine->SetObserver(&stop);
  try {
    recorder.RunValue(*engine, tree, value);
    out.After = std::move(tree);  // the chosen event was the value's last
  } catch (const StopAtEvent::Stop&) {
  }
  return out;
}

}  // namespace TreeTrace
