#include <array>
#include <cassert>
#include <utility>

#include "Internal.h"
#include "TreeCore.h"

namespace TreeCore {

void OrdersCode::LevelUp(std::int32_t& Num) {
  ++state_->SharedTree->Nodes[static_cast<std::size_t>(Num)].Level;
}

void OrdersCode::LevelDown(std::int32_t& Num) {
  TREECORE_COUNT(*state_, LevelDownVisits);
  --state_->SharedTree->Nodes[static_cast<std::size_t>(Num)].Level;
}

OrdersCode::Method OrdersCode::Lookup(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, Method>, 3> table{{
      {"LevelUp", &OrdersCode::LevelUp},
      {"LevelDown", &OrdersCode::LevelDown},
      {"PrintNode", &OrdersCode::PrintNode},
  }};
  for (const auto& [entry, method] : table)
    if (entry == name) return method;
  return nullptr;
}

void OrdersCode::CallByName(std::string_view name, std::int32_t& Num) {
  const Method method = Lookup(name);
  if (method == nullptr) {
    assert(!"CallByName: OrdersCode has no method of that name");
    return;
  }
  (this->*method)(Num);
}

}  // namespace TreeCore
