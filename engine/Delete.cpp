// Removal of one node, then the renumbering that keeps the table gap-free
// (docs/balancing.md, "Deletion", "Renumbering").
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#include <vector>

#include "Internal.h"
#include "TreeCore.h"

namespace TreeCore {
namespace {

using Detail::At;

void RemoveLeaf(EngineState& e, TreeRec& t, std::int32_t k) {
  const std::int32_t p = At(t, k).Parent;
  NodeRec& P = At(t, p);
  Detail::Touch(e, p);
  if (P.LeftChild == k)
    P.LeftChild = -1;
  else
    P.RightChild = -1;
  Detail::Heights(e, t, p);
  Detail::RebalanceIn(e, t, p, false);
}

void RemoveWithOneChild(EngineState& e, TreeRec& t, std::int32_t k) {
  const NodeRec& n = At(t, k);
  const std::int32_t c = n.LeftChild == -1 ? n.RightChild : n.LeftChild;
  const std::int32_t p = n.Parent;
  if (p != -1) Detail::ReplaceChildLink(t, p, k, c);
  At(t, c).Parent = p;
  Detail::Touch(e, p);
  Detail::Touch(e, c);
  // Why: c's whole subtree moves up one level; giving c alone n's level would
  // leave its descendants a level too deep (docs/balancing.md, "Deliberate
  // corrections").
  Detail::LevelLoweringPass(e, t, c);
  if (At(t, c).Parent == -1) t.Root = c;
  // From c, so that the root's heights and the tree's come out right too.
  Detail::Heights(e, t, c);
}

void RemoveWithTwoChildren(EngineState& e, TreeRec& t, std::int32_t k) {
  const NodeRec& n = At(t, k);
  const bool leftHeavy = n.LeftHeight > n.RightHeight;
  const std::vector<Detail::HeldRebalance> held =
      Detail::FixUpForDeletion(e, t, k, /*rightHeavy=*/!leftHeavy);
  const std::int32_t p = At(t, k).Parent;
  NodeRec& P = At(t, p);
  Detail::Touch(e, p);
  if (P.RightChild == k) {
    P.RightChild = -1;
    Detail::Heights(e, t, p);
  } else if (P.LeftChild == k) {
    P.LeftChild = -1;
    Detail::Heights(e, t, p);
  }
  // Why: the fix-up's Rebalance calls wait until the parked node is cut off;
  // run earlier, they could move it and then cut the wrong link
  // (docs/balancing.md, "Deliberate corrections").
  for (const Detail::HeldRebalance& call : held)
    Detail::RebalanceIn(e, t, call.Node, call.SkipWalk);
}

// The renumbering after the removal of slot k, step by step
// (docs/balancing.md, "Renumbering"): every other slot's links and kind, then
// the gap closed, then the height refreshes from the compacted slots.
void Renumber(EngineState& e, TreeRec& t, std::int32_t k) {
  std::vector<std::int32_t> refresh;
  const auto slots = static_cast<std::int32_t>(t.Nodes.size());
  for (std::int32_t i = 0; i < slots; ++i) {
    if (i == k) continue;
    NodeRec& n = At(t, i);
    for (std::int32_t* link : {&n.LeftChild, &n.RightChild, &n.Parent})
      if (*link == k) *link = -1;
    for (std::int32_t* link : {&n.LeftChild, &n.RightChild, &n.Parent})
      if (*link > k) --*link;
    const std::int32_t at = i < k ? i : i - 1;  // the slot it moves to
    if (n.Parent == -1) {
      n.Kind = NodeKind::Root;
      t.Root = at;
    } else if (n.LeftChild == -1 && n.RightChild == -1) {
      n.Kind = NodeKind::Leaf;
      if (n.LeftHeight != 0 || n.RightHeight != 0) refresh.push_back(at);
    } else {
      n.Kind = NodeKind::Interior;
    }
  }
  t.Nodes.erase(t.Nodes.begin() + k);
  if (t.Nodes.empty()) t.Nodes.emplace_back();  // an emptied table keeps one blank slot
  --t.Count;
  for (const std::int32_t i : refresh) Detail::Heights(e, t, i);
}

// Parent, LeftChild, RightChild and ControlIndex lie side by side, so the
// three links are renumbered together as one vector of four.
static_assert(offsetof(NodeRec, LeftChild) == offsetof(NodeRec, Parent) + 4);
static_assert(offsetof(NodeRec, RightChild) == offsetof(NodeRec, Parent) + 8);
static_assert(offsetof(NodeRec, ControlIndex) == offsetof(NodeRec, Parent) + 12);
using Int4 = std::int32_t __attribute__((vector_size(16)));

// Renumbers the links of `from` into `to`, which is slot `at` of the
// compacted table, and gives it the kind its links call for; ControlIndex
// goes along unchanged. Returns whether `to` is a childless node with heights
// left from before, to be refreshed.
[[gnu::always_inline]] inline bool Relink(const NodeRec& from, NodeRec& to, std::int32_t at,
                                          std::int32_t k, std::int32_t& root) {
  // A link to k becomes -1 (all bits set), a link behind k moves down by one;
  // the fourth lane compares with a bound ControlIndex never reaches.
  const Int4 bound = {k, k, k, std::numeric_limits<std::int32_t>::max()};
  Int4 links;
  std::memcpy(&links, &from.Parent, sizeof links);
  links = (links + (links > bound)) | (links == bound);
  std::memcpy(&to.Parent, &links, sizeof links);

  // Half the slots are leaves, in no order: the kind is chosen without a branch.
  const bool childless = (links[1] & links[2]) == -1;
  static_assert(static_cast<int>(NodeKind::Leaf) == static_cast<int>(NodeKind::Interior) + 1);
  NodeKind kind = static_cast<NodeKind>(static_cast<int>(NodeKind::Interior) + childless);
  bool stale = childless & ((from.LeftHeight | from.RightHeight) != 0);
  if (links[0] == -1) [[unlikely]] {
    kind = NodeKind::Root;
    root = at;
    stale = false;
  }
  to.Kind = kind;
  return stale;
}

// Renumber in one pass: each slot is renumbered and, behind k, moved down by
// one (docs/performance.md, "The renumbering in one pass").
void RenumberInOnePass(EngineState& e, TreeRec& t, std::int32_t k) {
  std::vector<std::int32_t> refresh;
  NodeRec* const nodes = t.Nodes.data();
  const auto slots = static_cast<std::int32_t>(t.Nodes.size());
  std::int32_t root = t.Root;

  for (std::int32_t i = 0; i < k; ++i)
    if (Relink(nodes[i], nodes[i], i, k, root)) [[unlikely]]
      refresh.push_back(i);
  // The removed slot k is overwritten; what the pass would write into it goes
  // with it. Behind it every slot moves down by one, its fields going straight
  // to their new place (reading them back after writing them stalls the copy).
  for (std::int32_t i = k + 1; i < slots; ++i) {
    NodeRec& from = nodes[i];
    NodeRec& to = nodes[i - 1];
    to.Data = from.Data;
    to.Level = from.Level;
    to.LeftHeight = from.LeftHeight;
    to.RightHeight = from.RightHeight;
    to.Description = std::move(from.Description);
    if (Relink(from, to, i - 1, k, root)) [[unlikely]]
      refresh.push_back(i - 1);
  }
  t.Root = root;

  if (t.Nodes.size() == 1)
    t.Nodes.assign(1, NodeRec{});
  else
    t.Nodes.pop_back();
  --t.Count;

  for (const std::int32_t i : refresh) Detail::Heights(e, t, i);
}

// A right-leaning three-node chain hanging from slot 0 gets a root check
// (docs/balancing.md, "Deletion").
void FinalShapeCheck(EngineState& e, TreeRec& t) {
  // Within a batch erase, slot 0 of the closed-up table is the first slot left.
  const bool batch = e.Batch != nullptr;
  if (!t.Exists || (batch ? e.Batch->Live : t.Count) == 0) return;
  const NodeRec& first = At(t, batch ? e.Batch->FirstLive : 0);
  if (first.LeftChild != -1 || first.RightChild == -1) return;
  const NodeRec& right = At(t, first.RightChild);
  if (right.LeftChild != -1 || right.RightChild == -1) return;
  const NodeRec& grandchild = At(t, right.RightChild);
  if (grandchild.LeftChild != -1 || grandchild.RightChild != -1) return;
  Detail::RebalanceIn(e, t, t.Root, false);
}

}  // namespace

namespace {

// Step 1 of a removal: the node in slot k leaves the tree; its slot stays.
void Detach(EngineState& state, TreeRec& tree, std::int32_t k) {
  Detail::NotifyErase(state, tree, k);
  const NodeRec& n = At(tree, k);
  for (const std::int32_t i : {n.Parent, n.LeftChild, n.RightChild}) Detail::Touch(state, i);
  // The case follows the links; on a tree whose kinds match its links (as
  // every operation leaves it) this is the choice by kind.
  if (n.LeftChild == -1 && n.RightChild == -1) {
    if (n.Parent != -1)
      RemoveLeaf(state, tree, k);
    else
      tree.Exists = false;  // the last node; Root keeps its old value
  } else if (n.LeftChild == -1 || n.RightChild == -1)
    RemoveWithOneChild(state, tree, k);
  else
    RemoveWithTwoChildren(state, tree, k);
}

// What the renumbering pass does for the removal of slot k, done only for the
// slots the removal touched: every other slot kept its links and kind, and
// the pass would leave it as it is. The slot itself is only marked.
void RelinkTouched(EngineState& e, TreeRec& t, std::int32_t k) {
  Detail::EraseBatch& batch = *e.Batch;
  std::vector<std::int32_t>& touched = batch.Touched;
  const NodeRec& removed = At(t, k);
  for (const std::int32_t i : {removed.Parent, removed.LeftChild, removed.RightChild})
    if (i >= 0) touched.push_back(i);
  std::sort(touched.begin(), touched.end());
  touched.erase(std::unique(touched.begin(), touched.end()), touched.end());

  std::vector<std::int32_t> refresh;
  std::int32_t root = t.Root;
  for (const std::int32_t i : touched) {
    if (i == k || batch.Removed[static_cast<std::size_t>(i)]) continue;
    NodeRec& n = At(t, i);
    for (std::int32_t* link : {&n.LeftChild, &n.RightChild, &n.Parent})
      if (*link == k) *link = -1;
    const bool childless = n.LeftChild == -1 && n.RightChild == -1;
    if (n.Parent == -1) {
      n.Kind = NodeKind::Root;
      root = i;
    } else if (childless) {
      n.Kind = NodeKind::Leaf;
      if (n.LeftHeight != 0 || n.RightHeight != 0) refresh.push_back(i);
    } else {
      n.Kind = NodeKind::Interior;
    }
  }
  touched.clear();
  ++batch.Removal;  // at most one per slot, so it never wraps round
  t.Root = root;
  batch.MarkRemoved(k);
  for (const std::int32_t i : refresh) Detail::Heights(e, t, i);
}

// Closes every gap a batch left: each slot moves down past the removed ones
// before it and its links are renumbered alike.
void CloseGaps(TreeRec& t, const Detail::EraseBatch& batch, std::int32_t emptyRoot) {
  if (batch.Live == 0) {
    t.Nodes.assign(1, NodeRec{});
    t.Count = 0;
    t.Root = emptyRoot;
    return;
  }
  const auto slots = static_cast<std::int32_t>(t.Nodes.size());
  std::vector<std::int32_t> to(static_cast<std::size_t>(slots), -1);
  std::int32_t next = 0;
  for (std::int32_t i = 0; i < slots; ++i)
    if (!batch.Removed[static_cast<std::size_t>(i)]) to[static_cast<std::size_t>(i)] = next++;
  auto renumber = [&to](std::int32_t link) {
    return link < 0 ? link : to[static_cast<std::size_t>(link)];
  };
  NodeRec* const nodes = t.Nodes.data();
  for (std::int32_t i = 0; i < slots; ++i) {
    const std::int32_t j = to[static_cast<std::size_t>(i)];
    if (j < 0) continue;
    if (j != i) nodes[j] = std::move(nodes[i]);
    NodeRec& n = nodes[j];
    n.Parent = renumber(n.Parent);
    n.LeftChild = renumber(n.LeftChild);
    n.RightChild = renumber(n.RightChild);
  }
  t.Root = renumber(t.Root);
  t.Nodes.resize(static_cast<std::size_t>(next));
  t.Count = next;
}

}  // namespace

namespace Detail {

EraseBatch::EraseBatch(std::int32_t slots)
    : Removed(static_cast<std::size_t>(slots), 0),
      Fenwick(static_cast<std::size_t>(slots) + 1, 0),
      TouchedIn(static_cast<std::size_t>(slots), 0),
      Live(slots),
      FirstLive(0),
      LastLive(slots - 1) {}

void EraseBatch::MarkRemoved(std::int32_t slot) {
  Removed[static_cast<std::size_t>(slot)] = 1;
  for (auto i = static_cast<std::size_t>(slot) + 1; i < Fenwick.size(); i += i & (~i + 1))
    ++Fenwick[i];
  --Live;
  while (FirstLive <= LastLive && Removed[static_cast<std::size_t>(FirstLive)]) ++FirstLive;
  while (LastLive >= FirstLive && Removed[static_cast<std::size_t>(LastLive)]) --LastLive;
}

std::int32_t EraseBatch::Compacted(std::int32_t slot) const {
  std::int32_t before = 0;  // removed slots below `slot`
  for (auto i = static_cast<std::size_t>(slot); i > 0; i -= i & (~i + 1)) before += Fenwick[i];
  return slot - before;
}

}  // namespace Detail

void DeleteNode(EngineState& state, TreeRec& tree, std::int32_t index) {
  const Detail::SoundnessCheck sound(tree);
  Detail::BeginOperation(state);
  const std::int32_t k = index;
  Detach(state, tree, k);
  if (state.Tuning.OnePassRenumbering)
    RenumberInOnePass(state, tree, k);
  else
    Renumber(state, tree, k);
  FinalShapeCheck(state, tree);
  sound.Done();
}

void DeleteNode(TreeRec& tree, std::int32_t index) {
  DeleteNode(DefaultEngine(), tree, index);
}

namespace {

// The Erase command's loop: each value looked up and removed in turn.
EraseResult EraseOneByOne(EngineState& state, TreeRec& tree, std::span<const std::int16_t> values) {
  return EraseInTurn(
      values, [&tree] { return !tree.Exists; },
      [&tree](std::int16_t value) { return FindValue(tree, value); },
      [&state, &tree](std::int32_t k, std::int16_t) { DeleteNode(state, tree, k); });
}

}  // namespace

EraseResult EraseValues(EngineState& state, TreeRec& tree, std::span<const std::int16_t> values) {
  if (!state.Tuning.BatchErase) return EraseOneByOne(state, tree, values);
  if (values.empty()) return {};
  const Detail::SoundnessCheck sound(tree);
  Detail::BeginOperation(state);
  Detail::EraseBatch batch(static_cast<std::int32_t>(tree.Nodes.size()));
  state.Batch = &batch;
  // Not left pointing at the batch when an observer leaves by an exception.
  struct BatchEnded {
    EngineState& state;
    ~BatchEnded() { state.Batch = nullptr; }
  } const ended{state};
  std::int32_t emptyRoot = tree.Root;
  const EraseResult result = EraseInTurn(
      values, [&tree] { return !tree.Exists; },
      [&tree](std::int16_t value) { return FindValue(tree, value); },
      [&](std::int32_t k, std::int16_t) {
        Detach(state, tree, k);
        // Root keeps its value when the last node goes: the index it has then.
        if (!tree.Exists) emptyRoot = batch.Compacted(tree.Root);
        RelinkTouched(state, tree, k);
        FinalShapeCheck(state, tree);
      });
  state.Batch = nullptr;
  if (result.Erased > 0) CloseGaps(tree, batch, emptyRoot);
  sound.Done();
  return result;
}

EraseResult EraseValues(TreeRec& tree, std::span<const std::int16_t> values) {
  return EraseValues(DefaultEngine(), tree, values);
}

}  // namespace TreeCore
