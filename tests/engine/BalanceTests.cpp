// Balance checks, the four rotations, the heavy-side fix-ups and the cases
// that used to lose nodes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "Internal.h"

using namespace TreeCore;
using EngineTest::Build;
using EngineTest::DataAt;
using EngineTest::NodeOf;
using EngineTest::Range;

namespace {

class BalanceTest : public EngineTest::EngineFixture {};

// A chain straightened by one rotation: the new top, its place and children.
struct RotationCase {
  std::string name;
  std::vector<std::int16_t> values;
  std::int16_t top;
  std::int16_t left;
  std::int16_t right;
  bool underRootLeft;
};

class RotationTest : public EngineTest::EngineFixture,
                     public ::testing::WithParamInterface<RotationCase> {};

TEST_P(RotationTest, ChainBecomesATopWithTwoLeaves) {
  const RotationCase& c = GetParam();
  const TreeRec t = Build(c.values);
  const NodeRec& top = NodeOf(t, c.top);
  const NodeRec& root = t.Nodes[static_cast<std::size_t>(t.Root)];
  EXPECT_EQ(root.Data, 50);
  EXPECT_EQ(DataAt(t, c.underRootLeft ? root.LeftChild : root.RightChild), c.top);
  EXPECT_EQ(top.Level, 2);
  EXPECT_EQ(top.Kind, NodeKind::Interior);
  EXPECT_EQ(DataAt(t, top.LeftChild), c.left);
  EXPECT_EQ(DataAt(t, top.RightChild), c.right);
  for (const std::int16_t v : {c.left, c.right}) {
    EXPECT_EQ(NodeOf(t, v).Level, 3);
    EXPECT_EQ(NodeOf(t, v).Kind, NodeKind::Leaf);
    EXPECT_EQ(NodeOf(t, v).LeftHeight, 0);
    EXPECT_EQ(NodeOf(t, v).RightHeight, 0);
  }
  EXPECT_EQ(c.underRootLeft ? root.LeftHeight : root.RightHeight, 2);
  EXPECT_EQ(t.Height, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Rotations, RotationTest,
    ::testing::Values(RotationCase{"RR", {50, 25, 75, 10, 90, 95}, 90, 75, 95, false},
                      RotationCase{"RL", {50, 25, 75, 10, 90, 85}, 85, 75, 90, false},
                      RotationCase{"LL", {50, 25, 75, 90, 10, 5}, 10, 5, 25, true},
                      RotationCase{"LR", {50, 25, 75, 90, 10, 15}, 15, 10, 25, true}),
    [](const auto& info) { return info.param.name; });

TEST_F(BalanceTest, RotateIgnoresCaseAndUnknownKinds) {
  TreeRec t = Build({50, 25, 75, 10, 90});
  EngineTest::Attach(t, FindValue(t, 90), false, 95);
  const std::int32_t a = FindValue(t, 75);
  TreeRec untouched = t;
  Rotate(untouched, "XY", a);
  EXPECT_EQ(untouched.Nodes[2].RightChild, t.Nodes[2].RightChild);
  Rotate(t, "rr", a);
  EXPECT_EQ(DataAt(t, t.Nodes[0].RightChild), 90);
  EXPECT_EQ(TreeCheck::Violation(t), "");
}

TEST_F(BalanceTest, ShapesWithoutAChainRotateNothing) {
  // 75's only child 90 has two children: no chain, and nothing is out of balance.
  TreeRec t = Build({50, 25, 75, 10, 90});
  EngineTest::Attach(t, FindValue(t, 90), true, 85);
  const std::int32_t last = EngineTest::Attach(t, FindValue(t, 90), false, 95);
  Rebalance(t, last, false);
  EXPECT_EQ(TreeCheck::Violation(t), "");
  EXPECT_EQ(DataAt(t, NodeOf(t, 50).RightChild), 75);
  EXPECT_EQ(DataAt(t, NodeOf(t, 75).RightChild), 90);
  EXPECT_EQ(NodeOf(t, 90).Level, 3);
}

TEST_F(BalanceTest, RebalanceCalledOnItsOwnStraightensAChainBelowTheRoot) {
  // 75 -> 90 -> 95 hangs right of 50, built without balancing: a right-right
  // chain, with the left side deep enough that the root stays in balance.
  TreeRec t = Build({50, 25, 75, 10, 30});
  EngineTest::Attach(t, FindValue(t, 75), false, 90);
  const std::int32_t last = EngineTest::Attach(t, FindValue(t, 90), false, 95);
  Rebalance(t, last, false);
  EXPECT_EQ(TreeCheck::Violation(t), "");
  EXPECT_EQ(DataAt(t, NodeOf(t, 50).RightChild), 90);
  EXPECT_EQ(DataAt(t, NodeOf(t, 90).LeftChild), 75);
  EXPECT_EQ(DataAt(t, NodeOf(t, 90).RightChild), 95);
  EXPECT_EQ(NodeOf(t, 75).Level, 3);
}

// A list deep enough to nest the loop thousands of frames takes minutes where
// debug builds validate the whole tree after every insertion.
#ifdef NDEBUG
// Watches how deep the balancing loop's frame stack grows.
class FrameDepth final : public TreeObserver {
 public:
  explicit FrameDepth(const EngineState& state) : state_(state) {}
  std::size_t Deepest = 0;
  void OnInsert(std::int16_t, std::int32_t) override {}
  void OnRotate(ChainKind, std::int32_t, std::int16_t) override { Look(); }
  void OnFixUp(bool, std::int32_t, std::int16_t) override { Look(); }
  void OnErase(std::int16_t, std::int32_t) override {}

 private:
  void Look() { Deepest = std::max(Deepest, state_.Frames.size()); }
  const EngineState& state_;
};

TEST_F(BalanceTest, DeepRunsGiveTheirFrameStorageBack) {
  EngineState state;
  FrameDepth depth(state);
  state.Observer = &depth;
  TreeRec t;
  ResetTree(state, t, false);
  std::size_t largest = 0;
  for (int v = 12000; v >= 1; --v) {
    InsertValue(state, t, static_cast<std::int16_t>(v));
    largest = std::max(largest, state.Frames.capacity());
  }
  ASSERT_GT(depth.Deepest, 4096u) << "the list no longer nests the loop deeply";
  // Between operations the stack keeps no more than a small reserve.
  EXPECT_LE(largest, 4096u);
  EXPECT_TRUE(state.Frames.empty());
}
#endif

// Every balancing procedure called on its own is an operation of its own: the
// height updates it makes assign the line breaks again, whatever the call
// before it left.
TEST_F(BalanceTest, DirectCallsAssignTheLineBreaksAfresh) {
  const struct {
    const char* name;
    void (*call)(TreeRec&);
  } cases[] = {
      {"Rebalance", [](TreeRec& t) { Rebalance(t, FindValue(t, 95), false); }},
      {"Rotate", [](TreeRec& t) { Rotate(t, "RR", FindValue(t, 75)); }},
      {"CheckBalance", [](TreeRec& t) { CheckBalance(t, FindValue(t, 75)); }},
      {"RebalanceRightHeavy", [](TreeRec& t) { RebalanceRightHeavy(t, FindValue(t, 75), false); }},
      {"RebalanceLeftHeavy", [](TreeRec& t) { RebalanceLeftHeavy(t, FindValue(t, 75), false); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // 75 -> 90 -> 95 right of 50, and 75 -> 70 -> 65 on its left for the mirror:
    // 75 is two out of balance on whichever side the call looks at.
    TreeRec t = Build({50, 25, 75, 10, 30});
    const bool left = std::string(c.name) == "RebalanceLeftHeavy";
    const std::int32_t mid = EngineTest::Attach(t, FindValue(t, 75), left, left ? 70 : 90);
    EngineTest::Attach(t, mid, left, left ? 65 : 95);
    LineBreak.clear();
    DoubleLineBreak.clear();
    c.call(t);
    EXPECT_EQ(LineBreak, "\r\n");
    EXPECT_EQ(DoubleLineBreak, "\r\n\r\n");
  }
}

TEST_F(BalanceTest, ChildOfTheRootTriggersNothing) {
  TreeRec t = Build({5, 3});
  t.Nodes[0].RightHeight = 5;  // a stale imbalance the root check would act on
  const TreeRec before = t;
  Rebalance(t, 1, false);
  EXPECT_EQ(t.Nodes[0].RightHeight, 5);
  EXPECT_EQ(t.Root, before.Root);
}

TEST_F(BalanceTest, BalanceOfOneIsLeftAloneAndTwoIsFixed) {
  TreeRec t = Build({5, 8});
  CheckBalance(t, 0);
  EXPECT_EQ(t.Nodes[0].RightHeight - t.Nodes[0].LeftHeight, 1);
  EXPECT_EQ(DataAt(t, t.Root), 5);

  // 1, 2, 3: the root check finds 1 right-heavy by 2 and 2 takes its place.
  const TreeRec fixed = Build({1, 2, 3});
  EXPECT_EQ(fixed.Root, 1);
  EXPECT_EQ(NodeOf(fixed, 2).Level, 1);
  EXPECT_EQ(NodeOf(fixed, 2).Kind, NodeKind::Root);
  EXPECT_EQ(DataAt(fixed, NodeOf(fixed, 2).LeftChild), 1);
  EXPECT_EQ(DataAt(fixed, NodeOf(fixed, 2).RightChild), 3);
  EXPECT_EQ(NodeOf(fixed, 1).Level, 2);
  EXPECT_EQ(NodeOf(fixed, 3).Level, 2);
  EXPECT_EQ(NodeOf(fixed, 2).LeftHeight, 1);
  EXPECT_EQ(NodeOf(fixed, 2).RightHeight, 1);

  const TreeRec mirror = Build({3, 2, 1});
  EXPECT_EQ(DataAt(mirror, mirror.Root), 2);
}

// The right-heavy fix-up's Rebalance walks up checking every ancestor; the
// left-heavy one skips that walk. Run the other way, each list ends with
// another root (4 and 5 respectively).
TEST_F(BalanceTest, OnlyTheRightHeavyFixUpWalksUp) {
  const struct {
    std::vector<std::int16_t> values;
    std::int16_t root;
  } cases[] = {{{1, 4, 2, 9, 3, 11, 5, 7}, 5}, {{16, 4, 14, 2, 10, 1, 5, 9}, 9}};
  for (const auto& c : cases) {
    const TreeRec t = Build(c.values);
    EXPECT_EQ(DataAt(t, t.Root), c.root);
  }
}

TEST_F(BalanceTest, LevelLoweringPassesUseAFreshOrdersObjectEachTime) {
  TreeRec t = Build({1, 2});
  EXPECT_EQ(Orders, nullptr);
  InsertValue(t, 3);  // the root fix-up runs level-lowering passes
  const OrdersCode* first = Orders.get();
  ASSERT_NE(first, nullptr);
  InsertValue(t, 4);
  InsertValue(t, 5);
  EXPECT_NE(Orders.get(), first);
}

// A table of `count` unlinked nodes at level 10, for shapes made by hand.
TreeRec Unlinked(int count) {
  TreeRec t;
  t.Nodes.resize(static_cast<std::size_t>(count));
  for (NodeRec& n : t.Nodes) {
    n.Parent = n.LeftChild = n.RightChild = -1;
    n.Level = 10;
  }
  t.Count = count;
  return t;
}

void Link(TreeRec& t, std::int32_t parent, bool left, std::int32_t child) {
  (left ? t.Nodes[static_cast<std::size_t>(parent)].LeftChild
        : t.Nodes[static_cast<std::size_t>(parent)].RightChild) = child;
  t.Nodes[static_cast<std::size_t>(child)].Parent = parent;
}

// Every node of the subtree is lowered once, however many wait to be
// visited at a time (a spine with a leaf at each step leaves 150 waiting),
// and no other node is; the second round reuses the pass's kept storage.
TEST_F(BalanceTest, LevelLoweringLowersEachNodeOfTheSubtreeOnce) {
  struct Shape {
    const char* name;
    int count;
    void (*make)(TreeRec&);  // node 0 is the top; the last node stays outside
  };
  const Shape shapes[] = {
      {"one node", 2, [](TreeRec&) {}},
      {"right chain", 301,
       [](TreeRec& t) {
         for (int i = 1; i < 300; ++i) Link(t, i - 1, false, i);
       }},
      // Each spine node leaves its left leaf waiting: 150 wait at once.
      {"right spine with left leaves", 301,
       [](TreeRec& t) {
         for (int i = 2; i < 300; i += 2) {
           Link(t, i - 2, false, i);
           Link(t, i - 2, true, i - 1);
         }
         Link(t, 298, true, 299);
       }},
      {"left spine with right leaves", 301,
       [](TreeRec& t) {
         for (int i = 2; i < 300; i += 2) {
           Link(t, i - 2, true, i);
           Link(t, i - 2, false, i - 1);
         }
         Link(t, 298, false, 299);
       }},
      {"complete", 256,
       [](TreeRec& t) {
         for (int i = 1; i < 255; ++i) Link(t, (i - 1) / 2, i % 2 == 1, i);
       }},
  };
  EngineState engine;
  for (int round = 0; round < 2; ++round)
    for (const Shape& shape : shapes) {
      TreeRec t = Unlinked(shape.count);
      shape.make(t);
      Detail::LevelLoweringPass(engine, t, 0);
      for (int i = 0; i < shape.count; ++i)
        EXPECT_EQ(t.Nodes[static_cast<std::size_t>(i)].Level, i + 1 < shape.count ? 9 : 10)
            << shape.name << ", node " << i << ", round " << round;
    }
}

TEST_F(BalanceTest, FixUpForDeletionSinksTheNodeThroughTheLiftStep) {
  TreeRec t = Build({10, 5, 20, 15, 25});
  RebalanceRightHeavy(t, 0, true);
  EXPECT_EQ(DataAt(t, t.Root), 15);
  const NodeRec& root = NodeOf(t, 15);
  EXPECT_EQ(DataAt(t, root.LeftChild), 5);
  EXPECT_EQ(DataAt(t, root.RightChild), 25);
  EXPECT_EQ(DataAt(t, NodeOf(t, 25).LeftChild), 20);
  EXPECT_EQ(DataAt(t, NodeOf(t, 5).RightChild), 10);
  const std::vector<std::pair<std::int16_t, std::int32_t>> levels{
      {15, 1}, {5, 2}, {25, 2}, {20, 3}, {10, 3}};
  for (const auto& [v, level] : levels) EXPECT_EQ(NodeOf(t, v).Level, level) << v;
}

TEST_F(BalanceTest, FixUpMovesADeeperSuccessorsRightChildUp) {
  // 10's successor 12 lies under 15 and has a right child 13.
  TreeRec t = Build({10, 5, 20, 3, 15, 25, 12, 30});
  EngineTest::Attach(t, FindValue(t, 12), false, 13);
  ASSERT_EQ(DataAt(t, NodeOf(t, 12).RightChild), 13);
  const std::int32_t level13 = NodeOf(t, 13).Level;
  RebalanceRightHeavy(t, FindValue(t, 10), true);
  EXPECT_EQ(DataAt(t, t.Root), 12);
  EXPECT_EQ(DataAt(t, NodeOf(t, 15).LeftChild), 13);
  EXPECT_EQ(NodeOf(t, 13).Level, level13 - 1);
}

// Lists that lost nodes, looped or left wrong levels, kinds and heights when
// a nested fix-up ran while an outer one still held a node detached.
struct LossCase {
  std::string name;
  std::vector<std::int16_t> values;
};

class NoLossTest : public EngineTest::EngineFixture,
                   public ::testing::WithParamInterface<LossCase> {};

TEST_P(NoLossTest, EveryValueStaysReachable) {
  const std::vector<std::int16_t>& values = GetParam().values;
  const TreeRec t = Build(values);
  EXPECT_EQ(t.Count, static_cast<std::int32_t>(values.size()));
  std::vector<std::int16_t> sorted = values;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(TreeCheck::InOrderValues(t), sorted);
  for (const std::int16_t v : values) EXPECT_NE(FindValue(t, v), -1) << v;
}

INSTANTIATE_TEST_SUITE_P(
    Mends, NoLossTest,
    ::testing::Values(LossCase{"NestedFixUp", {1, 2, 4, 3, 6, 5}},
                      LossCase{"Ascending15", Range(1, 15)}, LossCase{"Descending13", Range(13, 1)},
                      LossCase{"LiftGivesKItsKind", {1, 2, 3, 4, 5, 7, 6, 8, 9}},
                      LossCase{"SubtreeMovesUpTogether", {1, 2, 6, 8, 7, 5, 3, 4}},
                      LossCase{"Ascending600", Range(1, 600)},
                      LossCase{"Descending600", Range(600, 1)}),
    [](const auto& info) { return info.param.name; });

TEST_F(BalanceTest, NodeThatReceivesALiftedNodeBecomesInterior) {
  const TreeRec t = Build({1, 2, 3, 4, 5, 7, 6, 8, 9});
  EXPECT_EQ(DataAt(t, NodeOf(t, 5).Parent), 6);
  EXPECT_EQ(NodeOf(t, 6).Kind, NodeKind::Interior);
}

TEST_F(BalanceTest, RandomListsKeepTheTreeWhole) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 400; ++round) {
    std::vector<std::int16_t> values(20);
    for (auto& v : values) v = static_cast<std::int16_t>(rng() % 100);
    const TreeRec t = Build(values);
    std::multiset<std::int16_t> want(values.begin(), values.end());
    ASSERT_EQ(TreeCheck::InOrderValues(t), std::vector<std::int16_t>(want.begin(), want.end()));
  }
}

}  // namespace
