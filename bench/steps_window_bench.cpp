// The steps window open while the main window runs a 32,767-value Get Tree
// (descending: some 35 million fix-ups; random), on the offscreen platform:
// the command's time, the heap the recording holds, the peak resident size,
// a step in the window, and the heap given back when the window closes.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <memory>
#include <random>

#include "PeakMemory.h"
#include "steps/StepsWindow.h"
#include "window/frmTreeTest.h"

namespace {

class QuietSink final : public TreeUi::MessageSink {
 public:
  void ShowMessage(const QString&, const QString&, TreeUi::MessageIcon) override {}
};

double HeapMB() {
  return static_cast<double>(mallinfo2().uordblks) / (1 << 20);
}
QString List(bool descending) {
  std::vector<int> v(32767);
  for (int i = 0; i < 32767; ++i) v[static_cast<std::size_t>(i)] = i + 1;
  if (descending)
    std::reverse(v.begin(), v.end());
  else
    std::shuffle(v.begin(), v.end(), std::mt19937(12345));
  QStringList s;
  for (int x : v) s << QString::number(x);
  return s.join(',');
}

void BM_GetTreeWithStepsOpen(benchmark::State& state) {
  const QString list = List(state.range(0) != 0);
  QuietSink sink;
  frmTreeTest window;
  window.SetMessageSink(&sink);
  window.show();
  const double heapBefore = HeapMB();
  double commandSeconds = 0, heapOpen = 0, stepMs = 0, heapClosed = 0;
  for (auto _ : state) {
    QPointer<TreeUi::StepsWindow> steps = window.OpenBalancingSteps();
    window.findChild<QLineEdit*>("TxtGetTree")->setText(list);
    const auto t0 = std::chrono::steady_clock::now();
    window.findChild<QPushButton*>("CmdGetTree")->click();
    QApplication::processEvents();
    commandSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    heapOpen = HeapMB();
    const auto t1 = std::chrono::steady_clock::now();
    steps->ShowValue(16000);
    stepMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t1).count();
    steps->close();
    while (!steps.isNull()) QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    heapClosed = HeapMB();
  }
  state.counters["command_s"] = commandSeconds;
  state.counters["heap_before_MB"] = heapBefore;
  state.counters["heap_open_MB"] = heapOpen;
  state.counters["heap_closed_MB"] = heapClosed;
  state.counters["step_16000_ms"] = stepMs;
  state.counters["peak_rss_MB"] = Bench::PeakResidentMB();
}
BENCHMARK(BM_GetTreeWithStepsOpen)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
