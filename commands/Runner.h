// Get Tree and Erase as every front end runs them: the window's worker, the
// command-line modes, and whatever else replays or measures commands. The one
// place that goes through a list's values, on any tree that says how to
// insert, find and remove one value (RunTrees.h: the scheme's engine tree and
// the textbook AVL tree). Search is Commands.h's. Qt-free.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "CommandKind.h"
#include "Commands.h"
#include "TreeCore.h"

namespace TreeCommands {

// Why an Erase left its list before the end (Messages::EraseStopMessage).
using EraseStop = TreeCore::EraseStop;

// A tree the runner runs commands on.
class RunTree {
 public:
  virtual ~RunTree() = default;
  // Get Tree's start: the tree emptied.
  virtual void Clear() = 0;
  virtual void Insert(std::int16_t value) = 0;
  virtual bool Empty() const = 0;
  // The node a removal of `value` takes; -1 when the tree does not hold it.
  virtual std::int32_t Find(std::int32_t value) const = 0;
  // Removes `node`, which Find gave for `value`.
  virtual void Remove(std::int32_t node, std::int16_t value) = 0;
  // Erase's values in turn, stopping as Erase does (TreeCore::EraseInTurn);
  // a tree with a quicker way of doing many at once gives it here. Used when
  // no observer wants each value.
  virtual TreeCore::EraseResult RemoveInTurn(std::span<const std::int16_t> values);
};

// Hears a command value by value, on the thread that runs it. The balancing
// events come from the tree's own observer (TreeCore::TreeObserver,
// Avl::Observer), which a RunTree leaves as it finds it.
class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // Before a value goes in or out; an Erase's stop is not one of its values.
  virtual void BeforeValue(std::int16_t value) { (void)value; }
  virtual void AfterValue(std::int16_t value) { (void)value; }
};

// Thrown by a tree from within one value when it sees CancelRequested (a
// long insertion need not run to its end); the runner catches it and the
// work counts as cancelled.
struct RunCancelled {};

class Runner {
 public:
  // Get Tree empties `tree` here, before the values; Erase starts from the
  // tree as it is. `values` must outlive the runner. With `from` > 0 the
  // values before it have run on `tree` already (a replay resumed from a
  // kept tree): the work starts there, and Get Tree empties nothing.
  Runner(CommandKind kind, RunTree& tree, std::span<const std::int16_t> values,
         RunObserver* observer = nullptr, std::size_t from = 0);
  Runner(const Runner&) = delete;
  Runner& operator=(const Runner&) = delete;

  // Another observer, set before the first run.
  void Watch(RunObserver* observer) { observer_ = observer; }

  // Does the work on the calling thread until it is over (done, stopped or
  // cancelled) or past `deadline`; returns whether it is over. Unfinished
  // work goes on at the next call, from any thread, as long as calls do not
  // overlap.
  bool RunUntil(std::chrono::steady_clock::time_point deadline);
  // To its end (or a stop, or a cancel).
  void Run() { RunUntil(std::chrono::steady_clock::time_point::max()); }

  // From any thread: the work stops before the next value.
  void Cancel() { cancel_.store(true, std::memory_order_relaxed); }
  // Whether a cancel has been asked for, even one that came after the end.
  bool CancelRequested() const { return cancel_.load(std::memory_order_relaxed); }

  // From any thread: the values handled so far, of Total().
  std::size_t Done() const { return done_.load(std::memory_order_relaxed); }
  std::size_t Total() const { return values_.size(); }

  CommandKind Kind() const { return kind_; }
  // Once over: whether it ended at a cancel (the tree then half done).
  bool Cancelled() const { return cancelled_; }
  // Once over: where an Erase stopped (None when it took every value).
  EraseStop Stop() const { return stop_; }

 private:
  bool Step();

  CommandKind kind_;
  RunTree* tree_;
  std::span<const std::int16_t> values_;
  RunObserver* observer_;
  std::atomic<bool> cancel_{false};
  std::atomic<std::size_t> done_{0};
  std::size_t next_ = 0;
  std::size_t slice_ = 512;  // values in the next Erase slice
  bool over_ = false;
  bool cancelled_ = false;
  EraseStop stop_ = EraseStop::None;
};

// A command as typed, run to its end on the calling thread: the list is
// checked as every front end checks it (CheckList), then run.
struct RunOutcome {
  bool Refused = false;  // the list was refused: the tree is untouched
  // The refusal, or why an Erase stopped; empty otherwise.
  std::string_view Message;
  std::size_t Done = 0;  // values that went in or out
};
RunOutcome RunList(CommandKind kind, std::string_view text, RunTree& tree,
                   RunObserver* observer = nullptr);

}  // namespace TreeCommands
