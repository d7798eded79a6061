#include "TreeJob.h"

#include <algorithm>
#include <span>
#include <utility>

namespace TreeCommands {

// Watches the job's engine: at each balancing step it looks at the cancel
// flag and, when it is set, leaves the operation by an exception. The tree
// and the engine instance are the job's own and are thrown away with it, so
// nothing half-done is ever seen.
class TreeJob::CancelPoint final : public TreeCore::TreeObserver {
 public:
  struct Stop {};
  explicit CancelPoint(const std::atomic<bool>& cancel) : cancel_(&cancel) {}
  void Follow(const std::atomic<bool>& cancel) { cancel_ = &cancel; }
  // Events go on to `next` once the cancel flag has been looked at.
  void Chain(TreeCore::TreeObserver* next) { next_ = next; }
  void OnInsert(std::int16_t value, std::int32_t node) override {
    Check();
    if (next_ != nullptr) next_->OnInsert(value, node);
  }
  void OnRotate(TreeCore::ChainKind kind, std::int32_t node, std::int16_t value) override {
    Check();
    if (next_ != nullptr) next_->OnRotate(kind, node, value);
  }
  void OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) override {
    Check();
    if (next_ != nullptr) next_->OnFixUp(rightHeavy, node, value);
  }
  void OnErase(std::int16_t value, std::int32_t node) override {
    Check();
    if (next_ != nullptr) next_->OnErase(value, node);
  }

 private:
  void Check() const {
    if (cancel_->load(std::memory_order_relaxed)) throw Stop{};
  }
  const std::atomic<bool>* cancel_;
  TreeCore::TreeObserver* next_ = nullptr;
};

TreeJob::TreeJob(Kind kind, TreeCore::TreeRec tree, std::vector<std::int16_t> values)
    : kind_(kind),
      cancelPoint_(std::make_unique<CancelPoint>(cancel_)),
      engine_(std::make_unique<TreeCore::EngineState>()),
      tree_(std::move(tree)),
      values_(std::move(values)) {
  engine_->Observer = cancelPoint_.get();
}

TreeJob::~TreeJob() = default;

TreeJob::TreeJob(TreeJob&& other) noexcept
    : kind_(other.kind_),
      cancelPoint_(std::move(other.cancelPoint_)),
      engine_(std::move(other.engine_)),
      tree_(std::move(other.tree_)),
      values_(std::move(other.values_)),
      beforeValue_(std::move(other.beforeValue_)),
      cancel_(other.cancel_.load()),
      done_(other.done_.load()),
      next_(other.next_),
      slice_(other.slice_),
      over_(other.over_),
      cancelled_(other.cancelled_),
      stop_(other.stop_) {
  // The flag it watches is this job's now.
  if (cancelPoint_) cancelPoint_->Follow(cancel_);
}

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
  // Nothing but this job's insertions touches its tree.
  job.engine_->KeepInOrderLinks = true;
  return job;
}

TreeJob TreeJob::Erase(const TreeCore::TreeRec& current, std::vector<std::int16_t> values) {
  return TreeJob(Kind::Erase, current, std::move(values));
}

void TreeJob::HandOver(TreeCore::EngineState& window) const {
  if (!engine_->LineBreak.empty()) window.LineBreak = engine_->LineBreak;
  if (!engine_->DoubleLineBreak.empty()) window.DoubleLineBreak = engine_->DoubleLineBreak;
}

void TreeJob::Watch(TreeCore::TreeObserver* observer, BeforeValue beforeValue) {
  cancelPoint_->Chain(observer);
  beforeValue_ = std::move(beforeValue);
}

bool TreeJob::RunUntil(std::chrono::steady_clock::time_point deadline) {
  while (!over_) {
    if (cancel_.load(std::memory_order_relaxed)) {
      cancelled_ = true;
      over_ = true;
      break;
    }
    bool more = false;
    try {
      more = next_ < values_.size() && Step();
    } catch (const CancelPoint::Stop&) {
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

bool TreeJob::Step() {
  // A value the Erase stops at is not one of its values: the watcher hears
  // only of values that run.
  if (beforeValue_ &&
      (kind_ == Kind::Build || (tree_.Exists && TreeCore::FindValue(tree_, values_[next_]) != -1)))
    beforeValue_(tree_, values_[next_]);
  if (kind_ == Kind::Build) {
    TreeCore::InsertValue(*engine_, tree_, values_[next_]);
    ++next_;
    return true;
  }
  // A slice of the list at a time: between calls the job can stop, count
  // and hand over. The engine closes the table's gaps once per call, a pass
  // over the whole table, so quick slices grow; slow ones shrink, so that
  // the count still moves.
  const std::size_t slice = beforeValue_ ? 1 : slice_;
  const std::size_t count = std::min(slice, values_.size() - next_);
  const auto began = std::chrono::steady_clock::now();
  const TreeCore::EraseResult result = TreeCore::EraseValues(
      *engine_, tree_, std::span<const std::int16_t>(values_).subspan(next_, count));
  next_ += result.Erased;
  const auto took = std::chrono::steady_clock::now() - began;
  if (took < std::chrono::milliseconds(4))
    slice_ = std::min<std::size_t>(slice_ * 2, 32768);
  else if (took > std::chrono::milliseconds(50))
    slice_ = std::max<std::size_t>(slice_ / 2, 64);
  stop_ = result.Stop;
  return result.Stop == EraseStop::None;
}

}  // namespace TreeCommands
