// Moving a drawn tree from one state to the next: which node of the old table
// each node of the new one is, where every node and edge stands part of the
// way there, and how visible it is. The frames are element arrays, so any
// painter of drawings paints them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Templates.h"
#include "TreeCore.h"

namespace TreeCore {

// One change of a node table's numbering between two states, in the order
// the changes happened.
struct SlotChange {
  enum class Kind : std::uint8_t { Append, Remove };
  Kind Type = Kind::Append;
  std::int32_t Slot = -1;  // Remove: the slot, in the numbering of that moment
};

// For each slot of a table of `count` slots, its slot after `changes`, or -1
// when it was removed. An append adds a slot at the end; a removal closes the
// table up, so the slots behind it move down by one. Removals of slots that
// do not exist are ignored.
std::vector<std::int32_t> MapSlots(std::int32_t count, const std::vector<SlotChange>& changes);
// The other way round: for each of `newCount` slots, the slot it came from (-1: new).
std::vector<std::int32_t> InvertSlots(const std::vector<std::int32_t>& map, std::int32_t newCount);

// model twips -> device pixels: x * ScaleX + OffsetX, likewise vertically.
struct Placement {
  double ScaleX = 1, ScaleY = 1, OffsetX = 0, OffsetY = 0;
};

// A drawn node as it appears: the box of its circle in device pixels, its
// caption's box relative to the circle in twips, and its parent's node.
struct SceneNode {
  std::int32_t Node = -1;        // its slot in the tree drawn
  std::int32_t ParentItem = -1;  // index of the parent's SceneNode; -1 for the root
  double X = 0, Y = 0;           // the circle's top-left, pixels
  float LabelDX = 0, LabelDY = 0, LabelWidth = 0, LabelHeight = 0;
  std::string Caption;
};

struct Scene {
  double ScaleX = 1, ScaleY = 1;  // pixels per twip where it was seen
  float CircleWidth = 0, CircleHeight = 0;
  std::vector<SceneNode> Nodes;
};

// The visible nodes of a drawing of `tree`, element k showing node
// nodeOfElement[k], as `view` shows them.
Scene CaptureScene(const ElementArrays& elements, const std::vector<std::int32_t>& nodeOfElement,
                   const TreeRec& tree, const Placement& view);

// The nodes of both scenes paired through `oldToNew` (MapSlots of the changes
// between them), and the edges of both: an edge whose two ends have the same
// parent-child pair in both scenes stays; any other fades.
struct MotionPlan {
  struct Item {
    std::int32_t From = -1, To = -1;  // indexes into the scenes' nodes; -1: not there
  };
  enum class Presence : std::uint8_t { Both, FromOnly, ToOnly };
  struct Edge {
    std::int32_t Child = -1, Parent = -1;  // indexes into Items
    Presence In = Presence::Both;
  };
  std::vector<Item> Items;
  std::vector<Edge> Edges;
};
MotionPlan MatchScenes(const Scene& from, const Scene& to,
                       const std::vector<std::int32_t>& oldToNew);

// Slow at both ends: 0 at 0, 1 at 1, 0.5 at 0.5, never outside 0..1.
double EaseInOut(double t);

// One frame of a motion as elements in model twips at the frame's scale (no
// offset): Solid holds what is in both states (nodes and their kept edges);
// the fading layers hold the rest, nodes and edges apart so that every edge
// can be painted below every node. Painting order: EdgesOut, EdgesIn, Solid,
// NodesOut, NodesIn.
class MotionFrames {
 public:
  enum Layer { Solid, EdgesOut, EdgesIn, NodesOut, NodesIn, LayerCount };

  void Prepare(Scene from, Scene to, const std::vector<std::int32_t>& oldToNew);
  // Places everything at `progress` (0 the old state, 1 the new), eased.
  void Update(double progress);

  const ElementArrays& Elements(Layer layer) const { return layers_[layer]; }
  // How opaque a layer is painted at the last Update.
  double Opacity(Layer layer) const;
  double ScaleX() const { return scaleX_; }
  double ScaleY() const { return scaleY_; }
  const MotionPlan& Plan() const { return plan_; }
  const Scene& From() const { return from_; }
  const Scene& To() const { return to_; }
  // Where item i's circle stands at the last Update (top-left, pixels).
  double ItemX(std::size_t i) const { return x_[i]; }
  double ItemY(std::size_t i) const { return y_[i]; }
  std::size_t NodeCount() const { return plan_.Items.size(); }

 private:
  struct Slot {
    Layer In = Solid;
    std::int16_t Element = 0;
  };
  void Load(Layer layer, std::int16_t element, bool node);

  Scene from_, to_;
  MotionPlan plan_;
  ElementArrays layers_[LayerCount];
  std::vector<Slot> nodeSlot_, edgeSlot_;
  std::vector<double> x_, y_;
  double eased_ = 0, scaleX_ = 1, scaleY_ = 1;
};

}  // namespace TreeCore
