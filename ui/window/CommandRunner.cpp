#include "window/CommandRunner.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>

namespace TreeUi {

namespace {

constexpr int ProgressPollMs = 50;

int Clamp(std::size_t n) {
  return n > static_cast<std::size_t>(std::numeric_limits<int>::max())
             ? std::numeric_limits<int>::max()
             : static_cast<int>(n);
}

// Disables the controls for the life of the work and then gives them back as
// they were: disabling the focused box takes its focus and its selection, and
// a cancelled command must leave both as the user had them.
class ControlLock {
 public:
  explicit ControlLock(const std::vector<QPointer<QWidget>>& controls) : controls_(controls) {
    focus_ = QApplication::focusWidget();
    for (const QPointer<QWidget>& control : controls_) {
      if (auto* box = qobject_cast<QLineEdit*>(control.data())) {
        const int start = box->selectionStart();
        const int length = static_cast<int>(box->selectedText().size());
        const int cursor = box->cursorPosition();
        // The end of a selection away from the cursor: a selection made
        // leftwards keeps its cursor on the left.
        int anchor = cursor;
        if (start >= 0) anchor = cursor == start ? start + length : start;
        boxes_.push_back({box, anchor, cursor});
      }
    }
    // Disabling the focused control hands the focus on to the next control
    // in the chain, which a box takes by selecting all of its text, only to
    // be disabled in turn: with long lists that walk costs more than the
    // paints. The focus leaves the controls at once instead; it comes back
    // below, with the selections.
    for (const QPointer<QWidget>& control : controls_)
      if (control && control == focus_) control->clearFocus();
    for (const QPointer<QWidget>& control : controls_)
      if (control) control->setEnabled(false);
  }
  ~ControlLock() {
    for (const QPointer<QWidget>& control : controls_)
      if (control) control->setEnabled(true);
    if (focus_ && focus_->isEnabled() && focus_->isVisible())
      focus_->setFocus(Qt::OtherFocusReason);
    for (const Box& b : boxes_) {
      if (!b.Edit) continue;
      if (b.Anchor == b.Cursor)
        b.Edit->setCursorPosition(b.Cursor);
      else
        b.Edit->setSelection(b.Anchor, b.Cursor - b.Anchor);
    }
  }
  ControlLock(const ControlLock&) = delete;
  ControlLock& operator=(const ControlLock&) = delete;

 private:
  struct Box {
    QPointer<QLineEdit> Edit;
    int Anchor, Cursor;
  };
  const std::vector<QPointer<QWidget>>& controls_;
  QPointer<QWidget> focus_;
  std::vector<Box> boxes_;
};

}  // namespace

CommandRunner::CommandRunner(QWidget* window, std::vector<QWidget*> controls)
    : QObject(window), window_(window) {
  setObjectName(QStringLiteral("CommandRunner"));
  for (QWidget* control : controls) controls_.emplace_back(control);
  window_->installEventFilter(this);
}

CommandRunner::~CommandRunner() {
  // Run() joins its worker before it returns, and the window outlives it.
  if (job_ != nullptr) job_->RequestCancel();
}

QProgressDialog* CommandRunner::Progress() const {
  return progress_ && progress_->isVisible() ? progress_.data() : nullptr;
}

void CommandRunner::Cancel() {
  if (job_ == nullptr) return;
  job_->RequestCancel();
}

bool CommandRunner::eventFilter(QObject* watched, QEvent* event) {
  // Closing the window ends the program: the work is not wanted any more.
  if (watched == window_ && event->type() == QEvent::Close && job_ != nullptr) Cancel();
  return QObject::eventFilter(watched, event);
}

bool CommandRunner::Run(TreeCommands::TreeJob& job, const QString& what,
                        std::chrono::steady_clock::time_point started) {
  if (job_ != nullptr) return false;
  const auto budget = started + std::chrono::milliseconds(budgetMs_);
  QEventLoop loop;
  struct Finish {
    std::mutex Lock;
    std::condition_variable Done;
    bool Over = false;
  } finish;
  std::thread worker;
  const auto startWorker = [&job, &loop, &finish, &worker] {
    worker = std::thread([&job, &loop, &finish] {
      job.Run();
      {
        const std::lock_guard<std::mutex> hold(finish.Lock);
        finish.Over = true;
      }
      finish.Done.notify_one();
      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
  };
  bool overInBudget = false;
  if (job.StartsOnEmptyTree()) {
    // Most lists are done in a few milliseconds whatever their length; they
    // finish here, as they always did. What is left after the budget goes
    // on on a worker, where the tree it has started is. The values met
    // before the budget meet small trees, and each is over quickly.
    overInBudget = job.RunUntil(budget);
  } else if (budgetMs_ > 0) {
    // On a whole tree one value can take seconds (an Erase of a tree built
    // from a sorted list), and the window's thread must not be held for
    // it: the work runs on a worker from the start, and the window's
    // thread waits for it up to the budget. With no budget there is no
    // wait, which a quick worker could otherwise win before it times out.
    startWorker();
    std::unique_lock<std::mutex> hold(finish.Lock);
    overInBudget = finish.Done.wait_until(hold, budget, [&finish] { return finish.Over; });
  }
  if (overInBudget) {
    if (worker.joinable()) {
      worker.join();
      // The loop never ran: its quit must not cut short the pass below.
      QCoreApplication::removePostedEvents(&loop, QEvent::MetaCall);
    }
    // Up to the budget on the window's thread, and the window's own part of
    // the command (the new drawing) still to come: the timers and paints
    // that fell due meanwhile go first, so that the two do not add up to one
    // long wait. The user's input waits until the command is over, and no
    // other command starts in between.
    if (std::chrono::steady_clock::now() - started >= std::chrono::milliseconds(yieldAfterMs_)) {
      job_ = &job;
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
      job_ = nullptr;
      // The window closed in that pass: the result is not wanted, as when
      // it closes while a worker runs.
      if (job.CancelRequested()) return false;
    }
    return !job.Cancelled();
  }

  job_ = &job;
  ControlLock lock(controls_);
  // The arrow with the hourglass: the window still answers.
  QApplication::setOverrideCursor(Qt::BusyCursor);
  emit Started();

  QTimer showProgress;
  showProgress.setSingleShot(true);
  connect(&showProgress, &QTimer::timeout, this, [this, &what] { ShowProgress(what); });
  showProgress.start(ProgressDelayMs);
  QTimer poll;
  connect(&poll, &QTimer::timeout, this, &CommandRunner::UpdateProgress);
  poll.start(ProgressPollMs);

  if (!worker.joinable()) startWorker();
  // Returns when the worker has ended, or earlier when the program quits.
  // A worker that ends from here on posts its quit to the running loop; one
  // whose quit came through before the loop ran is over already.
  bool over = false;
  {
    const std::lock_guard<std::mutex> hold(finish.Lock);
    over = finish.Over;
  }
  if (!over) loop.exec();
  job.RequestCancel();
  worker.join();
  // The worker posts its quit after it says it is over, so a loop that never
  // ran (or ended as the program quit) may have one waiting: it must not
  // reach the next loop that runs.
  QCoreApplication::removePostedEvents(&loop, QEvent::MetaCall);

  poll.stop();
  showProgress.stop();
  if (progress_) {
    // The dialog may have had the keyboard: it goes back to the window.
    const bool active = progress_->isActiveWindow() || QApplication::activeWindow() == nullptr;
    progress_->hide();
    progress_->deleteLater();
    if (active && window_->isVisible()) window_->activateWindow();
  }
  QApplication::restoreOverrideCursor();
  job_ = nullptr;
  return !job.Cancelled();
}

void CommandRunner::ShowProgress(const QString& what) {
  if (job_ == nullptr) return;
  auto* dialog =
      new QProgressDialog(what, QStringLiteral("Cancel"), 0, Clamp(job_->Total()), window_);
  dialog->setObjectName(QStringLiteral("CommandProgress"));
  dialog->setWindowTitle(window_->windowTitle());
  dialog->setMinimumWidth(400);  // room for the window's title
  // Not modal: the drawing behind it stays scrollable and its labels show
  // their tooltips. It takes the keyboard, as every control of the window is
  // locked, so that Escape cancels; the window passes Page Up and Page Down
  // on to the pad (ProgressShown).
  dialog->setWindowModality(Qt::NonModal);
  dialog->setAutoClose(false);
  dialog->setAutoReset(false);
  dialog->setMinimumDuration(0);
  auto* bar = new QProgressBar(dialog);
  bar->setFormat(QStringLiteral("%v / %m"));
  dialog->setBar(bar);
  dialog->setRange(0, Clamp(job_->Total()));
  connect(dialog, &QProgressDialog::canceled, this, &CommandRunner::Cancel);
  progress_ = dialog;
  UpdateProgress();
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
  emit ProgressShown();
}

void CommandRunner::UpdateProgress() {
  if (job_ != nullptr && progress_) progress_->setValue(Clamp(job_->Done()));
}

}  // namespace TreeUi
