// The height update's walk, written for speed, against the same walk written
// plainly: each step rereads its child's heights from the record and writes
// through the side it finds. On any record, built or made by hand, both
// leave the same table and the same tree fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "EngineTestSupport.h"
#include "EraseDiff.h"
#include "HandMadeRecords.h"
#include "Internal.h"
#include "ListShapes.h"

using namespace TreeCore;

namespace {

using EngineTest::RecordAt;

std::int32_t PlainSideHeight(const NodeRec& x) {
  return 1 + std::max(x.LeftHeight, x.RightHeight);
}

void PlainFinishAtRoot(TreeRec& t, std::int32_t c) {
  NodeRec& top = RecordAt(t, c);
  if (top.LeftChild != -1) top.LeftHeight = PlainSideHeight(RecordAt(t, top.LeftChild));
  if (top.RightChild != -1) top.RightHeight = PlainSideHeight(RecordAt(t, top.RightChild));
  t.TreeLeftHeight = top.LeftHeight;
  t.TreeRightHeight = top.RightHeight;
  t.Height = std::max(top.LeftHeight, top.RightHeight);
}

void PlainHeights(TreeRec& t, std::int32_t n) {
  if (n == -1) return;
  NodeRec& start = RecordAt(t, n);
  if (start.LeftChild == -1) start.LeftHeight = 0;
  if (start.RightChild == -1) start.RightHeight = 0;
  if (start.LeftChild == -1 && start.RightChild == -1) start.Kind = NodeKind::Leaf;
  if (n == t.Root) {
    t.TreeLeftHeight = start.LeftHeight;
    t.TreeRightHeight = start.RightHeight;
    t.Height = std::max(start.LeftHeight, start.RightHeight);
    return;
  }
  for (std::int32_t c = n;;) {
    const std::int32_t p = RecordAt(t, c).Parent;
    if (p == -1) {
      PlainFinishAtRoot(t, c);
      return;
    }
    const std::int32_t fresh = PlainSideHeight(RecordAt(t, c));
    NodeRec& parent = RecordAt(t, p);
    std::int32_t old = fresh;
    if (parent.RightChild == c) {
      old = parent.RightHeight;
      parent.RightHeight = fresh;
    } else if (parent.LeftChild == c) {
      old = parent.LeftHeight;
      parent.LeftHeight = fresh;
    }
    c = p;
    if (parent.Kind == NodeKind::Root) {
      PlainFinishAtRoot(t, c);
      return;
    }
    if (fresh == old) return;
  }
}

// Runs both walks from n on copies of t; the first difference, or "".
std::string BothWalks(const TreeRec& t, std::int32_t n) {
  TreeRec fast = t;
  TreeRec plain = t;
  EngineState engine;
  engine.OperationFlags = Detail::LineBreaksAssigned;
  Detail::Heights(engine, fast, n);
  PlainHeights(plain, n);
  return EraseDiff::Difference(plain, fast);
}

TEST(HeightWalkTest, BuiltTreesWithAStaleSideComeOutAsThePlainWalkLeavesThem) {
  std::mt19937 rng(11);
  int longWalks = 0;
  for (int shape = 0; shape < EngineTest::ShapeCount; ++shape)
    for (const int size : {1, 2, 7, 40, 300}) {
      const TreeRec built = EngineTest::Build(EngineTest::Shaped(shape, size, rng));
      for (std::int32_t n = 0; n < built.Count; ++n) {
        // Stale heights make the walk climb: the node's own sides and, for
        // a long climb, every height on its way up, off by one.
        for (const int stale : {0, 1, 2}) {
          TreeRec t = built;
          if (stale >= 1) RecordAt(t, n).LeftHeight += 1;
          if (stale == 2)
            for (std::int32_t p = RecordAt(t, n).Parent; p != -1; p = RecordAt(t, p).Parent) {
              RecordAt(t, p).LeftHeight -= 1;
              RecordAt(t, p).RightHeight -= 1;
            }
          ASSERT_EQ(BothWalks(t, n), "") << EngineTest::ShapeNames[shape] << " " << size
                                         << ", node " << n << ", stale " << stale;
          if (stale == 2 && RecordAt(t, n).Parent != -1) ++longWalks;
        }
      }
    }
  EXPECT_GT(longWalks, 1000);
}

TEST(HeightWalkTest, AnyHandMadeRecordComesOutAsThePlainWalkLeavesIt) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200000; ++round) {
    const TreeRec t = EngineTest::RandomRecord(rng);
    const auto n = static_cast<std::int32_t>(rng() % static_cast<unsigned>(t.Count));
    ASSERT_EQ(BothWalks(t, n), "") << "round " << round << ", node " << n;
  }
}

}  // namespace
