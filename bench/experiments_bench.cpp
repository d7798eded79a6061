// The default experiment (five kinds, sizes 2^k - 1 up to 32767, 20 repeats,
// both trees) on 1 and 2 workers, where its time goes, and how soon a cancel
// stops a worker in the middle of the longest list.
#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>

#include "ExperimentRun.h"
#include "ExperimentTable.h"

namespace {

using namespace TreeExperiments;

void BM_DefaultExperiment(benchmark::State& state) {
  std::map<std::string, double> ms;  // the insertions' CPU time, per kind and tree
  for (auto _ : state) {
    ms.clear();
    std::mutex mutex;
    ExperimentRun run(
        Settings{},
        [&](const ListResult& r) {
          const std::lock_guard lock(mutex);
          const std::string kind(KindName(r.Id.Kind));
          ms[kind + "_scheme_s"] += r.Scheme->Ms;
          ms[kind + "_avl_s"] += r.Avl->Ms;
        },
        {}, static_cast<unsigned>(state.range(0)));
    run.Wait();
  }
  for (const auto& [name, total] : ms) state.counters[name] = total / 1000;
}
BENCHMARK(BM_DefaultExperiment)
    ->ArgName("workers")
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

// From Cancel to the workers' end, on descending 32767 (some seconds alone).
void BM_CancelLatency(benchmark::State& state) {
  Settings settings;
  settings.Kinds = {ListKind::Descending, ListKind::ZigZag};
  settings.Sizes = {32767};
  for (auto _ : state) {
    std::mutex mutex;
    std::condition_variable over;
    bool finished = false;
    ExperimentRun run(settings, {}, [&](bool) {
      const std::lock_guard lock(mutex);
      finished = true;
      over.notify_one();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto began = std::chrono::steady_clock::now();
    run.Cancel();
    std::unique_lock lock(mutex);
    over.wait(lock, [&] { return finished; });
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count());
  }
}
BENCHMARK(BM_CancelLatency)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
