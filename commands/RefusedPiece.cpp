#include "RefusedPiece.h"

#include <algorithm>

#include "ListParse.h"
#include "Messages.h"

namespace TreeCommands {

namespace {

// The piece without the blanks around it; an empty span at its start when
// it is blank.
Span Trimmed(std::string_view list, std::size_t start, std::size_t end) {
  const std::string_view text = list.substr(start, end - start);
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return Span{start, 0};
  const std::size_t last = text.find_last_not_of(" \t");
  return Span{start + first, last - first + 1};
}

RefusalRule RuleFor(std::string_view piece, RefusalRule outside) {
  return NumericValue(piece) ? outside : RefusalRule::NotANumber;
}

// 40000 as "40,000".
std::string Grouped(std::size_t n) {
  const std::string digits = std::to_string(n);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

// At most `limit` bytes of UTF-8, not cutting a character in two.
std::string Shortened(std::string_view piece, std::size_t limit) {
  if (piece.size() <= limit) return std::string(piece);
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(piece[end]) & 0xC0) == 0x80) --end;
  return std::string(piece.substr(0, end)) + "\u2026";
}

}  // namespace

std::optional<Refusal> ListRefusal(std::string_view list) {
  const std::size_t pieces =
      static_cast<std::size_t>(std::count(list.begin(), list.end(), ',')) + 1;
  std::size_t start = 0;
  for (std::size_t piece = 0;; ++piece) {
    const std::size_t comma = list.find(',', start);
    const std::size_t end = comma == std::string_view::npos ? list.size() : comma;
    if (piece == MaxListPieces)
      return Refusal{{start, list.size() - start}, RefusalRule::TooManyValues, piece + 1, pieces};
    const std::string_view text = list.substr(start, end - start);
    if (!ToInt16(text))
      return Refusal{Trimmed(list, start, end), RuleFor(text, RefusalRule::OutsideInt16), piece + 1,
                     pieces};
    if (comma == std::string_view::npos) return std::nullopt;
    start = comma + 1;
  }
}

Span RefusedPiece(std::string_view list) {
  const auto refusal = ListRefusal(list);
  return refusal ? refusal->Piece : Span{0, list.size()};
}

std::optional<Refusal> NumberRefusal(std::string_view text) {
  if (ToInt32(text)) return std::nullopt;
  return Refusal{Trimmed(text, 0, text.size()), RuleFor(text, RefusalRule::OutsideInt32), 1, 1};
}

std::string ExplainRefusal(std::string_view text, const Refusal& refusal) {
  namespace M = Messages;
  std::string sentence;
  if (refusal.Rule == RefusalRule::TooManyValues) {
    sentence.append("The list has ").append(Grouped(refusal.Pieces)).append(" values: ");
    return sentence.append(M::TooManyValues).append(".");
  }
  const std::string_view piece = text.substr(refusal.Piece.Start, refusal.Piece.Length);
  std::string named = "empty";
  if (!piece.empty()) named = std::string("\"").append(Shortened(piece, 24)).append("\"");
  if (refusal.Pieces > 1)
    sentence.append("Piece ").append(Grouped(refusal.Index)).append(" (").append(named).append(")");
  else
    sentence = piece.empty() ? std::string("The text") : named;
  const std::string_view rule = refusal.Rule == RefusalRule::NotANumber     ? M::NotANumber
                                : refusal.Rule == RefusalRule::OutsideInt16 ? M::OutsideInt16
                                                                            : M::OutsideInt32;
  return sentence.append(" is ").append(rule).append(".");
}

}  // namespace TreeCommands
