#include "boxes/ListBox.h"

#include <QApplication>
#include <QBackingStore>
#include <QGraphicsEffect>
#include <QPaintEngine>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <vector>

#include "boxes/UnshapedLists.h"

namespace TreeUi {

// Hands every paint of the box to the box, which either lets the line edit
// paint (and keeps what it painted) or shows a frame it kept.
class ListBox::Frames final : public QGraphicsEffect {
 public:
  // The box owns it once it is the box's effect.
  explicit Frames(ListBox* box) : box_(box) {}
  // The box's rectangle as the line edit paints it now.
  QPixmap PaintWhole() const { return sourcePixmap(Qt::LogicalCoordinates, nullptr, NoPad); }
  void PaintAsUsual(QPainter* painter) { drawSource(painter); }

 protected:
  void draw(QPainter* painter) override {
    // A window paints its background with itself, which a source pixmap
    // leaves out (a box inside a window lies on its parent's).
    if (box_->isWindow() && box_->LongMode())
      painter->fillRect(box_->rect(), box_->palette().window());
    box_->Draw(*painter);
  }

 private:
  ListBox* box_;
};

namespace {

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
  frames_ = new Frames(this);
  setGraphicsEffect(frames_);
  connect(this, &QLineEdit::textChanged, this, [this] {
    newText_ = true;
    stale_ = true;
    UpdateShaping();
  });
  connect(this, &QLineEdit::cursorPositionChanged, this, [this] { stale_ = true; });
  connect(this, &QLineEdit::selectionChanged, this, [this] { stale_ = true; });
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

bool ListBox::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Paint:
    case QEvent::Timer:
    case QEvent::UpdateRequest:
    case QEvent::ToolTip:
    case QEvent::InputMethodQuery:
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
    default:
      // Anything else may change what the line edit paints (size, state,
      // focus, keys, palette, style, hover, input method, drags).
      stale_ = true;
      break;
  }
  return QLineEdit::event(event);
}

void ListBox::paintEvent(QPaintEvent* event) {
  ++fullPaints_;
  QLineEdit::paintEvent(event);
}

bool ListBox::BlinkOnly(const QPainter& painter) const {
  // The line edit repaints just its cursorRect() when the caret blinks (the
  // region of a paint is the clip the painter was given, on the device). A
  // blink merged into a larger paint goes unseen: the caret then blinks out
  // of step with the line edit's own until the next change is painted.
  const QRegion onDevice = painter.paintEngine()->systemClip();
  if (onDevice.isEmpty()) return false;
  const QRect region = painter.deviceTransform().inverted().map(onDevice).boundingRect();
  return cursorRect().adjusted(-1, -1, 1, 1).contains(region);
}

bool ListBox::KeptFrameFits() const {
  const QPixmap& frame = kept_[shown_];
  return !frame.isNull() && frame.deviceIndependentSize().toSize() == size() &&
         frame.devicePixelRatio() == devicePixelRatioF();
}

bool ListBox::CanPutOff(const QPainter& painter) const {
  // A new text shows at once; so does anything painted off screen (grab,
  // render), and the paint that was put off.
  QBackingStore* store = window()->backingStore();
  return !paintWhole_ && !newText_ && KeptFrameFits() && store != nullptr &&
         painter.device() == store->paintDevice();
}

void ListBox::Draw(QPainter& painter) {
  if (!LongMode()) {
    kept_[0] = kept_[1] = QPixmap();
    stale_ = true;
    frames_->PaintAsUsual(&painter);
    return;
  }
  if (!stale_ && !paintWhole_ && KeptFrameFits()) {
    // Nothing changed but, maybe, the blink: the line edit shows the other
    // frame, painted once and kept.
    if (BlinkOnly(painter)) shown_ ^= 1;
    if (KeptFrameFits()) {
      painter.drawPixmap(QPoint(0, 0), kept_[shown_]);
      return;
    }
  } else if (stale_ && CanPutOff(painter)) {
    // The last frame until the line edit paints the new state in a pass
    // of its own.
    painter.drawPixmap(QPoint(0, 0), kept_[shown_]);
    PutOff();
    return;
  }
  if (stale_ || paintWhole_) kept_[0] = kept_[1] = QPixmap();
  stale_ = false;
  newText_ = false;
  paintWhole_ = false;
  kept_[shown_] = frames_->PaintWhole();
  painter.drawPixmap(QPoint(0, 0), kept_[shown_]);
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

}  // namespace TreeUi
