#include "ExperimentRun.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace TreeExperiments {

namespace {

// How long a list takes, roughly, from the default experiment's figures:
// per value, sorted lists cost the scheme far more than drawn ones, and
// descending lists the most.
double Cost(const ListId& id) {
  static constexpr double PerValue[] = {1, 12, 80, 25, 1};  // in AllKinds' order
  return static_cast<double>(id.Size) * PerValue[static_cast<std::size_t>(id.Kind)];
}

}  // namespace

std::vector<ListId> ExperimentRun::WorkOrder(std::vector<ListId> lists, unsigned threads) {
  // The cheapest first, so that results come from the start; but the
  // longest lists of all start at once on every worker but one, so that
  // none of them starts when the others are almost done.
  std::stable_sort(lists.begin(), lists.end(),
                   [](const ListId& a, const ListId& b) { return Cost(a) < Cost(b); });
  const std::size_t early = std::min<std::size_t>(threads > 0 ? threads - 1 : 0, lists.size());
  std::rotate(lists.begin(), lists.end() - static_cast<std::ptrdiff_t>(early), lists.end());
  std::reverse(lists.begin(), lists.begin() + static_cast<std::ptrdiff_t>(early));
  return lists;
}

ExperimentRun::ExperimentRun(Settings settings, OnResult result, OnFinished finished,
                             unsigned threads, bool yield)
    : settings_(std::move(settings)),
      result_(std::move(result)),
      finished_(std::move(finished)),
      yield_(yield) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  lists_ = WorkOrder(PlanLists(settings_), threads);
  threads = std::max(1u, std::min<unsigned>(threads, static_cast<unsigned>(lists_.size())));
  running_ = threads;
  for (unsigned t = 0; t < threads; ++t) workers_.emplace_back([this] { Work(); });
}

ExperimentRun::~ExperimentRun() {
  Cancel();
  Wait();
}

void ExperimentRun::Wait() {
  for (std::thread& worker : workers_)
    if (worker.joinable()) worker.join();
}

void ExperimentRun::Work() {
  if (yield_) {
    // On Linux a thread has a nice value of its own.
    const auto self = static_cast<id_t>(::gettid());
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, self);
    if (errno == 0) ::setpriority(PRIO_PROCESS, self, std::min(nice + 5, 19));
  }
  for (std::size_t i; !cancel_.load(std::memory_order_relaxed) &&
                      (i = next_.fetch_add(1, std::memory_order_relaxed)) < lists_.size();) {
    const auto result = RunList(lists_[i], settings_, &cancel_);
    if (!result) break;
    done_.fetch_add(1, std::memory_order_relaxed);
    if (result_) result_(*result);
  }
  if (running_.fetch_sub(1, std::memory_order_acq_rel) == 1 && finished_)
    finished_(cancel_.load(std::memory_order_relaxed) && Done() < Total());
}

}  // namespace TreeExperiments
