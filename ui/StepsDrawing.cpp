#include "StepsDrawing.h"

namespace TreeUi {

std::vector<std::int32_t> DrawStepTree(const TreeCore::TreeRec& tree,
                                       TreeCore::ElementArrays& elements) {
  (void)tree;
  (void)elements;
  return {};
}

}  // namespace TreeUi
