// One frame of the steps pane's motion on a 1,000-node tree: the erase of
// its root closes the table up and moves nodes all over, with one node
// fading out and edges fading in and out. A frame places every node and
// edge and paints a 1280 x 800 viewport, at 100 % and with the whole tree
// fitted (circles without captions).
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <numeric>
#include <random>

#include "StepMotion.h"
#include "StepsDrawing.h"
#include "TreeCore.h"
#include "steps/StepAnimator.h"

namespace {

constexpr int Width = 1280, Height = 800;

struct Drawn {
  TreeCore::ElementArrays Elements;
  std::vector<std::int32_t> Nodes;
  TreeUi::StepsDrawing Drawing;
};

// The tree drawn compact, as the pane draws it; `fit` shows it whole.
TreeCore::Scene SceneOf(const TreeCore::TreeRec& tree, bool fit) {
  Drawn d;
  d.Nodes = d.Drawing.Draw(tree, d.Elements, TreeCore::TreeLayout::Compact);
  double x1 = 0, y1 = 0;
  for (std::int16_t k = 0; k < d.Elements.ShNode.UpperBound(); ++k) {
    if (!d.Elements.ShNode.IsLoaded(k) || !d.Elements.ShNode[k].Visible) continue;
    x1 = std::max<double>(x1, d.Elements.ShNode[k].Left + d.Elements.ShNode[k].Width);
    y1 = std::max<double>(y1, d.Elements.ShNode[k].Top + d.Elements.ShNode[k].Height);
  }
  TreeCore::Placement view;
  if (fit) {
    view.ScaleX = view.ScaleY = std::min(Width / x1, Height / y1);
  } else {
    // 100 %, the root's row at the top and the middle of the tree in the middle.
    view.ScaleX = view.ScaleY = 1.0 / 15;
    view.OffsetX = Width / 2.0 - x1 / 2 / 15;
  }
  return TreeCore::CaptureScene(d.Elements, d.Nodes, tree, view);
}

void BM_MotionFrame(benchmark::State& state) {
  const bool fit = state.range(0) != 0;
  std::vector<std::int16_t> values(1000);
  std::iota(values.begin(), values.end(), std::int16_t{1});
  std::shuffle(values.begin(), values.end(), std::mt19937(2024));
  TreeCore::TreeRec before;
  TreeCore::ResetTree(before, false);
  for (const std::int16_t v : values) TreeCore::InsertValue(before, v);
  TreeCore::TreeRec after = before;
  const std::int32_t root = before.Root;
  TreeCore::DeleteNode(after, root);
  TreeCore::MotionFrames frames;
  frames.Prepare(SceneOf(before, fit), SceneOf(after, fit),
                 TreeCore::MapSlots(before.Count, {{TreeCore::SlotChange::Kind::Remove, root}}));
  QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
  QFont font;
  font.setPixelSize(11);
  double progress = 0;
  for (auto _ : state) {
    progress = progress >= 1 ? 0 : progress + 1.0 / 36;
    frames.Update(progress);
    QPainter painter(&image);
    painter.fillRect(image.rect(), Qt::white);
    TreeUi::PaintMotionFrame(painter, frames, QPointF(0, 0), QRectF(image.rect()), true, font);
  }
  state.counters["nodes"] = static_cast<double>(frames.NodeCount());
}
BENCHMARK(BM_MotionFrame)->Arg(0)->Arg(1)->ArgNames({"fitted"})->Unit(benchmark::kMillisecond);

}  // namespace
