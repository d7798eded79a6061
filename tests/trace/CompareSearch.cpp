// Searches every permutation of 1..n, n growing, for the shortest lists on
// which the scheme and a textbook AVL tree part, one kind of difference at a
// time, and prints the first list found for each with both trees' pre-order.
// A tool for docs/balancing.md, "Against textbook AVL"; not a test.
//   compare_search [LARGEST_N]   (8 by default)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "Compare.h"

namespace {

using TreeTrace::CompareResult;

std::string Join(const std::vector<std::int16_t>& v) {
  std::string s;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (i) s += ',';
    s += std::to_string(v[i]);
  }
  return s;
}

// The largest difference between a node's two sides anywhere in the scheme's tree.
int WorstSides(const TreeCore::TreeRec& t, std::int32_t n, int& worst) {
  if (n == -1) return 0;
  const auto& node = t.Nodes[static_cast<std::size_t>(n)];
  const int l = WorstSides(t, node.LeftChild, worst), r = WorstSides(t, node.RightChild, worst);
  worst = std::max(worst, std::abs(l - r));
  return 1 + std::max(l, r);
}

int LeastLevels(std::size_t n) {
  int levels = 0;
  while ((std::size_t{1} << levels) - 1 < n) ++levels;
  return levels;
}

struct Finding {
  const char* what;
  // Whether one Get Tree (and, for `erase`, one erased value) shows it.
  std::function<bool(const CompareResult&, const TreeCore::TreeRec&)> shows;
  bool erase = false;
};

std::string Describe(const std::string& list, const CompareResult& r) {
  char counts[160];
  std::snprintf(counts, sizeof counts,
                "levels %d vs %d; scheme RR %u RL %u LL %u LR %u fix-ups %u; AVL RR %u RL %u "
                "LL %u LR %u",
                r.Scheme.Levels, r.Avl.Levels, r.Scheme.Rotations[0], r.Scheme.Rotations[1],
                r.Scheme.Rotations[2], r.Scheme.Rotations[3], r.Scheme.FixUps, r.Avl.Rotations[0],
                r.Avl.Rotations[1], r.Avl.Rotations[2], r.Avl.Rotations[3]);
  return list + "\n    scheme pre-order " + Join(r.Scheme.Preorder) + "\n    AVL pre-order    " +
         Join(r.Avl.Preorder) + "\n    " + counts;
}

}  // namespace

int main(int argc, char** argv) {
  const int largest = argc > 1 ? std::atoi(argv[1]) : 8;
  const auto worst = [](const TreeCore::TreeRec& t) {
    int w = 0;
    if (t.Exists) WorstSides(t, t.Root, w);
    return w;
  };
  std::vector<Finding> findings = {
      {"same shape, reached another way (scheme fix-up where AVL rotates)",
       [](const CompareResult& r, const TreeCore::TreeRec&) {
         return r.Scheme.Preorder == r.Avl.Preorder && r.Scheme.FixUps > 0;
       }},
      {"different shapes",
       [](const CompareResult& r, const TreeCore::TreeRec&) {
         return r.Scheme.Preorder != r.Avl.Preorder;
       }},
      {"different shapes, same levels",
       [](const CompareResult& r, const TreeCore::TreeRec&) {
         return r.Scheme.Preorder != r.Avl.Preorder && r.Scheme.Levels == r.Avl.Levels;
       }},
      {"different roots",
       [](const CompareResult& r, const TreeCore::TreeRec&) {
         return r.Scheme.Preorder.front() != r.Avl.Preorder.front();
       }},
      {"scheme deeper than AVL",
       [](const CompareResult& r, const TreeCore::TreeRec&) {
         return r.Scheme.Levels > r.Avl.Levels;
       }},
      {"AVL deeper than the scheme",
       [](const CompareResult& r, const TreeCore::TreeRec&) {
         return r.Avl.Levels > r.Scheme.Levels;
       }},
      {"scheme two levels deeper than AVL",
       [](const CompareResult& r, const TreeCore::TreeRec&) {
         return r.Scheme.Levels >= r.Avl.Levels + 2;
       }},
      {"scheme above the least possible levels, AVL at it",
       [](const CompareResult& r, const TreeCore::TreeRec&) {
         const int least = LeastLevels(r.Scheme.Nodes);
         return r.Scheme.Levels > least && r.Avl.Levels == least;
       }},
      {"a scheme node whose sides differ by 2",
       [&](const CompareResult&, const TreeCore::TreeRec& t) { return worst(t) >= 2; }},
      {"a scheme node whose sides differ by 3",
       [&](const CompareResult&, const TreeCore::TreeRec& t) { return worst(t) >= 3; }},
      {"same shapes after Get Tree, different after erasing one value",
       [](const CompareResult& r, const TreeCore::TreeRec&) {
         return r.Scheme.Preorder != r.Avl.Preorder;
       },
       true},
  };

  std::vector<std::string> found(findings.size());
  for (int n = 1; n <= largest; ++n) {
    std::vector<std::int16_t> values(static_cast<std::size_t>(n));
    std::iota(values.begin(), values.end(), std::int16_t{1});
    do {
      const std::string list = Join(values);
      for (std::size_t i = 0; i < findings.size(); ++i) {
        const Finding& f = findings[i];
        if (!found[i].empty()) continue;
        TreeTrace::CompareRun run;
        const CompareResult built = run.Run(TreeCommands::CommandKind::Get, list);
        if (!f.erase) {
          if (f.shows(built, run.SchemeTree())) found[i] = Describe("get " + list, built);
          continue;
        }
        if (built.Scheme.Preorder != built.Avl.Preorder) continue;
        for (const std::int16_t v : values) {
          TreeTrace::CompareRun again;
          again.Run(TreeCommands::CommandKind::Get, list);
          const CompareResult erased =
              again.Run(TreeCommands::CommandKind::Erase, std::to_string(v));
          if (f.shows(erased, again.SchemeTree())) {
            found[i] = Describe("get " + list + " / erase " + std::to_string(v), erased);
            break;
          }
        }
      }
    } while (std::next_permutation(values.begin(), values.end()));
  }
  for (std::size_t i = 0; i < findings.size(); ++i)
    std::printf("%s:\n  %s\n", findings[i].what,
                found[i].empty() ? "(none up to this length)" : found[i].c_str());
  return 0;
}
