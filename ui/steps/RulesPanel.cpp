#include "steps/RulesPanel.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>

namespace TreeUi {

namespace {

constexpr int PartRole = Qt::UserRole;
// Highlighted lines carry a mark as well as a colour, so that they do not
// rest on colour alone.
const QString Mark = QStringLiteral("\u25b6 ");

}  // namespace

RulesPanel::RulesPanel(QWidget* window) {
  setObjectName(QStringLiteral("RulesPanel"));
  auto* title = new QLabel(QStringLiteral("Rules: the balancing procedure"));
  title->setStyleSheet(QStringLiteral("font-weight: bold"));
  list_ = new QListWidget;
  list_->setObjectName(QStringLiteral("RulesList"));
  list_->setWordWrap(true);
  list_->setSelectionMode(QAbstractItemView::NoSelection);
  list_->setFocusPolicy(Qt::NoFocus);
  QFont heading = list_->font();
  heading.setBold(true);
  for (const TreeTrace::RuleSection& section : TreeTrace::RuleSections()) {
    auto* head = new QListWidgetItem(QString::fromLatin1(section.Title), list_);
    head->setFont(heading);
    head->setFlags(Qt::ItemIsEnabled);
    head->setData(PartRole, -1);
    int n = 0;
    for (const TreeTrace::RuleLine& line : section.Lines) {
      auto* item = new QListWidgetItem(
          QStringLiteral("%1. %2").arg(++n).arg(QString::fromLatin1(line.Text)), list_);
      item->setFlags(Qt::ItemIsEnabled);
      item->setData(PartRole, static_cast<int>(line.Part));
    }
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 0, 0, 0);
  layout->addWidget(title);
  layout->addWidget(list_, 1);
  setMinimumWidth(220);
  hide();

  toggle_ = new QPushButton(QStringLiteral("Rules"));
  toggle_->setObjectName(QStringLiteral("ShowRules"));
  toggle_->setCheckable(true);
  toggle_->setFocusPolicy(Qt::TabFocus);
  toggle_->setToolTip(
      QStringLiteral("The balancing procedure, the selected event's lines highlighted (F4)"));
  connect(toggle_, &QPushButton::toggled, this, &QWidget::setVisible);
  auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F4), window);
  connect(shortcut, &QShortcut::activated, toggle_, &QPushButton::toggle);
}

void RulesPanel::ShowEvent(const TreeTrace::TraceRecorder& recorder, std::size_t value,
                           const TreeTrace::EventStates& states,
                           const TreeTrace::EventReason& reason) {
  Highlight(TreeTrace::EventRuleParts(recorder, value, states, reason));
}

void RulesPanel::ShowValue(TreeTrace::CommandKind kind) {
  Highlight(TreeTrace::ValueRuleParts(kind));
}

void RulesPanel::Highlight(std::vector<TreeTrace::RulePart> parts) {
  highlighted_ = std::move(parts);
  const QBrush lit = palette().brush(QPalette::Highlight);
  const QBrush litText = palette().brush(QPalette::HighlightedText);
  QListWidgetItem* first = nullptr;
  for (int row = 0; row < list_->count(); ++row) {
    QListWidgetItem* item = list_->item(row);
    const int part = item->data(PartRole).toInt();
    if (part < 0) continue;
    const auto at =
        std::find(highlighted_.begin(), highlighted_.end(), static_cast<TreeTrace::RulePart>(part));
    const bool on = at != highlighted_.end();
    QString text = item->text();
    if (text.startsWith(Mark)) text.remove(0, Mark.size());
    item->setText(on ? Mark + text : text);
    item->setBackground(on ? lit : QBrush());
    item->setForeground(on ? litText : QBrush());
    QFont font = list_->font();
    font.setBold(on && at == highlighted_.begin());
    item->setFont(font);
    if (on && at == highlighted_.begin()) first = item;
  }
  if (first != nullptr) list_->scrollToItem(first, QAbstractItemView::PositionAtCenter);
}

}  // namespace TreeUi
