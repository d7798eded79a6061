// The textbook AVL tree's Get Tree on the largest list the tool accepts:
// 32,767 values, shuffled, ascending or descending.
#include <benchmark/benchmark.h>

#include "AvlTree.h"
#include "BenchLists.h"
#include "RunTrees.h"

namespace {

void BM_AvlGetTree(benchmark::State& state) {
  const auto values =
      BenchLists::Values(state.range(0), static_cast<BenchLists::Order>(state.range(1)));
  Avl::Tree tree;
  TreeCommands::AvlSide side(tree);
  for (auto _ : state) {
    TreeCommands::Runner(TreeCommands::CommandKind::Get, side, values).Run();
    benchmark::DoNotOptimize(tree.Root());
  }
  state.counters["levels"] = tree.Levels();
}
BENCHMARK(BM_AvlGetTree)
    ->ArgNames({"count", "order"})
    ->Args({32767, BenchLists::Random})
    ->Args({32767, BenchLists::Ascending})
    ->Args({32767, BenchLists::Descending})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
