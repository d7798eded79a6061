#include "InOrderLinks.h"

#include <cstddef>

#include "EngineState.h"
#include "TreeCore.h"

namespace TreeCore::Detail {
namespace {

std::size_t Slot(std::int32_t i) {
  return static_cast<std::size_t>(i);
}

// Links for every node of `tree` from an in-order walk. False when the tree
// is not one the links can describe: a link out of the table, or more nodes
// reached than the table holds (a cycle made by hand).
bool Rebuild(InOrderLinks& links, const TreeRec& tree) {
  const std::int32_t count = tree.Count;
  links.Before.assign(Slot(count) + 1, -1);
  links.After.assign(Slot(count) + 1, -1);
  if (!tree.Exists) return true;
  const auto size = static_cast<std::int32_t>(tree.Nodes.size());
  const auto inTable = [&](std::int32_t i) { return i >= 0 && i < count && i < size; };
  std::vector<std::int32_t> pending;
  std::int32_t previous = -1;
  std::int32_t reached = 0;
  std::int32_t i = tree.Root;
  while (i != -1 || !pending.empty()) {
    while (i != -1) {
      if (!inTable(i) || ++reached > count) return false;
      pending.push_back(i);
      i = tree.Nodes[Slot(i)].LeftChild;
    }
    const std::int32_t node = pending.back();
    pending.pop_back();
    links.Before[Slot(node)] = previous;
    if (previous != -1) links.After[Slot(previous)] = node;
    previous = node;
    i = tree.Nodes[Slot(node)].RightChild;
  }
  return true;
}

}  // namespace

InOrderScope::InOrderScope(EngineState& state, TreeRec& tree) : tree_(tree) {
  InOrderLinks& links = state.InOrder;
  // An insertion that does not keep them leaves them behind.
  if (!state.KeepInOrderLinks || !state.Tuning.InOrderLinks) {
    links.Tree = nullptr;
    return;
  }
  if (links.Tree != &tree || links.Count != tree.Count) {
    links.Tree = nullptr;
    if (!Rebuild(links, tree)) return;
    links.Tree = &tree;
    links.Count = tree.Count;
  }
  // Room for the node this insertion adds, with no neighbours yet.
  links.Before.resize(Slot(tree.Count) + 1, -1);
  links.After.resize(Slot(tree.Count) + 1, -1);
  links.InUse = true;
  links_ = &links;
}

InOrderScope::~InOrderScope() {
  if (links_ == nullptr) return;
  links_->InUse = false;
  if (done_)
    links_->Count = tree_.Count;
  else
    links_->Tree = nullptr;
}

void InOrderScope::Done() {
  done_ = true;
}

void InOrderScope::Linked(std::int32_t added, std::int32_t parent, bool right) {
  if (links_ == nullptr) return;
  std::vector<std::int32_t>& toward = right ? links_->After : links_->Before;
  std::vector<std::int32_t>& back = right ? links_->Before : links_->After;
  // A right child comes just after its parent, a left child just before.
  const std::int32_t beyond = toward[Slot(parent)];
  back[Slot(added)] = parent;
  toward[Slot(added)] = beyond;
  if (beyond != -1) back[Slot(beyond)] = added;
  toward[Slot(parent)] = added;
}

}  // namespace TreeCore::Detail
