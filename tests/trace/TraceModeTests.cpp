// The command-line trace: JSON lines for get and erase, the window's refusals.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "TraceMode.h"

namespace {

struct Output {
  std::vector<std::string> lines;
  std::string err;
  int status = 0;
};

Output RunTrace(const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out, err;
  Output o;
  o.status = TreeTrace::RunTraceMode(in, out, err);
  std::istringstream split(out.str());
  for (std::string line; std::getline(split, line);) o.lines.push_back(line);
  o.err = err.str();
  return o;
}

// The balancing events (rotate and fix-up lines) of the output.
std::vector<std::string> Balancing(const Output& o) {
  std::vector<std::string> b;
  for (const auto& l : o.lines)
    if (l.find("\"rotate\"") != std::string::npos || l.find("\"fixup\"") != std::string::npos)
      b.push_back(l);
  return b;
}

TEST(TraceMode, ChainRotationsNameTheirTopNode) {
  struct Case {
    const char* list;
    const char* lastInsert;
    const char* rotate;
  } const cases[] = {
      {"50,25,75,10,90,95", R"({"event":"insert","value":95,"node":5})",
       R"({"event":"rotate","kind":"RR","node":2,"value":75})"},
      {"50,25,75,10,90,85", R"({"event":"insert","value":85,"node":5})",
       R"({"event":"rotate","kind":"RL","node":2,"value":75})"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    const Output o = RunTrace(std::string("get ") + c.list + "\n");
    ASSERT_EQ(o.lines.size(), 8u);  // six inserts, one rotation, done
    EXPECT_EQ(o.lines[0], R"({"event":"insert","value":50,"node":0})");
    EXPECT_EQ(o.lines[5], c.lastInsert);
    EXPECT_EQ(o.lines[6], c.rotate);
    EXPECT_EQ(Balancing(o), std::vector<std::string>{c.rotate});
    EXPECT_EQ(o.lines[7], R"({"event":"done","nodes":6,"height":2})");
  }
}

TEST(TraceMode, RefusalsGiveTheWindowsMessagesAndLeaveTheTree) {
  struct Case {
    const char* input;
    std::vector<std::string> tail;  // the last lines of the output
  } const cases[] = {
      {"get\n",
       {R"({"event":"message","text":"Insert integer numbers in textbox separated by commas"})",
        R"({"event":"done","nodes":0,"height":0})"}},
      {"get 5,3,8\nget 4,x,6\n",
       {R"({"event":"message","text":"Please enter numbers only!"})",
        R"({"event":"done","nodes":3,"height":1})"}},
      {"get 7,\n",
       {R"({"event":"message","text":"Please enter numbers only!"})",
        R"({"event":"done","nodes":0,"height":0})"}},
      {"erase\n",
       {R"({"event":"message","text":"Insert an integer number to erase"})",
        R"({"event":"done","nodes":0,"height":0})"}},
      {"erase 5\n",
       {R"({"event":"message","text":"The Tree is Empty"})",
        R"({"event":"done","nodes":0,"height":0})"}},
      {"get 5,3,8\nerase 3,99,8\n",
       {R"({"event":"erase","value":3,"node":1})",
        R"({"event":"message","text":"The Element does not exist in the tree"})",
        R"({"event":"done","nodes":2,"height":1})"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    const Output o = RunTrace(c.input);
    ASSERT_GE(o.lines.size(), c.tail.size());
    const std::vector<std::string> tail(o.lines.end() - static_cast<long>(c.tail.size()),
                                        o.lines.end());
    EXPECT_EQ(tail, c.tail);
    EXPECT_EQ(o.status, 0);
  }
}

TEST(TraceMode, ListsAreTypedAsInTheTextBoxes) {
  // Blanks around pieces, halves to even, CR LF line ends, blank lines skipped.
  const Output o = RunTrace("get 1, 2.5, 3.5\r\n\n");
  ASSERT_EQ(o.lines.size(), 5u);
  EXPECT_EQ(o.lines[1], R"({"event":"insert","value":2,"node":1})");
  EXPECT_EQ(o.lines[2], R"({"event":"insert","value":4,"node":2})");
  EXPECT_EQ(o.lines.back().rfind(R"({"event":"done","nodes":3,)", 0), 0u);
}

TEST(TraceMode, AnUnknownCommandIsReportedWithItsLineAndSkipped) {
  const Output o = RunTrace("get 5\n\ngrow 5\n");
  EXPECT_EQ(o.status, 2);
  EXPECT_NE(o.err.find("line 3: unknown command \"grow\""), std::string::npos) << o.err;
  ASSERT_EQ(o.lines.size(), 2u);
  EXPECT_EQ(o.lines[0], R"({"event":"insert","value":5,"node":0})");
}

TEST(TraceMode, IndentedLinesAndTabsAfterTheCommandRunAsPlainOnes) {
  const Output plain = RunTrace("get 5,3,8\nerase 3\n");
  for (const char* input : {"  get 5,3,8\nerase\t3\n", "\tget\t 5,3,8\n \terase \t3\n"}) {
    SCOPED_TRACE(input);
    const Output o = RunTrace(input);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.lines, plain.lines);
  }
  EXPECT_EQ(plain.lines.back(), R"({"event":"done","nodes":2,"height":1})");
}

}  // namespace
