// The engine's soundness check: every kind of damage is named, and sound
// trees (including the ones the scheme leaves unbalanced) pass.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

using namespace TreeCore;

namespace {

class ValidateTest : public EngineTest::EngineFixture {};

NodeRec& Slot(TreeRec& t, std::int16_t value) {
  return t.Nodes.at(static_cast<std::size_t>(FindValue(t, value)));
}

struct Damage {
  std::string name;
  std::function<void(TreeRec&)> apply;
  std::string expected;  // a piece of the message
};

TEST_F(ValidateTest, EveryKindOfDamageIsNamed) {
  // 50 / 25 75 / 10 30 60 90: a full tree of three levels.
  const std::vector<Damage> cases{
      {"ChildLinkOutside", [](TreeRec& t) { Slot(t, 10).LeftChild = 99; }, "outside the table"},
      {"ParentLinkOutside", [](TreeRec& t) { Slot(t, 10).Parent = -7; }, "outside the table"},
      {"RootOutside", [](TreeRec& t) { t.Root = 7; }, "Root 7 outside"},
      {"RootWithParent", [](TreeRec& t) { Slot(t, 50).Parent = 1; }, "root has a parent"},
      {"CountOff", [](TreeRec& t) { t.Count = 6; }, "Count 6 but 7 slots"},
      {"EmptyWithCount", [](TreeRec& t) { t.Exists = false; }, "empty tree with Count 7"},
      {"ChildNotPointingBack", [](TreeRec& t) { Slot(t, 30).Parent = FindValue(t, 50); },
       "does not point back"},
      {"SecondParentForANode",
       [](TreeRec& t) {
         Slot(t, 90).LeftChild = FindValue(t, 10);
         Slot(t, 90).Kind = NodeKind::Interior;
       },
       "does not point back"},
      {"NodeUnreached",
       [](TreeRec& t) {
         Slot(t, 75).RightChild = -1;
         Slot(t, 75).RightHeight = 0;
       },
       "in-order visits 6 of 7"},
      {"ValuesOutOfOrder", [](TreeRec& t) { Slot(t, 10).Data = 40; }, "in-order values decrease"},
      {"WrongLevel", [](TreeRec& t) { Slot(t, 60).Level = 2; }, "Level 2 at depth 3"},
      {"LeafCalledInterior", [](TreeRec& t) { Slot(t, 90).Kind = NodeKind::Interior; },
       "expected Leaf"},
      {"RootCalledLeaf", [](TreeRec& t) { Slot(t, 50).Kind = NodeKind::Leaf; }, "expected Root"},
      {"StaleNodeHeight", [](TreeRec& t) { Slot(t, 25).LeftHeight = 2; }, "real 1/1"},
      {"StaleTreeHeight", [](TreeRec& t) { t.TreeRightHeight = 1; }, "differ from the root's"},
      {"HeightBelowTheTree", [](TreeRec& t) { t.Height = 1; }, "below the real height 2"},
  };
  for (const Damage& d : cases) {
    TreeRec t = EngineTest::Build({50, 25, 75, 10, 30, 60, 90});
    ASSERT_EQ(Validate(t), "");
    d.apply(t);
    const std::string problem = Validate(t);
    EXPECT_NE(problem.find(d.expected), std::string::npos)
        << d.name << ": got \"" << problem << "\"";
  }
}

TEST_F(ValidateTest, SoundTreesPass) {
  // Never used, emptied, erased to nothing, and Height left above the tree.
  EXPECT_EQ(Validate(TreeRec{}), "");
  TreeRec t;
  ResetTree(t, false);
  EXPECT_EQ(Validate(t), "");
  t = EngineTest::Build(EngineTest::Range(1, 40));
  ResetTree(t, false);
  InsertValue(t, 3);
  EXPECT_GT(t.Height, 1);
  EXPECT_EQ(Validate(t), "");
  DeleteNode(t, 0);
  EXPECT_EQ(Validate(t), "");

  // A sound tree may keep a node whose sides differ by two or more.
  const TreeRec lopsided = EngineTest::Build(EngineTest::Range(1, 100));
  bool uneven = false;
  for (const NodeRec& n : lopsided.Nodes)
    uneven = uneven || n.RightHeight - n.LeftHeight >= 2 || n.LeftHeight - n.RightHeight >= 2;
  EXPECT_TRUE(uneven);
  EXPECT_EQ(Validate(lopsided), "");
}

}  // namespace
