#include "CommandInput.h"

#include <string>

namespace TreeTrace {

int ReadCommandLines(std::istream& in, std::ostream& err, std::string_view option,
                     const RunLine& run) {
  int status = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string_view text(line);
    if (text.find_first_not_of(" \t") == std::string_view::npos) continue;
    // The command word, then one blank; the rest is the list exactly as typed.
    const std::size_t blank = text.find(' ');
    const std::string_view word = text.substr(0, blank);
    const std::string_view list =
        blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
    if (word == "get") {
      run(TreeCommands::CommandKind::Get, list);
    } else if (word == "erase") {
      run(TreeCommands::CommandKind::Erase, list);
    } else {
      err << "treetest " << option << ": unknown command \"" << word
          << "\" (expected \"get LIST\" or \"erase LIST\")\n";
      status = 2;
    }
  }
  return status;
}

}  // namespace TreeTrace
