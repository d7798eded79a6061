// The recorder: steps rebuilt from snapshots equal a direct run, events kept
// or rebuilt alike, the plain words, the summary, and the events agreeing
// with the changes they name.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <set>

#include "Messages.h"
#include "TraceCommands.h"
#include "TraceRecorder.h"
#include "TraceTestSupport.h"
#include "TraceText.h"

namespace {

using TraceTest::Join;
using TraceTest::SameTree;
using TraceTest::Shuffled;
using TreeCore::TreeRec;
using TreeTrace::CommandKind;
using TreeTrace::Engine;
using TreeTrace::EventType;
using TreeTrace::TraceLimits;
using TreeTrace::TraceRecorder;

// Small budgets, so that a few hundred values take many snapshots and thin them.
TraceLimits Tight() {
  TraceLimits l;
  l.SnapshotWork = 8;
  l.MaxSnapshotBytes = 24 * 1024;
  l.MaxKeptEvents = 50;
  return l;
}

TreeRec DirectGet(const std::vector<std::int16_t>& values, std::size_t upTo) {
  TreeRec t;
  TreeCore::ResetTree(t, false);
  for (std::size_t i = 0; i <= upTo && i < values.size(); ++i) TreeCore::InsertValue(t, values[i]);
  return t;
}

TEST(Recorder, EveryStepRebuildsTheTreeADirectRunGives) {
  for (const unsigned seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    const auto values = Shuffled(400, seed);
    TraceRecorder rec(Tight());
    TreeRec tree;
    Engine engine;
    ASSERT_EQ(TreeTrace::RunGetTree(engine, tree, Join(values), &rec), "");
    ASSERT_EQ(rec.ValueCount(), values.size());
    EXPECT_GT(rec.SnapshotCount(), 2u);
    for (std::size_t i = 0; i < values.size(); i += 37)
      EXPECT_TRUE(SameTree(rec.TreeAfter(static_cast<std::ptrdiff_t>(i)), DirectGet(values, i)))
          << "after value " << i;
    EXPECT_TRUE(SameTree(rec.TreeAfter(static_cast<std::ptrdiff_t>(values.size() - 1)), tree));
    EXPECT_TRUE(SameTree(rec.After(), tree));
    EXPECT_EQ(rec.TreeAfter(-1).Exists, false);
  }
}

TEST(Recorder, EraseStepsRebuildFromTheTreeBeforeTheCommand) {
  const auto values = Shuffled(300, 7);
  TreeRec tree;
  Engine engine;
  ASSERT_EQ(TreeTrace::RunGetTree(engine, tree, Join(values), nullptr), "");
  auto erase = Shuffled(300, 8);
  erase.resize(120);
  erase.push_back(1000);  // missing: the command stops there
  erase.push_back(5);
  TreeRec direct = tree;
  TraceRecorder rec(Tight());
  EXPECT_EQ(TreeTrace::RunErase(engine, tree, Join(erase), &rec),
            TreeCommands::Messages::NotInTree);
  ASSERT_EQ(rec.ValueCount(), 120u);
  EXPECT_EQ(rec.Message(), TreeCommands::Messages::NotInTree);
  for (std::size_t i = 0; i < 120; ++i) {
    TreeCore::DeleteNode(direct, TreeCore::FindValue(direct, erase[i]));
    if (i % 29 == 0 || i == 119) {
      EXPECT_TRUE(SameTree(rec.TreeAfter(static_cast<std::ptrdiff_t>(i)), direct)) << i;
    }
  }
  EXPECT_TRUE(SameTree(direct, tree));
}

TEST(Recorder, SnapshotsStayWithinTheirBudget) {
  TraceLimits l = Tight();
  l.MaxSnapshotBytes = 64 * 1024;
  TraceRecorder rec(l);
  TreeRec tree;
  Engine engine;
  std::vector<std::int16_t> descending(2000);
  for (int i = 0; i < 2000; ++i)
    descending[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(2000 - i);
  ASSERT_EQ(TreeTrace::RunGetTree(engine, tree, Join(descending), &rec), "");
  // The budget may be passed by the one snapshot that triggers thinning.
  const std::size_t oneSnapshot = 2000 * 32;
  EXPECT_LE(rec.MemoryBytes(), l.MaxSnapshotBytes + oneSnapshot + 2000 * 200 + 50 * 32);
  EXPECT_GE(rec.SnapshotCount(), 2u);
  EXPECT_TRUE(SameTree(rec.TreeAfter(1500), DirectGet(descending, 1500)));
}

// ---- Fed by hand: words and counts do not depend on the engine's events -------

// A node table written out: {value, parent, left, right}.
TreeRec Table(std::initializer_list<std::array<int, 4>> rows, int root) {
  TreeRec t;
  t.Exists = true;
  t.Root = root;
  for (const auto& r : rows) {
    TreeCore::NodeRec n;
    n.Data = static_cast<std::int16_t>(r[0]);
    n.Parent = r[1];
    n.LeftChild = r[2];
    n.RightChild = r[3];
    t.Nodes.push_back(std::move(n));
  }
  t.Count = static_cast<std::int32_t>(t.Nodes.size());
  return t;
}

TEST(Recorder, EventsInPlainWords) {
  // 30 with the left chain 20, 10; 50 with right subtree 60 whose leftmost is 55.
  const TreeRec tree = Table({{30, -1, 1, 3},
                              {20, 0, 2, -1},
                              {10, 1, -1, -1},
                              {50, 0, -1, 4},
                              {60, 3, 5, -1},
                              {55, 4, -1, -1}},
                             0);
  TraceRecorder rec;
  rec.BeginCommand(CommandKind::Get, tree);
  rec.BeginValue(tree, 12);
  rec.OnInsert(12, 6);
  rec.OnRotate(TreeCore::ChainKind::LL, 1, 20);
  rec.OnFixUp(true, 3, 50);
  rec.OnFixUp(false, 1, 20);
  rec.EndCommand(tree, {});

  const auto& step = rec.Step(0);
  EXPECT_EQ(TreeTrace::DescribeValue(CommandKind::Get, step),
            "Insert 12 (slot 6), right child of 10");
  EXPECT_EQ(step.Rotations[static_cast<int>(TreeCore::ChainKind::LL)], 1u);
  EXPECT_EQ(step.Rotations[static_cast<int>(TreeCore::ChainKind::LR)], 0u);
  EXPECT_EQ(step.FixUps, 2u);
  const auto events = rec.EventsOf(0);
  ASSERT_EQ(events.size(), 4u);
  const std::vector<std::string> words = {
      "insert 12 (slot 6)",
      "LL rotation at 20: 10 takes its place",
      "right-heavy fix-up at 50: in-order neighbour 55 moves into its place",
      "left-heavy fix-up at 20: in-order neighbour 10 moves into its place",
  };
  for (std::size_t i = 0; i < words.size(); ++i)
    EXPECT_EQ(TreeTrace::DescribeEvent(events[i]), words[i]);
  EXPECT_EQ(events[1].Other, 2);
  EXPECT_EQ(events[2].Other, 5);
  TreeRec after = tree;
  after.Nodes[2].RightChild = 6;
  after.Nodes.push_back(Table({{12, 2, -1, -1}}, 0).Nodes[0]);
  after.Count = 7;
  EXPECT_EQ(rec.MarksOf(0, events, after), (std::vector<std::int32_t>{1, 2, 3, 5, 6}));
  EXPECT_EQ(rec.MarksOf(0, events, after, 2), (std::vector<std::int32_t>{3, 5}));
  EXPECT_EQ(TreeTrace::DescribeValue(CommandKind::Get, TreeTrace::ValueStep{}).rfind("Insert 0", 0),
            0u);
}

TEST(Recorder, ValuesOverTheEventBudgetKeepTheirCounts) {
  const TreeRec tree = Table({{30, -1, 1, -1}, {20, 0, -1, -1}}, 0);
  TraceLimits l;
  l.MaxKeptEvents = 3;
  TraceRecorder rec(l);
  rec.BeginCommand(CommandKind::Get, tree);
  rec.BeginValue(tree, 1);
  rec.OnFixUp(false, 0, 30);
  rec.OnFixUp(false, 0, 30);
  rec.BeginValue(tree, 2);
  for (int i = 0; i < 4; ++i) rec.OnFixUp(false, 0, 30);
  rec.EndCommand(tree, {});
  EXPECT_NE(rec.Step(0).FirstEvent, TreeTrace::ValueStep::NotKept);
  EXPECT_EQ(rec.Step(1).FirstEvent, TreeTrace::ValueStep::NotKept);
  EXPECT_EQ(rec.Step(1).FixUps, 4u);
  EXPECT_EQ(rec.KeptEventCount(), 2u);
  EXPECT_EQ(rec.Summary().FixUps, 6u);
}

TEST(Recorder, SummaryOfTheTreeLeft) {
  // 10 over 20 over 30 on the right: three levels, 10 is right-heavy by two.
  TreeRec chain = Table({{10, -1, -1, 1}, {20, 0, -1, 2}, {30, 1, -1, -1}}, 0);
  chain.Nodes[0].RightHeight = 2;
  chain.Nodes[1].RightHeight = 1;
  chain.Height = 2;
  TraceRecorder rec;
  rec.BeginCommand(CommandKind::Erase, chain);
  rec.EndCommand(chain, "The Element does not exist in the tree");
  const auto s = rec.Summary();
  EXPECT_EQ(s.Nodes, 3);
  EXPECT_EQ(s.Levels, 3);
  EXPECT_EQ(s.LeastLevels, 2);
  EXPECT_EQ(s.Unbalanced, 1);
  EXPECT_EQ(TreeTrace::UnbalancedNodes(chain), std::vector<std::int32_t>{0});
  EXPECT_EQ(TreeTrace::DescribeSummary(s),
            "Erase: 0 values; rotations RR 0, RL 0, LL 0, LR 0; fix-ups 0 \u2014 3 nodes, 3 "
            "levels, Height 2, least possible levels 2, 1 node with sides differing by two or "
            "more (stopped: The Element does not exist in the tree)");

  struct Least {
    int n, levels;
  } const least[] = {{1, 1}, {2, 2}, {3, 2}, {4, 3}, {7, 3}, {8, 4}, {15, 4}, {16, 5}};
  for (const auto& c : least) {
    TraceRecorder r;
    TreeRec t;
    Engine engine;
    std::vector<std::int16_t> v(static_cast<std::size_t>(c.n));
    for (int i = 0; i < c.n; ++i) v[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i);
    TreeTrace::RunGetTree(engine, t, Join(v), &r);
    EXPECT_EQ(r.Summary().LeastLevels, c.levels) << c.n;
    EXPECT_EQ(r.Summary().Values, static_cast<std::size_t>(c.n));
  }
}

// ---- With the engine's events -------------------------------------------------

TEST(Recorder, RebuiltEventsEqualTheKeptOnes) {
  const auto values = Shuffled(600, 11);
  TreeRec a, b;
  Engine engine;
  TraceRecorder kept, rebuilt(Tight());
  TreeTrace::RunGetTree(engine, a, Join(values), &kept);
  TreeTrace::RunGetTree(engine, b, Join(values), &rebuilt);
  std::size_t total = 0, notKept = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto x = kept.EventsOf(i), y = rebuilt.EventsOf(i);
    total += x.size();
    notKept += rebuilt.Step(i).FirstEvent == TreeTrace::ValueStep::NotKept;
    ASSERT_EQ(x.size(), y.size()) << i;
    for (std::size_t k = 0; k < x.size(); ++k) {
      EXPECT_EQ(TreeTrace::DescribeEvent(x[k]), TreeTrace::DescribeEvent(y[k]));
      EXPECT_EQ(x[k].Other, y[k].Other);
    }
  }
  EXPECT_GE(total, values.size());  // one insert each at least
  EXPECT_GT(notKept, 0u);
}

TEST(Recorder, EraseMarksFollowTheClosedUpTable) {
  const auto values = Shuffled(200, 31);
  TreeRec tree;
  Engine engine;
  TreeTrace::RunGetTree(engine, tree, Join(values), nullptr);
  auto erase = Shuffled(200, 32);
  erase.resize(100);
  TraceRecorder rec;
  ASSERT_EQ(TreeTrace::RunErase(engine, tree, Join(erase), &rec), "");
  std::size_t marked = 0, balanced = 0;
  for (std::size_t i = 0; i < rec.ValueCount(); ++i) {
    std::vector<TreeTrace::StepEvent> events;
    const TreeRec after = rec.TreeAfter(static_cast<std::ptrdiff_t>(i), events);
    std::set<std::int16_t> named;
    for (const auto& e : events) {
      if (e.Type == EventType::Erase) continue;
      named.insert({e.Value, e.OtherValue, e.ThirdValue});
    }
    balanced += !named.empty();
    if (rec.Step(i).HasParent) named.insert(rec.Step(i).ParentValue);
    for (const std::int32_t n : rec.MarksOf(i, events, after)) {
      ASSERT_LT(n, after.Count);
      const std::int16_t v = after.Nodes[static_cast<std::size_t>(n)].Data;
      EXPECT_TRUE(named.count(v)) << "value " << erase[i] << " marks " << v;
      EXPECT_NE(v, erase[i]) << "the erased value is gone";
      ++marked;
    }
  }
  EXPECT_GT(balanced, 0u);
  EXPECT_GT(marked, 0u);
}

// Checks each event against the tree it names, as it happens and just after.
class Checker final : public TreeCore::TreeObserver {
 public:
  explicit Checker(const TreeRec& tree) : tree_(tree) {}
  void OnInsert(std::int16_t value, std::int32_t node) override {
    Settle();
    EXPECT_EQ(node, tree_.Count - 1);
    EXPECT_EQ(tree_.Nodes[static_cast<std::size_t>(node)].Data, value);
    ++inserts;
  }
  void OnRotate(TreeCore::ChainKind kind, std::int32_t node, std::int16_t value) override {
    Settle();
    ASSERT_GE(node, 0);
    EXPECT_EQ(tree_.Nodes[static_cast<std::size_t>(node)].Data, value);
    const auto e = TreeTrace::MakeEvent(tree_, EventType::Rotate, static_cast<std::uint8_t>(kind),
                                        node, value);
    ASSERT_GE(e.Third, 0) << "a rotation needs a whole chain";
    pendingTop_ = node;
    pendingParent_ =
        kind == TreeCore::ChainKind::RR || kind == TreeCore::ChainKind::LL ? e.Other : e.Third;
    ++rotations;
  }
  void OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) override {
    Settle();
    const auto& n = tree_.Nodes[static_cast<std::size_t>(node)];
    EXPECT_EQ(n.Data, value);
    EXPECT_NE(rightHeavy ? n.RightChild : n.LeftChild, -1) << "the heavy side has a child";
    ++fixups;
  }
  void OnErase(std::int16_t value, std::int32_t node) override {
    Settle();
    EXPECT_EQ(tree_.Nodes[static_cast<std::size_t>(node)].Data, value);
    erased.push_back(value);
  }
  // The last rotation's top now hangs below the node that took its place.
  // After a removal the slots behind `erased` have moved down by one.
  void Settle(std::int32_t erased = -1) {
    if (pendingTop_ < 0) return;
    if (erased >= 0) {
      if (pendingTop_ == erased || pendingParent_ == erased) {
        pendingTop_ = -1;
        return;
      }
      pendingTop_ -= pendingTop_ > erased;
      pendingParent_ -= pendingParent_ > erased;
    }
    EXPECT_EQ(tree_.Nodes[static_cast<std::size_t>(pendingTop_)].Parent, pendingParent_);
    pendingTop_ = -1;
  }
  int inserts = 0, rotations = 0, fixups = 0;
  std::vector<std::int16_t> erased;

 private:
  const TreeRec& tree_;
  std::int32_t pendingTop_ = -1, pendingParent_ = -1;
};

std::multiset<std::int16_t> ValuesOf(const TreeRec& t) {
  std::multiset<std::int16_t> s;
  if (t.Exists)
    for (std::int32_t i = 0; i < t.Count; ++i) s.insert(t.Nodes[static_cast<std::size_t>(i)].Data);
  return s;
}

TEST(Recorder, EventsAgreeWithTheChangesTheyName) {
  int rotations = 0, fixups = 0;
  for (const unsigned seed : {21u, 22u, 23u, 24u}) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    std::vector<std::int16_t> values(300);
    for (auto& v : values) v = static_cast<std::int16_t>(rng() % 200);  // duplicates too
    TreeRec tree;
    Engine engine;
    Checker check(tree);
    engine.SetObserver(&check);
    engine.Reset(tree, false);
    for (const auto v : values) {
      engine.Insert(tree, v);
      check.Settle();
    }
    EXPECT_EQ(check.inserts, 300);
    auto erase = values;
    std::shuffle(erase.begin(), erase.end(), rng);
    erase.resize(150);
    for (const auto v : erase) {
      const auto before = ValuesOf(tree);
      const std::size_t erasedBefore = check.erased.size();
      const std::int32_t k = TreeCore::FindValue(tree, v);
      engine.Delete(tree, k);
      check.Settle(k);
      ASSERT_EQ(check.erased.size(), erasedBefore + 1);
      EXPECT_EQ(check.erased.back(), v);
      auto want = before;
      want.erase(want.find(v));
      EXPECT_EQ(ValuesOf(tree), want);
    }
    rotations += check.rotations;
    fixups += check.fixups;
  }
  EXPECT_GT(rotations, 0);
  EXPECT_GT(fixups, 0);
}

}  // namespace
