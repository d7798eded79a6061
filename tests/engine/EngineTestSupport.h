// Shared helpers for the engine tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "TestHooks.h"
#include "TreeChecker.h"
#include "TreeCore.h"

namespace EngineTest {

// Puts the engine's module state back to its start-up state around each test.
class EngineFixture : public ::testing::Test {
 protected:
  void SetUp() override { TreeCore::ResetModuleState(); }
  void TearDown() override {
    TreeCore::SetDrawingHooks(nullptr, nullptr);
    TreeCore::ResetModuleState();
  }
};

// A fresh tree with the values inserted in order, checked after every insertion.
inline TreeCore::TreeRec Build(const std::vector<std::int16_t>& values) {
  TreeCore::TreeRec t;
  TreeCore::ResetTree(t, false);
  for (const std::int16_t v : values) {
    TreeCore::InsertValue(t, v);
    const std::string problem = TreeCheck::Violation(t);
    EXPECT_EQ(problem, "") << "after inserting " << v;
    if (!problem.empty()) break;
  }
  return t;
}

// Erases the values as the Erase command does, checking after every removal.
inline void Erase(TreeCore::TreeRec& t, const std::vector<std::int16_t>& values) {
  for (const std::int16_t v : values) {
    const std::int32_t index = TreeCore::FindValue(t, v);
    ASSERT_NE(index, -1) << v << " is missing";
    TreeCore::DeleteNode(t, index);
    const std::string problem = TreeCheck::Violation(t);
    ASSERT_EQ(problem, "") << "after erasing " << v;
  }
}

// Hangs a new node under `parent` without any balancing, so tests can build
// shapes that insertion would rotate away.
inline std::int32_t Attach(TreeCore::TreeRec& t, std::int32_t parent, bool left,
                           std::int16_t value) {
  t.Nodes.resize(static_cast<std::size_t>(t.Count) + 1);
  TreeCore::AddNode(t, value);
  const std::int32_t added = t.Count - 1;
  auto& p = t.Nodes[static_cast<std::size_t>(parent)];
  (left ? p.LeftChild : p.RightChild) = added;
  if (p.Kind != TreeCore::NodeKind::Root) p.Kind = TreeCore::NodeKind::Interior;
  t.Nodes[static_cast<std::size_t>(added)].Parent = parent;
  t.Nodes[static_cast<std::size_t>(added)].Level = p.Level + 1;
  TreeCore::UpdateHeights(t, added);
  return added;
}

inline const TreeCore::NodeRec& NodeOf(const TreeCore::TreeRec& t, std::int16_t value) {
  const std::int32_t i = TreeCore::FindValue(t, value);
  EXPECT_NE(i, -1) << value << " is missing";
  return t.Nodes.at(static_cast<std::size_t>(i < 0 ? 0 : i));
}

inline std::int16_t DataAt(const TreeCore::TreeRec& t, std::int32_t index) {
  return index < 0 ? std::int16_t{-1} : t.Nodes.at(static_cast<std::size_t>(index)).Data;
}

// The slots of `t` in the order of their values.
inline std::vector<std::int32_t> InOrderSlots(const TreeCore::TreeRec& t) {
  std::vector<std::int32_t> order, pending;
  std::int32_t i = t.Exists ? t.Root : -1;
  while (i != -1 || !pending.empty()) {
    for (; i != -1; i = t.Nodes[static_cast<std::size_t>(i)].LeftChild) pending.push_back(i);
    i = pending.back();
    pending.pop_back();
    order.push_back(i);
    i = t.Nodes[static_cast<std::size_t>(i)].RightChild;
  }
  return order;
}

// Empty when the in-order links the engine keeps describe `t` exactly.
inline std::string LinksMismatch(const TreeCore::EngineState& e, const TreeCore::TreeRec& t) {
  if (e.InOrder.Tree != &t) return "the links describe another tree or none";
  if (e.InOrder.Count != t.Count) return "the links describe another count";
  const std::vector<std::int32_t> order = InOrderSlots(t);
  for (std::size_t k = 0; k < order.size(); ++k) {
    const auto slot = static_cast<std::size_t>(order[k]);
    const std::int32_t before = k > 0 ? order[k - 1] : -1;
    const std::int32_t after = k + 1 < order.size() ? order[k + 1] : -1;
    if (e.InOrder.Before[slot] != before || e.InOrder.After[slot] != after)
      return "the links of slot " + std::to_string(slot) + " are wrong";
  }
  return {};
}

inline std::vector<std::int16_t> Range(int from, int to) {
  std::vector<std::int16_t> out;
  const int step = from <= to ? 1 : -1;
  for (int v = from;; v += step) {
    out.push_back(static_cast<std::int16_t>(v));
    if (v == to) break;
  }
  return out;
}

}  // namespace EngineTest
