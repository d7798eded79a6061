// `treetest --compare`: Get Tree and Erase from standard input through the
// scheme and a textbook AVL tree, one JSON line per command. Needs no display.
#pragma once

#include <istream>
#include <ostream>

namespace TreeTrace {

// Reads "get LIST" and "erase LIST" lines until the input ends. Returns the
// exit status: 0, or 2 when a line was neither command.
int RunCompareMode(std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace TreeTrace
