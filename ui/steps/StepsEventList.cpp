// The steps window's list: the summary, a row per value, and a value's
// balancing events as its children, listed when it is opened.
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>

#include "TraceText.h"
#include "steps/StepAnimator.h"
#include "steps/StepsRows.h"
#include "steps/StepsWindow.h"

namespace TreeUi {

using namespace StepsRows;

void StepsWindow::BuildList() {
  list_ = new QTreeWidget;
  list_->setObjectName(QStringLiteral("StepsList"));
  list_->setHeaderHidden(true);
  list_->setUniformRowHeights(true);
  // The column is as wide as its longest row, scrolled sideways when the
  // list is narrower: no event is cut off.
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  list_->installEventFilter(this);
  connect(list_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item) { OnCurrentItemChanged(item); });
  connect(list_, &QTreeWidget::itemExpanded, this,
          [this](QTreeWidgetItem* item) { FillEvents(item); });
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

}  // namespace TreeUi
