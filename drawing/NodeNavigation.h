// Moving from node to node as the keyboard does on the pad: to the root, the
// parent, either child, or the in-order neighbours; and a node's name as a
// screen reader says it. Qt-free.
#pragma once

#include <cstdint>
#include <string>

#include "TreeCore.h"

namespace TreeCore {

enum class NodeMove : std::uint8_t { Root, Parent, Left, Right, Previous, Next };

// The node a move from `node` reaches; `node` itself where there is none (a
// leaf has no children, the first node no previous one). From an index that
// names no node of the tree, every move goes to the root; in an empty tree
// the answer is -1.
std::int32_t MoveFrom(const TreeRec& tree, std::int32_t node, NodeMove move);

// "50, root, level 1, left height 2, right height 3".
std::string NodeName(const TreeRec& tree, std::int32_t node);

}  // namespace TreeCore
