// An exercise sheet of six exercises with its key, written as a PDF
// (target: under 2 s).
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include "Exercises.h"
#include "practice/ExerciseSheet.h"

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

}  // namespace
