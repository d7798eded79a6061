#include "steps/StepsWindow.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <fstream>

#include "BalanceBadges.h"
#include "EventReason.h"
#include "EventStates.h"
#include "Messages.h"
#include "StepsDrawing.h"
#include "TraceJson.h"
#include "TraceText.h"
#include "steps/RulesPanel.h"
#include "steps/StepAnimator.h"
#include "steps/StepsHandout.h"
#include "view/BalanceView.h"
#include "view/DrawSurface.h"
#include "view/LayoutAction.h"
#include "view/MessageSink.h"
#include "view/PadView.h"

namespace TreeUi {

namespace {

enum Role { RowKind = Qt::UserRole, ValueIndex, EventIndex };
enum RowType { SummaryRow, ValueRow, EventRow, MessageRow };
// An expanded value lists at most this many events; the rest are counted.
constexpr std::size_t MaxEventRows = 5000;

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QTreeWidgetItem* ValueItem(QTreeWidget* list, std::size_t i) {
  // Row 0 is the summary; value i follows at row i + 1.
  return list->topLevelItem(static_cast<int>(i) + 1);
}

QFrame* NewViewport(const char* name) {
  auto* viewport = new QFrame;
  viewport->setObjectName(QString::fromLatin1(name));
  viewport->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  viewport->setAutoFillBackground(true);
  viewport->setMinimumSize(240, 200);
  return viewport;
}

// The slots among the first Count that hold one of `values`.
void MarkValues(const TreeCore::TreeRec& tree, std::initializer_list<std::int16_t> values,
                std::vector<std::int32_t>& marks) {
  const auto count =
      std::min<std::size_t>(static_cast<std::size_t>(std::max(tree.Count, 0)), tree.Nodes.size());
  for (std::size_t n = 0; n < count; ++n)
    if (std::find(values.begin(), values.end(), tree.Nodes[n].Data) != values.end())
      marks.push_back(static_cast<std::int32_t>(n));
}

// The role rings of `marks`, in the elements that show their nodes.
std::vector<RoleRing> RingsOf(const std::vector<TreeTrace::RoleMark>& marks,
                              const std::vector<std::int32_t>& nodeOfElement) {
  std::vector<RoleRing> rings;
  for (std::size_t k = 0; k < nodeOfElement.size(); ++k)
    for (const TreeTrace::RoleMark& m : marks)
      if (m.Node == nodeOfElement[k])
        rings.push_back({static_cast<int>(k), static_cast<int>(m.Role)});
  // The outer ring of a new top is drawn last, over the others.
  std::stable_sort(rings.begin(), rings.end(), [](const RoleRing& a, const RoleRing& b) {
    return (a.Role == static_cast<int>(TreeTrace::Role::NewTop)) <
           (b.Role == static_cast<int>(TreeTrace::Role::NewTop));
  });
  return rings;
}

// The roles' rings, each with its name.
class RoleLegend final : public QWidget {
 public:
  RoleLegend() {
    setObjectName(QStringLiteral("StepsLegend"));
    setMinimumHeight(24);
  }
  static QString Name(int role) {
    static const char* const names[TreeTrace::RoleCount] = {
        "inserted, erased or fixed node; chain top",
        "chain middle",
        "chain bottom",
        "takes the top's place",
        "in-order neighbour moving up",
        "lift step"};
    return QString::fromLatin1(names[role]);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics(font());
    int x = 4;
    const int y = height() / 2;
    for (int role = 0; role < TreeTrace::RoleCount; ++role) {
      painter.setPen(RolePen(role));
      painter.drawEllipse(QPointF(x + 8, y), 7, 7);
      painter.setPen(palette().color(QPalette::WindowText));
      const QString text = Name(role);
      painter.drawText(x + 20, y + metrics.ascent() / 2 - 1, text);
      x += 20 + metrics.horizontalAdvance(text) + 14;
    }
  }
};

bool IsBalancing(const TreeTrace::StepEvent& e) {
  return e.Type == TreeTrace::EventType::Rotate || e.Type == TreeTrace::EventType::FixUp;
}

}  // namespace

StepsWindow::StepsWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      recorder_(std::make_unique<TreeTrace::TraceRecorder>()),
      drawing_(std::make_unique<StepsDrawing>()),
      beforeDrawing_(std::make_unique<StepsDrawing>()) {
  setObjectName(QStringLiteral("StepsWindow"));
  setWindowTitle(QStringLiteral("Balancing Steps"));
  setAttribute(Qt::WA_DeleteOnClose);

  list_ = new QTreeWidget;
  list_->setObjectName(QStringLiteral("StepsList"));
  list_->setHeaderHidden(true);
  list_->setUniformRowHeights(true);
  list_->installEventFilter(this);
  connect(list_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item) { OnCurrentItemChanged(item); });
  connect(list_, &QTreeWidget::itemExpanded, this,
          [this](QTreeWidgetItem* item) { FillEvents(item); });

  viewport_ = NewViewport("StepsPane");
  pane_ = new DrawSurface(elements_, viewport_);
  pane_->setObjectName(QStringLiteral("StepsSurface"));
  // Screen readers find the shown tree's nodes, as on the main pad.
  pane_->SetNodes({[this] { return &shown_; },
                   [this](int k) -> std::int32_t {
                     return k >= 0 && static_cast<std::size_t>(k) < nodeOfElement_.size()
                                ? nodeOfElement_[static_cast<std::size_t>(k)]
                                : -1;
                   },
                   [this](std::int32_t node) {
                     const auto it = std::find(nodeOfElement_.begin(), nodeOfElement_.end(), node);
                     return it == nodeOfElement_.end()
                                ? -1
                                : static_cast<int>(it - nodeOfElement_.begin());
                   }});
  auto* hBar = new QScrollBar(Qt::Horizontal);
  auto* vBar = new QScrollBar(Qt::Vertical);
  hBar->hide();
  vBar->hide();
  // The pad's view features: zoom, fit, wheel and drag, in the pane's own menu.
  view_ = new PadView(pane_, hBar, vBar, this);
  paneMenu_ = new QMenu(this);
  view_->CreateActions(this, paneMenu_);
  // The steps are read, so they are drawn compact unless the user says otherwise.
  paneMenu_->addSeparator();
  layout_ = new LayoutAction(
      this, paneMenu_, pane_,
      [this] {
        if (current_ >= 0)
          ShowValue(static_cast<std::size_t>(current_));
        else
          ShowSummary();
      },
      true);
  animator_ = new StepAnimator(
      pane_, this, paneMenu_, [this]() -> const TreeTrace::TraceRecorder& { return *recorder_; },
      [this] { EventForward(); },
      [this] {
        if (recorder_->ValueCount() > 0) ShowEvent(0, 0);
      });
  connect(pane_, &DrawSurface::MenuRequested, this,
          [this](QPoint global, QPointF) { paneMenu_->popup(global); });
  auto* paneBox = new QWidget;
  auto* grid = new QGridLayout(paneBox);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  afterCaption_ = new QLabel(QStringLiteral("After"));
  afterCaption_->hide();
  grid->addWidget(afterCaption_, 0, 0);
  grid->addWidget(viewport_, 1, 0);
  grid->addWidget(vBar, 1, 1);
  grid->addWidget(hBar, 2, 0);
  grid->setRowStretch(1, 1);

  // The tree before a selected event, beside the tree after it.
  beforeViewport_ = NewViewport("StepsBeforePane");
  beforePane_ = new DrawSurface(beforeElements_, beforeViewport_);
  beforePane_->setObjectName(QStringLiteral("StepsBeforeSurface"));
  auto* beforeH = new QScrollBar(Qt::Horizontal);
  auto* beforeV = new QScrollBar(Qt::Vertical);
  beforeH->hide();
  beforeV->hide();
  beforeView_ = new PadView(beforePane_, beforeH, beforeV, this);
  beforeBox_ = new QWidget;
  auto* beforeGrid = new QGridLayout(beforeBox_);
  beforeGrid->setContentsMargins(0, 0, 0, 0);
  beforeGrid->setSpacing(0);
  beforeGrid->addWidget(new QLabel(QStringLiteral("Before")), 0, 0);
  beforeGrid->addWidget(beforeViewport_, 1, 0);
  beforeGrid->addWidget(beforeV, 1, 1);
  beforeGrid->addWidget(beforeH, 2, 0);
  beforeGrid->setRowStretch(1, 1);
  beforeBox_->hide();
  auto* panes = new QSplitter(Qt::Horizontal);
  panes->addWidget(beforeBox_);
  panes->addWidget(paneBox);

  auto* split = new QSplitter(Qt::Horizontal);
  split->addWidget(list_);
  split->addWidget(panes);
  rules_ = new RulesPanel(this);
  split->addWidget(rules_);
  split->setStretchFactor(0, 2);
  split->setStretchFactor(1, 3);

  auto button = [this](const char* name, const QString& text) {
    auto* b = new QPushButton(text);
    b->setObjectName(QString::fromLatin1(name));
    b->setFocusPolicy(Qt::TabFocus);
    return b;
  };
  first_ = button("First", QStringLiteral("|< First"));
  back_ = button("Back", QStringLiteral("< Back"));
  forward_ = button("Forward", QStringLiteral("Forward >"));
  last_ = button("Last", QStringLiteral("Last >|"));
  save_ = button("SaveTrace", QStringLiteral("Save Trace\u2026"));
  connect(first_, &QPushButton::clicked, this, &StepsWindow::First);
  connect(back_, &QPushButton::clicked, this, &StepsWindow::Back);
  connect(forward_, &QPushButton::clicked, this, &StepsWindow::Forward);
  connect(last_, &QPushButton::clicked, this, &StepsWindow::Last);
  connect(save_, &QPushButton::clicked, this, &StepsWindow::SaveTraceAs);
  first_->setToolTip(QStringLiteral("The first value (Home)"));
  back_->setToolTip(QStringLiteral("One value back (Left)"));
  forward_->setToolTip(QStringLiteral("One value forward (Right)"));
  last_->setToolTip(QStringLiteral("The last value (End)"));
  // Event by event, and from one rotation or fix-up to the next.
  struct EventMove {
    QPushButton** button;
    const char* name;
    QString text, tip;
    QKeySequence keys;
    void (StepsWindow::*act)();
  } const moves[] = {
      {&previousBalancing_, "PreviousBalancing", QStringLiteral("<< Rotation/Fix-up"),
       QStringLiteral("The previous rotation or fix-up (Ctrl+Shift+Left)"),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left), &StepsWindow::PreviousBalancing},
      {&eventBack_, "EventBack", QStringLiteral("< Event"),
       QStringLiteral("One event back (Shift+Left)"), QKeySequence(Qt::SHIFT | Qt::Key_Left),
       &StepsWindow::EventBack},
      {&eventForward_, "EventForward", QStringLiteral("Event >"),
       QStringLiteral("One event forward (Shift+Right)"), QKeySequence(Qt::SHIFT | Qt::Key_Right),
       &StepsWindow::EventForward},
      {&nextBalancing_, "NextBalancing", QStringLiteral("Rotation/Fix-up >>"),
       QStringLiteral("The next rotation or fix-up (Ctrl+Shift+Right)"),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right), &StepsWindow::NextBalancing},
  };
  for (const EventMove& m : moves) {
    *m.button = button(m.name, m.text);
    (*m.button)->setToolTip(m.tip);
    connect(*m.button, &QPushButton::clicked, this, m.act);
    auto* shortcut = new QShortcut(m.keys, this);
    connect(shortcut, &QShortcut::activated, this, m.act);
  }
  balance_ = new QCheckBox(QStringLiteral("Show Balance"));
  balance_->setObjectName(QStringLiteral("StepsShowBalance"));
  balance_->setFocusPolicy(Qt::TabFocus);
  balance_->setToolTip(QStringLiteral("Each node's right height minus left height, in both panes"));
  connect(balance_, &QCheckBox::toggled, this, [this](bool on) {
    // The compact panes make room for the badges: the state is drawn again.
    drawing_->SetRoomForBadges(on);
    beforeDrawing_->SetRoomForBadges(on);
    if (layout_->Layout() != TreeCore::TreeLayout::Compact) return UpdateBalance();
    if (currentEvent_ >= 0)
      ShowEvent(static_cast<std::size_t>(current_), static_cast<std::size_t>(currentEvent_));
    else if (current_ >= 0)
      ShowValue(static_cast<std::size_t>(current_));
    else
      ShowSummary();
  });
  status_ = new QLabel;
  status_->setObjectName(QStringLiteral("StepsStatus"));
  status_->setWordWrap(true);
  reason_ = new QLabel;
  reason_->setObjectName(QStringLiteral("StepsReason"));
  reason_->setWordWrap(true);
  reason_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  reason_->hide();
  legend_ = new RoleLegend;
  legend_->hide();

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {first_, back_, forward_, last_}) buttons->addWidget(b);
  buttons->addSpacing(12);
  for (QPushButton* b : {previousBalancing_, eventBack_, eventForward_, nextBalancing_})
    buttons->addWidget(b);
  buttons->addWidget(animator_->Controls());
  buttons->addStretch();
  // The rest on the status line's right: one row of everything would not
  // fit a 1280-pixel screen.
  auto* tools = new QHBoxLayout;
  tools->addWidget(status_, 1);
  tools->addWidget(balance_);
  tools->addWidget(rules_->Toggle());
  tools->addWidget(save_);
  tools->addWidget(NewHandoutButton(this));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(split, 1);
  layout->addLayout(buttons);
  layout->addLayout(tools);
  layout->addWidget(reason_);
  layout->addWidget(legend_);
  resize(900, 560);
  viewport_->installEventFilter(this);
  beforeViewport_->installEventFilter(this);
  CommandRecorded();
}

StepsWindow::~StepsWindow() = default;

QString StepsWindow::SummaryText() const {
  if (recorder_->Empty()) return {};
  return Q(TreeTrace::DescribeSummary(recorder_->Summary()));
}

void StepsWindow::TakeRecording(std::unique_ptr<TreeTrace::TraceRecorder> recorder) {
  if (!recorder) return;
  recorder_ = std::move(recorder);
  CommandRecorded();
}

void StepsWindow::CommandRecorded() {
  ++recordings_;
  animator_->Forget();
  list_->clear();
  current_ = -1;
  const TreeTrace::TraceRecorder& rec = *recorder_;
  if (rec.Empty()) {
    auto* none = new QTreeWidgetItem(
        QStringList(QStringLiteral("Run Get Tree or Erase to see its balancing steps.")));
    none->setFlags(Qt::ItemIsEnabled);
    list_->addTopLevelItem(none);
    Display({}, {});
    status_->clear();
    return;
  }
  QList<QTreeWidgetItem*> rows;
  rows.reserve(static_cast<qsizetype>(rec.ValueCount()) + 2);
  auto* summary = new QTreeWidgetItem(QStringList(SummaryText()));
  summary->setData(0, RowKind, SummaryRow);
  summary->setToolTip(0, summary->text(0));
  rows.push_back(summary);
  for (std::size_t i = 0; i < rec.ValueCount(); ++i) {
    const TreeTrace::ValueStep& step = rec.Step(i);
    auto* row = new QTreeWidgetItem(QStringList(Q(TreeTrace::DescribeValue(rec.Kind(), step))));
    row->setData(0, RowKind, ValueRow);
    row->setData(0, ValueIndex, static_cast<qulonglong>(i));
    row->setToolTip(0, row->text(0));
    // Its balancing events are listed when it is opened.
    if (step.EventCount > 1) row->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    rows.push_back(row);
  }
  if (!rec.Message().empty()) {
    auto* message = new QTreeWidgetItem(QStringList(Q(rec.Message())));
    message->setData(0, RowKind, MessageRow);
    message->setToolTip(0, message->text(0));
    rows.push_back(message);
  }
  list_->addTopLevelItems(rows);
  if (rec.ValueCount() > 0)
    Last();
  else
    ShowSummary();
}

void StepsWindow::FillEvents(QTreeWidgetItem* item) {
  if (item == nullptr || item->data(0, RowKind).toInt() != ValueRow || item->childCount() > 0)
    return;
  const auto i = static_cast<std::size_t>(item->data(0, ValueIndex).toULongLong());
  const std::vector<TreeTrace::StepEvent> events = recorder_->EventsOf(i);
  QList<QTreeWidgetItem*> children;
  std::size_t shown = 0, balancing = 0;
  for (std::size_t k = 0; k < events.size(); ++k) {
    const auto type = events[k].Type;
    if (type == TreeTrace::EventType::Insert || type == TreeTrace::EventType::Erase) continue;
    ++balancing;
    if (shown == MaxEventRows) continue;
    auto* child = new QTreeWidgetItem(QStringList(Q(TreeTrace::DescribeEvent(events[k]))));
    child->setData(0, RowKind, EventRow);
    child->setData(0, ValueIndex, static_cast<qulonglong>(i));
    child->setData(0, EventIndex, static_cast<qulonglong>(k));
    child->setToolTip(0, child->text(0));
    children.push_back(child);
    ++shown;
  }
  if (balancing > shown) {
    auto* more = new QTreeWidgetItem(
        QStringList(QStringLiteral("\u2026 and %1 more").arg(balancing - shown)));
    more->setFlags(Qt::ItemIsEnabled);
    children.push_back(more);
  }
  if (children.isEmpty()) item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
  item->addChildren(children);
}

void StepsWindow::SelectValue(std::size_t i) {
  if (i >= recorder_->ValueCount()) return;
  list_->setCurrentItem(ValueItem(list_, i));
}

void StepsWindow::First() {
  SelectValue(0);
}
void StepsWindow::Last() {
  if (recorder_->ValueCount() > 0) SelectValue(recorder_->ValueCount() - 1);
}
void StepsWindow::Back() {
  if (current_ > 0) SelectValue(static_cast<std::size_t>(current_ - 1));
}
void StepsWindow::Forward() {
  if (current_ < 0)
    First();
  else
    SelectValue(static_cast<std::size_t>(current_ + 1));
}

void StepsWindow::OnCurrentItemChanged(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  switch (item->data(0, RowKind).toInt()) {
    case SummaryRow:
      ShowSummary();
      break;
    case ValueRow:
      ShowValue(static_cast<std::size_t>(item->data(0, ValueIndex).toULongLong()));
      break;
    case EventRow:
      ShowEvent(static_cast<std::size_t>(item->data(0, ValueIndex).toULongLong()),
                static_cast<std::size_t>(item->data(0, EventIndex).toULongLong()));
      break;
    default:
      break;
  }
}

void StepsWindow::ShowValue(std::size_t i) {
  if (i >= recorder_->ValueCount()) return;
  const auto start = std::chrono::steady_clock::now();
  std::vector<TreeTrace::StepEvent> events;
  TreeCore::TreeRec tree = recorder_->TreeAfter(static_cast<std::ptrdiff_t>(i), events);
  current_ = static_cast<std::ptrdiff_t>(i);
  currentEvent_ = -1;
  SetBeforeShown(false);
  rules_->ShowValue(recorder_->Kind());
  std::vector<std::int32_t> marks = recorder_->MarksOf(i, events, tree);
  Display(std::move(tree), std::move(marks));
  lastStepMs_ =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  status_->setText(QStringLiteral("Value %1 of %2").arg(i + 1).arg(recorder_->ValueCount()));
  QTreeWidgetItem* item = ValueItem(list_, i);
  if (list_->currentItem() != item &&
      (list_->currentItem() == nullptr || list_->currentItem()->parent() != item)) {
    const QSignalBlocker quiet(list_);
    list_->setCurrentItem(item);
  }
  emit ValueShown(current_);
}

void StepsWindow::ShowSummary() {
  current_ = -1;
  currentEvent_ = -1;
  SetBeforeShown(false);
  rules_->Clear();
  if (recorder_->Empty()) return;
  TreeCore::TreeRec tree = recorder_->After();
  std::vector<std::int32_t> marks = TreeTrace::UnbalancedNodes(tree);
  Display(std::move(tree), std::move(marks));
  status_->setText(SummaryText() +
                   QStringLiteral("\nMarked: the nodes whose sides differ by two or more."));
  if (list_->currentItem() != list_->topLevelItem(0)) {
    const QSignalBlocker quiet(list_);
    list_->setCurrentItem(list_->topLevelItem(0));
  }
  emit ValueShown(-1);
}

void StepsWindow::Display(TreeCore::TreeRec tree, std::vector<std::int32_t> marks) {
  animator_->Leaving();
  shown_ = std::move(tree);
  marked_ = std::move(marks);
  nodeOfElement_ = drawing_->Draw(shown_, elements_, layout_->Layout());
  layout_->Drawn();
  pane_->ElementsChanged();
  pane_->SetMarkedElements(ElementsShowing(nodeOfElement_, marked_));
  ShowBalance(*pane_, shown_, nodeOfElement_, balance_->isChecked());
  MarkChangedHeights();
  ShowWholeTree(pane_, viewport_, view_);
  animator_->Arrived({current_, currentEvent_});
}

void StepsWindow::DisplayBefore(TreeCore::TreeRec tree, std::vector<std::int32_t> marks) {
  before_ = std::move(tree);
  beforeNodeOfElement_ = beforeDrawing_->Draw(before_, beforeElements_, layout_->Layout());
  beforePane_->ElementsChanged();
  beforePane_->SetMarkedElements(ElementsShowing(beforeNodeOfElement_, marks));
  ShowBalance(*beforePane_, before_, beforeNodeOfElement_, balance_->isChecked());
  ShowWholeTree(beforePane_, beforeViewport_, beforeView_);
}

void StepsWindow::SetBeforeShown(bool shown) {
  if (!shown) {
    before_ = TreeCore::TreeRec{};
    reason_->clear();
  }
  reason_->setVisible(shown);
  legend_->setVisible(shown);
  if (!shown) {
    beforePane_->SetRoleRings({});
    pane_->SetRoleRings({});
  }
  if (beforeBox_->isHidden() != shown) return;
  beforeBox_->setVisible(shown);
  afterCaption_->setVisible(shown);
  // The panes take their new sizes now, so that the trees are fitted to them.
  if (layout() != nullptr) layout()->activate();
}

void StepsWindow::UpdateBalance() {
  const bool on = balance_->isChecked();
  ShowBalance(*pane_, shown_, nodeOfElement_, on);
  ShowBalance(*beforePane_, before_, beforeNodeOfElement_, on && currentEvent_ >= 0);
  MarkChangedHeights();
}

void StepsWindow::MarkChangedHeights() {
  // Beside an event, the After pane outlines the badges whose heights it changed.
  const bool on = balance_->isChecked() && currentEvent_ >= 0;
  pane_->SetChangedBadges(on ? HeightsChanged(before_, shown_, nodeOfElement_, removed_)
                             : std::vector<bool>{});
}

QString StepsWindow::StatusText() const {
  return status_->text();
}
QString StepsWindow::ReasonText() const {
  return reason_->text();
}

void StepsWindow::ShowEvent(std::size_t i, std::size_t k) {
  if (i >= recorder_->ValueCount() || k >= recorder_->Step(i).EventCount) return;
  const auto start = std::chrono::steady_clock::now();
  TreeTrace::EventStates states = TreeTrace::StatesAt(*recorder_, i, k);
  if (!states.Found) return;
  current_ = static_cast<std::ptrdiff_t>(i);
  currentEvent_ = static_cast<std::ptrdiff_t>(k);
  const TreeTrace::StepEvent& e = states.Event;
  removed_ = e.Type == TreeTrace::EventType::Erase ? e.Node : -1;
  std::vector<std::int32_t> before, after;
  if (e.Type == TreeTrace::EventType::Insert) {
    const TreeTrace::ValueStep& step = recorder_->Step(i);
    if (step.HasParent) before.push_back(step.ParentNode);
    after.push_back(e.Node);
  } else {
    for (const std::int32_t n : {e.Node, e.Other, e.Third})
      if (n >= 0) before.push_back(n);
    // The slots move as the table closes up or a node moves; the values do not.
    if (e.Type == TreeTrace::EventType::Erase) {
      const TreeTrace::ValueStep& step = recorder_->Step(i);
      if (step.HasParent) MarkValues(states.After, {step.ParentValue}, after);
    } else {
      MarkValues(states.After, {e.Value, e.OtherValue, e.ThirdValue}, after);
    }
  }
  for (auto* marks : {&before, &after}) {
    std::sort(marks->begin(), marks->end());
    marks->erase(std::unique(marks->begin(), marks->end()), marks->end());
  }
  const TreeTrace::EventReason reason = TreeTrace::ExplainEvent(*recorder_, i, states);
  reason_->setText(QStringLiteral("Why: %1\nRule: %2").arg(Q(reason.Facts), Q(reason.Rule)));
  rules_->ShowEvent(*recorder_, i, states, reason);
  const std::vector<TreeTrace::RoleMark> beforeRoles =
      TreeTrace::EventRoles(e, reason, states.Before);
  const std::vector<TreeTrace::RoleMark> afterRoles =
      TreeTrace::EventRoles(e, reason, states.After);
  SetBeforeShown(true);
  DisplayBefore(std::move(states.Before), std::move(before));
  Display(std::move(states.After), std::move(after));
  beforePane_->SetRoleRings(RingsOf(beforeRoles, beforeNodeOfElement_));
  pane_->SetRoleRings(RingsOf(afterRoles, nodeOfElement_));
  lastStepMs_ =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  status_->setText(QStringLiteral("Value %1 of %2 \u00b7 event %3 of %4\n%5")
                       .arg(i + 1)
                       .arg(recorder_->ValueCount())
                       .arg(k + 1)
                       .arg(recorder_->Step(i).EventCount)
                       .arg(Q(TreeTrace::DescribeEvent(e))));
  SelectEventRow(i, k);
  emit ValueShown(current_);
}

void StepsWindow::SelectEventRow(std::size_t i, std::size_t k) {
  QTreeWidgetItem* row = ValueItem(list_, i);
  if (row == nullptr) return;
  FillEvents(row);
  QTreeWidgetItem* target = row;
  for (int c = 0; c < row->childCount(); ++c) {
    QTreeWidgetItem* child = row->child(c);
    if (child->data(0, RowKind).toInt() == EventRow &&
        child->data(0, EventIndex).toULongLong() == k)
      target = child;
  }
  const QSignalBlocker quiet(list_);
  if (target != row) row->setExpanded(true);
  list_->setCurrentItem(target);
  list_->scrollToItem(target);
}

void StepsWindow::EventForward() {
  const std::size_t n = recorder_->ValueCount();
  std::size_t i = 0, k = 0;
  if (current_ >= 0) {
    i = static_cast<std::size_t>(current_);
    // A whole value stands for the state after its last event.
    if (currentEvent_ >= 0)
      k = static_cast<std::size_t>(currentEvent_) + 1;
    else
      k = recorder_->Step(i).EventCount;
  }
  while (i < n && k >= recorder_->Step(i).EventCount) {
    ++i;
    k = 0;
  }
  if (i < n) ShowEvent(i, k);
}

void StepsWindow::EventBack() {
  if (current_ < 0) return;
  auto i = static_cast<std::size_t>(current_);
  std::size_t k =
      currentEvent_ >= 0 ? static_cast<std::size_t>(currentEvent_) : recorder_->Step(i).EventCount;
  while (k == 0) {
    if (i == 0) return;
    k = recorder_->Step(--i).EventCount;
  }
  ShowEvent(i, k - 1);
}

void StepsWindow::PreviousBalancing() {
  JumpToBalancing(false);
}
void StepsWindow::NextBalancing() {
  JumpToBalancing(true);
}

void StepsWindow::JumpToBalancing(bool forward) {
  const std::size_t n = recorder_->ValueCount();
  if (n == 0 || (current_ < 0 && !forward)) return;
  std::size_t i = current_ < 0 ? 0 : static_cast<std::size_t>(current_);
  // Events are searched after (or before) position k of value i.
  std::ptrdiff_t k = currentEvent_;
  if (current_ < 0)
    k = -1;
  else if (currentEvent_ < 0)
    k = static_cast<std::ptrdiff_t>(recorder_->Step(i).EventCount) - (forward ? 1 : 0);
  for (;;) {
    const TreeTrace::ValueStep& step = recorder_->Step(i);
    const bool any =
        step.FixUps > 0 ||
        step.Rotations[0] + step.Rotations[1] + step.Rotations[2] + step.Rotations[3] > 0;
    if (any) {
      const std::vector<TreeTrace::StepEvent> events = recorder_->EventsOf(i);
      const auto size = static_cast<std::ptrdiff_t>(events.size());
      for (std::ptrdiff_t m = forward ? k + 1 : k - 1; m >= 0 && m < size; m += forward ? 1 : -1) {
        if (IsBalancing(events[static_cast<std::size_t>(m)])) {
          ShowEvent(i, static_cast<std::size_t>(m));
          return;
        }
      }
    }
    if (forward) {
      if (++i >= n) return;
      k = -1;
    } else {
      if (i == 0) return;
      k = static_cast<std::ptrdiff_t>(recorder_->Step(--i).EventCount);
    }
  }
}

bool StepsWindow::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers != Qt::NoModifier) {
    const bool balancing = modifiers == (Qt::ShiftModifier | Qt::ControlModifier);
    if (!balancing && modifiers != Qt::ShiftModifier) return false;
    if (key == Qt::Key_Left) {
      balancing ? PreviousBalancing() : EventBack();
      return true;
    }
    if (key == Qt::Key_Right) {
      balancing ? NextBalancing() : EventForward();
      return true;
    }
    return false;
  }
  switch (key) {
    case Qt::Key_Left:
      Back();
      return true;
    case Qt::Key_Right:
      Forward();
      return true;
    case Qt::Key_Home:
      First();
      return true;
    case Qt::Key_End:
      Last();
      return true;
    default:
      return false;
  }
}

bool StepsWindow::eventFilter(QObject* watched, QEvent* event) {
  // A pane that changes size (the window resized, the Before pane shown or
  // hidden, a splitter dragged) shows its tree whole and centred again.
  if (event->type() == QEvent::Resize) {
    if (watched == viewport_ && !pane_->DrawnBounds().Empty())
      ShowWholeTree(pane_, viewport_, view_);
    if (watched == beforeViewport_ && !beforePane_->DrawnBounds().Empty())
      ShowWholeTree(beforePane_, beforeViewport_, beforeView_);
  }
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (HandleKey(key->key(), key->modifiers() & ~Qt::KeypadModifier)) return true;
  }
  return QWidget::eventFilter(watched, event);
}

bool StepsWindow::SaveTrace(const QString& path, QString* error) {
  if (recorder_->Empty()) {
    if (error) *error = QStringLiteral("There is no command to save.");
    return false;
  }
  // Written beside the target and renamed over it once complete, so that a
  // failure never leaves a half-written trace under the chosen name. The
  // events are replayed straight into the file: a sorted list makes
  // millions of them, too many to hold as text.
  const std::string target = QFile::encodeName(path).toStdString();
  const std::string part = target + ".part";
  bool ok = false;
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    if (out) {
      TreeTrace::JsonTraceWriter writer(out);
      const TreeCore::TreeRec after =
          recorder_->Replay(&writer, [](std::size_t, const TreeCore::TreeRec&) {});
      if (!recorder_->Message().empty()) writer.Message(recorder_->Message());
      writer.Done(after);
      out.flush();
      ok = static_cast<bool>(out);
    }
  }
  if (ok) ok = std::rename(part.c_str(), target.c_str()) == 0;
  if (!ok) {
    std::remove(part.c_str());
    if (error) *error = QStringLiteral("The trace could not be written to %1.").arg(path);
  }
  return ok;
}

void StepsWindow::SaveTraceAs() {
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Trace"), QString(),
                                                    QStringLiteral("JSON lines (*.jsonl)"));
  if (path.isEmpty()) return;
  QString error;
  if (!SaveTrace(path, &error))
    QMessageBox::critical(this, QStringLiteral("Error"), error);
  else
    status_->setText(QStringLiteral("Saved %1").arg(path));
}

CommandTap::CommandTap(StepsWindow* steps, TreeTrace::CommandKind kind,
                       const TreeCore::TreeRec& before)
    : steps_(steps) {
  if (steps_.isNull()) return;
  recorder_ = std::make_unique<TreeTrace::TraceRecorder>();
  recorder_->BeginCommand(kind, before);
}

CommandTap::~CommandTap() = default;

void CommandTap::Watch(TreeCommands::TreeJob& job) {
  if (!recorder_) return;
  TreeTrace::TraceRecorder* const recorder = recorder_.get();
  job.Watch(recorder, [recorder](const TreeCore::TreeRec& tree, std::int16_t value) {
    recorder->BeginValue(tree, value);
  });
}

void CommandTap::Done(const TreeCore::TreeRec& after, const QString& message) {
  if (!recorder_) return;
  recorder_->EndCommand(after, message.toStdString());
  if (!steps_.isNull()) steps_->TakeRecording(std::move(recorder_));
  recorder_.reset();
}

void RecordAgain(StepsWindow* steps, const TreeCommands::LastCommand& last,
                 const std::function<bool(TreeCommands::TreeJob&)>& run) {
  std::optional<TreeCommands::TreeJob> again = last.Again();
  if (!again) return;
  CommandTap tap(steps, last.Kind(), again->Tree());
  tap.Watch(*again);
  if (!run(*again)) return;
  tap.Done(again->Tree(), ToQString(TreeCommands::Messages::EraseStopMessage(again->Stop())));
}

}  // namespace TreeUi
