#include "steps/StepsWindow.h"

#include <QLabel>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>
#include <chrono>

#include "EventReason.h"
#include "EventStates.h"
#include "TraceText.h"
#include "pane/MarkLegend.h"
#include "pane/TreePane.h"
#include "steps/EventMarks.h"
#include "steps/RulesPanel.h"
#include "steps/StepAnimator.h"
#include "steps/StepsRows.h"

namespace TreeUi {

using namespace StepsRows;

StepsWindow::StepsWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), recorder_(std::make_unique<TreeTrace::TraceRecorder>()) {
  setObjectName(QStringLiteral("StepsWindow"));
  setWindowTitle(QStringLiteral("Balancing Steps"));
  setAttribute(Qt::WA_DeleteOnClose);
  BuildList();
  BuildPanes();
  auto* split = new QSplitter(Qt::Horizontal);
  split->addWidget(list_);
  split->addWidget(panes_);
  rules_ = new RulesPanel(this);
  split->addWidget(rules_);
  split->setStretchFactor(0, 2);
  split->setStretchFactor(1, 3);
  BuildExplanation();
  // The controls sit below the explanation, whose area keeps one height
  // whatever it holds: they stay where they are from one step to the next.
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(split, 1);
  layout->addWidget(explanation_);
  layout->addLayout(BuildButtons());
  layout->addLayout(BuildTools());
  resize(900, 560);
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

void StepsWindow::ShowValue(std::size_t i) {
  if (i >= recorder_->ValueCount()) return;
  const auto start = std::chrono::steady_clock::now();
  std::vector<TreeTrace::StepEvent> events;
  TreeCore::TreeRec tree = recorder_->TreeAfter(static_cast<std::ptrdiff_t>(i), events);
  current_ = static_cast<std::ptrdiff_t>(i);
  currentEvent_ = -1;
  SetBeforeShown(false);
  reason_->clear();
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
  reason_->clear();
  rules_->Clear();
  if (recorder_->Empty()) return;
  TreeCore::TreeRec tree = recorder_->After();
  std::vector<std::int32_t> marks = TreeTrace::UnbalancedNodes(tree);
  // In the warning colour, as Show Balance colours them, rather than ringed.
  Display(std::move(tree), std::move(marks), false);
  status_->setText(SummaryText() +
                   QStringLiteral("\nIn the warning colour: the nodes whose sides differ by "
                                  "two or more."));
  if (list_->currentItem() != list_->topLevelItem(0)) {
    const QSignalBlocker quiet(list_);
    list_->setCurrentItem(list_->topLevelItem(0));
  }
  emit ValueShown(-1);
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
  const TreeTrace::EventReason reason = TreeTrace::ExplainEvent(*recorder_, i, states);
  // The fix-up that removes a node with two children shows it parked, as its
  // words say, before it is cut off.
  if (ParksErasedNode(*recorder_, i, e))
    states.After = ParkedTree(states.Before, states.After, e.Node);
  EventMarks marks = MarksOfEvent(*recorder_, i, states, reason);
  reason_->setText(QStringLiteral("Why: %1\nRule: %2").arg(Q(reason.Facts), Q(reason.Rule)));
  rules_->ShowEvent(*recorder_, i, states, reason);
  SetBeforeShown(true);
  DisplayBefore(std::move(states.Before), std::move(marks.Before));
  Display(std::move(states.After), std::move(marks.After));
  beforePane_->SetRings(marks.BeforeRings);
  afterPane_->SetRings(marks.AfterRings);
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

}  // namespace TreeUi
