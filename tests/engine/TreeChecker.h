// Checks that a tree record is whole and consistent; the tests call it after
// every operation. Balance is not checked: the engine does not keep it
// everywhere.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "TreeCore.h"

namespace TreeCheck {

// An empty string when the tree is consistent, else what is wrong: the
// engine's own soundness check.
inline std::string Violation(const TreeCore::TreeRec& t) {
  return TreeCore::Validate(t);
}

// The values in the tree, in order.
inline std::vector<std::int16_t> InOrderValues(const TreeCore::TreeRec& t) {
  std::vector<std::int16_t> out;
  if (!t.Exists) return out;
  std::vector<std::int32_t> stack;
  std::int32_t i = t.Root;
  while (i != -1 || !stack.empty()) {
    while (i != -1) {
      stack.push_back(i);
      i = t.Nodes[static_cast<std::size_t>(i)].LeftChild;
    }
    i = stack.back();
    stack.pop_back();
    out.push_back(t.Nodes[static_cast<std::size_t>(i)].Data);
    i = t.Nodes[static_cast<std::size_t>(i)].RightChild;
  }
  return out;
}

}  // namespace TreeCheck
