// Tree layout, node rendering and the drawing pass over the element model.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Controls.h"
#include "Templates.h"
#include "TreeCore.h"

namespace TreeCore {

// ---- Layout state ---------------------------------------------------------

extern float NodeUnit;
extern std::int32_t LayoutLevels;
extern std::vector<float> LevelWidth;  // indexed by level, slot 0 unused
extern float DrawingWidth;
extern float DrawingHeight;
// The arrays the last drawing pass was given; ResetTree destroys through them.
extern ControlArray<Label>* TreeNodeArray;
extern ControlArray<Shape>* ShNodeArray;
extern ControlArray<Line>* LnNodeArray;

// Bounds of the layout: every pass lays out at least one level, and never more
// than the deepest drawing that 32767 elements can make needs.
inline constexpr std::int32_t MinLayoutLevels = 1;
inline constexpr std::int32_t MaxLayoutLevels = 32768;
// A label sits this many twips below the top of its circle.
inline constexpr float LabelDrop = 90;

// Slot width of a subtree whose top node lies on `level`.
float SubtreeWidth(std::int32_t level);

// The node's multi-line description, as its label's tooltip shows it. The
// parent line names `parent` (-1 for the root); the two-argument form takes
// the node's own Parent link.
std::string NodeDescription(const TreeRec& tree, std::int32_t index, std::int32_t parent);
std::string NodeDescription(const TreeRec& tree, std::int32_t index);

// Draws the main tree into the three arrays.
void DrawTree(ControlArray<Label>& TreeNode, ControlArray<Shape>& ShNode,
              ControlArray<Line>& LnNode, std::int32_t MaximumLevels);

// Pre-order walk calling `methodName` on target for every node.
void CallPreOrder(std::vector<NodeRec>& nodes, std::int32_t index, OrdersCode& target,
                  std::string_view methodName);

// Installs the engine hooks (element destruction, PrintNode). Safe to call twice.
void InstallDrawingHooks();

// Puts the layout state back as it is when the program starts.
void ResetDrawingState();

}  // namespace TreeCore
