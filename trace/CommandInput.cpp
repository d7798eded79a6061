#include "CommandInput.h"

#include <string>

namespace TreeTrace {

int ReadCommandLines(std::istream& in, std::ostream& err, std::string_view option,
                     const RunLine& run) {
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
    if (word == "get") {
      run(TreeCommands::CommandKind::Get, list);
    } else if (word == "erase") {
      run(TreeCommands::CommandKind::Erase, list);
    } else {
      err << "treetest " << option << ": line " << number << ": unknown command \"" << word
          << "\" (expected \"get LIST\" or \"erase LIST\")\n";
      status = 2;
    }
  }
  return status;
}

}  // namespace TreeTrace
