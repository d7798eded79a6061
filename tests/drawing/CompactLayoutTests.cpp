// The compact layout's geometry on random and sorted lists, in both schemes:
// rows without overlaps, lines that end inside their circles, parents over
// their children, and widths that grow with the node count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <random>

#include "CompactLayout.h"
#include "DrawingTestSupport.h"

namespace {

using namespace DrawingTest;

std::vector<std::int16_t> List(int count, bool sorted) {
  std::vector<std::int16_t> v(1999);
  std::iota(v.begin(), v.end(), std::int16_t{-999});
  std::shuffle(v.begin(), v.end(), std::mt19937(static_cast<unsigned>(count)));
  v.resize(static_cast<std::size_t>(count));
  if (sorted) std::sort(v.begin(), v.end());
  return v;
}

struct Case {
  int Count;
  bool Sorted;
  CompactScheme Scheme;
};

class CompactLayoutTest : public DrawingFixture, public ::testing::WithParamInterface<Case> {};

TEST_P(CompactLayoutTest, RowsLinesAndWidth) {
  const Case c = GetParam();
  ResetTree(MainTree, false);
  for (const std::int16_t v : List(c.Count, c.Sorted)) InsertValue(MainTree, v);
  ShowTree(arrays);
  ApplyCompactLayout(MainTree, DefaultDrawing(), c.Scheme);
  const float unit = NodeUnit, pitch = unit + CompactGap;

  // Rows: by top, the circles' left edges in order, at least a pitch apart.
  std::map<float, std::vector<float>> rows;
  std::vector<std::pair<float, std::int16_t>> byValue;
  for (std::int16_t k = 0; k < arrays.ShNode.UpperBound(); ++k) {
    const Shape& s = arrays.ShNode[k];
    ASSERT_TRUE(s.Visible);
    EXPECT_EQ(arrays.TreeNode[k].Left, s.Left);
    rows[s.Top].push_back(s.Left);
    byValue.emplace_back(s.Left, k);
  }
  ASSERT_EQ(static_cast<int>(byValue.size()), c.Count);
  for (auto& [top, lefts] : rows) {
    std::sort(lefts.begin(), lefts.end());
    for (std::size_t i = 1; i < lefts.size(); ++i)
      EXPECT_GE(lefts[i] - lefts[i - 1], pitch - 0.01f) << "row at " << top;
  }

  // Lines: both ends inside a circle, the child's and its parent's.
  for (std::int16_t k = 1; k < arrays.LnNode.UpperBound(); ++k) {
    const Line& l = arrays.LnNode[k];
    const Shape& child = arrays.ShNode[k];
    auto inside = [&](float x, float y, const Shape& s) {
      return std::hypot(x - s.Left - unit / 2, y - s.Top - unit / 2) <= unit / 2;
    };
    EXPECT_TRUE(inside(l.X1, l.Y1, child)) << "element " << k;
    const std::int32_t node = DefaultDrawing().NodeOfElement[static_cast<std::size_t>(k)];
    const NodeRec& parent = SharedTreeStore.Nodes[MainTree.Nodes[node].Parent];
    EXPECT_TRUE(inside(l.X2, l.Y2, arrays.ShNode[static_cast<std::int16_t>(parent.ControlIndex)]))
        << "element " << k;
  }

  // Width: one pitch per node in order; the tidy layout no wider than that.
  const float inOrder = static_cast<float>(c.Count) * pitch - CompactGap + 1;
  if (c.Scheme == CompactScheme::InOrder) {
    EXPECT_FLOAT_EQ(DrawingWidth, inOrder);
    // Left to right reads the sorted values.
    std::sort(byValue.begin(), byValue.end());
    for (std::size_t i = 1; i < byValue.size(); ++i)
      EXPECT_LT(std::stoi(arrays.TreeNode[byValue[i - 1].second].Caption),
                std::stoi(arrays.TreeNode[byValue[i].second].Caption));
  } else {
    EXPECT_LE(DrawingWidth, inOrder);
  }
}

INSTANTIATE_TEST_SUITE_P(Lists, CompactLayoutTest,
                         ::testing::Values(Case{1, false, CompactScheme::Tidy},
                                           Case{100, false, CompactScheme::InOrder},
                                           Case{100, false, CompactScheme::Tidy},
                                           Case{1000, false, CompactScheme::Tidy},
                                           Case{127, true, CompactScheme::InOrder},
                                           Case{1000, true, CompactScheme::Tidy}));

TEST(CompactColumnsTest, TidyCentresEveryParentOverItsTwoChildren) {
  // 4 over 2 and 6, 2 over 1 and 3, 6 over 5 and 7; 8 alone under 7.
  ResetModuleState();
  ResetTree(MainTree, false);
  for (const std::int16_t v : {4, 2, 6, 1, 3, 5, 7, 8}) InsertValue(MainTree, v);
  const auto column = TidyColumns(MainTree);
  for (std::size_t i = 0; i < MainTree.Nodes.size(); ++i) {
    const NodeRec& n = MainTree.Nodes[i];
    if (n.LeftChild >= 0 && n.RightChild >= 0) {
      EXPECT_EQ(2 * column[i], column[n.LeftChild] + column[n.RightChild]) << n.Data;
    } else if (n.RightChild >= 0) {
      EXPECT_EQ(column[i] + 1, column[n.RightChild]) << n.Data;
    }
  }
  ResetModuleState();
}

}  // namespace
