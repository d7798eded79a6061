// Practice on the largest trees: checking one answer once the command is
// recorded (target: under 1 ms on 32,767 nodes), right and wrong at each level.
#include <benchmark/benchmark.h>

#include "BenchLists.h"
#include "PracticeChecker.h"
#include "ReadyLists.h"

namespace {

using Practice::Level;

// The last value of a 32,767-value Get Tree, its first step waiting.
struct Waiting {
  TreeTrace::Engine engine;
  TreeCore::TreeRec tree;
  Practice::Checker checker;
  explicit Waiting(BenchLists::Order order) {
    const auto values = BenchLists::Values(32767, order);
    checker.Begin(TreeCommands::CommandKind::Get, TreeCommands::ListText(values), values.size() - 1,
                  engine, tree);
  }
};

// A wrong answer: refused with the words that say why (the insert's
// descent walked at level 3), the step left waiting.
void BM_CheckWrong(benchmark::State& state) {
  Waiting w(static_cast<BenchLists::Order>(state.range(0)));
  Practice::Answer a = Practice::ModelAnswer(w.checker.Current());
  a.Parent = *a.Parent == 0 ? 1 : 0;
  for (auto _ : state) benchmark::DoNotOptimize(w.checker.Check(a, Level::Place));
  state.counters["nodes"] = w.tree.Count;
}
BENCHMARK(BM_CheckWrong)
    ->Arg(BenchLists::Random)
    ->Arg(BenchLists::Ascending)
    ->Unit(benchmark::kMicrosecond);

// A fix-up named at the root, which is not the step: the heights read there.
void BM_CheckWrongFixUp(benchmark::State& state) {
  Waiting w(static_cast<BenchLists::Order>(state.range(0)));
  Practice::Answer a;
  a.Kind = Practice::StepKind::FixUp;
  a.Right = true;
  a.Node = w.checker.TreeNow().Root;
  for (auto _ : state) benchmark::DoNotOptimize(w.checker.Check(a, Level::Node));
}
BENCHMARK(BM_CheckWrongFixUp)
    ->Arg(BenchLists::Random)
    ->Arg(BenchLists::Ascending)
    ->Unit(benchmark::kMicrosecond);

// The right answer: accepted, and the next step (of the same value) comes.
// Timed without the set-up that records the command.
void BM_CheckRight(benchmark::State& state) {
  Waiting w(static_cast<BenchLists::Order>(state.range(0)));
  const Practice::Answer a = Practice::ModelAnswer(w.checker.Current());
  for (auto _ : state) {
    state.PauseTiming();
    Practice::Checker copy = w.checker;
    state.ResumeTiming();
    benchmark::DoNotOptimize(copy.Check(a, Level::Place));
    state.PauseTiming();
    { Practice::Checker gone = std::move(copy); }
    state.ResumeTiming();
  }
}
BENCHMARK(BM_CheckRight)
    ->Arg(BenchLists::Random)
    ->Arg(BenchLists::Ascending)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
