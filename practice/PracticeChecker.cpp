#include "PracticeChecker.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "Commands.h"
#include "Messages.h"
#include "TraceCommands.h"
#include "TraceText.h"

namespace Practice {

namespace {

using TreeCore::ChainKind;
using TreeCore::NodeRec;
using TreeCore::TreeRec;
using TreeTrace::EventType;
using TreeTrace::StepEvent;

std::string Num(long long v) {
  return std::to_string(v);
}

const NodeRec* At(const TreeRec& tree, std::int32_t i) {
  return tree.Exists && i >= 0 && i < tree.Count && static_cast<std::size_t>(i) < tree.Nodes.size()
             ? &tree.Nodes[static_cast<std::size_t>(i)]
             : nullptr;
}

bool FirstRight(ChainKind k) {
  return k == ChainKind::RR || k == ChainKind::RL;
}
bool SecondRight(ChainKind k) {
  return k == ChainKind::RR || k == ChainKind::LR;
}
const char* SideWord(bool right) {
  return right ? "right" : "left";
}

std::string Heights(const NodeRec& n) {
  return "At " + Num(n.Data) + ": left " + Num(n.LeftHeight) + ", right " + Num(n.RightHeight);
}

// What the rule of a chain kind asks for.
std::string ShapeRule(ChainKind k) {
  return std::string(TreeCore::ChainKindText(k)) + " means the middle hangs " +
         SideWord(FirstRight(k)) + " of the top and the bottom " + SideWord(SecondRight(k)) +
         " of the middle";
}

// Whether `n` is the top of a bare chain of kind `k`, and if not, why.
std::string ChainWhy(const TreeRec& tree, std::int32_t top, ChainKind k, bool* isChain) {
  *isChain = false;
  const NodeRec* a = At(tree, top);
  if (a == nullptr) return "There is no node " + Num(top) + " in the tree.";
  const std::int32_t xi = FirstRight(k) ? a->RightChild : a->LeftChild;
  const NodeRec* x = At(tree, xi);
  if (x == nullptr)
    return Num(a->Data) + " has no " + SideWord(FirstRight(k)) + " child: " + ShapeRule(k) + ".";
  const NodeRec* y = At(tree, SecondRight(k) ? x->RightChild : x->LeftChild);
  if (y == nullptr)
    return Num(x->Data) + " has no " + SideWord(SecondRight(k)) + " child: " + ShapeRule(k) + ".";
  const std::string three = Num(a->Data) + ", " + Num(x->Data) + ", " + Num(y->Data);
  if (a->LeftChild != -1 && a->RightChild != -1)
    return three + " is not a chain here: " + Num(a->Data) + " has two children.";
  if (x->LeftChild != -1 && x->RightChild != -1)
    return three + " is not a chain here: " + Num(x->Data) + " has two children.";
  if (y->LeftChild != -1 || y->RightChild != -1)
    return three + " is not a chain here: " + Num(y->Data) + " has a child.";
  *isChain = true;
  return three +
         " is a chain, but not the check that fires now: the root is checked first, and a "
         "chain only at the top two levels above the change.";
}

// Why a fix-up at `n` toward `right` is not the step, from n's heights.
std::string FixWhy(const TreeRec& tree, std::int32_t node, bool right) {
  const NodeRec* n = At(tree, node);
  if (n == nullptr) return "There is no node " + Num(node) + " in the tree.";
  const std::int32_t diff = n->RightHeight - n->LeftHeight;
  if (std::abs(diff) < 2) return Heights(*n) + ", no fix-up here.";
  if ((diff > 0) != right)
    return Heights(*n) + ": a " + SideWord(right) + "-heavy fix-up needs the " + SideWord(right) +
           " side two or more higher.";
  // Two apart, yet the check does not come to it now: the scheme may leave it so.
  return Heights(*n) + ", but the balance check does not reach " + Num(n->Data) +
         " at this step: it looks at the root, the chain top above the change and the ancestors "
         "the walk passes, and may leave a node two apart.";
}

// Where the descent really goes, at the first node where the answer leaves it.
std::string PlaceWhy(const TreeRec& tree, std::int16_t value, std::int32_t parent, bool right) {
  if (!tree.Exists) return "The tree is empty: the first value becomes the root.";
  if (parent == -1) return "The tree has a root already: " + Num(value) + " hangs below a node.";
  if (At(tree, parent) == nullptr) return "There is no node " + Num(parent) + " in the tree.";
  // The answer's parent and its ancestors.
  std::vector<std::int32_t> up;
  for (std::int32_t i = parent; At(tree, i) != nullptr && up.size() <= tree.Nodes.size();
       i = tree.Nodes[static_cast<std::size_t>(i)].Parent)
    up.push_back(i);
  const auto onPath = [&](std::int32_t i) {
    return std::find(up.begin(), up.end(), i) != up.end();
  };
  const auto goes = [&](const NodeRec& n) {
    const bool r = n.Data < value;
    return "the value goes " + std::string(SideWord(r)) + " of " + Num(n.Data) + ", it is " +
           (r                 ? "larger"
            : n.Data == value ? "equal, and equal values go left"
                              : "smaller");
  };
  std::int32_t b = tree.Root;
  for (std::size_t guard = 0; At(tree, b) != nullptr && guard <= tree.Nodes.size(); ++guard) {
    const NodeRec& n = tree.Nodes[static_cast<std::size_t>(b)];
    const bool r = n.Data < value;
    const std::int32_t next = r ? n.RightChild : n.LeftChild;
    if (b == parent) {
      std::string text = goes(n);
      if (next != -1)
        text += ", and " + Num(n.Data) + " has a " + SideWord(r) + " child already";
      else if (r == right)
        return "";
      return text + ".";
    }
    if (!onPath(next)) return goes(n) + ".";
    b = next;
  }
  return "";
}

bool Wrong(const std::optional<std::int32_t>& given, std::int32_t want) {
  return !given || *given != want;
}

}  // namespace

Answer ModelAnswer(const Step& step) {
  Answer a;
  a.Kind = step.Kind;
  a.Value = step.Value;
  switch (step.Kind) {
    case StepKind::Insert:
      a.Parent = step.Parent;
      if (step.Parent != -1) a.Right = step.Right;
      break;
    case StepKind::Rotate:
      a.Chain = step.Chain;
      a.Node = step.Node;
      break;
    case StepKind::FixUp:
      a.Right = step.Right;
      a.Node = step.Node;
      break;
    case StepKind::Erase:
      a.Node = step.Node;
      break;
    case StepKind::Balanced:
    case StepKind::Missing:
      break;
  }
  return a;
}

bool Matches(const Step& e, const Answer& a, Level level) {
  if (a.Kind != e.Kind) return false;
  if (a.Value && *a.Value != e.Value) return false;
  const bool node = level >= Level::Node;
  switch (e.Kind) {
    case StepKind::Insert:
      if (level < Level::Place) return true;
      return !Wrong(a.Parent, e.Parent) && (e.Parent == -1 || (a.Right && *a.Right == e.Right));
    case StepKind::Rotate:
      return a.Chain && *a.Chain == e.Chain && (!node || !Wrong(a.Node, e.Node));
    case StepKind::FixUp:
      return a.Right && *a.Right == e.Right && (!node || !Wrong(a.Node, e.Node));
    case StepKind::Erase:
      return !node || !Wrong(a.Node, e.Node);
    case StepKind::Balanced:
    case StepKind::Missing:
      return true;
  }
  return false;
}

std::string WhyWrong(const Step& e, const Answer& a, Level level, const TreeRec& tree,
                     CommandKind kind, std::int16_t value) {
  const std::string v = Num(value);
  const bool node = level >= Level::Node && a.Node.has_value();
  if (e.Kind == StepKind::Missing)
    return "Look for " + v +
           " from the root as Erase does: left when smaller or equal, right "
           "when larger. Is it there?";
  if (a.Kind == StepKind::Missing)
    return kind == CommandKind::Get ? std::string("Get Tree erases nothing.")
           : e.Kind == StepKind::Erase
               ? v + " is in the tree: Erase finds it on the path from the root."
               : v + " has been found and removed: missing is for a value Erase cannot find.";
  if (e.Kind == StepKind::Insert && a.Kind != StepKind::Insert)
    return v + " has not been placed yet: every value is first linked in as a new leaf.";
  if (a.Kind == StepKind::Insert && e.Kind != StepKind::Insert)
    return kind == CommandKind::Erase ? std::string("Erase inserts nothing.")
                                      : v + " has been placed already.";
  if (e.Kind == StepKind::Erase && a.Kind != StepKind::Erase)
    return v + " is still in the tree: its removal comes first.";
  if (a.Kind == StepKind::Erase && e.Kind != StepKind::Erase)
    return kind == CommandKind::Get ? std::string("Get Tree erases nothing.")
                                    : "The removal of " + v + " has been named already.";
  if (a.Value && *a.Value != e.Value) {
    if (e.Kind == StepKind::Balanced) return "The value worked on is " + v + ".";
    const NodeRec* n = node ? At(tree, *a.Node) : nullptr;
    if (n != nullptr && n->Data != *a.Value)
      return "Node " + Num(*a.Node) + " holds " + Num(n->Data) + ", not " + Num(*a.Value) + ".";
    return "That is not the value at the node the step concerns.";
  }
  if (e.Removal) {
    // The node being erased has its own rule, whatever its heights.
    const NodeRec* n = At(tree, e.Node);
    std::string facts = n == nullptr ? v
                                     : Num(n->Data) + " (left " + Num(n->LeftHeight) + ", right " +
                                           Num(n->RightHeight) + ")";
    const std::string rule =
        "A node with two children is removed by a fix-up toward its taller side, right on a "
        "tie, which sinks it to a leaf to be cut off.";
    if (a.Kind == StepKind::FixUp && node && *a.Node != e.Node)
      return "The node being erased, " + facts + ", is fixed first. " + rule;
    return facts + " has two children. " + rule;
  }
  switch (a.Kind) {
    case StepKind::Insert:
      if (!a.Parent) return "Name the node " + v + " hangs from.";
      if (!a.Right && *a.Parent != -1) return "Name the side " + v + " hangs on.";
      {
        std::string text = PlaceWhy(tree, value, *a.Parent, a.Right.value_or(false));
        if (!text.empty()) text[0] = static_cast<char>(std::toupper(text[0]));
        return text.empty() ? "That is not where " + v + " goes." : text;
      }
    case StepKind::Rotate: {
      if (!a.Chain) return "Name the rotation's kind.";
      bool chain = false;
      if (node) {
        if (*a.Node == e.Node && e.Kind == StepKind::Rotate) {
          const NodeRec* top = At(tree, e.Node);
          return "Not " + std::string(TreeCore::ChainKindText(*a.Chain)) + " at " +
                 Num(top != nullptr ? top->Data : 0) + ": " + ShapeRule(*a.Chain) + ".";
        }
        return ChainWhy(tree, *a.Node, *a.Chain, &chain);
      }
      if (e.Kind == StepKind::Rotate)
        return "Not " + std::string(TreeCore::ChainKindText(*a.Chain)) + ": " +
               ShapeRule(*a.Chain) + ".";
      if (e.Kind == StepKind::Balanced)
        return "No rotation fires: a rotation needs a bare chain of three (a top with one "
               "child, which has one child and no more) two levels above the change.";
      return "No rotation comes next: the root is checked before the chain.";
    }
    case StepKind::FixUp:
      if (!a.Right) return "Name the fix-up's side.";
      if (node) return FixWhy(tree, *a.Node, *a.Right);
      if (e.Kind == StepKind::FixUp)
        return std::string("A ") + SideWord(*a.Right) + "-heavy fix-up needs a node whose " +
               SideWord(*a.Right) + " side is two or more higher, where the check looks.";
      if (e.Kind == StepKind::Balanced)
        return "Nothing more fires for " + v +
               ": the checks that run (the root, the chain top above the change, the ancestors "
               "the walk passes) find nothing to fix, and the scheme may leave a node two apart.";
      return "No fix-up comes next: the check that fires first is another.";
    case StepKind::Erase:
      if (node) {
        const NodeRec* n = At(tree, *a.Node);
        if (n == nullptr) return "There is no node " + Num(*a.Node) + " in the tree.";
        if (n->Data != value) return Num(n->Data) + " is not " + v + ".";
        return "Erase removes the first " + v + " met on the path from the root.";
      }
      return "Name the node that goes.";
    case StepKind::Balanced:
      return "Something still fires for " + v +
             ": look at the root, then the chain top above the change, then the walk up.";
    case StepKind::Missing:
      break;
  }
  return "That is not the step.";
}

std::string DescribeStep(const Step& s) {
  StepEvent e;
  e.Value = s.Value;
  e.Node = s.Node;
  switch (s.Kind) {
    case StepKind::Insert:
      return s.Parent == -1
                 ? Num(s.Value) + " becomes the root"
                 : Num(s.Value) + " goes " + SideWord(s.Right) + " of " + Num(s.ParentValue);
    case StepKind::Rotate:
      return std::string(TreeCore::ChainKindText(s.Chain)) + " rotation at " + Num(s.Value);
    case StepKind::FixUp:
      return std::string(SideWord(s.Right)) + "-heavy fix-up at " + Num(s.Value);
    case StepKind::Erase:
      return Num(s.Value) + " removed (slot " + Num(s.Node) + ")";
    case StepKind::Balanced:
      return "nothing more fires for " + Num(s.Value);
    case StepKind::Missing:
      return Num(s.Value) + ": " + s.Message;
  }
  return {};
}

// ---- The checker ---------------------------------------------------------------

std::string Checker::Begin(CommandKind kind, std::string_view list, std::size_t from,
                           TreeTrace::Engine& engine, TreeRec& tree) {
  const auto checked = TreeCommands::CheckList(kind, list);
  if (!checked.Refusal.empty()) return std::string(checked.Refusal);
  if (active_) Finish();
  values_ = checked.Values;
  score_ = {};
  recorder_ = TreeTrace::TraceRecorder{};
  stop_ = kind == CommandKind::Get ? TreeTrace::RunGetTree(engine, tree, list, &recorder_)
                                   : TreeTrace::RunErase(engine, tree, list, &recorder_);
  active_ = false;
  steps_.clear();
  live_ = {};
  advance_ = {};
  // Past the end, or after the value Erase stopped at: nothing to ask.
  const std::size_t reached = recorder_.ValueCount() + (stop_.empty() ? 0 : 1);
  if (from < reached && from < values_.size()) {
    // Replayed by the engine that runs it on, whose in-order links then hold.
    live_ = recorder_.TreeBefore(from, advance_.Get());
    liveValue_ = from;
    EnterValue(from);
  }
  return {};
}

void Checker::EnterValue(std::size_t index) {
  value_ = index;
  step_ = 0;
  tried_ = false;
  steps_.clear();
  nowValid_ = false;
  active_ = true;
  if (index >= recorder_.ValueCount()) {
    Step s;
    s.Kind = StepKind::Missing;
    s.Value = values_[index];
    s.Message = stop_;
    steps_.push_back(s);
    return;
  }
  const TreeTrace::ValueStep& vs = recorder_.Step(index);
  const std::vector<StepEvent> events = recorder_.EventsOf(index);
  for (std::size_t k = 0; k < events.size(); ++k) {
    const StepEvent& e = events[k];
    Step s;
    s.Value = e.Value;
    s.Node = e.Node;
    switch (e.Type) {
      case EventType::Insert:
        s.Kind = StepKind::Insert;
        s.Parent = vs.HasParent ? vs.ParentNode : -1;
        s.ParentValue = vs.ParentValue;
        s.Right = vs.RightOfParent;
        break;
      case EventType::Rotate:
        s.Kind = StepKind::Rotate;
        s.Chain = e.Kind();
        break;
      case EventType::FixUp:
        s.Kind = StepKind::FixUp;
        s.Right = e.RightHeavy();
        s.Removal = recorder_.Kind() == CommandKind::Erase && k == 1 && e.Node == vs.Node &&
                    e.Value == vs.Value;
        break;
      case EventType::Erase:
        s.Kind = StepKind::Erase;
        break;
    }
    steps_.push_back(s);
  }
  Step done;
  done.Kind = StepKind::Balanced;
  done.Value = vs.Value;
  steps_.push_back(done);
}

namespace {

// Stops the engine when event `target` of a value fires, by an exception,
// as the steps' replays do: the tree is left as it stood at that event.
class StopAt final : public TreeCore::TreeObserver {
 public:
  struct Stop {};
  explicit StopAt(std::size_t target) : target_(target) {}
  void OnInsert(std::int16_t, std::int32_t) override { Seen(); }
  void OnRotate(TreeCore::ChainKind, std::int32_t, std::int16_t) override { Seen(); }
  void OnFixUp(bool, std::int32_t, std::int16_t) override { Seen(); }
  void OnErase(std::int16_t, std::int32_t) override { Seen(); }

 private:
  void Seen() {
    if (count_++ == target_) throw Stop{};
  }
  std::size_t target_;
  std::size_t count_ = 0;
};

}  // namespace

const TreeRec& Checker::TreeNow() const {
  static const TreeRec empty;
  if (!active_) return empty;
  // Right answers leave the tree behind; it catches up here, value by value.
  for (; liveValue_ < value_ && liveValue_ < recorder_.ValueCount(); ++liveValue_)
    recorder_.RunValue(advance_.Get(), live_, liveValue_);
  const Step& s = steps_[step_];
  if (s.Kind == StepKind::Insert || s.Kind == StepKind::Missing) return live_;
  if (nowValid_) return now_;
  // The plain procedures, step by step, so that a table met halfway through
  // a value is theirs.
  TreeTrace::Engine replay;
  replay.SetTuning(TreeCore::Tuning::Plain());
  now_ = live_;
  StopAt observer(s.Kind == StepKind::Balanced ? steps_.size() : step_);
  replay.SetObserver(&observer);
  try {
    recorder_.RunValue(replay, now_, value_);
  } catch (const StopAt::Stop&) {
  }
  nowValid_ = true;
  return now_;
}

void Checker::Advance() {
  ++score_.Steps;
  tried_ = false;
  nowValid_ = false;
  if (step_ + 1 < steps_.size()) {
    ++step_;
    return;
  }
  const std::size_t next = value_ + 1;
  const bool more = steps_.back().Kind != StepKind::Missing &&
                    (next < recorder_.ValueCount() ||
                     (next == recorder_.ValueCount() && !stop_.empty() && next < values_.size()));
  if (more) {
    // The tree before the next value: this one run on it, as the command did.
    EnterValue(next);
  } else {
    active_ = false;
  }
}

Verdict Checker::Check(const Answer& answer, Level level) {
  Verdict v;
  if (!active_) return v;
  v.Expected = Current();
  ++score_.Tries;
  if (Matches(v.Expected, answer, level)) {
    v.Right = true;
    if (!tried_) ++score_.FirstTry;
    Advance();
    return v;
  }
  tried_ = true;
  v.Why = WhyWrong(v.Expected, answer, level, TreeNow(), recorder_.Kind(), values_[value_]);
  return v;
}

Verdict Checker::Show() {
  Verdict v;
  if (!active_) return v;
  v.Right = true;
  v.Expected = Current();
  ++score_.Tries;
  ++score_.Shown;
  Advance();
  return v;
}

std::uint64_t Checker::StepsLeft() const {
  if (!active_) return 0;
  std::uint64_t left = steps_.size() - step_;
  for (std::size_t i = value_ + 1; i < recorder_.ValueCount(); ++i)
    left += recorder_.Step(i).EventCount + 1;
  // The value Erase stopped at, when it was not the one being asked.
  if (!stop_.empty() && value_ < recorder_.ValueCount()) ++left;
  return left;
}

Score Checker::Finish() {
  score_.Unanswered += StepsLeft();
  active_ = false;
  steps_.clear();
  live_ = {};
  now_ = {};
  return score_;
}

}  // namespace Practice
