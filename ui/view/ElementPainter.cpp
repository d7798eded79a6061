#include "view/ElementPainter.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <unordered_set>

#include "CaptionFit.h"

namespace TreeUi {

namespace {

const QColor SurfaceColour(255, 255, 255);
const QColor LineColour(90, 90, 90);
const QColor CircleOutline(31, 58, 96);
const QColor CircleFill(255, 251, 230);
const QColor CaptionColour(0, 0, 0);
const QColor WarnOutline(170, 20, 20);
const QColor WarnFill(255, 205, 200);
const QColor RingColour(235, 120, 0);
const QColor BadgeColour(20, 60, 140);
// The smallest size a long caption is squeezed to, in pixels at 100 %.
constexpr double NarrowestCaption = 9;
// Opacity of one hairline edge in a zoomed-out drawing.
constexpr int EdgeAlpha = 110;

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

bool Meets(const Box& a, const Box& b) {
  return a.X0 <= b.X1 && b.X0 <= a.X1 && a.Y0 <= b.Y1 && b.Y0 <= a.Y1;
}

Box BoxOf(const TreeCore::Line& l) {
  return Box{std::min(l.X1, l.X2), std::min(l.Y1, l.Y2), std::max(l.X1, l.X2),
             std::max(l.Y1, l.Y2)};
}
template <class T>
Box BoxOf(const T& e) {
  return Box{e.Left, e.Top, e.Left + e.Width, e.Top + e.Height};
}

// The visible elements of one array that meet `area` (model twips); in
// stacking order when `ordered`, which only matters where they can overlap
// with different looks.
template <class T>
std::vector<std::int16_t> Visible(const TreeCore::ControlArray<T>& array, const ElementIndex* index,
                                  const Box& area, bool ordered) {
  std::vector<std::int16_t> found;
  auto take = [&](std::int32_t k) {
    const auto i = static_cast<std::int16_t>(k);
    if (array.IsLoaded(i) && array[i].Visible) found.push_back(i);
  };
  if (index != nullptr) {
    index->Query(area, take);
  } else {
    for (std::int32_t k = 0; k < array.UpperBound(); ++k) {
      const auto i = static_cast<std::int16_t>(k);
      if (array.IsLoaded(i) && Meets(BoxOf(array[i]), area)) take(k);
    }
  }
  if (ordered)
    std::sort(found.begin(), found.end(),
              [&](std::int16_t a, std::int16_t b) { return array.ZKey(a) < array.ZKey(b); });
  return found;
}

bool Flag(const std::vector<bool>* flags, std::int16_t k) {
  return flags != nullptr && k >= 0 && static_cast<std::size_t>(k) < flags->size() &&
         (*flags)[static_cast<std::size_t>(k)];
}

// A segment's two ends on whole pixels, as one key; lines of a zoomed-out
// drawing fall on top of each other by the thousand.
std::uint64_t SegmentKey(QPoint a, QPoint b) {
  auto part = [](int v) { return static_cast<std::uint64_t>(static_cast<std::uint16_t>(v)); };
  if (std::make_pair(b.x(), b.y()) < std::make_pair(a.x(), a.y())) std::swap(a, b);
  return part(a.x()) << 48 | part(a.y()) << 32 | part(b.x()) << 16 | part(b.y());
}

std::vector<ElementIndex::Item> ShapeItems(const TreeCore::ControlArray<TreeCore::Shape>& shapes) {
  std::vector<ElementIndex::Item> items;
  for (std::int32_t k = 0; k < shapes.UpperBound(); ++k) {
    const auto i = static_cast<std::int16_t>(k);
    if (shapes.IsLoaded(i) && shapes[i].Visible) items.push_back({BoxOf(shapes[i]), k});
  }
  return items;
}

// The circle whose box holds a line's end: its own element's at the child's
// end, any other at the parent's; -1 for none.
int CircleAt(const TreeCore::ControlArray<TreeCore::Shape>& shapes, const ElementIndex& circles,
             std::int16_t own, double x, double y) {
  auto holds = [&](std::int32_t k) {
    const auto i = static_cast<std::int16_t>(k);
    if (!shapes.IsLoaded(i) || !shapes[i].Visible) return false;
    const TreeCore::Shape& s = shapes[i];
    return x >= s.Left && x <= s.Left + s.Width && y >= s.Top && y <= s.Top + s.Height;
  };
  if (own >= 0 && holds(own)) return own;
  int found = -1;
  circles.Query(Box{x, y, x, y}, [&](std::int32_t k) {
    if (found < 0 && k != own && holds(k)) found = k;
  });
  return found;
}

// Moves a line's device ends to the edges of the circles it joins, as drawn;
// with `onlyMissing`, only a line that misses one of them.
void BetweenCircles(const TreeCore::ControlArray<TreeCore::Shape>& shapes,
                    const ElementIndex& circles, const ViewTransform& view, std::int16_t k,
                    const TreeCore::Line& l, QPointF& a, QPointF& b, bool onlyMissing) {
  const int from = CircleAt(shapes, circles, k, l.X1, l.Y1);
  const int to = CircleAt(shapes, circles, k, l.X2, l.Y2);
  if (from < 0 || to < 0 || from == to) return;
  auto centre = [&](int i, double& r) {
    const TreeCore::Shape& s = shapes[static_cast<std::int16_t>(i)];
    r = std::min(s.Width * view.ScaleX, s.Height * view.ScaleY) / 2 - 0.5;
    return QPointF(view.DeviceX(s.Left + s.Width / 2), view.DeviceY(s.Top + s.Height / 2));
  };
  double ra = 0, rb = 0;
  const QPointF ca = centre(from, ra), cb = centre(to, rb);
  // The ring's outer edge is half a pixel beyond its radius.
  auto meets = [](QPointF end, QPointF c, double r) {
    return std::hypot(end.x() - c.x(), end.y() - c.y()) <= r + 0.5;
  };
  if (onlyMissing && meets(a, ca, ra) && meets(b, cb, rb)) return;
  const QPointF d = cb - ca;
  const double length = std::hypot(d.x(), d.y());
  if (!(length > ra + rb)) return;
  a = ca + d * (ra / length);
  b = cb - d * (rb / length);
}

}  // namespace

QFont PaintOptions::DefaultCaptionFont() {
  QFont font;
  font.setPixelSize(static_cast<int>(DesignCaptionPixels));
  return font;
}

Detail DetailAt(const ViewTransform& view, const TreeCore::ElementArrays& elements) {
  const TreeCore::Shape& t = elements.ShNode[0];
  const double diameter = std::min(t.Width * view.ScaleX, t.Height * view.ScaleY);
  if (!(diameter >= DotDiameter)) return Detail::Dots;
  if (DesignCaptionPixels * view.Zoom() < MinCaptionPixels) return Detail::Circles;
  return Detail::Full;
}

Extent DrawnExtent(const TreeCore::ElementArrays& elements) {
  Extent e;
  auto add = [&](const auto& array) {
    for (std::int32_t k = 0; k < array.UpperBound(); ++k) {
      const auto i = static_cast<std::int16_t>(k);
      if (!array.IsLoaded(i) || !array[i].Visible) continue;
      const Box b = BoxOf(array[i]);
      e.Add(b.X0, b.Y0, b.X1, b.Y1);
    }
  };
  add(elements.ShNode);
  add(elements.TreeNode);
  add(elements.LnNode);
  return e;
}

namespace {

// Where each dot of a zoomed-out drawing goes, and how many nodes share each
// row and each pixel column of a row.
struct DotRows {
  struct Row {
    int Nodes = 0, MinX = std::numeric_limits<int>::max(), MaxX = std::numeric_limits<int>::min();
  };
  std::unordered_map<int, Row> rows;
  std::unordered_map<std::uint64_t, std::size_t> columnOf;
  std::vector<std::pair<QPoint, int>> columns;  // top-left of the column's dot, nodes in it
  std::vector<QPoint> dotOf;                    // by position in the list of shapes

  void Place(const TreeCore::ElementArrays& elements, const std::vector<std::int16_t>& shapes,
             const ViewTransform& view, int side) {
    dotOf.reserve(shapes.size());
    for (std::int16_t k : shapes) {
      const TreeCore::Shape& s = elements.ShNode[k];
      const QPointF c(view.DeviceX(s.Left + s.Width / 2), view.DeviceY(s.Top + s.Height / 2));
      const QPoint p(static_cast<int>(std::floor(c.x())) - side / 2,
                     static_cast<int>(std::floor(c.y())) - side / 2);
      dotOf.push_back(p);
      Row& row = rows[p.y()];
      ++row.Nodes;
      row.MinX = std::min(row.MinX, p.x());
      row.MaxX = std::max(row.MaxX, p.x());
      const auto [slot, added] = columnOf.emplace(SegmentKey(p, p), columns.size());
      if (added) columns.emplace_back(p, 0);
      ++columns[slot->second].second;
    }
  }

  bool Dense(int y) {
    const Row& row = rows[y];
    return row.Nodes > row.MaxX - row.MinX + 1;
  }

  // The dense rows' strips, in shades from a light grey for one node to the
  // outline's colour for many.
  void PaintStrips(QPainter& painter, int side) {
    constexpr int Shades = 8;
    std::array<std::vector<QRect>, Shades> strips;
    for (const auto& [p, nodes] : columns) {
      if (!Dense(p.y())) continue;
      const int shade = std::min(Shades - 1, static_cast<int>(Shades * nodes / (nodes + 3.0)));
      strips[static_cast<std::size_t>(shade)].emplace_back(p.x() + side / 2, p.y(), 1, side);
    }
    for (int shade = 0; shade < Shades; ++shade) {
      const double t = (shade + 1.0) / Shades;
      painter.setBrush(QColor::fromRgbF(1 - t * (1 - CircleOutline.redF()),
                                        1 - t * (1 - CircleOutline.greenF()),
                                        1 - t * (1 - CircleOutline.blueF())));
      const auto& rects = strips[static_cast<std::size_t>(shade)];
      painter.drawRects(rects.data(), static_cast<int>(rects.size()));
    }
  }
};

// One painting of the elements that meet an area, in named steps: lines,
// circles or dots, captions, then the decorations laid over them.
class ElementPass {
 public:
  ElementPass(QPainter& painter, const TreeCore::ElementArrays& elements, const ViewTransform& view,
              const QRectF& area, const PaintOptions& options, const ElementLookups& look)
      : painter(painter),
        elements(elements),
        view(view),
        options(options),
        look(look),
        // A pixel of margin: antialiased edges reach half a pixel outside an element.
        margin(area.adjusted(-2, -2, 2, 2)),
        visible{view.ModelX(margin.left()), view.ModelY(margin.top()), view.ModelX(margin.right()),
                view.ModelY(margin.bottom())},
        detail(DetailAt(view, elements)),
        deco(options.Decorations),
        warn(deco != nullptr ? &deco->Warn : nullptr),
        shapes(Visible(elements.ShNode, look.Shapes, visible, detail != Detail::Dots)),
        reroute(options.LinesBetweenCircles && view.ScaleX != view.ScaleY) {}

  QPointF At(double x, double y) const { return QPointF(view.DeviceX(x), view.DeviceY(y)); }

  void DotLines();
  void Dots();
  void Lines();
  void Circles();
  void Captions();
  void Badges();
  void Rings();
  void RoleRings();

  QPainter& painter;
  const TreeCore::ElementArrays& elements;
  const ViewTransform& view;
  const PaintOptions& options;
  const ElementLookups& look;
  const QRectF margin;
  const Box visible;
  const Detail detail;
  const ElementDecorations* const deco;
  const std::vector<bool>* const warn;
  const std::vector<std::int16_t> shapes;
  // Where the two scales differ, lines are moved onto their circles as drawn.
  const bool reroute;
  int painted = 0;

 private:
  QPointF DotCentre(std::int16_t own, double x, double y) const;
  const ElementIndex* CircleLookup();
  void Plate(std::int16_t k, const QRectF& box, const QString& caption);
  ElementIndex ownCircles_;
  const ElementIndex* circles_ = nullptr;
  const std::vector<RoleRing>& Roles() const {
    static const std::vector<RoleRing> none;
    return options.Roles != nullptr ? *options.Roles : none;
  }
};

// A dot stands for its whole circle: a line's end moves to the centre of the
// circle it ends in (its own element's at the child's end), so that lines
// meet the dots rather than stop short of them.
QPointF ElementPass::DotCentre(std::int16_t own, double x, double y) const {
  QPointF centre = At(x, y);
  auto take = [&](std::int32_t k) {
    const auto i = static_cast<std::int16_t>(k);
    if (!elements.ShNode.IsLoaded(i) || !elements.ShNode[i].Visible) return false;
    const TreeCore::Shape& s = elements.ShNode[i];
    if (x < s.Left || x > s.Left + s.Width || y < s.Top || y > s.Top + s.Height) return false;
    centre = At(s.Left + s.Width / 2, s.Top + s.Height / 2);
    return true;
  };
  if (!take(own) && circles_ != nullptr) {
    bool found = false;
    circles_->Query(Box{x, y, x, y}, [&](std::int32_t k) { found = found || take(k); });
  }
  return centre;
}

// The circles' lookup: the pad's own, else one made for this painting where
// lines are moved onto circles (a picture), else none.
const ElementIndex* ElementPass::CircleLookup() {
  if (look.Shapes != nullptr) return look.Shapes;
  if (!reroute) return nullptr;
  if (ownCircles_.Size() == 0) ownCircles_.Build(ShapeItems(elements.ShNode));
  return &ownCircles_;
}

// Hairlines, each pixel painted once: a zoomed-out tree of thousands of
// nodes reads as a shape, not a grey smear, and quickly.
void ElementPass::DotLines() {
  painter.setRenderHint(QPainter::Antialiasing, false);
  std::unordered_set<std::uint64_t> seen;
  std::vector<QLine> lines;
  circles_ = CircleLookup();
  for (std::int16_t k : Visible(elements.LnNode, look.Lines, visible, false)) {
    const TreeCore::Line& l = elements.LnNode[k];
    QPointF a = At(l.X1, l.Y1), b = At(l.X2, l.Y2);
    if (!ClipSegment(a, b, margin)) continue;
    ++painted;
    if (!seen.insert(SegmentKey(a.toPoint(), b.toPoint())).second) continue;
    a = DotCentre(k, l.X1, l.Y1);
    b = DotCentre(-1, l.X2, l.Y2);
    if (ClipSegment(a, b, margin)) lines.emplace_back(a.toPoint(), b.toPoint());
  }
  // Translucent, so that where many edges cross a pixel it is darker than
  // where one does: dense rows read as shades, not as a grey block.
  QColor edge = LineColour;
  edge.setAlpha(EdgeAlpha);
  painter.setPen(QPen(edge, 0));
  painter.drawLines(lines.data(), static_cast<int>(lines.size()));
}

// Dots, each pixel painted once. A row with more nodes than pixels would be a
// solid bar of dots: it is drawn as a strip instead, each pixel column as
// dark as the number of nodes in it.
void ElementPass::Dots() {
  const TreeCore::Shape& t = elements.ShNode[0];
  const int side = std::clamp(
      static_cast<int>(std::lround(std::min(t.Width * view.ScaleX, t.Height * view.ScaleY))), 2, 3);
  std::unordered_set<std::uint64_t> seen;
  DotRows rows;
  rows.Place(elements, shapes, view, side);
  std::vector<QRect> plain, warned;
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    const std::int16_t k = shapes[i];
    const QPoint p = rows.dotOf[i];
    const bool w = Flag(warn, k);
    if ((w || !rows.Dense(p.y())) && seen.insert(SegmentKey(p, p) ^ (w ? 1 : 0)).second)
      (w ? warned : plain).emplace_back(p, QSize(side, side));
    ++painted;
  }
  painter.setPen(Qt::NoPen);
  rows.PaintStrips(painter, side);
  painter.setBrush(CircleOutline);
  painter.drawRects(plain.data(), static_cast<int>(plain.size()));
  painter.setBrush(WarnOutline);
  painter.drawRects(warned.data(), static_cast<int>(warned.size()));
}

void ElementPass::Lines() {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(LineColour, 1));
  const ElementIndex* circles = reroute ? CircleLookup() : nullptr;
  for (std::int16_t k : Visible(elements.LnNode, look.Lines, visible, true)) {
    const TreeCore::Line& l = elements.LnNode[k];
    QPointF a = At(l.X1, l.Y1), b = At(l.X2, l.Y2);
    if (circles != nullptr)
      BetweenCircles(elements.ShNode, *circles, view, k, l, a, b, options.OnlyLinesThatMiss);
    if (!ClipSegment(a, b, margin)) continue;
    painter.drawLine(a, b);
    ++painted;
  }
}

void ElementPass::Circles() {
  for (std::int16_t k : shapes) {
    const TreeCore::Shape& s = elements.ShNode[k];
    const bool w = Flag(warn, k);
    painter.setPen(QPen(w ? WarnOutline : CircleOutline, 1));
    painter.setBrush(w ? WarnFill : CircleFill);
    // The outline runs just inside the shape's box.
    const QRectF box(At(s.Left, s.Top), QSizeF(s.Width * view.ScaleX, s.Height * view.ScaleY));
    const double d = std::min(box.width(), box.height());
    QRectF circle(0, 0, d, d);
    circle.moveCenter(box.center());
    painter.drawEllipse(circle.adjusted(0.5, 0.5, -0.5, -0.5));
    ++painted;
  }
}

void ElementPass::Captions() {
  QFont font = options.CaptionFont;
  const int pixels = std::max(1, static_cast<int>(std::lround(DesignCaptionPixels * view.Zoom())));
  font.setPixelSize(pixels);
  painter.setPen(CaptionColour);
  painter.setBrush(Qt::NoBrush);
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  for (std::int16_t k : Visible(elements.TreeNode, look.Labels, visible, true)) {
    const TreeCore::Label& l = elements.TreeNode[k];
    const QRectF box(At(l.Left, l.Top), QSizeF(l.Width * view.ScaleX, l.Height * view.ScaleY));
    const QString caption = QString::fromStdString(l.Caption);
    if (options.FitCaptions && elements.ShNode.IsLoaded(k) && elements.ShNode[k].Visible) {
      const TreeCore::Shape& s = elements.ShNode[k];
      QRectF circle(At(s.Left, s.Top), QSizeF(s.Width * view.ScaleX, s.Height * view.ScaleY));
      const double r = std::min(circle.width(), circle.height()) / 2 - 0.5;
      const double ems = metrics.horizontalAdvance(caption) / pixels;
      QFont fitted = font;
      fitted.setPixelSize(
          std::max(1, static_cast<int>(std::floor(TreeCore::CaptionFitPixels(ems, r, pixels)))));
      painter.setFont(fitted);
      painter.drawText(circle, Qt::AlignCenter, caption);
      painter.setFont(font);
      ++painted;
      continue;
    }
    // Long values such as -32768 are squeezed towards their box's width, but
    // no further than a size that keeps them readable: the plate under them
    // lets them run over the ring.
    const double wide = metrics.horizontalAdvance(caption);
    if (wide > box.width() && wide > 0) {
      QFont narrow = font;
      narrow.setPixelSize(
          std::max({6, static_cast<int>(pixels * NarrowestCaption / DesignCaptionPixels),
                    static_cast<int>(pixels * box.width() / wide)}));
      painter.setFont(narrow);
      Plate(k, box, caption);
      painter.drawText(box, Qt::AlignCenter | Qt::TextDontClip, caption);
      painter.setFont(font);
    } else {
      Plate(k, box, caption);
      painter.drawText(box, Qt::AlignCenter, caption);
    }
    ++painted;
  }
}

// A caption that reaches its circle's ring is laid on a plate of the fill's
// colour that covers the ring where the caption crosses it: a minus sign next
// to the ring would otherwise merge with it ("-32767" read "32767").
void ElementPass::Plate(std::int16_t k, const QRectF& box, const QString& caption) {
  if (!elements.ShNode.IsLoaded(k) || !elements.ShNode[k].Visible) return;
  const TreeCore::Shape& s = elements.ShNode[k];
  const double d = std::min(s.Width * view.ScaleX, s.Height * view.ScaleY);
  const QFontMetricsF metrics(painter.font());
  // The ring is a pixel wide: a caption that leaves a pixel inside it stays clear.
  if (!(metrics.horizontalAdvance(caption) > d - 4)) return;
  const QRectF line = painter.boundingRect(box, Qt::AlignCenter, caption);
  const QRectF ink =
      metrics.tightBoundingRect(caption).translated(line.left(), line.top() + metrics.ascent());
  painter.fillRect(ink.adjusted(-1, -1, 1, 1), Flag(warn, k) ? WarnFill : CircleFill);
}

void ElementPass::Badges() {
  QFont font = options.CaptionFont;
  font.setPixelSize(std::clamp(static_cast<int>(std::lround(9 * view.Zoom())), 7, 24));
  font.setBold(true);
  painter.setFont(font);
  // A node with role rings has its badge outside the outermost ring.
  std::unordered_map<int, double> ringed;
  for (const RoleRing& ring : Roles())
    ringed[ring.Element] = std::max(ringed[ring.Element], RoleRingReach(ring.Role) + 2);
  for (std::int16_t k : shapes) {
    if (static_cast<std::size_t>(k) >= deco->Badges.size()) continue;
    const std::string& text = deco->Badges[static_cast<std::size_t>(k)];
    if (text.empty()) continue;
    const TreeCore::Shape& s = elements.ShNode[k];
    const QPointF right = At(s.Left + s.Width, s.Top);
    painter.setPen(Flag(warn, k) ? WarnOutline : BadgeColour);
    const QString badge = QString::fromStdString(text);
    const auto ring = ringed.find(k);
    const double clear =
        std::max(TreeCore::BadgeClearance, ring != ringed.end() ? ring->second : 0.0);
    const QRectF box(right + QPointF(clear, 0), QSizeF(200, s.Height * view.ScaleY));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, badge);
    if (Flag(options.ChangedBadges, k)) {
      // Outlined, so that a change shows without resting on colour.
      QRectF tight = painter.boundingRect(box, Qt::AlignLeft | Qt::AlignVCenter, badge);
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(tight.adjusted(-2, -1, 2, 1));
    }
  }
}

// Rings: large enough to find a dot in a zoomed-out drawing.
void ElementPass::Rings() {
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(RingColour, 2.5));
  for (int marked : deco->Marked) {
    if (marked < 0 || marked > 32767) continue;
    const auto k = static_cast<std::int16_t>(marked);
    if (!elements.ShNode.IsLoaded(k) || !elements.ShNode[k].Visible) continue;
    const TreeCore::Shape& s = elements.ShNode[k];
    const QPointF c = At(s.Left + s.Width / 2, s.Top + s.Height / 2);
    const double r = std::max(std::min(s.Width * view.ScaleX, s.Height * view.ScaleY) / 2 + 3, 7.0);
    if (!margin.adjusted(-r, -r, r, r).contains(c)) continue;
    painter.drawEllipse(c, r, r);
  }
}

// Role rings, each role at its own distance, so that two roles of one node both show.
void ElementPass::RoleRings() {
  for (const RoleRing& ring : Roles()) {
    if (ring.Element < 0 || ring.Element > 32767) continue;
    const auto k = static_cast<std::int16_t>(ring.Element);
    if (!elements.ShNode.IsLoaded(k) || !elements.ShNode[k].Visible) continue;
    const TreeCore::Shape& s = elements.ShNode[k];
    const QPointF c = At(s.Left + s.Width / 2, s.Top + s.Height / 2);
    const double r =
        std::max(std::min(s.Width * view.ScaleX, s.Height * view.ScaleY) / 2 + 3, 7.0) +
        RoleRingDistance(ring.Role);
    if (!margin.adjusted(-r, -r, r, r).contains(c)) continue;
    painter.setPen(RolePen(ring.Role));
    painter.drawEllipse(c, r, r);
  }
}

}  // namespace

int PaintElements(QPainter& painter, const TreeCore::ElementArrays& elements,
                  const ViewTransform& view, const QRectF& area, const PaintOptions& options) {
  if (options.FillBackground) painter.fillRect(area, SurfaceColour);
  if (!(view.ScaleX > 0) || !(view.ScaleY > 0) || !std::isfinite(view.ScaleX) ||
      !std::isfinite(view.ScaleY))
    return 0;

  const ElementLookups none;
  ElementPass pass(painter, elements, view, area, options,
                   options.Lookups != nullptr ? *options.Lookups : none);
  painter.save();
  painter.setClipRect(area);
  if (pass.detail == Detail::Dots) {
    pass.DotLines();
    pass.Dots();
  } else {
    pass.Lines();
    pass.Circles();
    if (pass.detail == Detail::Full) pass.Captions();
  }
  if (pass.deco != nullptr) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    // Badges beside their circles, once circles are drawn at all.
    if (pass.detail != Detail::Dots && !pass.deco->Badges.empty()) pass.Badges();
    pass.Rings();
    pass.RoleRings();
  }
  painter.restore();
  return pass.painted;
}

double RoleRingDistance(int role) {
  return role == 3 || role == 7 ? 9.0 : 4.5;
}

double RoleRingReach(int role) {
  // Beyond the circle: the highlight's 3 pixels, the role's own distance, half the pen.
  return 3 + RoleRingDistance(role) + RolePen(role).widthF() / 2;
}

QPen RolePen(int role) {
  // Subject, middle, bottom, new top, neighbour, lift step; other depth, selected.
  static const Qt::GlobalColor colours[RolePenCount] = {Qt::darkYellow,  Qt::blue,     Qt::blue,
                                                        Qt::darkGreen,   Qt::darkCyan, Qt::magenta,
                                                        Qt::darkMagenta, Qt::black};
  static const Qt::PenStyle styles[RolePenCount] = {
      Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,  Qt::SolidLine,
      Qt::DashDotLine, Qt::DashDotDotLine, Qt::DashLine, Qt::SolidLine};
  const int i = role >= 0 && role < RolePenCount ? role : 0;
  QPen pen(QColor(colours[i]), i == 3 ? 1.5 : i == 7 ? 2.0 : 2.5, styles[i]);
  return pen;
}

MarkColours MarkColoursOf() {
  return {RingColour, CircleFill, CircleOutline, WarnFill, WarnOutline, BadgeColour};
}

}  // namespace TreeUi
