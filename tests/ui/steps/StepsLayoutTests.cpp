// The Balancing Steps window's panes and controls: Before and After at one
// scale with their roots at one point, the first Play step placed in the
// pane's final size, controls that stay put, and a legend for every mark.
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <cmath>
#include <set>

#include "UiTestSupport.h"
#include "compare/CompareWindow.h"
#include "pane/MarkLegend.h"
#include "pane/TreePane.h"
#include "steps/RulesPanel.h"
#include "steps/StepAnimator.h"
#include "steps/StepsHandout.h"
#include "steps/StepsWindow.h"
#include "view/DrawSurface.h"

namespace {

QString Range(int from, int to) {
  QStringList v;
  for (int i = from; i <= to; ++i) v << QString::number(i);
  return v.join(',');
}

QString Shuffled(int count, quint32 seed) {
  QRandomGenerator random(seed);
  QStringList v;
  std::set<int> used;
  while (static_cast<int>(used.size()) < count) {
    const int x = random.bounded(-999, 1000);
    if (used.insert(x).second) v << QString::number(x);
  }
  return v.join(',');
}

// Whether the whole drawing lies inside the viewport's client area.
bool Whole(TreeUi::DrawSurface* pane) {
  const auto b = pane->DrawnBounds();
  auto* viewport = pane->parentWidget();
  const QRectF drawn(pane->mapTo(viewport, pane->ToLocal(b.X0, b.Y0).toPoint()),
                     pane->mapTo(viewport, pane->ToLocal(b.X1, b.Y1).toPoint()));
  return QRectF(viewport->contentsRect()).adjusted(-1, -1, 1, 1).contains(drawn);
}

// The marks a pane carries, as the legend names them.
std::set<TreeUi::Mark> DrawnMarks(const TreeUi::DrawSurface* pane) {
  using TreeUi::Mark;
  std::set<Mark> marks;
  const auto& d = pane->Decorations();
  if (!d.Marked.empty()) marks.insert(Mark::Involved);
  for (const TreeUi::RoleRing& r : pane->RoleRings())
    marks.insert(r.Role == TreeUi::OtherDepthRole ? Mark::OtherDepth
                 : r.Role == TreeUi::SelectedRole ? Mark::Selected
                                                  : TreeUi::RoleMark(r.Role));
  for (const std::string& b : d.Badges)
    if (!b.empty()) marks.insert(Mark::Balance);
  for (const bool w : d.Warn)
    if (w) marks.insert(Mark::Unbalanced);
  for (const bool c : pane->ChangedBadges())
    if (c) marks.insert(Mark::ChangedBalance);
  return marks;
}

// Whether every mark of `panes` has its entry in `legend`.
QString Unnamed(const TreeUi::MarkLegend* legend,
                std::initializer_list<const TreeUi::DrawSurface*> panes) {
  const std::set<TreeUi::Mark> named(legend->Marks().begin(), legend->Marks().end());
  QStringList missing;
  for (const TreeUi::DrawSurface* pane : panes)
    for (const TreeUi::Mark m : DrawnMarks(pane))
      if (!named.count(m)) missing << TreeUi::MarkMeaning(m);
  return missing.join(QStringLiteral("; "));
}

class ManualClock final : public TreeUi::MotionClock {
 public:
  double Now() const override { return now_; }
  void Run(bool) override {}

 private:
  double now_ = 1000;
};

}  // namespace

class StepsLayoutTests : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir settings_;

 private slots:
  // Reduce Motion and the other remembered choices start from their defaults.
  void initTestCase() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
  }

  void beforeAndAfterShareOneScaleAndRootPoint_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("rules");
    QTest::addColumn<QSize>("size");
    // Before small enough for 100 % while After is not, after F4, and 1,000 nodes.
    QTest::newRow("1..15") << Range(1, 15) << 12 << false << QSize();
    QTest::newRow("1..40 wide") << Range(1, 40) << 39 << false << QSize();
    QTest::newRow("1..40 rules") << Range(1, 40) << 31 << true << QSize();
    QTest::newRow("1000 random") << Shuffled(1000, 7) << 999 << false << QSize();
    QTest::newRow("small window") << Range(1, 31) << 30 << false << QSize(640, 420);
  }
  void beforeAndAfterShareOneScaleAndRootPoint() {
    QFETCH(QString, list);
    QFETCH(int, value);
    QFETCH(bool, rules);
    QFETCH(QSize, size);
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    steps->show();
    if (size.isValid()) steps->resize(size);
    QVERIFY(QTest::qWaitForWindowExposed(steps));
    h.GetTree(list);
    const auto events = steps->Recorder().Step(static_cast<std::size_t>(value)).EventCount;
    steps->ShowEvent(static_cast<std::size_t>(value), events - 1);
    if (rules) steps->Rules()->Toggle()->click();
    QCoreApplication::processEvents();
    auto check = [&](const char* when) {
      TreeUi::DrawSurface* before = steps->BeforePane();
      TreeUi::DrawSurface* after = steps->Pane();
      const TreeUi::ViewTransform a = before->Transform(), b = after->Transform();
      QVERIFY2(
          qFuzzyCompare(a.ScaleX, b.ScaleX) && qFuzzyCompare(a.ScaleY, b.ScaleY),
          qPrintable(QStringLiteral("%1: %2 against %3").arg(when).arg(a.ScaleX).arg(b.ScaleX)));
      const QPointF ra = steps->BeforeTreePane()->RootPoint();
      const QPointF rb = steps->AfterTreePane()->RootPoint();
      const QPointF ca = QRectF(before->parentWidget()->contentsRect()).center();
      const QPointF cb = QRectF(after->parentWidget()->contentsRect()).center();
      QVERIFY2(((ra - ca) - (rb - cb)).manhattanLength() < 2,
               qPrintable(QStringLiteral("%1: root %2,%3 against %4,%5")
                              .arg(when)
                              .arg((ra - ca).x())
                              .arg((ra - ca).y())
                              .arg((rb - cb).x())
                              .arg((rb - cb).y())));
      QVERIFY2(Whole(before) && Whole(after), when);
    };
    check("shown");
    steps->resize(steps->width() + 200, steps->height() + 60);
    QCoreApplication::processEvents();
    check("resized");
    steps->EventBack();
    QCoreApplication::processEvents();
    check("one event back");
  }

  // The buttons stay where they are whatever the explanation holds: a value,
  // the summary, an event with a short reason and the one with the longest.
  void controlsStayPut() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    steps->show();
    QVERIFY(QTest::qWaitForWindowExposed(steps));
    h.GetTree(Range(1, 40));
    std::pair<std::size_t, std::size_t> shortest{0, 0}, longest{0, 0};
    int fewest = 1 << 30, most = 0;
    for (std::size_t i = 0; i < steps->Recorder().ValueCount(); ++i)
      for (std::size_t k = 0; k < steps->Recorder().Step(i).EventCount; ++k) {
        steps->ShowEvent(i, k);
        const int length = static_cast<int>(steps->ReasonText().size());
        if (length < fewest) fewest = length, shortest = {i, k};
        if (length > most) most = length, longest = {i, k};
      }
    QVERIFY(most > 2 * fewest);
    const char* names[] = {"First", "EventForward",     "NextBalancing",
                           "Play",  "StepsShowBalance", "SaveStepsPdf"};
    auto places = [&] {
      QList<QRect> out;
      for (const char* name : names) {
        auto* w = steps->findChild<QWidget*>(QString::fromLatin1(name));
        out << QRect(w->mapTo(steps, QPoint(0, 0)), w->size());
      }
      return out;
    };
    steps->ShowValue(3);
    QCoreApplication::processEvents();
    const QList<QRect> first = places();
    auto same = [&](const char* when) {
      QCoreApplication::processEvents();
      const QList<QRect> now = places();
      for (int n = 0; n < now.size(); ++n)
        QVERIFY2(now[n] == first[n], qPrintable(QStringLiteral("%1: %2 at y %3, was %4")
                                                    .arg(QLatin1String(when))
                                                    .arg(QLatin1String(names[n]))
                                                    .arg(now[n].y())
                                                    .arg(first[n].y())));
    };
    steps->ShowEvent(shortest.first, shortest.second);
    same("short reason");
    steps->ShowEvent(longest.first, longest.second);
    same("long reason");
    steps->ShowSummary();
    same("summary");
    steps->ShowBalanceBox()->setChecked(true);
    steps->ShowEvent(longest.first, longest.second);
    same("long reason with Show Balance");
    // The text that does not fit scrolls inside its area.
    QScrollArea* area = steps->Explanation();
    QVERIFY(area->widget()->height() >= area->viewport()->height());
  }

  // Every mark of every pane has its legend entry, and one mark means one
  // thing: the highlight ring is a node the step involves, never the summary's
  // unbalanced nodes nor the compare window's.
  void legendNamesEveryMark() {
    // The shortest 1..n whose tree keeps nodes two or more apart, for the summary.
    int n = 3;
    {
      TreeCore::TreeRec t;
      TreeCore::ResetTree(t, false);
      for (int v = 1; v <= 300; ++v) {
        TreeCore::InsertValue(t, static_cast<std::int16_t>(v));
        n = v;
        if (v > 32 && !TreeTrace::UnbalancedNodes(t).empty()) break;
      }
    }
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    h.GetTree(Range(1, n));
    QVERIFY(!TreeTrace::UnbalancedNodes(TreeCore::MainTree).empty());
    const TreeUi::MarkLegend* legend = steps->Legend();
    for (const bool balance : {false, true}) {
      steps->ShowBalanceBox()->setChecked(balance);
      steps->ShowValue(31);
      QVERIFY(DrawnMarks(steps->Pane()).count(TreeUi::Mark::Involved));
      QCOMPARE(Unnamed(legend, {steps->Pane()}), QString());
      steps->ShowValue(31);
      steps->NextBalancing();  // a rotation or fix-up: rings by role
      QVERIFY(DrawnMarks(steps->Pane()).size() > 2);
      QCOMPARE(Unnamed(legend, {steps->Pane(), steps->BeforePane()}), QString());
      steps->ShowSummary();
      QVERIFY(steps->Pane()->Decorations().Marked.empty());
      QVERIFY(DrawnMarks(steps->Pane()).count(TreeUi::Mark::Unbalanced));
      QCOMPARE(Unnamed(legend, {steps->Pane()}), QString());
    }
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_F3);
    auto* compare = h.Window->findChild<TreeUi::CompareWindow*>(QStringLiteral("CompareWindow"));
    QVERIFY(compare != nullptr);
    compare->ShowValue(6);
    compare->SelectElement(0, 1);
    auto* scheme = compare->findChild<TreeUi::DrawSurface*>(QStringLiteral("SchemeSurface"));
    auto* avl = compare->findChild<TreeUi::DrawSurface*>(QStringLiteral("AvlSurface"));
    QVERIFY(scheme->Decorations().Marked.empty() && avl->Decorations().Marked.empty());
    QVERIFY(DrawnMarks(scheme).count(TreeUi::Mark::OtherDepth));
    QCOMPARE(Unnamed(compare->findChild<TreeUi::MarkLegend*>(QStringLiteral("CompareLegend")),
                     {scheme, avl}),
             QString());
  }

  // Node 5 on 1..15 selected: nothing is written beside it over node 9 or 7;
  // the selection is a ring on 5 in both trees.
  void compareSelectionCoversNoOtherNode() {
    UiTest::Harness h;
    h.GetTree(Range(1, 15));
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_F3);
    auto* compare = h.Window->findChild<TreeUi::CompareWindow*>(QStringLiteral("CompareWindow"));
    QVERIFY(compare != nullptr);
    for (int p = 0; p < 2; ++p) {
      auto* pane = compare->findChild<TreeUi::DrawSurface*>(
          QString::fromLatin1(p == 0 ? "SchemeSurface" : "AvlSurface"));
      const auto& captions = pane->Elements().TreeNode;
      int five = -1;
      for (std::int16_t k = 0; k < captions.UpperBound(); ++k)
        if (captions.IsLoaded(k) && captions[k].Visible && captions[k].Caption == "5") five = k;
      QVERIFY(five >= 0);
      emit pane->LabelClicked(five);
      for (int q = 0; q < 2; ++q) {
        auto* shown = compare->findChild<TreeUi::DrawSurface*>(
            QString::fromLatin1(q == 0 ? "SchemeSurface" : "AvlSurface"));
        for (const std::string& badge : shown->Decorations().Badges)
          QVERIFY2(badge.empty(), badge.c_str());
        int ringed = -1;
        for (const TreeUi::RoleRing& r : shown->RoleRings())
          if (r.Role == TreeUi::SelectedRole) ringed = r.Element;
        QVERIFY(ringed >= 0);
        QCOMPARE(shown->Elements().TreeNode[static_cast<std::int16_t>(ringed)].Caption,
                 std::string("5"));
      }
    }
  }

  // Play from a whole value: the first event is placed in the After pane's
  // final size, so its move does not run at the pane's old right side.
  void firstPlayStepIsPlacedInThePanesFinalSize() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    steps->show();
    QVERIFY(QTest::qWaitForWindowExposed(steps));
    steps->Animator()->SetClock(std::make_unique<ManualClock>());
    h.GetTree(Range(1, 15));
    QCOMPARE(steps->CurrentEvent(), -1);
    auto* viewport = steps->Pane()->parentWidget();
    const int wide = viewport->width();
    steps->Animator()->Play();
    QCOMPARE(steps->CurrentEvent(), 0);
    const QRect placed = viewport->contentsRect();
    const QPointF root = steps->AfterTreePane()->RootPoint();
    QVERIFY(steps->Animator()->Animating());
    QCoreApplication::processEvents();
    steps->Animator()->Pause();
    QVERIFY(viewport->width() < wide);
    QCOMPARE(viewport->contentsRect(), placed);
    QCOMPARE(steps->Animator()->Overlay()->geometry(), placed);
    QCOMPARE(steps->AfterTreePane()->RootPoint(), root);
  }

  // The list's column is as wide as its longest row: no event is cut off.
  void eventRowsAreNotCutOff() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    steps->show();
    QVERIFY(QTest::qWaitForWindowExposed(steps));
    h.GetTree(Range(1, 40));
    QTreeWidget* list = steps->List();
    list->expandAll();
    QCoreApplication::processEvents();
    const QFontMetrics metrics(list->font());
    int rows = 0;
    for (int v = 0; v < list->topLevelItemCount(); ++v) {
      QTreeWidgetItem* value = list->topLevelItem(v);
      for (int c = 0; c < value->childCount(); ++c, ++rows) {
        QTreeWidgetItem* row = value->child(c);
        const int needed = list->indentation() * 2 + metrics.horizontalAdvance(row->text(0));
        QVERIFY2(list->columnWidth(0) >= needed, qPrintable(QStringLiteral("%1 < %2: %3")
                                                                .arg(list->columnWidth(0))
                                                                .arg(needed)
                                                                .arg(row->text(0))));
      }
    }
    QVERIFY(rows > 10);
  }

  // A handout page carries the panes' rings and the legend; the file name
  // first offered names the command, and the status line says where it went.
  void handoutHasRingsLegendNameAndConfirmation() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    h.GetTree(QStringLiteral("50,25,75,10,90,95"));  // 95 sets off RR at 75
    QImage page(1000, 700, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
      QPainter painter(&page);
      TreeUi::PaintHandoutPage(painter, QRectF(0, 0, 1000, 700), steps->Recorder(), {5, 1});
    }
    auto count = [&](QColor colour, int rows) {
      int n = 0;
      for (int y = 0; y < rows; ++y)
        for (int x = 0; x < page.width(); ++x) {
          const QColor c = page.pixelColor(x, y);
          n += std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                   std::abs(c.blue() - colour.blue()) <
               30;
        }
      return n;
    };
    // The trees take the page's top 64 % and more; the new top's ring there.
    const int trees = static_cast<int>(32 + 700 * 0.64);
    QVERIFY(count(TreeUi::MarkColoursOf().Ring, trees) > 20);
    QVERIFY(count(QColor(Qt::darkGreen), trees) > 20);
    // The legend below them shows the ring again.
    QImage below = page.copy(0, trees, 1000, 700 - trees);
    page = below;
    QVERIFY(count(TreeUi::MarkColoursOf().Ring, page.height()) > 5);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("steps.pdf"));
    QString offered;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
        offered = QFileInfo(files->selectedFiles().value(0)).fileName();
        files->selectFile(path);
      }
      dialog->accept();
    });
    answer.start(0);
    steps->findChild<QPushButton*>("SaveStepsPdf")->click();
    answer.stop();
    QCOMPARE(offered, QStringLiteral("balancing-steps-get-tree-value-6.pdf"));
    QVERIFY(QFile::exists(path));
    QCOMPARE(
        steps->StatusText(),
        QStringLiteral("Saved the handout, 2 pages, to %1.").arg(QDir::toNativeSeparators(path)));
  }

  // Erasing a node with two children: the fix-up that removes it shows it
  // parked as a leaf below its in-order neighbour, as its words say; the
  // value's own tree has it cut off.
  void aRemovalShowsTheNodeParked() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    h.GetTree(QStringLiteral("50,25,75,10,30,60,90"));
    h.Box("txtEraseNode")->setText(QStringLiteral("50"));
    h.Button("CmdEraseTree")->click();
    QCOMPARE(steps->Recorder().ValueCount(), std::size_t{1});
    const auto events = steps->Recorder().EventsOf(0);
    std::size_t fixUp = events.size();
    for (std::size_t k = 0; k < events.size(); ++k)
      if (events[k].Type == TreeTrace::EventType::FixUp && events[k].Value == 50) fixUp = k;
    QVERIFY(fixUp < events.size());
    steps->ShowEvent(0, fixUp);
    QVERIFY(steps->ReasonText().contains(QStringLiteral("parks it as a leaf")));
    const TreeCore::TreeRec& parked = steps->ShownTree();
    QCOMPARE(parked.Count, steps->BeforeTree().Count);
    const std::int32_t at = TreeCore::FindValue(parked, 50);
    QVERIFY(at >= 0);
    const TreeCore::NodeRec& node = parked.Nodes[static_cast<std::size_t>(at)];
    QVERIFY(node.LeftChild == -1 && node.RightChild == -1);
    const std::int16_t parent = parked.Nodes[static_cast<std::size_t>(node.Parent)].Data;
    QVERIFY2(parent == 30 || parent == 60, qPrintable(QString::number(parent)));
    QVERIFY(std::find(steps->MarkedNodes().begin(), steps->MarkedNodes().end(), at) !=
            steps->MarkedNodes().end());
    // Then it is gone.
    steps->ShowValue(0);
    QCOMPARE(TreeCore::FindValue(steps->ShownTree(), 50), -1);
    QCOMPARE(steps->ShownTree().Count, 6);
  }
};

QTEST_MAIN(StepsLayoutTests)
#include "StepsLayoutTests.moc"
