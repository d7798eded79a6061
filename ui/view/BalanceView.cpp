#include "view/BalanceView.h"

#include <QAction>
#include <QMenu>

#include "BalanceBadges.h"
#include "Drawing.h"
#include "view/DrawSurface.h"

namespace TreeUi {

void ShowBalance(DrawSurface& surface, const TreeCore::TreeRec& tree,
                 const std::vector<std::int32_t>& nodeOfElement, bool on) {
  if (!on) {
    surface.SetBadges({}, {});
    return;
  }
  BalanceBadges b = BalanceOf(tree, nodeOfElement);
  surface.SetBadges(std::move(b.Badges), std::move(b.Warn));
}

BalanceAction::BalanceAction(QWidget* window, QMenu* menu, DrawSurface* surface)
    : QObject(window),
      action_(new QAction(QStringLiteral("Show Balance"), window)),
      surface_(surface) {
  action_->setObjectName(QStringLiteral("ShowBalanceAction"));
  action_->setCheckable(true);
  connect(action_, &QAction::toggled, this, [this] { Update(); });
  menu->addAction(action_);
}

void BalanceAction::Update() {
  const bool on = action_->isChecked();
  if (!on && surface_->Decorations().Badges.empty()) return;
  ShowBalance(*surface_, TreeCore::MainTree, TreeCore::DefaultDrawing().NodeOfElement, on);
}

}  // namespace TreeUi
