// The tree engine: the tree record, its node table and every tree algorithm.
// Pure C++: no window or drawing code lives here. The drawing layer reaches in
// through the two hooks at the bottom of this header.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace TreeCore {

enum class NodeKind : std::uint8_t { None, Root, Interior, Leaf };

// The kind as the user reads it: "", "Root", "Interior" or "Leaf".
std::string_view KindText(NodeKind kind);

// A text that takes one pointer while empty. Every removal moves each later
// slot of the node table down by one, and in the main tree this text is always
// empty, so the node record stays small and cheap to move.
class Text {
 public:
  Text() = default;
  Text(std::string value) { *this = std::move(value); }
  Text(const Text& other) { Assign(other.view()); }
  Text(Text&&) noexcept = default;
  Text& operator=(const Text& other) {
    if (this != &other) Assign(other.view());
    return *this;
  }
  Text& operator=(Text&&) noexcept = default;
  // A text once held keeps its buffer: the drawing pass rewrites every
  // description of its copy of the tree on each pass.
  Text& operator=(std::string value) {
    if (text_)
      *text_ = std::move(value);
    else if (!value.empty())
      text_ = std::make_unique<std::string>(std::move(value));
    return *this;
  }
  void Assign(std::string_view value) {
    if (text_)
      text_->assign(value);
    else if (!value.empty())
      text_ = std::make_unique<std::string>(value);
  }

  bool empty() const { return !text_ || text_->empty(); }
  std::string_view view() const { return text_ ? std::string_view(*text_) : std::string_view(); }
  std::string str() const { return std::string(view()); }
  operator std::string_view() const { return view(); }
  friend bool operator==(const Text& a, std::string_view b) { return a.view() == b; }

 private:
  std::unique_ptr<std::string> text_;
};

struct NodeRec {
  std::int16_t Data = 0;
  NodeKind Kind = NodeKind::None;
  std::int32_t Level = 0;
  std::int32_t LeftHeight = 0;
  std::int32_t RightHeight = 0;
  std::int32_t Parent = 0;
  std::int32_t LeftChild = 0;
  std::int32_t RightChild = 0;
  std::int32_t ControlIndex = 0;
  Text Description;
};

struct TreeRec {
  bool Exists = false;
  std::vector<NodeRec> Nodes;
  std::int32_t Root = 0;
  std::int32_t Count = 0;
  std::int32_t Height = 0;
  std::int32_t TreeLeftHeight = 0;
  std::int32_t TreeRightHeight = 0;
};

// A tree's fields besides its nodes, from one record to another: a tree, or
// anything that keeps them under the same names (a snapshot of one).
template <class From, class To>
void CopyTreeFields(const From& from, To& to) {
  to.Exists = from.Exists;
  to.Root = from.Root;
  to.Count = from.Count;
  to.Height = from.Height;
  to.TreeLeftHeight = from.TreeLeftHeight;
  to.TreeRightHeight = from.TreeRightHeight;
}

struct EngineState;

// Work counted for the benchmark build; zero elsewhere.
struct WorkCounters {
  std::uint64_t Rebalance = 0;
  std::uint64_t CheckBalance = 0;
  std::uint64_t FixUps = 0;
  std::uint64_t LevelDownVisits = 0;
};

// The class whose methods are reached by name through the tree walks. Every
// method works on the record its engine's SharedTree designates; an object
// made without a state works for the default engine.
class OrdersCode {
 public:
  using Method = void (OrdersCode::*)(std::int32_t& Num);

  OrdersCode();
  explicit OrdersCode(EngineState& state) : state_(&state) {}

  void LevelUp(std::int32_t& Num);
  void LevelDown(std::int32_t& Num);
  void PrintNode(std::int32_t& Num);

  // The method of that name, or nullptr when the class has none.
  static Method Lookup(std::string_view name);
  // Calls the named method; an unknown name is ignored (and asserts in debug).
  void CallByName(std::string_view name, std::int32_t& Num);

  EngineState& State() const { return *state_; }

 private:
  EngineState* state_;
};

// ---- The default instance's state, by its old names -------------------------

extern TreeRec& MainTree;
extern TreeRec& SharedTreeStore;
extern TreeRec*& SharedTree;
extern std::unique_ptr<OrdersCode>& Orders;
extern std::int16_t& DrawnElementCount;
extern std::string& LineBreak;
extern std::string& DoubleLineBreak;
extern WorkCounters& Counters;

// Puts every piece of an instance's state back as it is when the program
// starts; the drawing hooks stay installed.
void ResetModuleState(EngineState& state);
void ResetModuleState();

// ---- Operations ---------------------------------------------------------
// Each takes the engine instance it works for first; the forms without one
// work for the default instance. The balancing procedures (UpdateHeights,
// CheckBalance, Rebalance, Rotate and the fix-ups) run inside these; tests
// call them one at a time through TestHooks.h.

void ResetTree(EngineState& state, TreeRec& tree, bool keepNodes);
void InsertValue(EngineState& state, TreeRec& tree, std::int16_t value);
void DeleteNode(EngineState& state, TreeRec& tree, std::int32_t index);

// Why an erase of several values ended.
enum class EraseStop : std::uint8_t {
  None,     // every value was erased
  Empty,    // the tree no longer existed at the next value
  Missing,  // the next value was not in the tree
};

struct EraseResult {
  std::size_t Erased = 0;  // values erased, from the front of the list
  EraseStop Stop = EraseStop::None;
};

// The Erase command's rule, for any tree that runs it: the values in turn,
// stopping before the first one that meets an empty tree or is not in it.
// `isEmpty()` tells whether the tree is empty, `find(value)` gives the node
// a removal of `value` takes (-1 for none), and `remove(node, value)` removes it.
template <class IsEmpty, class Find, class Remove>
EraseResult EraseInTurn(std::span<const std::int16_t> values, IsEmpty&& isEmpty, Find&& find,
                        Remove&& remove) {
  EraseResult result;
  for (const std::int16_t value : values) {
    if (isEmpty()) {
      result.Stop = EraseStop::Empty;
      break;
    }
    const std::int32_t node = find(value);
    if (node == -1) {
      result.Stop = EraseStop::Missing;
      break;
    }
    remove(node, value);
    ++result.Erased;
  }
  return result;
}

// The Erase command's loop in one call: each value in turn is looked up with
// FindValue and removed, stopping at an empty tree or a missing value. The
// table comes out exactly as removing the values one by one with DeleteNode
// leaves it, but its gaps are closed once, at the end.
EraseResult EraseValues(EngineState& state, TreeRec& tree, std::span<const std::int16_t> values);
EraseResult EraseValues(TreeRec& tree, std::span<const std::int16_t> values);

void ResetTree(TreeRec& tree, bool keepNodes);
void AddNode(TreeRec& tree, std::int16_t value);
void InsertValue(TreeRec& tree, std::int16_t value);
std::int32_t FindValue(const TreeRec& tree, std::int32_t value);
void DeleteNode(TreeRec& tree, std::int32_t index);

// The leftmost node of the node's right subtree (its in-order successor), or
// the node itself when it has no right child; and the mirror. The heavy-side
// fix-up finds its neighbours with them, so they are inlined there.
inline std::int32_t LeftmostOfRight(const TreeRec& tree, std::int32_t index) {
  std::int32_t i = tree.Nodes[static_cast<std::size_t>(index)].RightChild;
  if (i == -1) return index;
  while (tree.Nodes[static_cast<std::size_t>(i)].LeftChild != -1)
    i = tree.Nodes[static_cast<std::size_t>(i)].LeftChild;
  return i;
}
inline std::int32_t RightmostOfLeft(const TreeRec& tree, std::int32_t index) {
  std::int32_t i = tree.Nodes[static_cast<std::size_t>(index)].LeftChild;
  if (i == -1) return index;
  while (tree.Nodes[static_cast<std::size_t>(i)].RightChild != -1)
    i = tree.Nodes[static_cast<std::size_t>(i)].RightChild;
  return i;
}

// What is wrong with the tree, or an empty text when it is sound: links inside
// the table and pointing back, every slot reached once from the root, Count,
// values in order, levels, kinds, every node's two heights, the tree's two
// heights equal to the root's, and Height no less than the real height.
// Balance is not required: the scheme leaves some nodes with sides two or
// more apart.
std::string Validate(const TreeRec& tree);

// ---- Hooks the drawing layer installs ------------------------------------

// Destroys run-time drawing element i (label, then circle, then line).
using DestroyElementFn = void (*)(std::int16_t i);
// Draws the children of SharedTree node Num.
using PrintNodeFn = void (*)(std::int32_t Num);
// For the default instance.
void SetDrawingHooks(DestroyElementFn destroyElement, PrintNodeFn printNode);

}  // namespace TreeCore

#include "EngineState.h"
