// A single-line text box for lists of some hundred thousand characters.
//
// Every paint of a QLineEdit shapes and draws its whole text, so with a long
// list each blink of the caret costs tens of milliseconds. With a long text
// this box keeps the frames the line edit painted, taken through a graphics
// effect: while nothing but the blink changes, the line edit shows one of two
// frames (caret shown, caret hidden), and it paints each of them once. Caret,
// selection, input-method text, style and layout direction are all the line
// edit's own. With a short text it is a plain QLineEdit.
//
// A change that leaves the text as it is (focus, selection, enabled state)
// still costs a whole paint of the line edit. Such a paint is put off to an
// event-loop pass of its own: the paint that asked for it shows the last
// frame, so that a command that moves the focus or selects the text does not
// hold the window up for the paints of every long box it touched.
#pragma once

#include <QLineEdit>
#include <QPixmap>

class QPainter;

namespace TreeUi {

class ListBox final : public QLineEdit {
  Q_OBJECT

 public:
  // Texts at least this long are painted from the kept frames.
  static constexpr int LongText = 2000;

  explicit ListBox(QWidget* parent = nullptr);

  bool LongMode() const { return text().size() >= LongText; }
  // Paints of the line edit itself (each one shapes the whole text).
  int FullPaints() const { return fullPaints_; }
  // True while a paint of the line edit is put off to a later pass.
  bool PaintPending() const { return pending_; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  class Frames;

  // Lays a list out unshaped where the font draws it alike (see
  // UnshapedLists.h), and any other text as the line edit always does.
  void UpdateShaping();
  // Every paint of the box, through its effect.
  void Draw(QPainter& painter);
  bool BlinkOnly(const QPainter& painter) const;
  bool KeptFrameFits() const;
  bool CanPutOff(const QPainter& painter) const;
  void PutOff();
  static void PaintNextPutOff();

  Frames* frames_ = nullptr;
  // The line edit's frames since the last change, one per state of the
  // blink; `shown_` is the one on screen.
  QPixmap kept_[2];
  int shown_ = 0;
  // Something may have changed what the line edit paints.
  bool stale_ = true;
  // The text changed after the last frame was kept (even if only to come back).
  bool newText_ = true;
  bool pending_ = false;
  bool unshaped_ = false;
  bool inFontChange_ = false;
  // The next paint is the line edit's own, whatever was kept.
  bool paintWhole_ = false;
  int fullPaints_ = 0;
};

}  // namespace TreeUi
