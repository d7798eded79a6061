#include "pictures/PictureRender.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "view/ElementPainter.h"

namespace TreeUi {

namespace {

using TreeCore::PictureMargin;

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
                  TreeCore::Scales scales, const PaintOptions& options) {
  const TreeCore::Extent e = TreeCore::VisibleExtent(elements);
  if (e.Empty) return;
  // The pad's painter, so that a picture looks like the pad at that scale.
  ViewTransform view;
  view.ScaleX = scales.X;
  view.ScaleY = scales.Y;
  view.OffsetX = PictureMargin - e.Left * scales.X;
  view.OffsetY = PictureMargin - e.Top * scales.Y;
  const QSize size = PictureSize(elements, scales);
  PaintOptions own = options;
  own.Lookups = nullptr;
  PaintElements(painter, elements, view, QRectF(QPointF(0, 0), QSizeF(size)), own);
}

QImage RenderPicture(const TreeCore::ElementArrays& elements, TreeCore::Scales scales,
                     const PaintOptions& options) {
  const QSize size = PictureSize(elements, scales);
  if (size.isEmpty() || size.width() > TreeCore::MaxFitPixels ||
      size.height() > TreeCore::MaxFitPixels)
    return {};
  QImage image(size, QImage::Format_RGB32);
  if (image.isNull()) return {};
  QPainter painter(&image);
  PaintPicture(painter, elements, scales, options);
  return image;
}

TreeCore::Scales ScalesFor(const TreeCore::ElementArrays& elements, PictureSizing sizing) {
  if (!sizing.Fit) return sizing.View;
  const int longSide =
      std::clamp(sizing.LongSide, 2 * static_cast<int>(PictureMargin) + 1, TreeCore::MaxFitPixels);
  const TreeCore::Extent e = TreeCore::VisibleExtent(elements);
  if (e.Empty) return {};
  // The margins stay 8 pixels whatever the scale: fit what lies inside them.
  const double inner = longSide - 2 * PictureMargin;
  return TreeCore::FitScales(e.Width(), e.Height(), static_cast<int>(inner));
}

}  // namespace TreeUi
