#include "frmTreeTest.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <chrono>
#include <cmath>
#include <limits>

#include "BalanceBadges.h"
#include "BoxEditing.h"
#include "CommandRunner.h"
#include "DrawSurface.h"
#include "Drawing.h"
#include "LastCommand.h"
#include "ListBox.h"
#include "ListParse.h"
#include "ListsMenu.h"
#include "NodeElement.h"
#include "PadView.h"
#include "PictureActions.h"
#include "StepsWindow.h"
#include "Twips.h"

using TreeUi::MessageIcon;
using TreeUi::ToPixels;
using TreeUi::ToTwips;

namespace {

// Layout of the window, in twips.
constexpr double MinOuterWidth = 7365;
constexpr double MinOuterHeight = 5985;
constexpr double OuterMinusViewportWidth = 510;
constexpr double OuterMinusViewportHeight = 3175;
constexpr double ScrollBarThickness = 255;
constexpr double FirstClientWidth = 7245;
constexpr double FirstClientHeight = 5790;
constexpr double DesignViewportWidth = 6855;
constexpr double DesignViewportHeight = 3015;
// The frame (borders and caption) that the constants above were measured
// with: at the first client size the layout gives the viewport its design
// size. The layout adds it to the client size rather than the frame a window
// manager happens to draw, so the controls keep their places under any
// decorations; with no window manager it is also the frame assumed for the
// smallest size.
constexpr double DesignFrameWidth =
    DesignViewportWidth + OuterMinusViewportWidth - FirstClientWidth;
constexpr double DesignFrameHeight =
    DesignViewportHeight + OuterMinusViewportHeight - FirstClientHeight;

constexpr std::int16_t KeyPageUp = 33;
constexpr std::int16_t KeyPageDown = 34;

const QString Error = QStringLiteral("Error");
const QString NumbersOnly = QStringLiteral("Please enter numbers only!");

void Design(QWidget* control, double left, double top, double width, double height) {
  control->setGeometry(ToPixels(left), ToPixels(top), ToPixels(width), ToPixels(height));
}

}  // namespace

// Outside the anonymous namespace: the macro declares a global function.
static void InitResources() {
  Q_INIT_RESOURCE(treetest);
}

// The busy cursor for the engine work of a command; messages are shown with
// the ordinary cursor.
class frmTreeTest::BusyCursor {
 public:
  BusyCursor() { Start(); }
  ~BusyCursor() { Stop(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

  void Start() {
    if (on_) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    on_ = true;
  }
  void Stop() {
    if (!on_) return;
    QApplication::restoreOverrideCursor();
    on_ = false;
  }

 private:
  bool on_ = false;
};

frmTreeTest::frmTreeTest(QWidget* parent)
    : QWidget(parent), modalBox_(std::make_unique<TreeUi::ModalMessageBox>(this)) {
  InitResources();
  TreeCore::InstallDrawingHooks();
  sink_ = modalBox_.get();

  setObjectName(QStringLiteral("frmTreeTest"));
  setWindowTitle(QStringLiteral("Tree Test (Please enter just Integers)"));
  setWindowIcon(QIcon(QStringLiteral(":/treetest/treetest.png")));
  CreateControls();
  resize(ToPixels(FirstClientWidth), ToPixels(FirstClientHeight));

  // Start-up.
  ScrollFocusControl_ = TxtGetTree;
  ResizeAndRelocate();
  elements_.ShNode.ZOrder(0, 1);
  elements_.TreeNode.ZOrder(0, 0);
  elements_.LnNode.ZOrder(0, 1);
  HideBTree();
  TxtGetTree->setFocus();

  // Pictures of the drawing, ready-made lists, and paste and undo in the boxes.
  new TreeUi::PictureActions(*this);
  auto* lists = new TreeUi::ListsMenu(*this);
  new TreeUi::BoxEditing(TxtGetTree, lists->Menu());
  new TreeUi::BoxEditing(txtSearchNode);
  new TreeUi::BoxEditing(txtEraseNode);
}

void frmTreeTest::KeepRefusedText(QLineEdit* box) {
  if (auto* editing = box->findChild<TreeUi::BoxEditing*>()) editing->Refused();
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

void frmTreeTest::CreateControls() {
  // The design's texts were fitted to a narrow 8-point dialog font.
  QFont dialogFont = font();
  dialogFont.setPointSizeF(7.5);
  dialogFont.setStretch(QFont::SemiCondensed);
  setFont(dialogFont);

  auto textBox = [this](const char* name) {
    auto* box = new TreeUi::ListBox(this);
    box->setObjectName(QString::fromLatin1(name));
    // Qt's default of 32767 characters would cut a long list short without
    // a word; 32767 values take some 200,000.
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
  };
  auto button = [this](const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromLatin1(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
  };
  auto label = [](QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
  };

  TxtGetTree = textBox("TxtGetTree");
  Design(TxtGetTree, 3000, 3960, 3015, 345);
  CmdGetTree = button("CmdGetTree", "Get Tree!");
  Design(CmdGetTree, 6120, 3960, 975, 375);
  txtSearchNode = textBox("txtSearchNode");
  Design(txtSearchNode, 4440, 4560, 1575, 345);
  cmdSearchNode = button("cmdSearchNode", "Search");
  Design(cmdSearchNode, 6120, 4560, 975, 375);
  txtEraseNode = textBox("txtEraseNode");
  Design(txtEraseNode, 3000, 5280, 2055, 345);
  CmdEraseTree = button("CmdEraseTree", "Erase");
  Design(CmdEraseTree, 5160, 5280, 735, 375);
  CmdClearTree = button("CmdClearTree", "Clear Tree");
  Design(CmdClearTree, 6000, 5280, 1095, 375);

  const QString instructions[3] = {
      QStringLiteral("Enter an array of integer numbers in the Textbox separated by a comma each "
                     "of them (Example: 1, 2, 3)"),
      QStringLiteral("Enter the number to Erase:"), QStringLiteral("Number to Search:")};
  for (int i = 0; i < 3; ++i) {
    lblInst[i] = label(this, "lblInst", instructions[i]);
    lblInst[i]->setProperty("Index", i);
  }
  lblInst[0]->setWordWrap(true);
  Design(lblInst[0], 3000, 3480, 4215, 495);
  Design(lblInst[1], 3000, 4920, 1935, 255);
  Design(lblInst[2], 3000, 4560, 1455, 255);

  VScrollDrawP = new QScrollBar(Qt::Vertical, this);
  VScrollDrawP->setObjectName(QStringLiteral("VScrollDrawP"));
  Design(VScrollDrawP, 6600, 4080, 255, 255);
  HScrollDrawP = new QScrollBar(Qt::Horizontal, this);
  HScrollDrawP->setObjectName(QStringLiteral("HScrollDrawP"));
  Design(HScrollDrawP, 6840, 4080, 255, 255);
  for (QScrollBar* bar : {VScrollDrawP, HScrollDrawP}) {
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setRange(0, 0);
    // The surface moves when a dragged thumb is released, not while it moves.
    bar->setTracking(false);
  }

  PicDrawPad = new QFrame(this);
  PicDrawPad->setObjectName(QStringLiteral("PicDrawPad"));
  PicDrawPad->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  PicDrawPad->setLineWidth(2);
  Design(PicDrawPad, 120, 120, 6855, 3015);
  PicInDrawPad = new TreeUi::DrawSurface(elements_, PicDrawPad);
  PicInDrawPad->SetWidth(2415);
  PicInDrawPad->SetHeight(2535);
  connect(PicInDrawPad, &TreeUi::DrawSurface::LabelClicked, this, &frmTreeTest::TreeNode_Click);
  // The bars move the surface; after every scroll the focus goes back.
  view_ = new TreeUi::PadView(PicInDrawPad, HScrollDrawP, VScrollDrawP, this);
  view_->SetDesignLayout([this] { CheckMaxWH(); });
  connect(view_, &TreeUi::PadView::Scrolled, this, [this] {
    if (ScrollFocusControl_ != nullptr) ScrollFocusControl_->setFocus();
  });
  padMenu_ = new QMenu(this);
  padMenu_->setObjectName(QStringLiteral("PadMenu"));
  view_->CreateActions(this, padMenu_);
  CreateTraceActions();
  connect(PicInDrawPad, &TreeUi::DrawSurface::MenuRequested, this, [this](QPoint global, QPointF) {
    if (!padMenu_->isEmpty()) padMenu_->popup(global);
  });

  FraStNd = new QGroupBox(QStringLiteral("Status Node (Click on One):"), this);
  FraStNd->setObjectName(QStringLiteral("FraStNd"));
  Design(FraStNd, 120, 3480, 2655, 2175);
  lblStatusNode = label(FraStNd, "lblStatusNode", QString());
  Design(lblStatusNode, 240, 240, 2175, 1815);

  QWidget* const tabOrder[] = {TxtGetTree,   CmdGetTree,   txtSearchNode, cmdSearchNode,
                               txtEraseNode, CmdEraseTree, CmdClearTree};
  for (std::size_t i = 1; i < std::size(tabOrder); ++i)
    QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
  // Page Up and Page Down reach the window whichever control has the focus.
  installEventFilter(this);
  for (QWidget* control : tabOrder) control->installEventFilter(this);

  commands_ = new TreeUi::CommandRunner(this, {TxtGetTree, CmdGetTree, txtSearchNode, cmdSearchNode,
                                               txtEraseNode, CmdEraseTree, CmdClearTree});

  connect(CmdGetTree, &QPushButton::clicked, this, &frmTreeTest::CmdGetTree_Click);
  connect(cmdSearchNode, &QPushButton::clicked, this, &frmTreeTest::cmdSearchNode_Click);
  connect(CmdEraseTree, &QPushButton::clicked, this, &frmTreeTest::CmdEraseTree_Click);
  connect(CmdClearTree, &QPushButton::clicked, this, &frmTreeTest::CmdClearTree_Click);
  connect(TxtGetTree, &QLineEdit::returnPressed, this, &frmTreeTest::CmdGetTree_Click);
  connect(txtSearchNode, &QLineEdit::returnPressed, this, &frmTreeTest::cmdSearchNode_Click);
  connect(txtEraseNode, &QLineEdit::returnPressed, this, &frmTreeTest::CmdEraseTree_Click);
}

void frmTreeTest::SetMessageSink(TreeUi::MessageSink* sink) {
  sink_ = sink != nullptr ? sink : modalBox_.get();
}

// ---- Drawing ----------------------------------------------------------------

void frmTreeTest::ShowBTree(const std::int32_t& MaximumLevels) {
  HideBTree();
  TreeCore::DrawTree(elements_.TreeNode, elements_.ShNode, elements_.LnNode, MaximumLevels);
  PicInDrawPad->ElementsChanged();
  UpdateBalanceBadges();
}

void frmTreeTest::HideBTree() {
  elements_.TreeNode[0].Visible = false;
  elements_.ShNode[0].Visible = false;
  elements_.LnNode[0].Visible = false;
  ReturnSurfaceToOrigin();
  PicInDrawPad->ElementsChanged();
}

void frmTreeTest::ReturnSurfaceToOrigin() {
  view_->ResetToDesign();
  PicInDrawPad->SetLeft(0);
  PicInDrawPad->SetTop(0);
  VScrollDrawP->hide();
  HScrollDrawP->hide();
  // The positions follow the surface, so that the first scroll after a new
  // drawing starts from where the view is.
  const QSignalBlocker blockV(VScrollDrawP);
  const QSignalBlocker blockH(HScrollDrawP);
  VScrollDrawP->setValue(0);
  HScrollDrawP->setValue(0);
}

// ---- Layout and scrolling ---------------------------------------------------

double frmTreeTest::OuterWidth() const {
  return ToTwips(width()) + DesignFrameWidth;
}
double frmTreeTest::OuterHeight() const {
  return ToTwips(height()) + DesignFrameHeight;
}

void frmTreeTest::UpdateMinimumSize() {
  double frameWidth = DesignFrameWidth, frameHeight = DesignFrameHeight;
  if (isVisible()) {
    const QSize frame = frameGeometry().size() - geometry().size();
    if (frame.width() > 0 || frame.height() > 0) {
      frameWidth = ToTwips(frame.width());
      frameHeight = ToTwips(frame.height());
    }
  }
  // A minimum size that the window manager honours, rather than snapping
  // the window back after it has been made smaller.
  const QSize least(static_cast<int>(std::ceil((MinOuterWidth - frameWidth) / 15)),
                    static_cast<int>(std::ceil((MinOuterHeight - frameHeight) / 15)));
  if (least != minimumSize()) setMinimumSize(least);
}

void frmTreeTest::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  UpdateMinimumSize();
  ResizeAndRelocate();
}

void frmTreeTest::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  UpdateMinimumSize();
}

void frmTreeTest::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // The frame is known once the window manager has placed the window.
  UpdateMinimumSize();
}

void frmTreeTest::ResizeAndRelocate() {
  // A zoomed view keeps what it showed at the centre through the layout.
  const TreeUi::PadView::KeepPlace keep(*view_);
  const int viewportWidth = std::max(0, ToPixels(OuterWidth() - OuterMinusViewportWidth));
  const int viewportHeight = std::max(0, ToPixels(OuterHeight() - OuterMinusViewportHeight));

  // The controls below the viewport keep their distance from its bottom edge.
  // The surface is left out: its top is never positive.
  const int oldBottom = PicDrawPad->y() + PicDrawPad->height();
  const int newBottom = PicDrawPad->y() + viewportHeight;
  QWidget* const controls[] = {TxtGetTree,    CmdGetTree,   txtSearchNode, cmdSearchNode,
                               txtEraseNode,  CmdEraseTree, CmdClearTree,  lblInst[0],
                               VScrollDrawP,  HScrollDrawP, PicDrawPad,    FraStNd,
                               lblStatusNode, lblInst[1],   lblInst[2]};
  for (QWidget* control : controls)
    if (control->y() > oldBottom)
      control->move(control->x(), newBottom + (control->y() - oldBottom));

  PicDrawPad->resize(viewportWidth, viewportHeight);
  const double width = ToTwips(viewportWidth), height = ToTwips(viewportHeight);
  PicInDrawPad->SetWidth(width);
  PicInDrawPad->SetHeight(height);

  const int thickness = ToPixels(ScrollBarThickness);
  HScrollDrawP->setGeometry(PicDrawPad->x(), PicDrawPad->y() + viewportHeight, viewportWidth,
                            thickness);
  view_->SetScrollRange(Qt::Horizontal, PicInDrawPad->Width() - width, width);
  HScrollDrawP->hide();

  VScrollDrawP->setGeometry(PicDrawPad->x() + viewportWidth, PicDrawPad->y(), thickness,
                            viewportHeight);
  view_->SetScrollRange(Qt::Vertical, PicInDrawPad->Height() - height, height);
  VScrollDrawP->hide();

  CheckMaxWH();
}

void frmTreeTest::CheckMaxWH() {
  // Other scales than 100 % are the view's to lay out.
  if (!view_->InDesignLayout()) {
    view_->Relayout();
    return;
  }
  const double width = ToTwips(PicDrawPad->width());
  const double height = ToTwips(PicDrawPad->height());
  const QRect client = PicDrawPad->contentsRect();
  const double allowanceX = ToTwips(PicDrawPad->width() - client.width());
  const double allowanceY = ToTwips(PicDrawPad->height() - client.height());

  // The border allowance is added to the drawing's extent on every call but
  // never written back into it, so repeated resizes do not keep growing the
  // surface and the scroll range.
  const double drawingWidth = TreeCore::DrawingWidth;
  if (drawingWidth > width) {
    PicInDrawPad->SetWidth(drawingWidth + allowanceX);
    view_->SetScrollRange(Qt::Horizontal, PicInDrawPad->Width() - width, width);
    HScrollDrawP->show();
  } else {
    PicInDrawPad->SetWidth(width);
    // Range 0 also brings a hidden bar's position back to the surface's place.
    view_->SetScrollRange(Qt::Horizontal, 0, width);
    HScrollDrawP->hide();
  }

  const double drawingHeight = TreeCore::DrawingHeight;
  if (drawingHeight > height) {
    PicInDrawPad->SetHeight(drawingHeight + allowanceY);
    view_->SetScrollRange(Qt::Vertical, PicInDrawPad->Height() - height, height);
    VScrollDrawP->show();
  } else {
    PicInDrawPad->SetHeight(height);
    view_->SetScrollRange(Qt::Vertical, 0, height);
    VScrollDrawP->hide();
  }
}

const TreeUi::ScrollScale& frmTreeTest::HorizontalScale() const {
  return view_->HorizontalScale();
}
const TreeUi::ScrollScale& frmTreeTest::VerticalScale() const {
  return view_->VerticalScale();
}

// ---- Keyboard ---------------------------------------------------------------

std::int16_t frmTreeTest::KeyCodeOf(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Tab:
      return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_PageUp:
      return KeyPageUp;
    case Qt::Key_PageDown:
      return KeyPageDown;
    case Qt::Key_End:
      return 35;
    case Qt::Key_Home:
      return 36;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    case Qt::Key_Insert:
      return 45;
    case Qt::Key_Delete:
      return 46;
    default:
      break;
  }
  // Digits and letters have the same codes; Qt's codes for punctuation (such
  // as ! and ", 33 and 34) must not pass for Page Up and Page Down.
  if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
    return static_cast<std::int16_t>(qtKey);
  return 0;
}

bool frmTreeTest::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    // A key that its control ignores travels on to the window: only the first
    // receiver, the control with the focus, passes it on, once.
    const QWidget* focus = QApplication::focusWidget();
    if (watched == focus || (focus == nullptr && watched == this)) {
      const std::int16_t code = KeyCodeOf(static_cast<QKeyEvent*>(event)->key());
      CheckKeyCode(code);
    }
  }
  return QWidget::eventFilter(watched, event);
}

void frmTreeTest::CheckKeyCode(const std::int16_t& KeyCode) {
  if (VScrollDrawP->isHidden()) return;
  // The viewport's height, in 32 bits: a maximised window on a tall screen
  // may exceed 32767 twips.
  const double page = ToTwips(VScrollDrawP->height());
  if (KeyCode != KeyPageUp && KeyCode != KeyPageDown) return;
  const double offset = -PicInDrawPad->Top();
  double target = KeyCode == KeyPageDown ? offset + page : offset - page;
  const TreeUi::ScrollScale& vScale = view_->VerticalScale();
  const double maximum = vScale.Offset(vScale.Maximum);
  if (target > maximum) {
    target = maximum;
    PicInDrawPad->SetTop(-maximum);
  }
  VScrollDrawP->setValue(target > 0 ? vScale.Position(target) : 0);
}

// ---- Commands ---------------------------------------------------------------

void frmTreeTest::Say(BusyCursor& busy, const QString& text, const QString& title,
                      MessageIcon icon) {
  busy.Stop();
  sink_->ShowMessage(text, title, icon);
}

void frmTreeTest::SelectAllIn(QLineEdit* box) {
  box->setFocus();
  box->setSelection(0, static_cast<int>(box->text().size()));
}

bool frmTreeTest::ParseListOf(QLineEdit* box, BusyCursor& busy, std::vector<std::int16_t>& list) {
  // A piece out of range, or more pieces than a list may hold, is refused
  // as a piece that is not a number is: every failure has its message.
  auto parsed = TreeCommands::ParseList(box->text().toStdString());
  if (!parsed) {
    Say(busy, NumbersOnly, Error, MessageIcon::Error);
    KeepRefusedText(box);
    box->clear();
    box->setFocus();
    return false;
  }
  list = std::move(*parsed);
  return true;
}

void frmTreeTest::Redraw() {
  ReturnSurfaceToOrigin();
  TreeCore::DrawingWidth = 0;
  TreeCore::DrawingHeight = 0;
  ShowBTree(0);
  CheckMaxWH();
  if (view_->FitNewTrees()) view_->FitWhole(false);
}

void frmTreeTest::CmdGetTree_Click() {
  if (commands_->Running()) return;  // one command at a time
  const auto started = std::chrono::steady_clock::now();
  PicInDrawPad->SetMarkedElements({});  // the found node is marked until the next command
  BusyCursor busy;
  if (TxtGetTree->text().isEmpty()) {
    Say(busy, QStringLiteral("Insert integer numbers in textbox separated by commas"), Error,
        MessageIcon::Error);
    TxtGetTree->setFocus();
    return;
  }
  std::vector<std::int16_t> list;
  if (!ParseListOf(TxtGetTree, busy, list)) return;

  // The old tree and drawing stay until the new tree is complete.
  const std::vector<std::int16_t> values = list;
  auto job = TreeCommands::TreeJob::Build(TreeCore::MainTree, std::move(list));
  last_.Starting(TreeTrace::CommandKind::Get, job.Tree(), values);
  TreeUi::CommandTap tap(steps_, TreeTrace::CommandKind::Get, job.Tree());
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
  if (commands_->Running()) return;     // one command at a time
  PicInDrawPad->SetMarkedElements({});  // the found node is marked until the next command
  BusyCursor busy;
  const QString text = txtSearchNode->text();
  const std::optional<std::int32_t> value = TreeCommands::ToInt32(text.toStdString());
  if (!value) {
    Say(busy, NumbersOnly, Error, MessageIcon::Error);
    KeepRefusedText(txtSearchNode);
    txtSearchNode->clear();
    txtSearchNode->setFocus();
    return;
  }
  const std::int32_t index = TreeCore::FindValue(TreeCore::MainTree, *value);
  if (index == -1) {
    Say(busy,
        TreeCore::MainTree.Exists
            ? QStringLiteral("The Node has not been found in the Tree")
            : QStringLiteral(
                  "The Node was not found in the Tree since there is no Tree to seach in"),
        Error, MessageIcon::Error);
  } else {
    // The text as typed, blanks included; plain concatenation, so that a
    // typed % stays literal.
    Say(busy,
        QStringLiteral("The Node ") + QString::number(index) + QStringLiteral(" contains ") + text +
            QStringLiteral("."),
        QStringLiteral("Node Found"), MessageIcon::Warning);
    // Once the message is dismissed, the found node is brought into view.
    const int element = TreeUi::ElementOfNode(index, elements_);
    if (element >= 0) {
      PicInDrawPad->SetMarkedElements({element});
      view_->CentreOnElement(element);
    }
  }
  SelectAllIn(txtSearchNode);
}

void frmTreeTest::CmdEraseTree_Click() {
  if (commands_->Running()) return;  // one command at a time
  const auto started = std::chrono::steady_clock::now();
  PicInDrawPad->SetMarkedElements({});  // the found node is marked until the next command
  BusyCursor busy;
  if (txtEraseNode->text().isEmpty()) {
    Say(busy, QStringLiteral("Insert an integer number to erase"), Error, MessageIcon::Error);
  } else {
    std::vector<std::int16_t> list;
    if (!ParseListOf(txtEraseNode, busy, list)) return;
    last_.Starting(TreeTrace::CommandKind::Erase, TreeCore::MainTree, list);
    auto job = TreeCommands::TreeJob::Erase(TreeCore::MainTree, std::move(list));
    TreeUi::CommandTap tap(steps_, TreeTrace::CommandKind::Erase, TreeCore::MainTree);
    tap.Watch(job);
    // Cancelled: the tree, the drawing and the boxes stay as they were.
    if (!commands_->Run(job, QStringLiteral("Erasing..."), started)) return;
    TreeCore::MainTree = std::move(job.Tree());
    job.HandOver(TreeCore::DefaultEngine());
    last_.Completed();
    const QString stop = QString::fromLatin1(TreeCommands::EraseStopMessage(job.Stop()));
    tap.Done(TreeCore::MainTree, stop);
    if (!stop.isEmpty()) Say(busy, stop, Error, MessageIcon::Error);
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
  if (commands_->Running()) return;     // one command at a time
  PicInDrawPad->SetMarkedElements({});  // the found node is marked until the next command
  BusyCursor busy;
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

// ---- Balancing steps and balance badges ----------------------------------------

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

  balanceAction_ = new QAction(QStringLiteral("Show Balance"), this);
  balanceAction_->setObjectName(QStringLiteral("ShowBalanceAction"));
  balanceAction_->setCheckable(true);
  connect(balanceAction_, &QAction::toggled, this, [this] { UpdateBalanceBadges(); });
  padMenu_->addAction(balanceAction_);
}

TreeUi::StepsWindow* frmTreeTest::BalancingSteps() const {
  return steps_;
}

TreeUi::StepsWindow* frmTreeTest::OpenBalancingSteps() {
  if (steps_ == nullptr) {
    // A window of its own (not modal), freed with everything it recorded when closed.
    steps_ = new TreeUi::StepsWindow(this);
    steps_->show();
    // Opened after the last command: that command's work runs again for the
    // window alone (the main tree is left as it is).
    std::optional<TreeCommands::TreeJob> again = last_.Again();
    if (again && !commands_->Running()) {
      TreeUi::CommandTap tap(steps_, last_.Kind(), again->Tree());
      tap.Watch(*again);
      if (commands_->Run(*again, QStringLiteral("Recording the steps..."),
                         std::chrono::steady_clock::now()))
        tap.Done(again->Tree(), QString::fromLatin1(TreeCommands::EraseStopMessage(again->Stop())));
    }
  }
  steps_->show();
  steps_->raise();
  steps_->activateWindow();
  return steps_;
}

void frmTreeTest::UpdateBalanceBadges() {
  if (balanceAction_ == nullptr) return;
  const bool on = balanceAction_->isChecked();
  if (!on && PicInDrawPad->Decorations().Badges.empty()) return;
  TreeUi::ShowBalance(*PicInDrawPad, TreeCore::MainTree, TreeCore::DefaultDrawing().NodeOfElement,
                      on);
}

void frmTreeTest::TreeNode_Click(int index) {
  if (index < 0 || index > 32767) return;
  const auto k = static_cast<std::int16_t>(index);
  if (!elements_.TreeNode.IsLoaded(k)) return;
  const std::string& tip = elements_.TreeNode[k].ToolTipText;
  lblStatusNode->setText(tip.empty() ? QString() : TreeUi::DisplayText(tip));
  PicInDrawPad->SetMarkedElements({index});
}
