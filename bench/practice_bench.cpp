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
  for (auto _ : state) {
    // A fresh copy each time: the table at the step is rebuilt for the
    // first wrong answer only, and that first one is timed.
    state.PauseTiming();
    Practice::Checker copy = w.checker;
    state.ResumeTiming();
    benchmark::DoNotOptimize(copy.Check(a, Level::Place));
    state.PauseTiming();
    { Practice::Checker gone = std::move(copy); }
    state.ResumeTiming();
  }
  state.counters["nodes"] = w.tree.Count;
}
BENCHMARK(BM_CheckWrong)
    ->Arg(BenchLists::Random)
    ->Arg(BenchLists::Ascending)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(50);

// One answer checked on a copy of `checker`, so that every iteration meets
// the same step; the copy and its end are not timed.
void TimeOneCheck(benchmark::State& state, const Practice::Checker& checker,
                  const Practice::Answer& a, Level level) {
  for (auto _ : state) {
    state.PauseTiming();
    Practice::Checker copy = checker;
    state.ResumeTiming();
    benchmark::DoNotOptimize(copy.Check(a, level));
    state.PauseTiming();
    { Practice::Checker gone = std::move(copy); }
    state.ResumeTiming();
  }
}

// A fix-up named at the root, which is not the step, after the insert: the
// table halfway through the value rebuilt, the heights read there.
void BM_CheckWrongFixUp(benchmark::State& state) {
  Waiting w(static_cast<BenchLists::Order>(state.range(0)));
  Practice::Answer a;
  a.Kind = Practice::StepKind::FixUp;
  a.Right = true;
  a.Node = w.tree.Root;
  while (w.checker.Current().Kind == Practice::StepKind::Insert) w.checker.Show();
  TimeOneCheck(state, w.checker, a, Level::Node);
}
BENCHMARK(BM_CheckWrongFixUp)
    ->Arg(BenchLists::Random)
    ->Arg(BenchLists::Ascending)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(50);

// The right answer: accepted, and the next step (of the same value) comes.
// Timed without the set-up that records the command.
void BM_CheckRight(benchmark::State& state) {
  Waiting w(static_cast<BenchLists::Order>(state.range(0)));
  const Practice::Answer a = Practice::ModelAnswer(w.checker.Current());
  TimeOneCheck(state, w.checker, a, Level::Place);
}
BENCHMARK(BM_CheckRight)
    ->Arg(BenchLists::Random)
    ->Arg(BenchLists::Ascending)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(20);

// The last step of a value: accepted, the value run on the tree as the
// command did, and the next value's steps read from the record. Values
// one after another, only the answer that ends each timed.
void BM_CheckEntersNextValue(benchmark::State& state) {
  const auto values = BenchLists::Values(32767, static_cast<BenchLists::Order>(state.range(0)));
  TreeTrace::Engine engine;
  TreeCore::TreeRec tree;
  Practice::Checker checker;
  checker.Begin(TreeCommands::CommandKind::Get, TreeCommands::ListText(values), values.size() - 400,
                engine, tree);
  for (auto _ : state) {
    state.PauseTiming();
    while (checker.Current().Kind != Practice::StepKind::Balanced) checker.Show();
    const Practice::Answer a = Practice::ModelAnswer(checker.Current());
    state.ResumeTiming();
    benchmark::DoNotOptimize(checker.Check(a, Level::Place));
  }
}
BENCHMARK(BM_CheckEntersNextValue)
    ->Arg(BenchLists::Random)
    ->Arg(BenchLists::Ascending)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(300);

}  // namespace

BENCHMARK_MAIN();
