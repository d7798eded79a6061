// What the balancing does, reported as it happens. The engine calls the
// observer attached to the state it runs on; with none attached it does no
// work for it. An observer only watches: it must not touch the tree.
#pragma once

#include <cstdint>

namespace TreeCore {

// The four chain rotations, named by the path from the chain's top.
enum class ChainKind : std::uint8_t { RR, RL, LL, LR };

// "RR", "RL", "LL" or "LR".
constexpr const char* ChainKindText(ChainKind kind) {
  switch (kind) {
    case ChainKind::RR:
      return "RR";
    case ChainKind::RL:
      return "RL";
    case ChainKind::LL:
      return "LL";
    case ChainKind::LR:
      return "LR";
  }
  return "";
}

class TreeObserver {
 public:
  virtual ~TreeObserver() = default;
  // `value` was added in slot `node`.
  virtual void OnInsert(std::int16_t value, std::int32_t node) = 0;
  // A chain rotation starts; `node` is the chain's top before it.
  virtual void OnRotate(ChainKind kind, std::int32_t node, std::int16_t value) = 0;
  // A heavy-side fix-up starts on `node`; `rightHeavy` names the heavy side.
  virtual void OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) = 0;
  // `node` is about to be removed; its index is the one before the table closes the gap.
  virtual void OnErase(std::int16_t value, std::int32_t node) = 0;
};

}  // namespace TreeCore
