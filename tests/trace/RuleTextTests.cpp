// The Rules panel's text and the lines each kind of event, and each case of
// it, comes from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RuleText.h"
#include "TraceCommands.h"

namespace {

using TreeTrace::EventType;
using P = TreeTrace::RulePart;

TEST(RuleText, EveryPartIsListedOnceWithWords) {
  std::vector<int> seen(TreeTrace::RulePartCount, 0);
  for (const auto& section : TreeTrace::RuleSections())
    for (const auto& line : section.Lines) {
      ++seen[static_cast<std::size_t>(line.Part)];
      EXPECT_GT(std::string(line.Text).size(), 20u);
    }
  for (std::size_t p = 0; p < seen.size(); ++p) EXPECT_EQ(seen[p], 1) << "part " << p;
}

TEST(RuleText, EachEventMapsToItsPart) {
  struct Case {
    const char *get, *erase;
    EventType type;
    int value;  // the event's node's value
    std::vector<P> parts;
  } const cases[] = {
      {"5", "", EventType::Insert, 5, {P::InsertFirst}},
      {"5,3", "", EventType::Insert, 3, {P::InsertLink, P::InsertWalk}},
      {"50,25,75,10,90,95",
       "",
       EventType::Rotate,
       75,
       {P::RotateRR, P::CheckChain, P::RotateAfter}},
      {"50,25,75,10,90,80",
       "",
       EventType::Rotate,
       75,
       {P::RotateRL, P::CheckChain, P::RotateAfter}},
      {"50,25,75,10,60,55",
       "",
       EventType::Rotate,
       75,
       {P::RotateLL, P::CheckChain, P::RotateAfter}},
      {"50,25,75,10,60,65",
       "",
       EventType::Rotate,
       75,
       {P::RotateLR, P::CheckChain, P::RotateAfter}},
      {"1,2,3", "", EventType::FixUp, 1, {P::FixRight, P::CheckRoot}},
      {"3,2,1", "", EventType::FixUp, 3, {P::FixLeft, P::CheckRoot}},
      {"4,7,8,1,6,5,2,3", "", EventType::FixUp, 1, {P::FixRight, P::CheckWalk}},
      {"4,2,1,6,3,5",
       "",
       EventType::FixUp,
       2,
       {P::FixRight, P::CheckRoot, P::LiftStep, P::LiftAfter}},
      {"5,6,3,2,4,1",
       "",
       EventType::FixUp,
       5,
       {P::FixLeft, P::CheckRoot, P::LiftStep, P::LiftAfter}},
      {"2,1,3", "2", EventType::FixUp, 2, {P::FixRight, P::EraseTwoChildren, P::Parked}},
      {"10,5,20,15,25",
       "10",
       EventType::FixUp,
       10,
       {P::FixRight, P::EraseTwoChildren, P::Parked, P::LiftStep, P::LiftAfter}},
      {"5,3,8", "5", EventType::Erase, 5, {P::EraseTwoChildren, P::EraseFind}},
      {"5,3,8", "3", EventType::Erase, 3, {P::EraseLeaf, P::EraseFind}},
      {"5,3", "5", EventType::Erase, 5, {P::EraseOneChild, P::EraseFind}},
      {"5", "5", EventType::Erase, 5, {P::EraseLast, P::EraseFind}},
  };
  for (const Case& c : cases) {
    TreeTrace::TraceRecorder recorder;
    TreeTrace::Engine engine;
    TreeCore::TreeRec tree;
    const bool erase = *c.erase != '\0';
    TreeTrace::RunGetTree(engine, tree, c.get, erase ? nullptr : &recorder);
    if (erase) TreeTrace::RunErase(engine, tree, c.erase, &recorder);
    bool found = false;
    for (std::size_t i = 0; i < recorder.ValueCount() && !found; ++i) {
      const auto events = recorder.EventsOf(i);
      for (std::size_t k = 0; k < events.size() && !found; ++k) {
        if (events[k].Type != c.type || events[k].Value != c.value) continue;
        found = true;
        const auto states = TreeTrace::StatesAt(recorder, i, k);
        const auto reason = TreeTrace::ExplainEvent(recorder, i, states);
        EXPECT_EQ(TreeTrace::EventRuleParts(recorder, i, states, reason), c.parts)
            << c.get << " / " << c.erase;
      }
    }
    EXPECT_TRUE(found) << c.get << " / " << c.erase;
  }
  EXPECT_EQ(TreeTrace::ValueRuleParts(TreeTrace::CommandKind::Get), std::vector<P>{P::InsertWalk});
  EXPECT_EQ(TreeTrace::ValueRuleParts(TreeTrace::CommandKind::Erase), std::vector<P>{P::EraseFind});
}

}  // namespace
