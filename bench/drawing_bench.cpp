// One redraw as the Erase command does it: ResetTree destroys the previous
// elements, then DrawTree lays out and draws the whole tree again, elements,
// captions and descriptions included.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <numeric>
#include <random>
#include <vector>

#include "BenchLists.h"
#include "CompactLayout.h"
#include "Drawing.h"
#include "PeakMemory.h"

// Every allocation is counted, so a pass that churns the heap shows it.
namespace {
std::uint64_t allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
// These replace the global pair, so free() does match the malloc() above.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
#pragma GCC diagnostic pop

namespace {

using namespace TreeCore;

// `count` distinct 16-bit values in a fixed random order.
std::vector<std::int16_t> RandomValues(std::int64_t count) {
  std::vector<std::int16_t> values(65536);
  std::iota(values.begin(), values.end(), std::int16_t{-32768});
  std::mt19937 random(12345);
  std::shuffle(values.begin(), values.end(), random);
  values.resize(static_cast<std::size_t>(count));
  return values;
}

void BM_ResetAndDraw(benchmark::State& state) {
  const std::int64_t count = state.range(0);
  ResetModuleState();
  ResetDrawingState();
  InstallDrawingHooks();
  ResetTree(MainTree, false);
  for (const std::int16_t value : RandomValues(count)) InsertValue(MainTree, value);

  ElementArrays arrays;
  const std::uint64_t allocationsBefore = allocations;
  for (auto _ : state) {
    ResetTree(MainTree, true);
    DrawingWidth = 0;
    DrawingHeight = 0;
    for (auto* visible :
         {&arrays.TreeNode[0].Visible, &arrays.ShNode[0].Visible, &arrays.LnNode[0].Visible})
      *visible = false;
    DrawTree(arrays.TreeNode, arrays.ShNode, arrays.LnNode, 0);
    benchmark::DoNotOptimize(DrawingWidth);
  }
  if (DrawnElementCount != count) state.SkipWithError("not every node was drawn");

  state.counters["nodes"] = static_cast<double>(count);
  state.counters["per_node"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
  state.counters["levels"] = LayoutLevels;
  state.counters["allocs_per_node"] =
      static_cast<double>(allocations - allocationsBefore) /
      (static_cast<double>(state.iterations()) * static_cast<double>(count));
  state.counters["peak_MiB"] = Bench::PeakResidentMB();

  ResetTree(MainTree, false);
  ResetModuleState();
  ResetDrawingState();
}

BENCHMARK(BM_ResetAndDraw)->Arg(1000)->Arg(8000)->Arg(32767)->Unit(benchmark::kMillisecond);

// The compact layout of a drawn tree, alone: arg 0 the scheme (0 in-order,
// 1 tidy), arg 1 the list (0 random, 1 ascending). The widths of both
// schemes and of the slot layout are reported in pixels at 100 %.
void BM_CompactLayout(benchmark::State& state) {
  const auto scheme = state.range(0) == 0 ? CompactScheme::InOrder : CompactScheme::Tidy;
  const auto order = state.range(1) == 0 ? BenchLists::Random : BenchLists::Ascending;
  constexpr std::int64_t count = 32767;
  ResetModuleState();
  ResetDrawingState();
  InstallDrawingHooks();
  ResetTree(MainTree, false);
  for (const std::int16_t value : BenchLists::Values(count, order)) InsertValue(MainTree, value);
  ElementArrays arrays;
  DrawTree(arrays.TreeNode, arrays.ShNode, arrays.LnNode, 0);
  state.counters["slots_px"] = DrawingWidth / 15.0;
  for (auto _ : state) {
    ApplyCompactLayout(MainTree, DefaultDrawing(), scheme);
    benchmark::DoNotOptimize(DrawingWidth);
  }
  state.counters["width_px"] = DrawingWidth / 15.0;
  state.counters["height_px"] = DrawingHeight / 15.0;
  ResetTree(MainTree, false);
  ResetModuleState();
  ResetDrawingState();
}

BENCHMARK(BM_CompactLayout)
    ->ArgNames({"tidy", "sorted"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
