#include <gtest/gtest.h>

#include <random>

#include "ListParse.h"
#include "Messages.h"
#include "PracticeChecker.h"
#include "ReadyLists.h"
#include "TraceCommands.h"
#include "TraceJson.h"

namespace {

using namespace Practice;
using TreeCommands::CommandKind;

// The model's steps of one command, read straight off a recorder of its own.
std::vector<Step> ModelSteps(const TreeTrace::TraceRecorder& r,
                             const std::vector<std::int16_t>& list, const std::string& stop) {
  std::vector<Step> steps;
  for (std::size_t i = 0; i < r.ValueCount(); ++i) {
    const TreeTrace::ValueStep& vs = r.Step(i);
    for (const TreeTrace::StepEvent& e : r.EventsOf(i)) {
      Step s;
      s.Value = e.Value;
      s.Node = e.Node;
      s.Kind = e.Type == TreeTrace::EventType::Insert   ? StepKind::Insert
               : e.Type == TreeTrace::EventType::Rotate ? StepKind::Rotate
               : e.Type == TreeTrace::EventType::FixUp  ? StepKind::FixUp
                                                        : StepKind::Erase;
      s.Chain = e.Kind();
      s.Right = s.Kind == StepKind::Insert ? vs.RightOfParent : e.RightHeavy();
      if (s.Kind == StepKind::Insert) s.Parent = vs.HasParent ? vs.ParentNode : -1;
      steps.push_back(s);
    }
    Step done;
    done.Value = vs.Value;
    steps.push_back(done);
  }
  if (!stop.empty()) {
    Step missing;
    missing.Kind = StepKind::Missing;
    missing.Value = list[r.ValueCount()];
    missing.Message = stop;
    steps.push_back(missing);
  }
  return steps;
}

// An answer that the level must refuse: one thing it asks for, changed.
Answer WrongAnswer(const Step& s, Level level, std::mt19937& rng) {
  Answer a = ModelAnswer(s);
  std::vector<int> ways{0};  // another event
  if (s.Kind == StepKind::Rotate) ways.push_back(1);
  if (s.Kind == StepKind::FixUp) ways.push_back(2);
  if (level >= Level::Node && a.Node) ways.push_back(3);
  if (level == Level::Place && s.Kind == StepKind::Insert) ways.push_back(4);
  switch (ways[TreeCommands::DrawBelow(rng, static_cast<std::uint32_t>(ways.size()))]) {
    case 0: {
      const auto other =
          static_cast<StepKind>((static_cast<int>(s.Kind) + 1 + TreeCommands::DrawBelow(rng, 5)) % 6);
      Answer b;
      b.Kind = other;
      b.Chain = TreeCore::ChainKind::LR;
      b.Right = true;
      b.Node = 0;
      b.Parent = 0;
      return b;
    }
    case 1:
      a.Chain = static_cast<TreeCore::ChainKind>((static_cast<int>(s.Chain) + 1) % 4);
      return a;
    case 2:
      a.Right = !s.Right;
      return a;
    case 3:
      a.Node = *a.Node + 1;
      return a;
    default:
      a.Parent = s.Parent + 1;
      a.Right = a.Parent != -1 && !s.Right;
      return a;
  }
}

bool SameStep(const Step& a, const Step& b) {
  return a.Kind == b.Kind && a.Value == b.Value && a.Message == b.Message &&
         (a.Kind == StepKind::Balanced || a.Kind == StepKind::Missing || a.Node == b.Node) &&
         (a.Kind != StepKind::Rotate || a.Chain == b.Chain) &&
         (a.Kind != StepKind::FixUp || a.Right == b.Right) &&
         (a.Kind != StepKind::Insert || (a.Parent == b.Parent && a.Right == b.Right));
}

// Random Get Tree and Erase streams with duplicates, missing values, and
// removals of nodes with two children: at every level, every model answer
// is accepted, a changed one refused with the model as `expected`, and the
// score counts both.
TEST(CheckerTest, RandomStreamsAgainstTheRecordedEvents) {
  std::size_t wrongs = 0, twoChildRemovals = 0, missing = 0;
  for (std::uint32_t seed = 1; seed <= 60; ++seed) {
    std::mt19937 rng(seed);
    const auto draw = [&](int low, int high) {
      return low +
             static_cast<int>(TreeCommands::DrawBelow(rng, static_cast<std::uint32_t>(high - low + 1)));
    };
    std::vector<std::pair<CommandKind, std::vector<std::int16_t>>> stream;
    std::vector<std::int16_t> get;
    for (int n = draw(1, 40); n > 0; --n) get.push_back(static_cast<std::int16_t>(draw(-15, 15)));
    stream.push_back({CommandKind::Get, get});
    for (int c = draw(1, 4); c > 0; --c) {
      std::vector<std::int16_t> erase;
      for (int n = draw(1, 5); n > 0; --n)
        erase.push_back(static_cast<std::int16_t>(draw(-16, 16)));
      stream.push_back({CommandKind::Erase, erase});
    }
    for (const Level level : {Level::Event, Level::Node, Level::Place}) {
      TreeTrace::Engine engine, modelEngine;
      TreeCore::TreeRec tree, modelTree;
      Checker checker;
      for (const auto& [kind, list] : stream) {
        const std::string text = TreeCommands::ListText(list);
        TreeTrace::TraceRecorder model;
        const std::string stop = kind == CommandKind::Get
                                     ? TreeTrace::RunGetTree(modelEngine, modelTree, text, &model)
                                     : TreeTrace::RunErase(modelEngine, modelTree, text, &model);
        const std::vector<Step> steps = ModelSteps(model, list, stop);
        ASSERT_EQ(checker.Begin(kind, text, 0, engine, tree), "");
        std::uint64_t wrong = 0;
        for (std::size_t k = 0; k < steps.size(); ++k) {
          ASSERT_TRUE(checker.Active()) << "seed " << seed << " step " << k;
          if (steps[k].Kind == StepKind::FixUp && k > 0 && steps[k - 1].Kind == StepKind::Erase)
            ++twoChildRemovals;
          if (steps[k].Kind == StepKind::Missing) ++missing;
          // The table the step meets is the one the steps window shows before it.
          if (level == Level::Event && steps[k].Kind != StepKind::Missing) {
            const std::size_t value = checker.CurrentValue();
            std::size_t first = k;
            while (first > 0 && steps[first - 1].Kind != StepKind::Balanced) --first;
            const std::string want =
                steps[k].Kind == StepKind::Balanced
                    ? TreeTrace::StateLine(model.TreeAfter(static_cast<std::ptrdiff_t>(value)))
                    : TreeTrace::StateLine(TreeTrace::StatesAt(model, value, k - first).Before);
            EXPECT_EQ(TreeTrace::StateLine(checker.TreeNow()), want)
                << "seed " << seed << " step " << k;
          }
          if (draw(0, 2) == 0) {
            const Verdict no = checker.Check(WrongAnswer(steps[k], level, rng), level);
            ASSERT_FALSE(no.Right) << "seed " << seed << " step " << k;
            EXPECT_TRUE(SameStep(no.Expected, steps[k])) << "seed " << seed << " step " << k;
            EXPECT_FALSE(no.Why.empty());
            ++wrong;
          }
          const Verdict yes = checker.Check(ModelAnswer(steps[k]), level);
          ASSERT_TRUE(yes.Right) << "seed " << seed << " step " << k << " level "
                                 << static_cast<int>(level);
        }
        EXPECT_FALSE(checker.Active());
        const Score score = checker.Finish();
        EXPECT_EQ(score.Steps, steps.size());
        EXPECT_EQ(score.FirstTry, steps.size() - wrong);
        EXPECT_EQ(score.Tries, steps.size() + wrong);
        EXPECT_EQ(score.Unanswered, 0u);
        wrongs += wrong;
        EXPECT_EQ(tree.Count, modelTree.Count);
      }
    }
  }
  // The streams reach the cases they are for.
  EXPECT_GT(wrongs, 100u);
  EXPECT_GT(twoChildRemovals, 10u);
  EXPECT_GT(missing, 10u);
}

// The words that explain a wrong answer, from the rule and the heights.
TEST(CheckerTest, WhyAWrongAnswerIsWrong) {
  const auto A = [](StepKind kind, std::optional<std::int32_t> node = {},
                    std::optional<bool> right = {}, std::optional<std::int32_t> parent = {}) {
    Answer a;
    a.Kind = kind;
    a.Node = node;
    a.Right = right;
    a.Parent = parent;
    if (kind == StepKind::Rotate) a.Chain = TreeCore::ChainKind::RR;
    return a;
  };
  struct Case {
    const char* list;  // Get Tree, asked from its last value
    std::size_t skip;  // steps of that value answered first
    Level level;
    Answer answer;
    const char* why;  // the start of the words
  };
  const Case cases[] = {
      {"5,3,8", 1, Level::Node, A(StepKind::FixUp, 0, true),
       "At 5: left 1, right 1, no fix-up here."},
      {"3,1,4,5", 1, Level::Node, A(StepKind::Rotate, 0),
       "3, 4, 5 is not a chain here: 3 has two children."},
      {"8,4,9", 0, Level::Place, A(StepKind::Insert, {}, true, 1),
       "The value goes right of 8, it is larger."},
      {"8,4,4", 0, Level::Place, A(StepKind::Insert, {}, true, 1),
       "The value goes left of 4, it is equal, and equal values go left."},
      {"8,4,6", 0, Level::Place, A(StepKind::Insert, {}, true, 0),
       "The value goes left of 8, it is smaller, and 8 has a left child already."},
      // Nothing more fires, though 8's sides differ by two: the words say the
      // scheme may leave it so, never that it must be fixed.
      {"1,2,3,4,5,8,6,7", 3, Level::Node, A(StepKind::FixUp, 5, false),
       "At 8: left 2, right 0, but the balance check does not reach 8"},
      {"1,2,3,4,5,8,6,7", 3, Level::Event, A(StepKind::FixUp, {}, false),
       "Nothing more fires for 7"},
      {"1,2,3", 1, Level::Event, A(StepKind::Balanced), "Something still fires for 3"},
  };
  for (const Case& c : cases) {
    TreeTrace::Engine engine;
    TreeCore::TreeRec tree;
    Checker checker;
    const auto values = TreeCommands::ParseList(c.list);
    ASSERT_EQ(checker.Begin(CommandKind::Get, c.list, values->size() - 1, engine, tree), "");
    for (std::size_t k = 0; k < c.skip; ++k) checker.Show();
    const Verdict v = checker.Check(c.answer, c.level);
    ASSERT_FALSE(v.Right) << c.list;
    EXPECT_EQ(v.Why.substr(0, std::string(c.why).size()), c.why) << c.list << ": " << v.Why;
    if (std::string(c.list) == "1,2,3,4,5,8,6,7") {
      EXPECT_EQ(v.Expected.Kind, StepKind::Balanced);
      EXPECT_NE(v.Why.find("may leave a node two apart"), std::string::npos) << v.Why;
    }
  }
}

// A removal's fix-up is explained by its own rule; a value Erase cannot find
// stops it, with the window's message; an empty tree too.
TEST(CheckerTest, RemovalAndMissing) {
  TreeTrace::Engine engine;
  TreeCore::TreeRec tree;
  Checker checker;
  ASSERT_EQ(checker.Begin(CommandKind::Get, "2,1,3", 3, engine, tree), "");
  EXPECT_FALSE(checker.Active());
  ASSERT_EQ(checker.Begin(CommandKind::Erase, "2,7", 0, engine, tree), "");
  EXPECT_TRUE(checker.Check(ModelAnswer(checker.Current()), Level::Node).Right);
  Answer left;
  left.Kind = StepKind::FixUp;
  left.Right = false;
  const Verdict v = checker.Check(left, Level::Event);
  EXPECT_TRUE(v.Expected.Removal && v.Expected.Right);
  EXPECT_NE(v.Why.find("A node with two children is removed by a fix-up toward its taller side"),
            std::string::npos)
      << v.Why;
  EXPECT_EQ(v.Why.find("heavy"), std::string::npos) << v.Why;
  checker.Show();
  checker.Show();
  ASSERT_EQ(checker.Current().Kind, StepKind::Missing);
  EXPECT_EQ(checker.Current().Message, TreeCommands::Messages::NotInTree);
  Answer balanced;
  EXPECT_FALSE(checker.Check(balanced, Level::Event).Right);
  EXPECT_TRUE(checker.Show().Right);
  EXPECT_FALSE(checker.Active());
  ASSERT_EQ(checker.Begin(CommandKind::Erase, "1,3,5", 0, engine, tree), "");
  for (int k = 0; k < 4; ++k) checker.Show();  // 1 and 3 go
  ASSERT_TRUE(checker.Active());
  EXPECT_EQ(checker.Current().Message, TreeCommands::Messages::TreeEmpty);
  // A refused list leaves the command in progress and the tree alone.
  EXPECT_EQ(checker.Begin(CommandKind::Erase, "x", 0, engine, tree),
            TreeCommands::Messages::NumbersOnly);
  EXPECT_TRUE(checker.Active());
  EXPECT_EQ(checker.Finish().Unanswered, 1u);
}

}  // namespace
