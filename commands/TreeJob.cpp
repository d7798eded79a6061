#include "TreeJob.h"

#include <utility>

#include "EngineState.h"
#include "RunTrees.h"

namespace TreeCommands {

// Watches the job's engine: at each balancing step it looks at the cancel
// flag and, when it is set, leaves the operation by an exception. The tree
// and the engine instance are the job's own and are thrown away with it, so
// nothing half-done is ever seen.
class TreeJob::CancelPoint final : public TreeCore::TreeObserver {
 public:
  explicit CancelPoint(const Runner& runner) : runner_(&runner) {}
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
    if (runner_->CancelRequested()) throw RunCancelled{};
  }
  const Runner* runner_;
  TreeCore::TreeObserver* next_ = nullptr;
};

// Tells the watcher the tree each value meets.
class TreeJob::ValueTap final : public RunObserver {
 public:
  ValueTap(const TreeCore::TreeRec& tree, TreeJob::BeforeValue beforeValue)
      : tree_(&tree), beforeValue_(std::move(beforeValue)) {}
  void BeforeValue(std::int16_t value) override { beforeValue_(*tree_, value); }

 private:
  const TreeCore::TreeRec* tree_;
  TreeJob::BeforeValue beforeValue_;
};

// Everything the runner points at, kept at one address.
struct TreeJob::Work {
  Work(CommandKind kind, const TreeCore::TreeRec& current, std::vector<std::int16_t> list)
      : tree(current),
        values(std::move(list)),
        scheme(engine, tree, SchemeTree::Erasing::InBatches),
        runner(kind, scheme, values, nullptr),
        cancelPoint(runner) {
    engine.Observer = &cancelPoint;
  }
  // An engine instance of its own: nothing the window's thread uses while
  // the job runs.
  TreeCore::EngineState engine;
  TreeCore::TreeRec tree;
  std::vector<std::int16_t> values;
  SchemeTree scheme;
  Runner runner;
  // Stops the engine within one value when a cancel comes: one insertion of
  // a long sorted list can take a large share of a second.
  CancelPoint cancelPoint;
  std::unique_ptr<ValueTap> tap;
};

TreeJob::TreeJob(CommandKind kind, const TreeCore::TreeRec& tree, std::vector<std::int16_t> values)
    : work_(std::make_unique<Work>(kind, tree, std::move(values))) {}

TreeJob::~TreeJob() = default;
TreeJob::TreeJob(TreeJob&& other) noexcept = default;

TreeJob TreeJob::Build(const TreeCore::TreeRec& current, std::vector<std::int16_t> values) {
  // The window's tree as ResetTree(tree, false) leaves it: the fields the
  // reset keeps (the root, the heights) carry into the next tree. The job's
  // own engine has drawn nothing, so the runner's reset destroys no element
  // of the drawing that stays on screen meanwhile.
  TreeCore::TreeRec fresh;
  TreeCore::CopyTreeFields(current, fresh);
  TreeJob job(CommandKind::Get, fresh, std::move(values));
  // Nothing but this job's insertions touches its tree.
  job.work_->engine.KeepInOrderLinks = true;
  return job;
}

TreeJob TreeJob::Erase(const TreeCore::TreeRec& current, std::vector<std::int16_t> values) {
  return TreeJob(CommandKind::Erase, current, std::move(values));
}

void TreeJob::HandOver(TreeCore::EngineState& window) const {
  const TreeCore::EngineState& engine = work_->engine;
  if (!engine.LineBreak.empty()) window.LineBreak = engine.LineBreak;
  if (!engine.DoubleLineBreak.empty()) window.DoubleLineBreak = engine.DoubleLineBreak;
}

void TreeJob::Watch(TreeCore::TreeObserver* observer, BeforeValue beforeValue) {
  work_->cancelPoint.Chain(observer);
  if (!beforeValue) return;
  work_->tap = std::make_unique<ValueTap>(work_->tree, std::move(beforeValue));
  work_->runner.Watch(work_->tap.get());
}

bool TreeJob::RunUntil(std::chrono::steady_clock::time_point deadline) {
  return work_->runner.RunUntil(deadline);
}
void TreeJob::Run() {
  work_->runner.Run();
}
void TreeJob::RequestCancel() {
  work_->runner.Cancel();
}
bool TreeJob::CancelRequested() const {
  return work_->runner.CancelRequested();
}
std::size_t TreeJob::Done() const {
  return work_->runner.Done();
}
std::size_t TreeJob::Total() const {
  return work_->runner.Total();
}
bool TreeJob::StartsOnEmptyTree() const {
  return work_->runner.Kind() == CommandKind::Get;
}
bool TreeJob::Cancelled() const {
  return work_->runner.Cancelled();
}
EraseStop TreeJob::Stop() const {
  return work_->runner.Stop();
}
TreeCore::TreeRec& TreeJob::Tree() {
  return work_->tree;
}

}  // namespace TreeCommands
