#include "TraceEngine.h"

namespace TreeTrace {

Engine::Engine() : state_(std::make_unique<TreeCore::EngineState>()) {
  // The trees it is given are its callers' own copies, changed only
  // through it.
  state_->KeepInOrderLinks = true;
}
Engine::~Engine() = default;

void Engine::Reset(TreeCore::TreeRec& tree, bool keepNodes) {
  TreeCore::ResetTree(*state_, tree, keepNodes);
}

void Engine::Insert(TreeCore::TreeRec& tree, std::int16_t value) {
  TreeCore::InsertValue(*state_, tree, value);
}

void Engine::Delete(TreeCore::TreeRec& tree, std::int32_t index) {
  TreeCore::DeleteNode(*state_, tree, index);
}

}  // namespace TreeTrace
