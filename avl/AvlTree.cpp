#include "AvlTree.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <utility>

namespace Avl {

void Tree::Clear() {
  nodes_.clear();
  free_.clear();
  root_ = None;
  size_ = 0;
}

std::int32_t Tree::NewNode(std::int16_t value) {
  ++size_;
  if (!free_.empty()) {
    const std::int32_t slot = free_.back();
    free_.pop_back();
    N(slot) = Node{None, None, value, 1};
    return slot;
  }
  nodes_.push_back(Node{None, None, value, 1});
  return static_cast<std::int32_t>(nodes_.size() - 1);
}

void Tree::Free(std::int32_t index) {
  --size_;
  free_.push_back(index);
}

void Tree::Update(std::int32_t n) {
  N(n).Height =
      static_cast<std::int16_t>(1 + std::max(HeightOf(At(n).Left), HeightOf(At(n).Right)));
}

int Tree::BalanceOf(std::int32_t n) const {
  return HeightOf(At(n).Left) - HeightOf(At(n).Right);
}

std::int32_t Tree::RotateLeft(std::int32_t n) {
  const std::int32_t r = At(n).Right;
  N(n).Right = At(r).Left;
  N(r).Left = n;
  Update(n);
  Update(r);
  return r;
}

std::int32_t Tree::RotateRight(std::int32_t n) {
  const std::int32_t l = At(n).Left;
  N(n).Left = At(l).Right;
  N(l).Right = n;
  Update(n);
  Update(l);
  return l;
}

void Tree::Report(Rotation kind, std::int32_t n) {
  if (observer_ != nullptr) observer_->OnRotate(kind, At(n).Value);
}

// Brings `n`'s sides back within one of each other; returns the subtree's new top.
std::int32_t Tree::Rebalance(std::int32_t n) {
  Update(n);
  const int balance = BalanceOf(n);
  if (balance > 1) {
    if (BalanceOf(At(n).Left) >= 0) {
      Report(Rotation::LL, n);
    } else {
      Report(Rotation::LR, n);
      N(n).Left = RotateLeft(At(n).Left);
    }
    return RotateRight(n);
  }
  if (balance < -1) {
    if (BalanceOf(At(n).Right) <= 0) {
      Report(Rotation::RR, n);
    } else {
      Report(Rotation::RL, n);
      N(n).Right = RotateRight(At(n).Right);
    }
    return RotateLeft(n);
  }
  return n;
}

// Recursion is bounded by the tree's height, at most 1.45 log2(n) + 2.
std::int32_t Tree::InsertAt(std::int32_t n, std::int16_t value) {
  if (n == None) return NewNode(value);
  if (At(n).Value < value) {
    const std::int32_t right = InsertAt(At(n).Right, value);
    N(n).Right = right;
  } else {
    const std::int32_t left = InsertAt(At(n).Left, value);
    N(n).Left = left;
  }
  return Rebalance(n);
}

std::int32_t Tree::EraseLeftmost(std::int32_t n) {
  if (At(n).Left == None) {
    const std::int32_t right = At(n).Right;
    Free(n);
    return right;
  }
  N(n).Left = EraseLeftmost(At(n).Left);
  return Rebalance(n);
}

std::int32_t Tree::EraseAt(std::int32_t n, std::int16_t value, bool& found) {
  if (n == None) return None;
  if (At(n).Value < value) {
    N(n).Right = EraseAt(At(n).Right, value, found);
  } else if (At(n).Value > value) {
    N(n).Left = EraseAt(At(n).Left, value, found);
  } else {
    found = true;
    if (At(n).Left == None || At(n).Right == None) {
      const std::int32_t child = At(n).Left != None ? At(n).Left : At(n).Right;
      Free(n);
      return child;
    }
    std::int32_t successor = At(n).Right;
    while (At(successor).Left != None) successor = At(successor).Left;
    N(n).Value = At(successor).Value;
    N(n).Right = EraseLeftmost(At(n).Right);
  }
  if (!found) return n;
  return Rebalance(n);
}

void Tree::Insert(std::int16_t value) {
  root_ = InsertAt(root_, value);
  CheckInDebug();
}

bool Tree::Erase(std::int16_t value) {
  bool found = false;
  root_ = EraseAt(root_, value, found);
  CheckInDebug();
  return found;
}

std::int32_t Tree::Find(std::int32_t value) const {
  std::int32_t n = root_;
  while (n != None && At(n).Value != value) n = At(n).Value < value ? At(n).Right : At(n).Left;
  return n;
}

std::vector<std::int16_t> Tree::Preorder() const {
  std::vector<std::int16_t> out;
  out.reserve(size_);
  std::vector<std::int32_t> stack;
  if (root_ != None) stack.push_back(root_);
  while (!stack.empty()) {
    const Node& node = At(stack.back());
    stack.pop_back();
    out.push_back(node.Value);
    if (node.Right != None) stack.push_back(node.Right);
    if (node.Left != None) stack.push_back(node.Left);
  }
  return out;
}

std::vector<Tree::Placed> Tree::InOrder() const {
  std::vector<Placed> out;
  out.reserve(size_);
  std::vector<std::pair<std::int32_t, int>> stack;
  std::int32_t n = root_;
  int depth = 1;
  while (n != None || !stack.empty()) {
    while (n != None) {
      stack.emplace_back(n, depth++);
      n = At(n).Left;
    }
    const auto [top, d] = stack.back();
    stack.pop_back();
    out.push_back({At(top).Value, d});
    n = At(top).Right;
    depth = d + 1;
  }
  return out;
}

std::string Tree::Validate() const {
  std::ostringstream problem;
  std::size_t seen = 0;
  // Post-order over an explicit stack; each entry carries the open bounds its
  // subtree's values must keep (equal values may sit on either side of a
  // removal's successor copy, so the bounds are inclusive).
  struct Frame {
    std::int32_t node;
    int low, high;
    bool visited;
  };
  std::vector<Frame> stack;
  if (root_ != None) stack.push_back({root_, -32769, 32768, false});
  while (!stack.empty() && problem.tellp() == 0) {
    Frame& f = stack.back();
    const Node& node = At(f.node);
    if (!f.visited) {
      f.visited = true;
      ++seen;
      if (node.Value < f.low || node.Value > f.high)
        problem << "value " << node.Value << " out of order (between " << f.low << " and " << f.high
                << ")";
      const Frame copy = f;
      if (node.Left != None) stack.push_back({node.Left, copy.low, node.Value, false});
      if (node.Right != None) stack.push_back({node.Right, node.Value, copy.high, false});
      continue;
    }
    const int left = HeightOf(node.Left), right = HeightOf(node.Right);
    if (node.Height != 1 + std::max(left, right))
      problem << "node " << node.Value << " stores height " << node.Height << ", has "
              << 1 + std::max(left, right);
    else if (left - right > 1 || right - left > 1)
      problem << "node " << node.Value << " has sides " << left << " and " << right;
    stack.pop_back();
  }
  if (problem.tellp() == 0 && seen != size_)
    problem << seen << " nodes reached, " << size_ << " counted";
  return problem.str();
}

void Tree::CheckInDebug() const {
#ifndef NDEBUG
  const std::string problem = Validate();
  if (!problem.empty()) {
    std::fprintf(stderr, "AVL tree broken: %s\n", problem.c_str());
    std::abort();
  }
#endif
}

}  // namespace Avl
