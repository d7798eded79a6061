#include "ExperimentMode.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>

#include "ExperimentRun.h"
#include "ExperimentTable.h"

namespace TreeExperiments {

int RunExperimentMode(const Settings& settings, bool lists, std::ostream& out, unsigned threads) {
  const std::vector<ListId> plan = PlanLists(settings);
  if (lists) {
    for (const ListId& id : plan)
      out << ListLine(id, MakeList(id.Kind, id.Size, settings.Seed, id.Repeat)) << '\n';
    out.flush();
    return 0;
  }
  // The workers finish lists in any order; rows go out in the plan's order,
  // each as soon as every row before it is known.
  std::map<std::size_t, std::string> waiting;
  std::mutex mutex;
  std::condition_variable arrived;
  std::map<std::tuple<ListKind, int, int>, std::size_t> place;
  for (std::size_t i = 0; i < plan.size(); ++i)
    place[{plan[i].Kind, plan[i].Size, plan[i].Repeat}] = i;
  out << CsvHeader << '\n';
  ExperimentRun run(
      settings,
      [&](const ListResult& result) {
        const std::size_t at = place.at({result.Id.Kind, result.Id.Size, result.Id.Repeat});
        std::string rows = CsvRows(result);
        const std::lock_guard lock(mutex);
        waiting.emplace(at, std::move(rows));
        arrived.notify_one();
      },
      {}, threads);
  for (std::size_t next = 0; next < plan.size(); ++next) {
    std::string rows;
    {
      std::unique_lock lock(mutex);
      arrived.wait(lock, [&] { return waiting.contains(next); });
      rows = std::move(waiting.at(next));
      waiting.erase(next);
    }
    out << rows;
  }
  out.flush();
  return 0;
}

}  // namespace TreeExperiments
