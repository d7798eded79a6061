#include "steps/StepsHandout.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "EventReason.h"
#include "PictureExtent.h"
#include "StepsDrawing.h"
#include "TraceText.h"
#include "pane/MarkLegend.h"
#include "pane/TreePane.h"
#include "pictures/PictureRender.h"
#include "steps/EventMarks.h"
#include "steps/StepsWindow.h"

namespace TreeUi {

namespace {

using TreeTrace::EventRange;

// States are rebuilt this many events per replay: a replay can take a
// second on the longest lists, and the pages between replays keep the
// progress window answering.
constexpr std::size_t EventsPerReplay = 16;

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// Room around a tree on the page for the rings outside its outer circles.
constexpr double RingRoom = 13;

// One tree, compact and fitted into `box` (pixels at 96 to the inch), centred
// below its caption, with the panes' rings; never larger than 1.5 times the
// pad's 100 %.
void PaintTree(QPainter& painter, StepsDrawing& drawing, const TreeCore::TreeRec& tree,
               const QRectF& box, const QString& caption, const std::vector<std::int32_t>& marks,
               const std::vector<NodeRing>& rings) {
  QFont bold = painter.font();
  bold.setBold(true);
  painter.save();
  painter.setFont(bold);
  painter.drawText(box.topLeft() + QPointF(0, 14), caption);
  painter.restore();
  painter.setPen(QColor(0xc0, 0xc0, 0xc0));
  const QRectF frame = box.adjusted(0, 22, 0, 0);
  painter.drawRect(frame);
  TreeCore::ElementArrays elements;
  const std::vector<std::int32_t> nodeOfElement =
      drawing.Draw(tree, elements, TreeCore::TreeLayout::Compact);
  const TreeCore::Extent e = TreeCore::VisibleExtent(elements);
  painter.setPen(Qt::black);
  if (nodeOfElement.empty() || e.Empty) {
    painter.drawText(frame, Qt::AlignCenter, QStringLiteral("(empty tree)"));
    return;
  }
  const QRectF inside = frame.adjusted(RingRoom, RingRoom, -RingRoom, -RingRoom);
  const double margin = 2 * TreeCore::PictureMargin;
  constexpr double Largest = 1.5 / TreeCore::PictureTwipsPerPixel;
  const double fit = std::min(
      {(inside.width() - margin) / e.Width(), (inside.height() - margin) / e.Height(), Largest});
  painter.save();
  painter.translate(
      inside.left() + std::max(0.0, (inside.width() - margin - e.Width() * fit) / 2),
      inside.top() + std::max(0.0, (inside.height() - margin - e.Height() * fit) / 2));
  // The marks the panes show, so that a page shows which nodes took part.
  ElementDecorations decorations;
  decorations.Marked = ElementsShowing(nodeOfElement, marks);
  std::vector<RoleRing> roles;
  for (const NodeRing& ring : rings)
    for (std::size_t k = 0; k < nodeOfElement.size(); ++k)
      if (nodeOfElement[k] == ring.Node) roles.push_back({static_cast<int>(k), ring.Role});
  PaintOptions options;
  options.FitCaptions = true;  // as the panes draw compact
  options.FillBackground = false;
  options.Decorations = &decorations;
  options.Roles = &roles;
  PaintPicture(painter, elements, {fit, fit}, options);
  painter.restore();
}

void PaintPage(QPainter& painter, const QRectF& page, StepsDrawing& drawing,
               const TreeTrace::TraceRecorder& recorder, TreeTrace::EventPosition at,
               const TreeTrace::EventStates& states, std::uint64_t pageNumber,
               std::uint64_t pages) {
  const TreeTrace::EventReason reason = TreeTrace::ExplainEvent(recorder, at.Value, states);
  // As in the window: the removal's fix-up shows the node parked.
  const bool parks = ParksErasedNode(recorder, at.Value, states.Event);
  TreeCore::TreeRec parked;
  if (parks) parked = ParkedTree(states.Before, states.After, states.Event.Node);
  const TreeCore::TreeRec& after = parks ? parked : states.After;
  TreeTrace::EventStates shown;
  shown.Found = true;
  shown.Event = states.Event;
  shown.Before = states.Before;
  shown.After = after;
  const EventMarks marks = MarksOfEvent(recorder, at.Value, shown, reason);
  QFont font = painter.font();
  font.setPixelSize(13);
  painter.setFont(font);
  QFont title = font;
  title.setPixelSize(16);
  title.setBold(true);
  painter.save();
  painter.setFont(title);
  const QString heading = QStringLiteral("Value %1 of %2 \u00b7 event %3 of %4: %5")
                              .arg(at.Value + 1)
                              .arg(recorder.ValueCount())
                              .arg(at.Event + 1)
                              .arg(recorder.Step(at.Value).EventCount)
                              .arg(Q(TreeTrace::DescribeEvent(states.Event)));
  painter.drawText(QRectF(page.left(), page.top(), page.width(), 24),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, heading);
  painter.restore();
  const double gap = 16;
  const double treesTop = page.top() + 32;
  const double treesHeight = page.height() * 0.64;
  const double half = (page.width() - gap) / 2;
  PaintTree(painter, drawing, states.Before, QRectF(page.left(), treesTop, half, treesHeight),
            QStringLiteral("Before"), marks.Before, marks.BeforeRings);
  PaintTree(painter, drawing, after, QRectF(page.left() + half + gap, treesTop, half, treesHeight),
            QStringLiteral("After"), marks.After, marks.AfterRings);
  // The legend of the marks, as the window's.
  std::vector<Mark> legend{Mark::Involved};
  const std::vector<Mark> roles = RoleMarks();
  legend.insert(legend.end(), roles.begin(), roles.end());
  const double legendTop = treesTop + treesHeight + 8;
  const double legendHeight = PaintLegend(&painter, QPointF(page.left(), legendTop), page.width(),
                                          painter.font(), Qt::black, legend);
  const QString text = QStringLiteral("Why: %1\n\nRule: %2").arg(Q(reason.Facts), Q(reason.Rule));
  const double textTop = legendTop + legendHeight + 10;
  painter.drawText(QRectF(page.left(), textTop, page.width(), page.bottom() - textTop - 20),
                   Qt::TextWordWrap, text);
  painter.drawText(QRectF(page.left(), page.bottom() - 16, page.width(), 16), Qt::AlignRight,
                   QStringLiteral("Page %1 of %2").arg(pageNumber).arg(pages));
}

}  // namespace

void PaintHandoutPage(QPainter& painter, const QRectF& page,
                      const TreeTrace::TraceRecorder& recorder, TreeTrace::EventPosition at) {
  const TreeTrace::EventStates states = TreeTrace::StatesAt(recorder, at.Value, at.Event);
  if (!states.Found) return;
  StepsDrawing drawing;
  PaintPage(painter, page, drawing, recorder, at, states, 1, 1);
}

QString HandoutFileName(const TreeTrace::TraceRecorder& recorder, TreeTrace::HandoutScope scope,
                        std::size_t selected) {
  const QString command = recorder.Kind() == TreeTrace::CommandKind::Get
                              ? QStringLiteral("get-tree")
                              : QStringLiteral("erase");
  if (scope == TreeTrace::HandoutScope::WholeCommand)
    return QStringLiteral("balancing-steps-%1.pdf").arg(command);
  return QStringLiteral("balancing-steps-%1-value-%2.pdf").arg(command).arg(selected + 1);
}

bool WriteStepsHandout(const TreeTrace::TraceRecorder& recorder, EventRange range,
                       const QString& path, const std::function<bool(std::uint64_t)>& progress,
                       QString* error) {
  const TreeTrace::EventNumbering numbering(recorder);
  range.Count = std::min(range.Count, numbering.Total() - std::min(range.First, numbering.Total()));
  if (range.Count == 0) {
    if (error) *error = QStringLiteral("There are no events to save.");
    return false;
  }
  // Written beside the target and put in its place only once complete: a
  // cancelled or failed handout leaves nothing behind, and an earlier file
  // of that name stays as it was.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error) *error = QStringLiteral("The handout could not be written to %1.").arg(path);
    return false;
  }
  bool ok = true;
  {
    QPdfWriter writer(&file);
    writer.setTitle(QStringLiteral("Balancing Steps"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Landscape);
    writer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&writer)) {
      if (error) *error = QStringLiteral("The handout could not be written to %1.").arg(path);
      return false;
    }
    // Painted in screen pixels (96 to the inch) scaled up to the writer's,
    // so that lines and outlines keep the weight they have on screen.
    const double k = writer.resolution() / 96.0;
    const QRect paint = writer.pageLayout().paintRectPixels(writer.resolution());
    const QRectF page(0, 0, paint.width() / k, paint.height() / k);
    painter.scale(k, k);
    painter.setRenderHint(QPainter::Antialiasing);
    StepsDrawing drawing;
    std::uint64_t done = 0;
    std::uint64_t n = range.First;
    while (ok && done < range.Count) {
      const TreeTrace::EventPosition at = numbering.At(n);
      const std::size_t run = static_cast<std::size_t>(std::min<std::uint64_t>(
          {EventsPerReplay, range.Count - done, numbering.CountOf(at.Value) - at.Event}));
      const std::vector<TreeTrace::EventStates> states =
          TreeTrace::StatesOfRun(recorder, at.Value, at.Event, run);
      for (std::size_t j = 0; ok && j < states.size(); ++j) {
        if (done > 0) writer.newPage();
        PaintPage(painter, page, drawing, recorder, {at.Value, at.Event + j}, states[j], done + 1,
                  range.Count);
        ++done;
        ++n;
        // The recorder may not be read once this says stop.
        ok = !progress || progress(done);
      }
      if (states.size() < run) ok = false;  // a value with fewer events than recorded
    }
    const bool ended = painter.end();
    if (ok && !ended) {
      ok = false;
      if (error) *error = QStringLiteral("The handout could not be written to %1.").arg(path);
    }
  }
  if (!ok) {
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    if (error) *error = QStringLiteral("The handout could not be written to %1.").arg(path);
    return false;
  }
  return true;
}

namespace {

// The scope: the selected value (the default) or the whole command.
bool AskScope(StepsWindow* steps, const TreeTrace::EventNumbering& events, std::size_t selected,
              TreeTrace::HandoutScope& scope) {
  QDialog dialog(steps);
  dialog.setObjectName(QStringLiteral("HandoutScopeDialog"));
  dialog.setWindowTitle(QStringLiteral("Save Steps as PDF"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("One page per event. Which events?")));
  auto* value = new QRadioButton(QStringLiteral("The selected value, %1 (%2 events)")
                                     .arg(selected + 1)
                                     .arg(events.CountOf(selected)));
  value->setObjectName(QStringLiteral("HandoutSelectedValue"));
  value->setChecked(true);
  auto* whole =
      new QRadioButton(QStringLiteral("The whole command (%1 events)").arg(events.Total()));
  whole->setObjectName(QStringLiteral("HandoutWholeCommand"));
  layout->addWidget(value);
  layout->addWidget(whole);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;
  scope = whole->isChecked() ? TreeTrace::HandoutScope::WholeCommand
                             : TreeTrace::HandoutScope::SelectedValue;
  return true;
}

// More than 500 pages: the first and last event to include, numbered across
// the command, the selected value's events first offered.
bool AskRange(StepsWindow* steps, const TreeTrace::HandoutPlan& plan, EventRange& range) {
  QDialog dialog(steps);
  dialog.setObjectName(QStringLiteral("HandoutRangeDialog"));
  dialog.setWindowTitle(QStringLiteral("Save Steps as PDF"));
  auto* layout = new QVBoxLayout(&dialog);
  const std::uint64_t lo = plan.Scope.First + 1, hi = plan.Scope.First + plan.Scope.Count;
  auto* text = new QLabel(
      QStringLiteral("These are %1 events, one page each. Which of them (events %2 to %3, "
                     "counted across the command) should the handout include?")
          .arg(plan.Scope.Count)
          .arg(lo)
          .arg(hi));
  text->setWordWrap(true);
  layout->addWidget(text);
  auto spin = [&](const char* name, const QString& label, std::uint64_t value) {
    auto* box = new QSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(static_cast<int>(std::min<std::uint64_t>(lo, INT32_MAX)),
                  static_cast<int>(std::min<std::uint64_t>(hi, INT32_MAX)));
    box->setValue(static_cast<int>(std::min<std::uint64_t>(value, INT32_MAX)));
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(label));
    row->addWidget(box, 1);
    layout->addLayout(row);
    return box;
  };
  const EventRange offer =
      plan.Suggested.Count > 0 ? plan.Suggested : EventRange{plan.Scope.First, 1};
  QSpinBox* first = spin("HandoutFirstEvent", QStringLiteral("First event:"), offer.First + 1);
  QSpinBox* last =
      spin("HandoutLastEvent", QStringLiteral("Last event:"), offer.First + offer.Count);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;
  range = TreeTrace::ChosenRange(plan, static_cast<std::uint64_t>(first->value()),
                                 static_cast<std::uint64_t>(last->value()));
  return range.Count > 0;
}

}  // namespace

void SaveStepsAsPdf(StepsWindow* steps) {
  // One handout at a time: a second would write while the first reads.
  static bool saving = false;
  if (saving) return;
  const TreeTrace::TraceRecorder* recorder = &steps->Recorder();
  const std::uint64_t recording = steps->Recordings();
  if (recorder->Empty() || recorder->ValueCount() == 0) return;
  const TreeTrace::EventNumbering events(*recorder);
  const std::size_t selected = steps->CurrentValue() >= 0
                                   ? static_cast<std::size_t>(steps->CurrentValue())
                                   : recorder->ValueCount() - 1;
  TreeTrace::HandoutScope scope{};
  if (!AskScope(steps, events, selected, scope)) return;
  const TreeTrace::HandoutPlan plan = TreeTrace::PlanHandout(events, scope, selected);
  EventRange range = plan.Scope;
  if (plan.AskRange && !AskRange(steps, plan, range)) return;

  QFileDialog files(steps, QStringLiteral("Save Steps as PDF"), QString(),
                    QStringLiteral("PDF (*.pdf)"));
  files.setObjectName(QStringLiteral("HandoutFileDialog"));
  files.setOption(QFileDialog::DontUseNativeDialog);
  files.setAcceptMode(QFileDialog::AcceptSave);
  files.setDefaultSuffix(QStringLiteral("pdf"));
  files.selectFile(HandoutFileName(*recorder, scope, selected));
  if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty()) return;
  const QString path = files.selectedFiles().first();

  // The main window stays out of reach while pages are made (the progress
  // window shows at once); a command already running may still end and
  // replace the recording being read, which stops the save.
  saving = true;
  QPointer<StepsWindow> window(steps);
  // On the heap and watched: it goes with the window should that close.
  QPointer<QProgressDialog> progress = new QProgressDialog(
      QStringLiteral("Saving the steps as PDF\u2026"), QStringLiteral("Cancel"), 0,
      static_cast<int>(std::min<std::uint64_t>(range.Count, INT32_MAX)), steps);
  progress->setObjectName(QStringLiteral("HandoutProgress"));
  progress->setWindowModality(Qt::ApplicationModal);
  progress->setMinimumDuration(0);
  progress->show();
  progress->setAutoClose(false);
  progress->setAutoReset(false);
  bool cancelled = false, replaced = false;
  QString error;
  const bool written = WriteStepsHandout(
      *recorder, range, path,
      [&](std::uint64_t done) {
        if (progress.isNull()) return false;
        progress->setValue(static_cast<int>(std::min<std::uint64_t>(done, INT32_MAX)));
        QApplication::processEvents();
        cancelled = progress.isNull() || progress->wasCanceled();
        replaced = window.isNull() || window->Recordings() != recording;
        return !cancelled && !replaced;
      },
      &error);
  saving = false;
  delete progress.data();
  if (!window.isNull() && written)
    steps->ShowStatus(QStringLiteral("Saved the handout, %1 %2, to %3.")
                          .arg(range.Count)
                          .arg(range.Count == 1 ? QStringLiteral("page") : QStringLiteral("pages"))
                          .arg(QDir::toNativeSeparators(path)));
  if (window.isNull() || written || cancelled) return;
  if (replaced)
    error = QStringLiteral(
        "A new command replaced the steps while the handout was being made; "
        "nothing was saved.");
  if (!error.isEmpty()) QMessageBox::critical(steps, QStringLiteral("Error"), error);
}

QPushButton* NewHandoutButton(StepsWindow* steps) {
  auto* button = new QPushButton(QStringLiteral("Save Steps as PDF\u2026"));
  button->setObjectName(QStringLiteral("SaveStepsPdf"));
  button->setFocusPolicy(Qt::TabFocus);
  button->setToolTip(
      QStringLiteral("A page per event: the trees before and after, why it fired and its rule"));
  QObject::connect(button, &QPushButton::clicked, steps, [steps] { SaveStepsAsPdf(steps); });
  return button;
}

}  // namespace TreeUi
