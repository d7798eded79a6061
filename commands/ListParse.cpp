#include "ListParse.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace TreeCommands {

namespace {

// A numeric text taken apart. The value is
// (intDigits followed by fracDigits) * 10^(exponent - fracDigits.size()).
struct Decimal {
  bool negative = false;
  std::string_view number;  // Without blanks and without a leading '+'.
  std::string_view intDigits;
  std::string_view fracDigits;
  std::int64_t exponent = 0;  // Saturated at +-ExponentCap.
};

// Any exponent this large already decides the outcome (overflow or zero) for a
// text of any size that fits in memory; holding it back keeps the sums below
// far from int64 overflow.
constexpr std::int64_t ExponentCap = 1'000'000'000'000'000;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view DigitRun(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  return text.substr(start, pos - start);
}

std::optional<Decimal> Scan(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  text = text.substr(first, last - first);

  Decimal d;
  std::size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    d.negative = text[pos] == '-';
    ++pos;
  }
  // from_chars accepts '-' but not '+'.
  d.number = text.substr(d.negative ? 0 : pos);
  d.intDigits = DigitRun(text, pos);
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    d.fracDigits = DigitRun(text, pos);
  }
  if (d.intDigits.empty() && d.fracDigits.empty()) return std::nullopt;

  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    ++pos;
    bool negativeExponent = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
      negativeExponent = text[pos] == '-';
      ++pos;
    }
    const std::string_view digits = DigitRun(text, pos);
    if (digits.empty()) return std::nullopt;
    for (char c : digits) {
      d.exponent = std::min(ExponentCap, d.exponent * 10 + (c - '0'));
    }
    if (negativeExponent) d.exponent = -d.exponent;
  }
  if (pos != text.size()) return std::nullopt;
  return d;
}

// The significant digits of a decimal: leading zeros dropped, and where the
// decimal point falls among them (0: before the first, negative: further left).
struct Significand {
  const Decimal& d;
  std::size_t first = 0;  // Index of the first non-zero digit, or size() if none.
  std::int64_t point = 0;

  explicit Significand(const Decimal& dec) : d(dec) {
    while (first < size() && Digit(first) == 0) ++first;
    point = static_cast<std::int64_t>(d.intDigits.size()) + d.exponent -
            static_cast<std::int64_t>(first);
  }
  std::size_t size() const { return d.intDigits.size() + d.fracDigits.size(); }
  int Digit(std::size_t i) const {
    const std::size_t n = d.intDigits.size();
    return (i < n ? d.intDigits[i] : d.fracDigits[i - n]) - '0';
  }
  bool IsZero() const { return first == size(); }
};

// The magnitude rounded to the nearest integer, halves to even; nullopt when it
// exceeds maxMagnitude (which must stay below 10^10).
std::optional<std::int64_t> RoundMagnitude(const Decimal& d, std::int64_t maxMagnitude) {
  const Significand s(d);
  if (s.IsZero() || s.point < 0) return 0;  // Below 0.1.
  if (s.point > 10) return std::nullopt;    // At least 10^10.

  std::int64_t whole = 0;
  for (std::size_t k = 0; k < static_cast<std::size_t>(s.point); ++k) {
    const std::size_t i = s.first + k;
    whole = whole * 10 + (i < s.size() ? s.Digit(i) : 0);
  }
  const std::size_t rest = s.first + static_cast<std::size_t>(s.point);
  if (rest < s.size()) {
    const int next = s.Digit(rest);
    bool up = next > 5;
    if (next == 5) {
      bool beyondHalf = false;
      for (std::size_t i = rest + 1; i < s.size() && !beyondHalf; ++i) beyondHalf = s.Digit(i) != 0;
      up = beyondHalf || whole % 2 != 0;
    }
    if (up) ++whole;
  }
  if (whole > maxMagnitude) return std::nullopt;
  return whole;
}

template <typename Int>
std::optional<Int> ToInt(std::string_view text) {
  const std::optional<Decimal> d = Scan(text);
  if (!d) return std::nullopt;
  constexpr std::int64_t maxValue = std::numeric_limits<Int>::max();
  // Two's complement: one more negative value than positive.
  const std::optional<std::int64_t> magnitude =
      RoundMagnitude(*d, d->negative ? maxValue + 1 : maxValue);
  if (!magnitude) return std::nullopt;
  return static_cast<Int>(d->negative ? -*magnitude : *magnitude);
}

}  // namespace

std::optional<double> NumericValue(std::string_view text) {
  const std::optional<Decimal> d = Scan(text);
  if (!d) return std::nullopt;
  // from_chars rather than strtod: the window's process runs with the user's
  // locale, whose decimal separator may not be '.'.
  double value = 0;
  const auto [end, ec] = std::from_chars(d->number.data(), d->number.data() + d->number.size(),
                                         value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Overflow needs a value of at least 1, underflow one below 0.1.
    const bool overflow = Significand(*d).point > 0;
    value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
    if (d->negative) value = -value;
  } else if (ec != std::errc() || end != d->number.data() + d->number.size()) {
    return std::nullopt;  // Not reached for a text that passed Scan.
  }
  return value;
}

std::optional<std::int16_t> ToInt16(std::string_view text) {
  return ToInt<std::int16_t>(text);
}

std::optional<std::int32_t> ToInt32(std::string_view text) {
  return ToInt<std::int32_t>(text);
}

std::optional<std::vector<std::int16_t>> ParseList(std::string_view text) {
  const std::size_t pieces =
      static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')) + 1;
  if (pieces > MaxListPieces) return std::nullopt;

  std::vector<std::int16_t> values;
  values.reserve(pieces);
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::size_t end = comma == std::string_view::npos ? text.size() : comma;
    const std::optional<std::int16_t> value = ToInt16(text.substr(start, end - start));
    if (!value) return std::nullopt;
    values.push_back(*value);
    if (comma == std::string_view::npos) return values;
    start = comma + 1;
  }
}

}  // namespace TreeCommands
