#include "view/LayoutAction.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "Drawing.h"
#include "view/DrawSurface.h"
#include "view/ViewSettings.h"

namespace TreeUi {

LayoutAction::LayoutAction(QWidget* window, QMenu* menu, DrawSurface* surface,
                           std::function<void()> redraw, std::optional<bool> start)
    : QObject(window),
      action_(new QAction(QStringLiteral("Compact Layout"), window)),
      surface_(surface) {
  action_->setObjectName(QStringLiteral("CompactLayoutAction"));
  action_->setCheckable(true);
  const bool remembered = !start.has_value();
  action_->setChecked(start.value_or(remembered && ViewSettings::CompactLayout()));
  action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  action_->setShortcutContext(Qt::WindowShortcut);
  action_->setShortcutVisibleInContextMenu(true);
  window->addAction(action_);
  menu->addAction(action_);
  redraw_ = std::move(redraw);
  connect(action_, &QAction::toggled, this, [this, remembered](bool now) {
    if (remembered) ViewSettings::SetCompactLayout(now);
    if (redraw_) redraw_();
  });
}

void LayoutAction::FollowBadges(QAction* showBalance) {
  badges_ = showBalance;
  connect(showBalance, &QAction::toggled, this, [this] {
    if (Layout() == TreeCore::TreeLayout::Compact && redraw_) redraw_();
  });
}

TreeCore::TreeLayout LayoutAction::Layout() const {
  return action_->isChecked() ? TreeCore::TreeLayout::Compact : TreeCore::TreeLayout::Slots;
}

void LayoutAction::Drawn() {
  surface_->SetFitCaptions(Layout() == TreeCore::TreeLayout::Compact);
}

void LayoutAction::DrawMainTree(TreeCore::ElementArrays& elements, std::int32_t maximumLevels) {
  TreeCore::DrawTree(elements.TreeNode, elements.ShNode, elements.LnNode, maximumLevels);
  if (Layout() == TreeCore::TreeLayout::Compact)
    TreeCore::ApplyCompactLayout(
        TreeCore::MainTree, TreeCore::DefaultDrawing(), TreeCore::CompactScheme::Tidy,
        badges_ != nullptr && badges_->isChecked() ? TreeCore::BadgeGap : TreeCore::CompactGap);
  Drawn();
}

}  // namespace TreeUi
