// Practice's windows and paper: opening the practice window on a list of
// 1,000 values (target: under 100 ms), and a sheet of six exercises with its
// key written as a PDF (target: under 2 s).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "Exercises.h"
#include "ReadyLists.h"
#include "practice/ExerciseSheet.h"
#include "practice/PracticeWindow.h"

namespace {

void BM_SixExerciseSheet(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
  std::uint32_t seed = 1;
  for (auto _ : state) {
    // The exercises are drawn inside the timing: they are part of the sheet.
    benchmark::DoNotOptimize(TreeUi::WriteExerciseSheet(Practice::SheetExercises(seed++, 6), path));
  }
}
BENCHMARK(BM_SixExerciseSheet)->Unit(benchmark::kMillisecond);

// Built, started on the list (the whole Get Tree recorded) and shown with
// its first step's tree drawn.
void BM_OpenWindowOn1000(benchmark::State& state) {
  const QString list = QString::fromStdString(TreeCommands::ListText(
      TreeCommands::MakeReadyList(TreeCommands::ReadyList::Random, 1000, 7)));
  for (auto _ : state) {
    auto window = std::make_unique<TreeUi::PracticeWindow>();
    window->StartList(list);
    window->show();
    QApplication::processEvents();
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenWindowOn1000)->Unit(benchmark::kMillisecond);

}  // namespace
