#include "window/MenuKey.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QWidget>

namespace TreeUi {

void MenuKey::Install() {
  static MenuKey* const filter = [] {
    auto* key = new MenuKey(qApp);
    qApp->installEventFilter(key);
    return key;
  }();
  (void)filter;
}

bool MenuKey::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier) return false;
  auto* widget = static_cast<QWidget*>(watched);
  // A menu that is open has the keyboard already.
  if (QApplication::activePopupWidget() != nullptr || !widget->isEnabled()) return false;
  QKeyEvent menuKey(QEvent::KeyPress, Qt::Key_Menu, Qt::NoModifier);
  if (QApplication::sendEvent(widget, &menuKey) && menuKey.isAccepted()) return true;
  // Where Qt puts a keyboard context menu: at the text cursor, else the middle.
  QPoint at = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
  if (!widget->rect().contains(at)) at = widget->rect().center();
  QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, widget->mapToGlobal(at));
  QApplication::sendEvent(widget, &menu);
  return true;
}

}  // namespace TreeUi
