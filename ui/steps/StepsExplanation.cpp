// The steps window's explanation: the status of the shown state, why the
// shown event fired and its rule, and the legend of every mark the panes
// carry. Its area keeps one height whatever it holds, and scrolls.
#include <QCheckBox>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

#include "pane/MarkLegend.h"
#include "steps/StepsWindow.h"

namespace TreeUi {

namespace {

// Lines of text the area shows without scrolling: the status (two), why an
// event fired and its rule (four); and three rows of the legend.
constexpr int TextLines = 6, LegendRows = 3;

}  // namespace

void StepsWindow::BuildExplanation() {
  status_ = new QLabel;
  status_->setObjectName(QStringLiteral("StepsStatus"));
  status_->setWordWrap(true);
  reason_ = new QLabel;
  reason_->setObjectName(QStringLiteral("StepsReason"));
  reason_->setWordWrap(true);
  reason_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  legend_ = new MarkLegend;
  legend_->setObjectName(QStringLiteral("StepsLegend"));
  auto* body = new QWidget;
  body->setObjectName(QStringLiteral("StepsExplanationText"));
  auto* column = new QVBoxLayout(body);
  column->setContentsMargins(2, 2, 2, 2);
  column->addWidget(status_);
  column->addWidget(reason_);
  column->addWidget(legend_);
  column->addStretch();
  explanation_ = new QScrollArea;
  explanation_->setObjectName(QStringLiteral("StepsExplanation"));
  explanation_->setWidget(body);
  explanation_->setWidgetResizable(true);
  explanation_->setFrameShape(QFrame::NoFrame);
  explanation_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  const int lines = fontMetrics().lineSpacing() * TextLines;
  const int legend = static_cast<int>(LegendRows * (std::max(20, fontMetrics().height()) + 2));
  explanation_->setFixedHeight(lines + legend + 3 * column->spacing() + 4);
}

void StepsWindow::UpdateLegend() {
  std::vector<Mark> marks;
  const bool summary = current_ < 0, event = currentEvent_ >= 0;
  if (recorder_->Empty()) {
    legend_->SetMarks({});
    return;
  }
  if (!summary) marks.push_back(Mark::Involved);
  if (event) {
    const std::vector<Mark> roles = RoleMarks();
    marks.insert(marks.end(), roles.begin(), roles.end());
  }
  if (balance_->isChecked()) marks.push_back(Mark::Balance);
  if (balance_->isChecked() || summary) marks.push_back(Mark::Unbalanced);
  if (balance_->isChecked() && event) marks.push_back(Mark::ChangedBalance);
  legend_->SetMarks(std::move(marks));
}

void StepsWindow::ShowStatus(const QString& text) {
  status_->setText(text);
}

QString StepsWindow::StatusText() const {
  return status_->text();
}

QString StepsWindow::ReasonText() const {
  return reason_->text();
}

}  // namespace TreeUi
