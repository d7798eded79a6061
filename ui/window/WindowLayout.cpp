#include "window/WindowLayout.h"

#include <QFrame>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVariant>
#include <algorithm>
#include <cmath>

#include "Drawing.h"
#include "view/DrawSurface.h"
#include "view/PadView.h"
#include "view/geometry/Twips.h"

namespace TreeUi {

namespace {

constexpr double MinOuterWidth = 7365;
constexpr double MinOuterHeight = 5985;
constexpr double OuterMinusViewportWidth = 510;
constexpr double OuterMinusViewportHeight = 3175;
constexpr double ScrollBarThickness = 255;
constexpr double DesignViewportWidth = 6855;
constexpr double DesignViewportHeight = 3015;
// The frame (borders and caption) that the constants above were measured
// with: at the first client size the layout gives the viewport its design
// size. The layout adds it to the client size rather than the frame a window
// manager happens to draw, so the controls keep their places under any
// decorations; with no window manager it is also the frame assumed for the
// smallest size.
constexpr double DesignFrameWidth =
    DesignViewportWidth + OuterMinusViewportWidth - WindowLayout::FirstClientWidth;
constexpr double DesignFrameHeight =
    DesignViewportHeight + OuterMinusViewportHeight - WindowLayout::FirstClientHeight;

}  // namespace

void WindowLayout::PlaceAtDesign(QWidget* control) {
  struct Place {
    const char* Name;
    int Index;
    double Left, Top, Width, Height;
  };
  static constexpr Place Places[] = {
      {"TxtGetTree", 0, 3000, 3960, 3015, 345},    {"CmdGetTree", 0, 6120, 3960, 975, 375},
      {"txtSearchNode", 0, 4440, 4560, 1575, 345}, {"cmdSearchNode", 0, 6120, 4560, 975, 375},
      {"txtEraseNode", 0, 3000, 5280, 2055, 345},  {"CmdEraseTree", 0, 5160, 5280, 735, 375},
      {"CmdClearTree", 0, 6000, 5280, 1095, 375},  {"lblInst", 0, 3000, 3480, 4215, 495},
      {"lblInst", 1, 3000, 4920, 1935, 255},       {"lblInst", 2, 3000, 4560, 1455, 255},
      {"VScrollDrawP", 0, 6600, 4080, 255, 255},   {"HScrollDrawP", 0, 6840, 4080, 255, 255},
      {"PicDrawPad", 0, 120, 120, 6855, 3015},     {"FraStNd", 0, 120, 3480, 2655, 2175},
      {"lblStatusNode", 0, 240, 240, 2175, 1815},
  };
  const QString name = control->objectName();
  const int index = control->property("Index").toInt();
  for (const Place& p : Places) {
    if (name != QLatin1String(p.Name) || index != p.Index) continue;
    control->setGeometry(ToPixels(p.Left), ToPixels(p.Top), ToPixels(p.Width), ToPixels(p.Height));
    return;
  }
}

double WindowLayout::OuterWidth() const {
  return ToTwips(parts_.Window->width()) + DesignFrameWidth;
}
double WindowLayout::OuterHeight() const {
  return ToTwips(parts_.Window->height()) + DesignFrameHeight;
}

void WindowLayout::UpdateMinimumSize() {
  QWidget* window = parts_.Window;
  double frameWidth = DesignFrameWidth, frameHeight = DesignFrameHeight;
  if (window->isVisible()) {
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    if (frame.width() > 0 || frame.height() > 0) {
      frameWidth = ToTwips(frame.width());
      frameHeight = ToTwips(frame.height());
    }
  }
  // A minimum size that the window manager honours, rather than snapping
  // the window back after it has been made smaller.
  const QSize least(static_cast<int>(std::ceil((MinOuterWidth - frameWidth) / 15)),
                    static_cast<int>(std::ceil((MinOuterHeight - frameHeight) / 15)));
  if (least != window->minimumSize()) window->setMinimumSize(least);
}

void WindowLayout::ReturnSurfaceToOrigin() {
  parts_.View->ResetToDesign();
  parts_.Surface->SetLeft(0);
  parts_.Surface->SetTop(0);
  parts_.Vertical->hide();
  parts_.Horizontal->hide();
  // The positions follow the surface, so that the first scroll after a new
  // drawing starts from where the view is.
  const QSignalBlocker blockV(parts_.Vertical);
  const QSignalBlocker blockH(parts_.Horizontal);
  parts_.Vertical->setValue(0);
  parts_.Horizontal->setValue(0);
}

void WindowLayout::ResizeAndRelocate() {
  QFrame* pad = parts_.Pad;
  DrawSurface* surface = parts_.Surface;
  PadView* view = parts_.View;
  // A zoomed view keeps what it showed at the centre through the layout.
  const PadView::KeepPlace keep(*view);
  const int viewportWidth = std::max(0, ToPixels(OuterWidth() - OuterMinusViewportWidth));
  const int viewportHeight = std::max(0, ToPixels(OuterHeight() - OuterMinusViewportHeight));

  // The controls below the viewport keep their distance from its bottom edge.
  // The surface is left out: its top is never positive.
  const int oldBottom = pad->y() + pad->height();
  const int newBottom = pad->y() + viewportHeight;
  for (QWidget* control : parts_.Controls)
    if (control->y() > oldBottom)
      control->move(control->x(), newBottom + (control->y() - oldBottom));

  pad->resize(viewportWidth, viewportHeight);
  const double width = ToTwips(viewportWidth), height = ToTwips(viewportHeight);
  surface->SetWidth(width);
  surface->SetHeight(height);

  const int thickness = ToPixels(ScrollBarThickness);
  parts_.Horizontal->setGeometry(pad->x(), pad->y() + viewportHeight, viewportWidth, thickness);
  view->SetScrollRange(Qt::Horizontal, surface->Width() - width, width);
  parts_.Horizontal->hide();

  parts_.Vertical->setGeometry(pad->x() + viewportWidth, pad->y(), thickness, viewportHeight);
  view->SetScrollRange(Qt::Vertical, surface->Height() - height, height);
  parts_.Vertical->hide();

  CheckMaxWH();
}

void WindowLayout::CheckMaxWH() {
  QFrame* pad = parts_.Pad;
  DrawSurface* surface = parts_.Surface;
  PadView* view = parts_.View;
  // Other scales than 100 % are the view's to lay out.
  if (!view->InDesignLayout()) {
    view->Relayout();
    return;
  }
  const double width = ToTwips(pad->width());
  const double height = ToTwips(pad->height());
  const QRect client = pad->contentsRect();
  const double allowanceX = ToTwips(pad->width() - client.width());
  const double allowanceY = ToTwips(pad->height() - client.height());

  // The border allowance is added to the drawing's extent on every call but
  // never written back into it, so repeated resizes do not keep growing the
  // surface and the scroll range.
  const double drawingWidth = TreeCore::DrawingWidth;
  if (drawingWidth > width) {
    surface->SetWidth(drawingWidth + allowanceX);
    view->SetScrollRange(Qt::Horizontal, surface->Width() - width, width);
    parts_.Horizontal->show();
  } else {
    surface->SetWidth(width);
    // Range 0 also brings a hidden bar's position back to the surface's place.
    view->SetScrollRange(Qt::Horizontal, 0, width);
    parts_.Horizontal->hide();
  }

  const double drawingHeight = TreeCore::DrawingHeight;
  if (drawingHeight > height) {
    surface->SetHeight(drawingHeight + allowanceY);
    view->SetScrollRange(Qt::Vertical, surface->Height() - height, height);
    parts_.Vertical->show();
  } else {
    surface->SetHeight(height);
    view->SetScrollRange(Qt::Vertical, 0, height);
    parts_.Vertical->hide();
  }
}

}  // namespace TreeUi
