#include "RuleText.h"

#include <array>

namespace TreeTrace {

namespace {

using P = RulePart;

constexpr RuleLine InsertLines[] = {
    {P::InsertFirst, "The very first value becomes the root in slot 0 at level 1."},
    {P::InsertWalk,
     "Walk down from the root: right when the node's value is smaller, left otherwise, so an "
     "equal value goes to the left."},
    {P::InsertLink,
     "Add the value as a new leaf in the next free slot (Count); the node it hangs from becomes "
     "Interior unless it is the root; the new node's level is the depth the walk reached, and "
     "Height is raised to it if it is larger."},
};
constexpr RuleLine HeightLines[] = {
    {P::HeightStart,
     "From the new node: zero its heights on each side that has no child, and mark it Leaf when "
     "it has none."},
    {P::HeightUp,
     "Set the parent's height on the side the walk came from to 1 + the larger of the child's "
     "heights, move to the parent, and repeat while the value changed."},
    {P::HeightRoot,
     "At the root, recompute both sides from its children and set TreeLeftHeight, "
     "TreeRightHeight and Height from them."},
};
constexpr RuleLine CheckLines[] = {
    {P::CheckTop,
     "Rebalance(node): the chain top a is the node itself if it is the root; nothing happens if "
     "its parent is the root; otherwise a is its grandparent."},
    {P::CheckRoot,
     "Root check: a balance (right height - left height) of +2 or more starts the right-heavy "
     "fix-up on the root, -2 or less the left-heavy one."},
    {P::CheckChain,
     "If a is neither the root nor a leaf, and a has exactly one child x, x exactly one child y, "
     "and y none, the three form a chain and are rotated."},
    {P::CheckWalk,
     "Unless the walk is skipped, every node from a's parent up to the root gets the same "
     "balance check as the root did."},
};
constexpr RuleLine RotateLines[] = {
    {P::RotateRR, "RR: x right of a, y right of x: x goes on top, with a and y its leaves."},
    {P::RotateRL, "RL: x right of a, y left of x: y goes on top, with a and x its leaves."},
    {P::RotateLL, "LL: x left of a, y left of x: x goes on top, with y and a its leaves."},
    {P::RotateLR, "LR: x left of a, y right of x: y goes on top, with x and a its leaves."},
    {P::RotateAfter,
     "The middle value takes a's place, level and kind, the other two one level down; heights "
     "are refreshed from a and from the other new leaf."},
};
constexpr RuleLine FixLines[] = {
    {P::FixRight,
     "Right-heavy at n: the successor s (the leftmost node of n's right subtree) moves into n's "
     "place, and n sinks to a leaf right of its predecessor o (or left of s)."},
    {P::FixLeft,
     "Left-heavy at n: the mirror: the predecessor moves into n's place, and n sinks to a leaf "
     "beside its neighbour on the right side."},
    {P::FixTakeOut,
     "Take s out: as n's own child (direct) it moves up with its subtree; otherwise its child "
     "takes its place under its parent b, that whole subtree one level up."},
    {P::FixSink,
     "s takes n's parent link, kind, level and heights and adopts n's subtrees; n becomes a "
     "leaf one level below o."},
    {P::FixRebalance,
     "Refresh heights from n and run Rebalance at n: the right-heavy fix-up walks up, the "
     "left-heavy one skips the walk."},
};
constexpr RuleLine LiftLines[] = {
    {P::LiftStep,
     "When s was a leaf and b is left with one side only, b moves down below its own neighbour "
     "k there, and b's child r takes b's place; k becomes Interior."},
    {P::LiftAfter,
     "The subtree now under r rises one level; heights are refreshed from b and r, and "
     "Rebalance runs at b once the fix-up has finished."},
};
constexpr RuleLine ParkedLines[] = {
    {P::Parked,
     "In a removal, n is parked: a leaf below its in-order neighbour, still in its slot. Nothing "
     "may move it, so the fix-up's Rebalance calls are held until it is cut off."},
};
constexpr RuleLine EraseLines[] = {
    {P::EraseFind, "Find the node by value: the first match on the path from the root."},
    {P::EraseLeaf,
     "Leaf: clear the parent's link to it, refresh heights from the parent and run Rebalance "
     "there."},
    {P::EraseLast,
     "Last node: the tree becomes empty; Root, Height and the tree's heights keep their old "
     "values."},
    {P::EraseOneChild,
     "One child c: c takes the node's place, its whole subtree moves up one level, heights are "
     "refreshed from c; no Rebalance runs."},
    {P::EraseTwoChildren,
     "Two children: the heavy-side fix-up (left-heavy when the left side is higher, right-heavy "
     "otherwise, ties included) parks the node; the link to it is cut, heights refreshed from "
     "that parent, then the held Rebalance calls run."},
    {P::EraseRenumber,
     "Close the gap: links behind the slot go down by one, parentless nodes become Root, the "
     "slots behind move down, and Count goes down by one."},
    {P::EraseSlotZero,
     "Shape check at slot 0: no left child, a right child without a left child and a childless "
     "grandchild on the right: Rebalance runs from the root."},
};

constexpr std::array<RuleSection, 8> Sections{{
    {"The insertion walk", InsertLines},
    {"The height walk", HeightLines},
    {"The balance check", CheckLines},
    {"Chain rotations (a, x, y)", RotateLines},
    {"The heavy-side fix-up", FixLines},
    {"The lift step", LiftLines},
    {"The parked node", ParkedLines},
    {"Deletion", EraseLines},
}};

const TreeCore::NodeRec* At(const TreeCore::TreeRec& tree, std::int32_t i) {
  return i >= 0 && static_cast<std::size_t>(i) < tree.Nodes.size()
             ? &tree.Nodes[static_cast<std::size_t>(i)]
             : nullptr;
}

}  // namespace

std::span<const RuleSection> RuleSections() {
  return Sections;
}

std::vector<RulePart> EventRuleParts(const TraceRecorder& recorder, std::size_t value,
                                     const EventStates& states, const EventReason& reason) {
  if (!states.Found) return {};
  const StepEvent& e = states.Event;
  switch (e.Type) {
    case EventType::Insert:
      if (!recorder.Step(value).HasParent) return {P::InsertFirst};
      return {P::InsertLink, P::InsertWalk};
    case EventType::Rotate: {
      static constexpr P kinds[] = {P::RotateRR, P::RotateRL, P::RotateLL, P::RotateLR};
      return {kinds[e.Detail & 3], P::CheckChain, P::RotateAfter};
    }
    case EventType::FixUp: {
      const ValueStep& step = recorder.Step(value);
      // The same test ExplainEvent makes: the erased node's own fix-up parks it.
      const bool removal =
          recorder.Kind() == CommandKind::Erase && e.Node == step.Node && e.Value == step.Value;
      std::vector<RulePart> parts{e.RightHeavy() ? P::FixRight : P::FixLeft};
      if (removal) {
        parts.insert(parts.end(), {P::EraseTwoChildren, P::Parked});
      } else {
        // Only the root check fixes the root; any other node is reached by the walk.
        const TreeCore::NodeRec* n = At(states.Before, e.Node);
        parts.push_back(n != nullptr && n->Parent == -1 ? P::CheckRoot : P::CheckWalk);
      }
      if (reason.Lift) parts.insert(parts.end(), {P::LiftStep, P::LiftAfter});
      return parts;
    }
    case EventType::Erase: {
      const TreeCore::NodeRec* n = At(states.Before, e.Node);
      if (n == nullptr) return {P::EraseFind};
      const int children = (n->LeftChild != -1) + (n->RightChild != -1);
      if (children == 2) return {P::EraseTwoChildren, P::EraseFind};
      if (children == 1) return {P::EraseOneChild, P::EraseFind};
      return {n->Parent == -1 ? P::EraseLast : P::EraseLeaf, P::EraseFind};
    }
  }
  return {};
}

std::vector<RulePart> ValueRuleParts(CommandKind kind) {
  if (kind == CommandKind::Erase) return {P::EraseFind};
  return {P::InsertWalk};
}

}  // namespace TreeTrace
