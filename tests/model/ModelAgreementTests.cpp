// `--trace --states` and `--compare` on random get/erase streams, line for
// line against the tests' own models: SchemeModel for this scheme, AvlModel
// for the AVL side. TREETEST_MODEL_SEED picks other streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
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
struct Command {
  bool get;
  std::string text;
};

std::string List(const Values& values) {
  std::string s;
  for (const std::int16_t v : values) s.append(s.empty() ? "" : ",").append(std::to_string(v));
  return s;
}

// The Get Tree lists a student tries, n values each.
const std::vector<std::function<Values(Random&, int)>> kGets = {
    [](Random& r, int n) {  // random, -999..999
      Values v;
      while (n-- > 0) v.push_back(static_cast<std::int16_t>(r() % 1999) - 999);
      return v;
    },
    [](Random&, int n) {  // ascending
      Values v;
      for (int i = 1; i <= n; ++i) v.push_back(static_cast<std::int16_t>(i));
      return v;
    },
    [](Random&, int n) {  // descending
      Values v;
      for (int i = n; i >= 1; --i) v.push_back(static_cast<std::int16_t>(i));
      return v;
    },
    [](Random& r, int n) {  // many repeats
      Values v;
      while (n-- > 0) v.push_back(static_cast<std::int16_t>(r() % 6));
      return v;
    },
    [](Random&, int n) {  // zig-zag
      Values v;
      for (int lo = 1, hi = n; lo <= hi; ++lo, --hi) {
        v.push_back(static_cast<std::int16_t>(lo));
        if (lo < hi) v.push_back(static_cast<std::int16_t>(hi));
      }
      return v;
    },
};

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
      held = kGets[r() % kGets.size()](r, 1 + static_cast<int>(r() % (r() % 16 ? 40 : 200)));
      stream.push_back({true, List(held)});
    }
  }
  return stream;
}

// The AVL side of a --compare line.
std::string AvlSide(const AvlModel::Model& avl, const std::string& rotations) {
  std::string s = "{\"nodes\":" + std::to_string(avl.Preorder().size()) +
                  ",\"levels\":" + std::to_string(AvlModel::Model::H(avl.root)) +
                  ",\"rotations\":{";
  for (const char* kind : {"RR", "RL", "LL", "LR"}) {
    int n = 0;
    for (std::size_t at = 0; (at = rotations.find(kind, at)) != std::string::npos; at += 3) ++n;
    s += std::string(s.back() == '{' ? "\"" : ",\"") + kind + "\":" + std::to_string(n);
  }
  return s + "},\"preorder\":[" + List(avl.Preorder()) + "]}";
}

std::string SchemeSide(const SchemeModel::Model& m) {
  const auto& r = m.Rotations();
  return "{\"nodes\":" + std::to_string(m.Tree().Exists ? m.Tree().Count : 0) +
         ",\"levels\":" + std::to_string(m.Levels()) +
         ",\"rotations\":{\"RR\":" + std::to_string(r[0]) + ",\"RL\":" + std::to_string(r[1]) +
         ",\"LL\":" + std::to_string(r[2]) + ",\"LR\":" + std::to_string(r[3]) +
         "},\"fixups\":" + std::to_string(m.FixUps()) + ",\"preorder\":[" + List(m.Preorder()) +
         "]}";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream split(text);
  for (std::string line; std::getline(split, line);) lines.push_back(line);
  return lines;
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
      for (const std::int16_t v : list.Values)
        if (c.get)
          avl.Insert(avl.root, v);
        else if (!avl.Erase(avl.root, v))
          break;
      line += ",\"scheme\":" + SchemeSide(model) + ",\"avl\":" + AvlSide(avl, avl.rotations);
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
    const std::vector<std::string> got = Lines(out.str()), want = trace ? model.Lines() : compare;
    for (std::size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
      const std::string g = i < got.size() ? got[i] : "(none)",
                        w = i < want.size() ? want[i] : "(none)";
      if (g == w) continue;
      ADD_FAILURE() << (trace ? "--trace --states" : "--compare") << ", " << where << ", line "
                    << i + 1 << "\nstream:\n"
                    << input << "program: " << g << "\nmodel:   " << w;
      return false;
    }
  }
  return true;
}

TEST(ModelAgreement, RandomStreamsThroughTraceAndCompare) {
  const char* env = std::getenv("TREETEST_MODEL_SEED");
  const std::uint32_t seed = env ? static_cast<std::uint32_t>(std::strtoul(env, nullptr, 10)) : 28;
  std::cout << "seed " << seed << " (TREETEST_MODEL_SEED)\n";
  Random r(seed);
  for (int i = 0; i < 300; ++i)
    ASSERT_TRUE(
        Agrees(Stream(r), "seed " + std::to_string(seed) + ", stream " + std::to_string(i)));
}

// The streams every run starts with: sorted runs up to the size limit, an
// Erase of an empty tree, and removals down to nothing.
TEST(ModelAgreement, SortedAndEmptyingStreams) {
  Random r;
  const Values up = kGets[1](r, 200), down = kGets[2](r, 200);
  EXPECT_TRUE(Agrees({{false, "1"}, {true, List(up)}, {false, List(down)}, {false, "3"}}, "up"));
  EXPECT_TRUE(Agrees({{true, List(down)}, {false, List(up)}, {true, "7,7,7"}}, "down"));
}

}  // namespace
