// The view of a drawing pane: a DrawSurface in its framed viewport and two
// scroll bars. It owns the scroll ranges and what the bars show, the zoom
// (Ctrl+wheel, pinch, shortcuts), fitting the whole drawing, wheel and drag
// scrolling, centring an element, and the pane's view actions and corner
// hint. Any pane gets all of it by attaching one:
//
//   auto* view = new TreeUi::PadView(surface, hBar, vBar, pane);
//   view->CreateActions(window, menu);
//   ... after each drawing: surface->ElementsChanged(); view->Relayout();
#pragma once

#include <QObject>
#include <QPointF>
#include <functional>
#include <optional>

#include "view/geometry/ScrollScale.h"
#include "view/geometry/ViewTransform.h"

class QAction;
class QMenu;
class QScrollBar;
class QWidget;

namespace TreeUi {

class DrawSurface;

class PadView final : public QObject {
  Q_OBJECT

 public:
  PadView(DrawSurface* surface, QScrollBar* horizontal, QScrollBar* vertical,
          QObject* parent = nullptr);

  // A pane whose layout at 100 % is its own (the main window's fit of the
  // surface to the drawing's extent) hands it in; the view then lays out only
  // the other scales. Without it every scale is laid out by the view.
  void SetDesignLayout(std::function<void()> layout);

  // ---- Scroll bars ------------------------------------------------------

  // Sets a bar's range for an extent and page (twips of the surface). A
  // position past the new range moves back, with the bar's change handling.
  void SetScrollRange(Qt::Orientation orientation, double extent, double page);
  const ScrollScale& HorizontalScale() const { return hScale_; }
  const ScrollScale& VerticalScale() const { return vScale_; }

  // ---- State ------------------------------------------------------------

  double Scale() const { return scale_; }  // horizontal, pixels per twip
  double Aspect() const;                   // vertical scale / horizontal
  // 100 % in a pane with its own design layout: the view leaves it alone.
  bool InDesignLayout() const;
  // The scale below which the view does not zoom out: the whole drawing or
  // 100 %, whichever is smaller.
  double LeastScale() const;
  // Fitted by Fit Whole Tree (or by zooming out to the limit), and refitted
  // when the pane is resized.
  bool IsFitted() const { return fitted_; }
  // The drawing point (twips) at the viewport's centre.
  QPointF CentrePoint() const;

  // ---- View commands ----------------------------------------------------

  void ZoomIn();
  void ZoomOut();
  // `steps` zoom steps (negative: out) about a point of the surface widget.
  void ZoomAt(double steps, QPointF local);
  // Shows the whole drawing; `byUser` false for the program's own fits, which
  // leave the corner hint alone.
  void FitWhole(bool byUser = true);
  void ActualSize();
  void GoToRoot();
  // Centres a drawing point (twips), or an element's circle, at the current scale.
  void CentreOn(double x, double y);
  void CentreOnElement(int k);
  // Scrolls by pixels of the view, as the bars would.
  void ScrollByPixels(double dx, double dy);
  // Shows the drawing at scale `s` with rows spread by `aspect`, drawing
  // point `keep` (twips) `fromCentre` pixels from the viewport's centre, and
  // keeps it so through resizes until a view command: for panes held at one
  // scale with another.
  void Hold(double s, double aspect, QPointF keep, QPointF fromCentre);
  bool Held() const { return held_.has_value(); }

  // Back to 100 % with the identity mapping; the caller lays out next.
  void ResetToDesign();
  // Lays the view out again for the current drawing and viewport.
  void Relayout();

  // While one lives, layouts keep the drawing point that was at the centre
  // (a resize puts the bars back to 0 before the view is laid out again).
  class KeepPlace {
   public:
    explicit KeepPlace(PadView& view);
    ~KeepPlace();
    KeepPlace(const KeepPlace&) = delete;
    KeepPlace& operator=(const KeepPlace&) = delete;

   private:
    PadView& view_;
    bool pinned_ = false;
  };

  // ---- Actions and preferences -------------------------------------------

  struct Actions {
    QAction* ZoomIn = nullptr;
    QAction* ZoomOut = nullptr;
    QAction* FitWhole = nullptr;
    QAction* ActualSize = nullptr;
    QAction* GoToRoot = nullptr;
    QAction* ShowHint = nullptr;
    QAction* FitNewTrees = nullptr;
  };
  // Creates the view actions on `window`, whose shortcuts then work whichever
  // of its controls has the focus, and lists them in `menu`.
  const Actions& CreateActions(QWidget* window, QMenu* menu);
  const Actions& ActionsOf() const { return actions_; }

  bool FitNewTrees() const { return fitNewTrees_; }
  static QString HintText();

 signals:
  // A scroll bar's position changed (the user's or the program's setValue).
  void Scrolled();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The viewport's client area, in pixels of the surface widget.
  QRectF Client() const;
  double Margin() const;
  FitScale WholeFit() const;
  // Goes to scale `s`, with drawing point `keep` at surface pixel `at`.
  void Apply(double s, QPointF keep, QPointF at);
  void LayOutDesign(QPointF keep, QPointF at);
  void LayOutScaled(QPointF keep, QPointF at);
  void SetAxis(Qt::Orientation orientation, const AxisLayout& axis, double view);
  void OnBar(Qt::Orientation orientation, int value);
  void Used();
  void UpdateHint();
  void UpdateCursor(QPointF local);

  DrawSurface* surface_;
  QScrollBar* h_;
  QScrollBar* v_;
  QWidget* viewport_;
  std::function<void()> designLayout_;
  ScrollScale hScale_, vScale_;
  double scale_ = DesignScale;
  bool fitted_ = false;
  std::optional<QPointF> pinned_;
  struct Holding {
    double Scale, Aspect;
    QPointF Keep, FromCentre;
  };
  std::optional<Holding> held_;
  bool laying_ = false;  // inside the view's own layout: bar moves are no scroll

  // Dragging: where the press was and what the bars showed then.
  bool pressed_ = false, panning_ = false;
  QPointF pressAt_;
  double pressOffsetX_ = 0, pressOffsetY_ = 0;

  Actions actions_;
  bool used_ = false;
  bool showHint_ = true;
  bool fitNewTrees_ = false;
};

// A pane's tree: shown at 100 %, centred, when it fits the client area of
// `viewport` so, else whole (the user may zoom in; the next tree shown comes
// whole again).
void ShowWholeTree(DrawSurface* surface, const QWidget* viewport, PadView* view);

}  // namespace TreeUi
