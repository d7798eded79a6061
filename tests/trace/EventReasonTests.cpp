// The reason shown for an event and its nodes' roles, read off the tree before it, on
// the four rotations and both fix-ups, with and without the lift step.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EventReason.h"
#include "TraceCommands.h"
#include "TraceTestSupport.h"

namespace {

using TreeTrace::EventType;
using TreeTrace::Role;

TEST(EventReason, FactsOfRotationsFixUpsAndRemovals) {
  struct Case {
    const char *get, *erase;
    EventType type;
    const char* facts;
  } const cases[] = {
      {"50,25,75,10,90,95", "", EventType::Rotate,
       "Chain 75, 90, 95: 90 is the only child of 75 (right), 95 the only child of 90 (right), "
       "and 95 has none: RR. Heights: 75 left 0, right 2; 90 left 0, right 1; 95 left 0, right 0."},
      {"50,25,75,10,60,55", "", EventType::Rotate,
       "Chain 75, 60, 55: 60 is the only child of 75 (left), 55 the only child of 60 (left), and "
       "55 has none: LL. Heights: 75 left 2, right 0; 60 left 1, right 0; 55 left 0, right 0."},
      {"50,25,75,10,90,80", "", EventType::Rotate,
       "Chain 75, 90, 80: 90 is the only child of 75 "
       "(right), 80 the only child of 90 (left), and 80 has none: RL. Heights: 75 left 0, right 2;"
       " 90 left 1, right 0; 80 left 0, right 0."},
      {"50,25,75,10,60,65", "", EventType::Rotate,
       "Chain 75, 60, 65: 60 is the only child of 75 "
       "(left), 65 the only child of 60 (right), and 65 has none: LR. Heights: 75 left 2, right 0;"
       " 60 left 0, right 1; 65 left 0, right 0."},
      {"1,2,3", "", EventType::FixUp,
       "At 1: right 2, left 0: right-heavy by 2. Its successor 2 "
       "is its own right child and moves up with its right subtree."},
      {"3,2,1", "", EventType::FixUp,
       "At 3: left 2, right 0: left-heavy by 2. Its predecessor 2 "
       "is its own left child and moves up with its left subtree."},
      {"10,5,20,15,25", "10", EventType::FixUp,
       "Erasing 10, which has two children: right 2, "
       "left 1: right-heavy by 1. Its successor 15 hangs left of 20. 15 is a leaf and 20 keeps "
       "only its right side, so the lift step runs: 25 takes 20's place and 20 goes below 25."},
      {"2,1,3", "2", EventType::FixUp,
       "Erasing 2, which has two children: right 1, left 1: a "
       "tie, and a tie goes right-heavy. Its successor 3 is its own right child and moves up "
       "with its right subtree."},
      {"5,3,8", "5", EventType::Erase,
       "5 has two children, 3 and 8: the heavy-side fix-up "
       "parks it as a leaf, then it is cut off."},
  };
  for (const Case& c : cases) {
    const TraceTest::FirstEvent run(c.get, c.erase, c.type);
    ASSERT_TRUE(run.Found) << c.get;
    const auto reason = TreeTrace::ExplainEvent(run.Recorder, run.Value, run.States);
    EXPECT_EQ(reason.Facts, c.facts) << c.get;
    EXPECT_FALSE(reason.Rule.empty());
    // The roles before the event, by slot: the top (or node), the chain or the
    // neighbour, the new top, and the lift step's two nodes.
    const auto& e = run.States.Event;
    std::vector<std::pair<std::int32_t, Role>> want{{e.Node, Role::Subject}};
    if (c.type == EventType::Rotate)
      want.insert(want.end(),
                  {{e.Other, Role::Middle},
                   {e.Third, Role::Bottom},
                   {e.NewTopValue() == e.OtherValue ? e.Other : e.Third, Role::NewTop}});
    if (c.type == EventType::FixUp) want.push_back({e.Other, Role::Neighbour});
    for (const std::int16_t v : {20, 25})
      if (reason.Lift) want.push_back({TreeCore::FindValue(run.States.Before, v), Role::Lift});
    std::vector<std::pair<std::int32_t, Role>> got;
    for (const auto& m : TreeTrace::EventRoles(e, reason, run.States.Before))
      got.push_back({m.Node, m.Role});
    std::sort(want.begin(), want.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, want) << c.get;
  }
}

// A predicted lift step is the one the engine takes: right after the fix-up
// starts changing the table, b hangs below k; without one, it does not.
TEST(EventReason, TheLiftStepIsPredictedExactly) {
  int lifts = 0, others = 0;
  for (const char* list : {"1,2,4,3,6,5", "1,2,3,4,5,7,6,8,9", "3,13,4,1,5,7,8,12,16,6,11,9,10",
                           "16,4,14,2,10,1,5,9", "15,14,13,12,11,10,9,8,7,6,5,4,3,2,1"}) {
    TreeTrace::TraceRecorder recorder;
    TreeTrace::Engine engine;
    TreeCore::TreeRec tree;
    TreeTrace::RunGetTree(engine, tree, list, &recorder);
    for (std::size_t i = 0; i < recorder.ValueCount(); ++i)
      for (std::size_t k = 0; k < recorder.Step(i).EventCount; ++k) {
        const auto s = TreeTrace::StatesAt(recorder, i, k);
        if (s.Event.Type != EventType::FixUp || s.Event.Other < 0) continue;
        const auto r = TreeTrace::ExplainEvent(recorder, i, s);
        const auto& b = s.Before.Nodes[static_cast<std::size_t>(
            s.Before.Nodes[static_cast<std::size_t>(s.Event.Other)].Parent)];
        const auto bAfter = TreeCore::FindValue(s.After, b.Data);
        const auto parent = s.After.Nodes[static_cast<std::size_t>(bAfter)].Parent;
        const bool below = parent >= 0 && s.After.Nodes[static_cast<std::size_t>(parent)].Data ==
                                              (r.Lift ? r.LiftTargetValue : -99);
        EXPECT_EQ(below, r.Lift) << list << " value " << i << " event " << k;
        (r.Lift ? lifts : others)++;
      }
  }
  EXPECT_GT(lifts, 0);
  EXPECT_GT(others, 0);
}

}  // namespace
