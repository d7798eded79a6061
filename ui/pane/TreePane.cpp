#include "pane/TreePane.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <algorithm>

#include "BalanceBadges.h"
#include "view/BalanceView.h"
#include "view/DrawSurface.h"
#include "view/PadView.h"
#include "view/geometry/Twips.h"

namespace TreeUi {

TreePane::TreePane(const QString& caption, const char* name, QWidget* parent) : QWidget(parent) {
  const QString prefix = QString::fromLatin1(name);
  viewport_ = new QFrame;
  viewport_->setObjectName(prefix + QStringLiteral("Pane"));
  viewport_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  viewport_->setAutoFillBackground(true);
  viewport_->setMinimumSize(240, 200);
  surface_ = new DrawSurface(elements_, viewport_);
  surface_->setObjectName(prefix + QStringLiteral("Surface"));
  auto* hBar = new QScrollBar(Qt::Horizontal);
  auto* vBar = new QScrollBar(Qt::Vertical);
  hBar->hide();
  vBar->hide();
  // The pad's view features: zoom, fit, wheel and drag.
  view_ = new PadView(surface_, hBar, vBar, this);
  connect(surface_, &DrawSurface::LabelClicked, this,
          [this](int element) { emit NodeClicked(NodeOf(element), element); });
  caption_ = new QLabel(caption);
  grid_ = new QGridLayout(this);
  grid_->setContentsMargins(0, 0, 0, 0);
  grid_->setSpacing(0);
  grid_->addWidget(caption_, 0, 0);
  grid_->addWidget(viewport_, 1, 0);
  grid_->addWidget(vBar, 1, 1);
  grid_->addWidget(hBar, 2, 0);
  grid_->setRowStretch(1, 1);
  // Runs before the view's own filter, whose relayout keeps what this sets.
  viewport_->installEventFilter(this);
}

TreePane::~TreePane() = default;

void TreePane::ExposeNodes() {
  surface_->SetNodes({[this] { return &shown_; }, [this](int k) { return NodeOf(k); },
                      [this](std::int32_t node) { return ElementOf(node); }});
}

void TreePane::SetCaptionShown(bool shown) {
  caption_->setVisible(shown);
}

void TreePane::AddBelow(QWidget* widget) {
  grid_->addWidget(widget, grid_->rowCount(), 0);
}

int TreePane::ElementOf(std::int32_t node) const {
  const auto it = std::find(nodeOfElement_.begin(), nodeOfElement_.end(), node);
  return it == nodeOfElement_.end() ? -1 : static_cast<int>(it - nodeOfElement_.begin());
}

std::int32_t TreePane::NodeOf(int element) const {
  return element >= 0 && static_cast<std::size_t>(element) < nodeOfElement_.size()
             ? nodeOfElement_[static_cast<std::size_t>(element)]
             : -1;
}

void TreePane::Show(TreeCore::TreeRec tree, std::vector<std::int32_t> sortedMarks,
                    TreeCore::TreeLayout layout) {
  shown_ = std::move(tree);
  marked_ = std::move(sortedMarks);
  nodeOfElement_ = drawing_.Draw(shown_, elements_, layout);
  surface_->SetFitCaptions(layout == TreeCore::TreeLayout::Compact);
  surface_->ElementsChanged();
  surface_->SetMarkedElements(ElementsShowing(nodeOfElement_, marked_));
}

void TreePane::SetRings(const std::vector<NodeRing>& rings) {
  std::vector<RoleRing> byElement;
  for (const NodeRing& ring : rings) {
    const int k = ElementOf(ring.Node);
    if (k >= 0) byElement.push_back({k, ring.Role});
  }
  surface_->SetRoleRings(std::move(byElement));
}

void TreePane::ShowBalance(bool on) {
  TreeUi::ShowBalance(*surface_, shown_, nodeOfElement_, on);
}

void TreePane::SetChangedBadges(std::vector<bool> changedByElement) {
  surface_->SetChangedBadges(std::move(changedByElement));
}

void TreePane::ShowWhole() {
  ShowWholeTree(surface_, viewport_, view_);
}

QPointF TreePane::RootPoint() const {
  const int k = shown_.Count > 0 ? ElementOf(shown_.Root) : -1;
  if (k < 0) return {};
  const TreeCore::Shape& s = elements_.ShNode[static_cast<std::int16_t>(k)];
  const QPointF local = surface_->ToLocal(s.Left + s.Width / 2.0, s.Top + s.Height / 2.0);
  return surface_->mapTo(viewport_, local);
}

namespace {

// The root's centre in drawing twips, and the drawing's reach from it.
struct RootReach {
  bool Found = false;
  double X = 0, Y = 0;
  Extent Around;  // the drawn box, relative to the root
};

RootReach ReachOf(const TreePane& pane) {
  RootReach r;
  const int k = pane.Tree().Count > 0 ? pane.ElementOf(pane.Tree().Root) : -1;
  const Extent b = pane.Surface()->DrawnBounds();
  if (k < 0 || b.Empty()) return r;
  const TreeCore::Shape& s = pane.Elements().ShNode[static_cast<std::int16_t>(k)];
  r.Found = true;
  r.X = s.Left + s.Width / 2.0;
  r.Y = s.Top + s.Height / 2.0;
  r.Around = Extent{b.X0 - r.X, b.Y0 - r.Y, b.X1 - r.X, b.Y1 - r.Y};
  return r;
}

}  // namespace

void TreePane::ShowTogether(TreePane& a, TreePane& b) {
  const RootReach ra = ReachOf(a), rb = ReachOf(b);
  if (!ra.Found || !rb.Found) {
    a.ShowWhole();
    b.ShowWhole();
    return;
  }
  // One box that holds both drawings with their roots at one point, shown
  // in the smaller of the two viewports.
  Extent both = ra.Around;
  both.Add(rb.Around.X0, rb.Around.Y0, rb.Around.X1, rb.Around.Y1);
  const QRect ca = a.viewport_->contentsRect(), cb = b.viewport_->contentsRect();
  const double w = std::min(ca.width(), cb.width()), h = std::min(ca.height(), cb.height());
  const double margin = std::clamp(std::min(w, h) / 16, 0.0, 12.0);
  const FitScale fit = FitBox(both, w, h, margin, a.elements_.ShNode[0].Width);
  double s = fit.Scale, aspect = fit.Aspect;
  if (s >= DesignScale) {
    s = DesignScale;
    aspect = 1;
  } else {
    // A hair under the fit, so that rounding never calls for scroll bars.
    s *= 1 - 1e-9;
  }
  // The box centred: the root's offset from the viewport's centre.
  const QPointF fromCentre(-(both.X0 + both.X1) / 2 * s, -(both.Y0 + both.Y1) / 2 * s * aspect);
  a.view_->Hold(s, aspect, QPointF(ra.X, ra.Y), fromCentre);
  b.view_->Hold(s, aspect, QPointF(rb.X, rb.Y), fromCentre);
}

void TreePane::Refit() {
  if (surface_->DrawnBounds().Empty()) return;
  if (partner_ != nullptr && !partner_->isHidden() && !isHidden() &&
      !partner_->surface_->DrawnBounds().Empty())
    ShowTogether(*this, *partner_);
  else
    ShowWhole();
}

bool TreePane::eventFilter(QObject* watched, QEvent* event) {
  // A pane that changes size (the window resized, its partner shown or
  // hidden, a splitter dragged) shows its tree whole again.
  if (watched == viewport_ && event->type() == QEvent::Resize) Refit();
  return QWidget::eventFilter(watched, event);
}

}  // namespace TreeUi
