// The commands' engine work as a job: the same tree as the engine's own calls
// on the window's tree, the same place to stop, and a prompt stop on cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <random>
#include <thread>

#include "TreeChecker.h"
#include "TreeCore.h"
#include "TreeJob.h"

using TreeCommands::EraseStop;
using TreeCommands::TreeJob;
using TreeCore::TreeRec;

namespace {

class TreeJobTest : public ::testing::Test {
 protected:
  void SetUp() override { TreeCore::ResetModuleState(); }
  void TearDown() override { TreeCore::ResetModuleState(); }
};

void ExpectSameTree(const TreeRec& a, const TreeRec& b) {
  EXPECT_EQ(a.Exists, b.Exists);
  EXPECT_EQ(a.Root, b.Root);
  EXPECT_EQ(a.Count, b.Count);
  EXPECT_EQ(a.Height, b.Height);
  EXPECT_EQ(a.TreeLeftHeight, b.TreeLeftHeight);
  EXPECT_EQ(a.TreeRightHeight, b.TreeRightHeight);
  ASSERT_EQ(a.Nodes.size(), b.Nodes.size());
  for (std::size_t i = 0; i < a.Nodes.size(); ++i) {
    const TreeCore::NodeRec& x = a.Nodes[i];
    const TreeCore::NodeRec& y = b.Nodes[i];
    const bool same = x.Data == y.Data && x.Kind == y.Kind && x.Level == y.Level &&
                      x.LeftHeight == y.LeftHeight && x.RightHeight == y.RightHeight &&
                      x.Parent == y.Parent && x.LeftChild == y.LeftChild &&
                      x.RightChild == y.RightChild && x.ControlIndex == y.ControlIndex &&
                      x.Description.view() == y.Description.view();
    ASSERT_TRUE(same) << "node " << i << " differs";
  }
}

std::vector<std::int16_t> Values(int count, int order, unsigned seed) {
  std::vector<std::int16_t> v(static_cast<std::size_t>(count));
  std::iota(v.begin(), v.end(), static_cast<std::int16_t>(-count / 2));
  if (order < 0) std::reverse(v.begin(), v.end());
  if (order == 0) std::shuffle(v.begin(), v.end(), std::mt19937(seed));
  return v;
}

// Get Tree as the window did it on its own tree: reset, then every value.
TreeRec BuildInPlace(TreeRec tree, const std::vector<std::int16_t>& values) {
  TreeCore::ResetTree(tree, false);
  for (std::int16_t v : values) TreeCore::InsertValue(tree, v);
  return tree;
}

struct BuildCase {
  const char* Name;
  std::vector<std::int16_t> Previous;  // the tree before the command
  std::vector<std::int16_t> Values;
};

}  // namespace

// Whatever the tree before it, a Get Tree job gives the record that resetting
// the window's tree and inserting in place gives, fields the reset keeps included.
TEST_F(TreeJobTest, BuildGivesTheTreeOfResetAndInsert) {
  const BuildCase cases[] = {
      {"first tree", {}, {5, 3, 8}},
      {"after a taller tree", Values(200, 1, 0), {5, 3, 8}},
      {"after a tree, one value", Values(50, 0, 3), {7}},
      {"ascending", {}, Values(1500, 1, 0)},
      {"descending", Values(20, 0, 1), Values(1500, -1, 0)},
      {"random with repeats", {1, 2}, {4, 4, 4, 9, -3, 4, 9, 32767, -32768, 0, 0}},
  };
  for (const BuildCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TreeRec previous;
    TreeCore::ResetTree(previous, false);
    for (std::int16_t v : c.Previous) TreeCore::InsertValue(previous, v);

    TreeJob job = TreeJob::Build(previous, c.Values);
    job.Run();
    EXPECT_FALSE(job.Cancelled());
    EXPECT_EQ(job.Done(), c.Values.size());
    EXPECT_EQ(job.Stop(), EraseStop::None);
    ExpectSameTree(job.Tree(), BuildInPlace(previous, c.Values));
    EXPECT_EQ(TreeCheck::Violation(job.Tree()), "");
    // The line breaks the insertions gave the default engine reach it too.
    TreeCore::EngineState window;
    job.HandOver(window);
    EXPECT_EQ(window.LineBreak, TreeCore::LineBreak);
    EXPECT_EQ(window.DoubleLineBreak, TreeCore::DoubleLineBreak);
    EXPECT_EQ(window.LineBreak, "\r\n");
  }
}

namespace {

struct EraseCase {
  const char* Name;
  std::vector<std::int16_t> Tree;
  std::vector<std::int16_t> Erase;
  EraseStop Stop;
  std::size_t Erased;
};

}  // namespace

// The Erase loop: values before a refusal stay erased, later ones are not
// looked at; the job's tree is the one the loop on the window's tree gave.
TEST_F(TreeJobTest, EraseStopsWhereTheCommandStops) {
  const std::vector<std::int16_t> many = Values(3000, 0, 7);
  std::vector<std::int16_t> manyErase = many;
  std::shuffle(manyErase.begin(), manyErase.end(), std::mt19937(8));
  std::vector<std::int16_t> halfThenMissing(manyErase.begin(), manyErase.begin() + 1500);
  halfThenMissing.push_back(31000);
  halfThenMissing.push_back(manyErase[2000]);
  const EraseCase cases[] = {
      {"one", {5, 3, 8}, {3}, EraseStop::None, 1},
      {"missing in the middle", {5, 3, 8}, {3, 99, 8}, EraseStop::Missing, 1},
      {"missing first", {5, 3, 8}, {4}, EraseStop::Missing, 0},
      {"everything then more", {5, 3, 8}, {5, 3, 8, 5}, EraseStop::Empty, 3},
      {"empty tree", {}, {1}, EraseStop::Empty, 0},
      {"repeated value", {4, 4, 4}, {4, 4, 4, 4}, EraseStop::Empty, 3},
      {"all of many", many, manyErase, EraseStop::None, many.size()},
      {"half of many, then missing", many, halfThenMissing, EraseStop::Missing, 1500},
  };
  for (const EraseCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TreeRec tree;
    TreeCore::ResetTree(tree, false);
    for (std::int16_t v : c.Tree) TreeCore::InsertValue(tree, v);

    TreeJob job = TreeJob::Erase(tree, c.Erase);
    job.Run();
    EXPECT_FALSE(job.Cancelled());
    EXPECT_EQ(job.Stop(), c.Stop);
    EXPECT_EQ(job.Done(), c.Erased);

    TreeRec expected = tree;
    for (std::size_t i = 0; i < c.Erased; ++i)
      TreeCore::DeleteNode(expected, TreeCore::FindValue(expected, c.Erase[i]));
    ExpectSameTree(job.Tree(), expected);
    EXPECT_EQ(TreeCheck::Violation(job.Tree()), "");
  }
}

#ifdef NDEBUG
constexpr long CancelLimitMs = 100;
#else
constexpr long CancelLimitMs = 1000;  // unoptimised and sanitised builds
#endif

// A cancel from another thread ends the work within a fraction of a second,
// even inside one of the long insertions of a sorted list, and the window's
// tree, which the job copied, is untouched.
TEST_F(TreeJobTest, CancelStopsTheWorkPromptly) {
  struct Case {
    const char* Name;
    int Order;
    std::size_t CancelAfter;  // values done
  };
  // Value 17533 of the ascending list takes the longest insertion of all of
  // its values (over half a second before the engine's own cancel point).
  for (const Case& c : {Case{"descending", -1, 100}, Case{"ascending", 1, 17532}}) {
    SCOPED_TRACE(c.Name);
    TreeRec window;
    TreeCore::ResetTree(window, false);
    for (std::int16_t v : {5, 3, 8}) TreeCore::InsertValue(window, v);
    const TreeRec before = window;

    TreeJob job = TreeJob::Build(window, Values(32767, c.Order, 0));
    std::thread worker([&job] { job.Run(); });
    while (job.Done() < c.CancelAfter) std::this_thread::yield();
    const auto asked = std::chrono::steady_clock::now();
    job.RequestCancel();
    worker.join();
    const auto took = std::chrono::steady_clock::now() - asked;

    EXPECT_TRUE(job.Cancelled());
    EXPECT_LT(job.Done(), job.Total());
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), CancelLimitMs);
    ExpectSameTree(window, before);
  }
}

TEST_F(TreeJobTest, CancelBeforeTheStartDoesNothing) {
  TreeRec tree;
  TreeCore::ResetTree(tree, false);
  for (std::int16_t v : {5, 3, 8}) TreeCore::InsertValue(tree, v);
  TreeJob job = TreeJob::Erase(tree, {3});
  job.RequestCancel();
  job.Run();
  EXPECT_TRUE(job.Cancelled());
  EXPECT_EQ(job.Done(), 0u);
  ExpectSameTree(job.Tree(), tree);
}

// Work done in slices, each on another thread, gives what one run gives:
// the window starts a job on its own thread and a worker finishes it.
TEST_F(TreeJobTest, SlicesOnAnyThreadGiveTheSameTree) {
  TreeRec empty;
  TreeCore::ResetTree(empty, false);
  const std::vector<std::int16_t> values = Values(3000, 0, 4);
  TreeJob whole = TreeJob::Build(empty, values);
  whole.Run();

  TreeJob sliced = TreeJob::Build(empty, values);
  int slices = 0;
  bool over = false;
  while (!over) {
    const auto deadline = std::chrono::steady_clock::now();  // one value per slice
    if (slices % 2 == 0)
      over = sliced.RunUntil(deadline);
    else
      std::thread([&] { over = sliced.RunUntil(deadline); }).join();
    ++slices;
  }
  EXPECT_EQ(slices, 3001);
  EXPECT_EQ(sliced.Done(), values.size());
  ExpectSameTree(sliced.Tree(), whole.Tree());

  // An Erase goes a slice of its list at a time, and one that stops is
  // over, however it was sliced; its table is the one-by-one table.
  std::vector<std::int16_t> list(values.begin(), values.begin() + 1200);
  list.push_back(31000);
  list.push_back(values[2000]);
  TreeJob erase = TreeJob::Erase(whole.Tree(), list);
  EXPECT_FALSE(erase.RunUntil(std::chrono::steady_clock::now()));
  EXPECT_GT(erase.Done(), 0u);
  EXPECT_LT(erase.Done(), 1200u);
  std::thread([&] { over = erase.RunUntil(std::chrono::steady_clock::time_point::max()); }).join();
  EXPECT_TRUE(over);
  EXPECT_EQ(erase.Stop(), EraseStop::Missing);
  EXPECT_EQ(erase.Done(), 1200u);
  TreeRec oneByOne = whole.Tree();
  for (std::size_t i = 0; i < 1200; ++i)
    TreeCore::DeleteNode(oneByOne, TreeCore::FindValue(oneByOne, list[i]));
  ExpectSameTree(erase.Tree(), oneByOne);
}

// An Erase of a whole list, its slices growing while they are quick, leaves
// the table that removing the values one by one leaves, whatever the shapes
// of the tree and of the list.
TEST_F(TreeJobTest, WholeEraseInGrowingSlicesGivesTheOneByOneTable) {
  struct Case {
    int built;   // order of the Get Tree list: -1 descending, 0 random, 1 ascending
    int erased;  // order of the Erase list
  };
  for (const Case c : {Case{0, 0}, Case{1, 0}, Case{0, -1}, Case{-1, 1}}) {
    SCOPED_TRACE(testing::Message() << "built " << c.built << ", erased " << c.erased);
    TreeRec empty;
    TreeCore::ResetTree(empty, false);
    TreeJob build = TreeJob::Build(empty, Values(4000, c.built, 8));
    build.Run();
    const std::vector<std::int16_t> list = Values(4000, c.erased, 9);
    TreeJob erase = TreeJob::Erase(build.Tree(), list);
    erase.Run();
    EXPECT_EQ(erase.Done(), list.size());
    EXPECT_EQ(erase.Stop(), EraseStop::None);
    TreeRec oneByOne = build.Tree();
    for (const std::int16_t v : list)
      TreeCore::DeleteNode(oneByOne, TreeCore::FindValue(oneByOne, v));
    ExpectSameTree(erase.Tree(), oneByOne);
  }
}
