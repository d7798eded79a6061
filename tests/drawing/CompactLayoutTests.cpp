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

struct Case {
  int Count;
  bool Sorted;
  CompactScheme Scheme;
};

class CompactLayoutTest : public DrawingFixture, public ::testing::WithParamInterface<Case> {};

TEST_P(CompactLayoutTest, RowsLinesAndWidth) {
  const Case c = GetParam();
  std::vector<std::int16_t> list(1999);
  std::iota(list.begin(), list.end(), std::int16_t{-999});
  std::shuffle(list.begin(), list.end(), std::mt19937(static_cast<unsigned>(c.Count)));
  list.resize(static_cast<std::size_t>(c.Count));
  if (c.Sorted) std::sort(list.begin(), list.end());
  ResetTree(MainTree, false);
  for (const std::int16_t v : list) InsertValue(MainTree, v);
  ShowTree(arrays);
  ApplyCompactLayout(MainTree, DefaultDrawing(), c.Scheme);
  const float unit = NodeUnit, pitch = unit + CompactGap;
  const auto column =
      c.Scheme == CompactScheme::Tidy ? TidyColumns(MainTree) : InOrderColumns(MainTree);

  std::map<float, std::vector<float>> rows;
  std::vector<std::pair<float, int>> byPlace;
  for (std::int16_t k = 0; k < arrays.ShNode.UpperBound(); ++k) {
    const Shape& s = arrays.ShNode[k];
    EXPECT_EQ(arrays.TreeNode[k].Left, s.Left);
    rows[s.Top].push_back(s.Left);
    byPlace.emplace_back(s.Left, std::stoi(arrays.TreeNode[k].Caption));
    // The line's ends inside the child's circle and its parent's.
    const NodeRec& node = MainTree.Nodes[DefaultDrawing().NodeOfElement[k]];
    if (k == 0) continue;
    const Shape& parent = arrays.ShNode[SharedTreeStore.Nodes[node.Parent].ControlIndex];
    auto inside = [&](float x, float y, const Shape& circle) {
      return std::hypot(x - circle.Left - unit / 2, y - circle.Top - unit / 2) <= unit / 2;
    };
    const Line& l = arrays.LnNode[k];
    EXPECT_TRUE(inside(l.X1, l.Y1, s) && inside(l.X2, l.Y2, parent)) << node.Data;
    // Tidy: a parent centred over two children, half a column beside one.
    const NodeRec& up = MainTree.Nodes[node.Parent];
    const std::int32_t twice = 2 * column[node.Parent], self = column[&node - &MainTree.Nodes[0]];
    if (c.Scheme != CompactScheme::Tidy) continue;
    if (up.LeftChild >= 0 && up.RightChild >= 0) {
      EXPECT_EQ(twice, column[up.LeftChild] + column[up.RightChild]) << up.Data;
    } else {
      EXPECT_EQ(std::abs(twice - 2 * self), 2) << up.Data;
    }
  }
  ASSERT_EQ(static_cast<int>(byPlace.size()), c.Count);
  for (auto& [top, lefts] : rows) {
    std::sort(lefts.begin(), lefts.end());
    for (std::size_t i = 1; i < lefts.size(); ++i)
      EXPECT_GE(lefts[i] - lefts[i - 1], pitch - 0.01f);
  }
  // One pitch per node in order, read left to right as sorted; tidy narrower.
  const float inOrder = static_cast<float>(c.Count) * pitch - CompactGap + 1;
  std::sort(byPlace.begin(), byPlace.end());
  if (c.Scheme == CompactScheme::InOrder) {
    EXPECT_FLOAT_EQ(DrawingWidth, inOrder);
    EXPECT_TRUE(std::is_sorted(byPlace.begin(), byPlace.end(),
                               [](auto& a, auto& b) { return a.second < b.second; }));
  } else {
    EXPECT_LE(DrawingWidth, c.Count < 3 ? inOrder : inOrder / 2);
  }
}

INSTANTIATE_TEST_SUITE_P(Lists, CompactLayoutTest,
                         ::testing::Values(Case{1, false, CompactScheme::Tidy},
                                           Case{100, false, CompactScheme::InOrder},
                                           Case{100, false, CompactScheme::Tidy},
                                           Case{1000, false, CompactScheme::Tidy},
                                           Case{127, true, CompactScheme::InOrder},
                                           Case{1000, true, CompactScheme::Tidy}));

}  // namespace
