// A pane that shows one tree other than the main one: a caption, the drawing
// in a framed viewport with the pad's view (zoom, fit, wheel and drag), the
// nodes it marks, rings by role, badges, and clicks on nodes. Before and
// After in the steps window and both panes of the compare window are each
// one; so is any later window that shows a tree of its own.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "StepsDrawing.h"
#include "Templates.h"

class QFrame;
class QGridLayout;
class QLabel;

namespace TreeUi {

class DrawSurface;
class PadView;

// A ring of role `Role` (a pen of RolePen) around the node `Node`.
struct NodeRing {
  std::int32_t Node = -1;
  int Role = 0;
};

class TreePane final : public QWidget {
  Q_OBJECT

 public:
  // `name` prefixes the object names of the viewport ("<name>Pane") and of
  // the surface ("<name>Surface").
  TreePane(const QString& caption, const char* name, QWidget* parent = nullptr);
  ~TreePane() override;

  // Screen readers find the shown tree's nodes, as on the main pad.
  void ExposeNodes();
  void SetCaptionShown(bool shown);
  // A widget under the viewport (a pane's own summary line).
  void AddBelow(QWidget* widget);

  // Draws `tree` in `layout`, with the nodes in `sortedMarks` (slots, sorted)
  // ringed. The view is left as it was: see ShowWhole and ShowTogether.
  void Show(TreeCore::TreeRec tree, std::vector<std::int32_t> sortedMarks,
            TreeCore::TreeLayout layout);
  // Nothing shown: an empty tree.
  void Clear() { Show({}, {}, TreeCore::TreeLayout::Compact); }
  // The compact layout leaves room for Show Balance's badges between circles.
  void SetRoomForBadges(bool on) { drawing_.SetRoomForBadges(on); }

  // ---- Marks --------------------------------------------------------------
  // Rings by role, drawn in the order given (the last outermost).
  void SetRings(const std::vector<NodeRing>& rings);
  // Show Balance's badges on the shown tree, or none.
  void ShowBalance(bool on);
  // Badges drawn outlined, by element; empty for none.
  void SetChangedBadges(std::vector<bool> changedByElement);

  // ---- The view -------------------------------------------------------------
  // The tree at 100 %, centred, when it fits the viewport so, else whole.
  void ShowWhole();
  // `a` and `b` at one scale, the largest up to 100 % at which both trees
  // are whole, each root at the same point of its viewport. A pane resized
  // while it has a partner shown is fitted with it again.
  static void ShowTogether(TreePane& a, TreePane& b);
  void SetPartner(TreePane* partner) { partner_ = partner; }

  // ---- What it shows --------------------------------------------------------
  const TreeCore::TreeRec& Tree() const { return shown_; }
  const std::vector<std::int32_t>& NodeOfElement() const { return nodeOfElement_; }
  const std::vector<std::int32_t>& Marked() const { return marked_; }
  // The element that shows `node`, -1 for none.
  int ElementOf(std::int32_t node) const;
  std::int32_t NodeOf(int element) const;
  TreeCore::ElementArrays& Elements() { return elements_; }
  const TreeCore::ElementArrays& Elements() const { return elements_; }
  DrawSurface* Surface() const { return surface_; }
  PadView* View() const { return view_; }
  QFrame* Viewport() const { return viewport_; }
  // The root's centre, in pixels of the viewport; invalid for an empty tree.
  QPointF RootPoint() const;

 signals:
  // A click on the node `node`, shown by `element`.
  void NodeClicked(std::int32_t node, int element);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refit();

  TreeCore::ElementArrays elements_;
  StepsDrawing drawing_;
  TreeCore::TreeRec shown_;
  std::vector<std::int32_t> nodeOfElement_, marked_;
  QLabel* caption_ = nullptr;
  QGridLayout* grid_ = nullptr;
  QFrame* viewport_ = nullptr;
  DrawSurface* surface_ = nullptr;
  PadView* view_ = nullptr;
  TreePane* partner_ = nullptr;
  bool fitting_ = false;
};

}  // namespace TreeUi
