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

using namespace TreeCore;

namespace {

std::vector<std::int16_t> Shaped(int shape, int n, std::mt19937& rng) {
  std::vector<std::int16_t> v(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    int x = 0;
    switch (shape) {
      case 0:
        x = static_cast<int>(rng() % 20000) - 10000;
        break;  // random
      case 1:
        x = i;
        break;  // ascending
      case 2:
        x = n - i;
        break;  // descending
      case 3:
        x = i % 2 ? i : n - i;
        break;  // zig-zag
      case 4:
        x = static_cast<int>(rng() % 7);
        break;  // few distinct values
      default:
        x = i < n / 2 ? i : -i;
        break;  // up, then down
    }
    v[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(x);
  }
  return v;
}

class WalkShortcutTest : public EngineTest::EngineFixture {};

TEST_F(WalkShortcutTest, TablesAndEventsAsWithoutShortcuts) {
  const char* const names[] = {"random",  "ascending",  "descending",
                               "zig-zag", "few values", "up then down"};
  std::mt19937 rng(2026);
  for (int shape = 0; shape < 6; ++shape)
    for (const int n : {40, 300, 1000}) {
      const std::vector<std::int16_t> get = Shaped(shape, n, rng);
      std::vector<std::int16_t> erase = get;
      std::shuffle(erase.begin(), erase.end(), rng);
      const std::string where = std::string(names[shape]) + ", " + std::to_string(n) + " values";

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
