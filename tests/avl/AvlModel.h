// A plain pointer AVL tree written straight from the textbook rules, to hold
// Avl::Tree's slot-based one to: the same shapes and the same rotations.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace AvlModel {

struct Node;
using Link = std::unique_ptr<Node>;
struct Node {
  std::int16_t value = 0;
  int height = 1;
  Link left, right;
};

struct Model {
  Link root;
  std::string rotations;  // "RR LL ..." in the order they happen

  static int H(const Link& n) { return n ? n->height : 0; }
  static void Fix(Link& n) { n->height = 1 + std::max(H(n->left), H(n->right)); }
  // Lifts n's child on side `up` into n's place (`down` the other side).
  static void Rotate(Link& n, Link Node::*up, Link Node::*down) {
    Link c = std::move((*n).*up);
    (*n).*up = std::move((*c).*down);
    Fix(n);
    (*c).*down = std::move(n);
    Fix(c);
    n = std::move(c);
  }
  void Balance(Link& n) {
    Fix(n);
    const int b = H(n->left) - H(n->right);
    if (b > -2 && b < 2) return;
    Link Node::*heavy = b > 1 ? &Node::left : &Node::right;
    Link Node::*light = b > 1 ? &Node::right : &Node::left;
    Link& child = (*n).*heavy;
    const bool single = H((*child).*heavy) >= H((*child).*light);
    const char side = b > 1 ? 'L' : 'R', other = b > 1 ? 'R' : 'L';
    rotations += {side, single ? side : other, ' '};
    if (!single) Rotate(child, light, heavy);
    Rotate(n, heavy, light);
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
