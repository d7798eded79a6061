#include "TraceMode.h"

#include <functional>
#include <string>

#include "CommandInput.h"
#include "TraceCommands.h"
#include "TraceJson.h"

namespace TreeTrace {

int RunTraceMode(std::istream& in, std::ostream& out, std::ostream& err, bool states) {
  TreeCore::TreeRec tree;
  Engine engine;
  JsonTraceWriter writer(out);
  engine.SetObserver(&writer);
  // The states are those of the plain procedures, step by step.
  if (states) {
    engine.SetTuning(TreeCore::Tuning::Plain());
    writer.ShowStates(&tree);
  }
  std::function<void()> beforeValue;
  if (states) beforeValue = [&writer] { writer.State(); };
  return ReadCommandLines(
      in, err, "--trace", [&](TreeCommands::CommandKind kind, std::string_view list) {
        const std::string message = kind == TreeCommands::CommandKind::Get
                                        ? RunGetTree(engine, tree, list, nullptr, beforeValue)
                                        : RunErase(engine, tree, list, nullptr);
        if (!message.empty()) writer.Message(message);
        writer.Done(tree);
        out.flush();
      });
}

}  // namespace TreeTrace
