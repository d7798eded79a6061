// Tree layout, node rendering and the drawing pass over the element model.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Controls.h"
#include "DrawingState.h"
#include "Templates.h"
#include "TreeCore.h"

namespace TreeCore {

// ---- The default layout state, by its old names ----------------------------

extern float& NodeUnit;
extern std::int32_t& LayoutLevels;
extern std::vector<float>& LevelWidth;  // indexed by level, slot 0 unused
extern float& DrawingWidth;
extern float& DrawingHeight;
// The arrays the last drawing pass was given; ResetTree destroys through them.
extern ControlArray<Label>*& TreeNodeArray;
extern ControlArray<Shape>*& ShNodeArray;
extern ControlArray<Line>*& LnNodeArray;

// Bounds of the layout: every pass lays out at least one level, and never more
// than the deepest drawing that 32767 elements can make needs.
inline constexpr std::int32_t MinLayoutLevels = 1;
inline constexpr std::int32_t MaxLayoutLevels = 32768;
// A label sits this many twips below the top of its circle.
inline constexpr float LabelDrop = 90;

// Slot width of a subtree whose top node lies on `level`.
float SubtreeWidth(const DrawingState& layout, std::int32_t level);
float SubtreeWidth(std::int32_t level);

// The node's multi-line description, as its label's tooltip shows it. The
// parent line names `parent` (-1 for the root); the two-argument form takes
// the node's own Parent link. The lines are broken with the engine's line
// breaks (the default engine's when none is given).
std::string NodeDescription(const EngineState& engine, const TreeRec& tree, std::int32_t index,
                            std::int32_t parent);
std::string NodeDescription(const TreeRec& tree, std::int32_t index, std::int32_t parent);
std::string NodeDescription(const TreeRec& tree, std::int32_t index);

// Draws `tree` into the three arrays with `layout`, using `engine` for the
// shared copy, the element count and the line breaks. Neither the main tree
// nor any other instance is touched. The engine's drawing hooks are pointed at
// `layout`, so that ResetTree(engine, ...) destroys these elements.
void DrawTreeInto(EngineState& engine, DrawingState& layout, const TreeRec& tree,
                  ControlArray<Label>& TreeNode, ControlArray<Shape>& ShNode,
                  ControlArray<Line>& LnNode, std::int32_t MaximumLevels);

// Draws the default engine's main tree with the default layout.
void DrawTree(ControlArray<Label>& TreeNode, ControlArray<Shape>& ShNode,
              ControlArray<Line>& LnNode, std::int32_t MaximumLevels);

// Destroys the run-time elements the last pass with `layout` created (as
// ResetTree does for the main window), sets the engine's element count to 0
// and forgets which node each element showed. The arrays stay the layout's.
void ResetDrawing(EngineState& engine, DrawingState& layout);

// Pre-order walk calling `methodName` on target for every node.
void CallPreOrder(std::vector<NodeRec>& nodes, std::int32_t index, OrdersCode& target,
                  std::string_view methodName);

// Points the engine's hooks (element destruction, PrintNode) at `layout`.
// Safe to call twice. The form without arguments does it for the defaults.
void InstallDrawingHooks(EngineState& engine, DrawingState& layout);
void InstallDrawingHooks();

// Puts the layout state back as it is when the program starts.
void ResetDrawingState(DrawingState& layout);
void ResetDrawingState();

}  // namespace TreeCore
