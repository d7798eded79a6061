// One side of engine_versus.sh. The script compiles this file twice, each time
// against one engine whose namespace it has renamed (-DTreeCore=...), and
// names the function with VERSUS_SIDE.
#include <ctime>

#include "EngineVersus.h"
#include "TreeCore.h"
#if __has_include("EngineState.h")
#include "EngineState.h"
#define VERSUS_INSTANCES 1
#endif

#ifndef VERSUS_SIDE
#error "VERSUS_SIDE names the function this side defines (RunBefore or RunAfter)"
#endif

namespace {

double ThreadMilliseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Every field the balancing writes, so that the two sides can be checked to
// have built the same table.
std::uint64_t TableHash(const TreeCore::TreeRec& t) {
  std::uint64_t h = 1469598103934665603ull;
  auto mix = [&h](long long v) {
    h ^= static_cast<std::uint64_t>(v);
    h *= 1099511628211ull;
  };
  for (const long long v :
       {static_cast<long long>(t.Root), static_cast<long long>(t.Count),
        static_cast<long long>(t.Height), static_cast<long long>(t.TreeLeftHeight),
        static_cast<long long>(t.TreeRightHeight)})
    mix(v);
  for (const auto& n : t.Nodes)
    for (const long long v :
         {static_cast<long long>(n.Data), static_cast<long long>(n.Kind),
          static_cast<long long>(n.Level), static_cast<long long>(n.LeftHeight),
          static_cast<long long>(n.RightHeight), static_cast<long long>(n.Parent),
          static_cast<long long>(n.LeftChild), static_cast<long long>(n.RightChild)})
      mix(v);
  return h;
}

}  // namespace

VersusRun VERSUS_SIDE(const std::vector<std::int16_t>& values) {
  TreeCore::TreeRec tree;
  VersusRun run;
#ifdef VERSUS_INSTANCES
  // As the Get Tree command's job inserts: an engine of its own, which keeps
  // the in-order links where the engine has them.
  TreeCore::EngineState engine;
#if __has_include("InOrderLinks.h")
  engine.KeepInOrderLinks = true;
#endif
  const double start = ThreadMilliseconds();
  TreeCore::ResetTree(engine, tree, false);
  for (const std::int16_t v : values) TreeCore::InsertValue(engine, tree, v);
#else
  // An engine without instances: the window inserted through the one it has.
  const double start = ThreadMilliseconds();
  TreeCore::ResetTree(tree, false);
  for (const std::int16_t v : values) TreeCore::InsertValue(tree, v);
#endif
  run.Milliseconds = ThreadMilliseconds() - start;
  run.Table = TableHash(tree);
  return run;
}
