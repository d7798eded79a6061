#include "view/MainTreeNodes.h"

#include "Drawing.h"
#include "NodeElement.h"

namespace TreeUi {

PadNodes MainTreeNodes(const TreeCore::ElementArrays& elements) {
  PadNodes nodes;
  nodes.Tree = [] { return &TreeCore::MainTree; };
  nodes.NodeOf = [](int element) -> std::int32_t {
    const std::vector<std::int32_t>& of = TreeCore::DefaultDrawing().NodeOfElement;
    return element >= 0 && static_cast<std::size_t>(element) < of.size()
               ? of[static_cast<std::size_t>(element)]
               : -1;
  };
  nodes.ElementOf = [&elements](std::int32_t node) { return ElementOfNode(node, elements); };
  return nodes;
}

}  // namespace TreeUi
