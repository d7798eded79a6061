#include "NodeNavigation.h"

#include <cctype>

namespace TreeCore {

namespace {

bool Valid(const TreeRec& tree, std::int32_t node) {
  return node >= 0 && node < tree.Count && static_cast<std::size_t>(node) < tree.Nodes.size();
}

const NodeRec& At(const TreeRec& tree, std::int32_t node) {
  return tree.Nodes[static_cast<std::size_t>(node)];
}

// The far end of a chain of left (or right) children, the way down bounded by
// the count so that a damaged table cannot loop.
std::int32_t Extreme(const TreeRec& tree, std::int32_t node, bool left) {
  for (std::int32_t steps = 0; steps < tree.Count; ++steps) {
    const std::int32_t next = left ? At(tree, node).LeftChild : At(tree, node).RightChild;
    if (!Valid(tree, next)) break;
    node = next;
  }
  return node;
}

// The in-order neighbour: down one side then to the far end, or up until the
// walk comes from that side.
std::int32_t Neighbour(const TreeRec& tree, std::int32_t node, bool previous) {
  const NodeRec& n = At(tree, node);
  const std::int32_t down = previous ? n.LeftChild : n.RightChild;
  if (Valid(tree, down)) return Extreme(tree, down, !previous);
  std::int32_t child = node;
  for (std::int32_t steps = 0; steps < tree.Count; ++steps) {
    const std::int32_t parent = At(tree, child).Parent;
    if (!Valid(tree, parent)) return node;
    const NodeRec& p = At(tree, parent);
    if ((previous ? p.RightChild : p.LeftChild) == child) return parent;
    child = parent;
  }
  return node;
}

}  // namespace

std::int32_t MoveFrom(const TreeRec& tree, std::int32_t node, NodeMove move) {
  if (!tree.Exists || !Valid(tree, tree.Root)) return -1;
  if (!Valid(tree, node) || move == NodeMove::Root) return tree.Root;
  const NodeRec& n = At(tree, node);
  std::int32_t to = node;
  switch (move) {
    case NodeMove::Parent:
      to = n.Parent;
      break;
    case NodeMove::Left:
      to = n.LeftChild;
      break;
    case NodeMove::Right:
      to = n.RightChild;
      break;
    case NodeMove::Previous:
    case NodeMove::Next:
      return Neighbour(tree, node, move == NodeMove::Previous);
    case NodeMove::Root:
      break;
  }
  return Valid(tree, to) ? to : node;
}

std::string NodeName(const TreeRec& tree, std::int32_t node) {
  if (!Valid(tree, node)) return {};
  const NodeRec& n = At(tree, node);
  std::string kind(KindText(n.Kind));
  for (char& c : kind) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string name = std::to_string(n.Data);
  if (!kind.empty()) name += ", " + kind;
  name += ", level " + std::to_string(n.Level) + ", left height " + std::to_string(n.LeftHeight) +
          ", right height " + std::to_string(n.RightHeight);
  return name;
}

}  // namespace TreeCore
