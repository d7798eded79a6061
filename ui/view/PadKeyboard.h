// The pad from the keyboard. F6 gives the pad the focus and F6 or Escape gives
// it back to the control that had it; a click leaves the focus where it is.
// While the pad has the focus a node cursor (the ring) moves: Home to the
// root, Up to the parent, Left and Right to the children, Ctrl+Left and
// Ctrl+Right to the in-order neighbours; Enter or Space shows the node as a
// click does, and the Menu key or Shift+F10 opens the pad's menu at it.
#pragma once

#include <QObject>
#include <QPointer>

#include "NodeNavigation.h"

class QAction;
class QMenu;
class QWidget;

namespace TreeUi {

class DrawSurface;
class PadView;
class PageKeys;

class PadKeyboard final : public QObject {
  Q_OBJECT

 public:
  // Page Up and Page Down reach `keys` from the pad too.
  PadKeyboard(QWidget* window, DrawSurface* surface, PadView* view, QMenu* menu, PageKeys* keys);

  QAction* FocusAction() const { return focus_; }
  // The element under the cursor, -1 for none.
  int Cursor() const { return cursor_; }

 signals:
  // Enter or Space on the node of `element`.
  void Activated(int element);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ToggleFocus();
  void GiveBack();
  void Move(TreeCore::NodeMove move);
  void Show(int element);
  void OpenMenu();

  QWidget* window_;
  DrawSurface* surface_;
  PadView* view_;
  QMenu* menu_;
  QAction* focus_;
  QPointer<QWidget> back_;
  int cursor_ = -1;
  unsigned drawing_ = 0;  // the surface's generation the cursor belongs to
};

}  // namespace TreeUi
