// The steps window's panes: the tree after the shown state, and beside an
// event the tree before it, at one scale; their marks and Show Balance.
#include <QCheckBox>
#include <QLayout>
#include <QMenu>
#include <QSplitter>

#include "BalanceBadges.h"
#include "pane/MarkLegend.h"
#include "pane/TreePane.h"
#include "steps/StepAnimator.h"
#include "steps/StepsWindow.h"
#include "view/DrawSurface.h"
#include "view/LayoutAction.h"
#include "view/PadView.h"

namespace TreeUi {

void StepsWindow::BuildPanes() {
  afterPane_ = new TreePane(QStringLiteral("After"), "Steps");
  afterPane_->SetCaptionShown(false);
  afterPane_->ExposeNodes();
  DrawSurface* pane = afterPane_->Surface();
  // The pad's view features: zoom, fit, wheel and drag, in the pane's own menu.
  paneMenu_ = new QMenu(this);
  afterPane_->View()->CreateActions(this, paneMenu_);
  // The steps are read, so they are drawn compact unless the user says otherwise.
  paneMenu_->addSeparator();
  layout_ = new LayoutAction(
      this, paneMenu_, pane,
      [this] {
        if (current_ >= 0)
          ShowValue(static_cast<std::size_t>(current_));
        else
          ShowSummary();
      },
      true);
  animator_ = new StepAnimator(
      pane, this, paneMenu_, [this]() -> const TreeTrace::TraceRecorder& { return *recorder_; },
      [this] { EventForward(); },
      [this] {
        if (recorder_->ValueCount() > 0) ShowEvent(0, 0);
      });
  connect(pane, &DrawSurface::MenuRequested, this,
          [this](QPoint global, QPointF) { paneMenu_->popup(global); });

  // The tree before a selected event, beside the tree after it.
  beforePane_ = new TreePane(QStringLiteral("Before"), "StepsBefore");
  beforePane_->hide();
  beforePane_->SetPartner(afterPane_);
  afterPane_->SetPartner(beforePane_);
  panes_ = new QSplitter(Qt::Horizontal);
  panes_->addWidget(beforePane_);
  panes_->addWidget(afterPane_);
}

DrawSurface* StepsWindow::Pane() const {
  return afterPane_->Surface();
}

PadView* StepsWindow::View() const {
  return afterPane_->View();
}

TreeCore::ElementArrays& StepsWindow::Elements() {
  return afterPane_->Elements();
}

const TreeCore::TreeRec& StepsWindow::ShownTree() const {
  return afterPane_->Tree();
}

const TreeCore::TreeRec& StepsWindow::BeforeTree() const {
  return beforePane_->Tree();
}

DrawSurface* StepsWindow::BeforePane() const {
  return beforePane_->Surface();
}

void StepsWindow::Display(TreeCore::TreeRec tree, std::vector<std::int32_t> marks, bool ringed) {
  animator_->Leaving();
  marked_ = marks;
  afterPane_->Show(std::move(tree), ringed ? std::move(marks) : std::vector<std::int32_t>{},
                   layout_->Layout());
  layout_->Drawn();
  ShowBalanceMarks();
  // Beside an event, Before and After at one scale, the roots at one point.
  if (beforePane_->isHidden())
    afterPane_->ShowWhole();
  else
    TreePane::ShowTogether(*beforePane_, *afterPane_);
  animator_->Arrived({current_, currentEvent_});
}

void StepsWindow::DisplayBefore(TreeCore::TreeRec tree, std::vector<std::int32_t> marks) {
  beforePane_->Show(std::move(tree), std::move(marks), layout_->Layout());
}

void StepsWindow::SetBeforeShown(bool shown) {
  if (!shown) {
    if (beforePane_->Tree().Count > 0) beforePane_->Clear();
    beforePane_->SetRings({});
    afterPane_->SetRings({});
  }
  if (beforePane_->isHidden() != shown) return;
  beforePane_->setVisible(shown);
  afterPane_->SetCaptionShown(shown);
  // The panes take their new sizes now, before the trees are placed in them:
  // the splitter would otherwise share its room out only later, and a move
  // placed for the old size would run at the pane's edge.
  if (layout() != nullptr) layout()->activate();
  panes_->refresh();
}

void StepsWindow::ShowBalanceMarks() {
  const bool on = balance_->isChecked();
  // The summary's unbalanced nodes are coloured as Show Balance colours them.
  afterPane_->ShowBalance(on, current_ < 0 && !recorder_->Empty());
  beforePane_->ShowBalance(on && currentEvent_ >= 0);
  MarkChangedHeights();
  UpdateLegend();
}

void StepsWindow::MarkChangedHeights() {
  // Beside an event, the After pane outlines the badges whose heights it changed.
  const bool on = balance_->isChecked() && currentEvent_ >= 0;
  afterPane_->SetChangedBadges(on ? HeightsChanged(beforePane_->Tree(), afterPane_->Tree(),
                                                   afterPane_->NodeOfElement(), removed_)
                                  : std::vector<bool>{});
}

}  // namespace TreeUi
