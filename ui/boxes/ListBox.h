// A single-line text box for lists of some hundred thousand characters.
//
// Every paint of a QLineEdit shapes and draws its whole text, so with a long
// list each blink of the caret costs tens of milliseconds. With a long text
// this box keeps an image of the line edit as it last painted (or once the
// text has settled), serves later paints from it and draws the blinking caret
// on top itself; with a short text it is a plain QLineEdit.
//
// A change that leaves the text as it is (focus, selection, enabled state)
// still costs a whole paint of the line edit. Such a paint is put off to an
// event-loop pass of its own: the paint that asked for it shows the image of
// the last frame, so that a command that moves the focus or selects the text
// does not hold the window up for the paints of every long box it touched.
#pragma once

#include <QBasicTimer>
#include <QImage>
#include <QLineEdit>

class QProxyStyle;

namespace TreeUi {

class ListBox final : public QLineEdit {
  Q_OBJECT

 public:
  // Texts at least this long are painted from the image.
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
  void timerEvent(QTimerEvent* event) override;

 private:
  void Changed();
  // Lays a list out unshaped where the font draws it alike (see
  // UnshapedLists.h), and any other text as the line edit always does.
  void UpdateShaping();
  void RestartBlink();
  void RenderImage();
  void PlaceCaret();
  bool CanPutOff() const;
  void PutOff();
  // Keeps what the line edit has just painted on screen as the image.
  void KeepFrame(const QPaintEvent& event);
  // The paint goes to the window's backing store (not to a render()).
  bool PaintingOnScreen() const;
  static void PaintNextPutOff();

  QProxyStyle* style_ = nullptr;
  QImage image_;
  // The text changed after the image was made (even if only to come back).
  bool newText_ = true;
  QRect caret_;
  bool stale_ = true;
  bool rendering_ = false;
  bool caretOn_ = true;
  bool pending_ = false;
  bool unshaped_ = false;
  bool inFontChange_ = false;
  // The next paint is the line edit's own, whatever the image holds.
  bool paintWhole_ = false;
  int fullPaints_ = 0;
  QBasicTimer blink_;
};

}  // namespace TreeUi
