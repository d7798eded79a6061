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

 private:
  void Line(const std::string& line);
  std::ostream& out_;
};

// `text` as a JSON string, quotes included.
std::string JsonString(std::string_view text);

}  // namespace TreeTrace
