// `treetest --trace`: Get Tree and Erase from standard input, every balancing
// event as a JSON line on standard output. Needs no display.
#pragma once

#include <istream>
#include <ostream>
#include <string_view>

namespace TreeTrace {

// Reads "get LIST" and "erase LIST" lines until the input ends. Returns the
// exit status: 0, or 2 when a line was neither command. With `states`, a
// state line of the node table comes before each value of a Get Tree and
// before every rotate, fixup, erase and done line (--states).
int RunTraceMode(std::istream& in, std::ostream& out, std::ostream& err, bool states = false);

}  // namespace TreeTrace
