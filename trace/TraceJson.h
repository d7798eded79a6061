// The trace as JSON lines, one object per event, for scripts and exercise sheets.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "TreeCore.h"
#include "TreeObserver.h"

namespace TreeTrace {

class JsonTraceWriter final : public TreeCore::TreeObserver {
 public:
  explicit JsonTraceWriter(std::ostream& out) : out_(out) {}

  void OnInsert(std::int16_t value, std::int32_t node) override;
  void OnRotate(TreeCore::ChainKind kind, std::int32_t node, std::int16_t value) override;
  void OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) override;
  void OnErase(std::int16_t value, std::int32_t node) override;
  // {"event":"message","text":"..."}
  void Message(std::string_view text);
  // {"event":"done","nodes":Count,"height":Height}: the end of every command.
  void Done(const TreeCore::TreeRec& tree);

  // With a tree, a state line of it comes before every rotate, fixup, erase
  // and done line (--states); Get Tree adds one before each value with State.
  void ShowStates(const TreeCore::TreeRec* tree) { states_ = tree; }
  void State();

 private:
  void Line(const std::string& line);
  std::ostream& out_;
  const TreeCore::TreeRec* states_ = nullptr;
};

// {"event":"state","root":R,"count":C,"height":H,"left":L,"right":RH,"nodes":[...]}: the
// tree's own fields and its first Count slots as they stand, each as
// [Data,Parent,LeftChild,RightChild,Level,Kind,LeftHeight,RightHeight].
std::string StateLine(const TreeCore::TreeRec& tree);

// `text` as a JSON string, quotes included.
std::string JsonString(std::string_view text);

}  // namespace TreeTrace
