// The command lines the command-line modes read on standard input: "get LIST"
// and "erase LIST", one a line, the list exactly as typed.
#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <string_view>

#include "CommandKind.h"

namespace TreeTrace {

using RunLine = std::function<void(TreeCommands::CommandKind kind, std::string_view list)>;

// Calls `run` for each command line until the input ends; blank lines are
// skipped, any other line is reported on `err` under `option` ("--trace").
// Returns the exit status: 0, or 2 when a line was neither command.
int ReadCommandLines(std::istream& in, std::ostream& err, std::string_view option,
                     const RunLine& run);

}  // namespace TreeTrace
