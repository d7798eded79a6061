// Where a refused list went wrong, so that the piece can be shown selected
// when the refused text is brought back.
#pragma once

#include <cstddef>
#include <string_view>

namespace TreeCommands {

// Byte offset and length of a stretch of a text.
struct Span {
  std::size_t Start = 0;
  std::size_t Length = 0;
  bool operator==(const Span&) const = default;
};

// The first piece that the number reader refuses, without the blanks around
// it (an empty or blank piece gives a span of length 0 at its place). For a
// list of too many pieces, everything after the last piece a list may hold.
// The whole text when nothing in it is refused.
Span RefusedPiece(std::string_view list);

}  // namespace TreeCommands
