// Reading the users' typed numbers: Qt-free, so tests and fuzzers call it directly.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace TreeCommands {

// The most pieces a Get Tree or Erase list may hold.
inline constexpr std::size_t MaxListPieces = 32767;

// The value of a numeric text: blanks (space, tab) around it allowed, an
// optional sign, digits with at most one decimal point among them (at least
// one digit), an optional exponent (E or e, optional sign, digits). nullopt
// otherwise. A numeric text beyond the range of a double gives +-infinity, one
// too small for it +-0. Independent of the C locale.
std::optional<double> NumericValue(std::string_view text);

// Rounded to the nearest integer, halves to the even neighbour; nullopt when
// the text is not numeric or the result lies outside the type's range. The
// rounding is decided from the decimal digits themselves, so "2.5000000000000001"
// gives 3 although the nearest double is 2.5.
std::optional<std::int16_t> ToInt16(std::string_view text);
std::optional<std::int32_t> ToInt32(std::string_view text);

// Splits at every ',' (empty pieces count) and converts each piece with
// ToInt16. nullopt when any piece fails or there are more than MaxListPieces.
std::optional<std::vector<std::int16_t>> ParseList(std::string_view text);

}  // namespace TreeCommands
