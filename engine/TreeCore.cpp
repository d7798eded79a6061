#include "TreeCore.h"

#include <algorithm>
#include <cassert>

#include "Internal.h"

namespace TreeCore {

TreeRec MainTree;
TreeRec SharedTreeStore;
TreeRec* SharedTree = &SharedTreeStore;
std::unique_ptr<OrdersCode> Orders;
std::int16_t DrawnElementCount = 0;
std::string LineBreak;
std::string DoubleLineBreak;
WorkCounters Counters;

namespace {
DestroyElementFn destroyElementHook = nullptr;
PrintNodeFn printNodeHook = nullptr;
}  // namespace

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
  destroyElementHook = destroyElement;
  printNodeHook = printNode;
}

void OrdersCode::PrintNode(std::int32_t& Num) {
  if (printNodeHook != nullptr) printNodeHook(Num);
}

void ResetModuleState() {
  MainTree = TreeRec{};
  SharedTreeStore = TreeRec{};
  SharedTree = &SharedTreeStore;
  Orders.reset();
  DrawnElementCount = 0;
  LineBreak.clear();
  DoubleLineBreak.clear();
  Counters = WorkCounters{};
}

namespace Detail {

void AssignLineBreaks() {
  // Runs on every height update, millions of times for a sorted list: skip
  // the string work when the texts already hold what they would be given.
  const bool current = LineBreak.size() == 2 && LineBreak[0] == '\r' && LineBreak[1] == '\n' &&
                       DoubleLineBreak.size() == 4 && DoubleLineBreak[0] == '\r' &&
                       DoubleLineBreak[1] == '\n' && DoubleLineBreak[2] == '\r' &&
                       DoubleLineBreak[3] == '\n';
  if (current) return;
  LineBreak = "\r\n";
  DoubleLineBreak = LineBreak + LineBreak;
}

void ReplaceChildLink(TreeRec& tree, std::int32_t parent, std::int32_t child,
                      std::int32_t replacement) {
  NodeRec& p = tree.Nodes[parent];
  if (p.LeftChild == child)
    p.LeftChild = replacement;
  else if (p.RightChild == child)
    p.RightChild = replacement;
}

void LevelLoweringPass(TreeRec& tree, std::int32_t top) {
  Orders = std::make_unique<OrdersCode>();
  // No copy of the tree into SharedTree and back: nothing reads SharedTree
  // between this pass and the next drawing pass, which copies the main tree in
  // afresh, so SharedTree may stand for `tree` itself while LevelDown runs.
  // Sorted lists run hundreds of thousands of these passes; two whole-table
  // copies each would make the cost follow the tree instead of the subtree.
  TreeRec* const previous = SharedTree;
  SharedTree = &tree;
  CallInOrder(tree.Nodes, top, *Orders, "LevelDown");
  SharedTree = previous;
}

}  // namespace Detail

void ResetTree(TreeRec& tree, bool keepNodes) {
  if (!keepNodes) {
    tree.Nodes.assign(1, NodeRec{});
    tree.Exists = false;
    tree.Count = 0;
  }
  if (DrawnElementCount == 0) return;
  for (std::int16_t i = 1; i < DrawnElementCount; ++i)
    if (destroyElementHook != nullptr) destroyElementHook(i);
  DrawnElementCount = 0;
}

void AddNode(TreeRec& tree, std::int16_t value) {
  NodeRec& slot = tree.Nodes[static_cast<std::size_t>(tree.Count)];
  if (slot.Kind != NodeKind::Root) slot.Kind = NodeKind::Leaf;
  slot.Data = value;
  slot.LeftChild = -1;
  slot.RightChild = -1;
  ++tree.Count;
}

void InsertValue(TreeRec& tree, std::int16_t value) {
  Detail::AssignLineBreaks();
  tree.Nodes.resize(static_cast<std::size_t>(tree.Count) + 1);

  if (!tree.Exists) {
    tree.Exists = true;
    NodeRec& slot = tree.Nodes[static_cast<std::size_t>(tree.Count)];
    slot.Parent = -1;
    slot.Kind = NodeKind::Root;
    tree.Root = tree.Count;
    AddNode(tree, value);
    tree.Nodes[static_cast<std::size_t>(tree.Count - 1)].Level = 1;
    tree.TreeLeftHeight = 0;
    tree.TreeRightHeight = 0;
    if (tree.Height < 1) tree.Height = 1;
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
    if (level > tree.Height) tree.Height = level;
    break;
  }

  const std::int32_t added = tree.Count - 1;
  UpdateHeights(tree, added);
  Rebalance(tree, added, false);
}

namespace {

std::int32_t SideHeight(const NodeRec& child) {
  return 1 + std::max(child.LeftHeight, child.RightHeight);
}

// The walk has ended at `c`, the root (or a parentless node taken for it).
void FinishAtRoot(TreeRec& tree, std::int32_t c) {
  NodeRec& top = tree.Nodes[static_cast<std::size_t>(c)];
  if (top.LeftChild != -1)
    top.LeftHeight = SideHeight(tree.Nodes[static_cast<std::size_t>(top.LeftChild)]);
  if (top.RightChild != -1)
    top.RightHeight = SideHeight(tree.Nodes[static_cast<std::size_t>(top.RightChild)]);
  tree.TreeLeftHeight = top.LeftHeight;
  tree.TreeRightHeight = top.RightHeight;
  tree.Height = std::max(top.LeftHeight, top.RightHeight);
}

}  // namespace

void UpdateHeights(TreeRec& tree, std::int32_t node) {
  Detail::AssignLineBreaks();
  const std::int32_t n = node;
  if (n == -1) return;

  NodeRec& start = tree.Nodes[static_cast<std::size_t>(n)];
  if (start.LeftChild == -1) start.LeftHeight = 0;
  if (start.RightChild == -1) start.RightHeight = 0;
  if (start.LeftChild == -1 && start.RightChild == -1) start.Kind = NodeKind::Leaf;

  if (n == tree.Root) {
    tree.TreeLeftHeight = start.LeftHeight;
    tree.TreeRightHeight = start.RightHeight;
    tree.Height = std::max(start.LeftHeight, start.RightHeight);
    return;
  }

  std::int32_t c = n;
  for (;;) {
    const std::int32_t p = tree.Nodes[static_cast<std::size_t>(c)].Parent;
    if (p == -1) {
      // A parentless node not marked "Root" (a root that a height update once
      // marked "Leaf"): the walk ends here as it would at the root.
      FinishAtRoot(tree, c);
      return;
    }
    NodeRec& parent = tree.Nodes[static_cast<std::size_t>(p)];
    const std::int32_t fresh = SideHeight(tree.Nodes[static_cast<std::size_t>(c)]);
    std::int32_t old = fresh;
    if (parent.RightChild == c) {
      old = parent.RightHeight;
      parent.RightHeight = fresh;
    } else if (parent.LeftChild == c) {
      old = parent.LeftHeight;
      parent.LeftHeight = fresh;
    }
    c = p;
    if (parent.Kind == NodeKind::Root) {
      FinishAtRoot(tree, c);
      return;
    }
    if (fresh == old) return;
  }
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

std::int32_t LeftmostOfRight(const TreeRec& tree, std::int32_t index) {
  std::int32_t i = tree.Nodes[static_cast<std::size_t>(index)].RightChild;
  if (i == -1) return index;
  while (tree.Nodes[static_cast<std::size_t>(i)].LeftChild != -1)
    i = tree.Nodes[static_cast<std::size_t>(i)].LeftChild;
  return i;
}

std::int32_t RightmostOfLeft(const TreeRec& tree, std::int32_t index) {
  std::int32_t i = tree.Nodes[static_cast<std::size_t>(index)].LeftChild;
  if (i == -1) return index;
  while (tree.Nodes[static_cast<std::size_t>(i)].RightChild != -1)
    i = tree.Nodes[static_cast<std::size_t>(i)].RightChild;
  return i;
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
