// Show Balance on the pad: the badges of drawing/BalanceBadges.h put on a
// surface.
#pragma once

#include <QObject>
#include <cstdint>
#include <vector>

#include "TreeCore.h"

class QAction;
class QMenu;
class QWidget;

namespace TreeUi {

class DrawSurface;

// Puts them on the surface, or takes them off when `on` is false.
void ShowBalance(DrawSurface& surface, const TreeCore::TreeRec& tree,
                 const std::vector<std::int32_t>& nodeOfElement, bool on);

// "Show Balance" in the pad's menu, for the main tree on the main pad.
class BalanceAction final : public QObject {
  Q_OBJECT

 public:
  BalanceAction(QWidget* window, QMenu* menu, DrawSurface* surface);
  QAction* Action() const { return action_; }
  // After every drawing of the main tree, and when the action is toggled.
  void Update();

 private:
  QAction* action_;
  DrawSurface* surface_;
};

}  // namespace TreeUi
