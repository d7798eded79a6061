// A single-line text box for lists of some hundred thousand characters.
//
// Every paint of a QLineEdit shapes and draws its whole text, so with a long
// list each blink of the caret costs tens of milliseconds. With a long text
// this box keeps an image of the line edit once the text has settled, serves
// later paints from it and draws the blinking caret on top itself; with a
// short text it is a plain QLineEdit.
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

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void Changed();
  void RestartBlink();
  void RenderImage();
  void PlaceCaret();

  QProxyStyle* style_ = nullptr;
  QImage image_;
  QRect caret_;
  bool stale_ = true;
  bool rendering_ = false;
  bool caretOn_ = true;
  int fullPaints_ = 0;
  QBasicTimer blink_;
};

}  // namespace TreeUi
