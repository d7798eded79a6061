#include "EventReason.h"

#include <algorithm>

namespace TreeTrace {

namespace {

using TreeCore::NodeRec;
using TreeCore::TreeRec;

std::string Num(std::int64_t v) {
  return std::to_string(v);
}

const NodeRec* At(const TreeRec& tree, std::int32_t i) {
  return i >= 0 && static_cast<std::size_t>(i) < tree.Nodes.size()
             ? &tree.Nodes[static_cast<std::size_t>(i)]
             : nullptr;
}

// "right 3, left 1: right-heavy by 2", the heavier side first.
std::string Sides(const NodeRec& n) {
  const std::int32_t diff = n.RightHeight - n.LeftHeight;
  if (diff == 0) return "right " + Num(n.RightHeight) + ", left " + Num(n.LeftHeight) + ": a tie";
  if (diff > 0)
    return "right " + Num(n.RightHeight) + ", left " + Num(n.LeftHeight) + ": right-heavy by " +
           Num(diff);
  return "left " + Num(n.LeftHeight) + ", right " + Num(n.RightHeight) + ": left-heavy by " +
         Num(-diff);
}

std::string Heights(const NodeRec& n) {
  return Num(n.Data) + " left " + Num(n.LeftHeight) + ", right " + Num(n.RightHeight);
}

void ExplainFixUp(const TreeRec& t, const StepEvent& e, bool removal, EventReason& r) {
  const NodeRec* n = At(t, e.Node);
  const NodeRec* s = At(t, e.Other);
  if (n == nullptr) return;
  const bool right = e.RightHeavy();
  const char* side = right ? "right" : "left";
  if (removal) {
    r.Facts = "Erasing " + Num(n->Data) + ", which has two children: " + Sides(*n) +
              (n->RightHeight == n->LeftHeight ? ", and a tie goes right-heavy" : "") + ".";
    r.Rule =
        "A node with two children is removed by the heavy-side fix-up (left-heavy when its left "
        "side is higher, right-heavy otherwise, ties included), which parks it as a leaf to be "
        "cut off.";
  } else {
    r.Facts = "At " + Num(n->Data) + ": " + Sides(*n) + ".";
    r.Rule =
        "When a node is two or more higher on one side, the fix-up moves its in-order neighbour "
        "on the heavy side into its place and sinks the node itself to a leaf next to its "
        "neighbour on the other side.";
  }
  if (s == nullptr) return;
  const std::string name = right ? "successor " : "predecessor ";
  if ((right ? n->RightChild : n->LeftChild) == e.Other) {
    r.Facts += " Its " + name + Num(s->Data) + " is its own " + side +
               " child and moves up with its " + side + " subtree.";
    return;
  }
  const NodeRec* b = At(t, s->Parent);
  if (b == nullptr) return;
  r.Facts += " Its " + name + Num(s->Data) + " hangs " + (right ? "left" : "right") + " of " +
             Num(b->Data) + ".";
  const std::int32_t inner = right ? s->RightChild : s->LeftChild;
  const std::int32_t outer = right ? b->RightChild : b->LeftChild;
  const NodeRec* rNode = At(t, outer);
  if (inner != -1 || rNode == nullptr) return;
  // b keeps only its far side: b goes below its own neighbour k there.
  std::int32_t k = outer;
  for (const NodeRec* kn = rNode; kn != nullptr;) {
    const std::int32_t next = right ? kn->LeftChild : kn->RightChild;
    if (next == -1) break;
    k = next;
    kn = At(t, next);
  }
  r.Lift = true;
  r.LiftedValue = b->Data;
  r.LiftTargetValue = At(t, k)->Data;
  r.Facts += " " + Num(s->Data) + " is a leaf and " + Num(b->Data) + " keeps only its " + side +
             " side, so the lift step runs: " + Num(rNode->Data) + " takes " + Num(b->Data) +
             "'s place and " + Num(b->Data) + " goes below " + Num(r.LiftTargetValue) + ".";
}

void ExplainRotation(const TreeRec& t, const StepEvent& e, EventReason& r) {
  const NodeRec* a = At(t, e.Node);
  const NodeRec* x = At(t, e.Other);
  const NodeRec* y = At(t, e.Third);
  if (a == nullptr || x == nullptr || y == nullptr) return;
  const auto kind = e.Kind();
  const bool first = kind == TreeCore::ChainKind::RR || kind == TreeCore::ChainKind::RL;
  const bool second = kind == TreeCore::ChainKind::RR || kind == TreeCore::ChainKind::LR;
  r.Facts = "Chain " + Num(a->Data) + ", " + Num(x->Data) + ", " + Num(y->Data) + ": " +
            Num(x->Data) + " is the only child of " + Num(a->Data) + " (" +
            (first ? "right" : "left") + "), " + Num(y->Data) + " the only child of " +
            Num(x->Data) + " (" + (second ? "right" : "left") + "), and " + Num(y->Data) +
            " has none: " + TreeCore::ChainKindText(kind) + ". Heights: " + Heights(*a) + "; " +
            Heights(*x) + "; " + Heights(*y) + ".";
  r.Rule =
      "Each rotation puts the middle value on top, in the top's place and at its level, with the "
      "other two as its leaves one level down.";
}

void ExplainErase(const TreeRec& t, const StepEvent& e, EventReason& r) {
  const NodeRec* n = At(t, e.Node);
  if (n == nullptr) return;
  const std::string v = Num(n->Data);
  const NodeRec* left = At(t, n->LeftChild);
  const NodeRec* right = At(t, n->RightChild);
  if (left == nullptr && right == nullptr) {
    if (n->Parent == -1) {
      r.Facts = v + " is the last node: the tree becomes empty.";
      r.Rule =
          "The last node leaves an empty tree; Root, Height and the tree's heights keep "
          "their old values.";
    } else {
      r.Facts = v + " is a leaf: its parent's link to it is cleared.";
      r.Rule =
          "A leaf is cut from its parent, heights are refreshed from the parent, and "
          "Rebalance runs at the parent.";
    }
  } else if (left == nullptr || right == nullptr) {
    const NodeRec& c = left != nullptr ? *left : *right;
    r.Facts = v + " has one child, " + Num(c.Data) + ", which takes its place.";
    r.Rule =
        "The one child takes the node's place, its whole subtree moves up one level, and no "
        "Rebalance runs.";
  } else {
    r.Facts = v + " has two children, " + Num(left->Data) + " and " + Num(right->Data) +
              ": the heavy-side fix-up parks it as a leaf, then it is cut off.";
    r.Rule =
        "A node with two children is removed by the heavy-side fix-up, which parks it as a "
        "leaf below its in-order neighbour; the link to it is then cut.";
  }
}

}  // namespace

std::vector<RoleMark> EventRoles(const StepEvent& e, const EventReason& reason,
                                 const TreeRec& tree) {
  std::vector<std::pair<std::int16_t, Role>> wanted{{e.Value, Role::Subject}};
  if (e.Type == EventType::Rotate) {
    wanted.push_back({e.OtherValue, Role::Middle});
    wanted.push_back({e.ThirdValue, Role::Bottom});
    wanted.push_back({e.NewTopValue(), Role::NewTop});
  } else if (e.Type == EventType::FixUp && e.Other >= 0) {
    wanted.push_back({e.OtherValue, Role::Neighbour});
  }
  if (reason.Lift) {
    wanted.push_back({reason.LiftedValue, Role::Lift});
    wanted.push_back({reason.LiftTargetValue, Role::Lift});
  }
  std::vector<RoleMark> marks;
  const auto count =
      std::min<std::size_t>(static_cast<std::size_t>(std::max(tree.Count, 0)), tree.Nodes.size());
  for (std::size_t n = 0; n < count; ++n)
    for (const auto& [value, role] : wanted)
      if (tree.Nodes[n].Data == value) marks.push_back({static_cast<std::int32_t>(n), role});
  return marks;
}

EventReason ExplainEvent(const TraceRecorder& recorder, std::size_t value,
                         const EventStates& states) {
  EventReason r;
  if (!states.Found) return r;
  const StepEvent& e = states.Event;
  const TreeRec& t = states.Before;
  switch (e.Type) {
    case EventType::Insert: {
      const ValueStep& step = recorder.Step(value);
      r.Facts = step.HasParent
                    ? Num(e.Value) + " hangs " + (step.RightOfParent ? "right" : "left") + " of " +
                          Num(step.ParentValue) + "."
                    : Num(e.Value) + " is the first value: the root.";
      r.Rule =
          "A value is added as a new leaf in the next free slot, found by walking down from the "
          "root: right when the node's value is smaller, left otherwise.";
      break;
    }
    case EventType::Rotate:
      ExplainRotation(t, e, r);
      break;
    case EventType::FixUp: {
      const ValueStep& step = recorder.Step(value);
      const bool removal =
          recorder.Kind() == CommandKind::Erase && e.Node == step.Node && e.Value == step.Value;
      ExplainFixUp(t, e, removal, r);
      break;
    }
    case EventType::Erase:
      ExplainErase(t, e, r);
      break;
  }
  return r;
}

}  // namespace TreeTrace
