// The busy cursor for the engine work of a command; messages are shown with
// the ordinary cursor, so a command stops it before one and may start it again.
#pragma once

#include <QApplication>

namespace TreeUi {

class BusyCursor {
 public:
  BusyCursor() { Start(); }
  ~BusyCursor() { Stop(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

  void Start() {
    if (on_) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    on_ = true;
  }
  void Stop() {
    if (!on_) return;
    QApplication::restoreOverrideCursor();
    on_ = false;
  }

 private:
  bool on_ = false;
};

}  // namespace TreeUi
