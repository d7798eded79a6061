#include "Compare.h"

#include <algorithm>
#include <cassert>
#include <memory>
#include <utility>

#include "Commands.h"
#include "TraceCommands.h"
#include "TreeObserver.h"

namespace TreeTrace {

int SchemeLevels(const TreeCore::TreeRec& tree) {
  int deepest = 0;
  if (!tree.Exists || tree.Count == 0) return 0;
  // Iterative: the scheme's trees can be deep.
  std::vector<std::pair<std::int32_t, int>> stack{{tree.Root, 1}};
  while (!stack.empty()) {
    const auto [n, depth] = stack.back();
    stack.pop_back();
    deepest = std::max(deepest, depth);
    const TreeCore::NodeRec& node = tree.Nodes[static_cast<std::size_t>(n)];
    if (node.RightChild != -1) stack.emplace_back(node.RightChild, depth + 1);
    if (node.LeftChild != -1) stack.emplace_back(node.LeftChild, depth + 1);
  }
  return deepest;
}

std::vector<std::int16_t> SchemePreorder(const TreeCore::TreeRec& tree) {
  std::vector<std::int16_t> out;
  if (!tree.Exists || tree.Count == 0) return out;
  out.reserve(static_cast<std::size_t>(tree.Count));
  std::vector<std::int32_t> stack{tree.Root};
  while (!stack.empty()) {
    const TreeCore::NodeRec& node = tree.Nodes[static_cast<std::size_t>(stack.back())];
    stack.pop_back();
    out.push_back(node.Data);
    if (node.RightChild != -1) stack.push_back(node.RightChild);
    if (node.LeftChild != -1) stack.push_back(node.LeftChild);
  }
  return out;
}

std::vector<Avl::Tree::Placed> SchemeInOrder(const TreeCore::TreeRec& tree) {
  std::vector<Avl::Tree::Placed> out;
  if (!tree.Exists || tree.Count == 0) return out;
  std::vector<std::pair<std::int32_t, int>> stack;
  std::int32_t n = tree.Root;
  int depth = 1;
  while (n != -1 || !stack.empty()) {
    while (n != -1) {
      stack.emplace_back(n, depth++);
      n = tree.Nodes[static_cast<std::size_t>(n)].LeftChild;
    }
    const auto [top, d] = stack.back();
    stack.pop_back();
    const TreeCore::NodeRec& node = tree.Nodes[static_cast<std::size_t>(top)];
    out.push_back({node.Data, d});
    n = node.RightChild;
    depth = d + 1;
  }
  return out;
}

// Hears both trees and adds each event to the current tallies.
class CompareRun::Counter final : public TreeCore::TreeObserver, public Avl::Observer {
 public:
  RotationCounts scheme{}, avl{};
  std::uint32_t fixUps = 0, erases = 0;

  void OnInsert(std::int16_t, std::int32_t) override {}
  void OnRotate(TreeCore::ChainKind kind, std::int32_t, std::int16_t) override {
    ++scheme[static_cast<std::size_t>(kind)];
  }
  void OnFixUp(bool, std::int32_t, std::int16_t) override { ++fixUps; }
  void OnErase(std::int16_t, std::int32_t) override { ++erases; }
  void OnRotate(Avl::Rotation kind, std::int16_t) override {
    ++avl[static_cast<std::size_t>(kind)];
  }
};

CompareRun::CompareRun() = default;
CompareRun::~CompareRun() = default;

namespace {

// The same order of kinds on both sides, so that the counts index alike.
static_assert(static_cast<int>(TreeCore::ChainKind::RR) == static_cast<int>(Avl::Rotation::RR) &&
              static_cast<int>(TreeCore::ChainKind::RL) == static_cast<int>(Avl::Rotation::RL) &&
              static_cast<int>(TreeCore::ChainKind::LL) == static_cast<int>(Avl::Rotation::LL) &&
              static_cast<int>(TreeCore::ChainKind::LR) == static_cast<int>(Avl::Rotation::LR));

}  // namespace

CompareResult CompareRun::Run(TreeCommands::CommandKind kind, std::string_view list) {
  CompareResult result;
  const auto checked = TreeCommands::CheckList(kind, list);
  if (!checked.Refusal.empty()) {
    result.Refused = true;
    result.Message = checked.Refusal;
    return result;
  }
  Counter counter;
  engine_.SetObserver(&counter);
  avl_.SetObserver(&counter);
  if (kind == TreeCommands::CommandKind::Get) {
    result.Message = RunGetTree(engine_, tree_, list, nullptr);
    avl_.Build(checked.Values);
  } else {
    result.Message = RunErase(engine_, tree_, list, nullptr);
    [[maybe_unused]] const auto avlOutcome = avl_.EraseList(checked.Values);
    // Both trees hold the same values, so both stop at the same one.
    assert(avlOutcome.Erased == counter.erases);
  }
  engine_.SetObserver(nullptr);
  avl_.SetObserver(nullptr);

  result.Scheme = {tree_.Exists ? static_cast<std::size_t>(tree_.Count) : 0, SchemeLevels(tree_),
                   counter.scheme, counter.fixUps, SchemePreorder(tree_)};
  result.Avl = {avl_.Size(), avl_.Levels(), counter.avl, 0, avl_.Preorder()};
  return result;
}

}  // namespace TreeTrace
