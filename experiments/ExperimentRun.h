// An experiment run on worker threads, one list per task: results are handed
// over as each list finishes, and a cancel stops every worker within one
// balancing step.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>
#include <vector>

#include "ExperimentPlan.h"

namespace TreeExperiments {

class ExperimentRun {
 public:
  // Both called on a worker thread: `result` for each list that finished,
  // `finished` once, after the last result (or the cancel), by the last
  // worker to stop.
  using OnResult = std::function<void(const ListResult&)>;
  using OnFinished = std::function<void(bool cancelled)>;

  // Starts at once on `threads` workers (0: one per core). With `yield`, the
  // workers run at a lower priority than the thread that started them, so
  // that a window stays quick to answer while they keep every core busy.
  ExperimentRun(Settings settings, OnResult result, OnFinished finished, unsigned threads = 0,
                bool yield = false);
  // Cancels and waits for the workers.
  ~ExperimentRun();
  ExperimentRun(const ExperimentRun&) = delete;
  ExperimentRun& operator=(const ExperimentRun&) = delete;

  void Cancel() { cancel_.store(true, std::memory_order_relaxed); }
  // Waits for every worker to stop.
  void Wait();
  std::size_t Total() const { return lists_.size(); }
  std::size_t Done() const { return done_.load(std::memory_order_relaxed); }

  // The lists in the order `threads` workers take them: the longest of all
  // first, one per worker but one, then the rest from the shortest up.
  static std::vector<ListId> WorkOrder(std::vector<ListId> lists, unsigned threads);

 private:
  void Work();

  Settings settings_;
  OnResult result_;
  OnFinished finished_;
  std::vector<ListId> lists_;
  std::atomic<bool> cancel_{false};
  std::atomic<std::size_t> next_{0}, done_{0};
  std::atomic<unsigned> running_{0};
  bool yield_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace TreeExperiments
