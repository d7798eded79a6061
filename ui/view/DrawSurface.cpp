#include "view/DrawSurface.h"

#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QFrame>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <utility>

#include "view/PadAccessible.h"
#include "view/geometry/Twips.h"

namespace TreeUi {

QString DisplayText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

DrawSurface::DrawSurface(TreeCore::ElementArrays& elements, QFrame* viewport)
    : QWidget(viewport), elements_(elements), viewport_(viewport) {
  setObjectName(QStringLiteral("PicInDrawPad"));
  setFocusPolicy(Qt::NoFocus);
  InstallPadAccessibility();
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
  ++generation_;
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

void DrawSurface::SetView(double zoomX, double zoomY, double originX, double originY) {
  if (zoomX == zoomX_ && zoomY == zoomY_ && originX == originX_ && originY == originY_) return;
  zoomX_ = zoomX;
  zoomY_ = zoomY;
  originX_ = originX;
  originY_ = originY;
  update();
}

ViewTransform DrawSurface::Transform() const {
  const QRect client = viewport_->contentsRect();
  ViewTransform t;
  t.ScaleX = zoomX_ / TwipsPerPixel;
  t.ScaleY = zoomY_ / TwipsPerPixel;
  t.OffsetX = ToPixelsF(left_ - originX_ * zoomX_) + client.left() - x();
  t.OffsetY = ToPixelsF(top_ - originY_ * zoomY_) + client.top() - y();
  return t;
}

QPointF DrawSurface::ToLocal(double xTwips, double yTwips) const {
  const ViewTransform t = Transform();
  return QPointF(t.DeviceX(xTwips), t.DeviceY(yTwips));
}

Box DrawSurface::ToTwips(const QRectF& local) const {
  const ViewTransform t = Transform();
  return Box{t.ModelX(local.left()), t.ModelY(local.top()), t.ModelX(local.right()),
             t.ModelY(local.bottom())};
}

Extent DrawSurface::DrawnBounds() const {
  RebuildIfNeeded();
  return bounds_;
}

void DrawSurface::SetMarkedElements(std::vector<int> elements) {
  if (elements == decorations_.Marked) return;
  decorations_.Marked = std::move(elements);
  update();
}

void DrawSurface::SetRoleRings(std::vector<RoleRing> rings) {
  roles_ = std::move(rings);
  update();
}

void DrawSurface::SetBadges(std::vector<std::string> badgeByElement,
                            std::vector<bool> warnByElement) {
  decorations_.Badges = std::move(badgeByElement);
  decorations_.Warn = std::move(warnByElement);
  update();
}

void DrawSurface::SetChangedBadges(std::vector<bool> changedByElement) {
  changedBadges_ = std::move(changedByElement);
  update();
}

void DrawSurface::SetFitCaptions(bool on) {
  if (on == fitCaptions_) return;
  fitCaptions_ = on;
  update();
}

void DrawSurface::SetHint(const QString& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  update();
}

void DrawSurface::RebuildIfNeeded() const {
  if (!dirty_) return;
  dirty_ = false;
  // One list at a time, each reserved to the elements there are: the lists
  // of a 32767-node drawing are a megabyte and more each, and the rebuild
  // comes right after the drawing pass has taken its share.
  std::vector<ElementIndex::Item> items;
  const auto& ln = elements_.LnNode;
  items.reserve(static_cast<std::size_t>(ln.UpperBound()));
  for (std::int32_t k = 0; k < ln.UpperBound(); ++k) {
    const auto i = static_cast<std::int16_t>(k);
    if (!ln.IsLoaded(i)) continue;
    const TreeCore::Line& l = ln[i];
    items.push_back({Box{std::min(l.X1, l.X2), std::min(l.Y1, l.Y2), std::max(l.X1, l.X2),
                         std::max(l.Y1, l.Y2)},
                     k});
  }
  lines_.Build(std::exchange(items, {}));
  const auto& sh = elements_.ShNode;
  items.reserve(static_cast<std::size_t>(sh.UpperBound()));
  for (std::int32_t k = 0; k < sh.UpperBound(); ++k) {
    const auto i = static_cast<std::int16_t>(k);
    if (!sh.IsLoaded(i)) continue;
    const TreeCore::Shape& s = sh[i];
    items.push_back({Box{s.Left, s.Top, s.Left + s.Width, s.Top + s.Height}, k});
  }
  shapes_.Build(std::exchange(items, {}));
  const auto& tn = elements_.TreeNode;
  items.reserve(static_cast<std::size_t>(tn.UpperBound()));
  for (std::int32_t k = 0; k < tn.UpperBound(); ++k) {
    const auto i = static_cast<std::int16_t>(k);
    if (!tn.IsLoaded(i)) continue;
    const TreeCore::Label& l = tn[i];
    items.push_back({Box{l.Left, l.Top, l.Left + l.Width, l.Top + l.Height}, k});
  }
  labels_.Build(std::move(items));
  bounds_ = DrawnExtent(elements_);
}

int DrawSurface::LabelAt(QPointF local) const {
  RebuildIfNeeded();
  const ViewTransform t = Transform();
  // Labels smaller than a fingertip's worth of pixels are found near the point.
  constexpr double Target = 10;
  const TreeCore::Label& tl = elements_.TreeNode[0];
  const double slackX = std::max(0.0, (Target - tl.Width * t.ScaleX) / 2);
  const double slackY = std::max(0.0, (Target - tl.Height * t.ScaleY) / 2);
  const Box area = ToTwips(QRectF(local, QSizeF(0, 0)).adjusted(-slackX, -slackY, slackX, slackY));
  const auto& array = elements_.TreeNode;
  int best = -1;
  double bestDistance = 0;
  labels_.Query(area, [&](std::int32_t k) {
    const auto i = static_cast<std::int16_t>(k);
    if (!array.IsLoaded(i) || !array[i].Visible) return;
    const TreeCore::Label& l = array[i];
    const double dx = t.DeviceX(l.Left + l.Width / 2) - local.x();
    const double dy = t.DeviceY(l.Top + l.Height / 2) - local.y();
    // Exact hits all count as one distance: among them the one in front wins.
    const double distance = slackX == 0 && slackY == 0 ? 0 : dx * dx + dy * dy;
    const auto front = [&] { return array.ZKey(i) > array.ZKey(static_cast<std::int16_t>(best)); };
    if (best < 0 || distance < bestDistance || (distance == bestDistance && front())) {
      best = k;
      bestDistance = distance;
    }
  });
  return best;
}

QString DrawSurface::ToolTipAt(QPointF local) const {
  const int k = LabelAt(local);
  if (k < 0) return {};
  return DisplayText(elements_.TreeNode[static_cast<std::int16_t>(k)].ToolTipText);
}

void DrawSurface::Paint(QPainter& painter, const QRectF& area) const {
  RebuildIfNeeded();
  PaintOptions options;
  options.CaptionFont = captionFont_;
  options.FitCaptions = fitCaptions_;
  // Rows spread by the zoom move the lines' ends off their circles.
  options.LinesBetweenCircles = true;
  const ElementLookups lookups{&lines_, &shapes_, &labels_};
  options.Lookups = &lookups;
  if (!decorations_.Empty() || !roles_.empty()) options.Decorations = &decorations_;
  if (!roles_.empty()) options.Roles = &roles_;
  if (!changedBadges_.empty()) options.ChangedBadges = &changedBadges_;
  painted_ = PaintElements(painter, elements_, Transform(), area, options);
}

void DrawSurface::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  Paint(painter, QRectF(event->rect()));
  // The pad has the keyboard (F6): a frame just inside the viewport, drawn
  // here rather than by the style, which shows focus only after Tab.
  if (hasFocus()) {
    const QRect client = viewport_->contentsRect().translated(-pos()).intersected(rect());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(client).adjusted(1, 1, -1, -1));
  }
  if (hint_.isEmpty()) return;
  // In the viewport's bottom-right corner, over whatever is drawn there.
  QFont font = captionFont_;
  font.setPixelSize(10);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  const QRect client = viewport_->contentsRect().translated(-pos());
  QRect box = metrics.boundingRect(hint_).adjusted(-4, -2, 4, 2);
  box.moveBottomRight(client.bottomRight() - QPoint(3, 3));
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(245, 245, 245, 220));
  painter.drawRect(box);
  painter.setPen(QColor(90, 90, 90));
  painter.drawText(box, Qt::AlignCenter, hint_);
}

void DrawSurface::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void DrawSurface::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
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
