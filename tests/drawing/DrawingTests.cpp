#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "DrawingTestSupport.h"

namespace {

using namespace DrawingTest;

constexpr float u = 375;  // the template label's width

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}

using DrawingLayout = DrawingFixture;

TEST_F(DrawingLayout, SubtreeWidthDoublesPerLevel) {
  NodeUnit = u;
  for (const std::int32_t levels : {1, 2, 4, 10, 24}) {
    LayoutLevels = levels;
    for (std::int32_t i = 1; i <= levels; ++i)
      EXPECT_FLOAT_EQ(SubtreeWidth(i), static_cast<float>((1 << (levels - i + 1)) - 1) * u)
          << "L " << levels << " level " << i;
    EXPECT_FLOAT_EQ(SubtreeWidth(levels + 3), u);  // below the last row: one node wide
  }
  // The widest layout overflows to infinity without looping for long.
  LayoutLevels = MaxLayoutLevels;
  EXPECT_TRUE(std::isinf(SubtreeWidth(std::numeric_limits<std::int32_t>::min())));
}

// L = 4 with every position on levels 1 to 3 taken and one node on level 4.
TEST_F(DrawingLayout, WorkedExampleWithFourLevels) {
  BuildAndDraw(arrays, {50, 25, 75, 10, 30, 60, 90, 5});
  const TreeRec before = MainTree;

  ASSERT_EQ(LayoutLevels, 4);
  EXPECT_EQ(LevelWidth, (std::vector<float>{0, 15 * u, 7 * u, 3 * u, u}));
  ASSERT_EQ(DrawnElementCount, 8);

  // Element, value, circle left and top in node units, parent's element.
  struct Row {
    std::int16_t value;
    float left, top;
    std::int16_t parent;
  };
  const Row rows[] = {{50, 7, 0, -1}, {25, 3, 2, 0}, {75, 11, 2, 0}, {10, 1, 4, 1},
                      {30, 5, 4, 1},  {5, 0, 6, 3},  {60, 9, 4, 2},  {90, 13, 4, 2}};
  for (std::int16_t k = 0; k < 8; ++k) {
    SCOPED_TRACE("element " + std::to_string(k));
    const Row& row = rows[k];
    const Label& label = arrays.TreeNode[k];
    const Shape& shape = arrays.ShNode[k];
    EXPECT_EQ(label.Caption, std::to_string(row.value));
    EXPECT_FLOAT_EQ(shape.Left, row.left * u);
    EXPECT_FLOAT_EQ(shape.Top, row.top * u);
    EXPECT_FLOAT_EQ(label.Left, row.left * u);
    EXPECT_FLOAT_EQ(label.Top, row.top * u + 90);
    EXPECT_TRUE(label.Visible);
    EXPECT_TRUE(shape.Visible);
    if (row.parent < 0) {
      EXPECT_FALSE(arrays.LnNode[k].Visible);
      continue;
    }
    const Row& parent = rows[row.parent];
    const Line& line = arrays.LnNode[k];
    EXPECT_TRUE(line.Visible);
    EXPECT_FLOAT_EQ(line.X1, (row.left + 0.5f) * u);
    EXPECT_FLOAT_EQ(line.Y1, row.top * u);
    EXPECT_FLOAT_EQ(line.X2, (parent.left + 0.5f) * u);
    EXPECT_FLOAT_EQ(line.Y2, (parent.top + 0.5f) * u + 90);
    EXPECT_GT(arrays.TreeNode.ZKey(k), arrays.TreeNode.ZKey(static_cast<std::int16_t>(k - 1)));
  }
  EXPECT_EQ(arrays.TreeNode.UpperBound(), 8);
  EXPECT_FLOAT_EQ(DrawingWidth, 14 * u + 1);
  EXPECT_FLOAT_EQ(DrawingHeight, 7 * u + 1);

  // The drawing's records live in SharedTree; the main tree is not touched.
  EXPECT_TRUE(SameTree(MainTree, before));
  for (const NodeRec& node : MainTree.Nodes) {
    EXPECT_EQ(node.ControlIndex, 0);
    EXPECT_TRUE(node.Description.empty());
  }
  ASSERT_EQ(SharedTree, &SharedTreeStore);
  const NodeRec& five = SharedTree->Nodes[7];
  EXPECT_EQ(five.ControlIndex, 5);
  EXPECT_EQ(five.Description, arrays.TreeNode[5].ToolTipText);
  EXPECT_TRUE(SharedTree->Nodes[0].Description.empty());  // the root keeps only a tooltip
}

// The strict "greater than" keeps an extent that a circle only reaches.
TEST_F(DrawingLayout, ExtentGrowsOnlyPastTheStoredValue) {
  struct Case {
    float width, height, expectedWidth, expectedHeight;
  };
  // 5,3,8 lays out two levels: children at 0 and 2u, tops 2u.
  for (const Case& c : {Case{0, 0, 3 * u + 1, 3 * u + 1}, Case{3 * u, 3 * u, 3 * u, 3 * u},
                        Case{u + 1, 3 * u - 1, 3 * u + 1, 3 * u + 1}}) {
    ResetTree(MainTree, false);
    for (const std::int16_t v : {5, 3, 8}) InsertValue(MainTree, v);
    DrawingWidth = c.width;
    DrawingHeight = c.height;
    ShowTree(arrays);
    EXPECT_FLOAT_EQ(DrawingWidth, c.expectedWidth) << "from " << c.width;
    EXPECT_FLOAT_EQ(DrawingHeight, c.expectedHeight) << "from " << c.height;
  }
}

TEST_F(DrawingLayout, SingleNodeDescriptionAndPlace) {
  BuildAndDraw(arrays, {7});
  EXPECT_EQ(LayoutLevels, 2);
  EXPECT_EQ(DrawnElementCount, 1);
  EXPECT_FLOAT_EQ(arrays.ShNode[0].Left, u);
  EXPECT_FLOAT_EQ(arrays.ShNode[0].Top, 0);
  EXPECT_FLOAT_EQ(arrays.TreeNode[0].Top, 90);
  EXPECT_FALSE(arrays.LnNode[0].Visible);
  EXPECT_EQ(DrawingWidth, 0);
  EXPECT_EQ(DrawingHeight, 0);
  EXPECT_EQ(SplitLines(arrays.TreeNode[0].ToolTipText),
            (std::vector<std::string>{"Node(0): 7", "Parent (-1): Null", "Left Child (-1): Null",
                                      "Right Child (-1): Null", "", "Type: Root", "Level: 1",
                                      "Left Height: 0", "Right Height: 0"}));
}

TEST_F(DrawingLayout, NegativeValuesInCaptionsAndDescriptions) {
  BuildAndDraw(arrays, {-5});
  EXPECT_EQ(arrays.TreeNode[0].Caption, "-5");
  EXPECT_EQ(SplitLines(arrays.TreeNode[0].ToolTipText)[0], "Node(0): -5");

  BuildAndDraw(arrays, {0, -32768, 32767});
  EXPECT_EQ(arrays.TreeNode[1].Caption, "-32768");
  EXPECT_EQ(arrays.TreeNode[2].Caption, "32767");
  EXPECT_EQ(arrays.TreeNode[1].ToolTipText,
            "Node(1): -32768\r\nParent (0): 0\r\nLeft Child (-1): Null\r\n"
            "Right Child (-1): Null\r\n\r\nType: Leaf\r\nLevel: 2\r\n"
            "Left Height: 0\r\nRight Height: 0");
  EXPECT_EQ(SplitLines(arrays.TreeNode[0].ToolTipText)[2], "Left Child (1): -32768");
  EXPECT_EQ(SplitLines(arrays.TreeNode[0].ToolTipText)[3], "Right Child (2): 32767");
}

TEST_F(DrawingLayout, MaximumLevelsLimitsTheRows) {
  struct Case {
    std::int32_t maximumLevels, layoutLevels;
    std::int16_t drawn;
    float rootLeft;  // in node units
  };
  for (const Case& c : {Case{1, 1, 1, 0}, Case{2, 2, 3, 1}, Case{3, 3, 7, 3}, Case{4, 4, 8, 7},
                        Case{0, 4, 8, 7}, Case{-3, 4, 8, 7}, Case{6, 6, 8, 31}}) {
    SCOPED_TRACE("MaximumLevels " + std::to_string(c.maximumLevels));
    BuildAndDraw(arrays, {50, 25, 75, 10, 30, 60, 90, 5}, c.maximumLevels);
    EXPECT_EQ(LayoutLevels, c.layoutLevels);
    EXPECT_EQ(LevelWidth.size(), static_cast<std::size_t>(c.layoutLevels) + 1);
    EXPECT_EQ(DrawnElementCount, c.drawn);
    EXPECT_EQ(arrays.TreeNode.UpperBound(), c.drawn);
    EXPECT_FLOAT_EQ(arrays.ShNode[0].Left, c.rootLeft * u);
    // Undrawn nodes got neither an element nor a description.
    std::int32_t described = 0;
    for (const NodeRec& node : SharedTree->Nodes) described += node.Description.empty() ? 0 : 1;
    EXPECT_EQ(described, c.drawn - 1);
  }
}

TEST_F(DrawingLayout, EmptyTreeHidesOnlyTheTwoTemplates) {
  struct Case {
    const char* name;
    std::function<void(ElementArrays&)> before;
  };
  const Case cases[] = {
      {"nothing drawn since start", [](ElementArrays&) {}},
      {"last node erased",
       [](ElementArrays& a) {
         BuildAndDraw(a, {5, 3});
         for (const std::int16_t v : {3, 5}) DeleteNode(MainTree, FindValue(MainTree, v));
         ResetTree(MainTree, true);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    ElementArrays a;
    c.before(a);
    ASSERT_FALSE(MainTree.Exists);
    for (auto* visible : {&a.TreeNode[0].Visible, &a.ShNode[0].Visible, &a.LnNode[0].Visible})
      *visible = true;
    const TreeRec shared = SharedTreeStore;
    const OrdersCode* orders = Orders.get();
    const std::int16_t count = DrawnElementCount;
    const std::int32_t levels = LayoutLevels;
    const std::vector<float> widths = LevelWidth;

    DrawTree(a.TreeNode, a.ShNode, a.LnNode, 0);

    EXPECT_FALSE(a.TreeNode[0].Visible);
    EXPECT_FALSE(a.ShNode[0].Visible);
    EXPECT_TRUE(a.LnNode[0].Visible);
    EXPECT_EQ(TreeNodeArray, &a.TreeNode);
    EXPECT_TRUE(SameTree(SharedTreeStore, shared));
    EXPECT_EQ(Orders.get(), orders);
    EXPECT_EQ(DrawnElementCount, count);
    EXPECT_EQ(LayoutLevels, levels);
    EXPECT_EQ(LevelWidth, widths);
    TearDown();
  }
}

// The element of every node, the root first, then each visited node's present
// children, left before right, walking the tree in pre-order.
void ExpectedElements(const TreeRec& tree, std::int32_t node, std::int16_t& next,
                      std::vector<std::int32_t>& element) {
  const NodeRec& n = tree.Nodes[static_cast<std::size_t>(node)];
  if (n.Level < LayoutLevels)
    for (const std::int32_t child : {n.LeftChild, n.RightChild})
      if (child != -1) element[static_cast<std::size_t>(child)] = next++;
  for (const std::int32_t child : {n.LeftChild, n.RightChild})
    if (child != -1) ExpectedElements(tree, child, next, element);
}

// Random trees, with rotations: element indexes in pre-order, left first, the
// geometry of every element, and a redraw after ResetTree giving the same.
TEST_F(DrawingLayout, RandomTreesFollowTheLayout) {
  std::mt19937 random(20240611);
  for (const int size : {1, 2, 3, 17, 200, 1500}) {
    SCOPED_TRACE("size " + std::to_string(size));
    std::vector<std::int16_t> values(4000);
    std::iota(values.begin(), values.end(), std::int16_t{-2000});
    std::shuffle(values.begin(), values.end(), random);
    ResetTree(MainTree, false);
    DrawingWidth = DrawingHeight = 0;
    for (int i = 0; i < size; ++i) InsertValue(MainTree, values[static_cast<std::size_t>(i)]);
    const TreeRec before = MainTree;
    ShowTree(arrays);
    ASSERT_TRUE(SameTree(MainTree, before));

    std::vector<std::int32_t> element(MainTree.Nodes.size(), -1);
    element[static_cast<std::size_t>(MainTree.Root)] = 0;
    std::int16_t next = 1;
    ExpectedElements(MainTree, MainTree.Root, next, element);
    ASSERT_EQ(DrawnElementCount, next);

    float right = 0, bottom = 0;
    for (std::size_t i = 0; i < element.size(); ++i) {
      if (element[i] < 0) continue;
      const auto k = static_cast<std::int16_t>(element[i]);
      const NodeRec& node = MainTree.Nodes[i];
      const Shape& shape = arrays.ShNode[k];
      ASSERT_EQ(arrays.TreeNode[k].Caption, std::to_string(node.Data)) << "node " << i;
      EXPECT_EQ(arrays.TreeNode[k].ToolTipText,
                NodeDescription(SharedTreeStore, static_cast<std::int32_t>(i),
                                k == 0 ? -1 : node.Parent));
      EXPECT_FLOAT_EQ(shape.Top, static_cast<float>(node.Level - 1) * 2 * u);
      if (k == 0) continue;
      EXPECT_EQ(SharedTreeStore.Nodes[i].ControlIndex, k);
      const NodeRec& parent = MainTree.Nodes[static_cast<std::size_t>(node.Parent)];
      const Shape& parentShape =
          arrays.ShNode[static_cast<std::int16_t>(element[static_cast<std::size_t>(node.Parent)])];
      const float off = std::ldexp(u, LayoutLevels - parent.Level - 1);
      EXPECT_FLOAT_EQ(shape.Left - parentShape.Left,
                      parent.LeftChild == static_cast<std::int32_t>(i) ? -off : off);
      right = std::max(right, shape.Left + u);
      bottom = std::max(bottom, shape.Top + u);
    }
    if (DrawnElementCount > 1) {
      EXPECT_FLOAT_EQ(DrawingWidth, right + 1);
      EXPECT_FLOAT_EQ(DrawingHeight, bottom + 1);
    }

    // ResetTree destroys every run-time element through the hooks, and the
    // next pass starts from the templates alone.
    ResetTree(MainTree, true);
    EXPECT_EQ(DrawnElementCount, 0);
    for (const std::int32_t bound :
         {arrays.TreeNode.UpperBound(), arrays.ShNode.UpperBound(), arrays.LnNode.UpperBound()})
      EXPECT_EQ(bound, 1);
    ShowTree(arrays);
    EXPECT_EQ(DrawnElementCount, next);
  }
}

TEST_F(DrawingLayout, LeftoverElementsAreReplacedNotReused) {
  BuildAndDraw(arrays, {50, 25, 75, 10, 30, 60, 90, 5});
  arrays.TreeNode[2].Caption = "stale";
  // A second pass without ResetTree: no element may survive from the first.
  MainTree = TreeRec{};
  for (const std::int16_t v : {8, 4}) InsertValue(MainTree, v);
  ShowTree(arrays);
  EXPECT_EQ(DrawnElementCount, 2);
  EXPECT_EQ(arrays.TreeNode.UpperBound(), 2);
  EXPECT_EQ(arrays.ShNode.UpperBound(), 2);
  EXPECT_EQ(arrays.LnNode.UpperBound(), 2);
  EXPECT_EQ(arrays.TreeNode[1].Caption, "4");
}

// ---- Hand-made records: limits and faults that must not crash ----------

// A chain of right children, deeper than 32767 elements can draw.
TreeRec Chain(std::int32_t length) {
  TreeRec chain;
  chain.Exists = true;
  chain.Count = length;
  chain.Height = length - 1;
  chain.Nodes.resize(static_cast<std::size_t>(length));
  for (std::int32_t i = 0; i < length; ++i) {
    NodeRec& node = chain.Nodes[static_cast<std::size_t>(i)];
    node.Level = i + 1;
    node.Parent = i - 1;
    node.LeftChild = -1;
    node.RightChild = i + 1 < length ? i + 1 : -1;
  }
  return chain;
}

// A complete tree in heap order (children of i at 2i + 1 and 2i + 2).
TreeRec HeapTree(std::int32_t count) {
  TreeRec tree;
  tree.Exists = true;
  tree.Count = count;
  tree.Nodes.resize(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    NodeRec& node = tree.Nodes[static_cast<std::size_t>(i)];
    node.Data = static_cast<std::int16_t>(i);
    node.Level = static_cast<std::int32_t>(std::bit_width(static_cast<std::uint32_t>(i) + 1));
    node.Parent = i == 0 ? -1 : (i - 1) / 2;
    node.LeftChild = 2 * i + 1 < count ? 2 * i + 1 : -1;
    node.RightChild = 2 * i + 2 < count ? 2 * i + 2 : -1;
    node.Kind = i == 0                 ? NodeKind::Root
                : node.LeftChild == -1 ? NodeKind::Leaf
                                       : NodeKind::Interior;
    tree.Height = std::max(tree.Height, node.Level - 1);
  }
  return tree;
}

TEST_F(DrawingLayout, ElementCountStopsAt32767) {
  MainTree = HeapTree(32768);  // one node more than 16-bit element indexes reach
  ShowTree(arrays);
  EXPECT_EQ(DrawnElementCount, 32767);
  EXPECT_EQ(arrays.TreeNode.UpperBound(), 32767);
  EXPECT_EQ(arrays.LnNode.UpperBound(), 32767);
  // The last child in drawing order, the rightmost on level 15, is left out.
  for (std::size_t i = 1; i < SharedTree->Nodes.size(); ++i)
    EXPECT_EQ(SharedTree->Nodes[i].Description.empty(), i == 32766) << i;

  ResetTree(MainTree, true);
  EXPECT_EQ(arrays.TreeNode.UpperBound(), 1);
  EXPECT_EQ(DrawnElementCount, 0);
  // Outside a pass PrintNode has no element to start from and draws nothing.
  std::int32_t root = 0;
  Orders->PrintNode(root);
  EXPECT_EQ(DrawnElementCount, 0);
  EXPECT_EQ(arrays.TreeNode.UpperBound(), 1);
}

TEST_F(DrawingLayout, MalformedRecordsDrawWhatTheyCan) {
  struct Case {
    const char* name;
    std::function<void(TreeRec&)> spoil;
    std::int32_t maximumLevels;
    std::int16_t drawn;
    std::int32_t layoutLevels;
  };
  const std::int32_t big = std::numeric_limits<std::int32_t>::max();
  const Case cases[] = {
      {"sound three nodes", [](TreeRec&) {}, 0, 3, 2},
      {"link back to the root", [](TreeRec& t) { t.Nodes[2].RightChild = 0; }, 3, 4, 3},
      {"child index past the table", [](TreeRec& t) { t.Nodes[0].LeftChild = 99; }, 0, 2, 2},
      {"negative child index", [](TreeRec& t) { t.Nodes[0].RightChild = -7; }, 0, 2, 2},
      {"negative height", [](TreeRec& t) { t.Height = -7; }, 0, 1, MinLayoutLevels},
      {"largest height", [big](TreeRec& t) { t.Height = big; }, 0, 3, MaxLayoutLevels},
      {"largest MaximumLevels", [](TreeRec&) {}, big, 3, MaxLayoutLevels},
      {"negative level", [](TreeRec& t) { t.Nodes[0].Level = -4; }, 0, 1, 2},
      {"root index past the table", [](TreeRec& t) { t.Root = 5; }, 0, 0, 0},
      {"root's stray element index", [](TreeRec& t) { t.Nodes[0].ControlIndex = 77; }, 0, 3, 2},
      {"chain of 40000 (no stack to exhaust)", [](TreeRec& t) { t = Chain(40000); }, 0, 32767,
       MaxLayoutLevels},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    ElementArrays a;
    MainTree = HeapTree(3);
    c.spoil(MainTree);
    ShowTree(a, c.maximumLevels);
    EXPECT_EQ(DrawnElementCount, c.drawn);
    EXPECT_EQ(a.TreeNode.UpperBound(), std::max<std::int32_t>(c.drawn, 1));
    EXPECT_EQ(LayoutLevels, c.layoutLevels);
    TearDown();
  }
}

}  // namespace
