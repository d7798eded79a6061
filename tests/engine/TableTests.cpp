// The node table, insertion, height updates, search and the by-name methods.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineTestSupport.h"

using namespace TreeCore;
using EngineTest::Build;
using EngineTest::DataAt;
using EngineTest::NodeOf;

namespace {

class TableTest : public EngineTest::EngineFixture {};

std::vector<std::int16_t> destroyed;
void RecordDestroy(std::int16_t i) {
  destroyed.push_back(i);
}

TEST_F(TableTest, ResetWithoutKeepingEmptiesTheTableButKeepsRootAndHeight) {
  TreeRec t = Build({5, 3, 8, 1, 4});
  const std::int32_t root = t.Root, height = t.Height;
  ResetTree(t, false);
  ASSERT_EQ(t.Nodes.size(), 1u);
  EXPECT_EQ(t.Nodes[0].Data, 0);
  EXPECT_EQ(t.Nodes[0].Kind, NodeKind::None);
  EXPECT_EQ(t.Nodes[0].Parent, 0);
  EXPECT_FALSE(t.Exists);
  EXPECT_EQ(t.Count, 0);
  EXPECT_EQ(t.Root, root);
  EXPECT_EQ(t.Height, height);
}

TEST_F(TableTest, ResetKeepingNodesOnlyDestroysDrawingElements) {
  SetDrawingHooks(RecordDestroy, nullptr);
  TreeRec t = Build({5, 3, 8});
  const std::vector<NodeRec> before = t.Nodes;
  destroyed.clear();
  DrawnElementCount = 4;
  ResetTree(t, true);
  EXPECT_EQ(destroyed, (std::vector<std::int16_t>{1, 2, 3}));
  EXPECT_EQ(DrawnElementCount, 0);
  EXPECT_TRUE(t.Exists);
  EXPECT_EQ(t.Count, 3);
  ASSERT_EQ(t.Nodes.size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(t.Nodes[i].Data, before[i].Data);

  destroyed.clear();
  DrawnElementCount = 1;
  ResetTree(t, true);
  EXPECT_TRUE(destroyed.empty());
  EXPECT_EQ(DrawnElementCount, 0);
}

TEST_F(TableTest, AddNodeKeepsRootAndMarksFreshSlotsLeaf) {
  TreeRec t;
  ResetTree(t, false);
  t.Nodes[0].Kind = NodeKind::Root;
  AddNode(t, 7);
  EXPECT_EQ(t.Nodes[0].Kind, NodeKind::Root);
  EXPECT_EQ(t.Nodes[0].Data, 7);
  EXPECT_EQ(t.Nodes[0].LeftChild, -1);
  EXPECT_EQ(t.Nodes[0].RightChild, -1);
  EXPECT_EQ(t.Count, 1);
  t.Nodes.resize(2);
  AddNode(t, 9);
  EXPECT_EQ(t.Nodes[1].Kind, NodeKind::Leaf);
  EXPECT_EQ(KindText(t.Nodes[1].Kind), "Leaf");
  EXPECT_EQ(KindText(NodeKind::None), "");
}

TEST_F(TableTest, FirstInsertionMakesTheRoot) {
  TreeRec t;
  ResetTree(t, false);
  EXPECT_EQ(LineBreak, "");
  InsertValue(t, 5);
  ASSERT_EQ(t.Nodes.size(), 1u);
  const NodeRec& n = t.Nodes[0];
  EXPECT_EQ(n.Kind, NodeKind::Root);
  EXPECT_EQ(n.Level, 1);
  EXPECT_EQ(n.Parent, -1);
  EXPECT_EQ(n.LeftChild, -1);
  EXPECT_EQ(n.RightChild, -1);
  EXPECT_EQ(t.Root, 0);
  EXPECT_EQ(t.Count, 1);
  EXPECT_TRUE(t.Exists);
  EXPECT_EQ(t.TreeLeftHeight, 0);
  EXPECT_EQ(t.TreeRightHeight, 0);
  EXPECT_EQ(t.Height, 1);
  EXPECT_EQ(LineBreak, "\r\n");
  EXPECT_EQ(DoubleLineBreak, "\r\n\r\n");
}

// The height update assigns the two line-break texts first, before it even
// looks at its node, so a refresh alone leaves them set.
TEST_F(TableTest, HeightUpdateAssignsTheLineBreaks) {
  TreeRec t = Build({5, 3});
  for (const std::int32_t node : {-1, 1}) {
    LineBreak.clear();
    DoubleLineBreak.clear();
    UpdateHeights(t, node);
    EXPECT_EQ(LineBreak, "\r\n") << "from " << node;
    EXPECT_EQ(DoubleLineBreak, "\r\n\r\n") << "from " << node;
  }
}

TEST_F(TableTest, OneValueAfterATallTreeKeepsTheTallerHeight) {
  TreeRec t = Build(EngineTest::Range(1, 20));
  const std::int32_t tall = t.Height;
  ASSERT_GT(tall, 1);
  ResetTree(t, false);
  InsertValue(t, 4);
  EXPECT_EQ(t.Height, tall);
  EXPECT_EQ(t.Count, 1);
  EXPECT_EQ(t.Root, 0);
}

// Where values go, without rotations: value, parent value, side, level, kind.
struct Placement {
  std::vector<std::int16_t> values;
  std::int16_t value;
  std::int16_t parent;
  bool left;
  std::int32_t level;
  NodeKind kind;
};

class PlacementTest : public EngineTest::EngineFixture,
                      public ::testing::WithParamInterface<Placement> {};

TEST_P(PlacementTest, ValueLandsWhereTheDescentLeadsIt) {
  const Placement& p = GetParam();
  const TreeRec t = Build(p.values);
  const std::int32_t i = FindValue(t, p.value);
  ASSERT_NE(i, -1);
  // The first 5 of 5, 5 is found first; look the duplicate up through the root.
  const std::int32_t at = p.value == p.parent ? t.Nodes[static_cast<std::size_t>(i)].LeftChild : i;
  ASSERT_NE(at, -1);
  const NodeRec& n = t.Nodes[static_cast<std::size_t>(at)];
  EXPECT_EQ(DataAt(t, n.Parent), p.parent);
  const NodeRec& parent = t.Nodes[static_cast<std::size_t>(n.Parent)];
  EXPECT_EQ(p.left ? parent.LeftChild : parent.RightChild, at);
  EXPECT_EQ(n.Level, p.level);
  EXPECT_EQ(n.Kind, p.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Insertion, PlacementTest,
    ::testing::Values(Placement{{5, 5}, 5, 5, true, 2, NodeKind::Leaf},
                      Placement{{5, 3, 8}, 3, 5, true, 2, NodeKind::Leaf},
                      Placement{{5, 3, 8}, 8, 5, false, 2, NodeKind::Leaf},
                      Placement{{10, 5, 15, 7}, 7, 5, false, 3, NodeKind::Leaf},
                      Placement{{10, 5, 15, 7}, 5, 10, true, 2, NodeKind::Interior},
                      Placement{{2, -3}, -3, 2, true, 2, NodeKind::Leaf}),
    [](const auto& info) {
      const std::int16_t v = info.param.value;
      return "Value" + std::string(v < 0 ? "Minus" : "") + std::to_string(v < 0 ? -v : v) +
             "Under" + std::to_string(info.param.parent);
    });

TEST_F(TableTest, DescentRaisesHeightThenTheWalkSetsItFromTheRoot) {
  TreeRec t = Build({10, 5, 15});
  EXPECT_EQ(t.Height, 1);
  InsertValue(t, 7);  // level 3: the descent raises Height to 3, the walk sets 2
  EXPECT_EQ(t.Height, 2);
  EXPECT_EQ(t.TreeLeftHeight, 2);
  EXPECT_EQ(t.TreeRightHeight, 1);
  EXPECT_EQ(NodeOf(t, 10).Kind, NodeKind::Root);
}

TEST_F(TableTest, HeightWalkStopsAtTheFirstUnchangedHeight) {
  TreeRec t = Build({20, 10, 30, 5, 15, 25, 35, 3});
  EXPECT_EQ(t.TreeLeftHeight, 3);
  EXPECT_EQ(t.TreeRightHeight, 2);
  InsertValue(t, 7);
  EXPECT_EQ(NodeOf(t, 5).RightHeight, 1);
  EXPECT_EQ(NodeOf(t, 10).LeftHeight, 2);
  EXPECT_EQ(t.TreeLeftHeight, 3);
  EXPECT_EQ(t.TreeRightHeight, 2);
  EXPECT_EQ(t.Height, 4);  // from the descent; the walk never reached the root
}

TEST_F(TableTest, UpdateHeightsCases) {
  // Index -1 changes nothing.
  TreeRec t = Build({5, 3});
  const TreeRec before = t;
  UpdateHeights(t, -1);
  EXPECT_EQ(t.Height, before.Height);
  EXPECT_EQ(t.Nodes[0].LeftHeight, before.Nodes[0].LeftHeight);

  // From a leaf up to the root.
  t.Nodes[1].LeftHeight = 4;
  t.Nodes[1].Kind = NodeKind::Interior;
  t.Nodes[0].LeftHeight = 0;
  t.TreeLeftHeight = 9;
  UpdateHeights(t, 1);
  EXPECT_EQ(t.Nodes[1].LeftHeight, 0);
  EXPECT_EQ(t.Nodes[1].RightHeight, 0);
  EXPECT_EQ(t.Nodes[1].Kind, NodeKind::Leaf);
  EXPECT_EQ(t.Nodes[0].LeftHeight, 1);
  EXPECT_EQ(t.TreeLeftHeight, 1);
  EXPECT_EQ(t.TreeRightHeight, 0);
  EXPECT_EQ(t.Height, 1);

  // On the root it copies the stored heights without looking at the children.
  t.Nodes[0].LeftHeight = 6;
  UpdateHeights(t, 0);
  EXPECT_EQ(t.TreeLeftHeight, 6);
  EXPECT_EQ(t.Height, 6);

  // A childless root becomes a leaf with height 0.
  TreeRec single = Build({9});
  single.Nodes[0].LeftHeight = 3;
  UpdateHeights(single, 0);
  EXPECT_EQ(single.Nodes[0].Kind, NodeKind::Leaf);
  EXPECT_EQ(single.Nodes[0].LeftHeight, 0);
  EXPECT_EQ(single.Height, 0);
}

TEST_F(TableTest, WalkEndsAtAParentlessNodeNotMarkedRoot) {
  TreeRec t = Build({5, 3});
  t.Nodes[0].Kind = NodeKind::Leaf;  // as a height update leaves a lone root
  t.Root = 7;                        // and a stale index, so only the walk can find it
  t.Nodes[0].LeftHeight = 0;
  UpdateHeights(t, 1);
  EXPECT_EQ(t.Nodes[0].LeftHeight, 1);
  EXPECT_EQ(t.TreeLeftHeight, 1);
  EXPECT_EQ(t.Height, 1);
}

TEST_F(TableTest, FindValueCases) {
  TreeRec empty;
  ResetTree(empty, false);
  EXPECT_EQ(FindValue(empty, 0), -1);

  const TreeRec one = Build({4});
  EXPECT_EQ(FindValue(one, 4), 0);
  EXPECT_EQ(FindValue(one, 5), -1);

  const TreeRec t = Build({50, 25, 75, 10, 30, 60, 90});
  EXPECT_EQ(DataAt(t, FindValue(t, 60)), 60);
  EXPECT_EQ(FindValue(t, -5), -1);
  EXPECT_EQ(FindValue(t, 100), -1);
  EXPECT_EQ(FindValue(t, 32768), -1);
  EXPECT_EQ(FindValue(t, -32769), -1);

  const TreeRec twice = Build({5, 5});
  EXPECT_EQ(FindValue(twice, 5), 0);

  // After the last node is erased, stale slots and Root are never read.
  TreeRec gone = Build({5});
  DeleteNode(gone, 0);
  gone.Root = 3;
  EXPECT_EQ(FindValue(gone, 5), -1);
  EXPECT_EQ(FindValue(gone, 0), -1);
}

TEST_F(TableTest, LevelMethodsChangeOnlyTheSharedTree) {
  TreeRec t = Build({5, 3, 8});
  *SharedTree = t;
  OrdersCode orders;
  std::int32_t root = 0;
  orders.CallByName("LevelDown", root);
  EXPECT_EQ(SharedTree->Nodes[0].Level, 0);
  EXPECT_EQ(t.Nodes[0].Level, 1);
  orders.CallByName("LevelUp", root);
  orders.CallByName("LevelUp", root);
  EXPECT_EQ(SharedTree->Nodes[0].Level, 2);
  EXPECT_EQ(OrdersCode::Lookup("Nothing"), nullptr);
  EXPECT_NE(OrdersCode::Lookup("PrintNode"), nullptr);
}

#ifdef NDEBUG
TEST_F(TableTest, UnknownMethodNameIsIgnored) {
  TreeRec t = Build({5});
  *SharedTree = t;
  OrdersCode orders;
  std::int32_t root = 0;
  orders.CallByName("LevelSideways", root);
  CallInOrder(t.Nodes, t.Root, orders, "NoSuchMethod");
  EXPECT_EQ(SharedTree->Nodes[0].Level, 1);
}
#endif

TEST_F(TableTest, CallInOrderVisitsTheSubtreeInOrder) {
  TreeRec t = Build({50, 25, 75, 10, 30, 60, 90});
  *SharedTree = t;
  OrdersCode orders;
  const std::int32_t left = t.Nodes[static_cast<std::size_t>(t.Root)].LeftChild;
  CallInOrder(t.Nodes, left, orders, "LevelDown");
  for (const std::int16_t v : {10, 25, 30})
    EXPECT_EQ(SharedTree->Nodes[static_cast<std::size_t>(FindValue(t, v))].Level,
              NodeOf(t, v).Level - 1);
  for (const std::int16_t v : {50, 60, 75, 90})
    EXPECT_EQ(SharedTree->Nodes[static_cast<std::size_t>(FindValue(t, v))].Level,
              NodeOf(t, v).Level);
  std::int32_t none = -1;
  CallInOrder(t.Nodes, none, orders, "LevelDown");
}

}  // namespace
