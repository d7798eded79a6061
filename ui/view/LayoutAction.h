// "Compact Layout" in a pane's menu: which layout the pane draws its tree in.
// The main pad remembers the choice (off at first, so the window starts as it
// always has); another pane may start with it on and keep it to itself.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <optional>

#include "CompactLayout.h"
#include "Templates.h"

class QAction;
class QMenu;
class QWidget;

namespace TreeUi {

class DrawSurface;

class LayoutAction final : public QObject {
  Q_OBJECT

 public:
  // The action goes into `menu` and onto `window` (Ctrl+L whichever control
  // has the focus); `redraw` is called when it is toggled. Without `start`
  // the choice is kept in ViewSettings, which gives its start too.
  LayoutAction(QWidget* window, QMenu* menu, DrawSurface* surface, std::function<void()> redraw,
               std::optional<bool> start = std::nullopt);

  QAction* Action() const { return action_; }
  TreeCore::TreeLayout Layout() const;
  // After each drawing on the surface: captions fitted to circles in compact.
  void Drawn();
  // Draws the main tree into `elements` (the window's ShowBTree), compact
  // when chosen, with the default engine and layout state.
  void DrawMainTree(TreeCore::ElementArrays& elements, std::int32_t maximumLevels);
  // With `showBalance` checked the compact layout leaves room for the badges
  // between circles, and its toggling redraws a compact tree.
  void FollowBadges(QAction* showBalance);

 private:
  QAction* action_;
  DrawSurface* surface_;
  std::function<void()> redraw_;
  QAction* badges_ = nullptr;
};

}  // namespace TreeUi
