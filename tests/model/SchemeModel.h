// A second writing of the balancing scheme, plain and recursive, made from the
// written procedures and docs/balancing.md (corrections included) without the
// engine's code, so that the trace and compare modes can be held to it. It
// keeps the same node table and says every event with the table before it, in
// the JSON lines `treetest --trace --states` prints.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace SchemeModel {

struct Node {
  std::int16_t Data = 0;
  std::int32_t Parent = 0, LeftChild = 0, RightChild = 0, Level = 0;
  std::string Kind;  // "Root", "Interior", "Leaf" or "" in a fresh slot
  std::int32_t LeftHeight = 0, RightHeight = 0;
};

struct Table {
  bool Exists = false;
  std::vector<Node> Nodes;
  std::int32_t Root = 0, Count = 0, Height = 0, TreeLeftHeight = 0, TreeRightHeight = 0;
};

class Model {
 public:
  // One command line as the trace mode runs it. `refusal` is the list's
  // refusal (the tree is left alone) or empty; an accepted `get` empties the
  // table and inserts `values`, an `erase` removes them one by one and stops
  // at a missing value or an emptied tree. Appends the command's lines,
  // states included, to Lines().
  void Run(bool get, const std::vector<std::int16_t>& values, std::string_view refusal);

  const std::vector<std::string>& Lines() const { return lines_; }
  const Table& Tree() const { return t_; }
  // The last command's rotations (RR, RL, LL, LR) and fix-ups, and its stop message.
  const std::array<int, 4>& Rotations() const { return rotations_; }
  int FixUps() const { return fixUps_; }
  const std::string& Message() const { return message_; }
  // From the links: the values root first, and the depth of the deepest node.
  std::vector<std::int16_t> Preorder() const;
  int Levels() const;

 private:
  struct Held {  // a Rebalance a removal's fix-up holds until the cut
    std::int32_t node;
    bool refreshAfter;
  };

  Node& N(std::int32_t i) { return t_.Nodes[static_cast<std::size_t>(i)]; }
  std::int32_t& Kid(std::int32_t i, bool right) { return right ? N(i).RightChild : N(i).LeftChild; }
  void Relink(std::int32_t parent, std::int32_t from, std::int32_t to);
  std::int32_t Farthest(std::int32_t i, bool right);
  void LowerLevels(std::int32_t i);

  void Insert(std::int16_t value);
  void UpdateHeights(std::int32_t n);
  void Rebalance(std::int32_t n, bool skipWalk);
  void CheckBalance(std::int32_t n);
  void Rotate(bool first, bool second, std::int32_t a);
  void FixUp(std::int32_t n, bool right, std::vector<Held>* held);
  std::int32_t Find(std::int16_t value);
  void Delete(std::int32_t k);
  void Renumber(std::int32_t k);

  void State();
  void Line(const std::string& line) { lines_.push_back(line); }

  Table t_;
  std::vector<std::string> lines_;
  std::array<int, 4> rotations_{};
  int fixUps_ = 0;
  std::string message_;
};

}  // namespace SchemeModel
