// The steps handout's plan: events numbered across values, the range of a
// scope and when it is asked about, and a run of states rebuilt at once.
#include <gtest/gtest.h>

#include <string>

#include "HandoutPlan.h"
#include "TraceCommands.h"
#include "TraceTestSupport.h"

namespace {

using TreeTrace::EventRange;
using TreeTrace::HandoutScope;

// Get Tree 1..n, recorded.
void Record(int n, TreeTrace::TraceRecorder& recorder) {
  std::string list = "1";
  for (int i = 2; i <= n; ++i) list.append(",").append(std::to_string(i));
  TreeTrace::Engine engine;
  TreeCore::TreeRec tree;
  TreeTrace::RunGetTree(engine, tree, list, &recorder);
}

TEST(HandoutPlan, ScopesAndTheRangeAskedFor) {
  TreeTrace::TraceRecorder small, large;
  Record(15, small);
  Record(300, large);
  const TreeTrace::EventNumbering few(small), many(large);
  ASSERT_LE(few.Total(), TreeTrace::MaxPagesUnasked);
  ASSERT_GT(many.Total(), TreeTrace::MaxPagesUnasked);
  struct Case {
    const TreeTrace::EventNumbering* events;
    HandoutScope scope;
    std::size_t selected;
    EventRange want;
    bool ask;
  } const cases[] = {
      {&few, HandoutScope::SelectedValue, 12, {few.FirstOf(12), few.CountOf(12)}, false},
      {&many, HandoutScope::SelectedValue, 299, {many.FirstOf(299), many.CountOf(299)}, false},
      {&many, HandoutScope::WholeCommand, 299, {0, many.Total()}, true},
  };
  for (const Case& c : cases) {
    const TreeTrace::HandoutPlan plan = TreeTrace::PlanHandout(*c.events, c.scope, c.selected);
    EXPECT_EQ(plan.Scope, c.want);
    EXPECT_EQ(plan.AskRange, c.ask);
    // The selected value is what is offered.
    EXPECT_EQ(plan.Suggested,
              (EventRange{c.events->FirstOf(c.selected), c.events->CountOf(c.selected)}));
  }
  // A value of more than 500 events is offered in its first 500.
  TreeTrace::TraceRecorder deep;
  {
    std::string list = "1500";
    for (int v = 1499; v >= 1; --v) list.append(",").append(std::to_string(v));
    TreeTrace::Engine engine;
    TreeCore::TreeRec tree;
    TreeTrace::RunGetTree(engine, tree, list, &deep);
  }
  const TreeTrace::EventNumbering steep(deep);
  std::size_t most = 0;
  for (std::size_t i = 1; i < deep.ValueCount(); ++i)
    if (steep.CountOf(i) > steep.CountOf(most)) most = i;
  ASSERT_GT(steep.CountOf(most), TreeTrace::MaxPagesUnasked);
  const auto capped = TreeTrace::PlanHandout(steep, HandoutScope::SelectedValue, most);
  EXPECT_TRUE(capped.AskRange);
  EXPECT_EQ(capped.Suggested, (EventRange{steep.FirstOf(most), TreeTrace::MaxPagesUnasked}));

  const auto plan = TreeTrace::PlanHandout(many, HandoutScope::WholeCommand, 0);
  const std::uint64_t total = many.Total();
  EXPECT_EQ(TreeTrace::ChosenRange(plan, 1, 500), (EventRange{0, 500}));
  EXPECT_EQ(TreeTrace::ChosenRange(plan, 20, 11), (EventRange{10, 10}));
  EXPECT_EQ(TreeTrace::ChosenRange(plan, total - 1, total + 50), (EventRange{total - 2, 2}));
  EXPECT_EQ(TreeTrace::ChosenRange(plan, 0, 0), EventRange{});
}

TEST(HandoutPlan, ARunOfStatesIsWhatEachEventGivesAlone) {
  TreeTrace::TraceRecorder r, erased;
  Record(15, r);
  {
    TreeTrace::Engine engine;
    TreeCore::TreeRec tree;
    TreeTrace::RunGetTree(engine, tree, "10,5,20,15,25,3", nullptr);
    TreeTrace::RunErase(engine, tree, "10,3", &erased);
  }
  struct Case {
    const TreeTrace::TraceRecorder* recorder;
    std::size_t value, first, count;
  } const cases[] = {
      {&r, 12, 0, 99}, {&r, 12, 2, 2}, {&r, 14, 1, 5}, {&erased, 0, 0, 9}, {&erased, 1, 0, 9}};
  for (const Case& c : cases) {
    // Numbered across the command, each event is found again.
    const TreeTrace::EventNumbering numbering(*c.recorder);
    EXPECT_EQ(numbering.At(numbering.FirstOf(c.value) + c.first),
              (TreeTrace::EventPosition{c.value, c.first}));
    const auto run = TreeTrace::StatesOfRun(*c.recorder, c.value, c.first, c.count);
    const std::size_t events = c.recorder->Step(c.value).EventCount;
    ASSERT_EQ(run.size(), std::min(c.count, events - c.first)) << c.value;
    for (std::size_t k = 0; k < run.size(); ++k) {
      const auto alone = TreeTrace::StatesAt(*c.recorder, c.value, c.first + k);
      EXPECT_EQ(run[k].Event.Node, alone.Event.Node);
      EXPECT_TRUE(TraceTest::SameTree(run[k].Before, alone.Before)) << c.value << ":" << k;
      EXPECT_TRUE(TraceTest::SameTree(run[k].After, alone.After)) << c.value << ":" << k;
    }
  }
}

}  // namespace
