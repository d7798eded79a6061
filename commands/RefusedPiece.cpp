#include "RefusedPiece.h"

#include "ListParse.h"

namespace TreeCommands {

Span RefusedPiece(std::string_view list) {
  std::size_t start = 0;
  for (std::size_t piece = 0;; ++piece) {
    const std::size_t comma = list.find(',', start);
    const std::size_t end = comma == std::string_view::npos ? list.size() : comma;
    if (piece == MaxListPieces) return Span{start, list.size() - start};
    const std::string_view text = list.substr(start, end - start);
    if (!ToInt16(text)) {
      const std::size_t first = text.find_first_not_of(" \t");
      if (first == std::string_view::npos) return Span{start, 0};
      const std::size_t last = text.find_last_not_of(" \t");
      return Span{start + first, last - first + 1};
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return Span{0, list.size()};
}

}  // namespace TreeCommands
