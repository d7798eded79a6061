// Erase in one batch gives exactly what removing the values one by one gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "EngineTestSupport.h"
#include "EraseDiff.h"
#include "Internal.h"

using namespace TreeCore;

namespace {

class EraseBatchTest : public EngineTest::EngineFixture {};

TEST_F(EraseBatchTest, StopsWhereTheEraseCommandStops) {
  struct Case {
    std::vector<std::int16_t> get, erase;
    std::size_t erased;
    EraseStop stop;
  };
  const Case cases[] = {
      {{5, 3, 8}, {3, 8}, 2, EraseStop::None},
      {{5, 3, 8}, {3, 4, 8}, 1, EraseStop::Missing},
      {{5, 3, 8}, {5, 3, 8, 1}, 3, EraseStop::Empty},
      {{5}, {5}, 1, EraseStop::None},
      {{5, 5, 5}, {5, 5, 5, 5}, 3, EraseStop::Empty},
      {{}, {1}, 0, EraseStop::Empty},
      {{1, 2}, {}, 0, EraseStop::None},
  };
  for (const Case& c : cases) {
    TreeRec t = EngineTest::Build(c.get);
    const EraseResult r = EraseValues(t, c.erase);
    EXPECT_EQ(r.Erased, c.erased) << c.erase.size();
    EXPECT_EQ(r.Stop, c.stop) << c.erase.size();
    EXPECT_EQ(Validate(t), "");
    EXPECT_EQ(EraseDiff::Compare(c.get, c.erase), "");
  }
}

// A removal can start millions of fix-ups that touch the same few slots
// again and again: each slot is recorded once, or the record grows without
// bound (two gigabytes for 500 values of a 32767-value descending tree).
TEST_F(EraseBatchTest, EachSlotIsRecordedOnceAtATime) {
  EngineState engine;
  Detail::EraseBatch batch(8);
  engine.Batch = &batch;
  for (int round = 0; round < 1000; ++round)
    for (const std::int32_t slot : {3, 5, 3, 7, -1}) Detail::Touch(engine, slot);
  EXPECT_EQ(batch.Touched, (std::vector<std::int32_t>{3, 5, 7}));
  engine.Batch = nullptr;
}

TEST_F(EraseBatchTest, RandomListsGiveTheTablesOneByOneGives) {
  std::mt19937 rng(31);
  for (int round = 0; round < 1000; ++round) {
    const int length = 1 + static_cast<int>(rng() % (round % 50 == 0 ? 700 : 150));
    const int range = round % 5 == 4 ? 12 : 3000;  // some lists full of duplicates
    std::vector<std::int16_t> get(static_cast<std::size_t>(length));
    for (auto& v : get) v = static_cast<std::int16_t>(static_cast<int>(rng() % range) - range / 2);
    if (round % 5 == 1) std::sort(get.begin(), get.end());
    if (round % 5 == 2) std::sort(get.rbegin(), get.rend());

    std::vector<std::int16_t> erase = get;
    std::shuffle(erase.begin(), erase.end(), rng);
    if (round % 3 == 0) std::sort(erase.begin(), erase.end());
    if (round % 4 == 1) erase.resize(erase.size() / 2);
    if (round % 7 == 3) erase.insert(erase.begin() + erase.size() / 2, 32000);  // missing
    if (round % 6 == 5) erase.push_back(get.front());  // past the last node
    ASSERT_EQ(EraseDiff::Compare(get, erase), "") << "round " << round;
  }
}

}  // namespace
