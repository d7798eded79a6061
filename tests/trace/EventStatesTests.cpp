// The tree before and after each event, rebuilt by stopping a replay at the
// event, held against the events the recorder kept while the command ran.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EventStates.h"
#include "TraceCommands.h"

namespace {

using TreeCore::TreeRec;
using TreeTrace::EventType;

// Every field of the tree and of its slots, in one comparable list.
std::vector<std::int64_t> Fields(const TreeRec& t) {
  std::vector<std::int64_t> f{t.Exists, t.Root,           t.Count,
                              t.Height, t.TreeLeftHeight, t.TreeRightHeight};
  for (const auto& n : t.Nodes)
    f.insert(f.end(), {n.Data, n.Parent, n.LeftChild, n.RightChild, n.Level,
                       static_cast<int>(n.Kind), n.LeftHeight, n.RightHeight});
  return f;
}
bool Same(const TreeRec& a, const TreeRec& b) {
  return Fields(a) == Fields(b);
}

std::string Range(int from, int to, int step) {
  std::string s;
  for (int v = from; v != to + step; v += step)
    s.append(s.empty() ? "" : ",").append(std::to_string(v));
  return s;
}

// Every event of every value: the same event as recorded, the states chained
// (one event's after is the next one's before), the value's last after is the
// tree after the value, and an insert starts from the tree before its value.
// The replaying recorder snapshots often and keeps few events, so the replay
// starts from snapshots other than the first.
TEST(EventStates, EveryEventMatchesTheRecordedOne) {
  struct Case {
    std::string get, erase;
  };
  const std::vector<Case> cases = {
      {Range(1, 40, 1), ""},
      {Range(40, 1, -1), Range(1, 40, 3)},
      {"50,25,75,10,90,95,5,1,60,61,62,63,30,31,32", "25,61,50,1,95"},
      {"7,3,7,3,7,1,9,2,8", "7,7,3"},
  };
  for (const Case& c : cases) {
    for (const bool erase : {false, true}) {
      if (erase && c.erase.empty()) continue;
      TreeTrace::TraceRecorder kept, thin({.MaxKeptEvents = 10, .SnapshotWork = 8});
      for (TreeTrace::TraceRecorder* r : {&kept, &thin}) {
        TreeTrace::Engine engine;
        TreeRec tree;
        TreeTrace::RunGetTree(engine, tree, c.get, erase ? nullptr : r);
        if (erase) TreeTrace::RunErase(engine, tree, c.erase, r);
      }
      SCOPED_TRACE(c.get + (erase ? " / erase " + c.erase : ""));
      for (std::size_t i = 0; i < kept.ValueCount(); ++i) {
        const auto events = kept.EventsOf(i);
        ASSERT_EQ(events.size(), thin.Step(i).EventCount);
        TreeRec previous = thin.TreeAfter(static_cast<std::ptrdiff_t>(i) - 1);
        for (std::size_t k = 0; k < events.size(); ++k) {
          const auto s = TreeTrace::StatesAt(thin, i, k);
          ASSERT_TRUE(s.Found);
          const auto& e = events[k];
          EXPECT_TRUE(s.Event.Type == e.Type && s.Event.Detail == e.Detail &&
                      s.Event.Value == e.Value && s.Event.Node == e.Node &&
                      s.Event.Other == e.Other && s.Event.Third == e.Third)
              << "value " << i << " event " << k;
          EXPECT_TRUE(Same(s.Before, previous)) << "value " << i << " event " << k;
          if (e.Type != EventType::Insert) {
            EXPECT_EQ(s.Before.Nodes[static_cast<std::size_t>(e.Node)].Data, e.Value);
          }
          previous = s.After;
        }
        EXPECT_TRUE(Same(previous, thin.TreeAfter(static_cast<std::ptrdiff_t>(i))));
        EXPECT_FALSE(TreeTrace::StatesAt(thin, i, events.size()).Found);
      }
    }
  }
}

TEST(EventStates, TheRRRotationAtThreeUnderInsertThirteen) {
  TreeTrace::TraceRecorder recorder;
  TreeTrace::Engine engine;
  TreeRec tree;
  TreeTrace::RunGetTree(engine, tree, Range(1, 15, 1), &recorder);
  ASSERT_EQ(recorder.Step(12).Value, 13);
  const auto events = recorder.EventsOf(12);
  std::size_t k = 0;
  while (k < events.size() &&
         !(events[k].Type == EventType::Rotate && events[k].Kind() == TreeCore::ChainKind::RR &&
           events[k].Value == 3))
    ++k;
  ASSERT_LT(k, events.size());
  const auto s = TreeTrace::StatesAt(recorder, 12, k);
  auto node = [](const TreeRec& t, std::int16_t v) {
    return t.Nodes[static_cast<std::size_t>(TreeCore::FindValue(t, v))];
  };
  auto data = [](const TreeRec& t, std::int32_t i) {
    return i < 0 ? -1 : t.Nodes[static_cast<std::size_t>(i)].Data;
  };
  EXPECT_EQ(data(s.Before, node(s.Before, 3).RightChild), 4);
  EXPECT_EQ(data(s.Before, node(s.Before, 4).RightChild), 5);
  EXPECT_EQ(data(s.After, node(s.After, 4).LeftChild), 3);
  EXPECT_EQ(data(s.After, node(s.After, 4).RightChild), 5);
}

}  // namespace
