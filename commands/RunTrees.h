// The trees the runner runs commands on: the scheme's engine tree, and the
// textbook AVL tree set beside it.
#pragma once

#include <cstdint>
#include <span>

#include "AvlTree.h"
#include "EngineState.h"
#include "Runner.h"
#include "TreeCore.h"

namespace TreeCommands {

// An engine tree with the engine instance that works on it; the instance's
// observer hears every insertion, rotation, fix-up and erase.
class SchemeTree final : public RunTree {
 public:
  // How Erase removes its values. OneByOne: DeleteNode for each, the
  // procedures' own order of events. InBatches: the engine's batch erase
  // (EraseValues), many values per call when no one watches each, one per
  // call when someone does, as the window has always run it.
  enum class Erasing : std::uint8_t { OneByOne, InBatches };

  SchemeTree(TreeCore::EngineState& engine, TreeCore::TreeRec& tree,
             Erasing erasing = Erasing::OneByOne)
      : engine_(&engine), tree_(&tree), erasing_(erasing) {}

  void Clear() override { TreeCore::ResetTree(*engine_, *tree_, false); }
  void Insert(std::int16_t value) override { TreeCore::InsertValue(*engine_, *tree_, value); }
  bool Empty() const override { return !tree_->Exists; }
  std::int32_t Find(std::int32_t value) const override {
    return TreeCore::FindValue(*tree_, value);
  }
  void Remove(std::int32_t node, std::int16_t value) override;
  TreeCore::EraseResult RemoveInTurn(std::span<const std::int16_t> values) override;

  TreeCore::TreeRec& Tree() const { return *tree_; }

 private:
  TreeCore::EngineState* engine_;
  TreeCore::TreeRec* tree_;
  Erasing erasing_;
};

// The AVL tree; its observer (Avl::Tree::SetObserver) hears the rotations.
class AvlSide final : public RunTree {
 public:
  explicit AvlSide(Avl::Tree& tree) : tree_(&tree) {}

  void Clear() override { tree_->Clear(); }
  void Insert(std::int16_t value) override { tree_->Insert(value); }
  bool Empty() const override { return tree_->Empty(); }
  std::int32_t Find(std::int32_t value) const override { return tree_->Find(value); }
  void Remove(std::int32_t node, std::int16_t value) override;

  Avl::Tree& Tree() const { return *tree_; }

 private:
  Avl::Tree* tree_;
};

}  // namespace TreeCommands
