// The "Compare with AVL" window: the last Get Tree or Erase through this
// tool's tree and a textbook AVL tree side by side, value by value, with the
// nodes whose depths differ marked in both panes.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Compare.h"
#include "LastCommand.h"
#include "Templates.h"

class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;

namespace TreeUi {

class StepsWindow;
class TreePane;

class CompareWindow final : public QWidget {
  Q_OBJECT

 public:
  using StepsFinder = std::function<StepsWindow*()>;
  explicit CompareWindow(StepsFinder steps, QWidget* parent = nullptr);
  ~CompareWindow() override;

  // Shows the last command of `history` (the commands since the last Get
  // Tree, oldest first) at its last value.
  void Follow(std::vector<TreeTrace::HistoryEntry> history);

  void First();
  void Back();
  void Forward();
  void Last();
  // Both trees right after value i of the command; the Balancing Steps
  // window, when open on the same command, shows the same value.
  void ShowValue(std::ptrdiff_t i);
  std::ptrdiff_t CurrentValue() const { return current_; }

  // ---- For the tests ---------------------------------------------------------
  QTableWidget* Table() const { return table_; }
  // The slots marked in each pane (0 this tool's, 1 AVL's), in the shown trees.
  const std::vector<std::int32_t>& Marked(int pane) const;
  const TreeCore::TreeRec& Shown(int pane) const;
  // Selects the node element `element` of `pane` shows, and the node at the
  // same in-order position in the other pane; -1 in both when none.
  void SelectElement(int pane, int element);
  std::int32_t SelectedSlot(int pane) const;

 private:
  struct Pane;
  void Display(Pane& pane, TreeCore::TreeRec tree, std::vector<std::int32_t> marks);
  void Summarise();
  void FollowSteps();
  bool SameCommand(StepsWindow* steps) const;

  StepsFinder findSteps_;
  QPointer<StepsWindow> stepsFollowed_;
  std::unique_ptr<TreeTrace::CompareSteps> command_;
  std::array<std::unique_ptr<Pane>, 2> panes_;
  std::ptrdiff_t current_ = -1;
  std::ptrdiff_t selected_ = -1;  // the selected node's in-order position
  bool echoing_ = false;          // a step the steps window asked for, not to send back

  QTableWidget* table_ = nullptr;
  QLabel* status_ = nullptr;
};

// The pad menu's "Compare with AVL…" (F3) and the history its window shows,
// kept from the window's first command whether the compare window is open or not.
class CompareFeature final : public QObject {
  Q_OBJECT

 public:
  CompareFeature(QWidget* window, QMenu* padMenu, TreeCommands::LastCommand& last,
                 CompareWindow::StepsFinder steps);
  CompareWindow* Open();
  CompareWindow* Window() const { return compare_; }

 private:
  QWidget* window_;
  TreeCommands::LastCommand& last_;
  CompareWindow::StepsFinder steps_;
  std::vector<TreeTrace::HistoryEntry> history_;
  QPointer<CompareWindow> compare_;
};

}  // namespace TreeUi
