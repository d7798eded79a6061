// Runs the engine work of a long command on a worker thread while the
// window's thread goes on painting, scrolling and answering hovers on the
// previous drawing. The command's controls are disabled meanwhile, the busy
// cursor shows, and after a moment a progress dialog offers Cancel. Work
// that is over within a few milliseconds is over before the window's thread
// goes back to its events, as it always was.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <chrono>
#include <vector>

#include "TreeJob.h"

class QProgressDialog;
class QWidget;

namespace TreeUi {

class CommandRunner final : public QObject {
  Q_OBJECT

 public:
  // Work that lasts longer than this shows its progress.
  static constexpr int ProgressDelayMs = 500;
  // Until this long after the command started (its text read and checked
  // included) the window's thread does the work itself (Get Tree) or waits
  // for the worker (Erase), before it goes on handling events.
  static constexpr int InlineBudgetMs = 30;

  // Closing `window` cancels the work; `controls` are disabled while it runs.
  CommandRunner(QWidget* window, std::vector<QWidget*> controls);
  ~CommandRunner() override;

  // Runs `job` and returns once it has finished (true) or been cancelled
  // (false). Long work runs on a worker while events are handled; `what` is
  // the progress dialog's text, `started` when the command began.
  bool Run(TreeCommands::TreeJob& job, const QString& what,
           std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now());

  bool Running() const { return job_ != nullptr; }
  // Work done or waited for on the window's thread that lasted at least
  // this long lets the event loop have a pass (timers and paints, not the
  // user's input) before Run returns and the window draws the result.
  static constexpr int YieldAfterMs = 15;

  // 0 sends all work to the worker at once.
  void SetInlineBudgetMs(int ms) { budgetMs_ = ms; }
  void SetYieldAfterMs(int ms) { yieldAfterMs_ = ms; }
  // The progress dialog of the work under way, once it shows; else nullptr.
  QProgressDialog* Progress() const;
  // As the dialog's Cancel button does.
  void Cancel();

 signals:
  // The work went to a worker: the controls are disabled now.
  void Started();
  void ProgressShown();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowProgress(const QString& what);
  void UpdateProgress();

  QWidget* window_;
  std::vector<QPointer<QWidget>> controls_;
  TreeCommands::TreeJob* job_ = nullptr;
  int budgetMs_ = InlineBudgetMs;
  int yieldAfterMs_ = YieldAfterMs;
  QPointer<QProgressDialog> progress_;
};

}  // namespace TreeUi
