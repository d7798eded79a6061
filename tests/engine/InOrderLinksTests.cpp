// An engine that keeps the in-order links finds a fix-up's neighbours from
// them instead of walking down the tree. That must change nothing (the
// tables and events of every kind of list are held to the plain engine's in
// TuningTests.cpp) and must survive an insertion or a removal left by an
// exception, a tree made by hand, and an insertion without them.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "EraseDiff.h"

using namespace TreeCore;
using EngineTest::LinksMismatch;

namespace {

class InOrderLinksTest : public EngineTest::EngineFixture {};

// Leaves an insertion by an exception at the first fix-up, as a cancelled
// job does.
class StopAtFixUp : public EraseDiff::EventLog {
 public:
  struct Stopped {};
  void OnFixUp(bool, std::int32_t, std::int16_t) override { throw Stopped{}; }
};

TEST_F(InOrderLinksTest, AnInsertionLeftByAnExceptionDropsTheLinks) {
  // The record is put back from a copy at the same address with the count
  // the links had: links updated for the abandoned node must not be used.
  EngineState kept, plain;
  kept.KeepInOrderLinks = true;
  TreeRec a, b;
  ResetTree(kept, a, false);
  ResetTree(plain, b, false);
  std::int16_t next = 3000;
  for (; next > 2800; --next) {
    InsertValue(kept, a, next);
    InsertValue(plain, b, next);
  }
  StopAtFixUp stop;
  kept.Observer = &stop;
  int stopped = 0;
  for (int tries = 0; tries < 50 && stopped == 0; ++tries, --next) {
    const TreeRec saved = a;
    try {
      InsertValue(kept, a, next);
      InsertValue(plain, b, next);
    } catch (const StopAtFixUp::Stopped&) {
      ++stopped;
      a = saved;
    }
  }
  ASSERT_EQ(stopped, 1) << "no insertion reached a fix-up";
  EXPECT_EQ(kept.InOrder.Tree, nullptr);
  kept.Observer = nullptr;
  for (int i = 0; i < 300; ++i, --next) {
    InsertValue(kept, a, next);
    InsertValue(plain, b, next);
    ASSERT_EQ(EraseDiff::Difference(a, b), "") << "insertion " << i << " after the stop";
  }
  EXPECT_EQ(LinksMismatch(kept, a), "");
}

// An observer that leaves at the first rotation or fix-up.
class StopAtBalancing : public EraseDiff::EventLog {
 public:
  struct Stopped {};
  void OnRotate(ChainKind, std::int32_t, std::int16_t) override { throw Stopped{}; }
  void OnFixUp(bool, std::int32_t, std::int16_t) override { throw Stopped{}; }
};

// A removal left by an exception has unlinked its node but not yet closed
// the table: the tree changed and its count did not. The links must not
// outlive it, and insertions after it agree with an engine without them.
TEST_F(InOrderLinksTest, ARemovalLeftByAnExceptionDropsTheLinks) {
  std::mt19937 rng(5);
  std::vector<std::int16_t> values(200);
  for (std::int16_t& v : values) v = static_cast<std::int16_t>(rng() % 1000);
  EngineState kept, plain;
  kept.KeepInOrderLinks = true;
  TreeRec a, b;
  ResetTree(kept, a, false);
  ResetTree(plain, b, false);
  for (const std::int16_t v : values) {
    InsertValue(kept, a, v);
    InsertValue(plain, b, v);
  }
  // A leaf whose removal balances something, found on a copy: the leaf is
  // unlinked before the balancing starts. It is the only removal made, so
  // the count still matches the one the links were kept for.
  StopAtBalancing stop;
  std::int16_t stoppedAt = 0;
  bool found = false;
  for (std::size_t i = 0; i < values.size() && !found; ++i) {
    const NodeRec& node = b.Nodes[static_cast<std::size_t>(FindValue(b, values[i]))];
    if (node.LeftChild != -1 || node.RightChild != -1) continue;
    EngineState trial;
    trial.Observer = &stop;
    TreeRec copy = b;
    try {
      DeleteNode(trial, copy, FindValue(copy, values[i]));
    } catch (const StopAtBalancing::Stopped&) {
      found = true;
      stoppedAt = values[i];
    }
  }
  ASSERT_TRUE(found) << "no removal of a leaf balanced anything";
  kept.Observer = &stop;
  plain.Observer = &stop;
  EXPECT_THROW(DeleteNode(kept, a, FindValue(a, stoppedAt)), StopAtBalancing::Stopped);
  EXPECT_THROW(DeleteNode(plain, b, FindValue(b, stoppedAt)), StopAtBalancing::Stopped);
  ASSERT_EQ(a.Count, b.Count);
  kept.Observer = nullptr;
  plain.Observer = nullptr;
  // Sorted runs across the value that went: their fix-ups look for
  // neighbours all over the tree, the old ones of that value among them.
  for (int run = 0; run < 2; ++run)
    for (int d = -300; d <= 300; ++d) {
      const auto v = static_cast<std::int16_t>(stoppedAt + (run == 0 ? d : -d));
      InsertValue(kept, a, v);
      InsertValue(plain, b, v);
      ASSERT_EQ(EraseDiff::Difference(a, b), "") << "inserting " << v << " after the stop";
      ASSERT_EQ(LinksMismatch(kept, a), "") << "inserting " << v << " after the stop";
    }
}

// An insertion through an engine that does not keep the links at that
// moment leaves them behind, even when the count comes back to theirs.
TEST_F(InOrderLinksTest, AnInsertionWithoutThemLetsThemGo) {
  EngineState kept, plain;
  TreeRec a, b;
  ResetTree(kept, a, false);
  ResetTree(plain, b, false);
  kept.KeepInOrderLinks = true;
  for (std::int16_t v = 1; v <= 120; ++v) {
    InsertValue(kept, a, v);
    InsertValue(plain, b, v);
  }
  // The same count again, from another list, with the links switched off.
  ResetTree(kept, a, false);
  ResetTree(plain, b, false);
  kept.KeepInOrderLinks = false;
  for (std::int16_t v = 120; v >= 1; --v) {
    InsertValue(kept, a, v);
    InsertValue(plain, b, v);
  }
  EXPECT_EQ(kept.InOrder.Tree, nullptr);
  kept.KeepInOrderLinks = true;
  for (std::int16_t v = 0; v > -120; --v) {
    InsertValue(kept, a, v);
    InsertValue(plain, b, v);
    ASSERT_EQ(EraseDiff::Difference(a, b), "") << "inserting " << v;
  }
  EXPECT_EQ(LinksMismatch(kept, a), "");
}

// A tree made by hand whose left side holds a link out of the table or a
// cycle: the insertion of a larger value never goes there, but building the
// links would. They are not kept for such a tree, and the insertion ends.
TEST_F(InOrderLinksTest, ATreeMadeByHandThatTheyCannotDescribeIsInsertedIntoWithout) {
  struct Case {
    const char* name;
    std::int32_t leftOfFive;
  };
  for (const Case& c : {Case{"a link out of the table", 99}, Case{"a cycle", 0}}) {
    EngineState plain, kept;
    kept.KeepInOrderLinks = true;
    TreeRec t;
    ResetTree(plain, t, false);
    InsertValue(plain, t, 10);
    InsertValue(plain, t, 5);  // slot 1, left of the root
    t.Nodes[1].LeftChild = c.leftOfFive;
    InsertValue(kept, t, 20);
    EXPECT_EQ(kept.InOrder.Tree, nullptr) << c.name;
    ASSERT_EQ(t.Count, 3) << c.name;
    EXPECT_EQ(t.Nodes[0].RightChild, 2) << c.name;
    EXPECT_EQ(t.Nodes[2].Parent, 0) << c.name;
  }
}

TEST_F(InOrderLinksTest, OnlyAnEngineThatKeepsThemHasThem) {
  EngineState plain;
  TreeRec t;
  ResetTree(plain, t, false);
  for (const std::int16_t v : {5, 3, 8, 1, 4}) InsertValue(plain, t, v);
  EXPECT_EQ(plain.InOrder.Tree, nullptr);
  EXPECT_TRUE(plain.InOrder.Before.empty());

  plain.KeepInOrderLinks = true;
  InsertValue(plain, t, 7);
  EXPECT_EQ(LinksMismatch(plain, t), "");
  ResetModuleState(plain);
  EXPECT_FALSE(plain.KeepInOrderLinks);
  EXPECT_EQ(plain.InOrder.Tree, nullptr);
}

}  // namespace
