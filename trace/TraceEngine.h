// The engine calls the trace makes, on a tree of its own choosing, with an
// engine state of its own, so that nothing of the window's state is touched.
#pragma once

#include <cstdint>
#include <memory>

#include "EngineState.h"
#include "TreeCore.h"
#include "TreeObserver.h"

namespace TreeTrace {

class Engine {
 public:
  Engine();
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // The observer that receives the events of the calls below; nullptr for none.
  void SetObserver(TreeCore::TreeObserver* observer) { state_->Observer = observer; }
  TreeCore::TreeObserver* Observer() const { return state_->Observer; }
  // The engine's speed-ups; Tuning::Plain() runs the procedures step by step.
  void SetTuning(const TreeCore::Tuning& tuning) { state_->Tuning = tuning; }

  // For the commands' runner (TreeCommands::SchemeTree).
  TreeCore::EngineState& State() { return *state_; }

  void Reset(TreeCore::TreeRec& tree, bool keepNodes);
  void Insert(TreeCore::TreeRec& tree, std::int16_t value);
  void Delete(TreeCore::TreeRec& tree, std::int32_t index);

 private:
  std::unique_ptr<TreeCore::EngineState> state_;
};

}  // namespace TreeTrace
