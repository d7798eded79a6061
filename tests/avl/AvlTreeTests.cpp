// The slot-based AVL tree against the plain pointer model: for every kind of
// list, the same shape and the same rotations after every insertion and
// removal, and Validate satisfied throughout.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "AvlModel.h"
#include "AvlTree.h"

namespace {

struct Recorder final : Avl::Observer {
  std::string rotations;
  void OnRotate(Avl::Rotation kind, std::int16_t) override {
    rotations += Avl::RotationText(kind);
    rotations += ' ';
  }
};

enum class Order { Random, Ascending, Descending, ZigZag, FewValues };

struct ListCase {
  const char* name;
  Order order;
  int count;
};

std::vector<std::int16_t> List(const ListCase& c, std::mt19937& rng) {
  std::vector<std::int16_t> v(static_cast<std::size_t>(c.count));
  std::iota(v.begin(), v.end(), std::int16_t{-200});
  switch (c.order) {
    case Order::Random:
      std::shuffle(v.begin(), v.end(), rng);
      break;
    case Order::Ascending:
      break;
    case Order::Descending:
      std::reverse(v.begin(), v.end());
      break;
    case Order::ZigZag:
      for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = static_cast<std::int16_t>(i % 2 ? -static_cast<int>(i) : static_cast<int>(i));
      break;
    case Order::FewValues:
      for (auto& x : v) x = static_cast<std::int16_t>(rng() % 5);
      break;
  }
  return v;
}

class AvlAgainstModel : public ::testing::TestWithParam<ListCase> {};

TEST_P(AvlAgainstModel, SameShapesAndRotations) {
  std::mt19937 rng(29);
  for (int round = 0; round < 4; ++round) {
    const auto values = List(GetParam(), rng);
    Avl::Tree tree;
    Recorder seen;
    tree.SetObserver(&seen);
    AvlModel::Model model;
    for (const auto v : values) {
      tree.Insert(v);
      model.Insert(model.root, v);
      ASSERT_EQ(tree.Preorder(), model.Preorder()) << "after inserting " << v;
    }
    ASSERT_EQ(tree.Validate(), "");
    // Erase in another order, with values that are not there mixed in.
    auto erase = values;
    std::shuffle(erase.begin(), erase.end(), rng);
    erase.insert(erase.begin() + static_cast<std::ptrdiff_t>(erase.size() / 3), 9999);
    for (const auto v : erase) {
      ASSERT_EQ(tree.Erase(v), model.Erase(model.root, v)) << "erasing " << v;
      ASSERT_EQ(tree.Preorder(), model.Preorder()) << "after erasing " << v;
      ASSERT_EQ(tree.Validate(), "") << "after erasing " << v;
    }
    EXPECT_EQ(seen.rotations, model.rotations);
    EXPECT_TRUE(tree.Empty());
    EXPECT_EQ(tree.Size(), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(Lists, AvlAgainstModel,
                         ::testing::Values(ListCase{"Random", Order::Random, 300},
                                           ListCase{"Ascending", Order::Ascending, 255},
                                           ListCase{"Descending", Order::Descending, 256},
                                           ListCase{"ZigZag", Order::ZigZag, 101},
                                           ListCase{"FewValues", Order::FewValues, 120}),
                         [](const auto& info) { return std::string(info.param.name); });

// The Erase command's stop rule and the level count.
TEST(AvlTree, EraseListStopsAtTheFirstMissingValueOrAnEmptyTree) {
  struct Case {
    std::vector<std::int16_t> get, erase;
    std::size_t erased;
    Avl::EraseStop stop;
    int levels;
  };
  const Case cases[] = {
      {{1, 2, 3, 4, 5, 6, 7}, {4, 8, 1}, 1, Avl::EraseStop::Missing, 3},
      {{5, 5, 5}, {5, 5, 5, 5}, 3, Avl::EraseStop::Empty, 0},
      {{2, 1}, {1, 2}, 2, Avl::EraseStop::None, 0},
      {{}, {3}, 0, Avl::EraseStop::Empty, 0},
  };
  for (const Case& c : cases) {
    Avl::Tree tree;
    tree.Build(c.get);
    const auto outcome = tree.EraseList(c.erase);
    EXPECT_EQ(outcome.Erased, c.erased);
    EXPECT_EQ(outcome.Stop, c.stop);
    EXPECT_EQ(tree.Levels(), c.levels);
    EXPECT_EQ(tree.Size(), c.get.size() - c.erased);
  }
}

}  // namespace
