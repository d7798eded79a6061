// What every front end does with a command's text before and around the
// engine work, so that the window, the trace, the export and the steps
// window refuse the same texts with the same messages.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CommandKind.h"
#include "TreeCore.h"

namespace TreeCommands {

// A Get Tree or Erase list as typed: its values, or the message that refuses
// it (an empty text, or a piece that is not a 16-bit number).
struct CheckedList {
  std::vector<std::int16_t> Values;
  std::string_view Refusal;  // empty when the list is accepted
  // Refused for a bad piece, not for an empty box: the box is then emptied.
  bool BadPiece = false;
};
CheckedList CheckList(CommandKind kind, std::string_view text);

// Search: the message box it shows and the node it found (-1 for none).
struct SearchOutcome {
  std::int32_t Node = -1;
  bool Refused = false;  // the text is not a number
  std::string Message;
  std::string_view Title;
};
SearchOutcome Search(const TreeCore::TreeRec& tree, std::string_view text);

}  // namespace TreeCommands
