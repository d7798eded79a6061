// The tool's only window: the list, search and erase boxes with their
// buttons, the scrollable drawing pad and the node status panel.
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "LastCommand.h"
#include "Templates.h"
#include "view/BalanceView.h"
#include "view/LayoutAction.h"
#include "view/MessageSink.h"
#include "view/geometry/ScrollScale.h"
#include "window/WindowLayout.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QAction;
class QMenu;
class QPushButton;
class QScrollBar;

namespace TreeUi {
class BoxFeatures;
class CommandRunner;
class DrawSurface;
class PadView;
class BalanceAction;
class BusyCursor;
class PageKeys;
class StepsWindow;
}  // namespace TreeUi

class frmTreeTest final : public QWidget {
  Q_OBJECT

 public:
  explicit frmTreeTest(QWidget* parent = nullptr);
  ~frmTreeTest() override;

  // ---- The window's operations ---------------------------------------------

  // Draws the main tree; every caller in the window passes 0.
  void ShowBTree(const std::int32_t& MaximumLevels);
  // Hides the templates, returns the surface to the origin, hides the bars.
  void HideBTree();
  // Page Up (33) and Page Down (34) scroll the drawing by one viewport height.
  void CheckKeyCode(const std::int16_t& KeyCode);
  // Fits the surface and the scroll ranges to the drawing's extent.
  void CheckMaxWH();
  // Lays out the pad, its scroll bars and the controls below it.
  void ResizeAndRelocate();

  // ---- Commands and clicks -------------------------------------------------

  void CmdGetTree_Click();
  void cmdSearchNode_Click();
  void CmdEraseTree_Click();
  void CmdClearTree_Click();
  void TreeNode_Click(int index);

  // Messages go to `sink`; nullptr restores the modal message boxes. The
  // window does not take ownership.
  void SetMessageSink(TreeUi::MessageSink* sink);
  // Where messages go now.
  TreeUi::MessageSink* Messages() const { return relay_.Target(); }

  // ---- For the drawing layer and the tests ---------------------------------

  TreeCore::ElementArrays& Elements() { return elements_; }
  TreeUi::DrawSurface* Surface() const { return PicInDrawPad; }
  QWidget* ScrollFocusControl() const { return ScrollFocusControl_; }
  // The pad's right-click menu; each feature adds its own actions to it.
  QMenu* PadMenu() const { return padMenu_; }
  // The "Balancing Steps" window, nullptr while it is closed; opening it
  // again raises the open one.
  TreeUi::StepsWindow* BalancingSteps() const;
  TreeUi::StepsWindow* OpenBalancingSteps();
  QAction* BalancingStepsAction() const { return stepsAction_; }
  QAction* ShowBalanceAction() const { return balance_->Action(); }
  // Zoom, fit, wheel and drag scrolling of the pad.
  TreeUi::PadView* View() const { return view_; }
  // "Compact Layout": the layout the pad draws the main tree in.
  TreeUi::LayoutAction* Layout() const { return compact_; }
  // Runs the long commands' engine work off the window's thread; while it
  // runs, Running() is true and no other command starts.
  TreeUi::CommandRunner* Commands() const { return commands_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void CreateControls();
  void CreateBoxesAndButtons();
  void CreatePad();
  void CreateStatusPanel();
  void WireControls();
  // False while a command runs; else the marks and tooltips of the last one go.
  bool StartCommand();
  void Say(TreeUi::BusyCursor& busy, std::string_view text, std::string_view title,
           TreeUi::MessageIcon icon = TreeUi::MessageIcon::Error);
  // Checks a Get Tree or Erase list; on a refusal shows the message, and
  // for a bad piece empties the box, which Undo can bring back.
  enum class ListCheck { Accepted, Empty, BadPiece };
  ListCheck CheckListOf(TreeCommands::CommandKind kind, QLineEdit* box, TreeUi::BusyCursor& busy,
                        std::vector<std::int16_t>& list);
  // A refused box: Undo can bring the text back, the box is emptied and focused.
  static void Refuse(QLineEdit* box);
  void Redraw();
  void SelectAllIn(QLineEdit* box);
  void CreateTraceActions();

  TreeCore::ElementArrays elements_;
  std::unique_ptr<TreeUi::ModalMessageBox> modalBox_;
  // The features' messages go through the relay, wherever SetMessageSink
  // sends them.
  TreeUi::MessageRelay relay_;
  TreeUi::WindowLayout layout_;

  QLineEdit* TxtGetTree = nullptr;
  QPushButton* CmdGetTree = nullptr;
  QLineEdit* txtSearchNode = nullptr;
  QPushButton* cmdSearchNode = nullptr;
  QLineEdit* txtEraseNode = nullptr;
  QPushButton* CmdEraseTree = nullptr;
  QPushButton* CmdClearTree = nullptr;
  std::array<QLabel*, 3> lblInst{};
  QScrollBar* VScrollDrawP = nullptr;
  QScrollBar* HScrollDrawP = nullptr;
  QFrame* PicDrawPad = nullptr;
  TreeUi::DrawSurface* PicInDrawPad = nullptr;
  QGroupBox* FraStNd = nullptr;
  QLabel* lblStatusNode = nullptr;

  QMenu* padMenu_ = nullptr;
  QAction* stepsAction_ = nullptr;
  TreeUi::BalanceAction* balance_ = nullptr;
  TreeUi::LayoutAction* compact_ = nullptr;
  QPointer<TreeUi::StepsWindow> steps_;
  TreeUi::CommandRunner* commands_ = nullptr;
  // For a steps window opened after the command.
  TreeCommands::LastCommand last_;
  QWidget* ScrollFocusControl_ = nullptr;
  TreeUi::PadView* view_ = nullptr;
  TreeUi::PageKeys* keys_ = nullptr;
  TreeUi::BoxFeatures* boxes_ = nullptr;
};
