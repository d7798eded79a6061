#include "TraceMode.h"

#include <functional>
#include <string>

#include "TraceCommands.h"
#include "TraceJson.h"

namespace TreeTrace {

int RunTraceMode(std::istream& in, std::ostream& out, std::ostream& err, bool states) {
  TreeCore::TreeRec tree;
  Engine engine;
  JsonTraceWriter writer(out);
  engine.SetObserver(&writer);
  if (states) writer.ShowStates(&tree);
  std::function<void()> beforeValue;
  if (states) beforeValue = [&writer] { writer.State(); };
  int status = 0;
  std::string line;
  for (long number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string_view text(line);
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) continue;
    // Indented lines are accepted as they are in a hand-written file. The
    // command word, then one blank or tab; the rest is the list exactly as
    // typed (the list reader allows blanks and tabs around each piece).
    text.remove_prefix(first);
    const std::size_t blank = text.find_first_of(" \t");
    const std::string_view word = text.substr(0, blank);
    const std::string_view list =
        blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
    std::string message;
    if (word == "get") {
      message = RunGetTree(engine, tree, list, nullptr, beforeValue);
    } else if (word == "erase") {
      message = RunErase(engine, tree, list, nullptr);
    } else {
      err << "treetest --trace: line " << number << ": unknown command \"" << word
          << "\" (expected \"get LIST\" or \"erase LIST\")\n";
      status = 2;
      continue;
    }
    if (!message.empty()) writer.Message(message);
    writer.Done(tree);
    out.flush();
  }
  return status;
}

}  // namespace TreeTrace
