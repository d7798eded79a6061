// The window: start-up, layout, fitting the pad, scrolling, hit testing and
// what the drawing looks like.
#include <QFrame>
#include <QGroupBox>
#include <QHelpEvent>
#include <QImage>
#include <QTest>
#include <QToolTip>
#include <cmath>
#include <limits>

#include "UiTestSupport.h"

using UiTest::Harness;

namespace {

int Px(double twips) {
  return static_cast<int>(std::lround(twips / 15));
}

// Twips of the viewport's outer size, as the layout sets it.
double PadWidth(const Harness& h) {
  return h.Pad()->width() * 15.0;
}
double PadHeight(const Harness& h) {
  return h.Pad()->height() * 15.0;
}

// Viewport size the layout gives a client area (pixels): the window's outer
// size is the client plus the 120 x 400 twips frame of the design.
int ExpectedPadWidth(int clientWidth) {
  return static_cast<int>(std::nearbyint((clientWidth * 15.0 + 120 - 510) / 15));
}
int ExpectedPadHeight(int clientHeight) {
  return static_cast<int>(std::nearbyint((clientHeight * 15.0 + 400 - 3175) / 15));
}

// The smallest outer size, 7365 x 5985 twips, less the frame the platform
// reports; with no frame at all (no window manager), the design's frame of
// 120 x 400 twips. The window opens at 483 x 386 or at this size if larger.
QSize FirstClientSize(const QWidget& window) {
  const QSize frame = window.frameGeometry().size() - window.geometry().size();
  const QSize least = frame.isNull() ? QSize(483, 386) : QSize(491, 399) - frame;
  return least.expandedTo(QSize(483, 386));
}

int Lightness(const QImage& image, int x, int y) {
  return QColor(image.pixel(x, y)).lightness();
}

// The darkest pixel within `radius` of a point.
int DarkestNear(const QImage& image, QPointF at, int radius) {
  int darkest = 255;
  for (int dx = -radius; dx <= radius; ++dx)
    for (int dy = -radius; dy <= radius; ++dy) {
      const int x = static_cast<int>(std::floor(at.x())) + dx;
      const int y = static_cast<int>(std::floor(at.y())) + dy;
      if (image.rect().contains(x, y)) darkest = std::min(darkest, Lightness(image, x, y));
    }
  return darkest;
}

}  // namespace

class WindowTests : public QObject {
  Q_OBJECT

 private slots:
  void startUpState() {
    Harness h;
    QVERIFY(h.Active);
    QCOMPARE(h.Window->windowTitle(), QStringLiteral("Tree Test (Please enter just Integers)"));
    QVERIFY(!h.Window->windowIcon().isNull());
    for (const char* name :
         {"TxtGetTree", "CmdGetTree", "txtSearchNode", "cmdSearchNode", "txtEraseNode",
          "CmdEraseTree", "CmdClearTree", "VScrollDrawP", "HScrollDrawP", "PicDrawPad",
          "PicInDrawPad", "FraStNd", "lblStatusNode"})
      QVERIFY2(h.Find<QWidget>(name) != nullptr, name);
    QCOMPARE(h.Window->findChildren<QLabel*>(QStringLiteral("lblInst")).size(), 3);
    QCOMPARE(h.Window->size(), FirstClientSize(*h.Window));
    for (const char* name : {"TxtGetTree", "txtSearchNode", "txtEraseNode"})
      QVERIFY2(h.Box(name)->text().isEmpty(), name);
    QVERIFY(h.Status()->text().isEmpty());
    QVERIFY(h.Bar("HScrollDrawP")->isHidden());
    QVERIFY(h.Bar("VScrollDrawP")->isHidden());
    auto& e = h.Window->Elements();
    QVERIFY(!e.TreeNode[0].Visible);
    QVERIFY(!e.ShNode[0].Visible);
    QVERIFY(!e.LnNode[0].Visible);
    QCOMPARE(QApplication::focusWidget(), h.Box("TxtGetTree"));
    QCOMPARE(h.Window->ScrollFocusControl(), h.Box("TxtGetTree"));
    // The surface sits at the origin and covers the viewport.
    QCOMPARE(h.Surface()->Left(), 0.0);
    QCOMPARE(h.Surface()->Top(), 0.0);
    QCOMPARE(h.Surface()->Width(), PadWidth(h));
    QCOMPARE(h.Surface()->Height(), PadHeight(h));
  }

  // Design positions and sizes; the controls below the pad follow its bottom
  // edge from the first layout on.
  void designGeometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");  // lblInst element, -1 otherwise
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<bool>("follows");
    QTest::newRow("TxtGetTree") << "TxtGetTree" << -1 << 3000. << 3960. << 3015. << 345. << true;
    QTest::newRow("CmdClearTree") << "CmdClearTree" << -1 << 6000. << 5280. << 1095. << 375.
                                  << true;
    QTest::newRow("FraStNd") << "FraStNd" << -1 << 120. << 3480. << 2655. << 2175. << true;
    QTest::newRow("lblStatusNode")
        << "lblStatusNode" << -1 << 240. << 240. << 2175. << 1815. << false;
    QTest::newRow("lblInst 1") << "lblInst" << 1 << 3000. << 4920. << 1935. << 255. << true;
  }
  void designGeometry() {
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(bool, follows);
    Harness h;
    QWidget* control = nullptr;
    for (QWidget* w : h.Window->findChildren<QWidget*>(name))
      if (index < 0 || w->property("Index").toInt() == index) control = w;
    QVERIFY(control != nullptr);
    // The pad's design bottom edge is 120 + 3015 twips, reached at the design
    // client height of 386 pixels; a taller first window moves it by the growth.
    const int shift = follows ? h.Pad()->geometry().bottom() + 1 - Px(3135) : 0;
    if (follows) QCOMPARE(shift, h.Window->height() - 386);
    QCOMPARE(control->geometry(), QRect(Px(left), Px(top) + shift, Px(width), Px(height)));
  }

  void tabOrder() {
    Harness h;
    QStringList visited;
    for (int i = 0; i < 7; ++i) {
      QWidget* focus = QApplication::focusWidget();
      QVERIFY(focus != nullptr);
      visited << focus->objectName();
      QTest::keyClick(focus, Qt::Key_Tab);
    }
    QCOMPARE(visited, QStringList({"TxtGetTree", "CmdGetTree", "txtSearchNode", "cmdSearchNode",
                                   "txtEraseNode", "CmdEraseTree", "CmdClearTree"}));
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("TxtGetTree"));
  }

  void resizeLaysOut_data() {
    QTest::addColumn<int>("growWidth");
    QTest::addColumn<int>("growHeight");
    QTest::newRow("taller") << 0 << 150;
    QTest::newRow("wider") << 200 << 0;
    QTest::newRow("both") << 317 << 91;
  }
  void resizeLaysOut() {
    QFETCH(int, growWidth);
    QFETCH(int, growHeight);
    Harness h;
    const QStringList below = {"TxtGetTree",   "CmdGetTree",   "txtSearchNode", "cmdSearchNode",
                               "txtEraseNode", "CmdEraseTree", "CmdClearTree",  "FraStNd"};
    std::vector<QPoint> before;
    for (const QString& name : below) before.push_back(h.Window->findChild<QWidget*>(name)->pos());
    const QPoint statusBefore = h.Status()->pos();
    const QSize padBefore = h.Pad()->size();

    h.Window->resize(h.Window->width() + growWidth, h.Window->height() + growHeight);
    QCOMPARE(h.Pad()->size(),
             QSize(ExpectedPadWidth(h.Window->width()), ExpectedPadHeight(h.Window->height())));
    const int grown = h.Pad()->height() - padBefore.height();
    QCOMPARE(h.Pad()->width() - padBefore.width(), growWidth);
    for (qsizetype i = 0; i < below.size(); ++i)
      QCOMPARE(h.Window->findChild<QWidget*>(below[i])->pos(),
               before[static_cast<std::size_t>(i)] + QPoint(0, grown));
    QCOMPARE(h.Status()->pos(), statusBefore);  // inside the frame: stays
    QCOMPARE(h.Pad()->pos(), QPoint(8, 8));

    const QRect pad = h.Pad()->geometry();
    QCOMPARE(h.Bar("HScrollDrawP")->geometry(),
             QRect(pad.left(), pad.bottom() + 1, pad.width(), 17));
    QCOMPARE(h.Bar("VScrollDrawP")->geometry(),
             QRect(pad.right() + 1, pad.top(), 17, pad.height()));
    QVERIFY(h.Bar("HScrollDrawP")->isHidden());
    QVERIFY(h.Bar("VScrollDrawP")->isHidden());
    QCOMPARE(h.Surface()->Width(), PadWidth(h));
    QCOMPARE(h.Surface()->Height(), PadHeight(h));
  }

  void smallestSize() {
    Harness h;
    h.Window->resize(100, 100);
    QCOMPARE(h.Window->size(), FirstClientSize(*h.Window));
    QVERIFY(h.Pad()->height() > 0);
  }

  // A drawing exactly as wide (high) as the viewport needs no bar; one twip
  // more does, and the range covers the twip plus the border allowance.
  void fitsDrawingToViewport_data() {
    QTest::addColumn<bool>("horizontal");
    QTest::newRow("width") << true;
    QTest::newRow("height") << false;
  }
  void fitsDrawingToViewport() {
    QFETCH(bool, horizontal);
    Harness h;
    QScrollBar* bar = h.Bar(horizontal ? "HScrollDrawP" : "VScrollDrawP");
    QScrollBar* other = h.Bar(horizontal ? "VScrollDrawP" : "HScrollDrawP");
    float& extent = horizontal ? TreeCore::DrawingWidth : TreeCore::DrawingHeight;
    const double viewport = horizontal ? PadWidth(h) : PadHeight(h);
    auto surfaceSize = [&] { return horizontal ? h.Surface()->Width() : h.Surface()->Height(); };
    const auto* frame = qobject_cast<QFrame*>(h.Pad());
    const int allowance = 2 * frame->frameWidth() * 15;
    QVERIFY(allowance > 0);

    extent = static_cast<float>(viewport);
    h.Window->CheckMaxWH();
    QVERIFY(bar->isHidden());
    QCOMPARE(surfaceSize(), viewport);

    extent = static_cast<float>(viewport + 1);
    h.Window->CheckMaxWH();
    QVERIFY(!bar->isHidden());
    QVERIFY(other->isHidden());
    QCOMPARE(bar->maximum(), 1 + allowance);
    QCOMPARE(bar->pageStep(), static_cast<int>(viewport));
    QCOMPARE(bar->singleStep(), 100);
    QCOMPARE(surfaceSize(), viewport + 1 + allowance);

    // The allowance is added once, however often the pad is fitted.
    h.Window->CheckMaxWH();
    h.Window->CheckMaxWH();
    QCOMPARE(bar->maximum(), 1 + allowance);
    QCOMPARE(extent, static_cast<float>(viewport + 1));
  }

  void scrollMovesSurfaceAndFocus() {
    Harness h;
    TreeCore::DrawingWidth = static_cast<float>(3 * PadWidth(h));
    TreeCore::DrawingHeight = static_cast<float>(3 * PadHeight(h));
    h.Window->CheckMaxWH();
    QScrollBar* hBar = h.Bar("HScrollDrawP");
    QScrollBar* vBar = h.Bar("VScrollDrawP");

    h.Box("txtEraseNode")->setFocus();
    hBar->setValue(500);
    QCOMPARE(h.Surface()->Left(), -500.0);
    QCOMPARE(QApplication::focusWidget(), h.Box("TxtGetTree"));

    h.Box("txtSearchNode")->setFocus();
    vBar->setValue(700);
    QCOMPARE(h.Surface()->Top(), -700.0);
    QCOMPARE(QApplication::focusWidget(), h.Box("TxtGetTree"));

    hBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(h.Surface()->Left(), -600.0);
    hBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(h.Surface()->Left(), -600.0 - PadWidth(h));
    hBar->setValue(hBar->maximum());
    QCOMPARE(h.Surface()->Left() + h.Surface()->Width(), PadWidth(h));

    // After a resize the view returns to the top-left corner.
    h.Window->resize(h.Window->width() + 30, h.Window->height() + 30);
    QCOMPARE(h.Surface()->Left(), 0.0);
    QCOMPARE(h.Surface()->Top(), 0.0);
    QCOMPARE(hBar->value(), 0);
    QCOMPARE(vBar->value(), 0);
    QVERIFY(!hBar->isHidden());
  }

  // Extents beyond any int and beyond float: the whole drawing stays
  // reachable, and nothing ends the program.
  void extremeExtents_data() {
    QTest::addColumn<float>("extent");
    QTest::newRow("five billion twips") << 5e9f;
    QTest::newRow("largest float") << std::numeric_limits<float>::max();
    QTest::newRow("infinite") << std::numeric_limits<float>::infinity();
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN();
  }
  void extremeExtents() {
    QFETCH(float, extent);
    Harness h;
    TreeCore::DrawingWidth = extent;
    TreeCore::DrawingHeight = extent;
    h.Window->CheckMaxWH();
    QScrollBar* hBar = h.Bar("HScrollDrawP");
    QVERIFY(hBar->maximum() >= 0);
    QVERIFY(hBar->maximum() <= TreeUi::ScrollScale::MaxPositions);
    if (std::isnan(extent)) {
      QVERIFY(hBar->isHidden());
      QCOMPARE(h.Surface()->Width(), PadWidth(h));
    } else {
      hBar->setValue(hBar->maximum());
      if (std::isfinite(extent)) QCOMPARE(-h.Surface()->Left(), h.Surface()->Width() - PadWidth(h));
      QVERIFY(h.Surface()->Left() < 0);
      QVERIFY(std::isfinite(h.Surface()->Left()));
    }
    // The surface widget never outgrows the viewport's client area.
    const QRect client = h.Pad()->contentsRect();
    QVERIFY(h.Surface()->width() <= client.width() && h.Surface()->height() <= client.height());
    QVERIFY(h.Surface()->geometry().isEmpty() || client.contains(h.Surface()->geometry()));
    QVERIFY(!h.Pad()->grab().isNull());
    h.Window->resize(h.Window->width() + 10, h.Window->height() + 10);
    QCOMPARE(h.Surface()->Left(), 0.0);
  }

  // A maximised window on a tall screen: a page is more than 32767 twips.
  void pageDownWithTallViewport() {
    Harness h;
    h.Window->resize(800, 2600);
    QVERIFY(PadHeight(h) > 32767);
    TreeCore::DrawingHeight = static_cast<float>(3 * PadHeight(h));
    h.Window->CheckMaxWH();
    const std::int16_t pageDown = 34;
    h.Window->CheckKeyCode(pageDown);
    QCOMPARE(h.Surface()->Top(), -PadHeight(h));
    QCOMPARE(h.Bar("VScrollDrawP")->value(), static_cast<int>(PadHeight(h)));
  }

  void hitTesting() {
    Harness h;
    h.GetTree(QStringLiteral("50,25,75,10,30,60,90"));
    QVERIFY(h.Sink.Messages.empty());
    auto& labels = h.Window->Elements().TreeNode;
    QCOMPARE(TreeCore::DrawnElementCount, std::int16_t{7});
    for (std::int16_t k = 0; k < 7; ++k) {
      const QPointF centre = h.LabelCentre(k);
      QCOMPARE(h.Surface()->LabelAt(centre), int{k});
      const QString tip = h.Surface()->ToolTipAt(centre);
      QVERIFY(tip.startsWith(QStringLiteral("Node(")));
      QCOMPARE(tip, TreeUi::DisplayText(labels[k].ToolTipText));
      QCOMPARE(tip.count(QLatin1Char('\n')), 8);
    }
    // Inside the root's circle but above its label: circles take no clicks.
    const auto& root = h.Window->Elements().ShNode[0];
    QCOMPARE(h.Surface()->LabelAt(h.Surface()->ToLocal(root.Left + root.Width / 2, root.Top + 30)),
             -1);
    QCOMPARE(h.Surface()->LabelAt(QPointF(h.Surface()->width() - 2, h.Surface()->height() - 2)),
             -1);
    QVERIFY(h.Surface()->ToolTipAt(QPointF(h.Surface()->width() - 2, 2)).isEmpty());
  }

  void hitTestingWhenScrolled() {
    Harness h;
    QStringList values;
    for (int i = 1; i <= 63; ++i) values << QString::number(i);
    h.GetTree(values.join(QLatin1Char(',')));
    QScrollBar* hBar = h.Bar("HScrollDrawP");
    QScrollBar* vBar = h.Bar("VScrollDrawP");
    QVERIFY(!hBar->isHidden());
    QVERIFY(!vBar->isHidden());
    hBar->setValue(hBar->maximum());
    vBar->setValue(vBar->maximum());
    // The rightmost label (deepest row of a sorted list) is now in view, where the surface's offset
    // puts it.
    auto& labels = h.Window->Elements().TreeNode;
    std::int16_t rightmost = 0;
    for (std::int16_t k = 0; k < TreeCore::DrawnElementCount; ++k)
      if (labels[k].Left > labels[rightmost].Left) rightmost = k;
    const QPointF centre = h.LabelCentre(rightmost);
    QVERIFY(QRectF(h.Surface()->rect()).contains(centre));
    QCOMPARE(h.Surface()->LabelAt(centre), int{rightmost});
    QCOMPARE(QString::fromStdString(labels[rightmost].Caption), QStringLiteral("63"));
  }

  void tooltipOnHover() {
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    const QPoint at = h.LabelCentre(2).toPoint();
    QHelpEvent help(QEvent::ToolTip, at, h.Surface()->mapToGlobal(at));
    QApplication::sendEvent(h.Surface(), &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), TreeUi::DisplayText(h.Window->Elements().TreeNode[2].ToolTipText));
    QVERIFY(QToolTip::text().contains(QStringLiteral("Parent (0): 5")));
    QToolTip::hideText();
  }

  // Not a golden image: the circles' outlines, their fill, the lines and the
  // background are painted where the geometry says.
  void screenshotOfDrawnTree() {
    Harness h;
    h.GetTree(QStringLiteral("50,25,75,10,30,60,90"));
    const QImage image = h.Surface()->grab().toImage();
    QVERIFY(!image.isNull());
    const auto& shapes = h.Window->Elements().ShNode;
    const auto& lines = h.Window->Elements().LnNode;
    for (std::int16_t k = 0; k < TreeCore::DrawnElementCount; ++k) {
      const TreeCore::Shape& s = shapes[k];
      const QPointF centre = h.Surface()->ToLocal(s.Left + s.Width / 2, s.Top + s.Height / 2);
      const double radius = s.Width / 2 / 15;
      // Outline: left and right ends of the horizontal diameter.
      QVERIFY2(DarkestNear(image, centre - QPointF(radius - 1, 0), 1) < 140,
               qPrintable(QString("circle %1 left edge").arg(k)));
      QVERIFY2(DarkestNear(image, centre + QPointF(radius - 1, 0), 1) < 140,
               qPrintable(QString("circle %1 right edge").arg(k)));
      // Fill: near the top inside, above the caption; not the white background.
      const QColor fill(image.pixel((centre + QPointF(0, -radius + 5)).toPoint()));
      QVERIFY2(fill.blue() < 245 && fill.lightness() > 200,
               qPrintable(QString("circle %1 fill").arg(k)));
      // Caption pixels inside the label.
      QVERIFY2(DarkestNear(image, h.LabelCentre(k), 3) < 100,
               qPrintable(QString("label %1 caption").arg(k)));
      if (k == 0) continue;
      const TreeCore::Line& l = lines[k];
      const QPointF middle = h.Surface()->ToLocal((l.X1 + l.X2) / 2, (l.Y1 + l.Y2) / 2);
      QVERIFY2(DarkestNear(image, middle, 1) < 200, qPrintable(QString("line %1").arg(k)));
    }
    // Between the rows, away from every line: background.
    const QPointF empty = h.Surface()->ToLocal(shapes[0].Left + 187, 3 * 375 + 300);
    QCOMPARE(QColor(image.pixel(empty.toPoint())), QColor(Qt::white));
    QCOMPARE(QColor(image.pixel(image.width() - 3, image.height() - 3)), QColor(Qt::white));
  }
};

QTEST_MAIN(WindowTests)
#include "WindowTests.moc"
