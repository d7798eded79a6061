#include "DrawSurface.h"

#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QFrame>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "Twips.h"

namespace TreeUi {

namespace {

const QColor SurfaceColour(255, 255, 255);
const QColor LineColour(90, 90, 90);
const QColor CircleOutline(31, 58, 96);
const QColor CircleFill(255, 251, 230);
const QColor CaptionColour(0, 0, 0);

// Cuts a segment to a rectangle (Liang-Barsky), so that painting never meets
// the huge coordinates of a line that crosses most of a wide drawing.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& r) {
  double t0 = 0, t1 = 1;
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
  }
  const QPointF start = a;
  a = QPointF(start.x() + t0 * dx, start.y() + t0 * dy);
  b = QPointF(start.x() + t1 * dx, start.y() + t1 * dy);
  return true;
}

}  // namespace

QString DisplayText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

DrawSurface::DrawSurface(TreeCore::ElementArrays& elements, QFrame* viewport)
    : QWidget(viewport), elements_(elements), viewport_(viewport) {
  setObjectName(QStringLiteral("PicInDrawPad"));
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  captionFont_ = font();
  captionFont_.setPixelSize(11);
  viewport_->installEventFilter(this);
  Place();
}

void DrawSurface::SetLeft(double left) {
  left_ = left;
  Place();
}
void DrawSurface::SetTop(double top) {
  top_ = top;
  Place();
}
void DrawSurface::SetWidth(double width) {
  width_ = width;
  Place();
}
void DrawSurface::SetHeight(double height) {
  height_ = height;
  Place();
}

void DrawSurface::ElementsChanged() {
  dirty_ = true;
  update();
}

void DrawSurface::Place() {
  const QRect client = viewport_->contentsRect();
  // In doubles: the surface may lie millions of pixels beyond the client area.
  const double x0 = std::max<double>(client.left(), client.left() + std::floor(left_ / 15.0));
  const double y0 = std::max<double>(client.top(), client.top() + std::floor(top_ / 15.0));
  const double x1 =
      std::min<double>(client.right() + 1, client.left() + std::ceil((left_ + width_) / 15.0));
  const double y1 =
      std::min<double>(client.bottom() + 1, client.top() + std::ceil((top_ + height_) / 15.0));
  QRect geometry;
  if (x1 > x0 && y1 > y0)
    geometry = QRect(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0),
                     static_cast<int>(y1 - y0));
  else
    geometry = QRect(client.topLeft(), QSize(0, 0));
  if (geometry != this->geometry()) setGeometry(geometry);
  update();
}

QPointF DrawSurface::ToLocal(double xTwips, double yTwips) const {
  const QRect client = viewport_->contentsRect();
  return QPointF(ToPixelsF(left_ + xTwips) + client.left() - x(),
                 ToPixelsF(top_ + yTwips) + client.top() - y());
}

Box DrawSurface::ToTwips(const QRectF& local) const {
  const QPointF origin = ToLocal(0, 0);
  return Box{TreeUi::ToTwips(local.left() - origin.x()), TreeUi::ToTwips(local.top() - origin.y()),
             TreeUi::ToTwips(local.right() - origin.x()),
             TreeUi::ToTwips(local.bottom() - origin.y())};
}

void DrawSurface::RebuildIfNeeded() const {
  if (!dirty_) return;
  dirty_ = false;
  std::vector<ElementIndex::Item> lines, shapes, labels;
  const auto& ln = elements_.LnNode;
  for (std::int32_t k = 0; k < ln.UpperBound(); ++k) {
    const auto i = static_cast<std::int16_t>(k);
    if (!ln.IsLoaded(i)) continue;
    const TreeCore::Line& l = ln[i];
    lines.push_back({Box{std::min(l.X1, l.X2), std::min(l.Y1, l.Y2), std::max(l.X1, l.X2),
                         std::max(l.Y1, l.Y2)},
                     k});
  }
  const auto& sh = elements_.ShNode;
  for (std::int32_t k = 0; k < sh.UpperBound(); ++k) {
    const auto i = static_cast<std::int16_t>(k);
    if (!sh.IsLoaded(i)) continue;
    const TreeCore::Shape& s = sh[i];
    shapes.push_back({Box{s.Left, s.Top, s.Left + s.Width, s.Top + s.Height}, k});
  }
  const auto& tn = elements_.TreeNode;
  for (std::int32_t k = 0; k < tn.UpperBound(); ++k) {
    const auto i = static_cast<std::int16_t>(k);
    if (!tn.IsLoaded(i)) continue;
    const TreeCore::Label& l = tn[i];
    labels.push_back({Box{l.Left, l.Top, l.Left + l.Width, l.Top + l.Height}, k});
  }
  lines_.Build(std::move(lines));
  shapes_.Build(std::move(shapes));
  labels_.Build(std::move(labels));
}

template <class T>
std::vector<std::int16_t> DrawSurface::VisibleInOrder(const TreeCore::ControlArray<T>& array,
                                                      const ElementIndex& index,
                                                      const Box& area) const {
  std::vector<std::int16_t> found;
  index.Query(area, [&](std::int32_t k) {
    const auto i = static_cast<std::int16_t>(k);
    if (array.IsLoaded(i) && array[i].Visible) found.push_back(i);
  });
  // Within one kind, the stacking order decides who is drawn over whom.
  std::sort(found.begin(), found.end(),
            [&](std::int16_t a, std::int16_t b) { return array.ZKey(a) < array.ZKey(b); });
  return found;
}

int DrawSurface::LabelAt(QPointF local) const {
  RebuildIfNeeded();
  const Box point = ToTwips(QRectF(local, QSizeF(0, 0)));
  const auto found = VisibleInOrder(elements_.TreeNode, labels_, point);
  return found.empty() ? -1 : found.back();
}

QString DrawSurface::ToolTipAt(QPointF local) const {
  const int k = LabelAt(local);
  if (k < 0) return {};
  return DisplayText(elements_.TreeNode[static_cast<std::int16_t>(k)].ToolTipText);
}

void DrawSurface::Paint(QPainter& painter, const QRectF& area) const {
  RebuildIfNeeded();
  painter.fillRect(area, SurfaceColour);
  // A pixel of margin: antialiased edges reach half a pixel outside an element.
  const QRectF margin = area.adjusted(-2, -2, 2, 2);
  const Box visible = ToTwips(margin);
  const QPointF origin = ToLocal(0, 0);
  auto at = [&](double xTwips, double yTwips) {
    return QPointF(origin.x() + ToPixelsF(xTwips), origin.y() + ToPixelsF(yTwips));
  };

  painted_ = 0;
  painter.save();
  painter.setClipRect(area);
  painter.setRenderHint(QPainter::Antialiasing, true);

  painter.setPen(QPen(LineColour, 1));
  for (std::int16_t k : VisibleInOrder(elements_.LnNode, lines_, visible)) {
    const TreeCore::Line& l = elements_.LnNode[k];
    QPointF a = at(l.X1, l.Y1), b = at(l.X2, l.Y2);
    if (!ClipSegment(a, b, margin)) continue;
    painter.drawLine(a, b);
    ++painted_;
  }

  painter.setPen(QPen(CircleOutline, 1));
  painter.setBrush(CircleFill);
  for (std::int16_t k : VisibleInOrder(elements_.ShNode, shapes_, visible)) {
    const TreeCore::Shape& s = elements_.ShNode[k];
    // The outline runs just inside the shape's box.
    const QRectF box(at(s.Left, s.Top), QSizeF(ToPixelsF(s.Width), ToPixelsF(s.Height)));
    const double side = std::min(box.width(), box.height());
    QRectF circle(0, 0, side, side);
    circle.moveCenter(box.center());
    painter.drawEllipse(circle.adjusted(0.5, 0.5, -0.5, -0.5));
    ++painted_;
  }

  painter.setPen(CaptionColour);
  painter.setBrush(Qt::NoBrush);
  painter.setFont(captionFont_);
  const QFontMetricsF metrics(captionFont_);
  for (std::int16_t k : VisibleInOrder(elements_.TreeNode, labels_, visible)) {
    const TreeCore::Label& l = elements_.TreeNode[k];
    const QRectF box(at(l.Left, l.Top), QSizeF(ToPixelsF(l.Width), ToPixelsF(l.Height)));
    const QString caption = QString::fromStdString(l.Caption);
    // Six-character values such as -32768 are squeezed rather than cut.
    const double wide = metrics.horizontalAdvance(caption);
    if (wide > box.width() && wide > 0) {
      QFont narrow = captionFont_;
      narrow.setPixelSize(std::max(6, static_cast<int>(11 * box.width() / wide)));
      painter.setFont(narrow);
      painter.drawText(box, Qt::AlignCenter, caption);
      painter.setFont(captionFont_);
    } else {
      painter.drawText(box, Qt::AlignCenter, caption);
    }
    ++painted_;
  }
  painter.restore();
}

void DrawSurface::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  Paint(painter, QRectF(event->rect()));
}

bool DrawSurface::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = ToolTipAt(QPointF(help->pos()));
    if (text.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), text, this);
    }
    return true;
  }
  return QWidget::event(event);
}

bool DrawSurface::eventFilter(QObject* watched, QEvent* event) {
  if (watched == viewport_ && event->type() == QEvent::Resize) Place();
  return QWidget::eventFilter(watched, event);
}

void DrawSurface::mousePressEvent(QMouseEvent* event) {
  pressedLabel_ = event->button() == Qt::LeftButton ? LabelAt(event->position()) : -1;
  QWidget::mousePressEvent(event);
}

void DrawSurface::mouseReleaseEvent(QMouseEvent* event) {
  // A click is a press and a release on the same label.
  if (event->button() == Qt::LeftButton && pressedLabel_ >= 0 &&
      LabelAt(event->position()) == pressedLabel_) {
    const int k = pressedLabel_;
    pressedLabel_ = -1;
    emit LabelClicked(k);
  }
  QWidget::mouseReleaseEvent(event);
}

void DrawSurface::contextMenuEvent(QContextMenuEvent* event) {
  emit MenuRequested(event->globalPos(), QPointF(event->pos()));
  event->accept();
}

}  // namespace TreeUi
