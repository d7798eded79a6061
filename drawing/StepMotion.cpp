#include "StepMotion.h"

#include <algorithm>
#include <cmath>

namespace TreeCore {

namespace {

// Counts over a set of positions, with "the k-th one present" in log time:
// a long Erase closes the table up once per value, and a jump across all of
// them must not cost a pass over the table per value.
class Fenwick {
 public:
  explicit Fenwick(std::size_t n) : tree_(n + 1, 0) {}
  void Add(std::size_t i, int delta) {
    for (++i; i < tree_.size(); i += i & (~i + 1)) tree_[i] += delta;
  }
  // Present positions in 0..i.
  int Prefix(std::size_t i) const {
    int sum = 0;
    for (++i; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }
  // The position of the k-th present one (k from 1); -1 when there are fewer.
  std::ptrdiff_t Find(int k) const {
    std::size_t at = 0;
    std::size_t step = 1;
    while (step * 2 < tree_.size()) step *= 2;
    for (; step > 0; step /= 2) {
      if (at + step < tree_.size() && tree_[at + step] < k) {
        at += step;
        k -= tree_[at];
      }
    }
    return at < tree_.size() - 1 ? static_cast<std::ptrdiff_t>(at) : -1;
  }

 private:
  std::vector<int> tree_;
};

double Lerp(double a, double b, double t) {
  return a + (b - a) * t;
}

}  // namespace

std::vector<std::int32_t> MapSlots(std::int32_t count, const std::vector<SlotChange>& changes) {
  count = std::max(count, 0);
  std::size_t universe = static_cast<std::size_t>(count);
  for (const SlotChange& c : changes)
    if (c.Type == SlotChange::Kind::Append) ++universe;
  // Appended slots take places after the old ones: every slot keeps its
  // order, so a slot's new number is its rank among those still present.
  Fenwick present(universe);
  std::vector<bool> alive(universe, false);
  for (std::size_t s = 0; s < static_cast<std::size_t>(count); ++s) {
    present.Add(s, 1);
    alive[s] = true;
  }
  std::size_t next = static_cast<std::size_t>(count);
  for (const SlotChange& c : changes) {
    if (c.Type == SlotChange::Kind::Append) {
      present.Add(next, 1);
      alive[next++] = true;
      continue;
    }
    if (c.Slot < 0) continue;
    const std::ptrdiff_t at = present.Find(c.Slot + 1);
    if (at < 0) continue;
    present.Add(static_cast<std::size_t>(at), -1);
    alive[static_cast<std::size_t>(at)] = false;
  }
  std::vector<std::int32_t> map(static_cast<std::size_t>(count), -1);
  for (std::size_t s = 0; s < map.size(); ++s)
    if (alive[s]) map[s] = present.Prefix(s) - 1;
  return map;
}

std::vector<std::int32_t> InvertSlots(const std::vector<std::int32_t>& map, std::int32_t newCount) {
  std::vector<std::int32_t> inverse(static_cast<std::size_t>(std::max(newCount, 0)), -1);
  for (std::size_t s = 0; s < map.size(); ++s)
    if (map[s] >= 0 && map[s] < newCount)
      inverse[static_cast<std::size_t>(map[s])] = static_cast<std::int32_t>(s);
  return inverse;
}

Scene CaptureScene(const ElementArrays& elements, const std::vector<std::int32_t>& nodeOfElement,
                   const TreeRec& tree, const Placement& view) {
  Scene scene;
  scene.ScaleX = view.ScaleX;
  scene.ScaleY = view.ScaleY;
  scene.CircleWidth = elements.ShNode[0].Width;
  scene.CircleHeight = elements.ShNode[0].Height;
  const auto slots = static_cast<std::int32_t>(tree.Nodes.size());
  std::vector<std::int32_t> itemOfSlot(static_cast<std::size_t>(std::max(slots, 0)), -1);
  std::vector<std::int32_t> parentSlot;
  for (std::size_t k = 0; k < nodeOfElement.size() && k < 32768; ++k) {
    const auto e = static_cast<std::int16_t>(k);
    const std::int32_t node = nodeOfElement[k];
    if (node < 0 || node >= slots || !elements.ShNode.IsLoaded(e) || !elements.ShNode[e].Visible)
      continue;
    const Shape& shape = elements.ShNode[e];
    const Label& label = elements.TreeNode[e];
    SceneNode n;
    n.Node = node;
    n.X = shape.Left * view.ScaleX + view.OffsetX;
    n.Y = shape.Top * view.ScaleY + view.OffsetY;
    n.LabelDX = label.Left - shape.Left;
    n.LabelDY = label.Top - shape.Top;
    n.LabelWidth = label.Width;
    n.LabelHeight = label.Height;
    n.Caption = label.Caption;
    itemOfSlot[static_cast<std::size_t>(node)] = static_cast<std::int32_t>(scene.Nodes.size());
    parentSlot.push_back(tree.Nodes[static_cast<std::size_t>(node)].Parent);
    scene.Nodes.push_back(std::move(n));
  }
  for (std::size_t i = 0; i < scene.Nodes.size(); ++i)
    if (parentSlot[i] >= 0 && parentSlot[i] < slots)
      scene.Nodes[i].ParentItem = itemOfSlot[static_cast<std::size_t>(parentSlot[i])];
  return scene;
}

MotionPlan MatchScenes(const Scene& from, const Scene& to,
                       const std::vector<std::int32_t>& oldToNew) {
  MotionPlan plan;
  std::int32_t maxSlot = -1;
  for (const SceneNode& n : to.Nodes) maxSlot = std::max(maxSlot, n.Node);
  std::vector<std::int32_t> toOfSlot(static_cast<std::size_t>(maxSlot + 1), -1);
  for (std::size_t t = 0; t < to.Nodes.size(); ++t)
    toOfSlot[static_cast<std::size_t>(to.Nodes[t].Node)] = static_cast<std::int32_t>(t);

  std::vector<std::int32_t> itemOfFrom(from.Nodes.size(), -1), itemOfTo(to.Nodes.size(), -1);
  for (std::size_t f = 0; f < from.Nodes.size(); ++f) {
    const std::int32_t old = from.Nodes[f].Node;
    const std::int32_t now =
        old >= 0 && static_cast<std::size_t>(old) < oldToNew.size() ? oldToNew[old] : -1;
    const std::int32_t t =
        now >= 0 && now <= maxSlot ? toOfSlot[static_cast<std::size_t>(now)] : -1;
    // A slot drawn twice cannot happen; the first pairing wins all the same.
    const bool paired = t >= 0 && itemOfTo[static_cast<std::size_t>(t)] < 0;
    itemOfFrom[f] = static_cast<std::int32_t>(plan.Items.size());
    if (paired) itemOfTo[static_cast<std::size_t>(t)] = itemOfFrom[f];
    plan.Items.push_back({static_cast<std::int32_t>(f), paired ? t : -1});
  }
  for (std::size_t t = 0; t < to.Nodes.size(); ++t) {
    if (itemOfTo[t] >= 0) continue;
    itemOfTo[t] = static_cast<std::int32_t>(plan.Items.size());
    plan.Items.push_back({-1, static_cast<std::int32_t>(t)});
  }

  // Each item has at most one parent per scene, so an edge is found by its child.
  std::vector<std::int32_t> parentTo(plan.Items.size(), -1);
  for (std::size_t t = 0; t < to.Nodes.size(); ++t)
    if (to.Nodes[t].ParentItem >= 0)
      parentTo[static_cast<std::size_t>(itemOfTo[t])] =
          itemOfTo[static_cast<std::size_t>(to.Nodes[t].ParentItem)];
  std::vector<bool> kept(plan.Items.size(), false);
  for (std::size_t f = 0; f < from.Nodes.size(); ++f) {
    if (from.Nodes[f].ParentItem < 0) continue;
    const std::int32_t child = itemOfFrom[f];
    const std::int32_t parent = itemOfFrom[static_cast<std::size_t>(from.Nodes[f].ParentItem)];
    const bool both = parentTo[static_cast<std::size_t>(child)] == parent;
    kept[static_cast<std::size_t>(child)] = both;
    plan.Edges.push_back(
        {child, parent, both ? MotionPlan::Presence::Both : MotionPlan::Presence::FromOnly});
  }
  for (std::size_t i = 0; i < plan.Items.size(); ++i)
    if (parentTo[i] >= 0 && !kept[i])
      plan.Edges.push_back(
          {static_cast<std::int32_t>(i), parentTo[i], MotionPlan::Presence::ToOnly});
  return plan;
}

double EaseInOut(double t) {
  if (!(t > 0)) return 0;
  if (t >= 1) return 1;
  return t < 0.5 ? 4 * t * t * t : 1 - std::pow(-2 * t + 2, 3) / 2;
}

void MotionFrames::Load(Layer layer, std::int16_t element, bool node) {
  ElementArrays& a = layers_[layer];
  if (element > 0) {
    a.TreeNode.Load(element);
    a.ShNode.Load(element);
    a.LnNode.Load(element);
  }
  a.TreeNode[element].Visible = node;
  a.ShNode[element].Visible = node;
  a.LnNode[element].Visible = !node;
}

void MotionFrames::Prepare(Scene from, Scene to, const std::vector<std::int32_t>& oldToNew) {
  from_ = std::move(from);
  to_ = std::move(to);
  plan_ = MatchScenes(from_, to_, oldToNew);
  for (ElementArrays& a : layers_) {
    a = ElementArrays{};
    a.TreeNode[0].Visible = a.ShNode[0].Visible = a.LnNode[0].Visible = false;
    a.ShNode[0].Width = to_.CircleWidth > 0 ? to_.CircleWidth : from_.CircleWidth;
    a.ShNode[0].Height = to_.CircleHeight > 0 ? to_.CircleHeight : from_.CircleHeight;
  }
  std::int16_t used[LayerCount] = {0, 0, 0, 0, 0};
  nodeSlot_.assign(plan_.Items.size(), Slot{});
  for (std::size_t i = 0; i < plan_.Items.size(); ++i) {
    const MotionPlan::Item& item = plan_.Items[i];
    const Layer layer = item.From >= 0 && item.To >= 0 ? Solid : item.To >= 0 ? NodesIn : NodesOut;
    const std::int16_t k = used[layer]++;
    Load(layer, k, true);
    const SceneNode& n = item.To >= 0 ? to_.Nodes[static_cast<std::size_t>(item.To)]
                                      : from_.Nodes[static_cast<std::size_t>(item.From)];
    ElementArrays& a = layers_[layer];
    a.ShNode[k].Width = a.ShNode[0].Width;
    a.ShNode[k].Height = a.ShNode[0].Height;
    a.TreeNode[k].Width = n.LabelWidth;
    a.TreeNode[k].Height = n.LabelHeight;
    a.TreeNode[k].Caption = n.Caption;
    nodeSlot_[i] = {layer, k};
  }
  edgeSlot_.assign(plan_.Edges.size(), Slot{});
  for (std::size_t j = 0; j < plan_.Edges.size(); ++j) {
    const MotionPlan::Edge& edge = plan_.Edges[j];
    Layer layer = edge.In == MotionPlan::Presence::Both       ? Solid
                  : edge.In == MotionPlan::Presence::FromOnly ? EdgesOut
                                                              : EdgesIn;
    std::int16_t k = 0;
    if (layer == Solid) {
      // A kept edge shares its child's element, as in a drawing.
      k = nodeSlot_[static_cast<std::size_t>(edge.Child)].Element;
      layers_[Solid].LnNode[k].Visible = true;
    } else {
      k = used[layer]++;
      Load(layer, k, false);
    }
    edgeSlot_[j] = {layer, k};
  }
  x_.assign(plan_.Items.size(), 0);
  y_.assign(plan_.Items.size(), 0);
  Update(0);
}

double MotionFrames::Opacity(Layer layer) const {
  switch (layer) {
    case EdgesOut:
    case NodesOut:
      return 1 - eased_;
    case EdgesIn:
    case NodesIn:
      return eased_;
    default:
      return 1;
  }
}

void MotionFrames::Update(double progress) {
  eased_ = EaseInOut(progress);
  scaleX_ = Lerp(from_.ScaleX, to_.ScaleX, eased_);
  scaleY_ = Lerp(from_.ScaleY, to_.ScaleY, eased_);
  if (!(scaleX_ > 0) || !(scaleY_ > 0)) scaleX_ = scaleY_ = 1;
  const float w = layers_[Solid].ShNode[0].Width, h = layers_[Solid].ShNode[0].Height;
  for (std::size_t i = 0; i < plan_.Items.size(); ++i) {
    const MotionPlan::Item& item = plan_.Items[i];
    const SceneNode* a =
        item.From >= 0 ? &from_.Nodes[static_cast<std::size_t>(item.From)] : nullptr;
    const SceneNode* b = item.To >= 0 ? &to_.Nodes[static_cast<std::size_t>(item.To)] : nullptr;
    // A node that comes or goes stays where it is shown while it fades.
    x_[i] = a && b ? Lerp(a->X, b->X, eased_) : a ? a->X : b->X;
    y_[i] = a && b ? Lerp(a->Y, b->Y, eased_) : a ? a->Y : b->Y;
    const SceneNode& shown = b ? *b : *a;
    ElementArrays& layer = layers_[nodeSlot_[i].In];
    const std::int16_t k = nodeSlot_[i].Element;
    const auto left = static_cast<float>(x_[i] / scaleX_),
               top = static_cast<float>(y_[i] / scaleY_);
    layer.ShNode[k].Left = left;
    layer.ShNode[k].Top = top;
    layer.TreeNode[k].Left = left + shown.LabelDX;
    layer.TreeNode[k].Top = top + shown.LabelDY;
  }
  // Edges run between the two circles' rims, so they follow the nodes in
  // any direction the nodes move.
  for (std::size_t j = 0; j < plan_.Edges.size(); ++j) {
    const MotionPlan::Edge& edge = plan_.Edges[j];
    const auto c = static_cast<std::size_t>(edge.Child), p = static_cast<std::size_t>(edge.Parent);
    const double cx = x_[c] / scaleX_ + w / 2.0, cy = y_[c] / scaleY_ + h / 2.0;
    const double px = x_[p] / scaleX_ + w / 2.0, py = y_[p] / scaleY_ + h / 2.0;
    const double dx = px - cx, dy = py - cy, length = std::hypot(dx, dy);
    const double r = std::min(w, h) / 2.0;
    Line& line = layers_[edgeSlot_[j].In].LnNode[edgeSlot_[j].Element];
    line.Visible = length > 2 * r;
    if (!line.Visible) continue;
    line.X1 = static_cast<float>(cx + dx * r / length);
    line.Y1 = static_cast<float>(cy + dy * r / length);
    line.X2 = static_cast<float>(px - dx * r / length);
    line.Y2 = static_cast<float>(py - dy * r / length);
  }
}

}  // namespace TreeCore
