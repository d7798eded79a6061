// Balance walks stop at a path an earlier walk found balanced. That must
// change nothing: every table, tree field and balancing event comes out as
// when every walk goes all the way to the root.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "EraseDiff.h"
#include "ListShapes.h"

using namespace TreeCore;

namespace {

class WalkShortcutTest : public EngineTest::EngineFixture {};

TEST_F(WalkShortcutTest, TablesAndEventsAsWithoutShortcuts) {
  std::mt19937 rng(2026);
  for (int shape = 0; shape < EngineTest::ShapeCount; ++shape)
    for (const int n : {40, 300, 1000}) {
      const std::vector<std::int16_t> get = EngineTest::Shaped(shape, n, rng);
      std::vector<std::int16_t> erase = get;
      std::shuffle(erase.begin(), erase.end(), rng);
      const std::string where =
          std::string(EngineTest::ShapeNames[shape]) + ", " + std::to_string(n) + " values";

      EngineState with, without;
      without.WalkShortcuts = false;
      EraseDiff::EventLog withLog, withoutLog;
      with.Observer = &withLog;
      without.Observer = &withoutLog;
      TreeRec a, b;
      ResetTree(with, a, false);
      ResetTree(without, b, false);
      for (std::size_t i = 0; i < get.size(); ++i) {
        InsertValue(with, a, get[i]);
        InsertValue(without, b, get[i]);
        ASSERT_EQ(EraseDiff::Difference(a, b), "") << where << ", insertion " << i;
      }
      // Half removed one at a time, the rest in one batch.
      const std::size_t half = erase.size() / 2;
      for (std::size_t i = 0; i < half; ++i) {
        DeleteNode(with, a, FindValue(a, erase[i]));
        DeleteNode(without, b, FindValue(b, erase[i]));
        ASSERT_EQ(EraseDiff::Difference(a, b), "") << where << ", removal " << i;
      }
      const std::span<const std::int16_t> rest(erase.data() + half, erase.size() - half);
      const EraseResult r1 = EraseValues(with, a, rest);
      const EraseResult r2 = EraseValues(without, b, rest);
      EXPECT_EQ(r1.Erased, r2.Erased) << where;
      EXPECT_EQ(EraseDiff::Difference(a, b), "") << where << ", batch";
      EXPECT_EQ(withLog.Lines, withoutLog.Lines) << where;
    }
}

}  // namespace
