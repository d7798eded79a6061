#include "PasteText.h"

namespace TreeCommands {

namespace {

bool IsBreak(char c) {
  return c == '\n' || c == '\r' || c == '\t';
}
bool IsBlankOrBreak(char c) {
  return c == ' ' || IsBreak(c);
}

}  // namespace

std::string ForgivingPaste(std::string_view pasted) {
  if (pasted.find_first_of("\r\n\t") == std::string_view::npos) return std::string(pasted);
  std::string out;
  out.reserve(pasted.size());
  std::size_t i = 0;
  while (i < pasted.size()) {
    if (!IsBlankOrBreak(pasted[i])) {
      out.push_back(pasted[i++]);
      continue;
    }
    // A run of blanks, breaks and tabs: kept as it is when it holds no break.
    std::size_t end = i;
    bool hasBreak = false;
    while (end < pasted.size() && IsBlankOrBreak(pasted[end])) hasBreak |= IsBreak(pasted[end++]);
    if (!hasBreak) {
      out.append(pasted.substr(i, end - i));
    } else {
      const bool atStart = out.find_first_not_of(' ') == std::string::npos;
      const bool atEnd = end == pasted.size();
      std::size_t last = out.find_last_not_of(' ');
      const bool afterComma = last != std::string::npos && out[last] == ',';
      const bool beforeComma = !atEnd && pasted[end] == ',';
      if (atStart) out.clear();
      if (!atStart && !atEnd && !afterComma && !beforeComma) {
        out.erase(last + 1);
        out.push_back(',');
      } else if (atEnd && !atStart) {
        out.erase(last + 1);
      }
    }
    i = end;
  }
  return out;
}

}  // namespace TreeCommands
