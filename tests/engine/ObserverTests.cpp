// The balancing events: what they report, that each names a change that
// really happens, and that watching changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "EngineDriver.h"
#include "EngineTestSupport.h"

using namespace TreeCore;

namespace {

class ObserverTest : public EngineTest::EngineFixture {};

// Every event as one line of text, in order.
class Recorder : public TreeObserver {
 public:
  void OnInsert(std::int16_t value, std::int32_t node) override {
    Events.push_back("insert " + std::to_string(value) + " at " + std::to_string(node));
  }
  void OnRotate(ChainKind kind, std::int32_t node, std::int16_t value) override {
    Events.push_back(std::string("rotate ") + ChainKindText(kind) + " at " + std::to_string(node) +
                     " (" + std::to_string(value) + ")");
  }
  void OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) override {
    Events.push_back(std::string(rightHeavy ? "fixup right" : "fixup left") + " at " +
                     std::to_string(node) + " (" + std::to_string(value) + ")");
  }
  void OnErase(std::int16_t value, std::int32_t node) override {
    Events.push_back("erase " + std::to_string(value) + " at " + std::to_string(node));
  }
  std::vector<std::string> Events;
};

TEST_F(ObserverTest, ChainRotationsAreReportedWhereTheyHappen) {
  struct Case {
    std::vector<std::int16_t> values;
    std::vector<std::string> lastEvents;
  };
  const Case cases[] = {
      {{50, 25, 75, 10, 90, 95}, {"insert 95 at 5", "rotate RR at 2 (75)"}},
      {{50, 25, 75, 10, 90, 85}, {"insert 85 at 5", "rotate RL at 2 (75)"}},
      {{50, 25, 75, 90, 10, 5}, {"insert 5 at 5", "rotate LL at 1 (25)"}},
      {{50, 25, 75, 90, 10, 15}, {"insert 15 at 5", "rotate LR at 1 (25)"}},
      // 1, 2, 3: the root is right-heavy by two and 2 takes its place.
      {{1, 2, 3}, {"insert 3 at 2", "fixup right at 0 (1)"}},
      {{3, 2, 1}, {"insert 1 at 2", "fixup left at 0 (3)"}},
  };
  for (const Case& c : cases) {
    Recorder recorder;
    EngineState engine;
    engine.Observer = &recorder;
    TreeRec t;
    ResetTree(engine, t, false);
    for (const std::int16_t v : c.values) InsertValue(engine, t, v);
    ASSERT_GE(recorder.Events.size(), c.lastEvents.size());
    const std::vector<std::string> tail(recorder.Events.end() - std::ssize(c.lastEvents),
                                        recorder.Events.end());
    EXPECT_EQ(tail, c.lastEvents) << c.values.back();
    // Before the last value only insertions happened.
    EXPECT_EQ(recorder.Events.size(), c.values.size() - 1 + c.lastEvents.size());
  }

  // A removal names the slot before the table closes its gap, then the
  // fix-up that sinks it; the string entry of Rotate reports too.
  Recorder recorder;
  EngineState engine;
  engine.Observer = &recorder;
  TreeRec t;
  ResetTree(engine, t, false);
  for (const std::int16_t v : {10, 5, 20, 15, 25}) InsertValue(engine, t, v);
  recorder.Events.clear();
  DeleteNode(engine, t, FindValue(t, 10));
  EXPECT_EQ(recorder.Events, (std::vector<std::string>{"erase 10 at 0", "fixup right at 0 (10)"}));
}

// Checks each event against the tree it names, at once and, for a rotation
// or a fix-up, once its work is done (at the next event or the end of the
// operation): the node it moved must have another parent by then.
class Checker : public TreeObserver {
 public:
  explicit Checker(const TreeRec& tree) : tree_(tree) {}

  void OnInsert(std::int16_t value, std::int32_t node) override {
    Settle();
    Expect(DataAt(node) == value, "insert names a slot without its value");
    Expect(node == tree_.Count - 1, "insert names a slot other than the last filled");
    ++Inserts;
  }
  void OnRotate(ChainKind, std::int32_t node, std::int16_t value) override {
    Settle();
    Expect(DataAt(node) == value, "rotate names a node without its value");
    pending_ = {node, tree_.Nodes[static_cast<std::size_t>(node)].Parent};
    ++Rotations;
  }
  void OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) override {
    Settle();
    const NodeRec& n = tree_.Nodes[static_cast<std::size_t>(node)];
    Expect(n.Data == value, "fixup names a node without its value");
    Expect((rightHeavy ? n.RightChild : n.LeftChild) != -1, "fixup on a side with no child");
    pending_ = {node, n.Parent};
    ++FixUps;
  }
  void OnErase(std::int16_t value, std::int32_t node) override {
    Settle();
    Expect(DataAt(node) == value, "erase names a node without its value");
    Erased.push_back(value);
  }
  // The operation has returned; a removal has closed the gap at `removed`.
  void EndOperation(std::int32_t removed = -1) {
    if (pending_ && removed != -1) {
      if (pending_->node == removed)
        pending_.reset();
      else if (pending_->node > removed)
        --pending_->node;
      if (pending_ && pending_->parent > removed)
        --pending_->parent;
      else if (pending_ && pending_->parent == removed)
        pending_.reset();
    }
    Settle();
  }

  std::vector<std::string> Problems;
  std::vector<std::int16_t> Erased;
  int Inserts = 0, Rotations = 0, FixUps = 0;

 private:
  struct Pending {
    std::int32_t node;
    std::int32_t parent;
  };
  std::int16_t DataAt(std::int32_t node) const {
    return node >= 0 && node < static_cast<std::int32_t>(tree_.Nodes.size())
               ? tree_.Nodes[static_cast<std::size_t>(node)].Data
               : std::int16_t{-1};
  }
  void Expect(bool ok, const char* what) {
    if (!ok) Problems.push_back(what);
  }
  void Settle() {
    if (!pending_) return;
    Expect(tree_.Nodes[static_cast<std::size_t>(pending_->node)].Parent != pending_->parent,
           "a rotated or fixed node kept its parent");
    pending_.reset();
  }

  const TreeRec& tree_;
  std::optional<Pending> pending_;
};

TEST_F(ObserverTest, RandomListsEventsMatchTheChangesTheyName) {
  std::mt19937 rng(11);
  int rotations = 0, fixUps = 0, erased = 0;
  for (int round = 0; round < 300; ++round) {
    std::vector<std::int16_t> values(1 + rng() % 120);
    for (auto& v : values) v = static_cast<std::int16_t>(static_cast<int>(rng() % 500) - 250);
    if (round % 3 == 1) std::sort(values.begin(), values.end());

    EngineState engine;
    TreeRec t;
    Checker checker(t);
    engine.Observer = &checker;
    ResetTree(engine, t, false);
    std::multiset<std::int16_t> want;
    for (const std::int16_t v : values) {
      InsertValue(engine, t, v);
      checker.EndOperation();
      want.insert(v);
    }
    ASSERT_EQ(checker.Inserts, static_cast<int>(values.size()));
    std::shuffle(values.begin(), values.end(), rng);
    for (std::size_t i = 0; i < values.size() / 2; ++i) {
      const std::int32_t index = FindValue(t, values[i]);
      ASSERT_NE(index, -1);
      checker.Erased.clear();
      DeleteNode(engine, t, index);
      checker.EndOperation(index);
      // Exactly one erase event, naming the value that is gone.
      ASSERT_EQ(checker.Erased, std::vector<std::int16_t>{values[i]}) << "round " << round;
      want.erase(want.find(values[i]));
      ASSERT_EQ(EngineDriver::Compare(t, want), "");
      ++erased;
    }
    ASSERT_EQ(checker.Problems, std::vector<std::string>{}) << "round " << round;
    rotations += checker.Rotations;
    fixUps += checker.FixUps;
  }
  // The lists reach every kind of event many times over.
  EXPECT_GT(rotations, 100);
  EXPECT_GT(fixUps, 100);
  EXPECT_GT(erased, 1000);
}

TEST_F(ObserverTest, WatchingChangesNoNodeTable) {
  std::mt19937 rng(5);
  for (int round = 0; round < 200; ++round) {
    std::vector<std::int16_t> values(1 + rng() % 200);
    for (auto& v : values) v = static_cast<std::int16_t>(static_cast<int>(rng() % 1000) - 500);
    if (round % 4 == 1) std::sort(values.begin(), values.end());
    if (round % 4 == 2) std::sort(values.rbegin(), values.rend());

    Recorder recorder;
    EngineState watched, plain;
    watched.Observer = &recorder;
    TreeRec a, b;
    ResetTree(watched, a, false);
    ResetTree(plain, b, false);
    for (const std::int16_t v : values) {
      InsertValue(watched, a, v);
      InsertValue(plain, b, v);
    }
    std::shuffle(values.begin(), values.end(), rng);
    for (std::size_t i = 0; i < values.size() / 2; ++i) {
      DeleteNode(watched, a, FindValue(a, values[i]));
      DeleteNode(plain, b, FindValue(b, values[i]));
    }
    ASSERT_EQ(a.Nodes.size(), b.Nodes.size());
    for (std::size_t i = 0; i < a.Nodes.size(); ++i) {
      const NodeRec &x = a.Nodes[i], &y = b.Nodes[i];
      ASSERT_TRUE(x.Data == y.Data && x.Kind == y.Kind && x.Level == y.Level &&
                  x.LeftHeight == y.LeftHeight && x.RightHeight == y.RightHeight &&
                  x.Parent == y.Parent && x.LeftChild == y.LeftChild &&
                  x.RightChild == y.RightChild)
          << "round " << round << " slot " << i;
    }
    ASSERT_EQ(std::tie(a.Root, a.Count, a.Height, a.Exists),
              std::tie(b.Root, b.Count, b.Height, b.Exists));
    ASSERT_FALSE(recorder.Events.empty());
  }
}

}  // namespace
