// Engine and drawing instances of their own: a tree drawn into other arrays
// leaves the main window's state alone, and two instances run at once on two
// threads give what they give one after the other.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "DrawingTestSupport.h"

namespace {

using namespace DrawingTest;

// Everything a command leaves behind: the node table and the drawing.
struct Outcome {
  std::vector<std::tuple<std::int16_t, NodeKind, std::int32_t, std::int32_t, std::int32_t,
                         std::int32_t, std::int32_t, std::int32_t>>
      nodes;
  std::int32_t root = 0, height = 0;
  std::vector<std::tuple<std::string, std::string, float, float, float, float>> elements;
  std::vector<std::int32_t> nodeOfElement;
  float width = 0, height2 = 0;
  bool operator==(const Outcome&) const = default;
};

Outcome Capture(const EngineState& engine, const DrawingState& layout, const ElementArrays& a) {
  Outcome out;
  const TreeRec& t = engine.MainTree;
  for (const NodeRec& n : t.Nodes)
    out.nodes.emplace_back(n.Data, n.Kind, n.Level, n.LeftHeight, n.RightHeight, n.Parent,
                           n.LeftChild, n.RightChild);
  out.root = t.Root;
  out.height = t.Height;
  for (std::int16_t k = 0; k < engine.DrawnElementCount; ++k)
    out.elements.emplace_back(a.TreeNode[k].Caption, a.TreeNode[k].ToolTipText, a.TreeNode[k].Left,
                              a.TreeNode[k].Top, a.LnNode[k].X2, a.LnNode[k].Y2);
  out.nodeOfElement = layout.NodeOfElement;
  out.width = layout.DrawingWidth;
  out.height2 = layout.DrawingHeight;
  return out;
}

// Get Tree, then Erase of every third value, then the redraw, on one instance.
Outcome RunCommands(EngineState& engine, DrawingState& layout, ElementArrays& a,
                    const std::vector<std::int16_t>& values) {
  ResetTree(engine, engine.MainTree, false);
  for (const std::int16_t v : values) InsertValue(engine, engine.MainTree, v);
  for (std::size_t i = 0; i < values.size(); i += 3) {
    const std::int32_t index = FindValue(engine.MainTree, values[i]);
    if (index == -1) break;
    DeleteNode(engine, engine.MainTree, index);
  }
  ResetTree(engine, engine.MainTree, true);
  layout.DrawingWidth = 0;
  layout.DrawingHeight = 0;
  HideTemplates(a);
  DrawTreeInto(engine, layout, engine.MainTree, a.TreeNode, a.ShNode, a.LnNode, 0);
  return Capture(engine, layout, a);
}

std::vector<std::int16_t> Shuffled(int count, unsigned seed) {
  std::vector<std::int16_t> v(static_cast<std::size_t>(count));
  std::iota(v.begin(), v.end(), static_cast<std::int16_t>(-count / 2));
  std::shuffle(v.begin(), v.end(), std::mt19937(seed));
  return v;
}

using Instances = DrawingFixture;

TEST_F(Instances, DrawingAnotherTreeLeavesTheDefaultsAlone) {
  BuildAndDraw(arrays, {50, 25, 75, 10});
  const TreeRec main = MainTree;
  const TreeRec shared = SharedTreeStore;
  const std::int16_t count = DrawnElementCount;
  const float width = DrawingWidth, height = DrawingHeight;
  const std::int32_t levels = LayoutLevels;
  const std::string rootTip = arrays.TreeNode[0].ToolTipText;

  EngineState engine;
  DrawingState layout;
  ElementArrays other;
  TreeRec tree;
  ResetTree(engine, tree, false);
  for (const std::int16_t v : {7, 3, 9, 1, 5, 8, 11, 12}) InsertValue(engine, tree, v);
  const TreeRec given = tree;
  DrawTreeInto(engine, layout, tree, other.TreeNode, other.ShNode, other.LnNode, 0);

  EXPECT_TRUE(SameTree(MainTree, main));
  EXPECT_TRUE(SameTree(SharedTreeStore, shared));
  EXPECT_TRUE(SameTree(tree, given));
  EXPECT_EQ(DrawnElementCount, count);
  EXPECT_EQ(DrawingWidth, width);
  EXPECT_EQ(DrawingHeight, height);
  EXPECT_EQ(LayoutLevels, levels);
  EXPECT_EQ(TreeNodeArray, &arrays.TreeNode);
  EXPECT_EQ(arrays.TreeNode.UpperBound(), count);
  EXPECT_EQ(arrays.TreeNode[0].ToolTipText, rootTip);

  // Each element shows the node NodeOfElement names.
  ASSERT_EQ(engine.DrawnElementCount, 8);
  ASSERT_EQ(layout.NodeOfElement.size(), 8u);
  for (std::int16_t k = 0; k < 8; ++k) {
    const std::int32_t node = layout.NodeOfElement[static_cast<std::size_t>(k)];
    EXPECT_EQ(other.TreeNode[k].Caption, std::to_string(tree.Nodes.at(node).Data)) << k;
    EXPECT_EQ(other.TreeNode[k].ToolTipText,
              NodeDescription(engine, tree, node, node == tree.Root ? -1 : tree.Nodes[node].Parent))
        << k;
  }

  // The same tree drawn as the main window's gives the same elements.
  MainTree = given;
  ResetTree(MainTree, true);
  DrawingWidth = 0;
  DrawingHeight = 0;
  ShowTree(arrays);
  ASSERT_EQ(DrawnElementCount, engine.DrawnElementCount);
  for (std::int16_t k = 0; k < DrawnElementCount; ++k) {
    EXPECT_EQ(arrays.TreeNode[k].Caption, other.TreeNode[k].Caption);
    EXPECT_EQ(arrays.ShNode[k].Left, other.ShNode[k].Left);
    EXPECT_EQ(arrays.LnNode[k].Y1, other.LnNode[k].Y1);
  }
  EXPECT_EQ(DrawingWidth, layout.DrawingWidth);
  EXPECT_EQ(DefaultDrawing().NodeOfElement, layout.NodeOfElement);

  // ResetDrawing and ResetTree on the other engine destroy only its elements.
  ResetDrawing(engine, layout);
  EXPECT_EQ(other.TreeNode.UpperBound(), 1);
  EXPECT_EQ(engine.DrawnElementCount, 0);
  EXPECT_TRUE(layout.NodeOfElement.empty());
  EXPECT_EQ(arrays.TreeNode.UpperBound(), DrawnElementCount);
  DrawTreeInto(engine, layout, tree, other.TreeNode, other.ShNode, other.LnNode, 0);
  ResetTree(engine, tree, true);
  EXPECT_EQ(other.LnNode.UpperBound(), 1);
  EXPECT_EQ(arrays.LnNode.UpperBound(), DrawnElementCount);

  // An empty tree hides the other pane's templates and maps no element.
  TreeRec empty;
  DrawTreeInto(engine, layout, empty, other.TreeNode, other.ShNode, other.LnNode, 0);
  EXPECT_FALSE(other.TreeNode[0].Visible);
  EXPECT_TRUE(layout.NodeOfElement.empty());
  EXPECT_TRUE(arrays.TreeNode[0].Visible);
}

TEST_F(Instances, TwoTreesBuiltAtOnceMatchTheSequentialResult) {
  const std::vector<std::int16_t> first = Shuffled(1200, 1);
  std::vector<std::int16_t> second = Shuffled(900, 2);
  std::sort(second.begin(), second.begin() + 400);  // a sorted run makes fix-ups

  Outcome expectFirst, expectSecond;
  {
    EngineState e1, e2;
    DrawingState d1, d2;
    ElementArrays a1, a2;
    expectFirst = RunCommands(e1, d1, a1, first);
    expectSecond = RunCommands(e2, d2, a2, second);
  }
  ASSERT_NE(expectFirst, expectSecond);
  ASSERT_GT(expectFirst.elements.size(), 700u);

  for (int round = 0; round < 3; ++round) {
    EngineState e1, e2;
    DrawingState d1, d2;
    ElementArrays a1, a2;
    Outcome got1, got2;
    std::thread worker1([&] { got1 = RunCommands(e1, d1, a1, first); });
    std::thread worker2([&] { got2 = RunCommands(e2, d2, a2, second); });
    // Meanwhile the default instance builds and draws on this thread.
    BuildAndDraw(arrays, {5, 3, 8, 1, 4, 7, 9, 2, 6});
    worker1.join();
    worker2.join();
    EXPECT_EQ(got1, expectFirst) << "round " << round;
    EXPECT_EQ(got2, expectSecond) << "round " << round;
    EXPECT_EQ(DrawnElementCount, 9);
  }
}

}  // namespace
