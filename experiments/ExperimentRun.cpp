#include "ExperimentRun.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace TreeExperiments {

namespace {

// How long a list takes, roughly: sorted lists cost the scheme far more
// per value than the others.
double Cost(const ListId& id) {
  const bool sorted = id.Kind == ListKind::Ascending || id.Kind == ListKind::Descending ||
                      id.Kind == ListKind::ZigZag;
  return static_cast<double>(id.Size) * (sorted ? 16.0 : 1.0);
}

}  // namespace

std::vector<ListId> ExperimentRun::WorkOrder(std::vector<ListId> lists) {
  std::stable_sort(lists.begin(), lists.end(),
                   [](const ListId& a, const ListId& b) { return Cost(a) > Cost(b); });
  // The longest from one end, the shortest from the other, by turns: the
  // long lists still start early, and the short ones show results at once.
  std::vector<ListId> order;
  order.reserve(lists.size());
  for (std::size_t low = 0, high = lists.size(); low < high;) {
    order.push_back(lists[low++]);
    if (low < high) order.push_back(lists[--high]);
  }
  return order;
}

ExperimentRun::ExperimentRun(Settings settings, OnResult result, OnFinished finished,
                             unsigned threads, bool yield)
    : settings_(std::move(settings)),
      result_(std::move(result)),
      finished_(std::move(finished)),
      lists_(WorkOrder(PlanLists(settings_))),
      yield_(yield) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
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
