#include "TraceCommands.h"

#include "Commands.h"
#include "Messages.h"

namespace TreeTrace {

std::string RunGetTree(Engine& engine, TreeCore::TreeRec& tree, std::string_view text,
                       TraceRecorder* recorder, const std::function<void()>& beforeValue) {
  const auto list = TreeCommands::CheckList(CommandKind::Get, text);
  if (!list.Refusal.empty()) return std::string(list.Refusal);
  engine.Reset(tree, false);
  TreeCore::TreeObserver* const observer = engine.Observer();
  if (recorder != nullptr) {
    recorder->BeginCommand(CommandKind::Get, tree);
    if (observer == nullptr) engine.SetObserver(recorder);
  }
  for (const std::int16_t value : list.Values) {
    if (recorder != nullptr) recorder->BeginValue(tree, value);
    if (beforeValue) beforeValue();
    engine.Insert(tree, value);
  }
  engine.SetObserver(observer);
  if (recorder != nullptr) recorder->EndCommand(tree, {});
  return {};
}

std::string RunErase(Engine& engine, TreeCore::TreeRec& tree, std::string_view text,
                     TraceRecorder* recorder) {
  const auto list = TreeCommands::CheckList(CommandKind::Erase, text);
  if (!list.Refusal.empty()) return std::string(list.Refusal);
  TreeCore::TreeObserver* const observer = engine.Observer();
  if (recorder != nullptr) {
    recorder->BeginCommand(CommandKind::Erase, tree);
    if (observer == nullptr) engine.SetObserver(recorder);
  }
  std::string message;
  for (const std::int16_t value : list.Values) {
    if (!tree.Exists) {
      message = TreeCommands::Messages::TreeEmpty;
      break;
    }
    const std::int32_t index = TreeCore::FindValue(tree, value);
    if (index == -1) {
      message = TreeCommands::Messages::NotInTree;
      break;
    }
    if (recorder != nullptr) recorder->BeginValue(tree, value);
    engine.Delete(tree, index);
  }
  engine.SetObserver(observer);
  if (recorder != nullptr) recorder->EndCommand(tree, message);
  return message;
}

}  // namespace TreeTrace
