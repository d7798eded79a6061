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
#include "RunTrees.h"
#include "Runner.h"
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

// Both trees in step, as one tree to the runner: they hold the same values,
// so the scheme's tree says where an Erase stops for both.
class BothTrees final : public TreeCommands::RunTree {
 public:
  BothTrees(Engine& engine, TreeCore::TreeRec& tree, Avl::Tree& avl)
      : scheme_(engine.State(), tree), avl_(avl) {}
  void Clear() override {
    scheme_.Clear();
    avl_.Clear();
  }
  void Insert(std::int16_t value) override {
    scheme_.Insert(value);
    avl_.Insert(value);
  }
  bool Empty() const override { return scheme_.Empty(); }
  std::int32_t Find(std::int32_t value) const override { return scheme_.Find(value); }
  void Remove(std::int32_t node, std::int16_t value) override {
    scheme_.Remove(node, value);
    avl_.Remove(avl_.Find(value), value);
  }

 private:
  TreeCommands::SchemeTree scheme_;
  TreeCommands::AvlSide avl_;
};

template <typename Each>
class AfterEach final : public TreeCommands::RunObserver {
 public:
  explicit AfterEach(Each& each) : each_(each) {}
  void AfterValue(std::int16_t value) override { each_(value); }

 private:
  Each& each_;
};

// Runs the history's commands whole; `each` hears every value of the last.
// Returns why the last one, an Erase, stopped early; empty otherwise.
template <typename Each>
std::string_view Replay(std::span<const HistoryEntry> history, Engine& engine,
                        TreeCore::TreeRec& tree, Avl::Tree& avl, Each&& each) {
  BothTrees both(engine, tree, avl);
  AfterEach<Each> tap(each);
  std::string_view stop;
  for (std::size_t c = 0; c < history.size(); ++c) {
    const bool last = c + 1 == history.size();
    TreeCommands::Runner runner(history[c].Kind, both, history[c].Values, last ? &tap : nullptr);
    runner.Run();
    if (last) stop = TreeCommands::Messages::EraseStopMessage(runner.Stop());
  }
  return stop;
}

}  // namespace

CompareRun::CompareRun() = default;
CompareRun::~CompareRun() = default;

CompareResult CompareRun::Run(TreeCommands::CommandKind kind, std::string_view list) {
  CompareResult result;
  Counter counter;
  engine_.SetObserver(&counter);
  avl_.SetObserver(&counter);
  BothTrees both(engine_, tree_, avl_);
  const TreeCommands::RunOutcome outcome = TreeCommands::RunList(kind, list, both);
  engine_.SetObserver(nullptr);
  avl_.SetObserver(nullptr);
  result.Refused = outcome.Refused;
  result.Message = outcome.Message;
  if (outcome.Refused) return result;

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

// Hands the events on and, once `cancel` is set, leaves the value in
// progress; the runner counts the work as cancelled.
class CancelPoint final : public TreeCore::TreeObserver {
 public:
  CancelPoint(TreeCore::TreeObserver& next, const std::atomic<bool>* cancel)
      : next_(next), cancel_(cancel) {}
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
  void Check() const {
    if (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed))
      throw TreeCommands::RunCancelled{};
  }
  TreeCore::TreeObserver& next_;
  const std::atomic<bool>* cancel_;
};

// One tree's Get Tree of a whole list through the commands' runner, with the
// CPU time it took; false when cancelled.
bool RunGetTree(TreeCommands::RunTree& tree, std::span<const std::int16_t> values, double& ms) {
  TreeCommands::Runner runner(TreeCommands::CommandKind::Get, tree, values);
  const double began = ThreadMs();
  runner.Run();
  ms = ThreadMs() - began;
  return !runner.Cancelled();
}

}  // namespace

ListCompare CompareList(std::span<const std::int16_t> values, const std::atomic<bool>* cancel,
                        bool scheme, bool avl) {
  ListCompare result;
  Counter counter;
  if (scheme) {
    Engine engine;
    CancelPoint point(counter, cancel);
    engine.SetObserver(&point);
    TreeCore::TreeRec tree;
    TreeCommands::SchemeTree side(engine.State(), tree);
    if (!RunGetTree(side, values, result.SchemeMs)) {
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
    TreeCommands::AvlSide side(tree);
    RunGetTree(side, values, result.AvlMs);
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
  Replay(all.first(all.size() - 1), engine, tree, avl, [](std::int16_t) {});
  if (history_.back().Kind == TreeCommands::CommandKind::Get) {
    engine.Reset(tree, false);
    avl.Clear();
  }
  kept_.push_back({-1, tree, avl});
  engine.SetObserver(&counter);
  avl.SetObserver(&counter);
  message_ = Replay(all.last(1), engine, tree, avl, each);
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
  BothTrees both(*engine_, last_.scheme, last_.avl);
  TreeCommands::Runner(
      command.Kind, both,
      std::span<const std::int16_t>(command.Values).first(static_cast<std::size_t>(i + 1)), nullptr,
      static_cast<std::size_t>(last_.after + 1))
      .Run();
  last_.after = i;
  scheme = last_.scheme;
  avl = last_.avl;
}

}  // namespace TreeTrace
