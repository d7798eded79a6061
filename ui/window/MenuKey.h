// Shift+F10 does what the Menu key does, in every window of the program: the
// control with the focus gets the key first (the pad opens its menu at the
// node cursor), and otherwise its context menu opens at its text cursor.
// X11 turns only the Menu key itself into a context-menu request.
#pragma once

#include <QObject>

namespace TreeUi {

class MenuKey final : public QObject {
  Q_OBJECT

 public:
  // Watches the whole application; once is enough.
  static void Install();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using QObject::QObject;
};

}  // namespace TreeUi
