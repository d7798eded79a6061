// --trace --states: the node table before each value, rotation, fix-up,
// removal and done, held against tables that separate runs of the engine
// build, and against the RR rotation a student meets first.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "TraceJson.h"
#include "TraceMode.h"
#include "TreeCore.h"

namespace {

std::vector<std::string> Lines(const std::string& input, bool states) {
  std::istringstream in(input);
  std::ostringstream out, err;
  TreeTrace::RunTraceMode(in, out, err, states);
  std::vector<std::string> lines;
  std::istringstream split(out.str());
  for (std::string line; std::getline(split, line);) lines.push_back(line);
  return lines;
}

bool IsState(const std::string& line) {
  return line.rfind("{\"event\":\"state\"", 0) == 0;
}

std::string List(const std::vector<std::int16_t>& values) {
  std::string s;
  for (std::int16_t v : values) s.append(s.empty() ? "" : ",").append(std::to_string(v));
  return s;
}

// The table after `get` then `erase` (stopping at a missing value), built
// without an observer.
TreeCore::TreeRec Built(const std::vector<std::int16_t>& get,
                        const std::vector<std::int16_t>& erase) {
  TreeCore::TreeRec tree;
  TreeCore::ResetTree(tree, false);
  for (std::int16_t v : get) TreeCore::InsertValue(tree, v);
  for (std::int16_t v : erase) {
    const std::int32_t i = tree.Exists ? TreeCore::FindValue(tree, v) : -1;
    if (i < 0) break;
    TreeCore::DeleteNode(tree, i);
  }
  return tree;
}

TEST(TraceStates, StatesAddLinesAndChangeNoneOfTheOthers) {
  std::mt19937 random(11);
  for (int round = 0; round < 30; ++round) {
    std::vector<std::int16_t> get, erase;
    const int n = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < n; ++i) get.push_back(static_cast<std::int16_t>(random() % 30));
    for (int i = 0; i < n / 2; ++i) erase.push_back(get[random() % get.size()]);
    if (round % 3 == 0) erase.push_back(999);  // a stopped Erase
    const std::string input = "get " + List(get) + "\nerase " + List(erase) + "\nget 1,x\n";
    const std::vector<std::string> plain = Lines(input, false), states = Lines(input, true);
    std::vector<std::string> others;
    for (const auto& line : states)
      if (!IsState(line)) others.push_back(line);
    ASSERT_EQ(others, plain) << input;

    // Before each insert's value and each erase, the table a run of the
    // values before it leaves; before each done, the command's final table.
    std::size_t inserted = 0, erased = 0, done = 0;
    for (std::size_t i = 0; i + 1 < states.size(); ++i) {
      if (!IsState(states[i])) continue;
      const std::string& next = states[i + 1];
      std::string expected;
      if (next.find("\"insert\"") != std::string::npos && done == 0) {
        expected = TreeTrace::StateLine(
            Built({get.begin(), get.begin() + static_cast<long>(inserted++)}, {}));
      } else if (next.find("\"erase\"") != std::string::npos) {
        expected = TreeTrace::StateLine(
            Built(get, {erase.begin(), erase.begin() + static_cast<long>(erased++)}));
      } else if (next.find("\"done\"") != std::string::npos && done++ < 2) {
        expected = TreeTrace::StateLine(done == 1 ? Built(get, {}) : Built(get, erase));
      } else {
        continue;
      }
      EXPECT_EQ(states[i], expected) << "line " << i << " of round " << round;
    }
    EXPECT_EQ(inserted, get.size());
  }
}

// [Data,Parent,LeftChild,RightChild,...] of each slot in a state line.
std::vector<std::vector<long>> Slots(const std::string& line) {
  std::vector<std::vector<long>> slots;
  std::size_t at = line.find("\"nodes\":[") + 8;  // the list's own bracket
  while ((at = line.find('[', at + 1)) != std::string::npos) {
    std::vector<long> fields;
    std::istringstream row(line.substr(at + 1, line.find(']', at) - at - 1));
    for (std::string field; std::getline(row, field, ',');)
      fields.push_back(field.front() == '"' ? 0 : std::stol(field));
    slots.push_back(fields);
  }
  return slots;
}

long ValueOf(const std::vector<std::vector<long>>& slots, long slot) {
  return slot < 0 ? -1 : slots[static_cast<std::size_t>(slot)][0];
}

TEST(TraceStates, TheRotationUnderThirteenSeenBeforeAndAfter) {
  const std::vector<std::string> lines = Lines("get 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15\n", true);
  std::size_t value13 = 0;
  for (std::size_t i = 0; i < lines.size() && value13 == 0; ++i)
    if (lines[i].find("\"insert\",\"value\":13,") != std::string::npos) value13 = i;
  ASSERT_GT(value13, 0u);
  std::size_t rotate = value13;
  while (++rotate < lines.size() && lines[rotate].find("\"kind\":\"RR\"") == std::string::npos) {
  }
  ASSERT_LT(rotate, lines.size());
  const auto before = Slots(lines[rotate - 1]);
  long three = -1, four = -1;
  for (std::size_t s = 0; s < before.size(); ++s) {
    if (before[s][0] == 3) three = static_cast<long>(s);
    if (before[s][0] == 4) four = static_cast<long>(s);
  }
  ASSERT_EQ(lines[rotate].find("\"node\":" + std::to_string(three) + ","),
            lines[rotate].find("\"node\":"));
  EXPECT_EQ(ValueOf(before, before[static_cast<std::size_t>(three)][3]), 4);
  EXPECT_EQ(ValueOf(before, before[static_cast<std::size_t>(four)][3]), 5);
  // The next state line shows the rotation done.
  std::size_t after = rotate + 1;
  while (after < lines.size() && !IsState(lines[after])) ++after;
  ASSERT_LT(after, lines.size());
  const auto turned = Slots(lines[after]);
  EXPECT_EQ(ValueOf(turned, turned[static_cast<std::size_t>(four)][2]), 3);
  EXPECT_EQ(ValueOf(turned, turned[static_cast<std::size_t>(four)][3]), 5);
}

}  // namespace
