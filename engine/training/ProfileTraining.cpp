// The training run behind the release engine's profile-guided build: the
// work the engine does for the window, in about the proportions a student
// gives it. Sorted lists spend their time in short height and balance walks
// whose branches follow no pattern a compiler can guess; with the counts of
// this run it lays them out for the common way through.
//
// The run is a step of the release build. Should a list crash the engine or
// leave a tree unsound, the step fails and its output names the list.
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "EngineState.h"
#include "TreeCore.h"

namespace {

// The Get Tree job watches the balancing through an observer.
class Watcher final : public TreeCore::TreeObserver {
 public:
  void OnInsert(std::int16_t, std::int32_t) override { ++events_; }
  void OnRotate(TreeCore::ChainKind, std::int32_t, std::int16_t) override { ++events_; }
  void OnFixUp(bool, std::int32_t, std::int16_t) override { ++events_; }
  void OnErase(std::int16_t, std::int32_t) override { ++events_; }
  long Events() const { return events_; }

 private:
  long events_ = 0;
};

enum class Shape { Random, Ascending, Descending, ZigZag };
const char* const ShapeNames[] = {"random", "ascending", "descending", "zig-zag"};

// The list running now, for the crash report.
char running[160] = "no list yet";

[[noreturn]] void ReportCrash(int signal) {
  const char* const head = "profile training crashed while running ";
  (void)!write(STDERR_FILENO, head, std::strlen(head));
  (void)!write(STDERR_FILENO, running, std::strlen(running));
  (void)!write(STDERR_FILENO, "\n", 1);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
  _exit(128 + signal);
}

std::vector<std::int16_t> List(int count, Shape shape, std::mt19937& random) {
  std::vector<std::int16_t> v(static_cast<std::size_t>(count));
  std::iota(v.begin(), v.end(), static_cast<std::int16_t>(-count / 2));
  switch (shape) {
    case Shape::Random:
      std::shuffle(v.begin(), v.end(), random);
      break;
    case Shape::Ascending:
      break;
    case Shape::Descending:
      std::reverse(v.begin(), v.end());
      break;
    case Shape::ZigZag:
      for (std::size_t i = 1; i < v.size(); i += 2) v[i] = static_cast<std::int16_t>(-v[i]);
      break;
  }
  return v;
}

struct Run {
  int count;
  Shape shape;
  int erased;  // values erased afterwards, in random order
};

// The job's engine keeps the in-order links and has an observer; the
// window's own instance and direct callers have neither. -1 when a list left
// its tree unsound.
long Train(bool asTheJob) {
  TreeCore::EngineState engine;
  Watcher watcher;
  if (asTheJob) {
    engine.KeepInOrderLinks = true;
    engine.Observer = &watcher;
  }
  std::mt19937 random(20261207);
  const Run runs[] = {{32767, Shape::Random, 32767},
                      {12000, Shape::Ascending, 0},
                      {8000, Shape::Descending, 150},
                      {4000, Shape::ZigZag, 400},
                      {3000, Shape::Random, 3000}};
  long kept = 0;
  for (const Run& run : runs) {
    std::snprintf(running, sizeof running, "%s: %d %s values, %d of them erased",
                  asTheJob ? "the Get Tree job's engine" : "plain calls", run.count,
                  ShapeNames[static_cast<int>(run.shape)], run.erased);
    TreeCore::TreeRec tree;
    TreeCore::ResetTree(engine, tree, false);
    const auto values = List(run.count, run.shape, random);
    for (const std::int16_t v : values) TreeCore::InsertValue(engine, tree, v);
    auto doomed = values;
    std::shuffle(doomed.begin(), doomed.end(), random);
    doomed.resize(static_cast<std::size_t>(run.erased));
    if (asTheJob) {
      TreeCore::EraseValues(engine, tree, doomed);
    } else {
      // The default instance removes one value at a time.
      for (const std::int16_t v : doomed) {
        const std::int32_t at = TreeCore::FindValue(tree, v);
        if (at >= 0) TreeCore::DeleteNode(engine, tree, at);
      }
    }
    if (const std::string problem = TreeCore::Validate(tree); !problem.empty()) {
      std::fprintf(stderr, "profile training: %s left the tree unsound: %s\n", running,
                   problem.c_str());
      return -1;
    }
    kept += tree.Count;
  }
  return kept + watcher.Events();
}

}  // namespace

int main() {
  for (const int signal : {SIGSEGV, SIGABRT, SIGFPE, SIGILL, SIGBUS})
    std::signal(signal, ReportCrash);
  const long job = Train(true);
  if (job < 0) return 1;
  const long plain = Train(false);
  return plain < 0 ? 1 : 0;
}
