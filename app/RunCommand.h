// The program's front door: the command line's modes, help, version and
// usage errors, all without a window or a display.
#pragma once

#include <optional>

namespace TreeApp {

// The exit status when the command line is answered here; nullopt when the
// window should open (a display, or a platform chosen, is there to try).
std::optional<int> RunCommandLine(int argc, char* argv[]);

}  // namespace TreeApp
