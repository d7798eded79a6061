// Where a refused list went wrong and why, so that the piece can be shown
// selected when the refused text is brought back, and the box can say which
// rule it broke.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
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

// The rule a refused piece broke.
enum class RefusalRule { NotANumber, OutsideInt16, OutsideInt32, TooManyValues };

struct Refusal {
  Span Piece;
  RefusalRule Rule = RefusalRule::NotANumber;
  std::size_t Index = 0;   // the piece's place in the list, from 1
  std::size_t Pieces = 0;  // how many pieces the list has
  bool operator==(const Refusal&) const = default;
};

// Why Get Tree or Erase refuses `list` (RefusedPiece, and the rule); nullopt
// when every piece is a number.
std::optional<Refusal> ListRefusal(std::string_view list);
// Why Search refuses `text`, a single 32-bit number; nullopt when it does not.
std::optional<Refusal> NumberRefusal(std::string_view text);

// One sentence that names the refused piece of `text` and the rule, such as
// `Piece 2 ("99999") is outside −32768..32767.` (UTF-8; a long piece is cut
// short).
std::string ExplainRefusal(std::string_view text, const Refusal& refusal);

}  // namespace TreeCommands
