// The block stack behind the balancing loop's frames: items across block
// edges, storage that grows by one block at a time, and what a release keeps.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "BlockStack.h"
#include "EngineState.h"

using TreeCore::Detail::BalanceFrame;
using TreeCore::Detail::BlockStack;

namespace {

// Blocks of four, so that a few items cross several block edges.
using SmallStack = BlockStack<int, 2>;
constexpr std::size_t Block = SmallStack::BlockSize;

std::size_t BlocksFor(std::size_t n) {
  return (n + Block - 1) / Block;
}

class BlockStackSizes : public ::testing::TestWithParam<std::size_t> {};

// Pushed, read by index and popped in order, against a plain vector, with
// the storage never more than the blocks the items need: a stack that grew
// by doubling held half as much again as the frames at its last copy.
TEST_P(BlockStackSizes, HoldsItsItemsInNoMoreBlocksThanNeeded) {
  const std::size_t n = GetParam();
  SmallStack stack;
  std::vector<int> model;
  for (std::size_t i = 0; i < n; ++i) {
    stack.push_back(static_cast<int>(i * 7 + 1));
    model.push_back(static_cast<int>(i * 7 + 1));
    ASSERT_EQ(stack.size(), model.size());
    ASSERT_EQ(stack.back(), model.back()) << "after " << i + 1 << " items";
    ASSERT_EQ(stack.capacity(), BlocksFor(i + 1) * Block) << "after " << i + 1 << " items";
  }
  for (std::size_t i = 0; i < n; ++i) ASSERT_EQ(stack[i], model[i]) << i;
  // Popping and pushing again across a block edge reuses the blocks.
  while (!stack.empty()) {
    ASSERT_EQ(stack.back(), model.back());
    stack.pop_back();
    model.pop_back();
  }
  EXPECT_EQ(stack.capacity(), BlocksFor(n) * Block);
  for (std::size_t i = 0; i < n; ++i) stack.push_back(-static_cast<int>(i));
  for (std::size_t i = 0; i < n; ++i) ASSERT_EQ(stack[i], -static_cast<int>(i)) << i;
}

INSTANTIATE_TEST_SUITE_P(AroundBlockEdges, BlockStackSizes,
                         ::testing::Values(0, 1, Block - 1, Block, Block + 1, 3 * Block,
                                           3 * Block + 1, 10 * Block + 3));

// The balancing loop reads the top item at every step, often as the stack
// goes back and forth over a block edge.
TEST(BlockStackTest, TheTopFollowsPushesAndPopsAcrossBlockEdges) {
  SmallStack stack;
  std::vector<int> model;
  int next = 0;
  // Up three and down two, over and over: every edge is crossed both ways.
  for (int round = 0; round < 4 * static_cast<int>(Block); ++round) {
    for (int i = 0; i < 3; ++i) {
      stack.push_back(++next);
      model.push_back(next);
      ASSERT_EQ(stack.back(), model.back()) << "round " << round;
      ASSERT_EQ(&stack.back(), &stack[stack.size() - 1]) << "round " << round;
    }
    for (int i = 0; i < 2; ++i) {
      stack.pop_back();
      model.pop_back();
      ASSERT_EQ(stack.back(), model.back()) << "round " << round;
      ASSERT_EQ(&stack.back(), &stack[stack.size() - 1]) << "round " << round;
    }
  }
  stack.back() = -1;
  EXPECT_EQ(stack[stack.size() - 1], -1);
}

// The balancing loop keeps a reference to its frame while it pushes the
// next one: no push may move an item.
TEST(BlockStackTest, PushingNeverMovesAnItem) {
  SmallStack stack;
  stack.push_back(5);
  const int* first = &stack[0];
  for (int i = 0; i < 100; ++i) stack.push_back(i);
  EXPECT_EQ(&stack[0], first);
  EXPECT_EQ(*first, 5);
}

// A release after a deep run keeps one block, and the stack works on from
// it; a release of a stack that never held anything keeps none.
TEST(BlockStackTest, ReleaseKeepsOneBlockAndTheStackWorksOn) {
  SmallStack stack;
  stack.Release();
  EXPECT_TRUE(stack.empty());
  EXPECT_EQ(stack.capacity(), 0u);

  for (int i = 0; i < 50; ++i) stack.push_back(i);
  stack.Release();
  EXPECT_TRUE(stack.empty());
  EXPECT_EQ(stack.capacity(), Block);
  for (int i = 0; i < 9; ++i) {
    stack.push_back(100 + i);
    EXPECT_EQ(stack.back(), 100 + i);
  }
  for (int i = 0; i < 9; ++i) EXPECT_EQ(stack[static_cast<std::size_t>(i)], 100 + i);
  EXPECT_EQ(stack.capacity(), BlocksFor(9) * Block);
}

// A stack moved from is empty and takes items again; the one moved to holds
// what it held.
TEST(BlockStackTest, MovedFromIsEmptyAndWorksOn) {
  SmallStack from;
  for (int i = 0; i < 10; ++i) from.push_back(i);
  SmallStack to(std::move(from));
  EXPECT_TRUE(from.empty());  // NOLINT(bugprone-use-after-move): what is left matters here
  from.push_back(7);
  EXPECT_EQ(from.back(), 7);
  ASSERT_EQ(to.size(), 10u);
  EXPECT_EQ(to[9], 9);
  EXPECT_EQ(to.back(), 9);

  SmallStack assigned;
  assigned = std::move(to);
  EXPECT_TRUE(to.empty());  // NOLINT(bugprone-use-after-move)
  to.push_back(3);
  EXPECT_EQ(to.back(), 3);
  ASSERT_EQ(assigned.size(), 10u);
  EXPECT_EQ(assigned[4], 4);
  EXPECT_EQ(assigned.back(), 9);
  assigned.pop_back();
  EXPECT_EQ(assigned.back(), 8);
}

// The frames are packed: every field keeps its value through the stack,
// across a block edge, whatever its neighbours hold.
TEST(BlockStackTest, PackedFramesKeepEveryField) {
  BlockStack<BalanceFrame, 2> stack;
  std::vector<BalanceFrame> written;
  for (int i = 0; i < 40; ++i) {
    BalanceFrame f;
    f.top = i % 3 == 0 ? -1 : 1000000 + i;
    f.walk = i % 5 == 0 ? -1 : 2000000 - i;
    f.kind = i % 2;
    f.stage = i % 5;
    f.flags = i % 8;
    stack.push_back(f);
    written.push_back(f);
  }
  for (std::size_t i = 0; i < written.size(); ++i) {
    const BalanceFrame& f = stack[i];
    const BalanceFrame& w = written[i];
    EXPECT_EQ(f.top, w.top) << i;
    EXPECT_EQ(f.walk, w.walk) << i;
    EXPECT_EQ(f.kind, w.kind) << i;
    EXPECT_EQ(f.stage, w.stage) << i;
    EXPECT_EQ(f.flags, w.flags) << i;
  }
}

}  // namespace
