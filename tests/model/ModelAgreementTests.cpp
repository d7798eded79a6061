// `--trace --states` and `--compare` on random get/erase streams, line for line against
// SchemeModel and AvlModel. TREETEST_MODEL_SEED picks other streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>
#include <sstream>

#include "AvlModel.h"
#include "Commands.h"
#include "CompareMode.h"
#include "SchemeModel.h"
#include "TraceMode.h"

namespace {

using Values = std::vector<std::int16_t>;
using Random = std::mt19937;
constexpr std::string_view kKinds = "RR RL LL LR";  // in the modes' order
struct Command {
  bool get;
  std::string text;
};

std::string List(const Values& values) {
  std::string s;
  for (const std::int16_t v : values) s.append(s.empty() ? "" : ",").append(std::to_string(v));
  return s;
}

// The Get Tree lists a student tries: random (-999..999), ascending,
// descending, many repeats and zig-zag, n values each.
Values GetList(Random& r, unsigned shape, int n) {
  Values list;
  for (int i = 0; i < n; ++i) {
    const int value[] = {static_cast<int>(r() % 1999) - 999, i + 1, n - i,
                         static_cast<int>(r() % 6), i % 2 ? n - i / 2 : 1 + i / 2};
    list.push_back(static_cast<std::int16_t>(value[shape]));
  }
  return list;
}

// An Erase of some values the tree holds, maybe with a missing one, or of all
// of them and one more; `held` loses what it removes.
Command EraseOf(Random& r, Values& held) {
  Values list = held;
  std::shuffle(list.begin(), list.end(), r);
  if (r() % 4 == 0) {
    list.push_back(1);  // on an emptied tree
  } else {
    list.resize(list.empty() ? 0 : r() % list.size() + 1);
    if (r() % 3 == 0) list.insert(list.begin() + r() % (list.size() + 1), 5000);
  }
  for (const std::int16_t v : list) {
    const auto at = std::find(held.begin(), held.end(), v);
    if (at == held.end()) break;
    held.erase(at);
  }
  return {false, List(list)};
}

// One to four commands, an accepted list of up to 200 values now and then.
std::vector<Command> Stream(Random& r) {
  const std::vector<Command> refused = {{true, "5,x"}, {true, ""}, {false, "40000"}};
  std::vector<Command> stream;
  Values held;
  for (int c = 1 + r() % 4; c > 0; --c) {
    const auto pick = r() % 8;
    if (pick == 0) {
      stream.push_back(refused[r() % refused.size()]);
    } else if (pick < 4) {
      stream.push_back(EraseOf(r, held));
    } else {
      held = GetList(r, r() % 5, 1 + static_cast<int>(r() % (r() % 16 ? 40 : 200)));
      stream.push_back({true, List(held)});
    }
  }
  return stream;
}

// One side of a --compare line; `fixUps` is the scheme's only.
std::string Side(std::size_t nodes, int levels, const std::array<int, 4>& rotations,
                 const std::string& fixUps, const Values& preorder) {
  std::string s = "{\"nodes\":" + std::to_string(nodes) + ",\"levels\":" + std::to_string(levels);
  for (std::size_t k = 0; k < 4; ++k)
    s += (k ? ",\"" : ",\"rotations\":{\"") + std::string(kKinds.substr(3 * k, 2)) +
         "\":" + std::to_string(rotations[k]);
  return s + "}" + fixUps + ",\"preorder\":[" + List(preorder) + "]}";
}

// Both modes on one stream against the models; false after the first mismatch.
bool Agrees(const std::vector<Command>& stream, const std::string& where) {
  std::string input;
  for (const Command& c : stream) input += (c.get ? "get " : "erase ") + c.text + "\n";
  SchemeModel::Model model;
  AvlModel::Model avl;
  std::vector<std::string> compare;
  for (const Command& c : stream) {
    const auto kind = c.get ? TreeCommands::CommandKind::Get : TreeCommands::CommandKind::Erase;
    const auto list = TreeCommands::CheckList(kind, c.text);
    model.Run(c.get, list.Values, list.Refusal);
    std::string line = std::string("{\"command\":\"") + (c.get ? "get" : "erase") + '"';
    avl.rotations.clear();
    if (list.Refusal.empty()) {
      if (c.get) avl.root.reset();
      for (const std::int16_t v : list.Values) {
        if (c.get) avl.Insert(avl.root, v);
        if (!c.get && !avl.Erase(avl.root, v)) break;
      }
      std::array<int, 4> avlRotations{};
      std::istringstream words(avl.rotations);
      for (std::string word; words >> word;) ++avlRotations[kKinds.find(word) / 3];
      const auto& tree = model.Tree();
      line += ",\"scheme\":" +
              Side(tree.Exists ? static_cast<std::size_t>(tree.Count) : 0, model.Levels(),
                   model.Rotations(), ",\"fixups\":" + std::to_string(model.FixUps()),
                   model.Preorder()) +
              ",\"avl\":" +
              Side(avl.Preorder().size(), AvlModel::Model::H(avl.root), avlRotations, "",
                   avl.Preorder());
    }
    if (!model.Message().empty()) line += ",\"message\":\"" + model.Message() + '"';
    compare.push_back(line + "}");
  }
  for (const bool trace : {true, false}) {
    std::istringstream in(input);
    std::ostringstream out, err;
    EXPECT_EQ(trace ? TreeTrace::RunTraceMode(in, out, err, true)
                    : TreeTrace::RunCompareMode(in, out, err),
              0);
    std::vector<std::string> got;
    std::istringstream split(out.str());
    for (std::string line; std::getline(split, line);) got.push_back(line);
    std::vector<std::string> want = trace ? model.Lines() : compare;
    got.resize(std::max(got.size(), want.size()), "(none)");
    want.resize(got.size(), "(none)");
    const auto [g, w] = std::mismatch(got.begin(), got.end(), want.begin());
    if (g == got.end()) continue;
    ADD_FAILURE() << (trace ? "--trace --states" : "--compare") << ", " << where << ", line "
                  << g - got.begin() + 1 << "\nstream:\n"
                  << input << "program: " << *g << "\nmodel:   " << *w;
    return false;
  }
  return true;
}

TEST(ModelAgreement, RandomStreamsThroughTraceAndCompare) {
  const char* env = std::getenv("TREETEST_MODEL_SEED");
  const std::uint32_t seed = env ? static_cast<std::uint32_t>(std::strtoul(env, nullptr, 10)) : 28;
  std::cout << "seed " << seed << " (TREETEST_MODEL_SEED)\n";
  Random r(seed);
  for (int i = 0; i < 300; ++i)
    ASSERT_TRUE(Agrees(Stream(r), "stream " + std::to_string(i))) << "seed " << seed;
}

// Sorted lists of 200 values (the streams' largest; long chains of fix-ups),
// an Erase of an empty tree, and removals down to nothing.
TEST(ModelAgreement, SortedAndEmptyingStreams) {
  Random r;
  const Values up = GetList(r, 1, 200), down = GetList(r, 2, 200);
  EXPECT_TRUE(Agrees({{false, "1"}, {true, List(up)}, {false, List(down)}, {false, "3"}}, "up"));
  EXPECT_TRUE(Agrees({{true, List(down)}, {false, List(up)}, {true, "7,7,7"}}, "down"));
}

}  // namespace
