// What pasting does to a list before it reaches a text box: a column copied
// from a spreadsheet or a file becomes a comma-separated list. Typed text
// never comes through here, so the number reader judges it exactly as typed.
#pragma once

#include <string>
#include <string_view>

namespace TreeCommands {

// Every run of line breaks (LF, CR LF, CR) and tabs, with the blanks around
// it, becomes one comma between two pieces; such a run at the start or the
// end is dropped, and one next to a comma already there adds none. Text
// without line breaks or tabs comes back unchanged.
std::string ForgivingPaste(std::string_view pasted);

}  // namespace TreeCommands
