// `treetest --export FILE LIST`: draws the tree that Get Tree draws for LIST
// and writes it to FILE (SVG or PNG by the name's ending), without a window
// or a display. LIST "-" reads the list from standard input.
#pragma once

#include <optional>

namespace TreeApp {

// The exit status when the arguments ask for the export; nullopt when they
// do not, and the window should start. Refusals go to standard error with
// the window's words and exit status 2; a file that cannot be written gives
// status 1.
std::optional<int> RunExportMode(int argc, char* argv[]);

}  // namespace TreeApp
