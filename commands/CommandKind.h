// The two commands that change the tree, for whoever records or repeats one.
#pragma once

#include <cstdint>

namespace TreeCommands {

enum class CommandKind : std::uint8_t { Get, Erase };

}  // namespace TreeCommands
