// Page Up and Page Down scroll the main pad by one viewport height whichever
// of the window's controls has the focus: each key a control does not use
// travels on here, once, as a 16-bit key code.
#pragma once

#include <QObject>
#include <cstdint>
#include <vector>

class QScrollBar;
class QWidget;

namespace TreeUi {

class DrawSurface;
class PadView;

class PageKeys final : public QObject {
  Q_OBJECT

 public:
  static constexpr std::int16_t KeyPageUp = 33;
  static constexpr std::int16_t KeyPageDown = 34;

  // Watches the keys of `window` and of `controls`.
  PageKeys(PadView* view, DrawSurface* surface, QScrollBar* vertical, QWidget* window,
           const std::vector<QWidget*>& controls);

  // Also the keys of `widget` and its children (the pad, the progress window).
  void Watch(QWidget* widget);

  // The 16-bit key code of a Qt key (Page Up 33, Page Down 34, ...), 0 for
  // keys without one.
  static std::int16_t KeyCodeOf(int qtKey);
  // Page Up and Page Down move the vertical bar by one viewport height;
  // other codes, and a pad without its bar, do nothing.
  void CheckKeyCode(std::int16_t KeyCode);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  PadView* view_;
  DrawSurface* surface_;
  QScrollBar* vertical_;
  QWidget* window_;
};

}  // namespace TreeUi
