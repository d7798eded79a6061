// The pad menu's "Practice…" (F7, whichever control has the focus): opens
// the practice window on the Get Tree box's list, or on a new exercise when
// the box is empty.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace TreeUi {

class PracticeWindow;

class PracticeFeature final : public QObject {
  Q_OBJECT

 public:
  // The action goes into `menu` right after `after`.
  PracticeFeature(QWidget* window, QMenu* menu, QAction* after, std::function<QString()> list);

  PracticeWindow* Open();
  PracticeWindow* Window() const;
  QAction* Action() const { return action_; }

 private:
  QWidget* window_;
  QAction* action_;
  std::function<QString()> list_;
  QPointer<PracticeWindow> practice_;
};

}  // namespace TreeUi
