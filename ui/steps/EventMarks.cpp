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
