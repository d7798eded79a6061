// Feeds arbitrary text to the number reader and checks that its functions agree.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ListParse.h"

using namespace TreeCommands;

namespace {

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

void CheckPiece(std::string_view text) {
  const auto value = NumericValue(text);
  const auto i16 = ToInt16(text);
  const auto i32 = ToInt32(text);

  if (i16) Require(i32 && *i32 == *i16, "ToInt16 present implies ToInt32 equal");
  if (i32 && !i16) Require(*i32 < -32768 || *i32 > 32767, "ToInt16 refused an in-range value");
  if (i32) {
    Require(value.has_value(), "ToInt32 present implies numeric");
    // The double may sit a rounding error beyond the exact half.
    Require(std::fabs(*value - *i32) <= 0.5 + 1e-6, "ToInt32 is the nearest integer");
  }
  // With at most 15 digits the double lies on the same side of every half as
  // the decimal text, and exactly on it only when the text is that half, so the
  // C library's round-half-even is then an independent answer.
  const auto digits =
      std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (value && digits <= 15 && std::fabs(*value) <= 2147483646.0) {
    Require(i32 && *i32 == std::nearbyint(*value), "short text rounds like its double");
  }
  if (value && std::fabs(*value) <= 32766) Require(i16.has_value(), "small value refused");
  if (value && std::fabs(*value) <= 2147483646.0) Require(i32.has_value(), "int32 refused");

  // Blanks around a piece never matter.
  const std::string padded = " \t" + std::string(text) + "\t ";
  Require(ToInt32(padded) == i32, "surrounding blanks changed ToInt32");
  Require(NumericValue(padded).has_value() == value.has_value(), "blanks changed numeric");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckPiece(text);

  const auto list = ParseList(text);
  const std::size_t pieces =
      static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')) + 1;
  bool allPiecesConvert = true;
  std::size_t start = 0;
  for (std::size_t k = 0; k < pieces; ++k) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string_view piece = text.substr(start, comma - start);
    const auto value = ToInt16(piece);
    if (pieces > 1) CheckPiece(piece);
    allPiecesConvert = allPiecesConvert && value.has_value();
    if (list && k < list->size()) Require(value && *value == (*list)[k], "list value differs");
    start = comma + 1;
  }
  const bool expected = allPiecesConvert && pieces <= MaxListPieces;
  Require(list.has_value() == expected, "ParseList accepts exactly when every piece converts");
  if (list) Require(list->size() == pieces, "one value per piece");
  return 0;
}
