// Records what one Get Tree or Erase did, value by value, compactly enough for
// the largest lists: per-value counts always, the events themselves up to a
// budget, and snapshots of the tree every so often, so that the tree right
// after any value (and that value's events, when they were not kept) is
// rebuilt by replaying from the nearest snapshot instead of from the start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "CommandKind.h"
#include "TraceEngine.h"
#include "TreeCore.h"
#include "TreeObserver.h"

namespace TreeTrace {

using TreeCommands::CommandKind;

enum class EventType : std::uint8_t { Insert, Rotate, FixUp, Erase };

// One event with the nodes it involves, read from the tree as it happened.
// Node indexes are those of that moment.
struct StepEvent {
  EventType Type = EventType::Insert;
  // The chain kind of a rotation; 1 for a right-heavy fix-up, 0 for a left-heavy one.
  std::uint8_t Detail = 0;
  std::int16_t Value = 0;   // the value at `Node`
  std::int32_t Node = -1;   // the inserted, rotated, fixed or erased node
  std::int32_t Other = -1;  // rotation: the chain's middle node; fix-up: the neighbour
  std::int32_t Third = -1;  // rotation: the chain's bottom node
  std::int16_t OtherValue = 0;
  std::int16_t ThirdValue = 0;

  TreeCore::ChainKind Kind() const { return static_cast<TreeCore::ChainKind>(Detail); }
  bool RightHeavy() const { return Detail != 0; }
  // The node that takes the top's place in a rotation.
  std::int16_t NewTopValue() const;
};

// What one value of the command did.
struct ValueStep {
  std::int16_t Value = 0;
  // Insert: attached below an existing node; erase: the removed node's parent.
  bool HasParent = false;
  bool RightOfParent = false;
  std::int16_t ParentValue = 0;
  std::int32_t ParentNode = -1;               // its index before the value ran
  std::int32_t Node = -1;                     // insert: the slot filled; erase: the node removed
  std::uint32_t Rotations[4] = {0, 0, 0, 0};  // by ChainKind
  std::uint32_t FixUps = 0;
  std::uint32_t EventCount = 0;
  // Where its events start in the kept list; NotKept when they were over budget.
  std::uint32_t FirstEvent = 0;
  static constexpr std::uint32_t NotKept = 0xFFFFFFFFu;
};

struct TraceSummary {
  CommandKind Kind = CommandKind::Get;
  std::size_t Values = 0;
  std::uint64_t Rotations[4] = {0, 0, 0, 0};
  std::uint64_t FixUps = 0;
  std::int32_t Nodes = 0;
  std::int32_t Levels = 0;
  std::int32_t Height = 0;
  std::int32_t LeastLevels = 0;
  std::int32_t Unbalanced = 0;  // nodes whose sides differ by two or more
  std::string Message;          // the refusal that stopped the command, if any
};

struct TraceLimits {
  std::size_t MaxKeptEvents = 4'000'000;
  std::size_t MaxSnapshotBytes = std::size_t{64} << 20;
  // Replay work (values plus events) between two snapshots before thinning.
  std::uint64_t SnapshotWork = 4096;
};

class TraceRecorder final : public TreeCore::TreeObserver {
 public:
  explicit TraceRecorder(TraceLimits limits = {}) : limits_(limits) {}

  // ---- Recording: the command's runner calls these ------------------------

  // `before` is the tree the command's first value meets (for Get Tree, the
  // emptied tree).
  void BeginCommand(CommandKind kind, const TreeCore::TreeRec& before);
  // The next value is about to run on `tree`, which must stay alive and be
  // the tree the events come from until the next call.
  void BeginValue(const TreeCore::TreeRec& tree, std::int16_t value);
  void EndCommand(const TreeCore::TreeRec& after, std::string message);

  void OnInsert(std::int16_t value, std::int32_t node) override;
  void OnRotate(TreeCore::ChainKind kind, std::int32_t node, std::int16_t value) override;
  void OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) override;
  void OnErase(std::int16_t value, std::int32_t node) override;

  // ---- Reading ---------------------------------------------------------------

  bool Empty() const { return !begun_; }
  CommandKind Kind() const { return kind_; }
  std::size_t ValueCount() const { return steps_.size(); }
  const ValueStep& Step(std::size_t i) const { return steps_[i]; }
  const std::string& Message() const { return message_; }
  const TreeCore::TreeRec& After() const { return after_; }

  // The events of value i, from the kept list or rebuilt.
  std::vector<StepEvent> EventsOf(std::size_t i) const;
  // The tree right after value i; the tree before the first value for i = -1.
  TreeCore::TreeRec TreeAfter(std::ptrdiff_t i) const;
  // Both at once, with one replay.
  TreeCore::TreeRec TreeAfter(std::ptrdiff_t i, std::vector<StepEvent>& events) const;
  // The tree right before value i, replayed on `engine` from the nearest snapshot.
  TreeCore::TreeRec TreeBefore(std::size_t i, Engine& engine) const;
  // Runs value i on `tree` (the tree right before it) as the command did.
  void RunValue(Engine& engine, TreeCore::TreeRec& tree, std::size_t i) const;
  // Replays the whole command from its start with `observer` attached, calling
  // `beginValue` before each value: the events come out exactly as they did.
  template <class BeginFn>
  TreeCore::TreeRec Replay(TreeCore::TreeObserver* observer, BeginFn beginValue) const;

  TraceSummary Summary() const;
  // The node indexes of value i's events, in the numbering of `after` (the
  // tree right after value i), sorted. With `only`, that one event's nodes.
  static constexpr std::size_t AllEvents = static_cast<std::size_t>(-1);
  std::vector<std::int32_t> MarkedNodes(std::size_t i) const;
  std::vector<std::int32_t> MarksOf(std::size_t i, const std::vector<StepEvent>& events,
                                    const TreeCore::TreeRec& after,
                                    std::size_t only = AllEvents) const;

  // Bytes held by the record (events, steps, snapshots, the final tree).
  std::size_t MemoryBytes() const;
  std::size_t SnapshotCount() const { return snapshots_.size(); }
  std::size_t KeptEventCount() const { return events_.size(); }

 private:
  struct PackedNode {
    std::int32_t Level, LeftHeight, RightHeight, Parent, LeftChild, RightChild;
    std::int16_t Data;
    TreeCore::NodeKind Kind;
  };
  struct Snapshot {
    std::size_t FirstValue = 0;  // the state before this value
    bool Exists = false;
    std::int32_t Root = 0, Count = 0, Height = 0, TreeLeftHeight = 0, TreeRightHeight = 0;
    std::vector<PackedNode> Nodes;
  };

  void Add(const StepEvent& event);
  void TakeSnapshot(const TreeCore::TreeRec& tree, std::size_t firstValue);
  static TreeCore::TreeRec Restore(const Snapshot& snapshot);
  std::size_t SnapshotBytes() const;

  TraceLimits limits_;
  bool begun_ = false;
  CommandKind kind_ = CommandKind::Get;
  std::vector<ValueStep> steps_;
  std::vector<StepEvent> events_;
  std::vector<Snapshot> snapshots_;
  std::uint64_t workSinceSnapshot_ = 0;
  std::uint64_t snapshotWork_ = 0;
  bool keeping_ = true;  // the current value's events still go to events_
  const TreeCore::TreeRec* live_ = nullptr;
  std::string message_;
  TreeCore::TreeRec after_;
};

// The nodes whose two sides differ in height by two or more.
std::vector<std::int32_t> UnbalancedNodes(const TreeCore::TreeRec& tree);

// Reads a live event off the tree it concerns (the tree as it stands at that moment).
StepEvent MakeEvent(const TreeCore::TreeRec& tree, EventType type, std::uint8_t detail,
                    std::int32_t node, std::int16_t value);

template <class BeginFn>
TreeCore::TreeRec TraceRecorder::Replay(TreeCore::TreeObserver* observer,
                                        BeginFn beginValue) const {
  TreeCore::TreeRec tree = Restore(snapshots_.front());
  Engine engine;
  engine.SetObserver(observer);
  for (std::size_t i = 0; i < steps_.size(); ++i) {
    beginValue(i, tree);
    RunValue(engine, tree, i);
  }
  return tree;
}

}  // namespace TreeTrace
