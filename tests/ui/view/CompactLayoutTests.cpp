// "Compact Layout" where it is used: the pad (off at first, Ctrl+L,
// remembered), the steps pane (on at first) and Print (compact, landscape).
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include "UiTestSupport.h"
#include "pictures/PictureActions.h"
#include "steps/StepsWindow.h"
#include "view/LayoutAction.h"
#include "view/PadView.h"
#include "view/ViewSettings.h"

namespace {

using UiTest::Harness;
using UiTest::ShownCaptions;

const QString Random31 = QStringLiteral(
    "-974,-38,-769,565,-195,-711,401,-911,-715,947,97,-525,458,552,-714,-698,517,-932,357,-875,"
    "-720,-526,98,500,-83,78,-155,-580,215,-809,-758");

}  // namespace

class CompactLayoutTests : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    TreeUi::ViewSettings::UseFile(dir_.filePath(QStringLiteral("view.ini")));
  }
  void cleanupTestCase() { TreeUi::ViewSettings::UseFile(QString()); }

  void padTogglesWithCtrlLAndRemembersIt() {
    qint64 slotsWidth = 0;
    {
      Harness h;
      QAction* compact = h.Window->Layout()->Action();
      QVERIFY(!compact->isChecked());
      h.GetTree(Random31);
      slotsWidth = static_cast<qint64>(TreeCore::DrawingWidth);
      const std::vector<std::string> captions = ShownCaptions(*h.Window);
      QTest::keyClick(h.Box("txtSearchNode"), Qt::Key_L, Qt::ControlModifier);
      QVERIFY(compact->isChecked());
      QVERIFY(h.Surface()->FitCaptions());
      QVERIFY(TreeCore::DrawingWidth * 2 < slotsWidth);
      QCOMPARE(ShownCaptions(*h.Window), captions);
      // A click still describes its node.
      QTest::mouseClick(h.Surface(), Qt::LeftButton, {}, h.LabelCentre(0).toPoint());
      QVERIFY(h.Status()->text().startsWith(QStringLiteral("Node(")));
    }
    Harness again;
    QVERIFY(again.Window->Layout()->Action()->isChecked());
    again.Window->Layout()->Action()->trigger();
    again.GetTree(Random31);
    QCOMPARE(static_cast<qint64>(TreeCore::DrawingWidth), slotsWidth);
  }

  void stepsPaneStartsCompactWithItsOwnToggle() {
    Harness h;
    h.GetTree(Random31);
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    QVERIFY(steps->Layout()->Action()->isChecked());
    QVERIFY(!h.Window->Layout()->Action()->isChecked());
    const double compact = steps->Pane()->DrawnBounds().Width();
    steps->Layout()->Action()->trigger();
    QVERIFY(steps->Pane()->DrawnBounds().Width() > 2 * compact);
    QVERIFY(!h.Window->Layout()->Action()->isChecked());
  }

  void printIsCompactAndLandscapeForAWideTree() {
    Harness h;
    h.GetTree(Random31);
    auto* pictures = h.Window->findChild<TreeUi::PictureActions*>(QStringLiteral("PictureActions"));
    pictures->PrintAction()->trigger();
    QCOMPARE(pictures->PrintedLayout(), TreeCore::TreeLayout::Compact);
    const TreeCore::Extent e = TreeCore::VisibleExtent(pictures->Printed());
    QVERIFY(e.Width() < TreeCore::DrawingWidth / 2);
    QCOMPARE(pictures->Preview()->printer()->pageLayout().orientation(), QPageLayout::Landscape);
    pictures->Preview()->close();
    pictures->CopyWhole(TreeCore::TreeLayout::Compact);
    const int compactWidth = QApplication::clipboard()->image().width();
    pictures->CopyWhole(TreeCore::TreeLayout::Slots);
    QVERIFY(compactWidth > 0 && compactWidth * 2 < QApplication::clipboard()->image().width());
  }

  // With Show Balance on, the compact rows leave a badge's room between
  // neighbouring circles, on the pad and in the steps pane; off, as before.
  void badgesGetRoomBetweenCircles() {
    Harness h;
    h.Window->Layout()->Action()->setChecked(true);
    h.GetTree(Random31);
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    auto closest = [](const TreeCore::ElementArrays& e) {
      double least = 1e9;
      for (std::int16_t a = 0; a < e.ShNode.UpperBound(); ++a)
        for (std::int16_t b = 0; b < e.ShNode.UpperBound(); ++b)
          if (a != b && e.ShNode.IsLoaded(a) && e.ShNode.IsLoaded(b) && e.ShNode[a].Visible &&
              e.ShNode[b].Visible && e.ShNode[a].Top == e.ShNode[b].Top &&
              e.ShNode[a].Left <= e.ShNode[b].Left)
            least =
                std::min(least, double{e.ShNode[b].Left - e.ShNode[a].Left - e.ShNode[a].Width});
      return least;
    };
    QVERIFY(closest(h.Surface()->Elements()) < TreeCore::BadgeGap);
    h.Window->findChild<QAction*>(QStringLiteral("ShowBalanceAction"))->trigger();
    steps->ShowBalanceBox()->setChecked(true);
    QVERIFY(!h.Surface()->Decorations().Badges.empty());
    QVERIFY(closest(h.Surface()->Elements()) >= TreeCore::BadgeGap);
    QVERIFY(closest(steps->Elements()) >= TreeCore::BadgeGap);
    steps->ShowBalanceBox()->setChecked(false);
    QVERIFY(closest(steps->Elements()) < TreeCore::BadgeGap);
  }

  // 127 values on A4: a hundred-odd nodes cannot keep 8-pixel captions on one
  // page, so the print goes on as few pages as keep them, each page its part.
  void printOf127ValuesOnA4KeepsCaptionsLegible() {
    Harness h;
    QStringList list;
    for (int v = 1; v <= 127; ++v) list << QString::number(v);
    h.GetTree(list.join(','));
    auto* pictures = h.Window->findChild<TreeUi::PictureActions*>(QStringLiteral("PictureActions"));
    pictures->PrintAction()->trigger();
    QPrinter* printer = pictures->Preview()->printer();
    QCOMPARE(printer->pageLayout().orientation(), QPageLayout::Landscape);
    const TreeCore::PagePlan plan = pictures->PlanFor(*printer);
    QCOMPARE(plan.Pages(), 2);
    QVERIFY(plan.Scale >= TreeCore::LegibleScale(pictures->Printed(), 11));
    QVERIFY(plan.Scale * TreeCore::PictureTwipsPerPixel * 11 >= TreeCore::LegibleCaptionPixels);
    pictures->Preview()->close();

    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setOutputFileName(dir_.filePath(QStringLiteral("print.pdf")));
    pictures->PaintPage(&pdf);
    QFile file(pdf.outputFileName());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count("/Type /Page\n"), 2);
  }

  // From the fit of a wide tree, whose rows are spread, zooming in never
  // brings the rows closer together.
  void rowsNeverCloseUpWhenZoomingIn() {
    Harness h;
    QStringList list;
    for (int v = 1; v <= 1000; ++v) list << QString::number(v);
    h.GetTree(list.join(','));
    h.Window->View()->FitWhole();
    double rows = h.Surface()->ZoomY();
    QVERIFY(rows > h.Surface()->ZoomX());
    for (int step = 0; step < 12; ++step, rows = h.Surface()->ZoomY()) {
      h.Window->View()->ZoomIn();
      QVERIFY2(h.Surface()->ZoomY() >= rows * (1 - 1e-9), qPrintable(QString::number(step)));
    }
  }
};

QTEST_MAIN(CompactLayoutTests)
#include "CompactLayoutTests.moc"
