// libFuzzer entry: the AVL tree against the plain pointer model. A Get Tree
// list and an Erase list; after every step the shapes, the rotations and
// Validate must agree.
//
// Format: the first byte is the length of the Get Tree list; one signed byte
// per value follows, then the Erase list, one signed byte per value.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "AvlModel.h"
#include "AvlTree.h"

namespace {

struct Recorder final : Avl::Observer {
  std::string rotations;
  void OnRotate(Avl::Rotation kind, std::int16_t) override {
    rotations += Avl::RotationText(kind);
    rotations += ' ';
  }
};

void Check(bool ok, const char* what, std::int16_t value) {
  if (ok) return;
  std::fprintf(stderr, "AVL tree and model differ: %s at %d\n", what, value);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t length = data[0];
  Avl::Tree tree;
  Recorder seen;
  tree.SetObserver(&seen);
  AvlModel::Model model;
  for (std::size_t i = 1; i < size; ++i) {
    const auto v = static_cast<std::int16_t>(static_cast<std::int8_t>(data[i]));
    if (i <= length) {
      tree.Insert(v);
      model.Insert(model.root, v);
    } else {
      Check(tree.Erase(v) == model.Erase(model.root, v), "found", v);
    }
    Check(tree.Preorder() == model.Preorder(), "shape", v);
    Check(seen.rotations == model.rotations, "rotations", v);
    Check(tree.Validate().empty(), "Validate", v);
  }
  return 0;
}
