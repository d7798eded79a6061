#include "pane/MarkLegend.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "view/ElementPainter.h"

namespace TreeUi {

namespace {

constexpr double Icon = 20, IconGap = 5, EntryGap = 16;

// A small node with the mark on it, in a box of Icon x Icon.
void PaintIcon(QPainter& painter, QPointF centre, Mark mark, const QFont& font) {
  const MarkColours c = MarkColoursOf();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const bool warn = mark == Mark::Unbalanced;
  const bool badge = mark == Mark::Balance || mark == Mark::ChangedBalance;
  const double r = badge ? 3.5 : 4.5;
  const QPointF node = badge ? centre - QPointF(6, 0) : centre;
  painter.setPen(QPen(warn ? c.WarnOutline : c.CircleOutline, 1));
  painter.setBrush(warn ? c.WarnFill : c.CircleFill);
  painter.drawEllipse(node, r, r);
  painter.setBrush(Qt::NoBrush);
  if (mark == Mark::Involved) {
    painter.setPen(QPen(c.Ring, 2.5));
    painter.drawEllipse(node, r + 3, r + 3);
  } else if (mark >= Mark::Subject && mark <= Mark::Selected) {
    const int role = static_cast<int>(mark) - static_cast<int>(Mark::Subject);
    const QPen pen = RolePen(role);
    painter.setPen(pen);
    const double ring = role == 3 || role == SelectedRole ? r + 5.5 : r + 3.5;
    painter.drawEllipse(node, ring, ring);
  } else if (badge) {
    QFont bold = font;
    bold.setBold(true);
    bold.setPixelSize(9);
    painter.setFont(bold);
    painter.setPen(c.Badge);
    const QRectF box(node.x() + r + 1, centre.y() - 7, 13, 14);
    painter.drawText(box, Qt::AlignCenter, QStringLiteral("+1"));
    if (mark == Mark::ChangedBalance) painter.drawRect(box.adjusted(0, 1, 0, -1));
  }
  painter.restore();
}

}  // namespace

QString MarkMeaning(Mark mark) {
  switch (mark) {
    case Mark::Involved:
      return QStringLiteral("a node the shown value or event involves");
    case Mark::Subject:
      return QStringLiteral("inserted, erased or fixed node; chain top");
    case Mark::Middle:
      return QStringLiteral("chain middle");
    case Mark::Bottom:
      return QStringLiteral("chain bottom");
    case Mark::NewTop:
      return QStringLiteral("takes the top's place");
    case Mark::Neighbour:
      return QStringLiteral("in-order neighbour moving up");
    case Mark::Lift:
      return QStringLiteral("lift step");
    case Mark::OtherDepth:
      return QStringLiteral("at another depth in the other tree");
    case Mark::Selected:
      return QStringLiteral("selected: the same in-order place in both trees");
    case Mark::Unbalanced:
      return QStringLiteral("sides differ by two or more");
    case Mark::Balance:
      return QStringLiteral("right height minus left height");
    case Mark::ChangedBalance:
      return QStringLiteral("heights the event changed");
  }
  return {};
}

Mark RoleMark(int role) {
  return static_cast<Mark>(static_cast<int>(Mark::Subject) + std::clamp(role, 0, 5));
}

std::vector<Mark> RoleMarks() {
  std::vector<Mark> marks;
  for (int role = 0; role < 6; ++role) marks.push_back(RoleMark(role));
  return marks;
}

double PaintLegend(QPainter* painter, QPointF topLeft, double width, const QFont& font,
                   const QColor& text, const std::vector<Mark>& marks) {
  if (marks.empty()) return 0;
  const QFontMetricsF metrics(font);
  const double row = std::max(Icon, metrics.height()) + 2;
  double x = 0, y = 0;
  for (const Mark mark : marks) {
    const QString meaning = MarkMeaning(mark);
    const double entry = Icon + IconGap + metrics.horizontalAdvance(meaning);
    // A new row for an entry that would pass the edge, unless it starts one.
    if (x > 0 && x + entry > width) {
      x = 0;
      y += row;
    }
    if (painter != nullptr) {
      const QPointF at = topLeft + QPointF(x, y);
      PaintIcon(*painter, at + QPointF(Icon / 2, row / 2), mark, font);
      painter->save();
      painter->setFont(font);
      painter->setPen(text);
      painter->drawText(QRectF(at.x() + Icon + IconGap, at.y(), entry, row),
                        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, meaning);
      painter->restore();
    }
    x += entry + EntryGap;
  }
  return y + row;
}

MarkLegend::MarkLegend(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("MarkLegend"));
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
}

void MarkLegend::SetMarks(std::vector<Mark> marks) {
  if (marks == marks_) return;
  marks_ = std::move(marks);
  updateGeometry();
  update();
}

int MarkLegend::heightForWidth(int width) const {
  return static_cast<int>(std::ceil(PaintLegend(nullptr, {}, width, font(), QColor(), marks_)));
}

QSize MarkLegend::sizeHint() const {
  return {400, heightForWidth(400)};
}

QSize MarkLegend::minimumSizeHint() const {
  return {100, 0};
}

void MarkLegend::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintLegend(&painter, {}, width(), font(), palette().color(QPalette::WindowText), marks_);
}

}  // namespace TreeUi
