// Helpers shared by the drawing tests: what the window does to the element
// arrays, and a fixture that leaves the module state as it found it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <tuple>

#include "Drawing.h"

namespace DrawingTest {

using namespace TreeCore;

// What the window's HideBTree does to the arrays.
inline void HideTemplates(ElementArrays& arrays) {
  arrays.TreeNode[0].Visible = false;
  arrays.ShNode[0].Visible = false;
  arrays.LnNode[0].Visible = false;
}

// What the window's ShowBTree does to the arrays.
inline void ShowTree(ElementArrays& arrays, std::int32_t maximumLevels = 0) {
  HideTemplates(arrays);
  DrawTree(arrays.TreeNode, arrays.ShNode, arrays.LnNode, maximumLevels);
}

// The Get Tree command's road: a fresh tree, the extents back to 0, a drawing.
inline void BuildAndDraw(ElementArrays& arrays, std::initializer_list<std::int16_t> values,
                         std::int32_t maximumLevels = 0) {
  ResetTree(MainTree, false);
  DrawingWidth = 0;
  DrawingHeight = 0;
  for (const std::int16_t value : values) InsertValue(MainTree, value);
  ShowTree(arrays, maximumLevels);
}

// Field-by-field comparison, naming the first difference.
inline ::testing::AssertionResult SameTree(const TreeRec& a, const TreeRec& b) {
  const auto scalars = [](const TreeRec& t) {
    return std::tie(t.Exists, t.Root, t.Count, t.Height, t.TreeLeftHeight, t.TreeRightHeight);
  };
  const auto fields = [](const NodeRec& n) {
    return std::tuple(n.Data, n.Kind, n.Level, n.LeftHeight, n.RightHeight, n.Parent, n.LeftChild,
                      n.RightChild, n.ControlIndex, std::string_view(n.Description));
  };
  if (scalars(a) != scalars(b)) return ::testing::AssertionFailure() << "tree scalars differ";
  if (a.Nodes.size() != b.Nodes.size()) return ::testing::AssertionFailure() << "sizes differ";
  for (std::size_t i = 0; i < a.Nodes.size(); ++i)
    if (fields(a.Nodes[i]) != fields(b.Nodes[i]))
      return ::testing::AssertionFailure() << "node " << i << " differs";
  return ::testing::AssertionSuccess();
}

class DrawingFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    ResetDrawingState();
    InstallDrawingHooks();
  }
  void TearDown() override {
    ResetModuleState();
    ResetDrawingState();
  }

  ElementArrays arrays;
};

}  // namespace DrawingTest
