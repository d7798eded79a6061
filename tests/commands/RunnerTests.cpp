// The one runner of Get Tree and Erase, on both trees: where an Erase stops,
// which values an observer hears, a replay resumed part way, and a cancel
// from within a value.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AvlTree.h"
#include "EngineState.h"
#include "Messages.h"
#include "RunTrees.h"
#include "Runner.h"

using TreeCommands::CommandKind;
using TreeCommands::EraseStop;
using TreeCommands::Runner;

namespace {

// Writes down what it hears: "+v" before a value, "v+" after it.
class Log final : public TreeCommands::RunObserver {
 public:
  std::string Heard;
  void BeforeValue(std::int16_t value) override {
    Heard += '+';
    Heard += std::to_string(value);
    Heard += ' ';
  }
  void AfterValue(std::int16_t value) override {
    Heard += std::to_string(value);
    Heard += "+ ";
  }
};

std::vector<std::int16_t> Preorder(const TreeCore::TreeRec& tree) {
  std::vector<std::int16_t> out;
  std::vector<std::int32_t> stack;
  if (tree.Exists) stack.push_back(tree.Root);
  while (!stack.empty()) {
    const TreeCore::NodeRec& n = tree.Nodes[static_cast<std::size_t>(stack.back())];
    stack.pop_back();
    out.push_back(n.Data);
    if (n.RightChild != -1) stack.push_back(n.RightChild);
    if (n.LeftChild != -1) stack.push_back(n.LeftChild);
  }
  return out;
}

struct EraseCase {
  const char* Name;
  std::vector<std::int16_t> Tree, Erase;
  EraseStop Stop;
  std::size_t Done;
  const char* Heard;  // by an observer of the watched run
};

}  // namespace

// Both trees stop an Erase alike, watched or not, and an observer hears only
// the values that ran; the scheme's tree ends as the AVL tree's values say.
TEST(RunnerTest, EraseStopsAtTheSameValueOnEitherTree) {
  const EraseCase cases[] = {
      {"all", {5, 3, 8}, {3, 8}, EraseStop::None, 2, "+3 3+ +8 8+ "},
      {"missing in the middle", {5, 3, 8}, {3, 99, 8}, EraseStop::Missing, 1, "+3 3+ "},
      {"missing first", {5, 3, 8}, {4}, EraseStop::Missing, 0, ""},
      {"past the last value", {5, 3, 8}, {5, 3, 8, 5}, EraseStop::Empty, 3, "+5 5+ +3 3+ +8 8+ "},
      {"no tree", {}, {1}, EraseStop::Empty, 0, ""},
      {"repeats", {4, 4, 4}, {4, 4, 4, 4}, EraseStop::Empty, 3, "+4 4+ +4 4+ +4 4+ "},
  };
  for (const EraseCase& c : cases) {
    for (const bool watched : {false, true}) {
      SCOPED_TRACE(std::string(c.Name) + (watched ? ", watched" : ""));
      TreeCore::EngineState engine;
      TreeCore::TreeRec tree;
      TreeCommands::SchemeTree scheme(engine, tree, TreeCommands::SchemeTree::Erasing::OneByOne);
      Avl::Tree avl;
      TreeCommands::AvlSide avlSide(avl);
      for (TreeCommands::RunTree* side : {static_cast<TreeCommands::RunTree*>(&scheme),
                                          static_cast<TreeCommands::RunTree*>(&avlSide)}) {
        Runner(CommandKind::Get, *side, c.Tree).Run();
        Log log;
        Runner erase(CommandKind::Erase, *side, c.Erase, watched ? &log : nullptr);
        erase.Run();
        EXPECT_EQ(erase.Stop(), c.Stop);
        EXPECT_EQ(erase.Done(), c.Done);
        EXPECT_FALSE(erase.Cancelled());
        EXPECT_EQ(log.Heard, watched ? c.Heard : "");
      }
      EXPECT_EQ(Preorder(tree).size(), avl.Size());
      EXPECT_EQ(avl.Validate(), "");
    }
  }
}

// Get Tree empties the tree first unless it resumes; resuming at value k of
// a list on the tree its first k values left gives the whole list's tree.
TEST(RunnerTest, GetTreeEmptiesFirstAndResumesWhereItWasLeft) {
  const std::vector<std::int16_t> list = {50, 20, 80, 10, 30, 25, 27, 26, 90, 95, 99};
  TreeCore::EngineState engine;
  TreeCore::TreeRec whole;
  TreeCommands::SchemeTree wholeSide(engine, whole);
  Runner(CommandKind::Get, wholeSide, std::vector<std::int16_t>{7, 8, 9}).Run();
  Log log;
  Runner(CommandKind::Get, wholeSide, list, &log).Run();
  EXPECT_EQ(Preorder(whole).size(), list.size());
  EXPECT_EQ(log.Heard.substr(0, 12), "+50 50+ +20 ");
  for (std::size_t k = 0; k <= list.size(); ++k) {
    SCOPED_TRACE(k);
    TreeCore::EngineState partEngine;
    TreeCore::TreeRec part;
    TreeCommands::SchemeTree partSide(partEngine, part);
    const std::span<const std::int16_t> values(list);
    Runner(CommandKind::Get, partSide, values.first(k)).Run();
    Runner resumed(CommandKind::Get, partSide, values, nullptr, k);
    EXPECT_EQ(resumed.Done(), k);
    resumed.Run();
    EXPECT_EQ(resumed.Done(), list.size());
    EXPECT_EQ(Preorder(part), Preorder(whole));
  }
}

namespace {

// Stops the work from within the fourth insertion, as the window's job does.
class CancelInside final : public TreeCore::TreeObserver {
 public:
  Runner* Work = nullptr;
  int Inserts = 0;
  void OnInsert(std::int16_t, std::int32_t) override {
    if (++Inserts == 4) {
      Work->Cancel();
      throw TreeCommands::RunCancelled{};
    }
  }
  void OnRotate(TreeCore::ChainKind, std::int32_t, std::int16_t) override {}
  void OnFixUp(bool, std::int32_t, std::int16_t) override {}
  void OnErase(std::int16_t, std::int32_t) override {}
};

}  // namespace

TEST(RunnerTest, ACancelFromWithinAValueEndsTheWorkAsCancelled) {
  TreeCore::EngineState engine;
  CancelInside cancel;
  engine.Observer = &cancel;
  TreeCore::TreeRec tree;
  TreeCommands::SchemeTree scheme(engine, tree);
  const std::vector<std::int16_t> list = {1, 2, 3, 4, 5, 6};
  Runner runner(CommandKind::Get, scheme, list);
  cancel.Work = &runner;
  EXPECT_TRUE(runner.RunUntil(std::chrono::steady_clock::time_point::max()));
  EXPECT_TRUE(runner.Cancelled());
  EXPECT_TRUE(runner.CancelRequested());
  EXPECT_EQ(runner.Done(), 3u);
}

// A list as typed: refused before the tree is touched, else run, with the
// message of an Erase's stop.
TEST(RunnerTest, RunListRefusesOrRunsWithTheCommandsMessages) {
  Avl::Tree avl;
  TreeCommands::AvlSide side(avl);
  struct Case {
    CommandKind Kind;
    const char* Text;
    bool Refused;
    std::string_view Message;
    std::size_t Size;  // of the tree after it
  } const cases[] = {
      {CommandKind::Get, "5,3,8,1", false, {}, 4},
      {CommandKind::Get, "", true, TreeCommands::Messages::GetTreeEmpty, 4},
      {CommandKind::Erase, "3,x", true, TreeCommands::Messages::NumbersOnly, 4},
      {CommandKind::Erase, "3,7,8", false, TreeCommands::Messages::NotInTree, 3},
      {CommandKind::Erase, "5,8,1,2", false, TreeCommands::Messages::TreeEmpty, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    const TreeCommands::RunOutcome outcome = TreeCommands::RunList(c.Kind, c.Text, side);
    EXPECT_EQ(outcome.Refused, c.Refused);
    EXPECT_EQ(outcome.Message, c.Message);
    EXPECT_EQ(avl.Size(), c.Size);
  }
}
