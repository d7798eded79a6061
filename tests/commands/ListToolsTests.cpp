// Pasted lists, the refused piece of a list, and the ready-made lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <variant>

#include "ListParse.h"
#include "PasteText.h"
#include "ReadyLists.h"
#include "RefusedPiece.h"

namespace {

using namespace TreeCommands;

TEST(ForgivingPasteTest, Table) {
  struct Case {
    const char* Name;
    std::string Pasted, Result;
  } const cases[] = {
      {"column with LF", "5\n3\n8", "5,3,8"},
      {"column with CR LF", "5\r\n3\r\n8\r\n", "5,3,8"},
      {"old Mac CR", "5\r3\r8\r", "5,3,8"},
      {"trailing breaks dropped", "5,3,8\n\n", "5,3,8"},
      {"leading breaks dropped", "\n\n5\n3", "5,3"},
      {"spreadsheet row with tabs", "5\t3\t8", "5,3,8"},
      {"empty cells collapse", "5\t\t3\n\n8", "5,3,8"},
      {"blanks around breaks go", "5 \n 3 \t 8", "5,3,8"},
      {"break after a comma adds none", "5,\n3,\r\n8", "5,3,8"},
      {"break before a comma adds none", "5\n,3", "5,3"},
      {"text without breaks untouched", " 1, 2 ,x,,", " 1, 2 ,x,,"},
      {"blanks inside a line kept", "1, 2\n3", "1, 2,3"},
      {"only breaks", "\r\n\t\n", ""},
      {"non-numbers pass through", "a\nb", "a,b"},
  };
  for (const Case& c : cases) EXPECT_EQ(ForgivingPaste(c.Pasted), c.Result) << c.Name;
}

TEST(ForgivingPasteTest, PastedColumnsParseWhileTypedBreaksStillDoNot) {
  const std::string column = "12\r\n-7\r\n300\r\n";
  EXPECT_FALSE(ParseList(column).has_value());
  const auto parsed = ParseList(ForgivingPaste(column));
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(*parsed, (std::vector<std::int16_t>{12, -7, 300}));
}

TEST(RefusedPieceTest, Table) {
  struct Case {
    std::string List;
    Span Expected;
  } const cases[] = {
      {"4,x,6", {2, 1}}, {"4, x ,6", {3, 1}},  {"7,", {2, 0}},  {"1,,2", {2, 0}},
      {"32768", {0, 5}}, {"1, 2, 3y", {6, 2}}, {"abc", {0, 3}}, {" ", {0, 0}},
      {"1,2", {0, 3}},   {"1\n2", {0, 3}},
  };
  for (const Case& c : cases) EXPECT_EQ(RefusedPiece(c.List), c.Expected) << c.List;
}

TEST(RefusedPieceTest, TooManyPiecesSelectsWhatLiesBeyondTheLimit) {
  std::string list;
  for (std::size_t i = 0; i < MaxListPieces + 2; ++i) list += i == 0 ? "1" : ",1";
  const std::size_t start = 2 * MaxListPieces;  // just after the comma ending piece 32767
  EXPECT_EQ(RefusedPiece(list), (Span{start, list.size() - start}));
  EXPECT_EQ(list.substr(start), "1,1");
}

TEST(RefusedPieceTest, TheRuleBrokenIsNamedWithThePiece) {
  struct Case {
    std::string Text;
    bool List;
    std::optional<RefusalRule> Rule;
    std::string Explained;
  } const cases[] = {
      {"1,,2", true, RefusalRule::NotANumber, "Piece 2 (empty) is not a number."},
      {"4, x ,6", true, RefusalRule::NotANumber, "Piece 2 (\"x\") is not a number."},
      {"99999", true, RefusalRule::OutsideInt16, "\"99999\" is outside \u221232768..32767."},
      {"5,32767.5", true, RefusalRule::OutsideInt16,
       "Piece 2 (\"32767.5\") is outside \u221232768..32767."},
      {"1,-32768,32767", true, std::nullopt, ""},
      {"99999", false, std::nullopt, ""},
      {" 1e10 ", false, RefusalRule::OutsideInt32,
       "\"1e10\" is outside \u22122147483648..2147483647."},
      {"", false, RefusalRule::NotANumber, "The text is not a number."},
      {"1," + std::string(30, '7') + "\u00e9", true, RefusalRule::NotANumber,
       "Piece 2 (\"" + std::string(24, '7') + "\u2026\") is not a number."},
  };
  for (const Case& c : cases) {
    const auto refusal = c.List ? ListRefusal(c.Text) : NumberRefusal(c.Text);
    ASSERT_EQ(refusal.has_value(), c.Rule.has_value()) << c.Text;
    if (!refusal) continue;
    EXPECT_EQ(refusal->Rule, *c.Rule) << c.Text;
    EXPECT_EQ(ExplainRefusal(c.Text, *refusal), c.Explained);
  }
  std::string many = "1";
  for (int i = 0; i < 39999; ++i) many += ",2";
  const auto refusal = ListRefusal(many);
  ASSERT_TRUE(refusal.has_value());
  EXPECT_EQ(refusal->Rule, RefusalRule::TooManyValues);
  EXPECT_EQ(ExplainRefusal(many, *refusal), "The list has 40,000 values: more than 32,767 values.");
}

TEST(ReadyListTest, FixedShapes) {
  using V = std::vector<std::int16_t>;
  EXPECT_EQ(MakeReadyList(ReadyList::Ascending, 5), (V{1, 2, 3, 4, 5}));
  EXPECT_EQ(MakeReadyList(ReadyList::Descending, 5), (V{5, 4, 3, 2, 1}));
  EXPECT_EQ(MakeReadyList(ReadyList::ZigZag, 6), (V{1, 6, 2, 5, 3, 4}));
  EXPECT_EQ(MakeReadyList(ReadyList::ZigZag, 5), (V{1, 5, 2, 4, 3}));
  EXPECT_EQ(MakeReadyList(ReadyList::ZigZag, 1), (V{1}));
  EXPECT_EQ(MakeReadyList(ReadyList::ManyEqual, 7), (V{2, 1, 3, 2, 1, 3, 2}));
  const V longest = MakeReadyList(ReadyList::Descending, MaxReadyCount);
  ASSERT_EQ(longest.size(), 32767u);
  EXPECT_EQ(longest.front(), 32767);
  EXPECT_EQ(longest.back(), 1);
}

TEST(ReadyListTest, RandomIsDistinctInRangeAndReproducibleFromItsSeed) {
  const auto a = MakeReadyList(ReadyList::Random, 15, 12345);
  // Fixed by the seed on every machine: mt19937 is fully specified and the
  // draws avoid the library's distributions.
  EXPECT_EQ(a, MakeReadyList(ReadyList::Random, 15, 12345));
  EXPECT_EQ(ListText(a),
            "-975, -605, 981, -427, 49, 577, 541, 246, -351, -40, -23, -251, 129, 993, 572");
  EXPECT_NE(a, MakeReadyList(ReadyList::Random, 15, 12346));
  for (const int n : {1, 15, 1000, MaxRandomCount}) {
    const auto v = MakeReadyList(ReadyList::Random, n, 99);
    ASSERT_EQ(v.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(std::set<std::int16_t>(v.begin(), v.end()).size(), v.size()) << n;
    EXPECT_GE(*std::min_element(v.begin(), v.end()), RandomLow);
    EXPECT_LE(*std::max_element(v.begin(), v.end()), RandomHigh);
  }
}

TEST(ReadyListTest, CountsOutsideTheRangeAreRefused) {
  struct Case {
    const char* Text;
    ReadyList Kind;
    int Count;  // 0: refused
  } const cases[] = {
      {"15", ReadyList::Ascending, 15},  {" 32767 ", ReadyList::Ascending, 32767},
      {"0", ReadyList::Ascending, 0},    {"32768", ReadyList::ZigZag, 0},
      {"-3", ReadyList::Descending, 0},  {"", ReadyList::ManyEqual, 0},
      {"1.5", ReadyList::Ascending, 0},  {"99999999999999999999", ReadyList::Ascending, 0},
      {"1999", ReadyList::Random, 1999}, {"2000", ReadyList::Random, 0},
      {"+7", ReadyList::Random, 7},
  };
  for (const Case& c : cases) {
    const auto read = ReadCount(c.Text, c.Kind);
    if (c.Count == 0) {
      ASSERT_TRUE(std::holds_alternative<std::string>(read)) << c.Text;
      EXPECT_EQ(std::get<std::string>(read).rfind("Please enter a whole number from 1 to ", 0), 0u);
    } else {
      ASSERT_TRUE(std::holds_alternative<int>(read)) << c.Text;
      EXPECT_EQ(std::get<int>(read), c.Count);
    }
  }
  EXPECT_EQ(ReadSeed("4294967295"), 4294967295u);
  EXPECT_FALSE(ReadSeed("4294967296").has_value());
  EXPECT_FALSE(ReadSeed("seed").has_value());
}

TEST(ReadyListTest, EveryListIsAcceptedByGetTree) {
  for (const ReadyList kind : {ReadyList::Random, ReadyList::Ascending, ReadyList::Descending,
                               ReadyList::ZigZag, ReadyList::ManyEqual}) {
    const int n = kind == ReadyList::Random ? MaxRandomCount : MaxReadyCount;
    const auto values = MakeReadyList(kind, n, 3);
    const auto parsed = ParseList(ListText(values));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(*parsed, values);
  }
}

}  // namespace
