// `--compare` against independent accounts of both trees: the scheme's counts
// from `--trace`'s own event lines, its shape from the engine driven directly,
// and the AVL side from the tests' pointer model.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "AvlModel.h"
#include "Compare.h"
#include "CompareMode.h"
#include "Messages.h"
#include "TraceMode.h"
#include "TraceTestSupport.h"

namespace {

std::vector<std::string> RunMode(int (*mode)(std::istream&, std::ostream&, std::ostream&),
                                 const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out, err;
  EXPECT_EQ(mode(in, out, err), 0) << err.str();
  std::vector<std::string> lines;
  std::istringstream split(out.str());
  for (std::string line; std::getline(split, line);) lines.push_back(line);
  return lines;
}

std::string Count(const std::string& text, const char* key) {
  std::string counts;
  for (const char* kind : {"RR", "RL", "LL", "LR"}) {
    std::size_t n = 0;
    for (std::size_t at = text.find(kind); at != std::string::npos; at = text.find(kind, at + 1))
      ++n;
    counts += std::string(counts.empty() ? "" : ",") + '"' + kind + "\":" + std::to_string(n);
  }
  return std::string("\"") + key + "\":{" + counts + "}";
}

std::string Pre(const std::vector<std::int16_t>& v) {
  return "\"preorder\":[" + TraceTest::Join(v) + "]";
}

void SchemePre(const TreeCore::TreeRec& t, std::int32_t n, std::vector<std::int16_t>& out) {
  if (n == -1) return;
  out.push_back(t.Nodes[static_cast<std::size_t>(n)].Data);
  SchemePre(t, t.Nodes[static_cast<std::size_t>(n)].LeftChild, out);
  SchemePre(t, t.Nodes[static_cast<std::size_t>(n)].RightChild, out);
}

TEST(CompareMode, AgreesWithTheTraceTheEngineAndTheAvlModelOnRandomStreams) {
  std::mt19937 rng(2029);
  for (int stream = 0; stream < 40; ++stream) {
    std::string input;
    std::vector<std::string> want;
    std::vector<std::int16_t> held;  // the values both trees hold
    TreeCore::TreeRec scheme;
    AvlModel::Model avl;
    for (int command = 0; command < 8; ++command) {
      const bool get = command == 0 || rng() % 3 == 0;
      const char* word = get ? "get" : "erase";
      if (rng() % 10 == 0) {  // refused: neither tree changes
        const bool bad = rng() % 2;
        input += std::string(word) + (bad ? " 4,x\n" : " \n");
        want.push_back(std::string("{\"command\":\"") + word + "\",\"message\":\"" +
                       std::string(bad   ? TreeCommands::Messages::NumbersOnly
                                   : get ? TreeCommands::Messages::GetTreeEmpty
                                         : TreeCommands::Messages::EraseEmpty) +
                       "\"}");
        continue;
      }
      std::vector<std::int16_t> list(1 + rng() % 40);
      for (auto& v : list) v = static_cast<std::int16_t>(rng() % 30);  // repeats too
      if (!get) {
        list.assign(held.begin(), held.end());
        std::shuffle(list.begin(), list.end(), rng);
        list.resize(std::min<std::size_t>(list.size(), 1 + rng() % 12));
        if (list.empty() || rng() % 3 == 0)
          list.insert(list.begin() + rng() % (list.size() + 1), 99);
      }
      input += std::string(word) + " " + TraceTest::Join(list) + "\n";
      if (get) {
        TreeCore::ResetTree(scheme, false);
        avl.root.reset();
        held.clear();
      }
      avl.rotations.clear();
      std::string message;
      for (const auto v : list) {
        if (get) {
          TreeCore::InsertValue(scheme, v);
          avl.Insert(avl.root, v);
          held.push_back(v);
          continue;
        }
        if (!scheme.Exists || TreeCore::FindValue(scheme, v) == -1) {
          message = ",\"message\":\"" +
                    std::string(!scheme.Exists ? TreeCommands::Messages::TreeEmpty
                                               : TreeCommands::Messages::NotInTree) +
                    "\"";
          break;
        }
        TreeCore::DeleteNode(scheme, TreeCore::FindValue(scheme, v));
        ASSERT_TRUE(avl.Erase(avl.root, v));
        held.erase(std::find(held.begin(), held.end(), v));
      }
      int levels = 0;
      for (std::int32_t i = 0; scheme.Exists && i < scheme.Count; ++i)
        levels = std::max(levels, scheme.Nodes[static_cast<std::size_t>(i)].Level);
      std::vector<std::int16_t> pre;
      if (scheme.Exists) SchemePre(scheme, scheme.Root, pre);
      const auto avlPre = avl.Preorder();
      const int avlLevels = AvlModel::Model::H(avl.root);
      // The scheme's counts, nodes and fix-ups come from the trace's own lines.
      const auto trace =
          RunMode([](std::istream& in, std::ostream& out,
                     std::ostream& err) { return TreeTrace::RunTraceMode(in, out, err); },
                  input);
      std::string events;
      std::size_t fixups = 0, at = trace.size() - 1;
      while (at > 0 && trace[at - 1].find("\"done\"") == std::string::npos) --at;
      for (std::size_t i = at; i + 1 < trace.size(); ++i) {
        if (trace[i].find("\"rotate\"") != std::string::npos)
          events += trace[i].substr(trace[i].find("\"kind\":\"") + 8, 2) + ' ';
        fixups += trace[i].find("\"fixup\"") != std::string::npos;
      }
      const std::size_t from = trace.back().find("\"nodes\":") + 8;
      const std::string nodes = trace.back().substr(from, trace.back().find(',', from) - from);
      want.push_back(std::string("{\"command\":\"") + word + "\",\"scheme\":{\"nodes\":" + nodes +
                     ",\"levels\":" + std::to_string(levels) + "," + Count(events, "rotations") +
                     ",\"fixups\":" + std::to_string(fixups) + "," + Pre(pre) +
                     "},\"avl\":{\"nodes\":" + std::to_string(avlPre.size()) +
                     ",\"levels\":" + std::to_string(avlLevels) + "," +
                     Count(avl.rotations, "rotations") + "," + Pre(avlPre) + "}" + message + "}");
    }
    ASSERT_EQ(RunMode(TreeTrace::RunCompareMode, input), want) << input;
  }
}

// Steps taken from kept trees, or on from the last ones, give the trees a
// whole replay gives, in any order.
TEST(CompareSteps, AnyStepFromKeptTreesIsTheWholeReplays) {
  auto erase = TraceTest::Shuffled(60, 4);
  erase.push_back(99);
  const std::vector<TreeTrace::HistoryEntry> history = {
      {TreeCommands::CommandKind::Get, TraceTest::Shuffled(60, 3)},
      {TreeCommands::CommandKind::Erase, erase}};
  TreeTrace::CompareSteps kept(history, 7), whole(history, 0);
  ASSERT_EQ(kept.Steps().size(), 60u);  // and stops at 99
  std::mt19937 rng(5);
  for (int round = 0; round < 40; ++round) {
    const auto i = static_cast<std::ptrdiff_t>(rng() % 61) - 1;
    TreeCore::TreeRec a, b;
    Avl::Tree x, y;
    kept.TreesAfter(i, a, x);
    whole.TreesAfter(i, b, y);
    ASSERT_TRUE(TraceTest::SameTree(a, b)) << i;
    ASSERT_EQ(x.Preorder(), y.Preorder()) << i;
    ASSERT_EQ(x.Size(), static_cast<std::size_t>(59 - i));
  }
}

}  // namespace
