// The slot-based AVL tree against the plain pointer model: for every kind of
// list, the same shape and the same rotations after every insertion and
// removal, and Validate satisfied throughout. (The Erase command's stop rule
// is held to the model through --compare, in tests/trace.)
#include <gtest/gtest.h>

#include <algorithm>
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

struct ListCase {
  const char* name;
  int count;
  int (*value)(int i, std::mt19937& rng);  // the list's i-th value
};

std::vector<std::int16_t> List(const ListCase& c, std::mt19937& rng) {
  std::vector<std::int16_t> v;
  for (int i = 0; i < c.count; ++i) v.push_back(static_cast<std::int16_t>(c.value(i, rng)));
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

INSTANTIATE_TEST_SUITE_P(
    Lists, AvlAgainstModel,
    ::testing::Values(
        ListCase{"Random", 300, [](int, std::mt19937& r) { return int(r() % 2000) - 1000; }},
        ListCase{"Ascending", 255, [](int i, std::mt19937&) { return i; }},
        ListCase{"Descending", 256, [](int i, std::mt19937&) { return -i; }},
        ListCase{"ZigZag", 101, [](int i, std::mt19937&) { return i % 2 ? -i : i; }},
        ListCase{"FewValues", 120, [](int, std::mt19937& r) { return int(r() % 5); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
