// Motion between two drawings: slots through renumbering, nodes paired by slot
// (values repeat), frames from the old drawing to the new, fades, edges.
#include <gtest/gtest.h>

#include <cmath>

#include "StepMotion.h"
#include "StepsDrawing.h"

namespace {

using namespace TreeCore;
using Change = SlotChange;
constexpr auto Remove = SlotChange::Kind::Remove;
constexpr auto Append = SlotChange::Kind::Append;

TEST(StepMotionTest, SlotsThroughAppendsAndRemovals) {
  struct Case {
    std::int32_t Count;
    std::vector<Change> Changes;
    std::vector<std::int32_t> Map;
  } const cases[] = {
      {5, {{Remove, 1}}, {0, -1, 1, 2, 3}},
      {5, {{Remove, 4}, {Remove, 0}}, {-1, 0, 1, 2, -1}},
      // The second removal's slot 1 is the old slot 2, after the first closed up.
      {3, {{Remove, 1}, {Remove, 1}}, {0, -1, -1}},
      // An appended slot can be removed again; the old ones keep their order.
      {3, {{Append, -1}, {Remove, 3}, {Remove, 0}}, {-1, 0, 1}},
      {2, {{Remove, 5}, {Remove, -1}}, {0, 1}},
  };
  for (const Case& c : cases) {
    const std::vector<std::int32_t> map = MapSlots(c.Count, c.Changes);
    EXPECT_EQ(map, c.Map) << "count " << c.Count;
  }
  EXPECT_EQ(InvertSlots({0, -1, 1, 2, 3}, 4), (std::vector<std::int32_t>{0, 2, 3, 4}));
}

TreeRec Built(std::initializer_list<std::int16_t> values) {
  TreeRec t;
  ResetTree(t, false);
  for (const std::int16_t v : values) InsertValue(t, v);
  return t;
}

Scene SceneOf(const TreeRec& tree, const Placement& view, TreeLayout layout = TreeLayout::Compact) {
  TreeUi::StepsDrawing drawing;
  ElementArrays elements;
  const std::vector<std::int32_t> nodes = drawing.Draw(tree, elements, layout);
  return CaptureScene(elements, nodes, tree, view);
}

std::int16_t Value(const TreeRec& t, std::int32_t slot) {
  return t.Nodes[static_cast<std::size_t>(slot)].Data;
}

// Erasing one of three equal values: the others keep their identity.
TEST(StepMotionTest, NodesPairedBySlotThroughAnErase) {
  const TreeRec before = Built({5, 3, 8, 5, 5, 9, 1});
  for (std::int32_t k = 0; k < before.Count; ++k) {
    if (Value(before, k) != 5) continue;
    TreeRec after = before;
    DeleteNode(after, k);
    const Scene from = SceneOf(before, {}), to = SceneOf(after, {});
    const std::vector<std::int32_t> map = MapSlots(before.Count, {{Remove, k}});
    const MotionPlan plan = MatchScenes(from, to, map);
    ASSERT_EQ(plan.Items.size(), from.Nodes.size()) << k;
    int gone = 0;
    for (const MotionPlan::Item& item : plan.Items) {
      ASSERT_GE(item.From, 0);
      const std::int32_t old = from.Nodes[static_cast<std::size_t>(item.From)].Node;
      if (item.To < 0) {
        ++gone;
        EXPECT_EQ(old, k);
        continue;
      }
      const std::int32_t now = to.Nodes[static_cast<std::size_t>(item.To)].Node;
      EXPECT_EQ(now, old < k ? old : old - 1);
      EXPECT_EQ(Value(after, now), Value(before, old));
    }
    EXPECT_EQ(gone, 1);
  }
}

TEST(StepMotionTest, FramesRunFromTheOldDrawingToTheNew) {
  // 1, 2 and then 3: the fix-up moves 2 up; 3 is new.
  const TreeRec before = Built({1, 2}), after = Built({1, 2, 3});
  const Placement a{1.0 / 15, 1.0 / 15, 40, 10}, b{1.0 / 30, 1.0 / 30, -20, 5};
  MotionFrames frames;
  frames.Prepare(SceneOf(before, a), SceneOf(after, b), MapSlots(before.Count, {{Append, -1}}));
  ASSERT_EQ(frames.NodeCount(), 3u);
  const double r = frames.Elements(MotionFrames::Solid).ShNode[0].Width / 2.0;
  for (const double t : {0.0, 0.5, 1.0}) {
    frames.Update(t);
    EXPECT_DOUBLE_EQ(frames.Opacity(MotionFrames::NodesIn), t);
    const MotionPlan& plan = frames.Plan();
    for (std::size_t i = 0; i < plan.Items.size(); ++i) {
      const MotionPlan::Item& item = plan.Items[i];
      const SceneNode* f = item.From >= 0 ? &frames.From().Nodes[item.From] : nullptr;
      const SceneNode* g = item.To >= 0 ? &frames.To().Nodes[item.To] : nullptr;
      ASSERT_NE(g, nullptr);  // nothing leaves
      const double x0 = f ? f->X : g->X, y0 = f ? f->Y : g->Y;
      EXPECT_NEAR(frames.ItemX(i), x0 + (g->X - x0) * t, 1e-9);
      EXPECT_NEAR(frames.ItemY(i), y0 + (g->Y - y0) * t, 1e-9);
    }
    // Every visible edge runs rim to rim between two circles of the frame.
    int edges = 0;
    for (const auto l : {MotionFrames::Solid, MotionFrames::EdgesIn, MotionFrames::EdgesOut}) {
      const ElementArrays& layer = frames.Elements(l);
      for (std::int16_t k = 0; k < layer.LnNode.UpperBound(); ++k) {
        if (!layer.LnNode.IsLoaded(k) || !layer.LnNode[k].Visible) continue;
        ++edges;
        for (const auto& [x, y] : {std::pair{layer.LnNode[k].X1, layer.LnNode[k].Y1},
                                   std::pair{layer.LnNode[k].X2, layer.LnNode[k].Y2}}) {
          double nearest = 1e9;
          for (std::size_t i = 0; i < frames.NodeCount(); ++i)
            nearest = std::min(nearest, std::hypot(frames.ItemX(i) / frames.ScaleX() + r - x,
                                                   frames.ItemY(i) / frames.ScaleY() + r - y));
          EXPECT_NEAR(nearest, r, 0.05);
        }
      }
    }
    // 1-2 goes, 2-1 and 2-3 come: three edges, each drawn once; half-way 1
    // and 2 pass each other, and an edge between overlapping circles is not drawn.
    EXPECT_EQ(edges, t == 0.5 ? 1 : 3);
  }
}

}  // namespace
