// The "Balancing Steps" window: the last Get Tree or Erase value by value,
// the balancing each value caused in plain words, and a pane with the tree
// right after the selected value, the nodes involved marked.
#pragma once

#include <QPointer>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LastCommand.h"
#include "Templates.h"
#include "TraceRecorder.h"
#include "TreeJob.h"

class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace TreeUi {

class DrawSurface;
class LayoutAction;
class PadView;
class RulesPanel;
class StepAnimator;
class TreePane;

class StepsWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit StepsWindow(QWidget* parent = nullptr);
  ~StepsWindow() override;

  // The recorder the main window's commands feed while this window is open.
  TreeTrace::TraceRecorder& Recorder() { return *recorder_; }
  // Counts the recordings shown: a reader of one can tell it was replaced.
  std::uint64_t Recordings() const { return recordings_; }
  // A command has been recorded: list it and show its last value.
  void CommandRecorded();
  // Shows a command recorded elsewhere (see CommandTap) in place of the last.
  void TakeRecording(std::unique_ptr<TreeTrace::TraceRecorder> recorder);

  // ---- Stepping ------------------------------------------------------------
  void First();
  void Back();
  void Forward();
  void Last();
  // Shows the tree right after value i (0-based) with its events' nodes marked.
  void ShowValue(std::size_t i);
  // Shows the command's resulting tree with its unbalanced nodes marked.
  void ShowSummary();
  // The value shown, -1 while the summary (or nothing) is shown.
  std::ptrdiff_t CurrentValue() const { return current_; }

  // ---- Stepping event by event ---------------------------------------------
  // One event back or forward, across values (Shift+Left, Shift+Right).
  void EventBack();
  void EventForward();
  // The previous or next rotation or fix-up (Ctrl+Shift+Left, Ctrl+Shift+Right).
  void PreviousBalancing();
  void NextBalancing();
  // Shows the tree just before event k (0-based) of value i beside the tree
  // just after it, the event's nodes marked in both.
  void ShowEvent(std::size_t i, std::size_t k);
  // The event shown, -1 while a whole value (or the summary) is shown.
  std::ptrdiff_t CurrentEvent() const { return currentEvent_; }

  // Writes the command's events as JSON lines, through a temporary file that
  // replaces `path` only once complete. False (and `error` set) on failure.
  bool SaveTrace(const QString& path, QString* error = nullptr);

  // ---- For the tests ---------------------------------------------------------
  QTreeWidget* List() const { return list_; }
  DrawSurface* Pane() const;
  PadView* View() const;
  LayoutAction* Layout() const { return layout_; }
  TreeCore::ElementArrays& Elements();
  // The node indexes marked in the pane, in the shown tree's numbering.
  const std::vector<std::int32_t>& MarkedNodes() const { return marked_; }
  const TreeCore::TreeRec& ShownTree() const;
  // The tree before the shown event (empty while a whole value is shown).
  const TreeCore::TreeRec& BeforeTree() const;
  DrawSurface* BeforePane() const;
  TreePane* AfterTreePane() const { return afterPane_; }
  TreePane* BeforeTreePane() const { return beforePane_; }
  QString StatusText() const;
  // Why the shown event fired, and its rule; empty while no event is shown.
  QString ReasonText() const;
  QCheckBox* ShowBalanceBox() const { return balance_; }
  QString SummaryText() const;
  double LastStepMilliseconds() const { return lastStepMs_; }
  RulesPanel* Rules() const { return rules_; }
  StepAnimator* Animator() const { return animator_; }

 signals:
  // Value i is shown; -1 for the summary (the compare window steps along).
  void ValueShown(std::ptrdiff_t i);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnCurrentItemChanged(QTreeWidgetItem* item);
  void FillEvents(QTreeWidgetItem* item);
  void SelectValue(std::size_t i);
  void Display(TreeCore::TreeRec tree, std::vector<std::int32_t> marks);
  void DisplayBefore(TreeCore::TreeRec tree, std::vector<std::int32_t> marks);
  void SetBeforeShown(bool shown);
  void UpdateBalance();
  void MarkChangedHeights();
  // Selects the row of event k of value i, or the value's row when the event has none.
  void SelectEventRow(std::size_t i, std::size_t k);
  // The next (or previous) rotation or fix-up from the shown position.
  void JumpToBalancing(bool forward);
  void SaveTraceAs();
  bool HandleKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

  std::unique_ptr<TreeTrace::TraceRecorder> recorder_;
  std::vector<std::int32_t> marked_;
  std::ptrdiff_t current_ = -1;
  std::ptrdiff_t currentEvent_ = -1;
  double lastStepMs_ = 0;

  // The tree after the shown state, and before the shown event, left of it.
  TreePane* afterPane_ = nullptr;
  TreePane* beforePane_ = nullptr;
  std::int32_t removed_ = -1;  // the shown erase event's slot
  std::uint64_t recordings_ = 0;
  QCheckBox* balance_ = nullptr;

  QTreeWidget* list_ = nullptr;
  QMenu* paneMenu_ = nullptr;
  LayoutAction* layout_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* reason_ = nullptr;
  QWidget* legend_ = nullptr;
  QPushButton* first_ = nullptr;
  QPushButton* back_ = nullptr;
  QPushButton* forward_ = nullptr;
  QPushButton* last_ = nullptr;
  QPushButton* eventBack_ = nullptr;
  QPushButton* eventForward_ = nullptr;
  QPushButton* previousBalancing_ = nullptr;
  QPushButton* nextBalancing_ = nullptr;
  QPushButton* save_ = nullptr;
  RulesPanel* rules_ = nullptr;
  // Moves the pane from one shown state to the next; Play and its speed.
  StepAnimator* animator_ = nullptr;
};

// Records one Get Tree or Erase of the main window for the steps window
// while that is open; with it closed nothing is recorded or attached. The
// recording stays the tap's own until the command has finished: the work may
// run on another thread while the window still shows the previous command,
// and a cancelled command leaves the window as it was.
class CommandTap {
 public:
  CommandTap(StepsWindow* steps, TreeTrace::CommandKind kind, const TreeCore::TreeRec& before);
  ~CommandTap();
  CommandTap(const CommandTap&) = delete;
  CommandTap& operator=(const CommandTap&) = delete;

  // The job's values and balancing events are recorded as it runs.
  void Watch(TreeCommands::TreeJob& job);
  // The command has ended, stopped by `message` if not empty: the recording
  // goes to the steps window, if it is still open.
  void Done(const TreeCore::TreeRec& after, const QString& message = {});

 private:
  QPointer<StepsWindow> steps_;
  std::unique_ptr<TreeTrace::TraceRecorder> recorder_;
};

// A steps window opened after the last command: that command's work runs
// again for the window alone, on a copy, through `run` (false when it was
// cancelled); the main tree is left as it is.
void RecordAgain(StepsWindow* steps, const TreeCommands::LastCommand& last,
                 const std::function<bool(TreeCommands::TreeJob&)>& run);

}  // namespace TreeUi
