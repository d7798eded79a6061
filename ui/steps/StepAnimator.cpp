#include "steps/StepAnimator.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>

#include "view/DrawSurface.h"
#include "view/ElementPainter.h"
#include "view/ViewSettings.h"

namespace TreeUi {

namespace {

// The slots of the value's own change; an Erase value that removed nothing has none.
bool Removes(const TreeTrace::ValueStep& step) {
  return step.EventCount > 0 && step.Node >= 0;
}

}  // namespace

// Covers the pane's viewport while a move runs; clicks go through to the pane.
class MotionOverlay final : public QWidget {
 public:
  MotionOverlay(StepAnimator* animator, QWidget* viewport)
      : QWidget(viewport), animator_(animator) {
    setObjectName(QStringLiteral("StepsMotion"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    QWidget* viewport = parentWidget();
    painter.fillRect(rect(), viewport->palette().color(viewport->backgroundRole()));
    const StepAnimator& a = *animator_;
    const double t = TreeCore::EaseInOut(a.Progress());
    const QRectF& f = a.fromSurface_;
    const QRectF& g = a.toSurface_;
    const QRectF surface(
        QPointF(f.left() + (g.left() - f.left()) * t, f.top() + (g.top() - f.top()) * t),
        QPointF(f.right() + (g.right() - f.right()) * t,
                f.bottom() + (g.bottom() - f.bottom()) * t));
    painter.fillRect(surface, Qt::white);
    QFont font = a.pane_->font();
    font.setPixelSize(11);
    PaintMotionFrame(painter, a.frames_, QPointF(0, 0), QRectF(rect()), a.pane_->FitCaptions(),
                     font);
  }

 private:
  StepAnimator* animator_;
};

TimerClock::TimerClock() {
  timer_.setInterval(16);
  timer_.callOnTimeout([this] { Tick(); });
  elapsed_.start();
}

double TimerClock::Now() const {
  return static_cast<double>(elapsed_.nsecsElapsed()) / 1e6;
}

void TimerClock::Run(bool on) {
  if (on && !timer_.isActive()) timer_.start();
  if (!on) timer_.stop();
}

std::vector<std::int32_t> SlotsBetween(const TreeTrace::TraceRecorder& recorder, StepPosition from,
                                       std::int32_t fromCount, StepPosition to,
                                       std::int32_t toCount) {
  const std::size_t n = recorder.ValueCount();
  if (n == 0) return TreeCore::MapSlots(fromCount, {});
  // The summary shows the tree after the last value.
  for (StepPosition* p : {&from, &to})
    if (p->Value < 0 || static_cast<std::size_t>(p->Value) >= n)
      *p = {static_cast<std::ptrdiff_t>(n) - 1, -1};
  auto order = [&](StepPosition p) {
    const std::size_t events = recorder.Step(static_cast<std::size_t>(p.Value)).EventCount;
    return std::make_pair(p.Value, p.Event < 0 ? static_cast<std::ptrdiff_t>(events) : p.Event);
  };
  const bool backward = order(to) < order(from);
  if (backward) {
    std::swap(from, to);
    std::swap(fromCount, toCount);
  }
  const bool get = recorder.Kind() == TreeTrace::CommandKind::Get;
  // An Erase value closes the table up somewhere among its events: a tree
  // shown part of the way through it has had its slot removed once it has
  // as many slots as the value leaves.
  auto countAfter = [&](std::size_t v) {
    std::int32_t count = recorder.After().Count;
    for (std::size_t j = v + 1; j < n; ++j) count += Removes(recorder.Step(j)) ? 1 : 0;
    return count;
  };
  auto done = [&](StepPosition p, std::int32_t count) {
    return get || p.Event < 0 || count == countAfter(static_cast<std::size_t>(p.Value));
  };
  const bool fromDone = done(from, fromCount), toDone = done(to, toCount);
  std::vector<TreeCore::SlotChange> changes;
  for (std::ptrdiff_t v = from.Value; v <= to.Value; ++v) {
    if ((v == from.Value && fromDone) || (v == to.Value && !toDone)) continue;
    const TreeTrace::ValueStep& step = recorder.Step(static_cast<std::size_t>(v));
    if (get)
      changes.push_back({TreeCore::SlotChange::Kind::Append, -1});
    else if (Removes(step))
      changes.push_back({TreeCore::SlotChange::Kind::Remove, step.Node});
  }
  std::vector<std::int32_t> map = TreeCore::MapSlots(fromCount, changes);
  return backward ? TreeCore::InvertSlots(map, toCount) : map;
}

void PaintMotionFrame(QPainter& painter, const TreeCore::MotionFrames& frames, QPointF offset,
                      const QRectF& area, bool fitCaptions, const QFont& captionFont) {
  using F = TreeCore::MotionFrames;
  ViewTransform view;
  view.ScaleX = frames.ScaleX();
  view.ScaleY = frames.ScaleY();
  view.OffsetX = offset.x();
  view.OffsetY = offset.y();
  PaintOptions options;
  options.CaptionFont = captionFont;
  options.FitCaptions = fitCaptions;
  options.FillBackground = false;
  // Every edge below every node, as in a drawing.
  for (const F::Layer layer : {F::EdgesOut, F::EdgesIn, F::Solid, F::NodesOut, F::NodesIn}) {
    const double opacity = frames.Opacity(layer);
    if (!(opacity > 0)) continue;
    painter.save();
    painter.setOpacity(opacity);
    PaintElements(painter, frames.Elements(layer), view, area, options);
    painter.restore();
  }
}

StepAnimator::StepAnimator(DrawSurface* pane, QWidget* window, QMenu* menu,
                           std::function<const TreeTrace::TraceRecorder&()> recorder,
                           std::function<void()> forward, std::function<void()> restart)
    : QObject(window),
      pane_(pane),
      recorder_(std::move(recorder)),
      forward_(std::move(forward)),
      restart_(std::move(restart)) {
  SetClock(std::make_unique<TimerClock>());
  overlay_ = new MotionOverlay(this, pane_->parentWidget());

  controls_ = new QWidget;
  auto* row = new QHBoxLayout(controls_);
  row->setContentsMargins(0, 0, 0, 0);
  play_ = new QPushButton(QStringLiteral("Play"));
  play_->setObjectName(QStringLiteral("Play"));
  play_->setFocusPolicy(Qt::TabFocus);
  play_->setToolTip(QStringLiteral("Run through the events, or pause (P)"));
  connect(play_, &QPushButton::clicked, this, [this] { playing_ ? Pause() : Play(); });
  speedBox_ = new QComboBox;
  speedBox_->setObjectName(QStringLiteral("Speed"));
  speedBox_->setFocusPolicy(Qt::TabFocus);
  for (const double s : Speeds) speedBox_->addItem(QStringLiteral("%1\u00d7").arg(s));
  speedBox_->setCurrentIndex(speed_);
  speedBox_->setToolTip(
      QStringLiteral("How fast Play runs and the nodes move ([ slower, ] faster)"));
  connect(speedBox_, &QComboBox::currentIndexChanged, this, [this](int i) { SetSpeed(i); });
  auto* label = new QLabel(QStringLiteral("Speed"));
  label->setBuddy(speedBox_);
  row->addWidget(play_);
  row->addWidget(label);
  row->addWidget(speedBox_);

  auto key = [this, window](QKeySequence keys, std::function<void()> act) {
    auto* shortcut = new QShortcut(keys, window);
    connect(shortcut, &QShortcut::activated, this, std::move(act));
  };
  key(QKeySequence(Qt::Key_P), [this] { playing_ ? Pause() : Play(); });
  key(QKeySequence(Qt::Key_BracketLeft), [this] { SetSpeed(speed_ - 1); });
  key(QKeySequence(Qt::Key_BracketRight), [this] { SetSpeed(speed_ + 1); });

  reduce_ = new QAction(QStringLiteral("Reduce Motion"), this);
  reduce_->setObjectName(QStringLiteral("ReduceMotion"));
  reduce_->setCheckable(true);
  reduce_->setChecked(ViewSettings::ReduceMotion());
  connect(reduce_, &QAction::toggled, this, [this](bool on) {
    ViewSettings::SetReduceMotion(on);
    if (on && animating_) Finish();
  });
  if (menu != nullptr) menu->addAction(reduce_);
}

StepAnimator::~StepAnimator() = default;

void StepAnimator::SetClock(std::unique_ptr<MotionClock> clock) {
  if (clock_) clock_->Run(false);
  clock_ = std::move(clock);
  clock_->OnTick([this] { OnTick(); });
  UpdateClock();
}

bool StepAnimator::ReduceMotion() const {
  return reduce_->isChecked();
}
void StepAnimator::SetReduceMotion(bool on) {
  reduce_->setChecked(on);
}

void StepAnimator::SetSpeed(int index) {
  index = std::clamp(index, 0, static_cast<int>(std::size(Speeds)) - 1);
  if (index == speed_) return;
  // The running move keeps its place and goes on at the new pace.
  if (animating_) {
    const double now = clock_->Now();
    start_ = now - (now - start_) * Speeds[speed_] / Speeds[index];
  }
  if (playing_) nextStep_ = clock_->Now() + DwellMs / Speeds[index];
  speed_ = index;
  speedBox_->setCurrentIndex(index);
}

TreeCore::Placement StepAnimator::PanePlacement() const {
  // The overlay covers the viewport's client area; the pane lies inside it.
  const ViewTransform view = pane_->Transform();
  const QPoint client = pane_->parentWidget()->contentsRect().topLeft();
  return {view.ScaleX, view.ScaleY, view.OffsetX + pane_->x() - client.x(),
          view.OffsetY + pane_->y() - client.y()};
}

namespace {

// The scene the pane shows, or nothing when it is too large to move.
bool Capture(const DrawSurface& pane, const TreeCore::Placement& placement,
             TreeCore::Scene& scene) {
  const PadNodes& nodes = pane.Nodes();
  const TreeCore::TreeRec* tree = nodes.Tree ? nodes.Tree() : nullptr;
  if (tree == nullptr || !nodes.NodeOf ||
      static_cast<std::size_t>(std::max(tree->Count, 0)) > StepAnimator::MaxMovingNodes)
    return false;
  const TreeCore::ElementArrays& elements = pane.Elements();
  std::vector<std::int32_t> nodeOfElement(
      static_cast<std::size_t>(std::max(elements.ShNode.UpperBound(), 0)));
  for (std::size_t k = 0; k < nodeOfElement.size(); ++k)
    nodeOfElement[k] = nodes.NodeOf(static_cast<int>(k));
  scene = TreeCore::CaptureScene(elements, nodeOfElement, *tree, placement);
  return true;
}

}  // namespace

void StepAnimator::Leaving() {
  if (animating_) Finish();
  captured_ = false;
  if (!known_ || ReduceMotion()) return;
  captured_ = Capture(*pane_, PanePlacement(), leaving_);
  const QPoint client = pane_->parentWidget()->contentsRect().topLeft();
  leavingSurface_ = QRectF(pane_->geometry().translated(-client));
}

void StepAnimator::Arrived(StepPosition position) {
  arrived_ = true;
  const TreeCore::TreeRec* tree = pane_->Nodes().Tree ? pane_->Nodes().Tree() : nullptr;
  const std::int32_t count = tree != nullptr ? std::max(tree->Count, 0) : 0;
  TreeCore::Scene arriving;
  if (captured_ && Capture(*pane_, PanePlacement(), arriving)) {
    const std::vector<std::int32_t> map =
        SlotsBetween(recorder_(), position_, count_, position, count);
    frames_.Prepare(std::move(leaving_), std::move(arriving), map);
    fromSurface_ = leavingSurface_;
    const QPoint client = pane_->parentWidget()->contentsRect().topLeft();
    toSurface_ = QRectF(pane_->geometry().translated(-client));
    animating_ = true;
    start_ = clock_->Now();
    overlay_->setGeometry(pane_->parentWidget()->contentsRect());
    overlay_->show();
    overlay_->raise();
    overlay_->update();
  }
  leaving_ = {};
  captured_ = false;
  known_ = true;
  position_ = position;
  count_ = count;
  if (playing_) nextStep_ = clock_->Now() + (animating_ ? MoveMs / Pace() : 0) + DwellMs / Pace();
  UpdateClock();
}

void StepAnimator::Forget() {
  if (animating_) Finish();
  // A new command is the student's to start playing.
  if (playing_) Pause();
  known_ = false;
  captured_ = false;
}

double StepAnimator::Progress() const {
  if (!animating_) return 1;
  return std::clamp((clock_->Now() - start_) / (MoveMs / Pace()), 0.0, 1.0);
}

void StepAnimator::Play() {
  playing_ = true;
  play_->setText(QStringLiteral("Pause"));
  arrived_ = false;
  forward_();
  // From the last event, play starts again at the first.
  if (!arrived_) restart_();
  if (!arrived_) Pause();
  UpdateClock();
}

void StepAnimator::Pause() {
  playing_ = false;
  play_->setText(QStringLiteral("Play"));
  UpdateClock();
}

void StepAnimator::Finish() {
  animating_ = false;
  overlay_->hide();
  UpdateClock();
}

void StepAnimator::UpdateClock() {
  if (clock_) clock_->Run(animating_ || playing_);
}

void StepAnimator::OnTick() {
  const double now = clock_->Now();
  if (animating_) {
    if (now - start_ >= MoveMs / Pace()) {
      Finish();
    } else {
      frames_.Update(Progress());
      overlay_->update();
    }
  }
  if (playing_ && !animating_ && now >= nextStep_) {
    arrived_ = false;
    forward_();
    if (!arrived_) Pause();
  }
}

}  // namespace TreeUi
