// Paints a drawing's elements (lines, circles, captions) through a view
// transform, at the level of detail the scale allows: full detail, circles
// without captions once captions would be unreadable, and dots joined by
// hairlines once circles would be a few pixels wide. The pad, the export of
// a drawing and any other pane paint with it, so they all look alike.
#pragma once

#include <QFont>
#include <QPen>
#include <QRectF>
#include <string>
#include <vector>

#include "ElementIndex.h"
#include "Templates.h"
#include "view/geometry/ViewTransform.h"

class QPainter;

namespace TreeUi {

enum class Detail { Dots, Circles, Full };

// What a transform shows of elements of this size: decided on the template
// circle (element 0), whose size every element shares.
Detail DetailAt(const ViewTransform& view, const TreeCore::ElementArrays& elements);

// A ring in one of the pens of RolePen around element `Element`.
struct RoleRing {
  int Element = -1;
  int Role = 0;
};
// The pens of role rings: each its own colour and line style, so that roles
// are told apart without colour too. The outermost ring is drawn last. The
// first six are the balancing roles; then a node at another depth in a
// compared tree, and the node selected in both compared trees.
constexpr int RolePenCount = 8;
QPen RolePen(int role);
// How far outside the highlight ring a role's ring runs, and how far beyond
// its circle's edge it reaches, pen included (pixels).
double RoleRingDistance(int role);
double RoleRingReach(int role);

// The colours of the marks, for a legend that shows them.
struct MarkColours {
  QColor Ring, CircleFill, CircleOutline, WarnFill, WarnOutline, Badge;
};
MarkColours MarkColoursOf();

// Marks laid over the drawing, indexed by element k.
struct ElementDecorations {
  std::vector<int> Marked;          // a highlight ring around each
  std::vector<std::string> Badges;  // a short text beside the circle; "" for none
  std::vector<bool> Warn;           // the circle in the warning colour
  bool Empty() const { return Marked.empty() && Badges.empty() && Warn.empty(); }
};

// Spatial lookups over the three arrays, in model twips. Without them every
// element is looked at.
struct ElementLookups {
  const ElementIndex* Lines = nullptr;
  const ElementIndex* Shapes = nullptr;
  const ElementIndex* Labels = nullptr;
};

struct PaintOptions {
  // The caption font at 100 %; its pixel size follows the zoom.
  QFont CaptionFont = DefaultCaptionFont();
  const ElementDecorations* Decorations = nullptr;
  // Rings outside the highlight, by role; drawn with the decorations.
  const std::vector<RoleRing>* Roles = nullptr;
  // Badges drawn outlined, by element: heights that just changed.
  const std::vector<bool>* ChangedBadges = nullptr;
  const ElementLookups* Lookups = nullptr;
  bool FillBackground = true;
  // Each caption at its circle's centre in a font that keeps it inside the
  // circle (the compact layout and the pictures); off, captions sit in their
  // labels as they always have.
  bool FitCaptions = false;
  // Where the two scales differ (a fitted picture of a wide drawing), each
  // line runs between its two circles' edges as they are drawn, instead of
  // between its ends' places, which the unequal scales move off the circles.
  bool LinesBetweenCircles = false;
  // With it, a line that meets both its circles as drawn stays where the
  // drawing put it (the command line's pictures, which have always had them so).
  bool OnlyLinesThatMiss = false;

  static QFont DefaultCaptionFont();
};

// Paints what meets `area` (device pixels of the painter) and returns the
// number of elements drawn. Lines first, then circles, then captions, each
// kind in its stacking order; decorations on top.
int PaintElements(QPainter& painter, const TreeCore::ElementArrays& elements,
                  const ViewTransform& view, const QRectF& area, const PaintOptions& options = {});

// The smallest box holding every visible element, in model twips.
Extent DrawnExtent(const TreeCore::ElementArrays& elements);

}  // namespace TreeUi
