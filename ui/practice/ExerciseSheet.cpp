#include "practice/ExerciseSheet.h"

#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

#include "PictureExtent.h"
#include "ReadyLists.h"
#include "StepsDrawing.h"
#include "TraceCommands.h"
#include "TraceText.h"
#include "pictures/PictureRender.h"

namespace TreeUi {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

struct Worked {
  TreeCore::TreeRec Start, End;
  std::vector<QString> Key;
};

// Runs the exercise as the practice does and says every asked event.
Worked Work(const Practice::Exercise& ex) {
  Worked w;
  TreeTrace::Engine engine;
  TreeTrace::TraceRecorder recorder;
  TreeTrace::RunGetTree(engine, w.Start, TreeCommands::ListText(ex.Start), nullptr);
  std::vector<std::int16_t> all = ex.Start;
  all.insert(all.end(), ex.Inserts.begin(), ex.Inserts.end());
  TreeCore::TreeRec tree;
  const auto say = [&](std::size_t from) {
    for (std::size_t i = from; i < recorder.ValueCount(); ++i) {
      QString line = Q(TreeTrace::DescribeValue(recorder.Kind(), recorder.Step(i)));
      for (const TreeTrace::StepEvent& e : recorder.EventsOf(i)) {
        if (e.Type == TreeTrace::EventType::Insert || e.Type == TreeTrace::EventType::Erase)
          continue;  // the value's own line says it
        line += QStringLiteral("; ") + Q(TreeTrace::DescribeEvent(e));
      }
      w.Key.push_back(line + QStringLiteral("; nothing more fires."));
    }
  };
  TreeTrace::RunGetTree(engine, tree, TreeCommands::ListText(all), &recorder);
  say(ex.Start.size());
  if (!ex.Erases.empty()) {
    const std::string stop =
        TreeTrace::RunErase(engine, tree, TreeCommands::ListText(ex.Erases), &recorder);
    say(0);
    if (!stop.empty())
      w.Key.push_back(
          QStringLiteral("Erase %1: %2").arg(ex.Erases[recorder.ValueCount()]).arg(Q(stop)));
  }
  w.End = tree;
  return w;
}

// One tree, compact and fitted into `box`, centred; never larger than the
// pad's 150 %.
void PaintTree(QPainter& painter, StepsDrawing& drawing, const TreeCore::TreeRec& tree,
               const QRectF& box) {
  TreeCore::ElementArrays elements;
  const bool any = !drawing.Draw(tree, elements, TreeCore::TreeLayout::Compact).empty();
  const TreeCore::Extent e = TreeCore::VisibleExtent(elements);
  if (!any || e.Empty) {
    painter.drawText(box, Qt::AlignCenter, QStringLiteral("(empty tree)"));
    return;
  }
  const double margin = 2 * TreeCore::PictureMargin;
  constexpr double Largest = 1.5 / TreeCore::PictureTwipsPerPixel;
  const double fit =
      std::min({(box.width() - margin) / e.Width(), (box.height() - margin) / e.Height(), Largest});
  painter.save();
  painter.translate(box.left() + std::max(0.0, (box.width() - margin - e.Width() * fit) / 2),
                    box.top() + std::max(0.0, (box.height() - margin - e.Height() * fit) / 2));
  PaintOptions options;
  options.FitCaptions = true;
  options.FillBackground = false;
  PaintPicture(painter, elements, {fit, fit}, options);
  painter.restore();
}

void Heading(QPainter& painter, const QRectF& page, const QString& text) {
  QFont title = painter.font();
  title.setPixelSize(18);
  title.setBold(true);
  painter.save();
  painter.setFont(title);
  painter.drawText(QRectF(page.left(), page.top(), page.width(), 26),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
  painter.restore();
}

QString Values(const std::vector<std::int16_t>& values) {
  return Q(TreeCommands::ListText(values));
}

void ExercisePage(QPainter& painter, const QRectF& page, StepsDrawing& drawing,
                  const Practice::Exercise& ex, const Worked& w, int number) {
  Heading(painter, page,
          QStringLiteral("Exercise %1 \u00b7 seed %2 \u00b7 difficulty %3")
              .arg(number)
              .arg(ex.Seed)
              .arg(ex.Difficulty));
  double y = page.top() + 34;
  painter.drawText(QRectF(page.left(), y, page.width(), 20), Qt::AlignLeft,
                   QStringLiteral("The starting tree:"));
  y += 22;
  const double treeHeight = page.height() * 0.3;
  PaintTree(painter, drawing, w.Start, QRectF(page.left(), y, page.width(), treeHeight));
  y += treeHeight + 10;
  QString task = QStringLiteral("Insert, one at a time: %1").arg(Values(ex.Inserts));
  if (!ex.Erases.empty())
    task += QStringLiteral("\nThen erase, one at a time: %1").arg(Values(ex.Erases));
  task += QStringLiteral(
      "\nFor each value write every event (insert, RR, RL, LL, LR, right or left fix-up, erase) "
      "with its node, until nothing more fires, and draw the tree after it.");
  const QRectF taskBox(page.left(), y, page.width(), 80);
  painter.drawText(taskBox, Qt::TextWordWrap, task);
  y += 86;
  painter.save();
  painter.setPen(QColor(0xc0, 0xc0, 0xc0));
  painter.drawRect(QRectF(page.left(), y, page.width(), page.bottom() - y));
  painter.restore();
}

void KeyPage(QPainter& painter, const QRectF& page, StepsDrawing& drawing,
             const Practice::Exercise& ex, const Worked& w, int number) {
  Heading(painter, page,
          QStringLiteral("Key to exercise %1 \u00b7 seed %2").arg(number).arg(ex.Seed));
  QFont small = painter.font();
  small.setPixelSize(12);
  painter.save();
  painter.setFont(small);
  double y = page.top() + 34;
  const double textBottom = page.top() + page.height() * 0.5;
  for (const QString& line : w.Key) {
    const QRectF need =
        painter.boundingRect(QRectF(page.left(), y, page.width(), 1000), Qt::TextWordWrap, line);
    if (y + need.height() > textBottom) break;
    painter.drawText(QRectF(page.left(), y, page.width(), need.height()), Qt::TextWordWrap, line);
    y += need.height() + 4;
  }
  painter.restore();
  painter.drawText(QRectF(page.left(), textBottom + 6, page.width(), 20), Qt::AlignLeft,
                   QStringLiteral("The final tree:"));
  PaintTree(painter, drawing, w.End,
            QRectF(page.left(), textBottom + 28, page.width(), page.bottom() - textBottom - 28));
}

}  // namespace

std::vector<QString> ExerciseKeyLines(const Practice::Exercise& exercise) {
  return Work(exercise).Key;
}

bool WriteExerciseSheet(const std::vector<Practice::Exercise>& exercises, const QString& path,
                        QString* error) {
  const auto fail = [&] {
    if (error) *error = QStringLiteral("The exercise sheet could not be written to %1.").arg(path);
    return false;
  };
  QSaveFile file(path);
  if (exercises.empty() || !file.open(QIODevice::WriteOnly)) return fail();
  std::vector<Worked> worked;
  for (const Practice::Exercise& ex : exercises) worked.push_back(Work(ex));
  {
    QPdfWriter writer(&file);
    writer.setTitle(QStringLiteral("Exercises"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&writer)) return fail();
    // Screen pixels (96 to the inch) scaled to the writer's, as the handout does.
    const double k = writer.resolution() / 96.0;
    const QRect paint = writer.pageLayout().paintRectPixels(writer.resolution());
    const QRectF page(0, 0, paint.width() / k, paint.height() / k);
    painter.scale(k, k);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    StepsDrawing drawing;
    for (std::size_t i = 0; i < exercises.size(); ++i) {
      if (i > 0) writer.newPage();
      ExercisePage(painter, page, drawing, exercises[i], worked[i], static_cast<int>(i) + 1);
    }
    for (std::size_t i = 0; i < exercises.size(); ++i) {
      writer.newPage();
      KeyPage(painter, page, drawing, exercises[i], worked[i], static_cast<int>(i) + 1);
    }
    if (!painter.end()) {
      file.cancelWriting();
      return fail();
    }
  }
  if (!file.commit()) return fail();
  return true;
}

}  // namespace TreeUi
