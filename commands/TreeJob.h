// The engine work of a Get Tree or an Erase command, run by the commands'
// Runner on a tree and an engine instance of its own, so that it can run away
// from the window's thread: the window keeps the previous tree and drawing
// until the job has finished, and a cancelled job leaves nothing behind. Qt-free, so that its tests
// need no window.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "CommandKind.h"
#include "Runner.h"
#include "TreeCore.h"
#include "TreeObserver.h"

namespace TreeCommands {

class TreeJob {
 public:
  // Get Tree: the tree as ResetTree(tree, false) leaves `current`, then every
  // value inserted in order.
  static TreeJob Build(const TreeCore::TreeRec& current, std::vector<std::int16_t> values);
  // Erase: a copy of `current`, then the values removed in order until the
  // tree is empty or a value is missing.
  static TreeJob Erase(const TreeCore::TreeRec& current, std::vector<std::int16_t> values);

  TreeJob(TreeJob&& other) noexcept;
  ~TreeJob();
  TreeJob& operator=(TreeJob&&) = delete;
  TreeJob(const TreeJob&) = delete;
  TreeJob& operator=(const TreeJob&) = delete;

  // Does the work on the calling thread until it is done, cancelled or past
  // `deadline`; returns whether it is over (done or cancelled). A job left
  // unfinished goes on where it stopped at the next call, from any thread,
  // as long as the calls do not overlap.
  bool RunUntil(std::chrono::steady_clock::time_point deadline);
  // Does the work to its end (or a cancel) on the calling thread.
  void Run();
  // Another watcher of the work (the steps window's recorder), on the
  // thread that runs it: `observer` sees every balancing event and
  // `beforeValue` the tree each value meets. Set before the first run.
  // An Erase watched this way removes one value per engine call, so that
  // every value meets a table whose gaps are closed.
  using BeforeValue = std::function<void(const TreeCore::TreeRec&, std::int16_t)>;
  void Watch(TreeCore::TreeObserver* observer, BeforeValue beforeValue);

  // From any thread: the work stops before the next value.
  void RequestCancel();
  // Whether a cancel has been asked for, even one that came after the work
  // was over.
  bool CancelRequested() const;

  // From any thread: values handled so far, of Total().
  std::size_t Done() const;
  std::size_t Total() const;

  // Get Tree starts on an empty tree, so that its first values are quick
  // whatever the list; an Erase starts on the whole tree, where one value
  // can take seconds.
  bool StartsOnEmptyTree() const;
  // After Run: whether it stopped at a cancel (the tree is then half done).
  bool Cancelled() const;
  EraseStop Stop() const;
  TreeCore::TreeRec& Tree();
  // Hands what the work left in the job's engine instance, besides the tree,
  // to the instance the window draws with, as if the work had run there: the
  // line breaks an insertion assigns, which the node descriptions use.
  void HandOver(TreeCore::EngineState& window) const;

 private:
  class CancelPoint;
  class ValueTap;
  struct Work;
  TreeJob(CommandKind kind, const TreeCore::TreeRec& tree, std::vector<std::int16_t> values);

  // In one place, so that a job moves without the runner losing its tree.
  std::unique_ptr<Work> work_;
};

}  // namespace TreeCommands
