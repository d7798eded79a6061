// A left-heavy fix-up whose parked node completes a chain takes its height
// update and the rotation's in one climb. That must change nothing: every
// table, tree field and event comes out as when the steps run one by one, an
// observer sees the same table at every event, and a tree whose heights are
// stale comes out of each fix-up as the steps one by one leave it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "EraseDiff.h"
#include "ListShapes.h"

using namespace TreeCore;

namespace {

class ParkedChainTest : public EngineTest::EngineFixture {};

// Every event with a hash of the whole table as the observer finds it.
class TableAtEvent : public TreeObserver {
 public:
  explicit TableAtEvent(const TreeRec& tree) : tree_(tree) {}
  void OnInsert(std::int16_t value, std::int32_t node) override { Add('i', value, node, 0); }
  void OnRotate(ChainKind kind, std::int32_t node, std::int16_t value) override {
    Add('r', value, node, static_cast<int>(kind));
  }
  void OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) override {
    Add('f', value, node, rightHeavy ? 1 : 0);
  }
  void OnErase(std::int16_t value, std::int32_t node) override { Add('e', value, node, 0); }

  std::vector<std::string> Lines;
  // Left-heavy fix-ups followed at once by an LL rotation: the case climbed once.
  int FixUpsThenLL = 0;

 private:
  void Add(char what, std::int16_t value, std::int32_t node, int extra) {
    if (what == 'r' && extra == static_cast<int>(ChainKind::LL) && !Lines.empty() &&
        Lines.back().rfind("f ", 0) == 0 && Lines.back().find(" 0 ") != std::string::npos)
      ++FixUpsThenLL;
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](long long v) {
      h ^= static_cast<std::uint64_t>(v);
      h *= 1099511628211ull;
    };
    for (const long long v :
         {static_cast<long long>(tree_.Root), static_cast<long long>(tree_.Height),
          static_cast<long long>(tree_.TreeLeftHeight),
          static_cast<long long>(tree_.TreeRightHeight)})
      mix(v);
    for (const NodeRec& n : tree_.Nodes)
      for (const long long v :
           {static_cast<long long>(n.Kind), static_cast<long long>(n.Level),
            static_cast<long long>(n.LeftHeight), static_cast<long long>(n.RightHeight),
            static_cast<long long>(n.Parent), static_cast<long long>(n.LeftChild),
            static_cast<long long>(n.RightChild)})
        mix(v);
    Lines.push_back(std::string(1, what) + " " + std::to_string(value) + " " +
                    std::to_string(node) + " " + std::to_string(extra) + " " + std::to_string(h));
  }
  const TreeRec& tree_;
};

TEST_F(ParkedChainTest, TablesEventsAndWhatObserversSeeAsStepByStep) {
  std::mt19937 rng(1207);
  struct Size {
    int n;
    bool keepLinks;
  };
  // The Get Tree job keeps the in-order links; the window's engine does not.
  const Size sizes[] = {{40, false}, {40, true}, {300, false}, {300, true}, {1000, true}};
  for (int shape = 0; shape < EngineTest::ShapeCount; ++shape)
    for (const auto [n, keepLinks] : sizes) {
      const std::vector<std::int16_t> get = EngineTest::Shaped(shape, n, rng);
      std::vector<std::int16_t> erase = get;
      std::shuffle(erase.begin(), erase.end(), rng);
      erase.resize(erase.size() / 2);
      const std::string where = std::string(EngineTest::ShapeNames[shape]) + ", " +
                                std::to_string(n) + " values" + (keepLinks ? ", links kept" : "");

      // Once climbed with an observer and without one, against the steps
      // one by one with an observer.
      EngineState watched, plain, stepwise;
      stepwise.ParkedChainsInOneClimb = false;
      TreeRec a, b, c;
      TableAtEvent watchedLog(a), stepwiseLog(c);
      watched.Observer = &watchedLog;
      stepwise.Observer = &stepwiseLog;
      for (EngineState* e : {&watched, &plain, &stepwise}) e->KeepInOrderLinks = keepLinks;
      ResetTree(watched, a, false);
      ResetTree(plain, b, false);
      ResetTree(stepwise, c, false);
      for (std::size_t i = 0; i < get.size(); ++i) {
        InsertValue(watched, a, get[i]);
        InsertValue(plain, b, get[i]);
        InsertValue(stepwise, c, get[i]);
        ASSERT_EQ(EraseDiff::Difference(a, c), "") << where << ", insertion " << i;
        ASSERT_EQ(EraseDiff::Difference(b, c), "") << where << ", insertion " << i;
      }
      for (std::size_t i = 0; i < erase.size(); ++i) {
        DeleteNode(watched, a, FindValue(a, erase[i]));
        DeleteNode(plain, b, FindValue(b, erase[i]));
        DeleteNode(stepwise, c, FindValue(c, erase[i]));
        ASSERT_EQ(EraseDiff::Difference(a, c), "") << where << ", removal " << i;
        ASSERT_EQ(EraseDiff::Difference(b, c), "") << where << ", removal " << i;
      }
      ASSERT_EQ(watchedLog.Lines.size(), stepwiseLog.Lines.size()) << where;
      for (std::size_t i = 0; i < watchedLog.Lines.size(); ++i) {
        ASSERT_EQ(watchedLog.Lines[i], stepwiseLog.Lines[i]) << where << ", event " << i;
      }
      // Descending lists make the case by the thousand.
      if (shape == 2 && n >= 300) {
        EXPECT_GT(watchedLog.FixUpsThenLL, 0) << where;
      }
    }
}

// Heights a walk left stale make the two updates stop at different nodes,
// and some climbs reach the root: each fix-up on such a tree must still
// leave it as the steps one by one do.
TEST_F(ParkedChainTest, StaleHeightsComeOutAsStepByStep) {
  std::mt19937 rng(2612);
  int chains = 0;
  for (int round = 0; round < 60; ++round) {
    const int n = 20 + static_cast<int>(rng() % 180);
    EngineState builder;
    TreeRec built;
    ResetTree(builder, built, false);
    // Descending, with a random value now and then, so that chains hang
    // below parked nodes.
    for (int i = 0; i < n; ++i)
      InsertValue(builder, built,
                  static_cast<std::int16_t>(rng() % 5 == 0 ? static_cast<int>(rng() % 4000) - 2000
                                                           : 3000 - 10 * i));
    for (NodeRec& x : built.Nodes) {
      if (rng() % 4 != 0) continue;
      const int spoil = static_cast<int>(rng() % 3);
      if (spoil == 0) x.LeftHeight += 1;
      if (spoil == 1) x.RightHeight = std::max(0, x.RightHeight - 1);
      if (spoil == 2) x.LeftHeight = std::max(0, x.LeftHeight - 2);
    }
    EngineState once, stepwise;
    stepwise.ParkedChainsInOneClimb = false;
    TreeRec a = built, c = built;
    TableAtEvent onceLog(a), stepwiseLog(c);
    once.Observer = &onceLog;
    stepwise.Observer = &stepwiseLog;
    for (std::int32_t i = 0; i < built.Count; ++i) {
      RebalanceLeftHeavy(once, a, i, false);
      RebalanceLeftHeavy(stepwise, c, i, false);
      ASSERT_EQ(EraseDiff::Difference(a, c), "") << "round " << round << ", fix-up at slot " << i;
    }
    ASSERT_EQ(onceLog.Lines, stepwiseLog.Lines) << "round " << round;
    chains += onceLog.FixUpsThenLL;
  }
  EXPECT_GT(chains, 0);
}

}  // namespace
