// One list through both trees: the engine's scheme, as Get Tree and Erase run
// it, and a textbook AVL tree, with the balancing each did along the way.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "AvlTree.h"
#include "CommandKind.h"
#include "TraceEngine.h"
#include "TreeCore.h"

namespace TreeTrace {

// Rotations counted by kind, in ChainKind's order: RR, RL, LL, LR (the AVL
// tree's own kinds come in the same order).
using RotationCounts = std::array<std::uint32_t, 4>;

struct SideResult {
  std::size_t Nodes = 0;
  int Levels = 0;  // the depth of the deepest node: the root alone 1, none 0
  RotationCounts Rotations{};
  std::uint32_t FixUps = 0;  // the scheme's only
  std::vector<std::int16_t> Preorder;
};

struct CompareResult {
  bool Refused = false;  // the list was refused: neither tree changed
  // The refusal, or why an Erase stopped early; empty otherwise.
  std::string Message;
  SideResult Scheme, Avl;
};

// The depth of the deepest node of an engine tree, from its links.
int SchemeLevels(const TreeCore::TreeRec& tree);
std::vector<std::int16_t> SchemePreorder(const TreeCore::TreeRec& tree);
// An engine tree's values in order, each with its depth (the root is 1).
std::vector<Avl::Tree::Placed> SchemeInOrder(const TreeCore::TreeRec& tree);

class CompareRun {
 public:
  CompareRun();
  ~CompareRun();
  CompareRun(const CompareRun&) = delete;
  CompareRun& operator=(const CompareRun&) = delete;

  // Get Tree or Erase on `list` (as typed) on both trees, each starting from
  // what the previous command left.
  CompareResult Run(TreeCommands::CommandKind kind, std::string_view list);

  const TreeCore::TreeRec& SchemeTree() const { return tree_; }
  const Avl::Tree& AvlTree() const { return avl_; }

 private:
  class Counter;
  Engine engine_;
  TreeCore::TreeRec tree_;
  Avl::Tree avl_;
};

}  // namespace TreeTrace
