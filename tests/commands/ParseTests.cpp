#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>

#include "ListParse.h"

using namespace TreeCommands;
using namespace std::string_view_literals;

namespace {

struct IntCase {
  std::string text;
  std::optional<std::int32_t> value;  // nullopt: refused.
};

std::string Repeat(std::string_view piece, std::size_t count) {
  std::string s;
  for (std::size_t i = 0; i < count; ++i) s += piece;
  return s;
}

TEST(NumericPiece, AcceptedFormsRoundHalvesToEven) {
  const IntCase cases[] = {
      {"1", 1},
      {" 1 ", 1},
      {"\t-3\t", -3},
      {"+4", 4},
      {"2.5", 2},
      {"3.5", 4},
      {"1e3", 1000},
      {"1E+2", 100},
      {"15e-1", 2},
      {".5", 0},
      {"5.", 5},
      {"-0.5", 0},
      {"-2.5", -2},
      {"0.5000001", 1},
      {"007", 7},
      {"25e-1", 2},
      {"0.00035e4", 4},
      {"12e-3", 0},
      {"0e999999999", 0},
      {"1e-999999999", 0},
      {"-7e-99999999999999999999999", 0},
      // Decided from the digits, not from the nearest double (2.5 and 3.5 there).
      {"2.5000000000000001", 3},
      {"3.4999999999999999", 3},
      {"0.00000000000000000005e22", 500},
  };
  for (const IntCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ToInt32(c.text), c.value);
    EXPECT_TRUE(NumericValue(c.text).has_value());
  }
}

TEST(NumericPiece, RefusedForms) {
  // clang-format off
  const std::string_view cases[] = {
      "", "   ", "\t", ".", "+", "-", "e5", ".e1", "1e", "1e+", "1E-", "--1", "+-1", "- 1", "1 0",
      "1 000", "1,5", "1.2.3", "0x10", "$5", "5$", "1e5.5", "1e1e1", "inf", "nan", "1f", "x",
      "1\n", "\v1", "1..", "..1", "1e 5", "1\0"sv, "\x31\xef\xbc\x90"};
  // clang-format on
  for (std::string_view text : cases) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(NumericValue(text).has_value());
    EXPECT_FALSE(ToInt16(text).has_value());
    EXPECT_FALSE(ToInt32(text).has_value());
  }
}

TEST(NumericPiece, RangeLimits) {
  const IntCase int16Cases[] = {
      {"32767", 32767},          {"32767.4", 32767},
      {"32767.5", std::nullopt}, {"-32768", -32768},
      {"-32768.5", -32768},      {"-32767.5", -32768},
      {"3.2767e4", 32767},       {"32767.49999999999999999999", 32767},
  };
  for (const IntCase& c : int16Cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ToInt16(c.text), c.value);
  }
  const IntCase int32Cases[] = {
      {"2147483647", 2147483647},
      {"2147483647.5", std::nullopt},
      {"-2147483648.5", -2147483647 - 1},
      {"-2147483649", std::nullopt},
      {"2147483646.5", 2147483646},
      {"1e9", 1000000000},
      {"1e10", std::nullopt},
      {"1e999999999", std::nullopt},
      {"-1e99999999999999999999", std::nullopt},
  };
  for (const IntCase& c : int32Cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ToInt32(c.text), c.value);
  }
}

// At these magnitudes every text below is exact or far from a half as a
// double, so the C library's round-to-nearest-even is an independent oracle.
TEST(NumericPiece, AgreesWithNearbyIntAroundTheInt16Range) {
  for (int n = -32770; n <= 32770; ++n) {
    for (const char* fraction : {"", ".5", ".49", ".51", "e0", "0e-1"}) {
      const std::string text = std::to_string(n) + fraction;
      const double rounded = std::nearbyint(std::stod(text));
      const bool inRange = rounded >= -32768 && rounded <= 32767;
      const auto value = ToInt16(text);
      ASSERT_EQ(value.has_value(), inRange) << text;
      if (inRange) {
        ASSERT_EQ(*value, rounded) << text;
      }
    }
  }
}

TEST(NumericPiece, OutOfRangeValuesStayNumeric) {
  EXPECT_EQ(NumericValue("1e999999999"), HUGE_VAL);
  EXPECT_EQ(NumericValue("-1e999999999"), -HUGE_VAL);
  EXPECT_EQ(NumericValue("1e-999999999"), 0.0);
  EXPECT_EQ(NumericValue(" +1.25E1 "), 12.5);
}

TEST(NumericPiece, VeryLongDigitStrings) {
  const std::string zeros = Repeat("0", 1'000'000);
  const IntCase cases[] = {
      {zeros + "1", 1},
      {"1" + zeros, std::nullopt},
      {"0." + zeros + "1", 0},
      {"0.5" + zeros, 0},
      {"0.5" + zeros + "1", 1},
      {"1" + zeros + "e-1000000", 1},
      {"." + zeros + "25e1000001", 2},
  };
  for (const IntCase& c : cases) {
    SCOPED_TRACE(c.text.size());
    EXPECT_EQ(ToInt32(c.text), c.value);
    EXPECT_TRUE(NumericValue(c.text).has_value());
  }
}

struct ListCase {
  std::string text;
  std::optional<std::vector<std::int16_t>> values;
};

TEST(List, SplitsAtEveryComma) {
  const ListCase cases[] = {
      {"1, 2, 3", std::vector<std::int16_t>{1, 2, 3}},
      {"5,3,8", std::vector<std::int16_t>{5, 3, 8}},
      {"42", std::vector<std::int16_t>{42}},
      {" -2.5 ,\t3.5", std::vector<std::int16_t>{-2, 4}},
      {"4,x,6", std::nullopt},
      {"7,", std::nullopt},
      {",7", std::nullopt},
      {"1,,2", std::nullopt},
      {"1, ,2", std::nullopt},
      {"", std::nullopt},
      {"1,32768", std::nullopt},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseList(c.text), c.values);
  }
}

TEST(List, PieceCountLimit) {
  std::string full = "1";
  full += Repeat(",-32768", MaxListPieces - 1);
  const auto start = std::chrono::steady_clock::now();
  const auto values = ParseList(full);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(values.has_value());
  ASSERT_EQ(values->size(), MaxListPieces);
  EXPECT_EQ(values->front(), 1);
  EXPECT_EQ(values->back(), -32768);
  EXPECT_LT(elapsed, std::chrono::seconds(1));  // Generous: a few ms expected.

  EXPECT_FALSE(ParseList(full + ",5").has_value());
  EXPECT_FALSE(ParseList(Repeat(",", MaxListPieces)).has_value());
}

}  // namespace
