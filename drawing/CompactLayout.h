// The compact layout: the levels stay rows, but a row is only as wide as its
// nodes need, so the width grows with the number of nodes instead of doubling
// with every level. It moves the elements a drawing pass made (labels,
// circles, lines) and leaves everything else of the drawing as it was:
// descriptions, which node each element shows, the stacking order.
#pragma once

#include <cstdint>
#include <vector>

#include "DrawingState.h"
#include "TreeCore.h"

namespace TreeCore {

// Which layout a picture or a pane uses.
enum class TreeLayout { Slots, Compact };

// The two ways of placing nodes in a row (docs/layouts.md compares them).
enum class CompactScheme {
  InOrder,  // one column per node: left to right reads the sorted values
  Tidy,     // subtrees packed as close as their outlines allow
};

// Free space between two neighbouring circles of a row, in twips (8 pixels).
inline constexpr float CompactGap = 120;
// The same with Show Balance on: room for a badge such as "+12" beside its
// circle, outside the steps pane's role rings, clear of the next circle
// (34 pixels).
inline constexpr float BadgeGap = 510;

// Each node's column, in half columns from the leftmost node, by node index;
// -1 for a slot that the walk from the root does not reach.
std::vector<std::int32_t> InOrderColumns(const TreeRec& tree);
std::vector<std::int32_t> TidyColumns(const TreeRec& tree);

// Moves the elements that the last drawing pass with `layout` made for `tree`
// to the compact places and sets the layout's DrawingWidth and DrawingHeight
// to the new extent. Lines run between the two circles' edges.
void ApplyCompactLayout(const TreeRec& tree, DrawingState& layout,
                        CompactScheme scheme = CompactScheme::Tidy, float gap = CompactGap);

}  // namespace TreeCore
