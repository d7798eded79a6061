#include "TraceEngine.h"

namespace TreeTrace {

void Engine::Reset(TreeCore::TreeRec& tree, bool keepNodes) {
  TreeCore::ResetTree(tree, keepNodes);
}

void Engine::Insert(TreeCore::TreeRec& tree, std::int16_t value) {
  TreeCore::InsertValue(tree, value);
}

void Engine::Delete(TreeCore::TreeRec& tree, std::int32_t index) {
  TreeCore::DeleteNode(tree, index);
}

void AttachMainObserver(TreeCore::TreeObserver* observer) {
  (void)observer;
}

}  // namespace TreeTrace
