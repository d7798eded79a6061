// The drawing surface inside the viewport. Its position and size are kept in
// twips and may be far larger than any widget can be (a tree of 32767 nodes
// is hundreds of thousands of pixels wide), so the widget itself only covers
// the part of the surface that lies inside the viewport and paints that part,
// offset by the surface's position.
#pragma once

#include <QFont>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "ElementIndex.h"
#include "Templates.h"
#include "view/ElementPainter.h"
#include "view/geometry/ViewTransform.h"

class QFrame;

namespace TreeCore {
struct TreeRec;
}

namespace TreeUi {

// Which node of which tree each element shows, for the keyboard's node cursor
// and for screen readers. A pad without them has no nodes to visit.
struct PadNodes {
  std::function<const TreeCore::TreeRec*()> Tree;
  std::function<std::int32_t(int element)> NodeOf;  // -1 for none
  std::function<int(std::int32_t node)> ElementOf;  // -1 for none
};

class DrawSurface final : public QWidget {
  Q_OBJECT

 public:
  // `viewport` is the framed widget whose client area shows the surface.
  DrawSurface(TreeCore::ElementArrays& elements, QFrame* viewport);

  const TreeCore::ElementArrays& Elements() const { return elements_; }

  // Position within the viewport's client area, and size, in twips.
  double Left() const { return left_; }
  double Top() const { return top_; }
  double Width() const { return width_; }
  double Height() const { return height_; }
  void SetLeft(double left);
  void SetTop(double top);
  void SetWidth(double width);
  void SetHeight(double height);

  // How the drawing lies on the surface: a drawing point (twips) x shows at
  // surface twip (x - originX) * zoomX, and likewise vertically. At 100 %
  // both zooms are 1 and the origin is (0, 0), so that the surface is the
  // drawing.
  void SetView(double zoomX, double zoomY, double originX, double originY);
  double ZoomX() const { return zoomX_; }
  double ZoomY() const { return zoomY_; }
  double OriginX() const { return originX_; }
  double OriginY() const { return originY_; }
  // Drawing twips to pixels of this widget.
  ViewTransform Transform() const;

  // The elements were created, moved, shown or destroyed: the lookups are
  // rebuilt before the next paint or hit test.
  void ElementsChanged();
  // Counts ElementsChanged calls, so that what is derived from the elements
  // knows when to derive it again.
  unsigned Generation() const { return generation_; }
  void SetNodes(PadNodes nodes) { nodes_ = std::move(nodes); }
  const PadNodes& Nodes() const { return nodes_; }
  // The box of the visible elements, in drawing twips.
  Extent DrawnBounds() const;

  // Decorations, indexed by element k; empty for none.
  void SetMarkedElements(std::vector<int> elements);
  void SetRoleRings(std::vector<RoleRing> rings);
  const std::vector<RoleRing>& RoleRings() const { return roles_; }
  void SetBadges(std::vector<std::string> badgeByElement, std::vector<bool> warnByElement);
  // Badges drawn outlined, by element: heights that just changed.
  void SetChangedBadges(std::vector<bool> changedByElement);
  const std::vector<bool>& ChangedBadges() const { return changedBadges_; }
  const ElementDecorations& Decorations() const { return decorations_; }
  // Captions centred in their circles in a font that fits them (the compact
  // layout); off, they sit in their labels as the slot layout has them.
  void SetFitCaptions(bool on);
  bool FitCaptions() const { return fitCaptions_; }

  // A short note in the corner of the viewport; empty for none.
  void SetHint(const QString& hint);
  const QString& Hint() const { return hint_; }

  // A press that turned into a drag is no click.
  void CancelClick() { pressedLabel_ = -1; }

  // The point of this widget (logical pixels) that shows a surface point in twips.
  QPointF ToLocal(double xTwips, double yTwips) const;
  // The visible label under a point of this widget, the one in front where
  // labels overlap; -1 when there is none. Labels too small to aim at are
  // found within a few pixels, the one nearest the point winning.
  int LabelAt(QPointF local) const;
  // The tooltip of that label, with Qt's line breaks; empty when none.
  QString ToolTipAt(QPointF local) const;

  // Paints what meets `area` (logical pixels of this widget): lines, then
  // circles, then labels.
  void Paint(QPainter& painter, const QRectF& area) const;
  // Elements (lines, circles and labels) that the last paint drew.
  int LastPaintedCount() const { return painted_; }

 signals:
  void LabelClicked(int index);
  // A right-click (or the menu key) over the surface, at a point of this widget.
  void MenuRequested(QPoint global, QPointF local);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // Fits the widget to the part of the surface inside the viewport's client area.
  void Place();
  void RebuildIfNeeded() const;
  Box ToTwips(const QRectF& local) const;

  TreeCore::ElementArrays& elements_;
  QFrame* viewport_;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  double zoomX_ = 1, zoomY_ = 1, originX_ = 0, originY_ = 0;
  int pressedLabel_ = -1;
  QFont captionFont_;
  ElementDecorations decorations_;
  std::vector<RoleRing> roles_;
  std::vector<bool> changedBadges_;
  QString hint_;
  PadNodes nodes_;
  unsigned generation_ = 0;
  bool fitCaptions_ = false;

  mutable int painted_ = 0;
  mutable bool dirty_ = true;
  mutable ElementIndex lines_, shapes_, labels_;
  mutable Extent bounds_;
};

// A description as Qt shows it: its CR LF line breaks become LF.
QString DisplayText(const std::string& text);

}  // namespace TreeUi
