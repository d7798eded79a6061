// The Balancing Steps window's panes and controls: Before and After at one
// scale with their roots at one point, the first Play step placed in the
// pane's final size, controls that stay put, and a legend for every mark.
#include <QCheckBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTreeWidget>
#include <set>

#include "UiTestSupport.h"
#include "pane/TreePane.h"
#include "steps/RulesPanel.h"
#include "steps/StepAnimator.h"
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

}  // namespace

class StepsLayoutTests : public QObject {
  Q_OBJECT

 private slots:
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
};

QTEST_MAIN(StepsLayoutTests)
#include "StepsLayoutTests.moc"
