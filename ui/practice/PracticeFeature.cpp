#include "practice/PracticeFeature.h"

#include <QAction>
#include <QMenu>
#include <QRandomGenerator>

#include "practice/PracticeWindow.h"

namespace TreeUi {

PracticeFeature::PracticeFeature(QWidget* window, QMenu* menu, QAction* after,
                                 std::function<QString()> list)
    : QObject(window), window_(window), list_(std::move(list)) {
  action_ = new QAction(QStringLiteral("Practice\u2026"), this);
  action_->setObjectName(QStringLiteral("PracticeAction"));
  action_->setShortcut(QKeySequence(Qt::Key_F7));
  action_->setShortcutContext(Qt::WindowShortcut);
  connect(action_, &QAction::triggered, this, [this] { Open(); });
  window->addAction(action_);
  const QList<QAction*> actions = menu->actions();
  const qsizetype at = actions.indexOf(after);
  if (at >= 0 && at + 1 < actions.size())
    menu->insertAction(actions[at + 1], action_);
  else
    menu->addAction(action_);
}

PracticeWindow* PracticeFeature::Window() const {
  return practice_;
}

PracticeWindow* PracticeFeature::Open() {
  if (practice_ == nullptr) {
    // A window of its own, not modal, freed when closed.
    practice_ = new PracticeWindow(window_);
    practice_->setAttribute(Qt::WA_DeleteOnClose);
    const QString list = list_ ? list_().trimmed() : QString();
    if (list.isEmpty())
      practice_->StartExercise(QRandomGenerator::global()->generate(), 1);
    else
      practice_->StartList(list);
  }
  if (practice_->isVisible()) {
    // Already open: brought to the front, its exercise kept.
    practice_->raise();
    practice_->activateWindow();
  }
  practice_->show();
  return practice_;
}

}  // namespace TreeUi
