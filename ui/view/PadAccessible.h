// The pad as a screen reader sees it: the surface is a tree whose children
// are the drawn nodes, each named like "50, root, level 1, left height 2,
// right height 3" (drawing/NodeNavigation.h).
#pragma once

namespace TreeUi {

class DrawSurface;

// Lets Qt's accessibility find the interface of every DrawSurface; called by
// the surface itself, once is enough.
void InstallPadAccessibility();

// The accessible child that shows element `element`, -1 for none; for the
// focus events of the node cursor.
int AccessibleChildOf(DrawSurface* surface, int element);

}  // namespace TreeUi
