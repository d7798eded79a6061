// The window at full size: painting one viewport-sized frame of a 32767-node
// drawing, and the commands end to end (parse, reset, insert or erase, draw,
// fit the pad, first paint) on the offscreen platform.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <memory>
#include <numeric>
#include <random>

#include "CountingSink.h"
#include "Drawing.h"
#include "PeakMemory.h"
#include "TreeCore.h"
#include "boxes/ListBox.h"
#include "view/DrawSurface.h"
#include "view/LayoutAction.h"
#include "view/PadView.h"
#include "window/frmTreeTest.h"

namespace {

using Bench::CountingSink;

// 32767 distinct values, shuffled or rising.
std::vector<int> Values(int count, bool sorted, unsigned seed) {
  std::vector<int> v(static_cast<std::size_t>(count));
  std::iota(v.begin(), v.end(), -count / 2);
  if (!sorted) std::shuffle(v.begin(), v.end(), std::mt19937(seed));
  return v;
}

QString Join(const std::vector<int>& values) {
  QStringList pieces;
  pieces.reserve(static_cast<qsizetype>(values.size()));
  for (int v : values) pieces << QString::number(v);
  return pieces.join(QLatin1Char(','));
}

struct Window {
  Window() {
    TreeCore::ResetModuleState();
    TreeCore::ResetDrawingState();
    W = std::make_unique<frmTreeTest>();
    W->SetMessageSink(&Sink);
    W->show();
    QApplication::processEvents();
  }
  ~Window() {
    W.reset();
    TreeCore::ResetModuleState();
    TreeCore::ResetDrawingState();
  }
  QLineEdit* Box(const char* name) { return W->findChild<QLineEdit*>(QLatin1String(name)); }
  QPushButton* Button(const char* name) { return W->findChild<QPushButton*>(QLatin1String(name)); }
  QScrollBar* Bar(const char* name) { return W->findChild<QScrollBar*>(QLatin1String(name)); }
  bool PaintsPending() const {
    const auto boxes = W->findChildren<TreeUi::ListBox*>();
    return std::any_of(boxes.begin(), boxes.end(),
                       [](const TreeUi::ListBox* b) { return b->PaintPending(); });
  }
  // Runs a command and paints the first frame after it.
  void Run(const char* box, const char* button, const QString& text) {
    Box(box)->setText(text);
    Button(button)->click();
    W->Surface()->repaint();
  }

  CountingSink Sink;
  std::unique_ptr<frmTreeTest> W;
};

enum class Frame { TopLeft, Middle, Densest, DensestLarge };

// The top-left corner (twips) of the viewport-sized frame that holds the
// most labels: a wide tree's drawing is mostly empty space.
std::pair<double, double> DensestCorner(frmTreeTest& window, double width, double height) {
  const auto& labels = window.Elements().TreeNode;
  std::vector<std::pair<double, double>> at;
  for (std::int32_t k = 0; k < labels.UpperBound(); ++k)
    if (labels.IsLoaded(static_cast<std::int16_t>(k)))
      at.emplace_back(labels[static_cast<std::int16_t>(k)].Left,
                      labels[static_cast<std::int16_t>(k)].Top);
  std::sort(at.begin(), at.end());
  std::size_t best = 0;
  std::pair<double, double> corner{0, 0};
  for (const auto& [left, top] : at) {
    std::size_t n = 0;
    const double rowTop = top - 90 - height / 2;
    for (auto it = std::lower_bound(at.begin(), at.end(), std::make_pair(left, -1e300));
         it != at.end() && it->first < left + width; ++it)
      if (it->second >= rowTop && it->second < rowTop + height) ++n;
    if (n > best) {
      best = n;
      corner = {left - 15, std::max(0.0, rowTop)};
    }
  }
  return corner;
}

void PaintFrame(benchmark::State& state, Frame where) {
  Window w;
  if (where == Frame::DensestLarge) w.W->resize(1280, 1000);
  w.Run("TxtGetTree", "CmdGetTree", Join(Values(32767, false, 1)));
  if (w.Sink.Count != 0) {
    state.SkipWithError(qPrintable(w.Sink.Last));
    return;
  }
  QScrollBar* h = w.Bar("HScrollDrawP");
  QScrollBar* v = w.Bar("VScrollDrawP");
  if (where == Frame::Middle) {
    h->setValue(h->maximum() / 2);
    v->setValue(v->maximum() / 2);
  } else if (where == Frame::Densest || where == Frame::DensestLarge) {
    const QWidget* pad = w.W->Surface()->parentWidget();
    const auto [left, top] = DensestCorner(*w.W, pad->width() * 15.0, pad->height() * 15.0);
    h->setValue(w.W->View()->HorizontalScale().Position(left));
    v->setValue(w.W->View()->VerticalScale().Position(top));
  }
  TreeUi::DrawSurface* surface = w.W->Surface();
  QImage frame(surface->size() * surface->devicePixelRatio(), QImage::Format_ARGB32_Premultiplied);
  frame.setDevicePixelRatio(surface->devicePixelRatio());
  // The lookups are built once per drawing, by the first paint after it.
  surface->render(&frame);
  for (auto _ : state) {
    surface->render(&frame);
    benchmark::DoNotOptimize(frame.constBits());
  }
  state.counters["nodes"] = TreeCore::DrawnElementCount;
  state.counters["frame_px"] = surface->width() * surface->height();
  state.counters["painted"] = surface->LastPaintedCount();
}

void BM_PaintFrameTopLeft(benchmark::State& state) {
  PaintFrame(state, Frame::TopLeft);
}
void BM_PaintFrameMiddle(benchmark::State& state) {
  PaintFrame(state, Frame::Middle);
}
void BM_PaintFrameDensest(benchmark::State& state) {
  PaintFrame(state, Frame::Densest);
}
void BM_PaintFrameDensestLarge(benchmark::State& state) {
  PaintFrame(state, Frame::DensestLarge);
}

// Get Tree: args are the count and whether the list is sorted.
void BM_GetTree(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const bool sorted = state.range(1) != 0;
  const QString text = Join(Values(count, sorted, 2));
  Window w;
  for (auto _ : state) {
    w.Run("TxtGetTree", "CmdGetTree", text);
    if (w.Sink.Count != 0) {
      state.SkipWithError(qPrintable(w.Sink.Last));
      return;
    }
  }
  state.counters["nodes"] = TreeCore::DrawnElementCount;
  // The whole process's peak: run one case alone for a figure of its own.
  state.counters["peak_rss_mb"] = Bench::PeakResidentMB();
  state.SetLabel(sorted ? "sorted" : "random");
}

// Erase of every value of a 32767-node tree, in random order, in one command.
void BM_EraseAll(benchmark::State& state) {
  const std::vector<int> values = Values(32767, false, 3);
  const QString build = Join(values);
  const QString erase = Join(Values(32767, false, 4));
  Window w;
  for (auto _ : state) {
    state.PauseTiming();
    w.Run("TxtGetTree", "CmdGetTree", build);
    state.ResumeTiming();
    w.Run("txtEraseNode", "CmdEraseTree", erase);
    if (w.Sink.Count != 0 || TreeCore::MainTree.Exists) {
      state.SkipWithError("the tree was not erased whole");
      return;
    }
  }
}

// The first paint after a 32767-node Get Tree: the lookups are rebuilt from
// the new elements, then one viewport-sized frame is painted.
void BM_FirstPaintAfterGetTree(benchmark::State& state) {
  Window w;
  w.Run("TxtGetTree", "CmdGetTree", Join(Values(32767, false, 1)));
  if (w.Sink.Count != 0) {
    state.SkipWithError(qPrintable(w.Sink.Last));
    return;
  }
  TreeUi::DrawSurface* surface = w.W->Surface();
  QImage frame(surface->size() * surface->devicePixelRatio(), QImage::Format_ARGB32_Premultiplied);
  frame.setDevicePixelRatio(surface->devicePixelRatio());
  for (auto _ : state) {
    surface->ElementsChanged();
    surface->render(&frame);
    benchmark::DoNotOptimize(frame.constBits());
  }
  state.counters["nodes"] = TreeCore::DrawnElementCount;
}

// The longest time the window's thread went without handling a 5 ms timer
// while a command ran, from the click to the first paint after it and the
// paints of the boxes put off to later passes (the list is typed before).
// Arg 0: Get Tree of 32767 descending values; 1: Erase of all 32767 values
// of a random tree, in another random order; 2: Erase of the descending list
// from the tree it built, where a single value can take seconds.
void BM_LongestEventGap(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const bool erase = which != 0;
  std::vector<int> values = Values(32767, which != 1, 5);
  if (which != 1) std::reverse(values.begin(), values.end());
  const QString text = Join(values);
  const QString eraseText = which == 2 ? text : Join(Values(32767, false, 6));
  Window w;
  double longest = 0, total = 0;
  for (auto _ : state) {
    if (erase) {
      state.PauseTiming();
      w.Run("TxtGetTree", "CmdGetTree", text);
      state.ResumeTiming();
    }
    QElapsedTimer clock;
    qint64 last = 0, worst = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
      const qint64 now = clock.elapsed();
      worst = std::max(worst, now - last);
      last = now;
    });
    // The list is in its box before the clock starts: typing is not the
    // command's work.
    const char* box = erase ? "txtEraseNode" : "TxtGetTree";
    w.Box(box)->setText(erase ? eraseText : text);
    w.W->repaint();
    clock.start();
    tick.start();
    w.Button(erase ? "CmdEraseTree" : "CmdGetTree")->click();
    w.W->Surface()->repaint();
    QApplication::processEvents();
    // Paints of the boxes that were put off to passes of their own belong
    // to the command too.
    while (w.PaintsPending()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    worst = std::max(worst, clock.elapsed() - last);
    longest = std::max(longest, static_cast<double>(worst));
    total = static_cast<double>(clock.elapsed());
    if (w.Sink.Count != 0) {
      state.SkipWithError(qPrintable(w.Sink.Last));
      return;
    }
  }
  state.counters["longest_gap_ms"] = longest;
  state.counters["command_ms"] = total;
  const char* const labels[] = {"get tree, descending", "erase all, random",
                                "erase all, descending"};
  state.SetLabel(labels[which]);
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A 32767-value list (about 190,000 characters) in TxtGetTree with the focus
// in it, the caret blinking: the share of a core the program uses over 4 s.
void BM_IdleWithLongList(benchmark::State& state) {
  Window w;
  QLineEdit* box = w.Box("TxtGetTree");
  box->setText(Join(Values(32767, true, 0)));
  QApplication::setActiveWindow(w.W.get());
  box->setFocus();
  QEventLoop settle;
  QTimer::singleShot(500, &settle, &QEventLoop::quit);
  settle.exec();
  for (auto _ : state) {
    const double cpu = CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QEventLoop idle;
    QTimer::singleShot(4000, &idle, &QEventLoop::quit);
    idle.exec();
    state.counters["cpu_percent"] =
        100.0 * (CpuSeconds() - cpu) / (static_cast<double>(clock.elapsed()) / 1000.0);
  }
}

// Pasting a 32767-value list into the focused, empty TxtGetTree, until the
// box has painted it.
void BM_PasteLongList(benchmark::State& state) {
  Window w;
  QLineEdit* box = w.Box("TxtGetTree");
  QApplication::clipboard()->setText(Join(Values(32767, false, 7)));
  QApplication::setActiveWindow(w.W.get());
  box->setFocus();
  QApplication::processEvents();
  for (auto _ : state) {
    state.PauseTiming();
    box->clear();
    box->repaint();
    state.ResumeTiming();
    box->paste();
    box->repaint();
  }
  state.counters["chars"] = static_cast<double>(box->text().size());
}

BENCHMARK(BM_FirstPaintAfterGetTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongestEventGap)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_IdleWithLongList)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PasteLongList)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PaintFrameTopLeft)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintFrameMiddle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintFrameDensest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintFrameDensestLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetTree)
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({32767, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_GetTree)
    ->Args({32767, 1})
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_EraseAll)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- The view: zoomed-out paints and zoom steps ---------------------------

// Renders the pad's surface into an image the size of the widget.
struct SurfaceFrame {
  explicit SurfaceFrame(TreeUi::DrawSurface* surface)
      : Surface(surface),
        Image(surface->size() * surface->devicePixelRatio(), QImage::Format_ARGB32_Premultiplied) {
    Image.setDevicePixelRatio(surface->devicePixelRatio());
  }
  void Paint() {
    // The surface widget is resized by the view; follow it.
    if (Image.size() != Surface->size() * Surface->devicePixelRatio()) {
      Image = QImage(Surface->size() * Surface->devicePixelRatio(),
                     QImage::Format_ARGB32_Premultiplied);
      Image.setDevicePixelRatio(Surface->devicePixelRatio());
    }
    Surface->render(&Image);
    benchmark::DoNotOptimize(Image.constBits());
  }
  TreeUi::DrawSurface* Surface;
  QImage Image;
};

// The whole 32767-node random tree, fitted to the pad: one paint.
void BM_PaintWholeTreeAtFit(benchmark::State& state) {
  Window w;
  w.Run("TxtGetTree", "CmdGetTree", Join(Values(32767, false, 1)));
  w.W->View()->FitWhole();
  SurfaceFrame frame(w.W->Surface());
  frame.Paint();  // the lookups are built by the first paint after a drawing
  for (auto _ : state) frame.Paint();
  state.counters["nodes"] = TreeCore::DrawnElementCount;
  state.counters["painted"] = w.W->Surface()->LastPaintedCount();
  state.counters["zoom_pct"] = w.W->View()->Scale() / TreeUi::DesignScale * 100;
}

// The whole 32767-node tree fitted to the pad in either layout (arg 0: 1
// compact), random or sorted (arg 1: 1 sorted): one paint.
void BM_PaintWholeTreeAtFitLayouts(benchmark::State& state) {
  Window w;
  w.W->Layout()->Action()->setChecked(state.range(0) == 1);
  w.Run("TxtGetTree", "CmdGetTree", Join(Values(32767, state.range(1) == 1, 1)));
  w.W->View()->FitWhole();
  SurfaceFrame frame(w.W->Surface());
  frame.Paint();
  for (auto _ : state) frame.Paint();
  state.counters["painted"] = w.W->Surface()->LastPaintedCount();
}

// A 1000-node random tree at `steps` zoom steps from its fit, the view put
// on the place with the most nodes at that scale: one paint.
void BM_PaintDensest1000(benchmark::State& state) {
  Window w;
  w.Run("TxtGetTree", "CmdGetTree", Join(Values(1000, false, 5)));
  TreeUi::PadView* view = w.W->View();
  view->FitWhole();
  for (int i = 0; i < state.range(0); ++i) view->ZoomIn();
  // The view's size in drawing twips at this scale.
  TreeUi::DrawSurface* surface = w.W->Surface();
  const TreeUi::ViewTransform t = surface->Transform();
  const QRect client = surface->parentWidget()->contentsRect();
  const double width = client.width() / t.ScaleX, height = client.height() / t.ScaleY;
  const auto [left, top] = DensestCorner(*w.W, width, height);
  view->CentreOn(left + width / 2, top + height / 2);
  SurfaceFrame frame(surface);
  frame.Paint();
  for (auto _ : state) frame.Paint();
  state.counters["zoom_pct"] = view->Scale() / TreeUi::DesignScale * 100;
  state.counters["painted"] = surface->LastPaintedCount();
}

// One Ctrl+wheel notch on the fitted 32767-node tree: the scale, the scroll
// ranges and the paint that follows. In and out by turns, about one point.
void BM_CtrlWheelStep32767(benchmark::State& state) {
  Window w;
  w.Run("TxtGetTree", "CmdGetTree", Join(Values(32767, false, 1)));
  TreeUi::PadView* view = w.W->View();
  view->FitWhole();
  for (int i = 0; i < state.range(0); ++i) view->ZoomIn();
  TreeUi::DrawSurface* surface = w.W->Surface();
  SurfaceFrame frame(surface);
  frame.Paint();
  const QPointF at(surface->width() * 0.4, surface->height() * 0.6);
  int notch = 120;
  for (auto _ : state) {
    QWheelEvent wheel(at, surface->mapToGlobal(at), QPoint(), QPoint(0, notch), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(surface, &wheel);
    frame.Paint();
    notch = -notch;
  }
  state.counters["zoom_pct"] = view->Scale() / TreeUi::DesignScale * 100;
}

BENCHMARK(BM_PaintWholeTreeAtFit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintWholeTreeAtFitLayouts)
    ->ArgNames({"compact", "sorted"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintDensest1000)->DenseRange(0, 36, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CtrlWheelStep32767)->Arg(0)->Arg(6)->Arg(12)->Unit(benchmark::kMillisecond);

}  // namespace
