// The window's design-time elements 0 of the three element arrays. The window
// and the tests build their arrays from these, so both draw with one geometry.
#pragma once

#include "Controls.h"

namespace TreeCore {

// Label showing a node's value, 90 twips down inside its circle.
inline Label TreeNodeTemplate() {
  Label label;
  label.Left = 0;
  label.Top = 90;
  label.Width = 375;
  label.Height = 255;
  label.Caption = "123";
  label.Visible = true;
  return label;
}

inline Shape ShNodeTemplate() {
  Shape shape;
  shape.Left = 0;
  shape.Top = 0;
  shape.Width = 375;
  shape.Height = 375;
  shape.BorderWidth = 1;
  shape.Visible = true;
  return shape;
}

// The line's ends are set by the drawing.
inline Line LnNodeTemplate() {
  Line line;
  line.Visible = true;
  return line;
}

// The three arrays as the window holds them, each with its template only.
struct ElementArrays {
  ControlArray<Label> TreeNode{TreeNodeTemplate()};
  ControlArray<Shape> ShNode{ShNodeTemplate()};
  ControlArray<Line> LnNode{LnNodeTemplate()};
};

}  // namespace TreeCore
