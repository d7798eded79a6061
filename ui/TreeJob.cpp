#include "TreeJob.h"

#include <utility>

namespace TreeCommands {

TreeJob::TreeJob(Kind kind, TreeCore::TreeRec tree, std::vector<std::int16_t> values)
    : kind_(kind),
      engine_(std::make_unique<TreeCore::EngineState>()),
      tree_(std::move(tree)),
      values_(std::move(values)) {}

TreeJob::TreeJob(TreeJob&& other) noexcept
    : kind_(other.kind_),
      engine_(std::move(other.engine_)),
      tree_(std::move(other.tree_)),
      values_(std::move(other.values_)),
      cancel_(other.cancel_.load()),
      done_(other.done_.load()),
      next_(other.next_),
      over_(other.over_),
      cancelled_(other.cancelled_),
      stop_(other.stop_) {}

TreeJob TreeJob::Build(const TreeCore::TreeRec& current, std::vector<std::int16_t> values) {
  // The window's tree as ResetTree(tree, false) leaves it: the fields the
  // reset keeps (the root, the heights) carry into the next tree. The job's
  // own engine has drawn nothing, so its reset destroys no element of the
  // drawing that stays on screen meanwhile.
  TreeCore::TreeRec fresh;
  fresh.Root = current.Root;
  fresh.Count = current.Count;
  fresh.Height = current.Height;
  fresh.TreeLeftHeight = current.TreeLeftHeight;
  fresh.TreeRightHeight = current.TreeRightHeight;
  fresh.Exists = current.Exists;
  TreeJob job(Kind::Build, std::move(fresh), std::move(values));
  TreeCore::ResetTree(*job.engine_, job.tree_, false);
  return job;
}

TreeJob TreeJob::Erase(const TreeCore::TreeRec& current, std::vector<std::int16_t> values) {
  return TreeJob(Kind::Erase, current, std::move(values));
}

void TreeJob::HandOver(TreeCore::EngineState& window) const {
  if (!engine_->LineBreak.empty()) window.LineBreak = engine_->LineBreak;
  if (!engine_->DoubleLineBreak.empty()) window.DoubleLineBreak = engine_->DoubleLineBreak;
}

bool TreeJob::RunUntil(std::chrono::steady_clock::time_point deadline) {
  while (!over_) {
    if (cancel_.load(std::memory_order_relaxed)) {
      cancelled_ = true;
      over_ = true;
      break;
    }
    if (next_ == values_.size() || !Step(values_[next_])) {
      over_ = true;
      break;
    }
    done_.store(++next_, std::memory_order_relaxed);
    if (std::chrono::steady_clock::now() >= deadline) break;
  }
  return over_;
}

bool TreeJob::Step(std::int16_t value) {
  if (kind_ == Kind::Build) {
    TreeCore::InsertValue(*engine_, tree_, value);
    return true;
  }
  if (!tree_.Exists) {
    stop_ = EraseStop::EmptyTree;
    return false;
  }
  const std::int32_t index = TreeCore::FindValue(tree_, value);
  if (index == -1) {
    stop_ = EraseStop::MissingValue;
    return false;
  }
  TreeCore::DeleteNode(*engine_, tree_, index);
  return true;
}

}  // namespace TreeCommands
