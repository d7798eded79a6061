// A height update skipped as settled must be one that would have written
// nothing: the tables, the tree's fields and the walk certificate come out
// as the full update leaves them, whatever state the node is in.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "EngineTestSupport.h"
#include "EraseDiff.h"
#include "HandMadeRecords.h"
#include "Internal.h"
#include "ListShapes.h"

using namespace TreeCore;

namespace {

class HeightsSettledTest : public EngineTest::EngineFixture {};

// How a node's record may stand when an update starts from it: as the
// engine leaves it, or with one of the things the update mends.
struct Spoil {
  const char* name;
  std::function<void(TreeRec&, std::int32_t)> apply;
};

NodeRec& At(TreeRec& t, std::int32_t i) {
  return t.Nodes[static_cast<std::size_t>(i)];
}

const Spoil Spoils[] = {
    {"as built", [](TreeRec&, std::int32_t) {}},
    {"left height off by one", [](TreeRec& t, std::int32_t n) { ++At(t, n).LeftHeight; }},
    {"right height off by one", [](TreeRec& t, std::int32_t n) { ++At(t, n).RightHeight; }},
    {"childless but not a leaf",
     [](TreeRec& t, std::int32_t n) {
       if (At(t, n).LeftChild == -1 && At(t, n).RightChild == -1)
         At(t, n).Kind = NodeKind::Interior;
     }},
    {"parent's side stale",
     [](TreeRec& t, std::int32_t n) {
       const std::int32_t p = At(t, n).Parent;
       if (p == -1) return;
       (At(t, p).LeftChild == n ? At(t, p).LeftHeight : At(t, p).RightHeight) += 2;
     }},
    {"parent no longer holds it",
     [](TreeRec& t, std::int32_t n) {
       const std::int32_t p = At(t, n).Parent;
       if (p == -1) return;
       if (At(t, p).LeftChild == n) At(t, p).LeftChild = -1;
       if (At(t, p).RightChild == n) At(t, p).RightChild = -1;
     }},
    {"parentless", [](TreeRec& t, std::int32_t n) { At(t, n).Parent = -1; }},
};

// Runs an update from n both ways on copies of t and reports the first
// difference. `settled` says whether the check let the walk go.
std::string BothWays(const TreeRec& t, std::int32_t n, bool inBatch, bool firstUpdate,
                     bool& settled) {
  TreeRec full = t;
  TreeRec checked = t;
  EngineState fullEngine;
  EngineState checkedEngine;
  Detail::EraseBatch fullBatch(static_cast<std::int32_t>(t.Nodes.size()));
  Detail::EraseBatch checkedBatch(static_cast<std::int32_t>(t.Nodes.size()));
  for (EngineState* e : {&fullEngine, &checkedEngine}) {
    e->OperationFlags = firstUpdate ? 0 : Detail::LineBreaksAssigned | Detail::SettledSkippable;
    // A certificate naming the whole table: an update that leaves a node
    // off balance withdraws it.
    e->WalkStamp.assign(t.Nodes.size(), 7u);
    e->WalkCertificate = 7u;
  }
  if (inBatch) {
    fullEngine.Batch = &fullBatch;
    checkedEngine.Batch = &checkedBatch;
  }
  settled = Detail::HeightsSettled(checkedEngine, checked, n);
  Detail::Heights(fullEngine, full, n);
  Detail::HeightsUnlessSettled(checkedEngine, checked, n);
  fullEngine.Batch = checkedEngine.Batch = nullptr;
  if (settled && EraseDiff::Difference(full, t) != "")
    return "settled, yet the update wrote " + EraseDiff::Difference(full, t);
  if (fullEngine.WalkCertificate != checkedEngine.WalkCertificate) return "certificate differs";
  if (fullEngine.OperationFlags != checkedEngine.OperationFlags) return "flags differ";
  if (fullBatch.Touched != checkedBatch.Touched) return "touched slots differ";
  return EraseDiff::Difference(full, checked);
}

TEST_F(HeightsSettledTest, TheCheckSkipsOnlyUpdatesThatWriteNothing) {
  std::mt19937 rng(77);
  int skipped = 0, walked = 0;
  for (int shape = 0; shape < EngineTest::ShapeCount; ++shape)
    for (const int size : {1, 2, 3, 9, 60}) {
      const TreeRec built = EngineTest::Build(EngineTest::Shaped(shape, size, rng));
      for (const Spoil& spoil : Spoils)
        for (std::int32_t n = 0; n < built.Count; ++n)
          for (const bool inBatch : {false, true})
            for (const bool firstUpdate : {false, true}) {
              TreeRec t = built;
              spoil.apply(t, n);
              bool settled = false;
              ASSERT_EQ(BothWays(t, n, inBatch, firstUpdate, settled), "")
                  << EngineTest::ShapeNames[shape] << " " << size << ", " << spoil.name << ", node "
                  << n << (inBatch ? ", in a batch" : "") << (firstUpdate ? ", first update" : "");
              (settled ? skipped : walked) += 1;
            }
    }
  // Both ways through the check are taken.
  EXPECT_GT(skipped, 1000);
  EXPECT_GT(walked, 1000);
}

// The root's sides are recomputed by every walk that reaches it, so a child
// of the root is never taken as settled, nor the root itself.
TEST_F(HeightsSettledTest, NeitherTheRootNorItsChildrenAreSettled) {
  TreeRec t = EngineTest::Build({50, 25, 75, 10, 30, 60, 90});
  EngineState engine;
  engine.OperationFlags = Detail::LineBreaksAssigned | Detail::SettledSkippable;
  for (const std::int16_t v : {50, 25, 75})
    EXPECT_FALSE(Detail::HeightsSettled(engine, t, FindValue(t, v))) << v;
  for (const std::int16_t v : {10, 30, 60, 90})
    EXPECT_TRUE(Detail::HeightsSettled(engine, t, FindValue(t, v))) << v;

  // A root record given a parent by hand, below a node that counts it: an
  // update from the root still copies its heights to the tree's fields.
  const std::int32_t root = t.Root;
  const std::int32_t holder = FindValue(t, 10);
  t.Nodes[static_cast<std::size_t>(root)].Parent = holder;
  t.Nodes[static_cast<std::size_t>(holder)].LeftChild = root;
  t.Nodes[static_cast<std::size_t>(holder)].LeftHeight = 3;
  t.TreeLeftHeight = 0;
  bool settled = true;
  EXPECT_EQ(BothWays(t, root, false, false, settled), "");
  EXPECT_FALSE(settled);
}

TEST_F(HeightsSettledTest, AnyHandMadeRecordComesOutAsTheFullUpdateLeavesIt) {
  std::mt19937 rng(20261207);
  int skipped = 0, walked = 0;
  for (int round = 0; round < 200000; ++round) {
    const TreeRec t = EngineTest::RandomRecord(rng);
    const auto n = static_cast<std::int32_t>(rng() % static_cast<unsigned>(t.Count));
    const bool inBatch = rng() % 4 == 0;
    TreeRec full = t;
    TreeRec checked = t;
    EngineState fullEngine;
    EngineState checkedEngine;
    Detail::EraseBatch fullBatch(t.Count);
    Detail::EraseBatch checkedBatch(t.Count);
    // Any flags an operation can hold: SettledSkippable only with
    // LineBreaksAssigned.
    auto flags = static_cast<std::uint8_t>(rng() % 4);
    if ((flags & Detail::LineBreaksAssigned) != 0 && rng() % 4 != 0)
      flags |= Detail::SettledSkippable;
    const auto certificate = static_cast<std::uint32_t>(rng() % 3);
    std::vector<std::uint32_t> stamps(t.Nodes.size());
    for (std::uint32_t& s : stamps) s = static_cast<std::uint32_t>(rng() % 3);
    for (EngineState* e : {&fullEngine, &checkedEngine}) {
      e->OperationFlags = flags;
      e->WalkStamp = stamps;
      e->WalkCertificate = certificate;
    }
    if (inBatch) {
      fullEngine.Batch = &fullBatch;
      checkedEngine.Batch = &checkedBatch;
    }
    const bool settled = Detail::HeightsSettled(checkedEngine, checked, n);
    Detail::Heights(fullEngine, full, n);
    Detail::HeightsUnlessSettled(checkedEngine, checked, n);
    (settled ? skipped : walked) += 1;
    const std::string where = "round " + std::to_string(round) + ", node " + std::to_string(n);
    if (settled) {
      ASSERT_EQ(EraseDiff::Difference(full, t), "") << where << ": settled, yet written";
    }
    ASSERT_EQ(EraseDiff::Difference(full, checked), "") << where;
    ASSERT_EQ(fullEngine.WalkCertificate, checkedEngine.WalkCertificate) << where;
    ASSERT_EQ(fullEngine.OperationFlags, checkedEngine.OperationFlags) << where;
    ASSERT_EQ(fullEngine.LineBreak, checkedEngine.LineBreak) << where;
    ASSERT_EQ(fullBatch.Touched, checkedBatch.Touched) << where;
  }
  RecordProperty("skipped", skipped);
  RecordProperty("walked", walked);
  EXPECT_GT(skipped, 10000);
  EXPECT_GT(walked, 10000);
}

}  // namespace
