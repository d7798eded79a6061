// The node cursor's moves at the edges of a tree, and in a tree whose
// in-order walk climbs several levels.
#include <gtest/gtest.h>

#include "NodeNavigation.h"
#include "TreeCore.h"

namespace {

using TreeCore::NodeMove;

TreeCore::TreeRec Built(std::initializer_list<std::int16_t> values) {
  TreeCore::TreeRec tree;
  TreeCore::ResetTree(tree, false);
  for (std::int16_t v : values) TreeCore::InsertValue(tree, v);
  return tree;
}

std::int16_t ValueAfter(const TreeCore::TreeRec& tree, std::int16_t from, NodeMove move) {
  const std::int32_t to = TreeCore::MoveFrom(tree, TreeCore::FindValue(tree, from), move);
  return tree.Nodes[static_cast<std::size_t>(to)].Data;
}

TEST(NodeNavigation, MovesStopAtTheEdges) {
  const TreeCore::TreeRec tree = Built({50, 30, 70, 20, 40, 60, 80, 45});
  const struct {
    std::int16_t From;
    NodeMove Move;
    std::int16_t To;
  } cases[] = {
      {45, NodeMove::Root, 50},  {50, NodeMove::Parent, 50},   {20, NodeMove::Left, 20},
      {20, NodeMove::Right, 20}, {20, NodeMove::Previous, 20}, {80, NodeMove::Next, 80},
      {45, NodeMove::Next, 50},  {50, NodeMove::Previous, 45}, {60, NodeMove::Previous, 50},
      {40, NodeMove::Right, 45}, {30, NodeMove::Next, 40},     {70, NodeMove::Previous, 60},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ValueAfter(tree, c.From, c.Move), c.To) << c.From << " move " << int(c.Move);
}

TEST(NodeNavigation, NoNodeGoesToTheRootAndAnEmptyTreeHasNone) {
  const TreeCore::TreeRec tree = Built({5, 3, 8});
  EXPECT_EQ(TreeCore::MoveFrom(tree, -1, NodeMove::Left), tree.Root);
  EXPECT_EQ(TreeCore::MoveFrom(tree, tree.Count, NodeMove::Next), tree.Root);
  EXPECT_EQ(TreeCore::MoveFrom(Built({}), -1, NodeMove::Root), -1);
  EXPECT_EQ(TreeCore::NodeName(tree, -1), "");
  EXPECT_EQ(TreeCore::NodeName(tree, tree.Root), "5, root, level 1, left height 1, right height 1");
}

}  // namespace
