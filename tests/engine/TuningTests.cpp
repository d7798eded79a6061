// Each speed-up of Tuning changes nothing: alone and all together, against
// the plain engine (every speed-up off), every node table after every call,
// every event and the table an observer finds at each event come out the
// same. The calls: insertions, removals one by one, batch erases, a reset and
// a record moved elsewhere, on every shape of list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "EngineTestSupport.h"
#include "EraseDiff.h"
#include "ListShapes.h"

using namespace TreeCore;

namespace {

class TuningTest : public EngineTest::EngineFixture {};

std::uint64_t TableHash(const TreeRec& t) {
  std::uint64_t h = 1469598103934665603ull;
  auto mix = [&h](long long v) {
    h ^= static_cast<std::uint64_t>(v);
    h *= 1099511628211ull;
  };
  for (const long long v : {t.Root, t.Height, t.TreeLeftHeight, t.TreeRightHeight}) mix(v);
  for (const NodeRec& n : t.Nodes)
    for (const long long v :
         {static_cast<long long>(n.Kind), static_cast<long long>(n.Level),
          static_cast<long long>(n.LeftHeight), static_cast<long long>(n.RightHeight),
          static_cast<long long>(n.Parent), static_cast<long long>(n.LeftChild),
          static_cast<long long>(n.RightChild)})
      mix(v);
  return h;
}

// Every event with a hash of the whole table as the observer finds it.
class TableAtEvent : public TreeObserver {
 public:
  void OnInsert(std::int16_t value, std::int32_t node) override { Add('i', value, node, 0); }
  void OnRotate(ChainKind kind, std::int32_t node, std::int16_t value) override {
    Add('r', value, node, static_cast<int>(kind));
  }
  void OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) override {
    Add('f', value, node, rightHeavy ? 1 : 0);
  }
  void OnErase(std::int16_t value, std::int32_t node) override { Add('e', value, node, 0); }

  const TreeRec* Tree = nullptr;
  // Off while a batch erase runs: it closes the table's gaps only at the end.
  bool HashTables = true;
  std::vector<std::string> Lines;
  // Left-heavy fix-ups followed at once by an LL rotation: the case the
  // parked-chain climb takes in one.
  int FixUpsThenLL = 0;

 private:
  void Add(char what, std::int16_t value, std::int32_t node, int extra) {
    if (what == 'r' && extra == static_cast<int>(ChainKind::LL) && !Lines.empty() &&
        Lines.back().rfind("f ", 0) == 0 && Lines.back().find(" 0 ") != std::string::npos)
      ++FixUpsThenLL;
    const std::uint64_t h = HashTables ? TableHash(*Tree) : 0;
    Lines.push_back(std::string(1, what) + " " + std::to_string(value) + " " +
                    std::to_string(node) + " " + std::to_string(extra) + " " + std::to_string(h));
  }
};

struct Speedup {
  const char* name;
  bool Tuning::*on;
};
const Speedup Speedups[] = {
    {"certified walks", &Tuning::CertifiedWalks},
    {"parked-chain climb", &Tuning::ParkedChainClimb},
    {"in-order links", &Tuning::InOrderLinks},
    {"settled heights skipped", &Tuning::SkipSettledHeights},
    {"renumbering in one pass", &Tuning::OnePassRenumbering},
    {"batch erase", &Tuning::BatchErase},
};

// Engines run the same calls, each on a tree of its own: `tuning` and the
// plain engine, both watched, and where the parked-chain climb is on (it
// writes differently when watched) `tuning` unwatched too. The tables at each
// event are compared on lists of up to 300 values (hashing a table per event
// costs more than the engine's work). Counts the parked chain's case.
void RunBothWays(const Tuning& tuning, bool keepLinks, const std::vector<std::int16_t>& values,
                 std::mt19937& rng, const std::string& where, int& fixUpsThenLL) {
  std::vector<std::int16_t> shuffled = values;
  std::shuffle(shuffled.begin(), shuffled.end(), rng);
  const int count = tuning.ParkedChainClimb ? 3 : 2;
  EngineState engines[3];
  TreeRec records[3], moved[3];
  TreeRec* trees[3] = {&records[0], &records[1], &records[2]};
  TableAtEvent logs[2];
  engines[0].Tuning = engines[2].Tuning = tuning;
  engines[1].Tuning = Tuning::Plain();
  const bool hashTables = values.size() <= 300;
  for (int e = 0; e < 3; ++e) engines[e].KeepInOrderLinks = keepLinks;
  for (int e = 0; e < 2; ++e) {
    engines[e].Observer = &logs[e];
    logs[e].Tree = trees[e];
    logs[e].HashTables = hashTables;
  }
  const auto same = [&] {
    std::string d = EraseDiff::Difference(*trees[0], *trees[1]);
    return d.empty() && count == 3 ? EraseDiff::Difference(*trees[2], *trees[1]) : d;
  };
  const auto insert = [&](std::span<const std::int16_t> list, const char* phase) {
    for (std::size_t i = 0; i < list.size(); ++i) {
      for (int e = 0; e < count; ++e) InsertValue(engines[e], *trees[e], list[i]);
      ASSERT_EQ(same(), "") << where << ", " << phase << ", insertion " << i;
      if (keepLinks && tuning.InOrderLinks) {
        ASSERT_EQ(EngineTest::LinksMismatch(engines[0], *trees[0]), "")
            << where << ", " << phase << ", insertion " << i;
      }
    }
  };
  const auto erase = [&](std::span<const std::int16_t> list, const char* phase) {
    // A batch erase closes the gaps only at its end: an observer finds the
    // removed slots still in the table meanwhile.
    for (TableAtEvent& log : logs) log.HashTables = hashTables && !tuning.BatchErase;
    std::vector<EraseResult> results;
    for (int e = 0; e < count; ++e) results.push_back(EraseValues(engines[e], *trees[e], list));
    for (TableAtEvent& log : logs) log.HashTables = hashTables;
    for (int e = 0; e < count; ++e) {
      EXPECT_EQ(results[e].Erased, results[1].Erased) << where << ", " << phase;
      EXPECT_EQ(results[e].Stop, results[1].Stop) << where << ", " << phase;
    }
    ASSERT_EQ(same(), "") << where << ", " << phase;
  };
  const std::span<const std::int16_t> all(values), mixed(shuffled);
  const std::size_t quarter = values.size() / 4;

  for (int e = 0; e < count; ++e) ResetTree(engines[e], *trees[e], false);
  insert(all, "first build");
  // Removals change the order: kept links are dropped, then built again
  // from the tree the next insertion finds.
  for (std::size_t i = 0; i < quarter; ++i) {
    for (int e = 0; e < count; ++e)
      DeleteNode(engines[e], *trees[e], FindValue(*trees[e], mixed[i]));
    ASSERT_EQ(same(), "") << where << ", removal " << i;
  }
  insert(all.subspan(0, quarter), "after removals");
  erase(mixed.subspan(quarter, quarter), "batch");
  insert(all.subspan(quarter, quarter / 2), "after a batch");
  // What is left of the list in one batch, with a value no list holds in
  // its middle: the erase stops there.
  std::vector<std::int16_t> rest(mixed.begin() + 2 * quarter, mixed.end());
  rest.insert(rest.begin() + static_cast<std::ptrdiff_t>(rest.size() / 2), 32000);
  erase(rest, "the rest in one batch");
  // A new tree in the same record, then the record moved elsewhere.
  for (int e = 0; e < count; ++e) ResetTree(engines[e], *trees[e], false);
  insert(all.subspan(0, values.size() / 3), "second build");
  for (int e = 0; e < count; ++e) {
    moved[e] = std::move(records[e]);
    trees[e] = &moved[e];
  }
  for (int e = 0; e < 2; ++e) logs[e].Tree = trees[e];
  insert(all.subspan(values.size() / 3, values.size() / 3), "moved record");
  // Every value left and one more: the erase stops at the emptied tree.
  std::vector<std::int16_t> left;
  for (const std::int32_t i : EngineTest::InOrderSlots(*trees[1]))
    left.push_back(trees[1]->Nodes[static_cast<std::size_t>(i)].Data);
  left.push_back(0);
  erase(left, "the whole tree and one more");

  EXPECT_EQ(logs[0].Lines.size(), logs[1].Lines.size()) << where;
  for (std::size_t i = 0; i < std::min(logs[0].Lines.size(), logs[1].Lines.size()); ++i) {
    ASSERT_EQ(logs[0].Lines[i], logs[1].Lines[i]) << where << ", event " << i;
  }
  fixUpsThenLL = logs[0].FixUpsThenLL;
}

TEST_F(TuningTest, EachSpeedupAloneChangesNothing) {
  std::mt19937 rng(1207);
  for (const Speedup& speedup : Speedups) {
    Tuning tuning = Tuning::Plain();
    tuning.*speedup.on = true;
    for (int shape = 0; shape < EngineTest::ShapeCount; ++shape)
      for (const int n : {40, 300}) {
        const std::string where = std::string(speedup.name) + ", " + EngineTest::ShapeNames[shape] +
                                  ", " + std::to_string(n);
        int chains = 0;
        RunBothWays(tuning, true, EngineTest::Shaped(shape, n, rng), rng, where, chains);
        if (HasFatalFailure()) return;
        // Descending lists make the parked chain's case by the dozen.
        if (shape == 2 && n >= 300) {
          EXPECT_GT(chains, 0) << where;
        }
      }
  }
}

// The default engine, with the links kept (a Get Tree job) and without (the
// window's own engine).
TEST_F(TuningTest, AllSpeedupsTogetherChangeNothing) {
  std::mt19937 rng(2026);
  for (const bool keepLinks : {true, false})
    for (int shape = 0; shape < EngineTest::ShapeCount; ++shape)
      for (const int n : {40, 300, 1000}) {
        const std::string where = std::string(keepLinks ? "links kept, " : "") +
                                  EngineTest::ShapeNames[shape] + ", " + std::to_string(n);
        int chains = 0;
        RunBothWays(Tuning{}, keepLinks, EngineTest::Shaped(shape, n, rng), rng, where, chains);
        if (HasFatalFailure()) return;
      }
}

// Removals from trees spoiled by hand: heights left over on a leaf, a stale
// side above a leaf, a link left naming the slot removed, and the last node
// of a tree. The renumbering mends what it mends the same way in both
// engines.
TEST_F(TuningTest, RemovalsFromSpoiledTreesComeOutAsThePlainEngineLeavesThem) {
  std::mt19937 rng(99);
  for (int shape = 0; shape < EngineTest::ShapeCount; ++shape) {
    const TreeRec built = EngineTest::Build(EngineTest::Shaped(shape, 30, rng));
    std::vector<std::int32_t> leaves;
    for (std::int32_t i = 0; i < built.Count; ++i)
      if (built.Nodes[static_cast<std::size_t>(i)].LeftChild == -1 &&
          built.Nodes[static_cast<std::size_t>(i)].RightChild == -1)
        leaves.push_back(i);
    for (const std::int32_t k : leaves) {
      // A link to k is planted only where the removal balances nothing: a
      // fix-up walking down through it could hang k back into the tree.
      EngineState trial;
      EraseDiff::EventLog events;
      trial.Observer = &events;
      TreeRec copy = built;
      DeleteNode(trial, copy, k);
      const int spoils = events.Lines.size() == 1 ? 3 : 2;
      for (const std::int32_t other : leaves)
        for (int spoil = 0; spoil < spoils && other != k; ++spoil) {
          TreeRec trees[2] = {built, built};
          for (TreeRec& t : trees) {
            NodeRec& x = t.Nodes[static_cast<std::size_t>(other)];
            NodeRec& parent = t.Nodes[static_cast<std::size_t>(x.Parent)];
            if (spoil == 0) x.RightHeight = 2;
            if (spoil == 1)
              (parent.LeftChild == other ? parent.LeftHeight : parent.RightHeight) = 3;
            if (spoil == 2) x.LeftChild = k;
          }
          EngineState tuned, plain;
          plain.Tuning = Tuning::Plain();
          DeleteNode(tuned, trees[0], k);
          DeleteNode(plain, trees[1], k);
          ASSERT_EQ(EraseDiff::Difference(trees[0], trees[1]), "")
              << EngineTest::ShapeNames[shape] << ", slot " << k << " removed, spoil " << spoil
              << " at slot " << other;
        }
    }
  }
  TreeRec one[2] = {EngineTest::Build({5}), EngineTest::Build({5})};
  EngineState tuned, plain;
  plain.Tuning = Tuning::Plain();
  DeleteNode(tuned, one[0], 0);
  DeleteNode(plain, one[1], 0);
  EXPECT_EQ(EraseDiff::Difference(one[0], one[1]), "");
}

// Heights a walk left stale make the parked chain's two updates stop at
// different nodes, and some climbs reach the root: each fix-up on such a
// tree must still leave it as the steps one by one do.
TEST_F(TuningTest, AParkedChainOnStaleHeightsComesOutAsStepByStep) {
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
    stepwise.Tuning.ParkedChainClimb = false;
    TreeRec a = built, c = built;
    TableAtEvent onceLog, stepwiseLog;
    onceLog.Tree = &a;
    stepwiseLog.Tree = &c;
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
