#include "CompactLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace TreeCore {

namespace {

bool Valid(const TreeRec& tree, std::int32_t i) {
  return i >= 0 && static_cast<std::size_t>(i) < tree.Nodes.size();
}

const NodeRec& At(const TreeRec& tree, std::int32_t i) {
  return tree.Nodes[static_cast<std::size_t>(i)];
}

// The nodes reachable from the root in pre-order, with the parent each was
// reached from. A slot is taken once, so links that loop end the walk.
struct Walk {
  std::vector<std::int32_t> Order;
  std::vector<std::int32_t> Parent;  // by node; -1 for the root and unreached slots
};

Walk PreOrder(const TreeRec& tree) {
  Walk walk;
  walk.Parent.assign(tree.Nodes.size(), -1);
  if (!tree.Exists || !Valid(tree, tree.Root)) return walk;
  std::vector<char> seen(tree.Nodes.size(), 0);
  std::vector<std::int32_t> pending{tree.Root};
  seen[static_cast<std::size_t>(tree.Root)] = 1;
  walk.Order.reserve(tree.Nodes.size());
  while (!pending.empty()) {
    const std::int32_t i = pending.back();
    pending.pop_back();
    walk.Order.push_back(i);
    for (const std::int32_t c : {At(tree, i).RightChild, At(tree, i).LeftChild}) {
      if (!Valid(tree, c) || seen[static_cast<std::size_t>(c)]) continue;
      seen[static_cast<std::size_t>(c)] = 1;
      walk.Parent[static_cast<std::size_t>(c)] = i;
      pending.push_back(c);
    }
  }
  return walk;
}

// A child of `parent` in the walk (the record's link, if the walk took it).
std::int32_t Child(const TreeRec& tree, const Walk& walk, std::int32_t parent, bool right) {
  const std::int32_t c = right ? At(tree, parent).RightChild : At(tree, parent).LeftChild;
  return Valid(tree, c) && walk.Parent[static_cast<std::size_t>(c)] == parent ? c : -1;
}

// A subtree's outline: its leftmost and rightmost place on each of its rows,
// deepest row first (a parent adds its own row at the back). A stored value
// v lies v + Shift half columns right of the subtree's top node, so that
// moving a whole subtree is one addition.
struct Outline {
  std::vector<std::int32_t> Left, Right;
  std::int32_t Shift = 0;
};

}  // namespace

std::vector<std::int32_t> InOrderColumns(const TreeRec& tree) {
  std::vector<std::int32_t> column(tree.Nodes.size(), -1);
  const Walk walk = PreOrder(tree);
  if (walk.Order.empty()) return column;
  std::vector<std::int32_t> pending;
  std::int32_t next = 0;
  std::int32_t i = tree.Root;
  for (;;) {
    for (; i >= 0; i = Child(tree, walk, i, false)) pending.push_back(i);
    if (pending.empty()) break;
    i = pending.back();
    pending.pop_back();
    column[static_cast<std::size_t>(i)] = 2 * next++;
    i = Child(tree, walk, i, true);
  }
  return column;
}

std::vector<std::int32_t> TidyColumns(const TreeRec& tree) {
  std::vector<std::int32_t> column(tree.Nodes.size(), -1);
  const Walk walk = PreOrder(tree);
  if (walk.Order.empty()) return column;

  // Each child's place relative to its parent, in half columns.
  std::vector<std::int32_t> offset(tree.Nodes.size(), 0);
  std::vector<Outline> outline(tree.Nodes.size());
  // The outline of the lower of two merged subtrees is spent: its storage
  // serves the next leaf.
  std::vector<Outline> spare;
  auto fresh = [&] {
    if (spare.empty()) return Outline{};
    Outline o = std::move(spare.back());
    spare.pop_back();
    o.Left.clear();
    o.Right.clear();
    o.Shift = 0;
    return o;
  };

  // Reverse pre-order: both children come before their parent.
  for (auto it = walk.Order.rbegin(); it != walk.Order.rend(); ++it) {
    const std::int32_t p = *it;
    const std::int32_t l = Child(tree, walk, p, false), r = Child(tree, walk, p, true);
    Outline o;
    if (l < 0 && r < 0) {
      o = fresh();
    } else if (l < 0 || r < 0) {
      // A single child half a column to its side, so that left and right show.
      const std::int32_t c = l < 0 ? r : l;
      const std::int32_t side = l < 0 ? 1 : -1;
      o = std::move(outline[static_cast<std::size_t>(c)]);
      offset[static_cast<std::size_t>(c)] = side;
      o.Shift += side;
    } else {
      Outline& a = outline[static_cast<std::size_t>(l)];
      Outline& b = outline[static_cast<std::size_t>(r)];
      const std::size_t ha = a.Left.size(), hb = b.Left.size(), common = std::min(ha, hb);
      // The closest the two may come on any shared row is one column apart.
      std::int32_t apart = 2;
      for (std::size_t i = 1; i <= common; ++i)
        apart = std::max(apart, a.Right[ha - i] + a.Shift - b.Left[hb - i] - b.Shift + 2);
      const std::int32_t half = (apart + 1) / 2;  // whole half columns each way
      offset[static_cast<std::size_t>(l)] = -half;
      offset[static_cast<std::size_t>(r)] = half;
      // The taller outline is kept; the shared rows take the other side's edge.
      if (ha >= hb) {
        o = std::move(a);
        o.Shift -= half;
        for (std::size_t i = 1; i <= common; ++i)
          o.Right[ha - i] = b.Right[hb - i] + b.Shift + half - o.Shift;
        spare.push_back(std::move(b));
      } else {
        o = std::move(b);
        o.Shift += half;
        for (std::size_t i = 1; i <= common; ++i)
          o.Left[hb - i] = a.Left[ha - i] + a.Shift - half - o.Shift;
        spare.push_back(std::move(a));
      }
    }
    o.Left.push_back(-o.Shift);
    o.Right.push_back(-o.Shift);
    outline[static_cast<std::size_t>(p)] = std::move(o);
  }

  std::int32_t least = 0;
  column[static_cast<std::size_t>(tree.Root)] = 0;
  for (const std::int32_t i : walk.Order) {
    const std::int32_t p = walk.Parent[static_cast<std::size_t>(i)];
    if (p < 0) continue;
    const std::int32_t x =
        column[static_cast<std::size_t>(p)] + offset[static_cast<std::size_t>(i)];
    column[static_cast<std::size_t>(i)] = x;
    least = std::min(least, x);
  }
  for (const std::int32_t i : walk.Order) column[static_cast<std::size_t>(i)] -= least;
  return column;
}

void ApplyCompactLayout(const TreeRec& tree, DrawingState& layout, CompactScheme scheme,
                        float gap) {
  if (layout.TreeNodeArray == nullptr || layout.ShNodeArray == nullptr ||
      layout.LnNodeArray == nullptr || layout.NodeOfElement.empty())
    return;
  ControlArray<Label>& labels = *layout.TreeNodeArray;
  ControlArray<Shape>& shapes = *layout.ShNodeArray;
  ControlArray<Line>& lines = *layout.LnNodeArray;
  const std::vector<std::int32_t> column =
      scheme == CompactScheme::Tidy ? TidyColumns(tree) : InOrderColumns(tree);
  const float unit = layout.NodeUnit;
  const float halfColumn = (unit + gap) / 2;

  const auto elements = static_cast<std::int32_t>(
      std::min<std::size_t>(layout.NodeOfElement.size(), std::numeric_limits<std::int16_t>::max()));
  std::vector<std::int32_t> elementOf(tree.Nodes.size(), -1);
  float width = 0, height = 0;
  for (std::int32_t k = 0; k < elements; ++k) {
    const std::int32_t node = layout.NodeOfElement[static_cast<std::size_t>(k)];
    if (!Valid(tree, node) || column[static_cast<std::size_t>(node)] < 0) continue;
    const auto e = static_cast<std::int16_t>(k);
    if (!shapes.IsLoaded(e) || !labels.IsLoaded(e)) continue;
    elementOf[static_cast<std::size_t>(node)] = k;
    Shape& s = shapes[e];
    s.Left = static_cast<float>(column[static_cast<std::size_t>(node)]) * halfColumn;
    labels[e].Left = s.Left;
    width = std::max(width, s.Left + s.Width + s.BorderWidth);
    height = std::max(height, s.Top + s.Height + s.BorderWidth);
  }

  // Each line from its child's circle to its parent's, both ends a tenth of
  // the circle inside its edge: they meet the circles at every scale.
  const float reach = unit * 0.4f;
  for (std::int32_t k = 1; k < elements; ++k) {
    const auto e = static_cast<std::int16_t>(k);
    const std::int32_t node = layout.NodeOfElement[static_cast<std::size_t>(k)];
    if (!lines.IsLoaded(e) || !Valid(tree, node) || elementOf[static_cast<std::size_t>(node)] != k)
      continue;
    std::int32_t parent = -1;
    const std::int32_t p = At(tree, node).Parent;
    if (Valid(tree, p) && (At(tree, p).LeftChild == node || At(tree, p).RightChild == node))
      parent = elementOf[static_cast<std::size_t>(p)];
    if (parent < 0) continue;
    const Shape& c = shapes[e];
    const Shape& q = shapes[static_cast<std::int16_t>(parent)];
    const float cx = c.Left + c.Width / 2, cy = c.Top + c.Height / 2;
    const float px = q.Left + q.Width / 2, py = q.Top + q.Height / 2;
    const float length = std::hypot(px - cx, py - cy);
    if (!(length > 0)) continue;
    const float ux = (px - cx) / length * reach, uy = (py - cy) / length * reach;
    Line& line = lines[e];
    line.X1 = cx + ux;
    line.Y1 = cy + uy;
    line.X2 = px - ux;
    line.Y2 = py - uy;
  }
  layout.DrawingWidth = width;
  layout.DrawingHeight = height;
}

}  // namespace TreeCore
