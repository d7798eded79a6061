#include "view/PadView.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "view/DrawSurface.h"
#include "view/ViewSettings.h"
#include "view/geometry/Twips.h"

namespace TreeUi {

namespace {

// Arrow step of both bars, twips; a wheel notch scrolls a few of them.
constexpr double ArrowStep = 100;

// Marks the view's own layout, whose bar moves are no user scroll.
class Laying {
 public:
  explicit Laying(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~Laying() { flag_ = was_; }
  Laying(const Laying&) = delete;
  Laying& operator=(const Laying&) = delete;

 private:
  bool& flag_;
  bool was_;
};

}  // namespace

PadView::PadView(DrawSurface* surface, QScrollBar* horizontal, QScrollBar* vertical,
                 QObject* parent)
    : QObject(parent),
      surface_(surface),
      h_(horizontal),
      v_(vertical),
      viewport_(surface->parentWidget()) {
  connect(h_, &QScrollBar::valueChanged, this, [this](int v) { OnBar(Qt::Horizontal, v); });
  connect(v_, &QScrollBar::valueChanged, this, [this](int v) { OnBar(Qt::Vertical, v); });
  surface_->setMouseTracking(true);
  surface_->installEventFilter(this);
  h_->installEventFilter(this);
  v_->installEventFilter(this);
  if (viewport_ != nullptr) viewport_->installEventFilter(this);
  showHint_ = ViewSettings::ShowHint();
  fitNewTrees_ = ViewSettings::FitNewTrees();
}

void PadView::SetDesignLayout(std::function<void()> layout) {
  designLayout_ = std::move(layout);
}

// ---- Scroll bars ------------------------------------------------------------

void PadView::SetScrollRange(Qt::Orientation orientation, double extent, double page) {
  QScrollBar* bar = orientation == Qt::Horizontal ? h_ : v_;
  ScrollScale& scale = orientation == Qt::Horizontal ? hScale_ : vScale_;
  const ScrollScale next = ScrollScale::For(extent, ArrowStep, page);
  if (next.Unit != scale.Unit) {
    // A position means another distance now: keep the view where it is.
    const double offset = scale.Offset(bar->value());
    scale = next;
    const QSignalBlocker block(bar);
    bar->setRange(0, next.Maximum);
    bar->setValue(next.Position(offset));
    if (orientation == Qt::Horizontal)
      surface_->SetLeft(-scale.Offset(bar->value()));
    else
      surface_->SetTop(-scale.Offset(bar->value()));
  } else {
    scale = next;
    // A position beyond the new maximum moves back to it, with the change
    // handling of the bar.
    bar->setRange(0, next.Maximum);
  }
  bar->setSingleStep(next.SingleStep);
  bar->setPageStep(next.PageStep);
}

void PadView::OnBar(Qt::Orientation orientation, int value) {
  if (orientation == Qt::Horizontal)
    surface_->SetLeft(-hScale_.Offset(value));
  else
    surface_->SetTop(-vScale_.Offset(value));
  if (!laying_) emit Scrolled();
}

// ---- State ------------------------------------------------------------------

QRectF PadView::Client() const {
  if (viewport_ == nullptr) return QRectF(surface_->rect());
  return QRectF(viewport_->contentsRect()).translated(-QPointF(surface_->pos()));
}

double PadView::Margin() const {
  const QRectF c = Client();
  return std::clamp(std::min(c.width(), c.height()) / 16, 0.0, 12.0);
}

FitScale PadView::WholeFit() const {
  const QRectF c = Client();
  return FitBox(surface_->DrawnBounds(), c.width(), c.height(), Margin(),
                surface_->Elements().ShNode[0].Width);
}

double PadView::Aspect() const {
  if (held_) return held_->Aspect;
  const FitScale fit = WholeFit();
  const double blended = AspectAt(scale_, fit, surface_->Elements().ShNode[0].Width);
  // Zooming in from the fit never brings the rows closer together than the
  // fit had them: the vertical scale holds until the horizontal one meets it.
  if (fit.Aspect > 1 && scale_ > fit.Scale)
    return std::max(blended, fit.Scale * fit.Aspect / scale_);
  return blended;
}

bool PadView::InDesignLayout() const {
  return designLayout_ && scale_ == DesignScale;
}

double PadView::LeastScale() const {
  if (surface_->DrawnBounds().Empty()) return DesignScale;
  return std::min(WholeFit().Scale, DesignScale);
}

QPointF PadView::CentrePoint() const {
  if (pinned_) return *pinned_;
  const ViewTransform t = surface_->Transform();
  const QPointF c = Client().center();
  return QPointF(t.ModelX(c.x()), t.ModelY(c.y()));
}

// ---- Layout -----------------------------------------------------------------

void PadView::Apply(double s, QPointF keep, QPointF at) {
  const Laying guard(laying_);
  scale_ = s;
  if (InDesignLayout())
    LayOutDesign(keep, at);
  else
    LayOutScaled(keep, at);
  UpdateHint();
}

void PadView::LayOutDesign(QPointF keep, QPointF at) {
  const bool wasScaled = surface_->ZoomX() != 1 || surface_->ZoomY() != 1 ||
                         surface_->OriginX() != 0 || surface_->OriginY() != 0;
  surface_->SetView(1, 1, 0, 0);
  if (wasScaled) designLayout_();
  // At 100 % a drawing twip is a surface twip.
  const QRectF c = Client();
  const double left = keep.x() - ToTwips(at.x() - c.left());
  const double top = keep.y() - ToTwips(at.y() - c.top());
  const QSignalBlocker blockH(h_), blockV(v_);
  h_->setValue(h_->isHidden() ? 0 : hScale_.Position(left));
  v_->setValue(v_->isHidden() ? 0 : vScale_.Position(top));
  surface_->SetLeft(-hScale_.Offset(h_->value()));
  surface_->SetTop(-vScale_.Offset(v_->value()));
}

void PadView::LayOutScaled(QPointF keep, QPointF at) {
  const Extent b = surface_->DrawnBounds();
  const QRectF c = Client();
  const double m = Margin();
  const double sx = scale_, sy = scale_ * Aspect();
  const AxisLayout ax = LayOutAxis(b.X0, b.X1, sx, m, c.width(), keep.x(), at.x() - c.left());
  const AxisLayout ay = LayOutAxis(b.Y0, b.Y1, sy, m, c.height(), keep.y(), at.y() - c.top());
  surface_->SetView(sx * TwipsPerPixel, sy * TwipsPerPixel, ax.Origin, ay.Origin);
  SetAxis(Qt::Horizontal, ax, c.width());
  SetAxis(Qt::Vertical, ay, c.height());
}

void PadView::SetAxis(Qt::Orientation orientation, const AxisLayout& axis, double view) {
  const bool horizontal = orientation == Qt::Horizontal;
  QScrollBar* bar = horizontal ? h_ : v_;
  ScrollScale& scale = horizontal ? hScale_ : vScale_;
  scale =
      ScrollScale::For(axis.Scrolls ? ToTwips(axis.Content - view) : 0, ArrowStep, ToTwips(view));
  {
    const QSignalBlocker block(bar);
    bar->setRange(0, scale.Maximum);
    bar->setSingleStep(scale.SingleStep);
    bar->setPageStep(scale.PageStep);
    bar->setValue(scale.Position(ToTwips(axis.Offset)));
  }
  bar->setVisible(axis.Scrolls);
  if (horizontal) {
    surface_->SetWidth(ToTwips(axis.Content));
    surface_->SetLeft(-scale.Offset(bar->value()));
  } else {
    surface_->SetHeight(ToTwips(axis.Content));
    surface_->SetTop(-scale.Offset(bar->value()));
  }
}

void PadView::Relayout() {
  if (held_) {
    Apply(held_->Scale, held_->Keep, Client().center() + held_->FromCentre);
    return;
  }
  if (fitted_ && !surface_->DrawnBounds().Empty()) {
    FitWhole(false);
    return;
  }
  if (InDesignLayout()) {
    designLayout_();
    UpdateHint();
    return;
  }
  const QPointF keep = CentrePoint();
  const double s = std::clamp(scale_, LeastScale(), MaxScale);
  Apply(s, keep, Client().center());
}

void PadView::ResetToDesign() {
  held_.reset();
  scale_ = DesignScale;
  fitted_ = false;
  surface_->SetView(1, 1, 0, 0);
}

PadView::KeepPlace::KeepPlace(PadView& view) : view_(view) {
  if (!view_.pinned_ && !view_.InDesignLayout()) {
    view_.pinned_ = view_.CentrePoint();
    pinned_ = true;
  }
}

PadView::KeepPlace::~KeepPlace() {
  if (pinned_) view_.pinned_.reset();
}

// ---- View commands ----------------------------------------------------------

void PadView::ZoomIn() {
  ZoomAt(1, Client().center());
}

void PadView::ZoomOut() {
  ZoomAt(-1, Client().center());
}

void PadView::ZoomAt(double steps, QPointF local) {
  Used();
  held_.reset();
  if (!std::isfinite(steps)) return;
  const ViewTransform t = surface_->Transform();
  const QPointF keep(t.ModelX(local.x()), t.ModelY(local.y()));
  double s = StepScale(scale_, steps, LeastScale());
  const FitScale whole = WholeFit();
  fitted_ = !surface_->DrawnBounds().Empty() && whole.Scale <= DesignScale &&
            s <= whole.Scale * (1 + 1e-9);
  // Steps out and back in again end a rounding error away from the fit.
  if (fitted_) s = whole.Scale;
  Apply(s, keep, local);
}

void PadView::FitWhole(bool byUser) {
  if (byUser) Used();
  held_.reset();
  const Extent b = surface_->DrawnBounds();
  if (b.Empty()) {
    fitted_ = false;
    Apply(DesignScale, QPointF(0, 0), Client().topLeft());
    return;
  }
  fitted_ = true;
  Apply(WholeFit().Scale, QPointF((b.X0 + b.X1) / 2, (b.Y0 + b.Y1) / 2), Client().center());
}

void PadView::ActualSize() {
  Used();
  held_.reset();
  fitted_ = false;
  Apply(DesignScale, CentrePoint(), Client().center());
}

void PadView::GoToRoot() {
  Used();
  CentreOnElement(0);
}

void PadView::CentreOn(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  held_.reset();
  Apply(scale_, QPointF(x, y), Client().center());
}

void PadView::CentreOnElement(int k) {
  if (k < 0 || k > 32767) return;
  const auto& shapes = surface_->Elements().ShNode;
  const auto i = static_cast<std::int16_t>(k);
  if (!shapes.IsLoaded(i) || !shapes[i].Visible) return;
  const TreeCore::Shape& s = shapes[i];
  CentreOn(s.Left + s.Width / 2.0, s.Top + s.Height / 2.0);
}

void PadView::Hold(double s, double aspect, QPointF keep, QPointF fromCentre) {
  if (!(s > 0) || !std::isfinite(s) || !(aspect >= 1) || !std::isfinite(aspect)) return;
  fitted_ = false;
  held_ = Holding{s, aspect, keep, fromCentre};
  Apply(s, keep, Client().center() + fromCentre);
}

void PadView::ScrollByPixels(double dx, double dy) {
  if (dx != 0 && !h_->isHidden())
    h_->setValue(hScale_.Position(hScale_.Offset(h_->value()) + ToTwips(dx)));
  if (dy != 0 && !v_->isHidden())
    v_->setValue(vScale_.Position(vScale_.Offset(v_->value()) + ToTwips(dy)));
}

// ---- Input ------------------------------------------------------------------

bool PadView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == h_ || watched == v_) {
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
      UpdateHint();
    return false;
  }
  if (watched == viewport_) {
    // A pane without a layout of its own follows its viewport's size here.
    if (event->type() == QEvent::Resize && !designLayout_) Relayout();
    return false;
  }
  if (watched != surface_) return false;

  switch (event->type()) {
    case QEvent::Wheel: {
      auto* wheel = static_cast<QWheelEvent*>(event);
      const QPoint delta = wheel->angleDelta();
      if (wheel->modifiers() & Qt::ControlModifier) {
        const double steps = (delta.y() != 0 ? delta.y() : delta.x()) / 120.0;
        if (steps != 0) ZoomAt(steps, wheel->position());
        return true;
      }
      double dx = delta.x(), dy = delta.y();
      if ((wheel->modifiers() & Qt::ShiftModifier) && dx == 0) std::swap(dx, dy);
      // A notch scrolls as many arrow steps as the desktop's wheel setting.
      const double notch = ToPixelsF(ArrowStep) * QApplication::wheelScrollLines();
      if (dx != 0 || dy != 0) {
        Used();
        ScrollByPixels(-dx / 120 * notch, -dy / 120 * notch);
      }
      return true;
    }
    case QEvent::NativeGesture: {
      auto* gesture = static_cast<QNativeGestureEvent*>(event);
      if (gesture->gestureType() != Qt::ZoomNativeGesture) return false;
      const double factor = 1 + gesture->value();
      if (factor > 0) ZoomAt(std::log(factor) / std::log(ZoomStepFactor), gesture->position());
      return true;
    }
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) return false;
      pressed_ = true;
      panning_ = false;
      pressAt_ = mouse->position();
      pressOffsetX_ = hScale_.Offset(h_->value());
      pressOffsetY_ = vScale_.Offset(v_->value());
      return false;  // the surface still sees a click on a label
    }
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (!pressed_ || !(mouse->buttons() & Qt::LeftButton)) {
        pressed_ = pressed_ && (mouse->buttons() & Qt::LeftButton);
        UpdateCursor(mouse->position());
        return false;
      }
      const QPointF moved = mouse->position() - pressAt_;
      if (!panning_) {
        if (moved.manhattanLength() < QApplication::startDragDistance()) return true;
        panning_ = true;
        surface_->CancelClick();
        Used();
      }
      surface_->setCursor(Qt::ClosedHandCursor);
      if (!h_->isHidden()) h_->setValue(hScale_.Position(pressOffsetX_ - ToTwips(moved.x())));
      if (!v_->isHidden()) v_->setValue(vScale_.Position(pressOffsetY_ - ToTwips(moved.y())));
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) return false;
      const bool dragged = panning_;
      pressed_ = panning_ = false;
      UpdateCursor(mouse->position());
      return dragged;
    }
    default:
      return false;
  }
}

void PadView::UpdateCursor(QPointF local) {
  if (panning_) {
    surface_->setCursor(Qt::ClosedHandCursor);
  } else if ((!h_->isHidden() || !v_->isHidden()) && surface_->LabelAt(local) < 0) {
    surface_->setCursor(Qt::OpenHandCursor);
  } else {
    surface_->unsetCursor();
  }
}

// ---- Actions, hint and preferences ------------------------------------------

QString PadView::HintText() {
  return QStringLiteral("Ctrl+0: whole tree \u00b7 right-click: view");
}

void PadView::Used() {
  used_ = true;
  UpdateHint();
}

void PadView::UpdateHint() {
  const bool larger = !h_->isHidden() || !v_->isHidden();
  surface_->SetHint(showHint_ && !used_ && larger ? HintText() : QString());
}

const PadView::Actions& PadView::CreateActions(QWidget* window, QMenu* menu) {
  auto make = [&](const char* name, const QString& text, QList<QKeySequence> keys) {
    auto* action = new QAction(text, window);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    // Whichever control of the window has the focus: the key is taken before
    // a text box could type it.
    action->setShortcutContext(Qt::WindowShortcut);
    action->setShortcutVisibleInContextMenu(true);
    window->addAction(action);
    if (menu != nullptr) menu->addAction(action);
    return action;
  };
  actions_.ZoomIn =
      make("ZoomIn", tr("Zoom In"),
           {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  actions_.ZoomOut = make("ZoomOut", tr("Zoom Out"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
  actions_.FitWhole =
      make("FitWholeTree", tr("Fit Whole Tree"), {QKeySequence(Qt::CTRL | Qt::Key_0)});
  actions_.ActualSize = make("ActualSize", tr("Actual Size"), {QKeySequence(Qt::CTRL | Qt::Key_1)});
  actions_.GoToRoot = make("GoToRoot", tr("Go to Root"), {QKeySequence(Qt::CTRL | Qt::Key_R)});
  connect(actions_.ZoomIn, &QAction::triggered, this, &PadView::ZoomIn);
  connect(actions_.ZoomOut, &QAction::triggered, this, &PadView::ZoomOut);
  connect(actions_.FitWhole, &QAction::triggered, this, [this] { FitWhole(); });
  connect(actions_.ActualSize, &QAction::triggered, this, &PadView::ActualSize);
  connect(actions_.GoToRoot, &QAction::triggered, this, &PadView::GoToRoot);

  if (menu != nullptr) menu->addSeparator();
  actions_.ShowHint = make("ShowViewHint", tr("Show View Hint"), {});
  actions_.ShowHint->setCheckable(true);
  actions_.ShowHint->setChecked(showHint_);
  connect(actions_.ShowHint, &QAction::toggled, this, [this](bool on) {
    showHint_ = on;
    ViewSettings::SetShowHint(on);
    UpdateHint();
  });
  actions_.FitNewTrees = make("FitNewTrees", tr("Fit New Trees"), {});
  actions_.FitNewTrees->setCheckable(true);
  actions_.FitNewTrees->setChecked(fitNewTrees_);
  connect(actions_.FitNewTrees, &QAction::toggled, this, [this](bool on) {
    fitNewTrees_ = on;
    ViewSettings::SetFitNewTrees(on);
  });
  return actions_;
}

void ShowWholeTree(DrawSurface* surface, const QWidget* viewport, PadView* view) {
  const Extent bounds = surface->DrawnBounds();
  const QRect client = viewport->contentsRect();
  if (!bounds.Empty() && bounds.Width() <= ToTwips(client.width()) &&
      bounds.Height() <= ToTwips(client.height())) {
    view->ResetToDesign();
    view->CentreOn((bounds.X0 + bounds.X1) / 2, (bounds.Y0 + bounds.Y1) / 2);
  } else {
    view->FitWhole(false);
  }
}

}  // namespace TreeUi
