#include "TraceCommands.h"

#include <optional>
#include <vector>

#include "ListParse.h"

namespace TreeTrace {

std::string RunGetTree(Engine& engine, TreeCore::TreeRec& tree, std::string_view text,
                       TraceRecorder* recorder) {
  if (text.empty()) return std::string(GetTreeEmpty);
  const auto list = TreeCommands::ParseList(text);
  if (!list) return std::string(NumbersOnly);
  engine.Reset(tree, false);
  TreeCore::TreeObserver* const observer = engine.Observer();
  if (recorder != nullptr) {
    recorder->BeginCommand(CommandKind::Get, tree);
    if (observer == nullptr) engine.SetObserver(recorder);
  }
  for (const std::int16_t value : *list) {
    if (recorder != nullptr) recorder->BeginValue(tree, value);
    engine.Insert(tree, value);
  }
  engine.SetObserver(observer);
  if (recorder != nullptr) recorder->EndCommand(tree, {});
  return {};
}

std::string RunErase(Engine& engine, TreeCore::TreeRec& tree, std::string_view text,
                     TraceRecorder* recorder) {
  if (text.empty()) return std::string(EraseEmpty);
  const auto list = TreeCommands::ParseList(text);
  if (!list) return std::string(NumbersOnly);
  TreeCore::TreeObserver* const observer = engine.Observer();
  if (recorder != nullptr) {
    recorder->BeginCommand(CommandKind::Erase, tree);
    if (observer == nullptr) engine.SetObserver(recorder);
  }
  std::string message;
  for (const std::int16_t value : *list) {
    if (!tree.Exists) {
      message = TreeEmpty;
      break;
    }
    const std::int32_t index = TreeCore::FindValue(tree, value);
    if (index == -1) {
      message = NotInTree;
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
