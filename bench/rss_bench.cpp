// The window's peak memory for one ascending 32767-value Get Tree, in a
// process of its own: the list is pasted into the focused Get Tree box (so the
// box holds it as after a user's paste, undo history included), Get Tree is
// clicked, and the drawing is painted once. The peak resident size of a
// process never goes down, so nothing else may run here before it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <memory>

#include "CountingSink.h"
#include "view/DrawSurface.h"
#include "Drawing.h"
#include "PeakMemory.h"
#include "TreeCore.h"
#include "window/frmTreeTest.h"

namespace {

using Bench::CountingSink;

// VmRSS from /proc: what the process holds now, not its peak.
double ResidentMB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:"))
      return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
  return 0;
}

void BM_AscendingGetTreePeakRss(benchmark::State& state) {
  // -16384 .. 16382, as `seq -s, -16384 16382` gives it.
  QStringList pieces;
  for (int v = -16384; v <= 16382; ++v) pieces << QString::number(v);
  QApplication::clipboard()->setText(pieces.join(QLatin1Char(',')));
  pieces.clear();

  CountingSink sink;
  auto window = std::make_unique<frmTreeTest>();
  window->SetMessageSink(&sink);
  window->show();
  QApplication::setActiveWindow(window.get());
  auto* box = window->findChild<QLineEdit*>(QStringLiteral("TxtGetTree"));
  box->setFocus();
  QApplication::processEvents();
  const double idle = Bench::PeakResidentMB();
  box->paste();
  box->repaint();
  QApplication::processEvents();
  const double pasted = Bench::PeakResidentMB();
  for (auto _ : state) {
    window->findChild<QPushButton*>(QStringLiteral("CmdGetTree"))->click();
    window->Surface()->repaint();
    QApplication::processEvents();
  }
  if (sink.Count != 0 || TreeCore::DrawnElementCount != 32767) {
    state.SkipWithError(sink.Count != 0 ? qPrintable(sink.Last) : "the tree was not drawn whole");
    return;
  }
  state.counters["nodes"] = TreeCore::DrawnElementCount;
  state.counters["idle_peak_mb"] = idle;
  state.counters["pasted_peak_mb"] = pasted;
  state.counters["peak_rss_mb"] = Bench::PeakResidentMB();
  state.counters["rss_after_mb"] = ResidentMB();
}
BENCHMARK(BM_AscendingGetTreePeakRss)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
