// Saving from the steps window: the trace as JSON lines, and the tap that
// records a command of the main window for it.
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <cstdio>
#include <fstream>

#include "Messages.h"
#include "TraceJson.h"
#include "steps/StepsWindow.h"
#include "view/MessageSink.h"

namespace TreeUi {

bool StepsWindow::SaveTrace(const QString& path, QString* error) {
  if (recorder_->Empty()) {
    if (error) *error = QStringLiteral("There is no command to save.");
    return false;
  }
  // Written beside the target and renamed over it once complete, so that a
  // failure never leaves a half-written trace under the chosen name. The
  // events are replayed straight into the file: a sorted list makes
  // millions of them, too many to hold as text.
  const std::string target = QFile::encodeName(path).toStdString();
  const std::string part = target + ".part";
  bool ok = false;
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    if (out) {
      TreeTrace::JsonTraceWriter writer(out);
      const TreeCore::TreeRec after =
          recorder_->Replay(&writer, [](std::size_t, const TreeCore::TreeRec&) {});
      if (!recorder_->Message().empty()) writer.Message(recorder_->Message());
      writer.Done(after);
      out.flush();
      ok = static_cast<bool>(out);
    }
  }
  if (ok) ok = std::rename(part.c_str(), target.c_str()) == 0;
  if (!ok) {
    std::remove(part.c_str());
    if (error) *error = QStringLiteral("The trace could not be written to %1.").arg(path);
  }
  return ok;
}

void StepsWindow::SaveTraceAs() {
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Trace"), QString(),
                                                    QStringLiteral("JSON lines (*.jsonl)"));
  if (path.isEmpty()) return;
  QString error;
  if (!SaveTrace(path, &error))
    QMessageBox::critical(this, QStringLiteral("Error"), error);
  else
    status_->setText(QStringLiteral("Saved %1").arg(path));
}

CommandTap::CommandTap(StepsWindow* steps, TreeTrace::CommandKind kind,
                       const TreeCore::TreeRec& before)
    : steps_(steps) {
  if (steps_.isNull()) return;
  recorder_ = std::make_unique<TreeTrace::TraceRecorder>();
  recorder_->BeginCommand(kind, before);
}

CommandTap::~CommandTap() = default;

void CommandTap::Watch(TreeCommands::TreeJob& job) {
  if (!recorder_) return;
  TreeTrace::TraceRecorder* const recorder = recorder_.get();
  job.Watch(recorder, [recorder](const TreeCore::TreeRec& tree, std::int16_t value) {
    recorder->BeginValue(tree, value);
  });
}

void CommandTap::Done(const TreeCore::TreeRec& after, const QString& message) {
  if (!recorder_) return;
  recorder_->EndCommand(after, message.toStdString());
  if (!steps_.isNull()) steps_->TakeRecording(std::move(recorder_));
  recorder_.reset();
}

void RecordAgain(StepsWindow* steps, const TreeCommands::LastCommand& last,
                 const std::function<bool(TreeCommands::TreeJob&)>& run) {
  std::optional<TreeCommands::TreeJob> again = last.Again();
  if (!again) return;
  CommandTap tap(steps, last.Kind(), again->Tree());
  tap.Watch(*again);
  if (!run(*again)) return;
  tap.Done(again->Tree(), ToQString(TreeCommands::Messages::EraseStopMessage(again->Stop())));
}

}  // namespace TreeUi
