// Turns bytes into a stream of Get Tree and Erase lists over the engine and
// checks the tree after every call. The fuzzer and the corpus replay share it.
//
// A second engine that keeps the in-order links runs the same calls on its
// own copy, which must come out identical after every call; after each
// Erase list both put the list back into copies of their trees.
//
// Format: a header byte h starts each list; h & 1 says Get Tree (0) or Erase
// (1), (h >> 1) + 1 is the list's length; one signed byte per value follows.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "EngineState.h"
#include "EraseDiff.h"
#include "TreeChecker.h"
#include "TreeCore.h"

namespace EngineDriver {

inline std::string Compare(const TreeCore::TreeRec& t, const std::multiset<std::int16_t>& want) {
  std::string problem = TreeCheck::Violation(t);
  if (!problem.empty()) return problem;
  if (TreeCheck::InOrderValues(t) != std::vector<std::int16_t>(want.begin(), want.end()))
    return "the tree's values differ from the values inserted and not erased";
  return {};
}

// An empty string when every call left the tree whole, else what went wrong.
inline std::string Run(const std::uint8_t* data, std::size_t size) {
  TreeCore::TreeRec tree, linked;
  TreeCore::EngineState keeper;
  keeper.KeepInOrderLinks = true;
  TreeCore::ResetTree(tree, false);
  TreeCore::ResetTree(keeper, linked, false);
  std::multiset<std::int16_t> want;
  std::size_t pos = 0;
  while (pos < size) {
    const std::uint8_t header = data[pos++];
    const bool erase = (header & 1) != 0;
    std::vector<std::int16_t> list;
    for (std::size_t n = (header >> 1) + 1u; n > 0 && pos < size; --n)
      list.push_back(static_cast<std::int8_t>(data[pos++]));
    if (!erase) {
      TreeCore::ResetTree(tree, false);
      TreeCore::ResetTree(keeper, linked, false);
      want.clear();
      for (const std::int16_t v : list) {
        TreeCore::InsertValue(tree, v);
        TreeCore::InsertValue(keeper, linked, v);
        want.insert(v);
        std::string problem = Compare(tree, want);
        if (problem.empty()) problem = EraseDiff::Difference(tree, linked);
        if (!problem.empty()) return "insert " + std::to_string(v) + ": " + problem;
      }
      continue;
    }
    for (const std::int16_t v : list) {
      if (!tree.Exists) break;
      const std::int32_t index = TreeCore::FindValue(tree, v);
      if ((index == -1) != (want.count(v) == 0))
        return "search for " + std::to_string(v) + " disagrees with the values inserted";
      if (index == -1) break;
      TreeCore::DeleteNode(tree, index);
      TreeCore::DeleteNode(keeper, linked, index);
      want.erase(want.find(v));
      std::string problem = Compare(tree, want);
      if (problem.empty()) problem = EraseDiff::Difference(tree, linked);
      if (!problem.empty()) return "erase " + std::to_string(v) + ": " + problem;
    }
    // The erased values put back into copies: the links are then built from
    // a tree that removals have shaped. The next list starts from the
    // originals.
    TreeCore::TreeRec back = tree, backLinked = linked;
    for (const std::int16_t v : list) {
      TreeCore::InsertValue(back, v);
      TreeCore::InsertValue(keeper, backLinked, v);
      const std::string problem = EraseDiff::Difference(back, backLinked);
      if (!problem.empty()) return "insert " + std::to_string(v) + " after erasing: " + problem;
    }
  }
  return {};
}

// The bytes of a Get Tree list (at most 128 values: a longer one would be
// split into lists that each build anew) followed by an Erase list.
inline std::vector<std::uint8_t> Encode(const std::vector<std::int16_t>& get,
                                        const std::vector<std::int16_t>& erase) {
  std::vector<std::uint8_t> out;
  auto put = [&out](const std::vector<std::int16_t>& list, std::uint8_t kind) {
    for (std::size_t at = 0; at < list.size(); at += 128) {
      const std::size_t n = std::min<std::size_t>(128, list.size() - at);
      out.push_back(static_cast<std::uint8_t>(((n - 1) << 1) | kind));
      for (std::size_t i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(list[at + i]));
    }
  };
  assert(get.size() <= 128);
  put(get, 0);
  put(erase, 1);
  return out;
}

}  // namespace EngineDriver
