// Writing the picture of the largest tree: the SVG of 32,767 nodes (target:
// well under 2 s), from a drawing made once.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <random>
#include <sstream>
#include <vector>

#include "Drawing.h"
#include "SvgExport.h"

namespace {

using namespace TreeCore;

// The drawing of `count` distinct values in a fixed random order.
void DrawRandomTree(ElementArrays& arrays, std::int64_t count) {
  ResetModuleState();
  ResetDrawingState();
  InstallDrawingHooks();
  std::vector<std::int16_t> values(65536);
  std::iota(values.begin(), values.end(), std::int16_t{-32768});
  std::shuffle(values.begin(), values.end(), std::mt19937(12345));
  values.resize(static_cast<std::size_t>(count));
  for (const std::int16_t v : values) InsertValue(MainTree, v);
  arrays.TreeNode[0].Visible = arrays.ShNode[0].Visible = arrays.LnNode[0].Visible = false;
  DrawTree(arrays.TreeNode, arrays.ShNode, arrays.LnNode, 0);
}

void BM_WriteSvgToMemory(benchmark::State& state) {
  ElementArrays arrays;
  DrawRandomTree(arrays, state.range(0));
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::ostringstream out;
    WriteSvg(out, arrays);
    bytes = out.str().size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["nodes"] = DrawnElementCount;
  state.counters["MiB"] = static_cast<double>(bytes) / (1 << 20);
  ResetTree(MainTree, false);
  ResetDrawingState();
}
BENCHMARK(BM_WriteSvgToMemory)->Arg(1023)->Arg(32767)->Unit(benchmark::kMillisecond);

// The whole save, temporary file and rename included.
void BM_SaveSvgFile(benchmark::State& state) {
  ElementArrays arrays;
  DrawRandomTree(arrays, state.range(0));
  const auto path = std::filesystem::temp_directory_path() / "export_bench.svg";
  for (auto _ : state) {
    const std::string error = SaveSvg(path.string(), arrays);
    if (!error.empty()) state.SkipWithError(error.c_str());
  }
  std::filesystem::remove(path);
  ResetTree(MainTree, false);
  ResetDrawingState();
}
BENCHMARK(BM_SaveSvgFile)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
