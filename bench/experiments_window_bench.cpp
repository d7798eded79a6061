// The Experiments window running the default experiment: the longest the
// event loop goes without a turn while the plots fill in, and the whole run.
// With TREETEST_PLOTS_DIR set, the four plots are saved there as PNG and SVG
// afterwards (docs/experiments.md shows them).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>
#include <ctime>

#include "experiments/ExperimentsPlots.h"
#include "experiments/ExperimentsWindow.h"

namespace {

// This thread's CPU time: what the window itself spends between two turns
// of its loop, whatever else the machine runs meanwhile.
double ThreadMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void BM_WindowDefaultExperiment(benchmark::State& state) {
  double gap = 0, busy = 0, seconds = 0;
  int longGaps = 0, turns = 0;
  for (auto _ : state) {
    TreeUi::ExperimentsWindow window;
    window.resize(1240, 760);
    window.show();
    QSignalSpy finished(&window, &TreeUi::ExperimentsWindow::Finished);
    QElapsedTimer clock, sinceTick;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(2);
    double cpuAtTick = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
      const double ms = sinceTick.nsecsElapsed() / 1e6;
      gap = std::max(gap, ms);
      longGaps += ms > 50;
      ++turns;
      busy = std::max(busy, ThreadMs() - cpuAtTick);
      sinceTick.restart();
      cpuAtTick = ThreadMs();
    });
    clock.start();
    window.Run();
    sinceTick.start();
    cpuAtTick = ThreadMs();
    tick.start();
    finished.wait(600000);
    tick.stop();
    seconds = clock.elapsed() / 1000.0;
    if (const QString dir = qEnvironmentVariable("TREETEST_PLOTS_DIR"); !dir.isEmpty()) {
      // Larger than on screen, for the page.
      window.resize(2000, 1200);
      QApplication::processEvents();
      const char* names[] = {"levels", "rotations", "fixups", "time"};
      for (int p = 0; p < TreeUi::ExperimentsPlots::PlotCount; ++p)
        for (const char* ending : {".png", ".svg"})
          window.SavePlot(p, dir + "/experiment-" + names[p] + ending);
    }
  }
  state.counters["max_gap_ms"] = gap;
  // The most CPU time the window's thread took between two turns.
  state.counters["max_busy_ms"] = busy;
  state.counters["run_s"] = seconds;
  // Turns of the loop that came more than 50 ms after the one before, of all.
  state.counters["gaps_over_50ms"] = longGaps;
  state.counters["turns"] = turns;
}
BENCHMARK(BM_WindowDefaultExperiment)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
