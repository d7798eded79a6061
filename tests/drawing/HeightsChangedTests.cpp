// The badges the steps pane outlines: the nodes whose side heights an event
// changed, the same node found again after the table closes up.
#include <gtest/gtest.h>

#include <vector>

#include "BalanceBadges.h"
#include "TreeCore.h"

using namespace TreeCore;

namespace {

TreeRec Built(std::initializer_list<std::int16_t> values) {
  TreeRec t;
  for (const std::int16_t v : values) InsertValue(t, v);
  return t;
}

// The changed nodes' values, element k showing slot k.
std::vector<std::int16_t> ChangedValues(const TreeRec& before, const TreeRec& after,
                                        std::int32_t removed) {
  std::vector<std::int32_t> slots(static_cast<std::size_t>(after.Count));
  for (std::int32_t k = 0; k < after.Count; ++k) slots[static_cast<std::size_t>(k)] = k;
  const std::vector<bool> changed = TreeUi::HeightsChanged(before, after, slots, removed);
  std::vector<std::int16_t> values;
  for (std::size_t k = 0; k < changed.size(); ++k)
    if (changed[k]) values.push_back(after.Nodes[k].Data);
  return values;
}

TEST(HeightsChanged, NewNodesAndChangedSidesOnly) {
  struct Case {
    const char* name;
    TreeRec before, after;
    std::int32_t removed;
    std::vector<std::int16_t> changed;
  };
  TreeRec erased = Built({5, 3, 8, 2});
  const std::int16_t three[] = {3};
  EraseValues(erased, three);
  for (const Case& c : std::vector<Case>{
           {"an insert: the new node and its parent", Built({5, 3}), Built({5, 3, 8}), -1, {5, 8}},
           {"nothing changed", Built({5, 3, 8}), Built({5, 3, 8}), -1, {}},
           // 3 sat in slot 1: 8 and 2 moved down a slot with their heights as they were.
           {"an erase closes the table up", Built({5, 3, 8, 2}), erased, 1, {5}},
       }) {
    EXPECT_EQ(ChangedValues(c.before, c.after, c.removed), c.changed) << c.name;
  }
}

}  // namespace
