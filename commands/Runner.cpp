#include "Runner.h"

#include <algorithm>

#include "Messages.h"

namespace TreeCommands {

TreeCore::EraseResult RunTree::RemoveInTurn(std::span<const std::int16_t> values) {
  return TreeCore::EraseInTurn(
      values, [this] { return Empty(); }, [this](std::int16_t value) { return Find(value); },
      [this](std::int32_t node, std::int16_t value) { Remove(node, value); });
}

Runner::Runner(CommandKind kind, RunTree& tree, std::span<const std::int16_t> values,
               RunObserver* observer, std::size_t from)
    : kind_(kind),
      tree_(&tree),
      values_(values),
      observer_(observer),
      done_(std::min(from, values.size())),
      next_(done_.load()) {
  if (kind_ == CommandKind::Get && next_ == 0) tree_->Clear();
}

bool Runner::RunUntil(std::chrono::steady_clock::time_point deadline) {
  while (!over_) {
    if (CancelRequested()) {
      cancelled_ = true;
      over_ = true;
      break;
    }
    bool more = false;
    try {
      more = next_ < values_.size() && Step();
    } catch (const RunCancelled&) {
      cancelled_ = true;
      over_ = true;
      break;
    }
    done_.store(next_, std::memory_order_relaxed);
    if (!more) {
      over_ = true;
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) break;
  }
  return over_;
}

bool Runner::Step() {
  if (kind_ == CommandKind::Get) {
    const std::int16_t value = values_[next_];
    if (observer_ != nullptr) observer_->BeforeValue(value);
    tree_->Insert(value);
    ++next_;
    if (observer_ != nullptr) observer_->AfterValue(value);
    return true;
  }
  TreeCore::EraseResult result;
  if (observer_ != nullptr) {
    // Watched: one value per step, each heard before and after it runs.
    result = TreeCore::EraseInTurn(
        values_.subspan(next_, 1), [this] { return tree_->Empty(); },
        [this](std::int16_t value) { return tree_->Find(value); },
        [this](std::int32_t node, std::int16_t value) {
          observer_->BeforeValue(value);
          tree_->Remove(node, value);
        });
    next_ += result.Erased;
    if (result.Erased > 0) observer_->AfterValue(values_[next_ - 1]);
  } else {
    // A slice of the list at a time: between slices the work can stop,
    // count and hand over. The engine's batch erase closes the table's gaps
    // once per call, a pass over the whole table, so quick slices grow;
    // slow ones shrink, so that the count still moves.
    const std::size_t count = std::min(slice_, values_.size() - next_);
    const auto began = std::chrono::steady_clock::now();
    result = tree_->RemoveInTurn(values_.subspan(next_, count));
    next_ += result.Erased;
    const auto took = std::chrono::steady_clock::now() - began;
    if (took < std::chrono::milliseconds(4))
      slice_ = std::min<std::size_t>(slice_ * 2, 32768);
    else if (took > std::chrono::milliseconds(50))
      slice_ = std::max<std::size_t>(slice_ / 2, 64);
  }
  stop_ = result.Stop;
  return result.Stop == EraseStop::None;
}

RunOutcome RunList(CommandKind kind, std::string_view text, RunTree& tree, RunObserver* observer) {
  RunOutcome outcome;
  const CheckedList list = CheckList(kind, text);
  if (!list.Refusal.empty()) {
    outcome.Refused = true;
    outcome.Message = list.Refusal;
    return outcome;
  }
  Runner runner(kind, tree, list.Values, observer);
  runner.Run();
  outcome.Message = Messages::EraseStopMessage(runner.Stop());
  outcome.Done = runner.Done();
  return outcome;
}

}  // namespace TreeCommands
