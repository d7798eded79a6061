// Tree records no building could make (up to ten nodes, links that disagree,
// self-parents but no longer parent loops), for tests that hold an engine
// routine to a plainer one.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "TreeCore.h"

namespace EngineTest {

using TreeCore::NodeKind;
using TreeCore::NodeRec;
using TreeCore::TreeRec;

inline NodeRec& RecordAt(TreeRec& t, std::int32_t i) {
  return t.Nodes[static_cast<std::size_t>(i)];
}

// Records no building could make: parents and links that disagree, a node
// linked on both sides of its parent or to itself, kinds at random, a root
// field naming any slot, "Root" records below other nodes, heights off by
// far more than one (some differing by 2^16, which a 16-bit balance reads
// as balanced), stamps and flags at random. Parents never form a loop, as
// the full walk would not end. Each side the update reads is, more often
// than not, already what it would write, so both ways through the check
// are taken often.
inline TreeRec RandomRecord(std::mt19937& rng) {
  auto pick = [&rng](int below) { return static_cast<int>(rng() % static_cast<unsigned>(below)); };
  const int count = 1 + pick(10);
  TreeRec t;
  t.Exists = pick(4) != 0;
  t.Count = count;
  t.Nodes.resize(static_cast<std::size_t>(count));
  // Parents come earlier in `order` than their children, or are the node
  // itself (never then linked to itself).
  std::vector<std::int32_t> order(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) order[static_cast<std::size_t>(i)] = i;
  std::shuffle(order.begin(), order.end(), rng);
  for (int k = 0; k < count; ++k) {
    const std::int32_t i = order[static_cast<std::size_t>(k)];
    NodeRec& x = RecordAt(t, i);
    const int parentWay = pick(10);
    x.Parent = parentWay == 0 || k == 0 ? -1
               : parentWay == 1         ? i
                                        : order[static_cast<std::size_t>(pick(k))];
    const NodeKind kinds[] = {NodeKind::None, NodeKind::Root, NodeKind::Interior, NodeKind::Leaf};
    x.Kind = kinds[pick(4)];
    x.LeftChild = x.RightChild = -1;
    x.LeftHeight = pick(5) - 1;
    x.RightHeight = pick(3) == 0 ? 65536 + pick(4) : pick(5) - 1;
  }
  // Links: mostly the parent's true children, sometimes any slot.
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int32_t p = RecordAt(t, i).Parent;
    if (p == -1 || p == i) continue;
    const int way = pick(6);
    if (way <= 1) RecordAt(t, p).LeftChild = i;
    if (way >= 1 && way <= 3) RecordAt(t, p).RightChild = i;
  }
  for (std::int32_t i = 0; i < count; ++i) {
    NodeRec& x = RecordAt(t, i);
    if (pick(8) == 0) x.LeftChild = pick(count);
    if (pick(8) == 0) x.RightChild = pick(count);
    if (x.Parent == i) {
      if (x.LeftChild == i) x.LeftChild = -1;
      if (x.RightChild == i) x.RightChild = -1;
    }
  }
  // From the children up: missing sides often 0, childless nodes often
  // leaves, a parent's side often holding its child's height.
  for (auto k = order.rbegin(); k != order.rend(); ++k) {
    NodeRec& x = RecordAt(t, *k);
    if (pick(3) != 0) {
      if (x.LeftChild == -1) x.LeftHeight = 0;
      if (x.RightChild == -1) x.RightHeight = 0;
      if (x.LeftChild == -1 && x.RightChild == -1) x.Kind = NodeKind::Leaf;
    }
    if (x.Parent == -1 || pick(4) == 0) continue;
    NodeRec& p = RecordAt(t, x.Parent);
    const std::int32_t height = 1 + std::max(x.LeftHeight, x.RightHeight);
    if (p.RightChild == *k)
      p.RightHeight = height;
    else if (p.LeftChild == *k)
      p.LeftHeight = height;
  }
  t.Root = pick(4) == 0 ? -1 : pick(count);
  t.Height = pick(4);
  t.TreeLeftHeight = pick(4);
  t.TreeRightHeight = pick(4);
  return t;
}

}  // namespace EngineTest
