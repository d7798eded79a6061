// Sorted lists of the largest size the tool accepts, built and erased whole:
// the balancing chains nest tens of thousands deep, and must not exhaust the
// machine stack.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "EraseDiff.h"

using namespace TreeCore;

namespace {

class LongListTest : public EngineTest::EngineFixture,
                     public ::testing::WithParamInterface<bool> {};

TEST_P(LongListTest, SortedListOfMaximumLengthIsBuiltAndErasedWhole) {
  const bool ascending = GetParam();
  std::vector<std::int16_t> values = EngineTest::Range(-16384, 16382);  // 32,767 values
  ASSERT_EQ(values.size(), 32767u);
  if (!ascending) std::reverse(values.begin(), values.end());

  TreeRec t;
  ResetTree(t, false);
  for (std::size_t i = 0; i < values.size(); ++i) {
    InsertValue(t, values[i]);
    if (i % 4096 == 0) {
      ASSERT_EQ(TreeCheck::Violation(t), "") << "after " << i + 1;
    }
  }
  ASSERT_EQ(TreeCheck::Violation(t), "");
  std::vector<std::int16_t> sorted = values;
  std::sort(sorted.begin(), sorted.end());
  ASSERT_EQ(TreeCheck::InOrderValues(t), sorted);

  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::int32_t index = FindValue(t, values[i]);
    ASSERT_NE(index, -1) << values[i];
    DeleteNode(t, index);
    if (i % 4096 == 0) {
      ASSERT_EQ(TreeCheck::Violation(t), "") << "after erasing " << i + 1;
    }
  }
  EXPECT_FALSE(t.Exists);
  EXPECT_EQ(t.Count, 0);
}

INSTANTIATE_TEST_SUITE_P(Sorted, LongListTest, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "Ascending" : "Descending");
});

// The whole largest tree erased in one batch, in random and in sorted order,
// against the values removed one by one.
TEST(LongEraseTest, LargestTreeErasedInOneBatch) {
  std::vector<std::int16_t> get = EngineTest::Range(-16384, 16382);
  std::shuffle(get.begin(), get.end(), std::mt19937(3));
  std::vector<std::int16_t> erase = get;
  std::shuffle(erase.begin(), erase.end(), std::mt19937(4));
  EXPECT_EQ(EraseDiff::Compare(get, erase), "");
  std::sort(erase.begin(), erase.end());
  erase.resize(20000);
  EXPECT_EQ(EraseDiff::Compare(get, erase), "");
}

}  // namespace
