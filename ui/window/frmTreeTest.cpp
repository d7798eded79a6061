#include "window/frmTreeTest.h"

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <chrono>
#include <limits>

#include "Commands.h"
#include "Drawing.h"
#include "LastCommand.h"
#include "Messages.h"
#include "NodeElement.h"
#include "boxes/BoxEditing.h"
#include "boxes/BoxFeatures.h"
#include "boxes/ListBox.h"
#include "compare/CompareWindow.h"
#include "experiments/ExperimentsWindow.h"
#include "pictures/PictureActions.h"
#include "practice/PracticeFeature.h"
#include "steps/StepsWindow.h"
#include "view/BalanceView.h"
#include "view/DrawSurface.h"
#include "view/MainTreeNodes.h"
#include "view/PadKeyboard.h"
#include "view/PadView.h"
#include "view/PageKeys.h"
#include "view/geometry/Twips.h"
#include "window/BusyCursor.h"
#include "window/CommandRunner.h"
#include "window/MenuKey.h"
#include "window/WindowAccessible.h"

using TreeUi::BusyCursor;
using TreeUi::MessageIcon;
using TreeUi::ToQString;
namespace Messages = TreeCommands::Messages;

// Not in a namespace: the macro declares a global function.
static void InitResources() {
  Q_INIT_RESOURCE(treetest);
}

frmTreeTest::frmTreeTest(QWidget* parent)
    : QWidget(parent), modalBox_(std::make_unique<TreeUi::ModalMessageBox>(this)) {
  InitResources();
  TreeCore::InstallDrawingHooks();
  TreeUi::InstallWindowAccessibility();
  TreeUi::MenuKey::Install();
  relay_.SetTarget(modalBox_.get());

  setObjectName(QStringLiteral("frmTreeTest"));
  setWindowTitle(QStringLiteral("Tree Test (Please enter just Integers)"));
  setWindowIcon(QIcon(QStringLiteral(":/treetest/treetest.png")));
  CreateControls();
  resize(TreeUi::ToPixels(TreeUi::WindowLayout::FirstClientWidth),
         TreeUi::ToPixels(TreeUi::WindowLayout::FirstClientHeight));

  // Start-up.
  ScrollFocusControl_ = TxtGetTree;
  ResizeAndRelocate();
  elements_.ShNode.ZOrder(0, 1);
  elements_.TreeNode.ZOrder(0, 0);
  elements_.LnNode.ZOrder(0, 1);
  HideBTree();
  TxtGetTree->setFocus();

  // Pictures of the drawing, ready-made lists, and paste and undo in the boxes.
  new TreeUi::PictureActions(this, padMenu_, PicInDrawPad, view_, relay_);
  boxes_ = new TreeUi::BoxFeatures(this, {TxtGetTree, txtSearchNode, txtEraseNode}, padMenu_,
                                   relay_, [this] { CmdGetTree_Click(); });
}

frmTreeTest::~frmTreeTest() {
  // The drawing library keeps pointers to the arrays it last drew into.
  if (TreeCore::TreeNodeArray == &elements_.TreeNode) {
    TreeCore::ResetTree(TreeCore::MainTree, true);
    TreeCore::TreeNodeArray = nullptr;
    TreeCore::ShNodeArray = nullptr;
    TreeCore::LnNodeArray = nullptr;
  }
}

namespace {

TreeUi::ListBox* DesignTextBox(QWidget* window, const char* name) {
  auto* box = new TreeUi::ListBox(window);
  box->setObjectName(QString::fromLatin1(name));
  // Qt's default of 32767 characters would cut a long list short without
  // a word; 32767 values take some 200,000.
  box->setMaxLength(std::numeric_limits<int>::max());
  TreeUi::WindowLayout::PlaceAtDesign(box);
  return box;
}

QPushButton* DesignButton(QWidget* window, const char* name, const char* caption) {
  auto* b = new QPushButton(QString::fromLatin1(caption), window);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  TreeUi::WindowLayout::PlaceAtDesign(b);
  return b;
}

QLabel* DesignLabel(QWidget* parent, const char* name, const QString& text) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setTextFormat(Qt::PlainText);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return l;
}

}  // namespace

// The controls in their creation order, which the tab order and the layout
// keep: the boxes and buttons, the pad, the status panel, then the wiring.
void frmTreeTest::CreateControls() {
  // The design's texts were fitted to a narrow 8-point dialog font.
  QFont dialogFont = font();
  dialogFont.setPointSizeF(7.5);
  dialogFont.setStretch(QFont::SemiCondensed);
  setFont(dialogFont);

  CreateBoxesAndButtons();
  CreatePad();
  CreateStatusPanel();
  WireControls();
}

void frmTreeTest::CreateBoxesAndButtons() {
  TxtGetTree = DesignTextBox(this, "TxtGetTree");
  CmdGetTree = DesignButton(this, "CmdGetTree", "Get Tree!");
  txtSearchNode = DesignTextBox(this, "txtSearchNode");
  cmdSearchNode = DesignButton(this, "cmdSearchNode", "Search");
  txtEraseNode = DesignTextBox(this, "txtEraseNode");
  CmdEraseTree = DesignButton(this, "CmdEraseTree", "Erase");
  CmdClearTree = DesignButton(this, "CmdClearTree", "Clear Tree");

  const QString instructions[3] = {
      QStringLiteral("Enter an array of integer numbers in the Textbox separated by a comma each "
                     "of them (Example: 1, 2, 3)"),
      QStringLiteral("Enter the number to Erase:"), QStringLiteral("Number to Search:")};
  for (int i = 0; i < 3; ++i) {
    lblInst[i] = DesignLabel(this, "lblInst", instructions[i]);
    lblInst[i]->setProperty("Index", i);
    TreeUi::WindowLayout::PlaceAtDesign(lblInst[i]);
  }
  lblInst[0]->setWordWrap(true);
  // A screen reader names each box by the label above or beside it.
  lblInst[0]->setBuddy(TxtGetTree);
  lblInst[1]->setBuddy(txtEraseNode);
  lblInst[2]->setBuddy(txtSearchNode);
}

void frmTreeTest::CreatePad() {
  VScrollDrawP = new QScrollBar(Qt::Vertical, this);
  VScrollDrawP->setObjectName(QStringLiteral("VScrollDrawP"));
  HScrollDrawP = new QScrollBar(Qt::Horizontal, this);
  HScrollDrawP->setObjectName(QStringLiteral("HScrollDrawP"));
  VScrollDrawP->setAccessibleName(QStringLiteral("Drawing, up and down"));
  HScrollDrawP->setAccessibleName(QStringLiteral("Drawing, left and right"));
  for (QScrollBar* bar : {VScrollDrawP, HScrollDrawP}) {
    TreeUi::WindowLayout::PlaceAtDesign(bar);
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setRange(0, 0);
    // The surface moves when a dragged thumb is released, not while it moves.
    bar->setTracking(false);
  }

  PicDrawPad = new QFrame(this);
  PicDrawPad->setObjectName(QStringLiteral("PicDrawPad"));
  PicDrawPad->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  PicDrawPad->setLineWidth(2);
  TreeUi::WindowLayout::PlaceAtDesign(PicDrawPad);
  PicInDrawPad = new TreeUi::DrawSurface(elements_, PicDrawPad);
  PicInDrawPad->SetWidth(2415);
  PicInDrawPad->SetHeight(2535);
  connect(PicInDrawPad, &TreeUi::DrawSurface::LabelClicked, this, &frmTreeTest::TreeNode_Click);
  // The bars move the surface; after every scroll the focus goes back, but the
  // pad keeps the keyboard that F6 gave it.
  view_ = new TreeUi::PadView(PicInDrawPad, HScrollDrawP, VScrollDrawP, this);
  view_->SetDesignLayout([this] { CheckMaxWH(); });
  connect(view_, &TreeUi::PadView::Scrolled, this, [this] {
    if (ScrollFocusControl_ != nullptr && !PicInDrawPad->hasFocus())
      ScrollFocusControl_->setFocus();
  });
  padMenu_ = new QMenu(this);
  padMenu_->setObjectName(QStringLiteral("PadMenu"));
  view_->CreateActions(this, padMenu_);
  CreateTraceActions();
  connect(PicInDrawPad, &TreeUi::DrawSurface::MenuRequested, this, [this](QPoint global, QPointF) {
    if (!padMenu_->isEmpty()) padMenu_->popup(global);
  });
}

void frmTreeTest::CreateStatusPanel() {
  FraStNd = new QGroupBox(QStringLiteral("Status Node (Click on One):"), this);
  FraStNd->setObjectName(QStringLiteral("FraStNd"));
  TreeUi::WindowLayout::PlaceAtDesign(FraStNd);
  lblStatusNode = DesignLabel(FraStNd, "lblStatusNode", QString());
  TreeUi::WindowLayout::PlaceAtDesign(lblStatusNode);
  layout_.SetParts({this,
                    PicDrawPad,
                    PicInDrawPad,
                    HScrollDrawP,
                    VScrollDrawP,
                    view_,
                    {TxtGetTree, CmdGetTree, txtSearchNode, cmdSearchNode, txtEraseNode,
                     CmdEraseTree, CmdClearTree, lblInst[0], VScrollDrawP, HScrollDrawP, PicDrawPad,
                     FraStNd, lblStatusNode, lblInst[1], lblInst[2]}});
}

void frmTreeTest::WireControls() {
  const std::vector<QWidget*> tabOrder = {TxtGetTree,   CmdGetTree,   txtSearchNode, cmdSearchNode,
                                          txtEraseNode, CmdEraseTree, CmdClearTree};
  for (std::size_t i = 1; i < tabOrder.size(); ++i)
    QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
  // Page Up and Page Down reach the pad whichever control has the focus.
  keys_ = new TreeUi::PageKeys(view_, PicInDrawPad, VScrollDrawP, this, tabOrder);

  commands_ = new TreeUi::CommandRunner(this, tabOrder);
  connect(commands_, &TreeUi::CommandRunner::ProgressShown, this,
          [this] { keys_->Watch(commands_->Progress()); });
  PicInDrawPad->SetNodes(TreeUi::MainTreeNodes(elements_));
  auto* keyboard = new TreeUi::PadKeyboard(this, PicInDrawPad, view_, padMenu_, keys_);
  connect(keyboard, &TreeUi::PadKeyboard::Activated, this, &frmTreeTest::TreeNode_Click);

  connect(CmdGetTree, &QPushButton::clicked, this, &frmTreeTest::CmdGetTree_Click);
  connect(cmdSearchNode, &QPushButton::clicked, this, &frmTreeTest::cmdSearchNode_Click);
  connect(CmdEraseTree, &QPushButton::clicked, this, &frmTreeTest::CmdEraseTree_Click);
  connect(CmdClearTree, &QPushButton::clicked, this, &frmTreeTest::CmdClearTree_Click);
  connect(TxtGetTree, &QLineEdit::returnPressed, this, &frmTreeTest::CmdGetTree_Click);
  connect(txtSearchNode, &QLineEdit::returnPressed, this, &frmTreeTest::cmdSearchNode_Click);
  connect(txtEraseNode, &QLineEdit::returnPressed, this, &frmTreeTest::CmdEraseTree_Click);
}

void frmTreeTest::SetMessageSink(TreeUi::MessageSink* sink) {
  relay_.SetTarget(sink != nullptr ? sink : modalBox_.get());
}

void frmTreeTest::ShowBTree(const std::int32_t& MaximumLevels) {
  HideBTree();
  compact_->DrawMainTree(elements_, MaximumLevels);
  PicInDrawPad->ElementsChanged();
  if (balance_ != nullptr) balance_->Update();
}

void frmTreeTest::HideBTree() {
  elements_.TreeNode[0].Visible = false;
  elements_.ShNode[0].Visible = false;
  elements_.LnNode[0].Visible = false;
  layout_.ReturnSurfaceToOrigin();
  PicInDrawPad->ElementsChanged();
}

void frmTreeTest::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layout_.UpdateMinimumSize();
  ResizeAndRelocate();
}

void frmTreeTest::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  layout_.UpdateMinimumSize();
}

void frmTreeTest::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // The frame is known once the window manager has placed the window.
  layout_.UpdateMinimumSize();
}

void frmTreeTest::ResizeAndRelocate() {
  layout_.ResizeAndRelocate();
}

void frmTreeTest::CheckMaxWH() {
  layout_.CheckMaxWH();
}

void frmTreeTest::CheckKeyCode(const std::int16_t& KeyCode) {
  keys_->CheckKeyCode(KeyCode);
}

// ---- Commands ---------------------------------------------------------------

void frmTreeTest::Say(BusyCursor& busy, std::string_view text, std::string_view title,
                      MessageIcon icon) {
  busy.Stop();
  relay_.ShowMessage(ToQString(text), ToQString(title), icon);
}

void frmTreeTest::SelectAllIn(QLineEdit* box) {
  box->setFocus();
  box->setSelection(0, static_cast<int>(box->text().size()));
}

void frmTreeTest::Refuse(QLineEdit* box) {
  if (auto* editing = box->findChild<TreeUi::BoxEditing*>()) editing->Refused();
  box->clear();
  box->setFocus();
}

frmTreeTest::ListCheck frmTreeTest::CheckListOf(TreeCommands::CommandKind kind, QLineEdit* box,
                                                BusyCursor& busy, std::vector<std::int16_t>& list) {
  auto checked = TreeCommands::CheckList(kind, box->text().toStdString());
  if (checked.Refusal.empty()) {
    list = std::move(checked.Values);
    return ListCheck::Accepted;
  }
  Say(busy, checked.Refusal, Messages::ErrorTitle);
  if (!checked.BadPiece) return ListCheck::Empty;
  Refuse(box);
  return ListCheck::BadPiece;
}

void frmTreeTest::Redraw() {
  layout_.ReturnSurfaceToOrigin();
  TreeCore::DrawingWidth = 0;
  TreeCore::DrawingHeight = 0;
  ShowBTree(0);
  CheckMaxWH();
  if (view_->FitNewTrees()) view_->FitWhole(false);
}

bool frmTreeTest::StartCommand() {
  if (commands_->Running()) return false;  // one command at a time
  PicInDrawPad->SetMarkedElements({});     // the found node is marked until the next command
  boxes_->CommandStarted();                // and a refusal's tooltip shows until then too
  return true;
}

void frmTreeTest::CmdGetTree_Click() {
  if (!StartCommand()) return;
  const auto started = std::chrono::steady_clock::now();
  TreeUi::BusyCursor busy;
  std::vector<std::int16_t> list;
  const ListCheck checked = CheckListOf(TreeCommands::CommandKind::Get, TxtGetTree, busy, list);
  if (checked == ListCheck::Empty) TxtGetTree->setFocus();
  if (checked != ListCheck::Accepted) return;

  // The old tree and drawing stay until the new tree is complete.
  const std::vector<std::int16_t> values = list;
  auto job = TreeCommands::TreeJob::Build(TreeCore::MainTree, std::move(list));
  last_.Starting(TreeCommands::CommandKind::Get, job.Tree(), values);
  TreeUi::CommandTap tap(steps_, TreeCommands::CommandKind::Get, job.Tree());
  tap.Watch(job);
  if (!commands_->Run(job, QStringLiteral("Building the tree..."), started)) return;
  TreeCore::ResetTree(TreeCore::MainTree, false);
  PicInDrawPad->ElementsChanged();
  TreeCore::MainTree = std::move(job.Tree());
  job.HandOver(TreeCore::DefaultEngine());
  last_.Completed();
  tap.Done(TreeCore::MainTree);
  Redraw();
}

void frmTreeTest::cmdSearchNode_Click() {
  if (!StartCommand()) return;
  TreeUi::BusyCursor busy;
  const TreeCommands::SearchOutcome found =
      TreeCommands::Search(TreeCore::MainTree, txtSearchNode->text().toStdString());
  Say(busy, found.Message, found.Title,
      found.Node == -1 ? MessageIcon::Error : MessageIcon::Warning);
  if (found.Refused) {
    Refuse(txtSearchNode);
    return;
  }
  // Once the message is dismissed, the found node is brought into view.
  const int element = found.Node == -1 ? -1 : TreeUi::ElementOfNode(found.Node, elements_);
  if (element >= 0) {
    PicInDrawPad->SetMarkedElements({element});
    view_->CentreOnElement(element);
  }
  SelectAllIn(txtSearchNode);
}

void frmTreeTest::CmdEraseTree_Click() {
  if (!StartCommand()) return;
  const auto started = std::chrono::steady_clock::now();
  TreeUi::BusyCursor busy;
  std::vector<std::int16_t> list;
  const ListCheck checked = CheckListOf(TreeCommands::CommandKind::Erase, txtEraseNode, busy, list);
  if (checked == ListCheck::BadPiece) return;
  if (checked == ListCheck::Accepted) {
    last_.Starting(TreeCommands::CommandKind::Erase, TreeCore::MainTree, list);
    auto job = TreeCommands::TreeJob::Erase(TreeCore::MainTree, std::move(list));
    TreeUi::CommandTap tap(steps_, TreeCommands::CommandKind::Erase, TreeCore::MainTree);
    tap.Watch(job);
    // Cancelled: the tree, the drawing and the boxes stay as they were.
    if (!commands_->Run(job, QStringLiteral("Erasing..."), started)) return;
    TreeCore::MainTree = std::move(job.Tree());
    job.HandOver(TreeCore::DefaultEngine());
    last_.Completed();
    const std::string_view stop = Messages::EraseStopMessage(job.Stop());
    tap.Done(TreeCore::MainTree, ToQString(stop));
    if (!stop.empty()) Say(busy, stop, Messages::ErrorTitle);
    // Values erased before a refusal stay erased: the drawing must show it.
    busy.Start();
    TreeCore::ResetTree(TreeCore::MainTree, true);
    PicInDrawPad->ElementsChanged();
    Redraw();
  }
  busy.Stop();
  SelectAllIn(txtEraseNode);
}

void frmTreeTest::CmdClearTree_Click() {
  if (!StartCommand()) return;
  TreeUi::BusyCursor busy;
  last_.Forget();
  TreeCore::ResetTree(TreeCore::MainTree, false);
  PicInDrawPad->ElementsChanged();
  HideBTree();
  // The extent goes with the drawing, so that a later resize does not size
  // the surface and the scroll bars for a tree that is gone.
  TreeCore::DrawingWidth = 0;
  TreeCore::DrawingHeight = 0;
  CheckMaxWH();
  TxtGetTree->clear();
  txtSearchNode->clear();
  txtEraseNode->clear();
  TxtGetTree->setFocus();
}

// ---- Balancing steps, Show Balance and the status panel ------------------------

void frmTreeTest::CreateTraceActions() {
  // Both live in the pad's menu; the window holds the steps action too, so
  // that F2 works whichever of its controls has the focus.
  stepsAction_ = new QAction(QStringLiteral("Balancing Steps\u2026"), this);
  stepsAction_->setObjectName(QStringLiteral("BalancingStepsAction"));
  stepsAction_->setShortcut(QKeySequence(Qt::Key_F2));
  stepsAction_->setShortcutContext(Qt::WindowShortcut);
  connect(stepsAction_, &QAction::triggered, this, [this] { OpenBalancingSteps(); });
  addAction(stepsAction_);
  padMenu_->addAction(stepsAction_);
  balance_ = new TreeUi::BalanceAction(this, padMenu_, PicInDrawPad);
  new TreeUi::CompareFeature(this, padMenu_, last_, [this] { return steps_.data(); });
  new TreeUi::PracticeFeature(this, padMenu_, stepsAction_, [this] { return TxtGetTree->text(); });
  new TreeUi::ExperimentsFeature(this, padMenu_);
  compact_ = new TreeUi::LayoutAction(this, padMenu_, PicInDrawPad, [this] { Redraw(); });
  compact_->FollowBadges(balance_->Action());
}

TreeUi::StepsWindow* frmTreeTest::BalancingSteps() const {
  return steps_;
}

TreeUi::StepsWindow* frmTreeTest::OpenBalancingSteps() {
  if (steps_ == nullptr) {
    // A window of its own (not modal), freed with everything it recorded when closed.
    steps_ = new TreeUi::StepsWindow(this);
    steps_->show();
    if (!commands_->Running())
      TreeUi::RecordAgain(steps_, last_, [this](TreeCommands::TreeJob& job) {
        return commands_->Run(job, QStringLiteral("Recording the steps..."),
                              std::chrono::steady_clock::now());
      });
  }
  steps_->show();
  steps_->raise();
  steps_->activateWindow();
  return steps_;
}

void frmTreeTest::TreeNode_Click(int index) {
  if (index < 0 || index > 32767) return;
  const auto k = static_cast<std::int16_t>(index);
  if (!elements_.TreeNode.IsLoaded(k)) return;
  const std::string& tip = elements_.TreeNode[k].ToolTipText;
  lblStatusNode->setText(tip.empty() ? QString() : TreeUi::DisplayText(tip));
  PicInDrawPad->SetMarkedElements({index});
}
