// Removal, compaction, and the randomised proof that no call loses or
// corrupts a tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "EngineDriver.h"
#include "EngineTestSupport.h"

using namespace TreeCore;
using EngineTest::Build;
using EngineTest::DataAt;
using EngineTest::Erase;
using EngineTest::NodeOf;
using EngineTest::Range;

namespace {

class DeleteTest : public EngineTest::EngineFixture {};

std::vector<std::int16_t> SlotValues(const TreeRec& t) {
  std::vector<std::int16_t> out;
  for (std::int32_t i = 0; i < t.Count; ++i)
    out.push_back(t.Nodes[static_cast<std::size_t>(i)].Data);
  return out;
}

// A removal is an operation of its own: the height updates it makes assign the
// line breaks again, whatever the call before it left.
TEST_F(DeleteTest, RemovalsAssignTheLineBreaksAfresh) {
  for (const bool batch : {false, true}) {
    SCOPED_TRACE(batch ? "EraseValues" : "DeleteNode");
    TreeRec t = Build({50, 25, 75, 10});
    LineBreak.clear();
    DoubleLineBreak.clear();
    const std::int16_t value = 10;
    if (batch)
      EraseValues(DefaultEngine(), t, std::span<const std::int16_t>(&value, 1));
    else
      DeleteNode(t, FindValue(t, value));
    EXPECT_EQ(FindValue(t, value), -1);
    EXPECT_EQ(LineBreak, "\r\n");
    EXPECT_EQ(DoubleLineBreak, "\r\n\r\n");
  }
}

TEST_F(DeleteTest, LastNodeLeavesAnEmptyTable) {
  TreeRec t = Build({5});
  t.Height = 3;
  DeleteNode(t, 0);
  EXPECT_FALSE(t.Exists);
  EXPECT_EQ(t.Count, 0);
  ASSERT_EQ(t.Nodes.size(), 1u);
  EXPECT_EQ(t.Nodes[0].Data, 0);
  EXPECT_EQ(t.Nodes[0].Kind, NodeKind::None);
  EXPECT_EQ(t.Height, 3);
  EXPECT_EQ(FindValue(t, 5), -1);
  EXPECT_EQ(FindValue(t, 0), -1);
  InsertValue(t, 9);  // and the next insertion starts a new tree
  EXPECT_EQ(t.Root, 0);
  EXPECT_EQ(TreeCheck::Violation(t), "");
}

constexpr std::int32_t kOnlyChecked = -2;

// Small removals: the list built, the value erased, then the slots' values,
// the root's slot and the value of each node's parent.
struct RemovalCase {
  std::string name;
  std::vector<std::int16_t> values;
  std::vector<std::int16_t> erase;
  std::vector<std::int16_t> slots;
  std::int32_t root;
  std::vector<std::pair<std::int16_t, std::int32_t>> levels;
};

class RemovalTest : public EngineTest::EngineFixture,
                    public ::testing::WithParamInterface<RemovalCase> {};

TEST_P(RemovalTest, TableIsCompactedAndRelinked) {
  const RemovalCase& c = GetParam();
  TreeRec t = Build(c.values);
  Erase(t, c.erase);  // checks the whole tree after every removal
  if (c.root != kOnlyChecked) {
    EXPECT_EQ(SlotValues(t), c.slots);
    EXPECT_EQ(t.Root, c.root);
    EXPECT_EQ(t.Count, static_cast<std::int32_t>(c.slots.size()));
  }
  for (const auto& [v, level] : c.levels) EXPECT_EQ(NodeOf(t, v).Level, level) << v;
}

INSTANTIATE_TEST_SUITE_P(
    Removals, RemovalTest,
    ::testing::Values(
        RemovalCase{"Leaf", {5, 3, 8}, {3}, {5, 8}, 0, {{5, 1}, {8, 2}}},
        RemovalCase{"RootWithOneChild", {5, 8}, {5}, {8}, 0, {{8, 1}}},
        RemovalCase{"TwoChildrenEqualHeights", {2, 3, 1}, {2}, {3, 1}, 0, {{3, 1}, {1, 2}}},
        RemovalCase{"ParkedUnderItsOwnSlot", {2, 1, 3}, {2}, {1, 3}, 1, {{3, 1}, {1, 2}}},
        RemovalCase{"LiftStep",
                    {10, 5, 20, 15, 25},
                    {10},
                    {5, 20, 15, 25},
                    2,
                    {{15, 1}, {5, 2}, {25, 2}, {20, 3}}},
        // The fix-up's Rebalance used to move the parked node before the cut.
        RemovalCase{
            "HeldRebalanceAfterCut", {8, 3, 6, 2, 7, 4, 1, 5}, {8, 3}, {}, kOnlyChecked, {}},
        // The renumbering's height walk used to follow stale links for ever.
        RemovalCase{
            "RefreshAfterCompaction", {3, 8, 5, 4, 1, 6, 2, 9, 7}, {4, 5}, {}, kOnlyChecked, {}},
        // A one-child removal used to move up only the child, not its subtree.
        RemovalCase{
            "SubtreeMovesUp", {1, 2, 3, 4, 5}, {4, 3, 5}, {}, kOnlyChecked, {{2, 1}, {1, 2}}}),
    [](const auto& info) { return info.param.name; });

TEST_F(DeleteTest, ParkedNodeIsMovedBeforeTheCutNoMore) {
  TreeRec t = Build({8, 3, 6, 2, 7, 4, 1, 5});
  Erase(t, {8, 3});
  EXPECT_EQ(TreeCheck::InOrderValues(t), (std::vector<std::int16_t>{1, 2, 4, 5, 6, 7}));
}

TEST_F(DeleteTest, RootHeightsAreRightAfterAOneChildRemoval) {
  TreeRec t = Build({2, 1, 3, 4});
  Erase(t, {3});
  EXPECT_EQ(t.Nodes[static_cast<std::size_t>(t.Root)].RightHeight, 1);
  EXPECT_EQ(t.TreeRightHeight, 1);
  EXPECT_EQ(t.Height, 1);
}

TEST_F(DeleteTest, DuplicatesAreErasedOneAtATime) {
  TreeRec t = Build({5, 5, 5, 3, 5});
  Erase(t, {5, 5});
  EXPECT_EQ(TreeCheck::InOrderValues(t), (std::vector<std::int16_t>{3, 5, 5}));
  Erase(t, {5, 3, 5});
  EXPECT_FALSE(t.Exists);
}

// Random lists of every kind, each followed by random Erase lists, with the
// checker and the multiset of expected values compared after every call.
TEST_F(DeleteTest, RandomGetAndEraseListsNeverLoseOrCorruptATree) {
  std::mt19937 rng(7);
  for (int round = 0; round < 1200; ++round) {
    const int length = 1 + static_cast<int>(rng() % 200);
    const int range = round % 4 == 3 ? 8 : 2000;  // every fourth list is duplicate-heavy
    std::vector<std::int16_t> values(static_cast<std::size_t>(length));
    for (auto& v : values)
      v = static_cast<std::int16_t>(static_cast<int>(rng() % range) - range / 2);
    if (round % 4 == 1) std::sort(values.begin(), values.end());
    if (round % 4 == 2) std::sort(values.rbegin(), values.rend());

    TreeRec t;
    ResetTree(t, false);
    std::multiset<std::int16_t> want;
    for (const std::int16_t v : values) {
      InsertValue(t, v);
      want.insert(v);
      ASSERT_EQ(EngineDriver::Compare(t, want), "") << "round " << round << " insert " << v;
    }
    for (int list = 0; list < 3 && t.Exists; ++list) {
      std::vector<std::int16_t> erase(1 + rng() % values.size());
      for (auto& v : erase) v = values[rng() % values.size()];
      for (const std::int16_t v : erase) {
        if (!t.Exists) break;
        const std::int32_t index = FindValue(t, v);
        ASSERT_EQ(index == -1, want.count(v) == 0) << "round " << round << " search " << v;
        if (index == -1) break;
        DeleteNode(t, index);
        want.erase(want.find(v));
        ASSERT_EQ(EngineDriver::Compare(t, want), "") << "round " << round << " erase " << v;
      }
    }
  }
}

TEST_F(DeleteTest, CorpusInputsReplayCleanly) {
  const std::filesystem::path dir = TREETEST_CORPUS_DIR;
  ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    EXPECT_EQ(EngineDriver::Run(bytes.data(), bytes.size()), "") << entry.path();
    ++files;
  }
  EXPECT_GE(files, 8);
}

TEST_F(DeleteTest, DriverCatchesALostNode) {
  // The driver itself must fail when a tree loses a value: corrupt one.
  TreeRec t = Build({5, 3, 8});
  std::multiset<std::int16_t> want{3, 5, 8};
  EXPECT_EQ(EngineDriver::Compare(t, want), "");
  t.Nodes[0].LeftChild = -1;
  EXPECT_NE(EngineDriver::Compare(t, want), "");
}

}  // namespace
