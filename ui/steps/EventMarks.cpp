#include "steps/EventMarks.h"

#include <algorithm>

namespace TreeUi {

namespace {

// The slots among the first Count that hold one of `values`.
void MarkValues(const TreeCore::TreeRec& tree, std::initializer_list<std::int16_t> values,
                std::vector<std::int32_t>& marks) {
  const auto count =
      std::min<std::size_t>(static_cast<std::size_t>(std::max(tree.Count, 0)), tree.Nodes.size());
  for (std::size_t n = 0; n < count; ++n)
    if (std::find(values.begin(), values.end(), tree.Nodes[n].Data) != values.end())
      marks.push_back(static_cast<std::int32_t>(n));
}

std::vector<NodeRing> RingsOf(const std::vector<TreeTrace::RoleMark>& marks) {
  std::vector<NodeRing> rings;
  for (const TreeTrace::RoleMark& m : marks) rings.push_back({m.Node, static_cast<int>(m.Role)});
  std::stable_sort(rings.begin(), rings.end(), [](const NodeRing& a, const NodeRing& b) {
    return (a.Role == static_cast<int>(TreeTrace::Role::NewTop)) <
           (b.Role == static_cast<int>(TreeTrace::Role::NewTop));
  });
  return rings;
}

}  // namespace

bool ParksErasedNode(const TreeTrace::TraceRecorder& recorder, std::size_t value,
                     const TreeTrace::StepEvent& e) {
  if (recorder.Kind() != TreeTrace::CommandKind::Erase || e.Type != TreeTrace::EventType::FixUp)
    return false;
  // The same test the words make: the erased node's own fix-up.
  const TreeTrace::ValueStep& step = recorder.Step(value);
  return e.Node == step.Node && e.Value == step.Value;
}

TreeCore::TreeRec ParkedTree(const TreeCore::TreeRec& before, const TreeCore::TreeRec& after,
                             std::int32_t slot) {
  const auto count = static_cast<std::size_t>(std::max(after.Count, 0));
  if (slot < 0 || static_cast<std::size_t>(slot) >= before.Nodes.size() || count == 0 ||
      count > after.Nodes.size() || slot > after.Count)
    return after;
  // The closed-up table opened again at `slot`.
  auto open = [slot](std::int32_t link) { return link >= slot ? link + 1 : link; };
  TreeCore::TreeRec t = after;
  t.Nodes.assign(count + 1, TreeCore::NodeRec{});
  for (std::size_t i = 0; i < count; ++i) {
    TreeCore::NodeRec n = after.Nodes[i];
    for (std::int32_t* link : {&n.Parent, &n.LeftChild, &n.RightChild})
      if (*link >= 0) *link = open(*link);
    t.Nodes[static_cast<std::size_t>(open(static_cast<std::int32_t>(i)))] = std::move(n);
  }
  t.Root = open(after.Root);
  t.Count = after.Count + 1;
  // The node goes where a leaf of its value sits between its in-order
  // neighbours: equal values to the left, as on insertion.
  TreeCore::NodeRec& parked = t.Nodes[static_cast<std::size_t>(slot)];
  parked = before.Nodes[static_cast<std::size_t>(slot)];
  std::int32_t at = t.Root, parent = -1;
  bool left = false;
  while (at >= 0) {
    parent = at;
    left = parked.Data <= t.Nodes[static_cast<std::size_t>(at)].Data;
    at = left ? t.Nodes[static_cast<std::size_t>(at)].LeftChild
              : t.Nodes[static_cast<std::size_t>(at)].RightChild;
  }
  TreeCore::NodeRec& p = t.Nodes[static_cast<std::size_t>(parent)];
  (left ? p.LeftChild : p.RightChild) = slot;
  if (p.Kind == TreeCore::NodeKind::Leaf) p.Kind = TreeCore::NodeKind::Interior;
  parked.Parent = parent;
  parked.LeftChild = parked.RightChild = -1;
  parked.Kind = TreeCore::NodeKind::Leaf;
  parked.Level = p.Level + 1;
  parked.LeftHeight = parked.RightHeight = 0;
  // Its ancestors' side heights, as they stand while it hangs there.
  for (std::int32_t child = slot, up = parent; up >= 0;
       child = up, up = t.Nodes[static_cast<std::size_t>(up)].Parent) {
    const TreeCore::NodeRec& c = t.Nodes[static_cast<std::size_t>(child)];
    TreeCore::NodeRec& u = t.Nodes[static_cast<std::size_t>(up)];
    const std::int32_t h = 1 + std::max(c.LeftHeight, c.RightHeight);
    std::int32_t& side = u.LeftChild == child ? u.LeftHeight : u.RightHeight;
    if (side >= h) break;
    side = h;
  }
  return t;
}

EventMarks MarksOfEvent(const TreeTrace::TraceRecorder& recorder, std::size_t value,
                        const TreeTrace::EventStates& states,
                        const TreeTrace::EventReason& reason) {
  EventMarks marks;
  const TreeTrace::StepEvent& e = states.Event;
  const TreeTrace::ValueStep& step = recorder.Step(value);
  if (e.Type == TreeTrace::EventType::Insert) {
    if (step.HasParent) marks.Before.push_back(step.ParentNode);
    marks.After.push_back(e.Node);
  } else {
    for (const std::int32_t n : {e.Node, e.Other, e.Third})
      if (n >= 0) marks.Before.push_back(n);
    // The slots move as the table closes up or a node moves; the values do not.
    if (e.Type == TreeTrace::EventType::Erase) {
      if (step.HasParent) MarkValues(states.After, {step.ParentValue}, marks.After);
    } else {
      MarkValues(states.After, {e.Value, e.OtherValue, e.ThirdValue}, marks.After);
    }
  }
  for (auto* m : {&marks.Before, &marks.After}) {
    std::sort(m->begin(), m->end());
    m->erase(std::unique(m->begin(), m->end()), m->end());
  }
  marks.BeforeRings = RingsOf(TreeTrace::EventRoles(e, reason, states.Before));
  marks.AfterRings = RingsOf(TreeTrace::EventRoles(e, reason, states.After));
  return marks;
}

}  // namespace TreeUi
