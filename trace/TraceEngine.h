// The engine calls the trace makes, on a tree of its own choosing, with an
// observer attached only while it asks for one.
#pragma once

#include <cstdint>

#include "TreeCore.h"
#include "TreeObserver.h"

namespace TreeTrace {

class Engine {
 public:
  // The observer that receives the events of the calls below; nullptr for none.
  void SetObserver(TreeCore::TreeObserver* observer) { observer_ = observer; }
  TreeCore::TreeObserver* Observer() const { return observer_; }

  void Reset(TreeCore::TreeRec& tree, bool keepNodes);
  void Insert(TreeCore::TreeRec& tree, std::int16_t value);
  void Delete(TreeCore::TreeRec& tree, std::int32_t index);

 private:
  TreeCore::TreeObserver* observer_ = nullptr;
};

// Attaches `observer` to the engine state the window's commands run on
// (nullptr detaches it).
void AttachMainObserver(TreeCore::TreeObserver* observer);

}  // namespace TreeTrace
