#include "TraceRecorder.h"

#include <algorithm>
#include <cstdlib>

namespace TreeTrace {

using TreeCore::NodeRec;
using TreeCore::TreeRec;

namespace {

bool Valid(const TreeRec& tree, std::int32_t i) {
  return i >= 0 && static_cast<std::size_t>(i) < tree.Nodes.size();
}

std::int16_t DataAt(const TreeRec& tree, std::int32_t i) {
  return Valid(tree, i) ? tree.Nodes[static_cast<std::size_t>(i)].Data : std::int16_t{0};
}

std::int32_t ChildOf(const TreeRec& tree, std::int32_t i, bool right) {
  if (!Valid(tree, i)) return -1;
  const NodeRec& n = tree.Nodes[static_cast<std::size_t>(i)];
  return right ? n.RightChild : n.LeftChild;
}

// Collects the events of one value while a step is rebuilt.
class Capture final : public TreeCore::TreeObserver {
 public:
  Capture(const TreeRec& tree, std::vector<StepEvent>& out) : tree_(tree), out_(out) {}
  void OnInsert(std::int16_t value, std::int32_t node) override {
    out_.push_back(MakeEvent(tree_, EventType::Insert, 0, node, value));
  }
  void OnRotate(TreeCore::ChainKind kind, std::int32_t node, std::int16_t value) override {
    out_.push_back(
        MakeEvent(tree_, EventType::Rotate, static_cast<std::uint8_t>(kind), node, value));
  }
  void OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) override {
    out_.push_back(MakeEvent(tree_, EventType::FixUp, rightHeavy ? 1 : 0, node, value));
  }
  void OnErase(std::int16_t value, std::int32_t node) override {
    out_.push_back(MakeEvent(tree_, EventType::Erase, 0, node, value));
  }

 private:
  const TreeRec& tree_;
  std::vector<StepEvent>& out_;
};

}  // namespace

std::int16_t StepEvent::NewTopValue() const {
  const auto kind = Kind();
  return kind == TreeCore::ChainKind::RR || kind == TreeCore::ChainKind::LL ? OtherValue
                                                                            : ThirdValue;
}

StepEvent MakeEvent(const TreeRec& tree, EventType type, std::uint8_t detail, std::int32_t node,
                    std::int16_t value) {
  StepEvent e;
  e.Type = type;
  e.Detail = detail;
  e.Value = value;
  e.Node = node;
  if (type == EventType::Rotate) {
    // The chain as it stands before the rotation: top, middle, bottom.
    const auto kind = static_cast<TreeCore::ChainKind>(detail);
    const bool firstRight = kind == TreeCore::ChainKind::RR || kind == TreeCore::ChainKind::RL;
    const bool secondRight = kind == TreeCore::ChainKind::RR || kind == TreeCore::ChainKind::LR;
    e.Other = ChildOf(tree, node, firstRight);
    e.Third = ChildOf(tree, e.Other, secondRight);
  } else if (type == EventType::FixUp && Valid(tree, node)) {
    // The in-order neighbour on the heavy side, the node that moves up.
    e.Other =
        detail != 0 ? TreeCore::LeftmostOfRight(tree, node) : TreeCore::RightmostOfLeft(tree, node);
  }
  e.OtherValue = DataAt(tree, e.Other);
  e.ThirdValue = DataAt(tree, e.Third);
  return e;
}

// ---- Recording --------------------------------------------------------------

void TraceRecorder::BeginCommand(CommandKind kind, const TreeRec& before) {
  begun_ = true;
  kind_ = kind;
  steps_.clear();
  events_.clear();
  snapshots_.clear();
  message_.clear();
  after_ = TreeRec{};
  snapshotWork_ = limits_.SnapshotWork;
  workSinceSnapshot_ = 0;
  TakeSnapshot(before, 0);
}

void TraceRecorder::BeginValue(const TreeRec& tree, std::int16_t value) {
  if (workSinceSnapshot_ >= snapshotWork_) {
    TakeSnapshot(tree, steps_.size());
    workSinceSnapshot_ = 0;
  }
  ++workSinceSnapshot_;
  live_ = &tree;
  ValueStep step;
  step.Value = value;
  // The slot a new node fills, or the node the deletion is given.
  step.Node = kind_ == CommandKind::Get ? tree.Count : TreeCore::FindValue(tree, value);
  if (kind_ == CommandKind::Get && tree.Exists) {
    // Where the descent will attach it: equal values go left.
    std::int32_t b = tree.Root;
    while (Valid(tree, b)) {
      const NodeRec& n = tree.Nodes[static_cast<std::size_t>(b)];
      const bool right = n.Data < value;
      const std::int32_t child = right ? n.RightChild : n.LeftChild;
      if (child == -1) {
        step.HasParent = true;
        step.RightOfParent = right;
        step.ParentValue = n.Data;
        step.ParentNode = b;
        break;
      }
      b = child;
    }
  }
  if (kind_ == CommandKind::Erase && Valid(tree, step.Node)) {
    const std::int32_t p = tree.Nodes[static_cast<std::size_t>(step.Node)].Parent;
    if (Valid(tree, p)) {
      const NodeRec& parent = tree.Nodes[static_cast<std::size_t>(p)];
      step.HasParent = true;
      step.RightOfParent = parent.RightChild == step.Node;
      step.ParentValue = parent.Data;
      step.ParentNode = p;
    }
  }
  keeping_ = events_.size() < limits_.MaxKeptEvents;
  step.FirstEvent = keeping_ ? static_cast<std::uint32_t>(events_.size()) : ValueStep::NotKept;
  steps_.push_back(step);
}

void TraceRecorder::EndCommand(const TreeRec& after, std::string message) {
  after_ = after;
  message_ = std::move(message);
  live_ = nullptr;
}

void TraceRecorder::Add(const StepEvent& event) {
  if (steps_.empty()) return;
  ValueStep& step = steps_.back();
  ++step.EventCount;
  ++workSinceSnapshot_;
  if (event.Type == EventType::Rotate) ++step.Rotations[event.Detail & 3];
  if (event.Type == EventType::FixUp) ++step.FixUps;
  if (!keeping_) return;
  if (events_.size() >= limits_.MaxKeptEvents) {
    // Over budget: this value's events are rebuilt on demand instead.
    events_.resize(step.FirstEvent);
    step.FirstEvent = ValueStep::NotKept;
    keeping_ = false;
    return;
  }
  events_.push_back(event);
}

void TraceRecorder::OnInsert(std::int16_t value, std::int32_t node) {
  Add(MakeEvent(*live_, EventType::Insert, 0, node, value));
}
void TraceRecorder::OnRotate(TreeCore::ChainKind kind, std::int32_t node, std::int16_t value) {
  Add(MakeEvent(*live_, EventType::Rotate, static_cast<std::uint8_t>(kind), node, value));
}
void TraceRecorder::OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) {
  Add(MakeEvent(*live_, EventType::FixUp, rightHeavy ? 1 : 0, node, value));
}
void TraceRecorder::OnErase(std::int16_t value, std::int32_t node) {
  Add(MakeEvent(*live_, EventType::Erase, 0, node, value));
}

// ---- Snapshots ----------------------------------------------------------------

std::size_t TraceRecorder::SnapshotBytes() const {
  std::size_t bytes = 0;
  for (const Snapshot& s : snapshots_) bytes += s.Nodes.capacity() * sizeof(PackedNode);
  return bytes;
}

void TraceRecorder::TakeSnapshot(const TreeRec& tree, std::size_t firstValue) {
  Snapshot s;
  s.FirstValue = firstValue;
  TreeCore::CopyTreeFields(tree, s);
  s.Nodes.reserve(tree.Nodes.size());
  for (const NodeRec& n : tree.Nodes)
    s.Nodes.push_back({n.Level, n.LeftHeight, n.RightHeight, n.Parent, n.LeftChild, n.RightChild,
                       n.Data, n.Kind});
  snapshots_.push_back(std::move(s));
  // Over the memory budget: keep every other snapshot (the first always) and
  // space the next ones twice as far apart.
  while (snapshots_.size() > 2 && SnapshotBytes() > limits_.MaxSnapshotBytes) {
    std::vector<Snapshot> kept;
    for (std::size_t i = 0; i < snapshots_.size(); i += 2) kept.push_back(std::move(snapshots_[i]));
    snapshots_ = std::move(kept);
    snapshotWork_ *= 2;
  }
}

TreeRec TraceRecorder::Restore(const Snapshot& s) {
  TreeRec tree;
  TreeCore::CopyTreeFields(s, tree);
  tree.Nodes.resize(s.Nodes.size());
  for (std::size_t i = 0; i < s.Nodes.size(); ++i) {
    const PackedNode& p = s.Nodes[i];
    NodeRec& n = tree.Nodes[i];
    n.Data = p.Data;
    n.Kind = p.Kind;
    n.Level = p.Level;
    n.LeftHeight = p.LeftHeight;
    n.RightHeight = p.RightHeight;
    n.Parent = p.Parent;
    n.LeftChild = p.LeftChild;
    n.RightChild = p.RightChild;
  }
  return tree;
}

void TraceRecorder::RunValue(Engine& engine, TreeRec& tree, std::size_t i) const {
  const std::int16_t value = steps_[i].Value;
  if (kind_ == CommandKind::Get) {
    engine.Insert(tree, value);
    return;
  }
  const std::int32_t index = TreeCore::FindValue(tree, value);
  if (index != -1) engine.Delete(tree, index);
}

// ---- Reading --------------------------------------------------------------------

TreeRec TraceRecorder::TreeAfter(std::ptrdiff_t i) const {
  std::vector<StepEvent> unused;
  return TreeAfter(i, unused);
}

TreeRec TraceRecorder::TreeAfter(std::ptrdiff_t i, std::vector<StepEvent>& events) const {
  events.clear();
  if (snapshots_.empty()) return TreeRec{};
  if (i < 0) return Restore(snapshots_.front());
  const auto last = std::min(static_cast<std::size_t>(i), steps_.size() - 1);
  // The last snapshot taken at or before the value.
  auto it = std::upper_bound(snapshots_.begin(), snapshots_.end(), last,
                             [](std::size_t v, const Snapshot& s) { return v < s.FirstValue; });
  const Snapshot& from = *std::prev(it);
  TreeRec tree = Restore(from);
  Engine engine;
  for (std::size_t j = from.FirstValue; j < last; ++j) RunValue(engine, tree, j);
  Capture capture(tree, events);
  engine.SetObserver(&capture);
  RunValue(engine, tree, last);
  return tree;
}

TreeRec TraceRecorder::TreeBefore(std::size_t i, Engine& engine) const {
  if (snapshots_.empty()) return TreeRec{};
  const std::size_t target = std::min(i, steps_.size());
  // The last snapshot taken at or before the value.
  auto it = std::upper_bound(snapshots_.begin(), snapshots_.end(), target,
                             [](std::size_t v, const Snapshot& s) { return v < s.FirstValue; });
  const Snapshot& from = *std::prev(it);
  TreeRec tree = Restore(from);
  for (std::size_t j = from.FirstValue; j < target; ++j) RunValue(engine, tree, j);
  return tree;
}

std::vector<StepEvent> TraceRecorder::EventsOf(std::size_t i) const {
  const ValueStep& step = steps_[i];
  if (step.FirstEvent != ValueStep::NotKept)
    return {events_.begin() + step.FirstEvent, events_.begin() + step.FirstEvent + step.EventCount};
  std::vector<StepEvent> events;
  TreeAfter(static_cast<std::ptrdiff_t>(i), events);
  return events;
}

std::vector<std::int32_t> TraceRecorder::MarkedNodes(std::size_t i) const {
  std::vector<StepEvent> events;
  const TreeRec after = TreeAfter(static_cast<std::ptrdiff_t>(i), events);
  return MarksOf(i, events, after);
}

std::vector<std::int32_t> TraceRecorder::MarksOf(std::size_t i,
                                                 const std::vector<StepEvent>& events,
                                                 const TreeRec& after, std::size_t only) const {
  std::vector<std::int32_t> marks;
  // An erase closes the gap its node leaves, so the slots behind it move down
  // by one; events after the compaction already use the new numbering. The
  // node's value tells which numbering an index is in.
  const std::int32_t erased = kind_ == CommandKind::Erase ? steps_[i].Node : -1;
  auto mark = [&](std::int32_t n, std::int16_t value) {
    if (n < 0) return;
    const std::int32_t moved = erased >= 0 && n > erased ? n - 1 : n;
    for (const std::int32_t c : {moved, n}) {
      if (erased >= 0 && c == erased && n == erased) continue;  // the removed node itself
      if (c < after.Count && Valid(after, c) &&
          after.Nodes[static_cast<std::size_t>(c)].Data == value) {
        marks.push_back(c);
        return;
      }
    }
  };
  // Where an erased node hung: its parent marks the removed position.
  if (erased >= 0 && only == AllEvents && steps_[i].HasParent)
    mark(steps_[i].ParentNode, steps_[i].ParentValue);
  for (std::size_t k = 0; k < events.size(); ++k) {
    const StepEvent& e = events[k];
    if (e.Type == EventType::Erase) continue;
    if (only != AllEvents && k != only) continue;
    mark(e.Node, e.Value);
    mark(e.Other, e.OtherValue);
    mark(e.Third, e.ThirdValue);
  }
  std::sort(marks.begin(), marks.end());
  marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
  return marks;
}

TraceSummary TraceRecorder::Summary() const {
  TraceSummary s;
  s.Kind = kind_;
  s.Values = steps_.size();
  for (const ValueStep& step : steps_) {
    for (int k = 0; k < 4; ++k) s.Rotations[k] += step.Rotations[k];
    s.FixUps += step.FixUps;
  }
  s.Message = message_;
  s.Height = after_.Height;
  if (!after_.Exists) return s;
  s.Nodes = after_.Count;
  // Levels as the links give them, walked without recursion.
  std::vector<std::pair<std::int32_t, std::int32_t>> stack{{after_.Root, 1}};
  std::int32_t visited = 0;
  while (!stack.empty() && visited <= after_.Count) {
    const auto [n, level] = stack.back();
    stack.pop_back();
    if (!Valid(after_, n)) continue;
    ++visited;
    s.Levels = std::max(s.Levels, level);
    const NodeRec& node = after_.Nodes[static_cast<std::size_t>(n)];
    stack.push_back({node.LeftChild, level + 1});
    stack.push_back({node.RightChild, level + 1});
  }
  while ((std::int64_t{1} << s.LeastLevels) - 1 < s.Nodes) ++s.LeastLevels;
  s.Unbalanced = static_cast<std::int32_t>(UnbalancedNodes(after_).size());
  return s;
}

std::vector<std::int32_t> UnbalancedNodes(const TreeRec& tree) {
  std::vector<std::int32_t> nodes;
  if (!tree.Exists) return nodes;
  for (std::int32_t i = 0; i < tree.Count && Valid(tree, i); ++i) {
    const NodeRec& n = tree.Nodes[static_cast<std::size_t>(i)];
    if (std::abs(n.RightHeight - n.LeftHeight) >= 2) nodes.push_back(i);
  }
  return nodes;
}

std::size_t TraceRecorder::MemoryBytes() const {
  return events_.capacity() * sizeof(StepEvent) + steps_.capacity() * sizeof(ValueStep) +
         SnapshotBytes() + snapshots_.capacity() * sizeof(Snapshot) +
         after_.Nodes.capacity() * sizeof(NodeRec);
}

}  // namespace TreeTrace
