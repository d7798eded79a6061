#include "Compare.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <ctime>
#include <memory>
#include <span>
#include <utility>

#include "Commands.h"
#include "Messages.h"
#include "TraceCommands.h"
#include "TreeJob.h"
#include "TreeObserver.h"

namespace TreeTrace {

int SchemeLevels(const TreeCore::TreeRec& tree) {
  int deepest = 0;
  if (!tree.Exists || tree.Count == 0) return 0;
  // Iterative: the scheme's trees can be deep.
  std::vector<std::pair<std::int32_t, int>> stack{{tree.Root, 1}};
  while (!stack.empty()) {
    const auto [n, depth] = stack.back();
    stack.pop_back();
    deepest = std::max(deepest, depth);
    const TreeCore::NodeRec& node = tree.Nodes[static_cast<std::size_t>(n)];
    if (node.RightChild != -1) stack.emplace_back(node.RightChild, depth + 1);
    if (node.LeftChild != -1) stack.emplace_back(node.LeftChild, depth + 1);
  }
  return deepest;
}

std::vector<std::int16_t> SchemePreorder(const TreeCore::TreeRec& tree) {
  std::vector<std::int16_t> out;
  if (!tree.Exists || tree.Count == 0) return out;
  out.reserve(static_cast<std::size_t>(tree.Count));
  std::vector<std::int32_t> stack{tree.Root};
  while (!stack.empty()) {
    const TreeCore::NodeRec& node = tree.Nodes[static_cast<std::size_t>(stack.back())];
    stack.pop_back();
    out.push_back(node.Data);
    if (node.RightChild != -1) stack.push_back(node.RightChild);
    if (node.LeftChild != -1) stack.push_back(node.LeftChild);
  }
  return out;
}

std::vector<SlotDepth> InOrderSlots(const TreeCore::TreeRec& tree) {
  std::vector<SlotDepth> out;
  if (!tree.Exists || tree.Count == 0) return out;
  std::vector<SlotDepth> stack;
  std::int32_t n = tree.Root;
  int depth = 1;
  while (n != -1 || !stack.empty()) {
    while (n != -1) {
      stack.push_back({n, depth++});
      n = tree.Nodes[static_cast<std::size_t>(n)].LeftChild;
    }
    const SlotDepth top = stack.back();
    stack.pop_back();
    out.push_back(top);
    n = tree.Nodes[static_cast<std::size_t>(top.Slot)].RightChild;
    depth = top.Depth + 1;
  }
  return out;
}

TreeCore::TreeRec AvlAsTree(const Avl::Tree& avl) {
  TreeCore::TreeRec t;
  if (avl.Empty()) return t;
  // Slots in pre-order: a node's slot is known before its children's.
  struct Item {
    std::int32_t node, parent;
    bool left;
    int level;
  };
  std::vector<Item> stack{{avl.Root(), -1, false, 1}};
  while (!stack.empty()) {
    const Item item = stack.back();
    stack.pop_back();
    const auto& a = avl.At(item.node);
    const auto slot = static_cast<std::int32_t>(t.Nodes.size());
    TreeCore::NodeRec n;
    n.Data = a.Value;
    n.Level = item.level;
    n.Parent = item.parent;
    n.LeftChild = n.RightChild = -1;
    n.LeftHeight = a.Left == Avl::Tree::None ? 0 : avl.At(a.Left).Height;
    n.RightHeight = a.Right == Avl::Tree::None ? 0 : avl.At(a.Right).Height;
    n.Kind = item.parent == -1 ? TreeCore::NodeKind::Root
             : a.Left == Avl::Tree::None && a.Right == Avl::Tree::None
                 ? TreeCore::NodeKind::Leaf
                 : TreeCore::NodeKind::Interior;
    t.Nodes.push_back(n);
    if (item.parent != -1)
      (item.left ? t.Nodes[static_cast<std::size_t>(item.parent)].LeftChild
                 : t.Nodes[static_cast<std::size_t>(item.parent)].RightChild) = slot;
    if (a.Right != Avl::Tree::None) stack.push_back({a.Right, slot, false, item.level + 1});
    if (a.Left != Avl::Tree::None) stack.push_back({a.Left, slot, true, item.level + 1});
  }
  t.Exists = true;
  t.Root = 0;
  t.Count = static_cast<std::int32_t>(t.Nodes.size());
  t.Height = avl.Levels() - 1;
  t.TreeLeftHeight = t.Nodes[0].LeftHeight;
  t.TreeRightHeight = t.Nodes[0].RightHeight;
  return t;
}

// Hears both trees and adds each event to the current tallies.
namespace {

class Counter final : public TreeCore::TreeObserver, public Avl::Observer {
 public:
  RotationCounts scheme{}, avl{};
  std::uint32_t fixUps = 0, erases = 0;

  void OnInsert(std::int16_t, std::int32_t) override {}
  void OnRotate(TreeCore::ChainKind kind, std::int32_t, std::int16_t) override {
    ++scheme[static_cast<std::size_t>(kind)];
  }
  void OnFixUp(bool, std::int32_t, std::int16_t) override { ++fixUps; }
  void OnErase(std::int16_t, std::int32_t) override { ++erases; }
  void OnRotate(Avl::Rotation kind, std::int16_t) override {
    ++avl[static_cast<std::size_t>(kind)];
  }
};

// The same order of kinds on both sides, so that the counts index alike.
static_assert(static_cast<int>(TreeCore::ChainKind::RR) == static_cast<int>(Avl::Rotation::RR) &&
              static_cast<int>(TreeCore::ChainKind::RL) == static_cast<int>(Avl::Rotation::RL) &&
              static_cast<int>(TreeCore::ChainKind::LL) == static_cast<int>(Avl::Rotation::LL) &&
              static_cast<int>(TreeCore::ChainKind::LR) == static_cast<int>(Avl::Rotation::LR));

RotationCounts Minus(const RotationCounts& a, const RotationCounts& b) {
  RotationCounts d{};
  for (std::size_t i = 0; i < d.size(); ++i) d[i] = a[i] - b[i];
  return d;
}

// The engine keeps every node's level, so after each value a scan of the
// table finds the deepest one, some times faster than a walk of the links.
int DeepestLevel(const TreeCore::TreeRec& tree) {
  int deepest = 0;
  for (std::int32_t i = 0; tree.Exists && i < tree.Count; ++i)
    deepest = std::max(deepest, tree.Nodes[static_cast<std::size_t>(i)].Level);
  return deepest;
}

// One value of a Get Tree (the trees already emptied) or an Erase, as the
// commands take it; an Erase that stops there gives its message.
std::string_view Apply(Engine& engine, TreeCore::TreeRec& tree, Avl::Tree& avl,
                       TreeCommands::CommandKind kind, std::int16_t value) {
  if (kind == TreeCommands::CommandKind::Get) {
    engine.Insert(tree, value);
    avl.Insert(value);
    return {};
  }
  if (!tree.Exists) return TreeCommands::Messages::TreeEmpty;
  const std::int32_t index = TreeCore::FindValue(tree, value);
  if (index == -1) return TreeCommands::Messages::NotInTree;
  engine.Delete(tree, index);
  avl.Erase(value);
  return {};
}

// Runs history[0..last) whole, then `last`'s values up to `count`; `each`
// hears every value of the last command.
template <typename Each>
std::string_view Replay(std::span<const HistoryEntry> history, std::size_t count, Engine& engine,
                        TreeCore::TreeRec& tree, Avl::Tree& avl, Each&& each) {
  for (std::size_t c = 0; c < history.size(); ++c) {
    const HistoryEntry& entry = history[c];
    const bool last = c + 1 == history.size();
    if (entry.Kind == TreeCommands::CommandKind::Get) {
      engine.Reset(tree, false);
      avl.Clear();
    }
    for (std::size_t i = 0; i < entry.Values.size() && (!last || i < count); ++i) {
      const std::string_view stop = Apply(engine, tree, avl, entry.Kind, entry.Values[i]);
      if (!stop.empty()) {
        if (last) return stop;
        break;
      }
      if (last) each(entry.Values[i]);
    }
  }
  return {};
}

}  // namespace

CompareRun::CompareRun() = default;
CompareRun::~CompareRun() = default;

CompareResult CompareRun::Run(TreeCommands::CommandKind kind, std::string_view list) {
  CompareResult result;
  const auto checked = TreeCommands::CheckList(kind, list);
  if (!checked.Refusal.empty()) {
    result.Refused = true;
    result.Message = checked.Refusal;
    return result;
  }
  Counter counter;
  engine_.SetObserver(&counter);
  avl_.SetObserver(&counter);
  if (kind == TreeCommands::CommandKind::Get) {
    result.Message = RunGetTree(engine_, tree_, list, nullptr);
    avl_.Build(checked.Values);
  } else {
    result.Message = RunErase(engine_, tree_, list, nullptr);
    [[maybe_unused]] const auto avlOutcome = avl_.EraseList(checked.Values);
    // Both trees hold the same values, so both stop at the same one.
    assert(avlOutcome.Erased == counter.erases);
  }
  engine_.SetObserver(nullptr);
  avl_.SetObserver(nullptr);

  result.Scheme = {tree_.Exists ? static_cast<std::size_t>(tree_.Count) : 0, SchemeLevels(tree_),
                   counter.scheme, counter.fixUps, SchemePreorder(tree_)};
  result.Avl = {avl_.Size(), avl_.Levels(), counter.avl, 0, avl_.Preorder()};
  return result;
}

namespace {

// The calling thread's CPU time: on a busy machine a list's wall-clock time
// counts the other programs' turns too.
double ThreadMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Hands the events on and, once `cancel` is set, asks the job to stop: the
// job then leaves at its next balancing step.
class CancelRelay final : public TreeCore::TreeObserver {
 public:
  CancelRelay(TreeCore::TreeObserver& next, const std::atomic<bool>* cancel,
              TreeCommands::TreeJob& job)
      : next_(next), cancel_(cancel), job_(job) {}
  void OnInsert(std::int16_t value, std::int32_t node) override {
    Check();
    next_.OnInsert(value, node);
  }
  void OnRotate(TreeCore::ChainKind kind, std::int32_t node, std::int16_t value) override {
    Check();
    next_.OnRotate(kind, node, value);
  }
  void OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) override {
    Check();
    next_.OnFixUp(rightHeavy, node, value);
  }
  void OnErase(std::int16_t value, std::int32_t node) override {
    Check();
    next_.OnErase(value, node);
  }

 private:
  void Check() {
    if (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed)) job_.RequestCancel();
  }
  TreeCore::TreeObserver& next_;
  const std::atomic<bool>* cancel_;
  TreeCommands::TreeJob& job_;
};

// The scheme's Get Tree of a whole list, as the window runs it; the one place
// an experiment's lists reach the engine. False when cancelled.
bool SchemeGetTree(std::span<const std::int16_t> values, TreeCore::TreeObserver& observer,
                   const std::atomic<bool>* cancel, TreeCore::TreeRec& tree, double& ms) {
  auto job = TreeCommands::TreeJob::Build({}, {values.begin(), values.end()});
  CancelRelay relay(observer, cancel, job);
  job.Watch(&relay, {});
  const double began = ThreadMs();
  job.Run();
  ms = ThreadMs() - began;
  if (job.Cancelled()) return false;
  tree = std::move(job.Tree());
  return true;
}

}  // namespace

ListCompare CompareList(std::span<const std::int16_t> values, const std::atomic<bool>* cancel,
                        bool scheme, bool avl) {
  ListCompare result;
  Counter counter;
  if (scheme) {
    TreeCore::TreeRec tree;
    if (!SchemeGetTree(values, counter, cancel, tree, result.SchemeMs)) {
      result.Cancelled = true;
      return result;
    }
    result.Scheme = {tree.Exists ? static_cast<std::size_t>(tree.Count) : 0,
                     SchemeLevels(tree),
                     counter.scheme,
                     counter.fixUps,
                     {}};
  }
  if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
    result.Cancelled = true;
    return result;
  }
  if (avl) {
    Avl::Tree tree;
    tree.SetObserver(&counter);
    const double began = ThreadMs();
    tree.Build(values);
    result.AvlMs = ThreadMs() - began;
    tree.SetObserver(nullptr);
    result.Avl = {tree.Size(), tree.Levels(), counter.avl, 0, {}};
  }
  return result;
}

CompareSteps::CompareSteps(std::vector<HistoryEntry> history, std::size_t interval)
    : history_(std::move(history)), engine_(std::make_unique<Engine>()) {
  if (history_.empty()) history_.push_back({TreeCommands::CommandKind::Get, {}});
  Engine engine;
  TreeCore::TreeRec tree;
  Avl::Tree avl;
  Counter counter;
  Counter before;
  auto each = [&](std::int16_t value) {
    steps_.push_back({value, Minus(counter.scheme, before.scheme), Minus(counter.avl, before.avl),
                      counter.fixUps - before.fixUps, DeepestLevel(tree), avl.Levels()});
    before = counter;
    if (interval > 0 && steps_.size() % interval == 0) {
      kept_.push_back({static_cast<std::ptrdiff_t>(steps_.size()) - 1, tree, avl});
      kept_.back().avl.SetObserver(nullptr);  // the counter does not outlive this
    }
  };
  // The counter listens to the last command only.
  const std::span<const HistoryEntry> all(history_);
  Replay(all.first(all.size() - 1), SIZE_MAX, engine, tree, avl, [](std::int16_t) {});
  if (history_.back().Kind == TreeCommands::CommandKind::Get) {
    engine.Reset(tree, false);
    avl.Clear();
  }
  kept_.push_back({-1, tree, avl});
  engine.SetObserver(&counter);
  avl.SetObserver(&counter);
  message_ = Replay(all.last(1), SIZE_MAX, engine, tree, avl, each);
}

CompareSteps::~CompareSteps() = default;

void CompareSteps::TreesAfter(std::ptrdiff_t i, TreeCore::TreeRec& scheme, Avl::Tree& avl) {
  i = std::clamp<std::ptrdiff_t>(i, -1, static_cast<std::ptrdiff_t>(steps_.size()) - 1);
  auto from = std::prev(std::upper_bound(
      kept_.begin(), kept_.end(), i, [](std::ptrdiff_t v, const Kept& k) { return v < k.after; }));
  if (last_.after > i || last_.after < from->after) {
    last_ = *from;
    engine_ = std::make_unique<Engine>();  // nothing kept from another tree
  }
  const HistoryEntry& command = history_.back();
  // Only values that went through: an Erase's stop is not among the steps.
  for (std::ptrdiff_t v = last_.after + 1; v <= i; ++v)
    Apply(*engine_, last_.scheme, last_.avl, command.Kind,
          command.Values[static_cast<std::size_t>(v)]);
  last_.after = i;
  scheme = last_.scheme;
  avl = last_.avl;
}

}  // namespace TreeTrace
