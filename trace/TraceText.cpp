#include "TraceText.h"

namespace TreeTrace {

namespace {
std::string Num(long long v) {
  return std::to_string(v);
}
}  // namespace

std::string DescribeValue(CommandKind kind, const ValueStep& step) {
  // Values first; a slot only in brackets, for whoever reads the table.
  if (kind == CommandKind::Erase) {
    std::string text = "Erase " + Num(step.Value);
    if (step.Node >= 0) text += " (slot " + Num(step.Node) + ")";
    if (step.HasParent)
      text += std::string(step.RightOfParent ? ", right" : ", left") + " child of " +
              Num(step.ParentValue);
    else if (step.Node >= 0)
      text += ", the root";
    return text;
  }
  std::string text = "Insert " + Num(step.Value) + " (slot " + Num(step.Node) + ")";
  if (step.HasParent)
    text += std::string(step.RightOfParent ? ", right" : ", left") + " child of " +
            Num(step.ParentValue);
  else
    text += ", the root";
  return text;
}

std::string DescribeEvent(const StepEvent& e) {
  switch (e.Type) {
    case EventType::Insert:
      return "insert " + Num(e.Value) + " (slot " + Num(e.Node) + ")";
    case EventType::Rotate:
      return std::string(TreeCore::ChainKindText(e.Kind())) + " rotation at " + Num(e.Value) +
             ": " + Num(e.NewTopValue()) + " takes its place";
    case EventType::FixUp: {
      std::string text =
          std::string(e.RightHeavy() ? "right" : "left") + "-heavy fix-up at " + Num(e.Value);
      if (e.Other >= 0 && e.Other != e.Node)
        text += ": in-order neighbour " + Num(e.OtherValue) + " moves into its place";
      return text;
    }
    case EventType::Erase:
      return Num(e.Value) + " removed (slot " + Num(e.Node) + ")";
  }
  return {};
}

std::string DescribeSummary(const TraceSummary& s) {
  std::string text = std::string(s.Kind == CommandKind::Get ? "Get Tree" : "Erase") + ": " +
                     Num(static_cast<long long>(s.Values)) +
                     (s.Values == 1 ? " value" : " values") + "; rotations";
  for (int k = 0; k < 4; ++k)
    text += std::string(k == 0 ? " " : ", ") +
            TreeCore::ChainKindText(static_cast<TreeCore::ChainKind>(k)) + " " +
            Num(static_cast<long long>(s.Rotations[k]));
  text += "; fix-ups " + Num(static_cast<long long>(s.FixUps)) + " \u2014 " + Num(s.Nodes) +
          " nodes, " + Num(s.Levels) + " levels, Height " + Num(s.Height) +
          ", least possible levels " + Num(s.LeastLevels) + ", " + Num(s.Unbalanced) +
          (s.Unbalanced == 1 ? " node" : " nodes") + " with sides differing by two or more";
  if (!s.Message.empty()) text += " (stopped: " + s.Message + ")";
  return text;
}

}  // namespace TreeTrace
