// `treetest --trace`: Get Tree and Erase from standard input, every balancing
// event as a JSON line on standard output. Needs no display.
#pragma once

#include <istream>
#include <ostream>
#include <string_view>

namespace TreeTrace {

// Reads "get LIST" and "erase LIST" lines until the input ends. Returns the
// exit status: 0, or 2 when a line was neither command.
int RunTraceMode(std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace TreeTrace
