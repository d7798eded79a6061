#include "Drawing.h"

#include <cassert>
#include <charconv>
#include <limits>
#include <string>

namespace TreeCore {

float NodeUnit = 0;
std::int32_t LayoutLevels = 0;
std::vector<float> LevelWidth;
float DrawingWidth = 0;
float DrawingHeight = 0;
ControlArray<Label>* TreeNodeArray = nullptr;
ControlArray<Shape>* ShNodeArray = nullptr;
ControlArray<Line>* LnNodeArray = nullptr;

namespace {

constexpr std::int16_t kMaxElements = std::numeric_limits<std::int16_t>::max();

bool ValidIndex(const std::vector<NodeRec>& nodes, std::int64_t i) {
  return i >= 0 && i < static_cast<std::int64_t>(nodes.size());
}

const NodeRec& At(const std::vector<NodeRec>& nodes, std::int32_t i) {
  return nodes[static_cast<std::size_t>(i)];
}

void AppendNumber(std::string& text, std::int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  text.append(digits, end);
}

// "<head><index>): <value>", or "Null" when the index names no node.
void AppendLink(std::string& text, std::string_view head, std::int32_t link,
                const std::vector<NodeRec>& nodes) {
  text += head;
  AppendNumber(text, link);
  text += "): ";
  if (ValidIndex(nodes, link))
    AppendNumber(text, At(nodes, link).Data);
  else
    text += "Null";
}

// Writes the description over `text`, keeping its buffer.
void WriteDescription(std::string& text, const TreeRec& tree, std::int32_t index,
                      std::int32_t parent) {
  text.clear();
  if (!ValidIndex(tree.Nodes, index)) return;
  const NodeRec& node = At(tree.Nodes, index);
  text += "Node(";
  AppendNumber(text, index);
  text += "): ";
  AppendNumber(text, node.Data);
  text += LineBreak;
  AppendLink(text, "Parent (", parent, tree.Nodes);
  text += LineBreak;
  AppendLink(text, "Left Child (", node.LeftChild, tree.Nodes);
  text += LineBreak;
  AppendLink(text, "Right Child (", node.RightChild, tree.Nodes);
  text += DoubleLineBreak;
  text += "Type: ";
  text += KindText(node.Kind);
  text += LineBreak;
  text += "Level: ";
  AppendNumber(text, node.Level);
  text += LineBreak;
  text += "Left Height: ";
  AppendNumber(text, node.LeftHeight);
  text += LineBreak;
  text += "Right Height: ";
  AppendNumber(text, node.RightHeight);
}

// Top of the circle of a node on `level`; the rows are two node widths apart.
float RowTop(std::int32_t level) {
  return static_cast<float>((static_cast<std::int64_t>(level) - 1) * 2) * NodeUnit;
}

std::int32_t ClampLevels(std::int64_t levels) {
  if (levels < MinLayoutLevels) return MinLayoutLevels;
  if (levels > MaxLayoutLevels) return MaxLayoutLevels;
  return static_cast<std::int32_t>(levels);
}

template <class T>
void Destroy(ControlArray<T>* array, std::int16_t i) {
  if (array != nullptr && i > 0 && array->IsLoaded(i)) array->Unload(i);
}

// Elements a previous pass left behind (the caller skipped ResetTree) would
// collide with the ones this pass creates.
template <class T>
void RemoveRunTimeElements(ControlArray<T>& array) {
  for (std::int32_t i = array.UpperBound() - 1; i >= 1; --i) {
    const auto k = static_cast<std::int16_t>(i);
    if (array.IsLoaded(k)) array.Unload(k);
  }
}

template <class T>
void LoadFresh(ControlArray<T>& array, std::int16_t k) {
  if (array.IsLoaded(k)) array.Unload(k);
  array.Load(k);
}

// Creates element k for child c of node `num` (drawn with element q), offset
// `off` from the parent: negative for a left child, positive for a right one.
void DrawChild(TreeRec& tree, std::int32_t num, std::int32_t c, std::int16_t q, float off) {
  // The element count is 16-bit: past 32767 elements nodes stay undrawn. A
  // count below 1 means no pass is under way (element 0 is the root's).
  if (DrawnElementCount < 1 || DrawnElementCount >= kMaxElements) return;
  const std::int16_t k = DrawnElementCount;
  ControlArray<Label>& labels = *TreeNodeArray;
  ControlArray<Shape>& shapes = *ShNodeArray;
  ControlArray<Line>& lines = *LnNodeArray;

  LoadFresh(lines, k);
  LoadFresh(shapes, k);
  LoadFresh(labels, k);
  labels.ZOrder(k, 0);

  NodeRec& child = tree.Nodes[static_cast<std::size_t>(c)];
  child.ControlIndex = k;

  // Taken after loading: a load may move the array's storage.
  Label& label = labels[k];
  const Label& parentLabel = labels[q];
  Shape& shape = shapes[k];
  Line& line = lines[k];

  label.Left = parentLabel.Left + off;
  label.Top = RowTop(child.Level);
  shape.Left = label.Left;
  shape.Top = label.Top;

  // From the child's top to a point inside the parent's circle (the parent's
  // label already sits LabelDrop below its circle's top).
  line.X1 = label.Left + NodeUnit / 2;
  line.X2 = parentLabel.Left + NodeUnit / 2;
  line.Y1 = label.Top;
  line.Y2 = parentLabel.Top + NodeUnit / 2;

  WriteDescription(label.ToolTipText, tree, c, num);
  child.Description = label.ToolTipText;
  label.Top += LabelDrop;

  label.Visible = true;
  label.Caption = std::to_string(child.Data);
  shape.Visible = true;
  line.Visible = true;

  // The stored extent includes the border of the circle that set it.
  if (shape.Left + shape.Width > DrawingWidth)
    DrawingWidth = shape.Left + shape.Width + shape.BorderWidth;
  if (shape.Top + shape.Height > DrawingHeight)
    DrawingHeight = shape.Top + shape.Height + shape.BorderWidth;

  DrawnElementCount = static_cast<std::int16_t>(k + 1);
}

// OrdersCode::PrintNode: draws the children of SharedTree node Num.
void PrintNodeChildren(std::int32_t Num) {
  if (SharedTree == nullptr || TreeNodeArray == nullptr || ShNodeArray == nullptr ||
      LnNodeArray == nullptr)
    return;
  TreeRec& tree = *SharedTree;
  if (!ValidIndex(tree.Nodes, Num)) return;
  const NodeRec& node = At(tree.Nodes, Num);

  const std::int32_t p = node.Level;
  if (p >= LayoutLevels) return;
  // A level the layout has no slot width for (only a hand-made record has one).
  if (p < 0 || static_cast<std::size_t>(p) + 1 >= LevelWidth.size()) return;

  const std::int32_t left = node.LeftChild;
  const std::int32_t right = node.RightChild;
  const std::int32_t q = node.ControlIndex;
  if (q < 0 || q > kMaxElements || !TreeNodeArray->IsLoaded(static_cast<std::int16_t>(q))) return;

  const float off = (NodeUnit + LevelWidth[static_cast<std::size_t>(p) + 1]) / 2;
  if (left != -1 && ValidIndex(tree.Nodes, left))
    DrawChild(tree, Num, left, static_cast<std::int16_t>(q), -off);
  if (right != -1 && ValidIndex(tree.Nodes, right))
    DrawChild(tree, Num, right, static_cast<std::int16_t>(q), off);
}

void DestroyElement(std::int16_t i) {
  Destroy(TreeNodeArray, i);
  Destroy(ShNodeArray, i);
  Destroy(LnNodeArray, i);
}

}  // namespace

float SubtreeWidth(std::int32_t level) {
  // Built up from the last laid-out level, which is one node wide. Once the
  // width stops changing (it reached infinity) every level above has it too.
  float width = NodeUnit;
  for (std::int64_t v = static_cast<std::int64_t>(LayoutLevels) - 1; v >= level; --v) {
    const float next = 2 * width + NodeUnit;
    if (next == width || next != next) break;
    width = next;
  }
  return width;
}

std::string NodeDescription(const TreeRec& tree, std::int32_t index, std::int32_t parent) {
  std::string text;
  WriteDescription(text, tree, index, parent);
  return text;
}

std::string NodeDescription(const TreeRec& tree, std::int32_t index) {
  if (!ValidIndex(tree.Nodes, index)) return {};
  return NodeDescription(tree, index, At(tree.Nodes, index).Parent);
}

void DrawTree(ControlArray<Label>& TreeNode, ControlArray<Shape>& ShNode,
              ControlArray<Line>& LnNode, std::int32_t MaximumLevels) {
  InstallDrawingHooks();
  TreeNodeArray = &TreeNode;
  ShNodeArray = &ShNode;
  LnNodeArray = &LnNode;

  if (!MainTree.Exists || !ValidIndex(MainTree.Nodes, MainTree.Root)) {
    TreeNode[0].Visible = false;
    ShNode[0].Visible = false;
    return;
  }

  RemoveRunTimeElements(TreeNode);
  RemoveRunTimeElements(ShNode);
  RemoveRunTimeElements(LnNode);

  NodeUnit = TreeNode[0].Width;
  Orders = std::make_unique<OrdersCode>();
  // The pass works on this copy alone and the main tree is only read. Drawing
  // changes no links, so the walk reads the copy's links too: a second copy
  // for the walk would double the memory a large tree's pass touches.
  SharedTreeStore = MainTree;
  SharedTree = &SharedTreeStore;
  TreeRec& tree = SharedTreeStore;
  const auto rootIndex = static_cast<std::size_t>(tree.Root);
  // The root is drawn with element 0 whatever the record says.
  tree.Nodes[rootIndex].ControlIndex = 0;

  LayoutLevels = ClampLevels(MaximumLevels > 0 ? static_cast<std::int64_t>(MaximumLevels)
                                               : static_cast<std::int64_t>(tree.Height) + 1);
  // Bottom-up, which gives SubtreeWidth(i) for every i in one sweep.
  const auto levels = static_cast<std::size_t>(LayoutLevels);
  LevelWidth.assign(levels + 1, 0.0f);
  LevelWidth[levels] = NodeUnit;
  for (std::size_t i = levels - 1; i >= 1; --i) LevelWidth[i] = 2 * LevelWidth[i + 1] + NodeUnit;

  DrawnElementCount = 0;
  const NodeRec& root = tree.Nodes[rootIndex];
  Label& rootLabel = TreeNode[0];
  Shape& rootShape = ShNode[0];
  rootLabel.Left = (LevelWidth[1] - NodeUnit) / 2;
  rootLabel.Top = RowTop(root.Level);
  rootShape.Left = rootLabel.Left;
  rootShape.Top = rootLabel.Top;
  WriteDescription(rootLabel.ToolTipText, tree, tree.Root, -1);
  rootLabel.Top += LabelDrop;
  rootLabel.Visible = true;
  rootLabel.Caption = std::to_string(root.Data);
  rootShape.Visible = true;
  LnNode[0].Visible = false;
  DrawnElementCount = 1;

  CallPreOrder(tree.Nodes, tree.Root, *Orders, "PrintNode");
}

void CallPreOrder(std::vector<NodeRec>& nodes, std::int32_t index, OrdersCode& target,
                  std::string_view methodName) {
  // The name is resolved once per walk; each visit still calls that method.
  const OrdersCode::Method method = OrdersCode::Lookup(methodName);
  if (method == nullptr) {
    assert(!"CallPreOrder: OrdersCode has no method of that name");
    return;
  }
  if (!ValidIndex(nodes, index)) return;

  // An explicit stack instead of recursion, so a tall hand-made table cannot
  // exhaust the call stack; and no slot is visited more often than the table
  // has slots, so links that loop back end the walk instead of spinning.
  std::vector<std::int32_t> pending;
  pending.reserve(64);
  pending.push_back(index);
  std::size_t visitsLeft = nodes.size();
  while (!pending.empty() && visitsLeft > 0) {
    --visitsLeft;
    const std::int32_t i = pending.back();
    pending.pop_back();
    std::int32_t num = i;
    (target.*method)(num);
    const NodeRec& node = At(nodes, i);
    // Right is pushed first so that the whole left subtree is visited before it.
    if (ValidIndex(nodes, node.RightChild)) pending.push_back(node.RightChild);
    if (ValidIndex(nodes, node.LeftChild)) pending.push_back(node.LeftChild);
  }
}

void InstallDrawingHooks() {
  SetDrawingHooks(&DestroyElement, &PrintNodeChildren);
}

void ResetDrawingState() {
  NodeUnit = 0;
  LayoutLevels = 0;
  LevelWidth.clear();
  DrawingWidth = 0;
  DrawingHeight = 0;
  TreeNodeArray = nullptr;
  ShNodeArray = nullptr;
  LnNodeArray = nullptr;
}

}  // namespace TreeCore
