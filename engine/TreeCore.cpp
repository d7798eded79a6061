#include "TreeCore.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdio>

#include "Internal.h"
#include "TestHooks.h"

namespace TreeCore {

namespace {
EngineState defaultEngine;
}  // namespace

EngineState& DefaultEngine() {
  return defaultEngine;
}

TreeRec& MainTree = defaultEngine.MainTree;
TreeRec& SharedTreeStore = defaultEngine.SharedTreeStore;
TreeRec*& SharedTree = defaultEngine.SharedTree;
std::unique_ptr<OrdersCode>& Orders = defaultEngine.Orders;
std::int16_t& DrawnElementCount = defaultEngine.DrawnElementCount;
std::string& LineBreak = defaultEngine.LineBreak;
std::string& DoubleLineBreak = defaultEngine.DoubleLineBreak;
WorkCounters& Counters = defaultEngine.Counters;

std::string_view KindText(NodeKind kind) {
  switch (kind) {
    case NodeKind::Root:
      return "Root";
    case NodeKind::Interior:
      return "Interior";
    case NodeKind::Leaf:
      return "Leaf";
    case NodeKind::None:
      break;
  }
  return "";
}

void SetDrawingHooks(DestroyElementFn destroyElement, PrintNodeFn printNode) {
  // A null pointer leaves the function empty, which the engine skips.
  defaultEngine.DestroyElement = destroyElement;
  defaultEngine.PrintNode = printNode;
}

OrdersCode::OrdersCode() : state_(&defaultEngine) {}

void OrdersCode::PrintNode(std::int32_t& Num) {
  if (state_->PrintNode) state_->PrintNode(Num);
}

void ResetModuleState(EngineState& state) {
  state.MainTree = TreeRec{};
  state.SharedTreeStore = TreeRec{};
  state.SharedTree = &state.SharedTreeStore;
  state.Orders.reset();
  state.DrawnElementCount = 0;
  state.LineBreak.clear();
  state.DoubleLineBreak.clear();
  state.Observer = nullptr;
  state.Counters = WorkCounters{};
  state.Frames.Release();
  // Swapped out: assigning {} would keep a deep run's storage.
  std::vector<std::uint32_t>().swap(state.WalkStamp);
  state.WalkCertificate = 0;
  state.LastWalkId = 0;
  state.KeepInOrderLinks = false;
  state.InOrder = Detail::InOrderLinks{};
  state.Tuning = Tuning{};
}

void ResetModuleState() {
  ResetModuleState(defaultEngine);
}

namespace Detail {

void AssignLineBreaks(EngineState& state) {
  state.OperationFlags |= LineBreaksAssigned;
  if (state.Tuning.SkipSettledHeights) state.OperationFlags |= SettledSkippable;
  // Skip the string work when the texts already hold what they would be given.
  const std::string& lb = state.LineBreak;
  const std::string& dlb = state.DoubleLineBreak;
  const bool current = lb.size() == 2 && lb[0] == '\r' && lb[1] == '\n' && dlb.size() == 4 &&
                       dlb[0] == '\r' && dlb[1] == '\n' && dlb[2] == '\r' && dlb[3] == '\n';
  if (current) return;
  state.LineBreak = "\r\n";
  state.DoubleLineBreak = state.LineBreak + state.LineBreak;
}

void LevelLoweringPass(EngineState& state, TreeRec& tree, std::int32_t top) {
  // The pass's observable traces: a fresh OrdersCode object, once per
  // operation (a sorted list runs millions of passes), and the
  // levels. No copy of the tree into SharedTree and back and no call by name:
  // nothing reads SharedTree before the next drawing pass copies a tree in
  // afresh, so the levels are lowered in place by a plain loop.
  if ((state.OperationFlags & OrdersReplaced) == 0) {
    state.Orders = std::make_unique<OrdersCode>(state);
    state.OperationFlags |= OrdersReplaced;
  }
  if (top == -1) return;
  // A pass lowers a handful of nodes as a rule, and a sorted list makes
  // millions of passes: the pending nodes stay in a small array, and only a
  // subtree that outgrows it spills into WalkStack. The order of the visits
  // does not matter, as each only lowers its own node.
  constexpr int kInPlace = 64;
  std::int32_t inPlace[kInPlace];
  int count = 0;
  std::vector<std::int32_t>& spilled = state.WalkStack;
  spilled.clear();
  NodeRec* const nodes = tree.Nodes.data();
  std::int32_t i = top;
  for (;;) {
    NodeRec& n = nodes[i];
    TREECORE_COUNT(state, LevelDownVisits);
    --n.Level;
    for (const std::int32_t child : {n.LeftChild, n.RightChild}) {
      if (child < 0) continue;
      if (count < kInPlace)
        inPlace[count++] = child;
      else
        spilled.push_back(child);
    }
    if (count > 0) {
      i = inPlace[--count];
    } else if (!spilled.empty()) {
      i = spilled.back();
      spilled.pop_back();
    } else {
      return;
    }
  }
}

#ifndef NDEBUG
SoundnessCheck::SoundnessCheck(const TreeRec& tree)
    : tree_(tree), wasSound_(Validate(tree).empty()) {}

void SoundnessCheck::Done() const {
  if (!wasSound_) return;
  const std::string problem = Validate(tree_);
  if (!problem.empty()) {
    std::fprintf(stderr, "tree unsound: %s\n", problem.c_str());
    assert(!"an operation left the tree unsound");
  }
}
#endif

}  // namespace Detail

void ResetTree(EngineState& state, TreeRec& tree, bool keepNodes) {
  if (!keepNodes) {
    tree.Nodes.assign(1, NodeRec{});
    tree.Exists = false;
    tree.Count = 0;
    Detail::SoundnessCheck(tree).Done();
  }
  // Kept nodes are not checked: a tree made by hand may be drawn and reset.
  if (state.DrawnElementCount != 0) {
    for (std::int16_t i = 1; i < state.DrawnElementCount; ++i)
      if (state.DestroyElement) state.DestroyElement(i);
    state.DrawnElementCount = 0;
  }
}

void AddNode(TreeRec& tree, std::int16_t value) {
  NodeRec& slot = tree.Nodes[static_cast<std::size_t>(tree.Count)];
  if (slot.Kind != NodeKind::Root) slot.Kind = NodeKind::Leaf;
  slot.Data = value;
  slot.LeftChild = -1;
  slot.RightChild = -1;
  ++tree.Count;
}

void InsertValue(EngineState& state, TreeRec& tree, std::int16_t value) {
  const Detail::SoundnessCheck sound(tree);
  Detail::BeginInsertion(state);
  Detail::AssignLineBreaks(state);
  tree.Nodes.resize(static_cast<std::size_t>(tree.Count) + 1);
  Detail::InOrderScope inOrder(state, tree);

  if (!tree.Exists) {
    tree.Exists = true;
    NodeRec& slot = tree.Nodes[static_cast<std::size_t>(tree.Count)];
    slot.Parent = -1;
    slot.Kind = NodeKind::Root;
    tree.Root = tree.Count;
    AddNode(tree, value);
    tree.Nodes[static_cast<std::size_t>(tree.Count - 1)].Level = 1;
    Detail::NotifyInsert(state, tree, tree.Count - 1);
    tree.TreeLeftHeight = 0;
    tree.TreeRightHeight = 0;
    if (tree.Height < 1) tree.Height = 1;
    inOrder.Done();
    sound.Done();
    return;
  }

  std::int32_t b = tree.Root;
  std::int32_t level = 2;
  for (;;) {
    NodeRec& node = tree.Nodes[static_cast<std::size_t>(b)];
    const bool right = node.Data < value;
    const std::int32_t child = right ? node.RightChild : node.LeftChild;
    if (child != -1) {
      b = child;
      ++level;
      continue;
    }
    if (node.Kind != NodeKind::Root) node.Kind = NodeKind::Interior;
    (right ? node.RightChild : node.LeftChild) = tree.Count;
    AddNode(tree, value);
    NodeRec& added = tree.Nodes[static_cast<std::size_t>(tree.Count - 1)];
    added.Parent = b;
    added.Level = level;
    inOrder.Linked(tree.Count - 1, b, right);
    if (level > tree.Height) tree.Height = level;
    Detail::NotifyInsert(state, tree, tree.Count - 1);
    break;
  }

  const std::int32_t added = tree.Count - 1;
  Detail::Heights(state, tree, added);
  Detail::RebalanceIn(state, tree, added, false);
  inOrder.Done();
  sound.Done();
}

void UpdateHeights(EngineState& state, TreeRec& tree, std::int32_t node) {
  Detail::BeginOperation(state);
  Detail::Heights(state, tree, node);
}

void ResetTree(TreeRec& tree, bool keepNodes) {
  ResetTree(defaultEngine, tree, keepNodes);
}

void InsertValue(TreeRec& tree, std::int16_t value) {
  InsertValue(defaultEngine, tree, value);
}

void UpdateHeights(TreeRec& tree, std::int32_t node) {
  UpdateHeights(defaultEngine, tree, node);
}

std::int32_t FindValue(const TreeRec& tree, std::int32_t value) {
  if (!tree.Exists) return -1;
  std::int32_t i = tree.Root;
  const auto size = static_cast<std::int32_t>(tree.Nodes.size());
  while (i >= 0 && i < size) {
    const NodeRec& node = tree.Nodes[static_cast<std::size_t>(i)];
    const std::int32_t data = node.Data;
    if (data > value)
      i = node.LeftChild;
    else if (data < value)
      i = node.RightChild;
    else
      return i;
  }
  return -1;
}

namespace {

void InOrder(std::vector<NodeRec>& nodes, std::int32_t i, OrdersCode& target,
             OrdersCode::Method method) {
  if (i == -1) return;
  if (nodes[static_cast<std::size_t>(i)].LeftChild >= 0)
    InOrder(nodes, nodes[static_cast<std::size_t>(i)].LeftChild, target, method);
  std::int32_t num = i;
  (target.*method)(num);
  if (nodes[static_cast<std::size_t>(i)].RightChild >= 0)
    InOrder(nodes, nodes[static_cast<std::size_t>(i)].RightChild, target, method);
}

}  // namespace

void CallInOrder(std::vector<NodeRec>& nodes, const std::int32_t& link, OrdersCode& target,
                 std::string_view methodName) {
  // The name is resolved once per walk; each visit still calls that method.
  const OrdersCode::Method method = OrdersCode::Lookup(methodName);
  if (method == nullptr) {
    assert(!"CallInOrder: OrdersCode has no method of that name");
    return;
  }
  InOrder(nodes, link, target, method);
}

}  // namespace TreeCore
