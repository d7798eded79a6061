#include "PictureRender.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <vector>

namespace TreeUi {

namespace {

using TreeCore::PictureMargin;

// The pad's colours, so that a picture looks like the window.
const QColor Background(255, 255, 255);
const QColor LineColour(90, 90, 90);
const QColor CircleOutline(31, 58, 96);
const QColor CircleFill(255, 251, 230);
const QColor CaptionColour(0, 0, 0);

constexpr double CaptionPixels = 11.0;
// Below this a caption is a smudge: leave it out.
constexpr double SmallestCaptionPixels = 5.0;
// Below this a circle is drawn as a dot.
constexpr double SmallestCirclePixels = 4.0;

template <class T, class F>
void ForVisible(const TreeCore::ControlArray<T>& array, F&& f) {
  for (std::int32_t k = 0; k < array.UpperBound(); ++k) {
    const auto i = static_cast<std::int16_t>(k);
    if (array.IsLoaded(i) && array[i].Visible) f(array[i]);
  }
}

}  // namespace

QSize PictureSize(const TreeCore::ElementArrays& elements, TreeCore::Scales scales) {
  const TreeCore::Extent e = TreeCore::VisibleExtent(elements);
  if (e.Empty) return {};
  const double w = std::ceil(e.Width() * scales.X + 2 * PictureMargin - 1e-6);
  const double h = std::ceil(e.Height() * scales.Y + 2 * PictureMargin - 1e-6);
  if (!(w < 1e9) || !(h < 1e9)) return {1000000000, 1000000000};
  return {static_cast<int>(w), static_cast<int>(h)};
}

void PaintPicture(QPainter& painter, const TreeCore::ElementArrays& elements,
                  TreeCore::Scales scales) {
  const TreeCore::Extent e = TreeCore::VisibleExtent(elements);
  if (e.Empty) return;
  auto at = [&](double x, double y) {
    return QPointF((x - e.Left) * scales.X + PictureMargin, (y - e.Top) * scales.Y + PictureMargin);
  };
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);

  // Lines in one call: a large tree has tens of thousands.
  std::vector<QLineF> lines;
  ForVisible(elements.LnNode,
             [&](const TreeCore::Line& l) { lines.emplace_back(at(l.X1, l.Y1), at(l.X2, l.Y2)); });
  painter.setPen(QPen(LineColour, 1));
  painter.drawLines(lines.data(), static_cast<int>(lines.size()));

  double smallestSide = 1e300;
  std::vector<QRectF> circles;
  ForVisible(elements.ShNode, [&](const TreeCore::Shape& s) {
    const QRectF box(at(s.Left, s.Top), QSizeF(s.Width * scales.X, s.Height * scales.Y));
    smallestSide = std::min({smallestSide, box.width(), box.height()});
    circles.push_back(box);
  });
  if (smallestSide < SmallestCirclePixels) {
    // Dots keep the outline of a huge tree readable.
    painter.setPen(Qt::NoPen);
    painter.setBrush(CircleOutline);
    for (const QRectF& box : circles) {
      QRectF dot(0, 0, std::max(1.5, box.width()), std::max(1.5, box.height()));
      dot.moveCenter(box.center());
      painter.drawRect(dot);
    }
  } else {
    painter.setPen(QPen(CircleOutline, 1));
    painter.setBrush(CircleFill);
    for (const QRectF& box : circles) painter.drawEllipse(box.adjusted(0.5, 0.5, -0.5, -0.5));
  }

  // Captions grow with the smaller of the two scales, from 11 pixels at 100 %.
  const double zoom = std::min(scales.X, scales.Y) * TreeCore::PictureTwipsPerPixel;
  const double pixels = CaptionPixels * zoom;
  if (pixels >= SmallestCaptionPixels) {
    QFont font;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    painter.setFont(font);
    painter.setPen(CaptionColour);
    painter.setBrush(Qt::NoBrush);
    const QFontMetricsF metrics(font);
    ForVisible(elements.TreeNode, [&](const TreeCore::Label& l) {
      const QRectF box(at(l.Left, l.Top), QSizeF(l.Width * scales.X, l.Height * scales.Y));
      const QString caption = QString::fromStdString(l.Caption);
      const double wide = metrics.horizontalAdvance(caption);
      if (wide > box.width() && wide > 0) {
        // Six-character values are squeezed rather than cut, as on the pad.
        QFont narrow = font;
        narrow.setPixelSize(std::max(1, static_cast<int>(pixels * box.width() / wide)));
        painter.setFont(narrow);
        painter.drawText(box, Qt::AlignCenter, caption);
        painter.setFont(font);
      } else {
        painter.drawText(box, Qt::AlignCenter, caption);
      }
    });
  }
  painter.restore();
}

QImage RenderPicture(const TreeCore::ElementArrays& elements, TreeCore::Scales scales) {
  const QSize size = PictureSize(elements, scales);
  if (size.isEmpty() || size.width() > TreeCore::MaxFitPixels ||
      size.height() > TreeCore::MaxFitPixels)
    return {};
  QImage image(size, QImage::Format_RGB32);
  if (image.isNull()) return {};
  image.fill(Background);
  QPainter painter(&image);
  PaintPicture(painter, elements, scales);
  return image;
}

TreeCore::Scales ScalesFor(const TreeCore::ElementArrays& elements, PictureSizing sizing) {
  if (!sizing.Fit) return {};
  const int longSide =
      std::clamp(sizing.LongSide, 2 * static_cast<int>(PictureMargin) + 1, TreeCore::MaxFitPixels);
  const TreeCore::Extent e = TreeCore::VisibleExtent(elements);
  if (e.Empty) return {};
  // The margins stay 8 pixels whatever the scale: fit what lies inside them.
  const double inner = longSide - 2 * PictureMargin;
  return TreeCore::FitScales(e.Width(), e.Height(), static_cast<int>(inner));
}

}  // namespace TreeUi
