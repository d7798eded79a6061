// One list through both trees: the engine's scheme, as Get Tree and Erase run
// it, and a textbook AVL tree, with the balancing each did along the way.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
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

// The AVL tree as an engine table (slots in pre-order, levels, kinds and
// heights filled in), so that the engine tree's drawing can draw it too.
TreeCore::TreeRec AvlAsTree(const Avl::Tree& avl);
// An engine tree's node slots in order, each with its depth (the root is 1).
struct SlotDepth {
  std::int32_t Slot;
  int Depth;
};
std::vector<SlotDepth> InOrderSlots(const TreeCore::TreeRec& tree);

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
  Engine engine_;
  TreeCore::TreeRec tree_;
  Avl::Tree avl_;
};

// A Get Tree of `values` through both trees, each from empty, counted as
// CompareRun counts a `get` line (without the pre-orders), with the time of
// each tree's insertions alone (the thread's CPU time).
struct ListCompare {
  SideResult Scheme, Avl;
  double SchemeMs = 0, AvlMs = 0;
  bool Cancelled = false;  // nothing else is filled in then
};
// `cancel`, set from another thread, stops the work within one balancing
// step: one value of a long sorted list can take a large share of a second.
// A tree left out is not run, and its side stays empty.
ListCompare CompareList(std::span<const std::int16_t> values,
                        const std::atomic<bool>* cancel = nullptr, bool scheme = true,
                        bool avl = true);

// What one value of a command did to each tree.
struct CompareStep {
  std::int16_t Value = 0;
  RotationCounts SchemeRotations{}, AvlRotations{};
  std::uint32_t SchemeFixUps = 0;
  int SchemeLevels = 0, AvlLevels = 0;
};

// A command that ran to its end, as a history keeps it.
struct HistoryEntry {
  TreeCommands::CommandKind Kind;
  std::vector<std::int16_t> Values;
};

// The last command of a history (the commands since the last Get Tree, oldest
// first) through both trees value by value, each tree starting from what the
// earlier commands left.
class CompareSteps {
 public:
  // Both trees are kept every `interval` values of the last command, so that
  // a step rebuilds at most that many values (0: none kept).
  explicit CompareSteps(std::vector<HistoryEntry> history, std::size_t interval = 4096);
  ~CompareSteps();
  TreeCommands::CommandKind Kind() const { return history_.back().Kind; }
  const std::vector<CompareStep>& Steps() const { return steps_; }
  // Why the last command, an Erase, stopped early; empty otherwise.
  const std::string& Message() const { return message_; }
  // Both trees right after value i of the last command; i = -1 before it.
  // From the trees it last gave when i lies ahead of them (stepping forward),
  // else from the nearest kept trees before i.
  void TreesAfter(std::ptrdiff_t i, TreeCore::TreeRec& scheme, Avl::Tree& avl);

 private:
  struct Kept {
    std::ptrdiff_t after;  // the value of the last command they follow
    TreeCore::TreeRec scheme;
    Avl::Tree avl;
  };
  std::vector<HistoryEntry> history_;
  std::vector<Kept> kept_;  // in order, the first before the last command
  Kept last_{-2, {}, {}};   // what TreesAfter gave last
  std::unique_ptr<Engine> engine_;
  std::vector<CompareStep> steps_;
  std::string message_;
};

}  // namespace TreeTrace
