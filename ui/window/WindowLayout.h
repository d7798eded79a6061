// The window's layout in twips: the controls' design places, how the pad and
// the controls below it follow a resize, the smallest size, and how the
// surface and its scroll bars fit the drawing's extent at 100 %.
#pragma once

#include <QSize>
#include <utility>
#include <vector>

class QFrame;
class QScrollBar;
class QWidget;

namespace TreeUi {

class DrawSurface;
class PadView;

class WindowLayout {
 public:
  static constexpr double FirstClientWidth = 7245;
  static constexpr double FirstClientHeight = 5790;

  struct Parts {
    QWidget* Window = nullptr;
    QFrame* Pad = nullptr;
    DrawSurface* Surface = nullptr;
    QScrollBar* Horizontal = nullptr;
    QScrollBar* Vertical = nullptr;
    PadView* View = nullptr;
    // Every control that keeps its distance from the pad's bottom edge.
    std::vector<QWidget*> Controls;
  };

  // Places a control at its design position and size, found by its
  // objectName (and, for the instruction labels, its "Index" property).
  static void PlaceAtDesign(QWidget* control);

  void SetParts(Parts parts) { parts_ = std::move(parts); }
  // The least size, from the frame the window manager drew (or the design's).
  void UpdateMinimumSize();
  void ResizeAndRelocate();
  void CheckMaxWH();
  // Moves the surface to (0, 0) and hides the bars, positions back at 0.
  void ReturnSurfaceToOrigin();

 private:
  double OuterWidth() const;
  double OuterHeight() const;

  Parts parts_;
};

}  // namespace TreeUi
