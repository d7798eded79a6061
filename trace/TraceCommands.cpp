#include "TraceCommands.h"

#include "Commands.h"
#include "Messages.h"
#include "RunTrees.h"
#include "Runner.h"

namespace TreeTrace {

namespace {

// Tells the recorder, then the caller, of each value before it runs.
class RecorderTap final : public TreeCommands::RunObserver {
 public:
  RecorderTap(const TreeCore::TreeRec& tree, TraceRecorder* recorder,
              const std::function<void()>& beforeValue)
      : tree_(tree), recorder_(recorder), beforeValue_(beforeValue) {}
  bool Wanted() const { return recorder_ != nullptr || beforeValue_; }
  void BeforeValue(std::int16_t value) override {
    if (recorder_ != nullptr) recorder_->BeginValue(tree_, value);
    if (beforeValue_) beforeValue_();
  }

 private:
  const TreeCore::TreeRec& tree_;
  TraceRecorder* recorder_;
  const std::function<void()>& beforeValue_;
};

std::string Run(TreeCommands::CommandKind kind, Engine& engine, TreeCore::TreeRec& tree,
                std::string_view text, TraceRecorder* recorder,
                const std::function<void()>& beforeValue) {
  const auto list = TreeCommands::CheckList(kind, text);
  if (!list.Refusal.empty()) return std::string(list.Refusal);
  TreeCommands::SchemeTree scheme(engine.State(), tree);
  RecorderTap tap(tree, recorder, beforeValue);
  // Get Tree empties the tree here: the recorder begins with the emptied one.
  TreeCommands::Runner runner(kind, scheme, list.Values, tap.Wanted() ? &tap : nullptr);
  TreeCore::TreeObserver* const observer = engine.Observer();
  if (recorder != nullptr) {
    recorder->BeginCommand(kind, tree);
    if (observer == nullptr) engine.SetObserver(recorder);
  }
  runner.Run();
  engine.SetObserver(observer);
  std::string message(TreeCommands::Messages::EraseStopMessage(runner.Stop()));
  if (recorder != nullptr) recorder->EndCommand(tree, message);
  return message;
}

}  // namespace

std::string RunGetTree(Engine& engine, TreeCore::TreeRec& tree, std::string_view text,
                       TraceRecorder* recorder, const std::function<void()>& beforeValue) {
  return Run(CommandKind::Get, engine, tree, text, recorder, beforeValue);
}

std::string RunErase(Engine& engine, TreeCore::TreeRec& tree, std::string_view text,
                     TraceRecorder* recorder) {
  return Run(CommandKind::Erase, engine, tree, text, recorder, {});
}

}  // namespace TreeTrace
