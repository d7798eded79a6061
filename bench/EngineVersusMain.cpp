// engine_versus.sh's program: runs the two engines' Get Tree alternately in
// one process, so that both meet the same machine, and reports each pair's
// ratio. On a machine whose speed drifts by a fifth between runs, separate
// benchmark runs cannot show a difference of a few percent; pairs taken side
// by side can.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <random>
#include <vector>

#include "EngineVersus.h"

namespace {

// The lists engine_bench inserts.
std::vector<std::int16_t> Values(int count, const char* order) {
  std::vector<std::int16_t> v(static_cast<std::size_t>(count));
  std::iota(v.begin(), v.end(), static_cast<std::int16_t>(-16384));
  if (std::strcmp(order, "descending") == 0) std::reverse(v.begin(), v.end());
  if (std::strcmp(order, "random") == 0) std::shuffle(v.begin(), v.end(), std::mt19937(12345));
  return v;
}

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
  if (count < 1 || count > 32767 || pairs < 1 ||
      (std::strcmp(order, "random") != 0 && std::strcmp(order, "ascending") != 0 &&
       std::strcmp(order, "descending") != 0)) {
    std::fprintf(stderr, "COUNT 1..32767, ORDER random|ascending|descending, PAIRS >= 1\n");
    return 2;
  }
  const auto values = Values(count, order);
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
