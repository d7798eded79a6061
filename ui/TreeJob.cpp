#include "TreeJob.h"

#include <utility>

namespace TreeCommands {

TreeJob::TreeJob(Kind kind, TreeCore::TreeRec tree, std::vector<std::int16_t> values)
    : kind_(kind), tree_(std::move(tree)), values_(std::move(values)) {}

TreeJob::TreeJob(TreeJob&& other) noexcept
    : kind_(other.kind_),
      tree_(std::move(other.tree_)),
      values_(std::move(other.values_)),
      cancel_(other.cancel_.load()),
      done_(other.done_.load()),
      next_(other.next_),
      over_(other.over_),
      cancelled_(other.cancelled_),
      stop_(other.stop_) {}

TreeJob TreeJob::Build(const TreeCore::TreeRec& current, std::vector<std::int16_t> values) {
  // What ResetTree(tree, false) does to the record, without its other half:
  // destroying the drawing's elements is the window's business, and the old
  // drawing stays on screen while the job runs. The fields it keeps (the root,
  // the heights) carry into the next tree as they do on the window's tree.
  TreeCore::TreeRec fresh;
  fresh.Root = current.Root;
  fresh.Height = current.Height;
  fresh.TreeLeftHeight = current.TreeLeftHeight;
  fresh.TreeRightHeight = current.TreeRightHeight;
  fresh.Nodes.assign(1, TreeCore::NodeRec{});
  fresh.Exists = false;
  fresh.Count = 0;
  return TreeJob(Kind::Build, std::move(fresh), std::move(values));
}

TreeJob TreeJob::Erase(const TreeCore::TreeRec& current, std::vector<std::int16_t> values) {
  return TreeJob(Kind::Erase, current, std::move(values));
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
    TreeCore::InsertValue(tree_, value);
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
  TreeCore::DeleteNode(tree_, index);
  return true;
}

}  // namespace TreeCommands
