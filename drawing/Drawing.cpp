#include "Drawing.h"

#include <cassert>
#include <charconv>
#include <cstring>
#include <limits>
#include <string>

namespace TreeCore {

namespace {
DrawingState defaultDrawing;
}  // namespace

DrawingState& DefaultDrawing() {
  return defaultDrawing;
}

float& NodeUnit = defaultDrawing.NodeUnit;
std::int32_t& LayoutLevels = defaultDrawing.LayoutLevels;
std::vector<float>& LevelWidth = defaultDrawing.LevelWidth;
float& DrawingWidth = defaultDrawing.DrawingWidth;
float& DrawingHeight = defaultDrawing.DrawingHeight;
ControlArray<Label>*& TreeNodeArray = defaultDrawing.TreeNodeArray;
ControlArray<Shape>*& ShNodeArray = defaultDrawing.ShNodeArray;
ControlArray<Line>*& LnNodeArray = defaultDrawing.LnNodeArray;

namespace {

constexpr std::int16_t kMaxElements = std::numeric_limits<std::int16_t>::max();

bool ValidIndex(const std::vector<NodeRec>& nodes, std::int64_t i) {
  return i >= 0 && i < static_cast<std::int64_t>(nodes.size());
}

const NodeRec& At(const std::vector<NodeRec>& nodes, std::int32_t i) {
  return nodes[static_cast<std::size_t>(i)];
}

// Where a description is written: straight into a string, or into a buffer
// on the stack that reaches the string in one copy (one description per
// drawn node: the appends' checks add up on a large tree).
class StringSink {
 public:
  explicit StringSink(std::string& text) : text_(text) {}
  void Put(std::string_view piece) { text_ += piece; }
  void Number(std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text_.append(digits, end);
  }

 private:
  std::string& text_;
};

class BufferSink {
 public:
  // Room for the fixed words, nine numbers and the line breaks, when they
  // are of an ordinary length.
  static constexpr std::size_t Size = 512;
  static bool Fits(std::size_t lineBreaks) { return lineBreaks <= Size - 400; }
  void Put(std::string_view piece) {
    std::memcpy(at_, piece.data(), piece.size());
    at_ += piece.size();
  }
  void Number(std::int64_t value) { at_ = std::to_chars(at_, buffer_ + Size, value).ptr; }
  void CopyTo(std::string& text) const {
    text.assign(buffer_, static_cast<std::size_t>(at_ - buffer_));
  }

 private:
  char buffer_[Size];
  char* at_ = buffer_;
};

// "<head><index>): <value>", or "Null" when the index names no node.
template <class Sink>
void PutLink(Sink& out, std::string_view head, std::int32_t link,
             const std::vector<NodeRec>& nodes) {
  out.Put(head);
  out.Number(link);
  out.Put("): ");
  if (ValidIndex(nodes, link))
    out.Number(At(nodes, link).Data);
  else
    out.Put("Null");
}

template <class Sink>
void ComposeDescription(Sink& out, const std::string& LineBreak, const std::string& DoubleLineBreak,
                        const TreeRec& tree, std::int32_t index, std::int32_t parent) {
  const NodeRec& node = At(tree.Nodes, index);
  out.Put("Node(");
  out.Number(index);
  out.Put("): ");
  out.Number(node.Data);
  out.Put(LineBreak);
  PutLink(out, "Parent (", parent, tree.Nodes);
  out.Put(LineBreak);
  PutLink(out, "Left Child (", node.LeftChild, tree.Nodes);
  out.Put(LineBreak);
  PutLink(out, "Right Child (", node.RightChild, tree.Nodes);
  out.Put(DoubleLineBreak);
  out.Put("Type: ");
  out.Put(KindText(node.Kind));
  out.Put(LineBreak);
  out.Put("Level: ");
  out.Number(node.Level);
  out.Put(LineBreak);
  out.Put("Left Height: ");
  out.Number(node.LeftHeight);
  out.Put(LineBreak);
  out.Put("Right Height: ");
  out.Number(node.RightHeight);
}

// Writes the description over `text`, keeping its buffer.
void WriteDescription(const EngineState& engine, std::string& text, const TreeRec& tree,
                      std::int32_t index, std::int32_t parent) {
  const std::string& LineBreak = engine.LineBreak;
  const std::string& DoubleLineBreak = engine.DoubleLineBreak;
  text.clear();
  if (!ValidIndex(tree.Nodes, index)) return;
  if (BufferSink::Fits(5 * LineBreak.size() + DoubleLineBreak.size())) {
    BufferSink out;
    ComposeDescription(out, LineBreak, DoubleLineBreak, tree, index, parent);
    out.CopyTo(text);
  } else {
    StringSink out(text);
    ComposeDescription(out, LineBreak, DoubleLineBreak, tree, index, parent);
  }
}

// Top of the circle of a node on `level`; the rows are two node widths apart.
float RowTop(const DrawingState& layout, std::int32_t level) {
  return static_cast<float>((static_cast<std::int64_t>(level) - 1) * 2) * layout.NodeUnit;
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
void DrawChild(EngineState& engine, DrawingState& layout, TreeRec& tree, std::int32_t num,
               std::int32_t c, std::int16_t q, float off) {
  // The element count is 16-bit: past 32767 elements nodes stay undrawn. A
  // count below 1 means no pass is under way (element 0 is the root's).
  std::int16_t& count = engine.DrawnElementCount;
  if (count < 1 || count >= kMaxElements) return;
  const std::int16_t k = count;
  ControlArray<Label>& labels = *layout.TreeNodeArray;
  ControlArray<Shape>& shapes = *layout.ShNodeArray;
  ControlArray<Line>& lines = *layout.LnNodeArray;
  const float unit = layout.NodeUnit;

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
  label.Top = RowTop(layout, child.Level);
  shape.Left = label.Left;
  shape.Top = label.Top;

  // From the child's top to a point inside the parent's circle (the parent's
  // label already sits LabelDrop below its circle's top).
  line.X1 = label.Left + unit / 2;
  line.X2 = parentLabel.Left + unit / 2;
  line.Y1 = label.Top;
  line.Y2 = parentLabel.Top + unit / 2;

  WriteDescription(engine, label.ToolTipText, tree, c, num);
  child.Description = label.ToolTipText;
  label.Top += LabelDrop;

  label.Visible = true;
  label.Caption = std::to_string(child.Data);
  shape.Visible = true;
  line.Visible = true;

  // The stored extent includes the border of the circle that set it.
  if (shape.Left + shape.Width > layout.DrawingWidth)
    layout.DrawingWidth = shape.Left + shape.Width + shape.BorderWidth;
  if (shape.Top + shape.Height > layout.DrawingHeight)
    layout.DrawingHeight = shape.Top + shape.Height + shape.BorderWidth;

  if (layout.NodeOfElement.size() == static_cast<std::size_t>(k)) layout.NodeOfElement.push_back(c);
  count = static_cast<std::int16_t>(k + 1);
}

// OrdersCode::PrintNode: draws the children of the engine's SharedTree node Num.
void PrintNodeChildren(EngineState& engine, DrawingState& layout, std::int32_t Num) {
  if (engine.SharedTree == nullptr || layout.TreeNodeArray == nullptr ||
      layout.ShNodeArray == nullptr || layout.LnNodeArray == nullptr)
    return;
  TreeRec& tree = *engine.SharedTree;
  if (!ValidIndex(tree.Nodes, Num)) return;
  const NodeRec& node = At(tree.Nodes, Num);

  const std::int32_t p = node.Level;
  if (p >= layout.LayoutLevels) return;
  // A level the layout has no slot width for (only a hand-made record has one).
  if (p < 0 || static_cast<std::size_t>(p) + 1 >= layout.LevelWidth.size()) return;

  const std::int32_t left = node.LeftChild;
  const std::int32_t right = node.RightChild;
  const std::int32_t q = node.ControlIndex;
  if (q < 0 || q > kMaxElements || !layout.TreeNodeArray->IsLoaded(static_cast<std::int16_t>(q)))
    return;

  const float off = (layout.NodeUnit + layout.LevelWidth[static_cast<std::size_t>(p) + 1]) / 2;
  if (left != -1 && ValidIndex(tree.Nodes, left))
    DrawChild(engine, layout, tree, Num, left, static_cast<std::int16_t>(q), -off);
  if (right != -1 && ValidIndex(tree.Nodes, right))
    DrawChild(engine, layout, tree, Num, right, static_cast<std::int16_t>(q), off);
}

void DestroyElement(DrawingState& layout, std::int16_t i) {
  Destroy(layout.TreeNodeArray, i);
  Destroy(layout.ShNodeArray, i);
  Destroy(layout.LnNodeArray, i);
}

}  // namespace

float SubtreeWidth(const DrawingState& layout, std::int32_t level) {
  // Built up from the last laid-out level, which is one node wide. Once the
  // width stops changing (it reached infinity) every level above has it too.
  const float unit = layout.NodeUnit;
  float width = unit;
  for (std::int64_t v = static_cast<std::int64_t>(layout.LayoutLevels) - 1; v >= level; --v) {
    const float next = 2 * width + unit;
    if (next == width || next != next) break;
    width = next;
  }
  return width;
}

float SubtreeWidth(std::int32_t level) {
  return SubtreeWidth(defaultDrawing, level);
}

std::string NodeDescription(const EngineState& engine, const TreeRec& tree, std::int32_t index,
                            std::int32_t parent) {
  std::string text;
  WriteDescription(engine, text, tree, index, parent);
  return text;
}

std::string NodeDescription(const TreeRec& tree, std::int32_t index, std::int32_t parent) {
  return NodeDescription(DefaultEngine(), tree, index, parent);
}

std::string NodeDescription(const TreeRec& tree, std::int32_t index) {
  if (!ValidIndex(tree.Nodes, index)) return {};
  return NodeDescription(tree, index, At(tree.Nodes, index).Parent);
}

void DrawTreeInto(EngineState& engine, DrawingState& layout, const TreeRec& source,
                  ControlArray<Label>& TreeNode, ControlArray<Shape>& ShNode,
                  ControlArray<Line>& LnNode, std::int32_t MaximumLevels) {
  InstallDrawingHooks(engine, layout);
  layout.TreeNodeArray = &TreeNode;
  layout.ShNodeArray = &ShNode;
  layout.LnNodeArray = &LnNode;
  layout.NodeOfElement.clear();

  if (!source.Exists || !ValidIndex(source.Nodes, source.Root)) {
    TreeNode[0].Visible = false;
    ShNode[0].Visible = false;
    return;
  }

  RemoveRunTimeElements(TreeNode);
  RemoveRunTimeElements(ShNode);
  RemoveRunTimeElements(LnNode);

  const float unit = TreeNode[0].Width;
  layout.NodeUnit = unit;
  engine.Orders = std::make_unique<OrdersCode>(engine);
  // The pass works on this copy alone and the tree it was given is only read.
  // Drawing changes no links, so the walk reads the copy's links too: a second
  // copy for the walk would double the memory a large tree's pass touches.
  engine.SharedTreeStore = source;
  engine.SharedTree = &engine.SharedTreeStore;
  TreeRec& tree = engine.SharedTreeStore;
  const auto rootIndex = static_cast<std::size_t>(tree.Root);
  // The root is drawn with element 0 whatever the record says.
  tree.Nodes[rootIndex].ControlIndex = 0;

  layout.LayoutLevels = ClampLevels(MaximumLevels > 0 ? static_cast<std::int64_t>(MaximumLevels)
                                                      : static_cast<std::int64_t>(tree.Height) + 1);
  // Bottom-up, which gives SubtreeWidth(i) for every i in one sweep.
  const auto levels = static_cast<std::size_t>(layout.LayoutLevels);
  std::vector<float>& widths = layout.LevelWidth;
  widths.assign(levels + 1, 0.0f);
  widths[levels] = unit;
  for (std::size_t i = levels - 1; i >= 1; --i) widths[i] = 2 * widths[i + 1] + unit;

  engine.DrawnElementCount = 0;
  const NodeRec& root = tree.Nodes[rootIndex];
  Label& rootLabel = TreeNode[0];
  Shape& rootShape = ShNode[0];
  rootLabel.Left = (widths[1] - unit) / 2;
  rootLabel.Top = RowTop(layout, root.Level);
  rootShape.Left = rootLabel.Left;
  rootShape.Top = rootLabel.Top;
  // Every element the walk creates starts as a copy of element 0: the root's
  // description is written once the walk is over, so that it is not copied
  // into each of them only to be written over.
  rootLabel.ToolTipText.clear();
  rootLabel.Top += LabelDrop;
  rootLabel.Visible = true;
  rootLabel.Caption = std::to_string(root.Data);
  rootShape.Visible = true;
  LnNode[0].Visible = false;
  engine.DrawnElementCount = 1;
  layout.NodeOfElement.push_back(tree.Root);

  CallPreOrder(tree.Nodes, tree.Root, *engine.Orders, "PrintNode");
  // Looked up again: the walk's loads may have moved the array's storage.
  WriteDescription(engine, TreeNode[0].ToolTipText, tree, tree.Root, -1);
}

void DrawTree(ControlArray<Label>& TreeNode, ControlArray<Shape>& ShNode,
              ControlArray<Line>& LnNode, std::int32_t MaximumLevels) {
  EngineState& engine = DefaultEngine();
  DrawTreeInto(engine, defaultDrawing, engine.MainTree, TreeNode, ShNode, LnNode, MaximumLevels);
}

void ResetDrawing(EngineState& engine, DrawingState& layout) {
  for (std::int16_t i = 1; i < engine.DrawnElementCount; ++i) DestroyElement(layout, i);
  engine.DrawnElementCount = 0;
  layout.NodeOfElement.clear();
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

void InstallDrawingHooks(EngineState& engine, DrawingState& layout) {
  engine.DestroyElement = [&layout](std::int16_t i) { DestroyElement(layout, i); };
  engine.PrintNode = [&engine, &layout](std::int32_t Num) {
    PrintNodeChildren(engine, layout, Num);
  };
}

void InstallDrawingHooks() {
  InstallDrawingHooks(DefaultEngine(), defaultDrawing);
}

void ResetDrawingState(DrawingState& layout) {
  layout = DrawingState{};
}

void ResetDrawingState() {
  ResetDrawingState(defaultDrawing);
}

}  // namespace TreeCore
