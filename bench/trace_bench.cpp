// The balancing trace on the largest lists: how long one step takes to
// rebuild, and how much the whole record holds. Run each benchmark on its own
// (--benchmark_filter) so that the peak resident size is its own.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "EventStates.h"
#include "PeakMemory.h"
#include "TraceCommands.h"
#include "TraceRecorder.h"

namespace {

enum Order { Random, Descending };

std::string List(Order order) {
  std::vector<int> v(32767);
  for (int i = 0; i < 32767; ++i) v[static_cast<std::size_t>(i)] = i + 1;
  if (order == Descending) std::reverse(v.begin(), v.end());
  if (order == Random) std::shuffle(v.begin(), v.end(), std::mt19937(12345));
  std::string s;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (i) s += ',';
    s += std::to_string(v[i]);
  }
  return s;
}

// Records the whole command once, then rebuilds steps spread over the list.
void BM_Step(benchmark::State& state) {
  const auto order = static_cast<Order>(state.range(0));
  const std::string list = List(order);
  TreeTrace::TraceRecorder recorder;
  TreeTrace::Engine engine;
  TreeCore::TreeRec tree;
  const auto start = std::chrono::steady_clock::now();
  TreeTrace::RunGetTree(engine, tree, list, &recorder);
  const double recordSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::mt19937 rng(7);
  double worstMs = 0;
  std::uint64_t events = 0;
  for (auto _ : state) {
    const auto i = static_cast<std::ptrdiff_t>(rng() % recorder.ValueCount());
    const auto t0 = std::chrono::steady_clock::now();
    std::vector<TreeTrace::StepEvent> ev;
    TreeCore::TreeRec after = recorder.TreeAfter(i, ev);
    const auto marks = recorder.MarksOf(static_cast<std::size_t>(i), ev, after);
    benchmark::DoNotOptimize(after.Count);
    benchmark::DoNotOptimize(marks.data());
    worstMs = std::max(
        worstMs,
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    events += ev.size();
  }
  const TreeTrace::TraceSummary s = recorder.Summary();
  state.counters["worst_step_ms"] = worstMs;
  state.counters["record_s"] = recordSeconds;
  state.counters["record_MB"] = static_cast<double>(recorder.MemoryBytes()) / (1 << 20);
  state.counters["peak_rss_MB"] = Bench::PeakResidentMB();
  state.counters["snapshots"] = static_cast<double>(recorder.SnapshotCount());
  state.counters["kept_events"] = static_cast<double>(recorder.KeptEventCount());
  state.counters["fixups"] = static_cast<double>(s.FixUps);
  state.counters["events_per_step"] =
      benchmark::Counter(static_cast<double>(events), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Step)->Arg(Random)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_Step)->Arg(Descending)->Unit(benchmark::kMillisecond)->Iterations(20);

// The trees just before and just after one event, at random values and events.
void BM_StepToEvent(benchmark::State& state) {
  const std::string list = List(static_cast<Order>(state.range(0)));
  TreeTrace::TraceRecorder recorder;
  TreeTrace::Engine engine;
  TreeCore::TreeRec tree;
  TreeTrace::RunGetTree(engine, tree, list, &recorder);
  std::mt19937 rng(9);
  double worstMs = 0;
  for (auto _ : state) {
    const std::size_t i = rng() % recorder.ValueCount();
    const std::size_t k = rng() % recorder.Step(i).EventCount;
    const auto t0 = std::chrono::steady_clock::now();
    const TreeTrace::EventStates s = TreeTrace::StatesAt(recorder, i, k);
    benchmark::DoNotOptimize(s.After.Count);
    worstMs = std::max(
        worstMs,
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    if (!s.Found) state.SkipWithError("event not found");
  }
  state.counters["worst_step_ms"] = worstMs;
  // The last event of the value with the most events, the longest replay into a value.
  std::size_t most = 0;
  for (std::size_t i = 1; i < recorder.ValueCount(); ++i)
    if (recorder.Step(i).EventCount > recorder.Step(most).EventCount) most = i;
  const auto t0 = std::chrono::steady_clock::now();
  const auto s = TreeTrace::StatesAt(recorder, most, recorder.Step(most).EventCount - 1);
  benchmark::DoNotOptimize(s.After.Count);
  state.counters["most_events_last_ms"] =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  state.counters["most_events"] = static_cast<double>(recorder.Step(most).EventCount);
}
BENCHMARK(BM_StepToEvent)->Arg(Random)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_StepToEvent)->Arg(Descending)->Unit(benchmark::kMillisecond)->Iterations(20);

// The whole command with no recorder: the baseline the recording adds to.
void BM_GetTreeUnrecorded(benchmark::State& state) {
  const std::string list = List(static_cast<Order>(state.range(0)));
  TreeTrace::Engine engine;
  for (auto _ : state) {
    TreeCore::TreeRec tree;
    TreeTrace::RunGetTree(engine, tree, list, nullptr);
    benchmark::DoNotOptimize(tree.Count);
  }
  state.counters["peak_rss_MB"] = Bench::PeakResidentMB();
}
BENCHMARK(BM_GetTreeUnrecorded)
    ->Arg(Random)
    ->Arg(Descending)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
