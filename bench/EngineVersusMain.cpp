// engine_versus.sh's program: runs the two engines' Get Tree alternately in
// one process, so that both meet the same machine, and reports each pair's
// ratio. On a machine whose speed drifts by a fifth between runs, separate
// benchmark runs cannot show a difference of a few percent; pairs taken side
// by side can.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

#include "BenchLists.h"
#include "EngineVersus.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t m = v.size() / 2;
  return v.size() % 2 != 0 ? v[m] : (v[m - 1] + v[m]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s COUNT ORDER PAIRS\n", argv[0]);
    return 2;
  }
  const int count = std::atoi(argv[1]);
  const char* order = argv[2];
  const int pairs = std::atoi(argv[3]);
  const BenchLists::Order orders[] = {BenchLists::Random, BenchLists::Ascending,
                                      BenchLists::Descending};
  const char* const names[] = {"random", "ascending", "descending"};
  const auto named = std::find_if(std::begin(names), std::end(names), [order](const char* name) {
    return std::strcmp(name, order) == 0;
  });
  if (count < 1 || count > 32767 || pairs < 1 || named == std::end(names)) {
    std::fprintf(stderr, "COUNT 1..32767, ORDER random|ascending|descending, PAIRS >= 1\n");
    return 2;
  }
  const auto values = BenchLists::Values(count, orders[named - std::begin(names)]);
  std::vector<double> before, after, ratios;
  for (int i = 0; i < pairs; ++i) {
    // Each engine goes first in every other pair.
    VersusRun b, a;
    if (i % 2 == 0) {
      b = RunBefore(values);
      a = RunAfter(values);
    } else {
      a = RunAfter(values);
      b = RunBefore(values);
    }
    if (a.Table != b.Table) {
      std::fprintf(stderr, "the two engines built different node tables\n");
      return 1;
    }
    before.push_back(b.Milliseconds);
    after.push_back(a.Milliseconds);
    ratios.push_back(a.Milliseconds / b.Milliseconds);
    std::printf("pair %2d: before %9.1f ms  after %9.1f ms  after/before %.3f\n", i + 1,
                b.Milliseconds, a.Milliseconds, ratios.back());
  }
  std::printf(
      "%d %s values, %d pairs: before median %.1f ms (min %.1f), after median %.1f ms "
      "(min %.1f); after/before median %.3f, of the minima %.3f\n",
      count, order, pairs, Median(before), *std::min_element(before.begin(), before.end()),
      Median(after), *std::min_element(after.begin(), after.end()), Median(ratios),
      *std::min_element(after.begin(), after.end()) /
          *std::min_element(before.begin(), before.end()));
  return 0;
}
