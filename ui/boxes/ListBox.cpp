#include "boxes/ListBox.h"

#include <QApplication>
#include <QBackingStore>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "boxes/UnshapedLists.h"

namespace TreeUi {

namespace {

// The application's style, except that the line edit draws no caret of its
// own while its box paints a long text: the box draws it, so that the image
// it keeps holds the text without the caret.
class CaretStyle final : public QProxyStyle {
 public:
  // On the application's own style, not the desktop default that a proxy
  // without a base would pick.
  explicit CaretStyle(ListBox* box)
      : QProxyStyle(QStyleFactory::create(QApplication::style()->name())), box_(box) {
    setParent(box);
  }
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_TextCursorWidth && box_ && box_->LongMode()) return 0;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }

 private:
  QPointer<ListBox> box_;
};

// A real timer, not a zero-time call: those go before the timers that are
// already due, and the point is to let them run first.
constexpr int PutOffMs = 1;

// Boxes whose own paint was put off, painted one per event-loop pass.
std::vector<QPointer<ListBox>>& PutOffQueue() {
  static std::vector<QPointer<ListBox>> boxes;
  return boxes;
}

}  // namespace

ListBox::ListBox(QWidget* parent) : QLineEdit(parent) {
  style_ = new CaretStyle(this);
  setStyle(style_);
  connect(this, &QLineEdit::textChanged, this, [this] {
    newText_ = true;
    UpdateShaping();
  });
  connect(this, &QLineEdit::textChanged, this, &ListBox::Changed);
  connect(this, &QLineEdit::cursorPositionChanged, this, &ListBox::Changed);
  connect(this, &QLineEdit::selectionChanged, this, &ListBox::Changed);
  UpdateShaping();
}

void ListBox::UpdateShaping() {
  const bool unshaped = IsListText(text()) && ListsLayOutAlikeUnshaped(font());
  if (unshaped == unshaped_) return;
  unshaped_ = unshaped;
  // Only the strategy is the box's own: the rest of the font still comes
  // from the window. A switch lays the text out again, so a list that
  // starts out as one (an empty box included) is laid out unshaped from
  // its first character.
  QFont own;
  if (unshaped) own.setStyleStrategy(QFont::PreferNoShaping);
  setFont(own);
}

void ListBox::Changed() {
  stale_ = true;
  RestartBlink();
}

void ListBox::RestartBlink() {
  // As the line edit does: after a change the caret shows at once, then blinks.
  caretOn_ = true;
  const int flash = QGuiApplication::styleHints()->cursorFlashTime();
  if (hasFocus() && LongMode() && flash >= 2)
    blink_.start(flash / 2, this);
  else
    blink_.stop();
}

bool ListBox::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Paint:
    case QEvent::Timer:
    case QEvent::UpdateRequest:
    case QEvent::ToolTip:
      break;
    case QEvent::FontChange:
      // The window's font may be one that draws lists differently unshaped.
      stale_ = true;
      if (!inFontChange_) {
        inFontChange_ = true;
        const bool result = QLineEdit::event(event);
        UpdateShaping();
        inFontChange_ = false;
        return result;
      }
      break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::KeyPress:
      stale_ = true;
      RestartBlink();
      break;
    default:
      // Anything else may change what the line edit paints (size, state,
      // palette, font, style, hover, input method).
      stale_ = true;
      break;
  }
  return QLineEdit::event(event);
}

void ListBox::timerEvent(QTimerEvent* event) {
  if (event->timerId() != blink_.timerId()) {
    QLineEdit::timerEvent(event);
    return;
  }
  // The image is made here rather than at the change: a widget cannot render
  // itself while it paints, and a burst of typing keeps restarting the blink,
  // so it is made once the text has settled.
  // A paint put off refreshes the image itself.
  if (!pending_ && (stale_ || image_.size() != size() * devicePixelRatioF())) RenderImage();
  caretOn_ = !caretOn_;
  update(caret_.adjusted(-1, -1, 1, 1));
}

void ListBox::RenderImage() {
  const qreal ratio = devicePixelRatioF();
  image_ = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
  image_.setDevicePixelRatio(ratio);
  image_.fill(Qt::transparent);
  rendering_ = true;
  render(&image_, QPoint(), QRegion(), {});
  rendering_ = false;
  ++fullPaints_;
  newText_ = false;
  stale_ = false;
  PlaceCaret();
}

void ListBox::PlaceCaret() {
  // Where the line edit would draw its caret: its update rectangle for the
  // caret reaches five pixels to its left and one below the line.
  const QRect around = cursorRect();
  QStyleOptionFrame option;
  initStyleOption(&option);
  const int width =
      std::max(1, style_->baseStyle()->pixelMetric(QStyle::PM_TextCursorWidth, &option, this));
  caret_ = QRect(around.x() + 5, around.y(), width, around.height() - 1);
}

bool ListBox::PaintingOnScreen() const {
  QPoint offset;
  const QPaintDevice* device = redirected(&offset);
  QBackingStore* store = window()->backingStore();
  return device != nullptr && store != nullptr && device == store->paintDevice();
}

void ListBox::KeepFrame(const QPaintEvent& event) {
  // Only a paint of the whole box leaves all of it in the new state.
  if (!(QRegion(rect()) - event.region()).isEmpty() || !PaintingOnScreen()) return;
  QPoint offset;
  QPaintDevice* device = redirected(&offset);
  if (device->devType() != QInternal::Image) return;
  const auto* frame = static_cast<const QImage*>(device);
  const qreal ratio = frame->devicePixelRatio();
  // The box's (0, 0) lies at -offset on the device.
  const QRect source(QPoint(qRound(-offset.x() * ratio), qRound(-offset.y() * ratio)),
                     size() * ratio);
  if (!frame->rect().contains(source)) return;
  image_ = frame->copy(source);
  image_.setDevicePixelRatio(ratio);
  newText_ = false;
  stale_ = false;
}

bool ListBox::CanPutOff() const {
  // A new text shows at once; so does anything painted off screen (grab,
  // render), and the paint that was put off.
  return !paintWhole_ && !image_.isNull() && image_.size() == size() * devicePixelRatioF() &&
         !newText_ && PaintingOnScreen();
}

void ListBox::PutOff() {
  if (pending_) return;
  pending_ = true;
  std::vector<QPointer<ListBox>>& queue = PutOffQueue();
  queue.emplace_back(this);
  if (queue.size() == 1) QTimer::singleShot(PutOffMs, qApp, &ListBox::PaintNextPutOff);
}

void ListBox::PaintNextPutOff() {
  std::vector<QPointer<ListBox>>& queue = PutOffQueue();
  while (!queue.empty()) {
    const QPointer<ListBox> box = queue.front();
    queue.erase(queue.begin());
    if (!box) continue;
    box->pending_ = false;
    box->paintWhole_ = true;
    box->repaint();
    break;
  }
  // One box per pass, the timers and input waiting meanwhile in between.
  if (!queue.empty()) QTimer::singleShot(PutOffMs, qApp, &ListBox::PaintNextPutOff);
}

void ListBox::paintEvent(QPaintEvent* event) {
  if (rendering_ || !LongMode()) {
    if (!rendering_) ++fullPaints_;
    QLineEdit::paintEvent(event);
    return;
  }
  const bool current = !paintWhole_ && !stale_ && image_.size() == size() * devicePixelRatioF();
  if (current || CanPutOff()) {
    // The image: the box as it is, or its last frame until the line edit
    // paints the new state in a pass of its own.
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(QPoint(0, 0), image_);
    if (!current) PutOff();
  } else {
    // Painted as the line edit paints, caret aside.
    QLineEdit::paintEvent(event);
    ++fullPaints_;
    paintWhole_ = false;
    KeepFrame(*event);
    PlaceCaret();
    if (!blink_.isActive()) RestartBlink();
  }
  const bool editable = !isReadOnly() && isEnabled();
  if (caretOn_ && hasFocus() && editable) {
    // Clipped to the text's area, as the line edit clips its own caret.
    QPainter painter(this);
    QStyleOptionFrame option;
    initStyleOption(&option);
    painter.setClipRegion(event->region());
    painter.setClipRect(style()->subElementRect(QStyle::SE_LineEditContents, &option, this),
                        Qt::IntersectClip);
    // As the text layout draws a caret: inverting what lies under it, where
    // the paint engine can.
    if (painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes))
      painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.fillRect(caret_, palette().text());
  }
}

}  // namespace TreeUi
