// The Rules panel's text and the lines each kind of event, and each case of
// it, comes from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RuleText.h"
#include "TraceCommands.h"
#include "TraceTestSupport.h"

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
    std::vector<P> parts;
  } const cases[] = {
      {"5", "", EventType::Insert, {P::InsertFirst}},
      {"5,3", "", EventType::Insert, {P::InsertLink, P::InsertWalk}},
      {"50,25,75,10,90,95", "", EventType::Rotate, {P::RotateRR, P::CheckChain, P::RotateAfter}},
      {"50,25,75,10,90,80", "", EventType::Rotate, {P::RotateRL, P::CheckChain, P::RotateAfter}},
      {"50,25,75,10,60,55", "", EventType::Rotate, {P::RotateLL, P::CheckChain, P::RotateAfter}},
      {"50,25,75,10,60,65", "", EventType::Rotate, {P::RotateLR, P::CheckChain, P::RotateAfter}},
      {"1,2,3", "", EventType::FixUp, {P::FixRight, P::CheckRoot}},
      {"3,2,1", "", EventType::FixUp, {P::FixLeft, P::CheckRoot}},
      {"10,9,1,6,7,5,4,8,2,3", "", EventType::FixUp, {P::FixRight, P::CheckWalk}},
      {"4,2,1,6,3,5", "", EventType::FixUp, {P::FixRight, P::CheckRoot, P::LiftStep, P::LiftAfter}},
      {"5,6,3,2,4,1", "", EventType::FixUp, {P::FixLeft, P::CheckRoot, P::LiftStep, P::LiftAfter}},
      {"2,1,3", "2", EventType::FixUp, {P::FixRight, P::EraseTwoChildren, P::Parked}},
      {"10,5,20,15,25",
       "10",
       EventType::FixUp,
       {P::FixRight, P::EraseTwoChildren, P::Parked, P::LiftStep, P::LiftAfter}},
      {"5,3,8", "5", EventType::Erase, {P::EraseTwoChildren, P::EraseFind}},
      {"5,3,8", "3", EventType::Erase, {P::EraseLeaf, P::EraseFind}},
      {"5,3", "5", EventType::Erase, {P::EraseOneChild, P::EraseFind}},
      {"5", "5", EventType::Erase, {P::EraseLast, P::EraseFind}},
  };
  for (const Case& c : cases) {
    const TraceTest::FirstEvent run(c.get, c.erase, c.type);
    ASSERT_TRUE(run.Found) << c.get;
    const auto reason = TreeTrace::ExplainEvent(run.Recorder, run.Value, run.States);
    EXPECT_EQ(TreeTrace::EventRuleParts(run.Recorder, run.Value, run.States, reason), c.parts)
        << c.get << " / " << c.erase;
  }
  EXPECT_EQ(TreeTrace::ValueRuleParts(TreeTrace::CommandKind::Get), std::vector<P>{P::InsertWalk});
  EXPECT_EQ(TreeTrace::ValueRuleParts(TreeTrace::CommandKind::Erase), std::vector<P>{P::EraseFind});
}

}  // namespace
