// A textbook AVL tree over the same values as the engine's tree: equal values
// go left on insertion, a removal takes the first equal value met, and a node
// with two children takes its in-order successor's value. After every change
// each ancestor is rebalanced from the bottom up, so no node's sides ever
// differ by more than one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Avl {

// Named by the heavy path from the unbalanced node: RR and LL are single
// rotations (left and right), RL and LR double ones, each counted once.
enum class Rotation : std::uint8_t { RR, RL, LL, LR };

constexpr const char* RotationText(Rotation kind) {
  switch (kind) {
    case Rotation::RR:
      return "RR";
    case Rotation::RL:
      return "RL";
    case Rotation::LL:
      return "LL";
    case Rotation::LR:
      return "LR";
  }
  return "";
}

class Observer {
 public:
  virtual ~Observer() = default;
  // A rotation starts at the unbalanced node holding `value`.
  virtual void OnRotate(Rotation kind, std::int16_t value) = 0;
};

class Tree {
 public:
  static constexpr std::int32_t None = -1;

  struct Node {
    std::int32_t Left = None;
    std::int32_t Right = None;
    std::int16_t Value = 0;
    std::int16_t Height = 1;  // a leaf is 1
  };

  void SetObserver(Observer* observer) { observer_ = observer; }

  void Clear();
  void Insert(std::int16_t value);
  // Removes the first node holding `value` met from the root; false when none.
  bool Erase(std::int16_t value);
  // The node Erase would take for `value` (the first met from the root);
  // None when there is none. Lists go through the commands' runner.
  std::int32_t Find(std::int32_t value) const;
  bool Contains(std::int16_t value) const { return Find(value) != None; }

  std::size_t Size() const { return size_; }
  bool Empty() const { return root_ == None; }
  // The depth of the deepest node: the root alone is 1, an empty tree 0.
  int Levels() const { return HeightOf(root_); }
  std::int32_t Root() const { return root_; }
  const Node& At(std::int32_t index) const { return nodes_[static_cast<std::size_t>(index)]; }

  std::vector<std::int16_t> Preorder() const;
  // The values in order, each with its depth (the root is 1).
  struct Placed {
    std::int16_t Value;
    int Depth;
  };
  std::vector<Placed> InOrder() const;

  // Empty when the order, every stored height and every balance hold;
  // otherwise what is wrong, and where.
  std::string Validate() const;

 private:
  int HeightOf(std::int32_t n) const { return n == None ? 0 : At(n).Height; }
  Node& N(std::int32_t index) { return nodes_[static_cast<std::size_t>(index)]; }
  std::int32_t NewNode(std::int16_t value);
  void Free(std::int32_t index);
  void Update(std::int32_t n);
  int BalanceOf(std::int32_t n) const;
  std::int32_t RotateLeft(std::int32_t n);
  std::int32_t RotateRight(std::int32_t n);
  std::int32_t Rebalance(std::int32_t n);
  std::int32_t InsertAt(std::int32_t n, std::int16_t value);
  std::int32_t EraseAt(std::int32_t n, std::int16_t value, bool& found);
  std::int32_t EraseLeftmost(std::int32_t n);
  void Report(Rotation kind, std::int32_t n);
  void CheckInDebug() const;

  std::vector<Node> nodes_;
  std::vector<std::int32_t> free_;  // slots of removed nodes, used again first
  std::int32_t root_ = None;
  std::size_t size_ = 0;
  Observer* observer_ = nullptr;
};

}  // namespace Avl
