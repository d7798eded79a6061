// Get Tree and Erase engine work, beside std::multiset as a yardstick.
//
// The balancing work differs enormously with the order of a list, so each run
// also counts Rebalance calls, balance checks, fix-ups and LevelDown visits,
// and reports time per unit of that work as well as per value.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <random>
#include <set>
#include <vector>

#include "BenchLists.h"
#include "EngineState.h"
#include "TreeCore.h"

namespace {

using BenchLists::Ascending;
using BenchLists::Descending;
using BenchLists::Order;
using BenchLists::Random;
using BenchLists::Values;

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Range 2 = 1 inserts as the Get Tree command's job does, on an engine that
// keeps the in-order links; 0 as any other caller of InsertValue does.
void BM_GetTree(benchmark::State& state) {
  const auto values = Values(state.range(0), static_cast<Order>(state.range(1)));
  TreeCore::EngineState instance;
  instance.KeepInOrderLinks = state.range(2) != 0;
  TreeCore::TreeRec tree;
  double engine = 0, multiset = 0;
  TreeCore::WorkCounters work{};
  for (auto _ : state) {
    instance.Counters = {};
    const auto start = std::chrono::steady_clock::now();
    TreeCore::ResetTree(instance, tree, false);
    for (const std::int16_t v : values) TreeCore::InsertValue(instance, tree, v);
    engine += Seconds(std::chrono::steady_clock::now() - start);
    work = instance.Counters;

    state.PauseTiming();
    const auto setStart = std::chrono::steady_clock::now();
    std::multiset<std::int16_t> set;
    for (const std::int16_t v : values) set.insert(v);
    benchmark::DoNotOptimize(set);
    multiset += Seconds(std::chrono::steady_clock::now() - setStart);
    state.ResumeTiming();
  }
  const auto n = static_cast<double>(values.size());
  const double units =
      static_cast<double>(work.Rebalance + work.CheckBalance + work.FixUps + work.LevelDownVisits);
  const double perPass = engine / static_cast<double>(state.iterations());
  state.counters["Rebalance"] = static_cast<double>(work.Rebalance);
  state.counters["CheckBalance"] = static_cast<double>(work.CheckBalance);
  state.counters["FixUps"] = static_cast<double>(work.FixUps);
  state.counters["LevelDown"] = static_cast<double>(work.LevelDownVisits);
  state.counters["ns_per_value"] = perPass * 1e9 / n;
  state.counters["ns_per_unit"] = units > 0 ? perPass * 1e9 / units : 0;
  state.counters["x_multiset"] = engine / multiset;
  state.SetLabel(instance.KeepInOrderLinks ? "as the Get Tree job" : "plain InsertValue");
}

// Every value of a random tree erased in random order: one DeleteNode per
// value (range 1 = 0), or the Erase command's whole loop in one batch
// (range 1 = 1).
void BM_Erase(benchmark::State& state) {
  const auto values = Values(state.range(0), Random);
  const bool batch = state.range(1) != 0;
  std::vector<std::int16_t> erase = values;
  std::shuffle(erase.begin(), erase.end(), std::mt19937(777));
  TreeCore::TreeRec tree;
  for (auto _ : state) {
    state.PauseTiming();
    TreeCore::ResetTree(tree, false);
    for (const std::int16_t v : values) TreeCore::InsertValue(tree, v);
    state.ResumeTiming();
    if (batch)
      TreeCore::EraseValues(tree, erase);
    else
      for (const std::int16_t v : erase) TreeCore::DeleteNode(tree, TreeCore::FindValue(tree, v));
    if (tree.Exists) state.SkipWithError("values left after erasing them all");
  }
  state.SetLabel(batch ? "EraseValues" : "DeleteNode one by one");
  state.counters["per_value"] = benchmark::Counter(
      static_cast<double>(values.size()),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void GetTreeArgs(benchmark::internal::Benchmark* b) {
  for (const std::int64_t n : {1000, 8000, 32767})
    for (const Order o : {Random, Ascending, Descending})
      for (const std::int64_t links : {0, 1}) b->Args({n, o, links});
}

}  // namespace

BENCHMARK(BM_GetTree)->Apply(GetTreeArgs)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Erase)->Args({32767, 0})->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Erase)->Args({32767, 1})->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
