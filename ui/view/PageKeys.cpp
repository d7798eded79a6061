#include "view/PageKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>

#include "view/DrawSurface.h"
#include "view/PadView.h"
#include "view/geometry/Twips.h"

namespace TreeUi {

PageKeys::PageKeys(PadView* view, DrawSurface* surface, QScrollBar* vertical, QWidget* window,
                   const std::vector<QWidget*>& controls)
    : QObject(window), view_(view), surface_(surface), vertical_(vertical), window_(window) {
  window->installEventFilter(this);
  for (QWidget* control : controls) control->installEventFilter(this);
}

void PageKeys::Watch(QWidget* widget) {
  if (widget == nullptr) return;
  widget->installEventFilter(this);
  for (QWidget* child : widget->findChildren<QWidget*>()) child->installEventFilter(this);
}

std::int16_t PageKeys::KeyCodeOf(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Tab:
      return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_PageUp:
      return KeyPageUp;
    case Qt::Key_PageDown:
      return KeyPageDown;
    case Qt::Key_End:
      return 35;
    case Qt::Key_Home:
      return 36;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    case Qt::Key_Insert:
      return 45;
    case Qt::Key_Delete:
      return 46;
    default:
      break;
  }
  // Digits and letters have the same codes; Qt's codes for punctuation (such
  // as ! and ", 33 and 34) must not pass for Page Up and Page Down.
  if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
    return static_cast<std::int16_t>(qtKey);
  return 0;
}

bool PageKeys::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    // A key that its control ignores travels on to the window: only the first
    // receiver, the control with the focus, passes it on, once.
    const QWidget* focus = QApplication::focusWidget();
    if (watched == focus || (focus == nullptr && watched == window_))
      CheckKeyCode(KeyCodeOf(static_cast<QKeyEvent*>(event)->key()));
  }
  return QObject::eventFilter(watched, event);
}

void PageKeys::CheckKeyCode(std::int16_t KeyCode) {
  if (vertical_->isHidden()) return;
  // The viewport's height, in 32 bits: a maximised window on a tall screen
  // may exceed 32767 twips.
  const double page = ToTwips(vertical_->height());
  if (KeyCode != KeyPageUp && KeyCode != KeyPageDown) return;
  const double offset = -surface_->Top();
  double target = KeyCode == KeyPageDown ? offset + page : offset - page;
  const ScrollScale& vScale = view_->VerticalScale();
  const double maximum = vScale.Offset(vScale.Maximum);
  if (target > maximum) {
    target = maximum;
    surface_->SetTop(-maximum);
  }
  vertical_->setValue(target > 0 ? vScale.Position(target) : 0);
}

}  // namespace TreeUi
