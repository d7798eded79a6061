#include "TreeJob.h"

#include <utility>

namespace TreeCommands {

namespace {

// Beyond these the work may take long enough to be felt (measured on a
// release build: 1024 descending values insert in about 7 ms; an Erase moves
// up to the whole table once per value).
constexpr std::size_t SmallBuild = 1024;
constexpr std::size_t SmallEraseWork = std::size_t{1} << 20;

}  // namespace

TreeJob::TreeJob(Kind kind, TreeCore::TreeRec tree, std::vector<std::int16_t> values)
    : kind_(kind), tree_(std::move(tree)), values_(std::move(values)) {}

TreeJob::TreeJob(TreeJob&& other) noexcept
    : kind_(other.kind_),
      tree_(std::move(other.tree_)),
      values_(std::move(other.values_)),
      cancel_(other.cancel_.load()),
      done_(other.done_.load()),
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

bool TreeJob::IsSmall() const {
  if (kind_ == Kind::Build) return values_.size() <= SmallBuild;
  const auto nodes = static_cast<std::size_t>(tree_.Count > 0 ? tree_.Count : 0) + 1;
  return values_.size() * nodes <= SmallEraseWork;
}

void TreeJob::Run() {
  if (kind_ == Kind::Build)
    RunBuild();
  else
    RunErase();
}

void TreeJob::RunBuild() {
  for (std::size_t i = 0; i < values_.size(); ++i) {
    if (cancel_.load(std::memory_order_relaxed)) {
      cancelled_ = true;
      return;
    }
    TreeCore::InsertValue(tree_, values_[i]);
    done_.store(i + 1, std::memory_order_relaxed);
  }
}

void TreeJob::RunErase() {
  for (std::size_t i = 0; i < values_.size(); ++i) {
    if (cancel_.load(std::memory_order_relaxed)) {
      cancelled_ = true;
      return;
    }
    if (!tree_.Exists) {
      stop_ = EraseStop::EmptyTree;
      return;
    }
    const std::int32_t index = TreeCore::FindValue(tree_, values_[i]);
    if (index == -1) {
      stop_ = EraseStop::MissingValue;
      return;
    }
    TreeCore::DeleteNode(tree_, index);
    done_.store(i + 1, std::memory_order_relaxed);
  }
}

}  // namespace TreeCommands
