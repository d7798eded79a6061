#include "RunTrees.h"

#include <cassert>

namespace TreeCommands {

void SchemeTree::Remove(std::int32_t node, std::int16_t value) {
  if (erasing_ == Erasing::OneByOne) {
    TreeCore::DeleteNode(*engine_, *tree_, node);
    return;
  }
  // The batch looks the value up again; it finds the same node.
  [[maybe_unused]] const TreeCore::EraseResult result =
      TreeCore::EraseValues(*engine_, *tree_, std::span<const std::int16_t>(&value, 1));
  assert(result.Erased == 1);
}

TreeCore::EraseResult SchemeTree::RemoveInTurn(std::span<const std::int16_t> values) {
  if (erasing_ == Erasing::InBatches) return TreeCore::EraseValues(*engine_, *tree_, values);
  return RunTree::RemoveInTurn(values);
}

void AvlSide::Remove(std::int32_t node, std::int16_t value) {
  // A removal walks from the root by value and takes the node Find gave.
  (void)node;
  [[maybe_unused]] const bool removed = tree_->Erase(value);
  assert(removed);
}

}  // namespace TreeCommands
