// A plain pointer AVL tree written straight from the textbook rules, to hold
// Avl::Tree's slot-based one to: the same shapes and the same rotations.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace AvlModel {

struct Node {
  std::int16_t value = 0;
  int height = 1;
  std::unique_ptr<Node> left, right;
};
using Link = std::unique_ptr<Node>;

struct Model {
  Link root;
  std::string rotations;  // "RR LL ..." in the order they happen

  static int H(const Link& n) { return n ? n->height : 0; }
  static void Fix(Link& n) { n->height = 1 + std::max(H(n->left), H(n->right)); }
  static void RotateLeft(Link& n) {
    Link r = std::move(n->right);
    n->right = std::move(r->left);
    Fix(n);
    r->left = std::move(n);
    Fix(r);
    n = std::move(r);
  }
  static void RotateRight(Link& n) {
    Link l = std::move(n->left);
    n->left = std::move(l->right);
    Fix(n);
    l->right = std::move(n);
    Fix(l);
    n = std::move(l);
  }
  void Balance(Link& n) {
    Fix(n);
    const int b = H(n->left) - H(n->right);
    if (b > 1) {
      const bool single = H(n->left->left) >= H(n->left->right);
      rotations += single ? "LL " : "LR ";
      if (!single) RotateLeft(n->left);
      RotateRight(n);
    } else if (b < -1) {
      const bool single = H(n->right->right) >= H(n->right->left);
      rotations += single ? "RR " : "RL ";
      if (!single) RotateRight(n->right);
      RotateLeft(n);
    }
  }
  void Insert(Link& n, std::int16_t v) {
    if (!n) {
      n = std::make_unique<Node>();
      n->value = v;
      return;
    }
    Insert(n->value < v ? n->right : n->left, v);
    Balance(n);
  }
  std::int16_t TakeMin(Link& n) {
    if (!n->left) {
      const std::int16_t v = n->value;
      n = std::move(n->right);
      return v;
    }
    const std::int16_t v = TakeMin(n->left);
    Balance(n);
    return v;
  }
  bool Erase(Link& n, std::int16_t v) {
    if (!n) return false;
    if (n->value != v) {
      if (!Erase(n->value < v ? n->right : n->left, v)) return false;
    } else if (!n->left || !n->right) {
      n = std::move(n->left ? n->left : n->right);
      return true;
    } else {
      n->value = TakeMin(n->right);
    }
    Balance(n);
    return true;
  }
  static void Pre(const Link& n, std::vector<std::int16_t>& out) {
    if (!n) return;
    out.push_back(n->value);
    Pre(n->left, out);
    Pre(n->right, out);
  }
  std::vector<std::int16_t> Preorder() const {
    std::vector<std::int16_t> out;
    Pre(root, out);
    return out;
  }
};

}  // namespace AvlModel
