// Seeing the whole tree: zoom shortcuts, wheel, pinch and drag, fitting, the
// found node, the pad's menu and hint, painting detail, a second pane, and
// states that must not end the program.
#include <QAction>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QPointingDevice>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>

#include "view/ElementPainter.h"
#include "NodeElement.h"
#include "view/PadView.h"
#include "UiTestSupport.h"
#include "view/ViewSettings.h"

using TreeUi::DesignScale;
using TreeUi::PadView;
using UiTest::Harness;

namespace {

QString List(int count, unsigned seed = 0) {  // 1..count, shuffled unless seed 0
  std::vector<int> v(static_cast<std::size_t>(count));
  std::iota(v.begin(), v.end(), 1);
  if (seed != 0) std::shuffle(v.begin(), v.end(), std::mt19937(seed));
  QStringList values;
  for (int x : v) values << QString::number(x);
  return values.join(QLatin1Char(','));
}

PadView& View(const Harness& h) {
  return *h.Window->View();
}

// The viewport's client area, in pixels of the surface widget.
QRectF Client(const QWidget* surface) {
  return QRectF(surface->parentWidget()->contentsRect()).translated(-QPointF(surface->pos()));
}
QRectF Client(const Harness& h) {
  return Client(h.Surface());
}

// Where the drawn elements lie, in pixels of the surface widget.
QRectF DrawnRect(const TreeUi::DrawSurface* s) {
  const TreeUi::Extent b = s->DrawnBounds();
  return QRectF(s->ToLocal(b.X0, b.Y0), s->ToLocal(b.X1, b.Y1));
}
QRectF DrawnRect(const Harness& h) {
  return DrawnRect(h.Surface());
}

QPointF CircleCentre(const Harness& h, int k) {
  const TreeCore::Shape& s = h.Window->Elements().ShNode[static_cast<std::int16_t>(k)];
  return h.Surface()->ToLocal(s.Left + s.Width / 2, s.Top + s.Height / 2);
}

bool Near(QPointF a, QPointF b) {
  return std::abs(a.x() - b.x()) <= 1 && std::abs(a.y() - b.y()) <= 1;
}

void Wheel(QWidget* w, QPointF at, QPoint angle, Qt::KeyboardModifiers modifiers = {}) {
  QWheelEvent e(at, w->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers, Qt::NoScrollPhase,
                false);
  QApplication::sendEvent(w, &e);
}

QAction* Action(const Harness& h, const char* name) {
  return h.Window->findChild<QAction*>(QString::fromLatin1(name));
}

// A point of the pad with no label under it.
QPointF EmptyPoint(const Harness& h) {
  const QRectF c = Client(h).adjusted(5, 5, -5, -5);
  for (double y = c.top(); y < c.bottom(); y += 3)
    for (double x = c.left(); x < c.right(); x += 7)
      if (h.Surface()->LabelAt(QPointF(x, y)) < 0) return QPointF(x, y);
  return c.center();
}

// Any view: a finite transform, the surface widget inside the client area,
// bars within their ranges, a paint.
void CheckSane(const Harness& h) {
  const TreeUi::ViewTransform t = h.Surface()->Transform();
  QVERIFY(std::isfinite(t.ScaleX) && t.ScaleX > 0 && std::isfinite(t.ScaleY) && t.ScaleY > 0);
  QVERIFY(std::isfinite(t.OffsetX) && std::isfinite(t.OffsetY));
  QVERIFY(h.Surface()->geometry().isEmpty() ||
          h.Pad()->contentsRect().contains(h.Surface()->geometry()));
  for (const char* name : {"HScrollDrawP", "VScrollDrawP"})
    QVERIFY(h.Bar(name)->value() >= 0 && h.Bar(name)->value() <= h.Bar(name)->maximum());
  QVERIFY(!h.Pad()->grab().isNull());
}

// Orange ring pixels on a circle of `radius` around `centre`.
int RingPixels(const QImage& image, QPointF centre, double radius) {
  int found = 0;
  for (int a = 0; a < 360; a += 10) {
    const QPoint p =
        (centre + radius * QPointF(std::cos(a * M_PI / 180), std::sin(a * M_PI / 180))).toPoint();
    const QColor c = image.rect().contains(p) ? QColor(image.pixel(p)) : QColor();
    if (c.red() > 200 && c.green() > 80 && c.green() < 170 && c.blue() < 80) ++found;
  }
  return found;
}

}  // namespace

class ViewTests : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(dir_.isValid());
    TreeUi::ViewSettings::UseFile(dir_.filePath(QStringLiteral("view.ini")));
  }
  void init() { QFile::remove(dir_.filePath(QStringLiteral("view.ini"))); }
  void cleanupTestCase() { TreeUi::ViewSettings::UseFile(QString()); }

  void shortcutsWorkFromAnyControl_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<double>("scale");  // relative to 100 %, after 3 steps in; 0: the fit
    for (const char* focus : {"TxtGetTree", "txtSearchNode", "CmdClearTree"}) {
      const std::pair<const char*, std::pair<int, double>> rows[] = {
          {"Ctrl+0", {Qt::Key_0, 0}},
          {"Ctrl+=", {Qt::Key_Equal, std::pow(1.25, 4)}},
          {"Ctrl++", {Qt::Key_Plus, std::pow(1.25, 4)}},
          {"Ctrl+-", {Qt::Key_Minus, 1.5625}},
          {"Ctrl+1", {Qt::Key_1, 1}},
          {"Ctrl+R", {Qt::Key_R, std::pow(1.25, 3)}}};
      for (const auto& [name, row] : rows)
        QTest::newRow((QByteArray(focus) + " " + name).constData())
            << QString(focus) << row.first << row.second;
    }
  }
  void shortcutsWorkFromAnyControl() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(double, scale);
    Harness h;
    h.GetTree(List(200));
    View(h).ZoomAt(3, EmptyPoint(h));
    QWidget* control = h.Find<QWidget>(focus.toLatin1().constData());
    control->setFocus();
    const QString typed = h.Box("TxtGetTree")->text();
    QTest::keyClick(control, Qt::Key(key), Qt::ControlModifier);
    // No character reached a text box.
    QCOMPARE(h.Box("TxtGetTree")->text(), typed);
    QVERIFY(h.Box("txtSearchNode")->text().isEmpty());
    if (scale == 0)
      QVERIFY(View(h).IsFitted() && View(h).Scale() < DesignScale);
    else
      QCOMPARE(View(h).Scale() / DesignScale, scale);
    if (key == Qt::Key_R) QVERIFY(std::abs(CircleCentre(h, 0).x() - Client(h).center().x()) <= 1);
  }

  void menuHoldsTheViewActions() {
    Harness h;
    QStringList texts;
    for (QAction* a : h.Window->PadMenu()->actions())
      if (!a->isSeparator()) texts << a->text() + " " + a->shortcut().toString();
    // The view's section opens the menu; other features add theirs below it.
    QCOMPARE(texts.mid(0, 7),
             QStringList({"Zoom In Ctrl++", "Zoom Out Ctrl+-", "Fit Whole Tree Ctrl+0",
                          "Actual Size Ctrl+1", "Go to Root Ctrl+R", "Show View Hint ",
                          "Fit New Trees "}));
    // A shortcut shown in the menu works from any control: the window holds its action.
    for (QAction* a : h.Window->PadMenu()->actions())
      QVERIFY(a->shortcut().isEmpty() || h.Window->actions().contains(a));
    QVERIFY(Action(h, "ShowViewHint")->isChecked() && !Action(h, "FitNewTrees")->isChecked());

    // The menu's entries do what the shortcuts do.
    h.GetTree(List(200));
    Action(h, "FitWholeTree")->trigger();
    QVERIFY(View(h).IsFitted());
    Action(h, "ZoomIn")->trigger();
    const double in = View(h).Scale();
    Action(h, "ZoomOut")->trigger();
    QVERIFY(View(h).Scale() < in && in > View(h).LeastScale());
    Action(h, "ActualSize")->trigger();
    QCOMPARE(View(h).Scale(), DesignScale);
    Action(h, "GoToRoot")->trigger();
    QVERIFY(std::abs(CircleCentre(h, 0).x() - Client(h).center().x()) <= 1);
    emit h.Surface()->MenuRequested(h.Surface()->mapToGlobal(QPoint(20, 20)), QPointF(20, 20));
    QTRY_VERIFY(h.Window->PadMenu()->isVisible());
    h.Window->PadMenu()->hide();
  }

  void fitFillsThePad_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("spread");  // rows spread to fill the height
    QTest::newRow("1..200") << List(200) << true;
    QTest::newRow("1000 random") << List(1000, 7) << true;
    QTest::newRow("5,3,8") << QStringLiteral("5,3,8") << false;
    QTest::newRow("one node") << QStringLiteral("42") << false;
  }
  void fitFillsThePad() {
    QFETCH(QString, list);
    QFETCH(bool, spread);
    Harness h;
    h.GetTree(list);
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_0, Qt::ControlModifier);
    const QRectF c = Client(h), drawn = DrawnRect(h);
    QVERIFY(c.contains(drawn));
    QVERIFY(Near(drawn.center(), c.center()));
    QVERIFY(h.Bar("HScrollDrawP")->isHidden() && h.Bar("VScrollDrawP")->isHidden());
    const bool wide = drawn.width() >= c.width() - 2 * 12 - 1;
    const bool high = drawn.height() >= c.height() - 2 * 12 - 1;
    QCOMPARE(h.Surface()->ZoomY() > h.Surface()->ZoomX(), spread);
    if (spread)
      QVERIFY(wide && high &&
              TreeUi::DetailAt(h.Surface()->Transform(), h.Window->Elements()) ==
                  TreeUi::Detail::Dots);
    else
      QVERIFY(wide || high || View(h).Scale() == TreeUi::MaxScale);
    // Clicks and tooltips find the nodes at this scale too.
    for (auto k : {std::int16_t(0), std::int16_t(TreeCore::DrawnElementCount - 1)}) {
      QCOMPARE(h.Surface()->LabelAt(h.LabelCentre(k)), int(k));
      QVERIFY(h.Surface()->ToolTipAt(h.LabelCentre(k)).startsWith("Node("));
    }
  }

  // At any scale the bars reach exactly the drawing's ends (margin included)
  // and a trough click pages by the viewport.
  void scrollRangeCoversTheDrawing_data() {
    QTest::addColumn<int>("stepsIn");
    for (int steps : {3, 8, 14, 60}) QTest::newRow(qPrintable(QString::number(steps))) << steps;
  }
  void scrollRangeCoversTheDrawing() {
    QFETCH(int, stepsIn);
    Harness h;
    h.GetTree(List(1000, 5));
    View(h).FitWhole();
    for (int i = 0; i < stepsIn; ++i) View(h).ZoomIn();
    const QRectF c = Client(h).adjusted(12, 12, -12, -12);
    QScrollBar* hBar = h.Bar("HScrollDrawP");
    QScrollBar* vBar = h.Bar("VScrollDrawP");
    QVERIFY(!hBar->isHidden());
    QCOMPARE(hBar->pageStep(), int(Client(h).width() * 15));
    hBar->setValue(0);
    QVERIFY(std::abs(DrawnRect(h).left() - c.left()) <= 1);
    hBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QVERIFY(std::abs(c.left() - DrawnRect(h).left() -
                     std::min(Client(h).width(), hBar->maximum() / 15.0)) <= 1);
    hBar->setValue(hBar->maximum());
    QVERIFY(std::abs(DrawnRect(h).right() - c.right()) <= 1);
    vBar->setValue(vBar->maximum());
    QVERIFY(vBar->isHidden() ? DrawnRect(h).bottom() <= c.bottom() + 1
                             : std::abs(DrawnRect(h).bottom() - c.bottom()) <= 1);
  }

  // Ctrl+wheel (and a pinch) in and back out about a node keeps it under the
  // cursor, and ends where it started.
  void zoomKeepsTheNodeUnderTheCursor_data() {
    QTest::addColumn<bool>("fitFirst");
    QTest::newRow("from the fit") << true;
    QTest::newRow("from 100 %") << false;
  }
  void zoomKeepsTheNodeUnderTheCursor() {
    QFETCH(bool, fitFirst);
    Harness h;
    h.GetTree(List(200));
    fitFirst ? View(h).FitWhole() : View(h).CentreOnElement(0);
    int k = -1;  // the node nearest the middle
    for (int i = 0; i < TreeCore::DrawnElementCount; ++i)
      if (Client(h).adjusted(20, 10, -20, -10).contains(CircleCentre(h, i)) &&
          (k < 0 || QLineF(CircleCentre(h, i), Client(h).center()).length() <
                        QLineF(CircleCentre(h, k), Client(h).center()).length()))
        k = i;
    QVERIFY(k >= 0);
    const QPointF at = CircleCentre(h, k);
    const double start = View(h).Scale();
    const int n = fitFirst ? 8 : 3;  // from 100 %, no further than 400 %
    for (int i = 0; i < 2 * n; ++i) {
      Wheel(h.Surface(), at, QPoint(0, i < n ? 120 : -120), Qt::ControlModifier);
      QVERIFY(Near(CircleCentre(h, k), at));
    }
    QCOMPARE(View(h).Scale(), start);
    // Back at the fit exactly: no rounding error's worth of scroll bar.
    if (fitFirst) QVERIFY(View(h).IsFitted() && h.Bar("HScrollDrawP")->isHidden());

    QNativeGestureEvent pinch(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2,
                              at, at, h.Surface()->mapToGlobal(at), 0.25, QPointF());
    QApplication::sendEvent(h.Surface(), &pinch);
    QCOMPARE(View(h).Scale() / start, 1.25);
    QVERIFY(Near(CircleCentre(h, k), at));
  }

  void wheelScrollsInTheBarsSteps() {
    Harness h;
    h.GetTree(List(200));
    QScrollBar* hBar = h.Bar("HScrollDrawP");
    QScrollBar* vBar = h.Bar("VScrollDrawP");
    const int notch = 100 * QApplication::wheelScrollLines();
    h.Box("txtEraseNode")->setFocus();
    Wheel(h.Surface(), QPointF(30, 30), QPoint(0, -120));
    QCOMPARE(vBar->value(), notch);
    QCOMPARE(h.Surface()->Top(), -double(notch));
    QCOMPARE(QApplication::focusWidget(), h.Box("TxtGetTree"));  // as after every scroll
    Wheel(h.Surface(), QPointF(30, 30), QPoint(0, -120), Qt::ShiftModifier);
    Wheel(h.Surface(), QPointF(30, 30), QPoint(-240, 0));
    QCOMPARE(hBar->value(), 3 * notch);
    QCOMPARE(vBar->value(), notch);
    Wheel(h.Surface(), QPointF(30, 30), QPoint(0, 120 * 50));
    QCOMPARE(h.Surface()->Top(), 0.0);
    QCOMPARE(View(h).Scale(), DesignScale);
  }

  // A drag pans, wherever it starts, and is no click; a click still fills
  // the status panel and rings its node until the next command.
  void dragPansAndClicksStillWork_data() {
    QTest::addColumn<bool>("onALabel");
    QTest::addColumn<QPoint>("move");
    QTest::newRow("drag from an empty spot") << false << QPoint(-50, -20);
    QTest::newRow("drag from a node") << true << QPoint(-50, -20);
    QTest::newRow("click on a node") << true << QPoint(0, 0);
  }
  void dragPansAndClicksStillWork() {
    QFETCH(bool, onALabel);
    QFETCH(QPoint, move);
    Harness h;
    h.GetTree(List(200));
    View(h).CentreOnElement(0);  // room to pan every way but up
    QScrollBar* hBar = h.Bar("HScrollDrawP");
    QScrollBar* vBar = h.Bar("VScrollDrawP");
    const int h0 = hBar->value(), v0 = vBar->value();
    const QPoint from = (onALabel ? h.LabelCentre(0) : EmptyPoint(h)).toPoint();
    QTest::mousePress(h.Surface(), Qt::LeftButton, {}, from);
    if (!move.isNull()) {
      QTest::mouseMove(h.Surface(), from + QPoint(-40, -30));
      QCOMPARE(h.Surface()->cursor().shape(), Qt::ClosedHandCursor);
      QTest::mouseMove(h.Surface(), from + move);
    }
    QTest::mouseRelease(h.Surface(), Qt::LeftButton, {}, from + move);
    QCOMPARE(hBar->value(), h0 - move.x() * 15);
    QCOMPARE(vBar->value(), v0 - move.y() * 15);
    QVERIFY(h.Surface()->cursor().shape() != Qt::ClosedHandCursor);
    const bool click = move.isNull();
    QCOMPARE(h.Status()->text().isEmpty(), !click);
    QCOMPARE(h.Surface()->Decorations().Marked, click ? std::vector<int>{0} : std::vector<int>{});
    h.GetTree(QStringLiteral("1,2"));
    QVERIFY(h.Surface()->Decorations().Marked.empty());
  }

  void searchBringsTheFoundNodeToTheMiddle_data() {
    QTest::addColumn<bool>("zoomed");
    QTest::newRow("at 100 %") << false;
    QTest::newRow("zoomed in from the fit") << true;
  }
  void searchBringsTheFoundNodeToTheMiddle() {
    QFETCH(bool, zoomed);
    Harness h;
    h.GetTree(List(1000, 11));
    if (zoomed) {
      View(h).FitWhole();
      for (int i = 0; i < 4; ++i) View(h).ZoomIn();
    }
    // The deepest node in the right half, away from the drawing's edge.
    const auto& nodes = TreeCore::MainTree.Nodes;
    const auto& e = h.Window->Elements();
    std::int32_t target = -1;
    for (std::int32_t i = 0; i < TreeCore::MainTree.Count; ++i) {
      const int k = TreeUi::ElementOfNode(i, e);
      QVERIFY(k >= 0);
      QCOMPARE(e.TreeNode[std::int16_t(k)].Caption, std::to_string(nodes[std::size_t(i)].Data));
      const double x = e.ShNode[std::int16_t(k)].Left / TreeCore::DrawingWidth;
      if (x > 0.6 && x < 0.9 &&
          (target < 0 || nodes[std::size_t(i)].Level > nodes[std::size_t(target)].Level))
        target = i;
    }
    QCOMPARE(TreeUi::ElementOfNode(TreeCore::MainTree.Root, e), 0);
    QCOMPARE(TreeUi::ElementOfNode(TreeCore::MainTree.Count, e), -1);
    QVERIFY(target >= 0 && nodes[std::size_t(target)].Level >= 8);
    const QString value = QString::number(nodes[std::size_t(target)].Data);
    h.Box("txtSearchNode")->setText(value);
    h.Button("cmdSearchNode")->click();
    QCOMPARE(h.Sink.Messages.at(0).Title, QStringLiteral("Node Found"));
    const int k = TreeUi::ElementOfNode(target, e);
    QCOMPARE(h.Surface()->Decorations().Marked, std::vector<int>{k});
    const QPointF at = CircleCentre(h, k), middle = Client(h).center();
    QVERIFY(std::abs(at.x() - middle.x()) <= 1);
    // Centred, or as near as the drawing's bottom edge allows.
    QScrollBar* vBar = h.Bar("VScrollDrawP");
    QVERIFY(std::abs(at.y() - middle.y()) <= 1 || vBar->value() == vBar->maximum());
    QCOMPARE(QApplication::focusWidget(), h.Box("txtSearchNode"));
    QCOMPARE(h.Box("txtSearchNode")->selectedText(), value);
    const double r = std::max(375 * h.Surface()->Transform().Zoom() / 15 / 2 + 3, 7.0);
    QVERIFY(RingPixels(h.Surface()->grab().toImage(), at, r) > 20);
    // The next command takes the ring away.
    h.Box("txtSearchNode")->setText(QStringLiteral("5000"));
    h.Button("cmdSearchNode")->click();
    QVERIFY(h.Surface()->Decorations().Marked.empty());
  }

  void hintShowsUntilAViewActionIsUsed() {
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    QVERIFY(h.Surface()->Hint().isEmpty());  // the drawing fits
    h.GetTree(List(200));
    QCOMPARE(h.Surface()->Hint(), QStringLiteral("Ctrl+0: whole tree \u00b7 right-click: view"));
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_Equal, Qt::ControlModifier);
    QVERIFY(h.Surface()->Hint().isEmpty());
    h.GetTree(List(300));
    QVERIFY(h.Surface()->Hint().isEmpty());  // not again in this window
  }

  // The hint's check item and Fit New Trees are remembered in the settings.
  void preferencesAreRemembered() {
    {
      Harness h;
      h.GetTree(List(200));
      Action(h, "ShowViewHint")->trigger();
      QVERIFY(h.Surface()->Hint().isEmpty());
      Action(h, "FitNewTrees")->trigger();
      h.GetTree(List(200));
      QVERIFY(View(h).IsFitted() && h.Bar("HScrollDrawP")->isHidden());
      h.Box("txtEraseNode")->setText(QStringLiteral("100,101"));
      h.Button("CmdEraseTree")->click();
      QVERIFY(View(h).IsFitted() && Client(h).contains(DrawnRect(h)));
    }
    QSettings stored(dir_.filePath(QStringLiteral("view.ini")), QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("view/showHint")).toBool(), false);
    Harness h;
    QVERIFY(!Action(h, "ShowViewHint")->isChecked() && Action(h, "FitNewTrees")->isChecked());
    h.GetTree(List(200));
    QVERIFY(View(h).IsFitted());
    Action(h, "FitNewTrees")->trigger();
    Action(h, "ShowViewHint")->trigger();
    h.GetTree(List(200));
    QCOMPARE(View(h).Scale(), DesignScale);
    QCOMPARE(h.Surface()->Left(), 0.0);
    QVERIFY(!h.Surface()->Hint().isEmpty());
  }

  // Actual Size is the window's own layout at 100 %, and every new drawing
  // starts there, at the top-left, whatever the view was before.
  void actualSizeIsTheDesignLayout() {
    Harness h;
    h.GetTree(List(200));
    QScrollBar* hBar = h.Bar("HScrollDrawP");
    const int hMax = hBar->maximum(), vMax = h.Bar("VScrollDrawP")->maximum();
    const QSizeF surface(h.Surface()->Width(), h.Surface()->Height());
    QCOMPARE(hMax, int(std::nearbyint(TreeCore::DrawingWidth + 60 - h.Pad()->width() * 15.0)));
    View(h).FitWhole();
    View(h).ZoomAt(5, QPointF(100, 50));
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(h.Surface()->ZoomX(), 1.0);
    QCOMPARE(h.Surface()->ZoomY(), 1.0);
    QCOMPARE(h.Surface()->OriginY(), 0.0);
    QCOMPARE(hBar->maximum(), hMax);
    QCOMPARE(h.Bar("VScrollDrawP")->maximum(), vMax);
    QCOMPARE(QSizeF(h.Surface()->Width(), h.Surface()->Height()), surface);
    QCOMPARE(h.Surface()->Left(), -double(hBar->value()));
    View(h).ZoomIn();
    h.GetTree(List(100));
    QCOMPARE(View(h).Scale(), DesignScale);
    QCOMPARE(QPointF(h.Surface()->Left(), h.Surface()->Top()), QPointF(0, 0));
    QCOMPARE(hBar->value(), 0);
  }

  void badStatesNeverEndTheProgram_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("overflow");  // elements beyond the toolkit's coordinates
    QTest::newRow("empty tree") << QString() << false;
    QTest::newRow("single node") << QStringLiteral("7") << false;
    QTest::newRow("1000 values") << List(1000, 3) << false;
    QTest::newRow("overflowing extent") << QStringLiteral("5,3,8") << true;
  }
  void badStatesNeverEndTheProgram() {
    QFETCH(QString, list);
    QFETCH(bool, overflow);
    Harness h;
    if (!list.isEmpty()) h.GetTree(list);
    if (overflow) {
      auto& e = h.Window->Elements();
      e.ShNode[2].Left = e.TreeNode[2].Left = e.LnNode[2].X1 = 3.0e38f;
      e.ShNode[1].Top = std::numeric_limits<float>::infinity();
      TreeCore::DrawingWidth = std::numeric_limits<float>::infinity();
      h.Surface()->ElementsChanged();
      h.Window->CheckMaxWH();
    }
    PadView& v = View(h);
    for (const char* name : {"ZoomIn", "ZoomOut", "FitWholeTree", "ActualSize", "GoToRoot"}) {
      Action(h, name)->trigger();
      CheckSane(h);
    }
    // The limits of the scale; a big turn of the wheel stops at 100 % on its way.
    const bool below = v.LeastScale() < DesignScale;
    for (int i = 0; i < 40; ++i) v.ZoomIn();
    QCOMPARE(v.Scale(), TreeUi::MaxScale);
    Wheel(h.Surface(), QPointF(5, 5), QPoint(0, -120 * 1000), Qt::ControlModifier);
    QCOMPARE(v.Scale(), below ? DesignScale : v.LeastScale());
    Wheel(h.Surface(), QPointF(5, 5), QPoint(0, -120 * 100000), Qt::ControlModifier);
    QCOMPARE(v.Scale(), v.LeastScale());
    if (overflow) QVERIFY(v.Scale() > 0 && v.Scale() < 1e-30);
    CheckSane(h);
    Wheel(h.Surface(), QPointF(20, 20), QPoint(0, -120));
    QTest::mousePress(h.Surface(), Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseMove(h.Surface(), QPoint(90, 60));
    QTest::mouseRelease(h.Surface(), Qt::LeftButton, {}, QPoint(90, 60));
    v.CentreOnElement(2);
    CheckSane(h);

    // Resizing while zoomed keeps the scale and what was in the middle.
    v.ActualSize();
    v.ZoomAt(3, Client(h).center());
    const double scale = v.Scale();
    const QPointF middle = v.CentrePoint();
    h.Window->resize(h.Window->width() + 120, h.Window->height() + 90);
    QCOMPARE(v.Scale(), scale);
    if (list.size() > 10) QVERIFY(std::abs(v.CentrePoint().x() - middle.x()) * scale < 1);
    h.Window->resize(10, 10);
    CheckSane(h);

    // Clear Tree while zoomed: 100 % at the origin, nothing to scroll.
    h.Button("CmdClearTree")->click();
    QCOMPARE(v.Scale(), DesignScale);
    QCOMPARE(h.Surface()->ZoomX(), 1.0);
    QCOMPARE(h.Surface()->Left(), 0.0);
    QVERIFY(h.Bar("HScrollDrawP")->isHidden() && h.Bar("VScrollDrawP")->isHidden());
    v.FitWhole();
    v.ZoomIn();
    CheckSane(h);
  }

  // Another pane (its own elements, frame, surface and bars) gets the whole
  // view from a PadView; without a layout of its own it follows its frame.
  void aSecondPaneHasTheSameView() {
    TreeCore::ElementArrays e;
    for (std::int16_t k = 0; k < 40; ++k) {
      if (k > 0) e.ShNode.Load(k), e.TreeNode.Load(k);
      e.ShNode[k].Left = e.TreeNode[k].Left = 800.0f * k;
      e.ShNode[k].Top = 750.0f * (k % 5);
      e.TreeNode[k].Top = e.ShNode[k].Top + 90;
      e.ShNode[k].Visible = e.TreeNode[k].Visible = true;
    }
    QWidget pane;
    auto* frame = new QFrame(&pane);
    frame->setGeometry(0, 0, 380, 280);
    auto* surface = new TreeUi::DrawSurface(e, frame);
    auto* hBar = new QScrollBar(Qt::Horizontal, &pane);
    auto* vBar = new QScrollBar(Qt::Vertical, &pane);
    auto* view = new TreeUi::PadView(surface, hBar, vBar, &pane);
    QMenu menu;
    view->CreateActions(&pane, &menu);
    QCOMPARE(menu.actions().size(), 8);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    view->Relayout();
    QCOMPARE(view->Scale(), DesignScale);
    QVERIFY(!hBar->isHidden() && !surface->Hint().isEmpty());  // 40 nodes do not fit
    view->FitWhole();
    QVERIFY(hBar->isHidden() && Client(surface).contains(DrawnRect(surface)));
    const double fitted = view->Scale();
    frame->resize(300, 200);
    QVERIFY(view->IsFitted() && view->Scale() < fitted);
    QVERIFY(Client(surface).contains(DrawnRect(surface)));
    Wheel(surface, QPointF(50, 50), QPoint(0, 360), Qt::ControlModifier);
    QVERIFY(view->Scale() > fitted / 2 && !hBar->isHidden());
  }

  void levelOfDetail_data() {
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("detail");
    QTest::newRow("400 %") << 4.0 << int(TreeUi::Detail::Full);
    QTest::newRow("100 %") << 1.0 << int(TreeUi::Detail::Full);
    QTest::newRow("55 %: captions of 6 px") << 0.55 << int(TreeUi::Detail::Full);
    QTest::newRow("50 %: captions unreadable") << 0.5 << int(TreeUi::Detail::Circles);
    QTest::newRow("17 %: circles of 4 px") << 0.17 << int(TreeUi::Detail::Circles);
    QTest::newRow("15 %: dots") << 0.15 << int(TreeUi::Detail::Dots);
    QTest::newRow("1/30000") << 1.0 / 30000 << int(TreeUi::Detail::Dots);
  }
  void levelOfDetail() {
    QFETCH(double, zoom);
    QFETCH(int, detail);
    TreeCore::ElementArrays e;
    TreeUi::ViewTransform t{DesignScale * zoom, DesignScale * zoom * 50, 20, 20};
    QCOMPARE(int(TreeUi::DetailAt(t, e)), detail);  // a spread view goes by its narrower scale
    t.ScaleY = t.ScaleX;
    QCOMPARE(int(TreeUi::DetailAt(t, e)), detail);
    e.TreeNode[0].Caption = "888";
    const double side = 375 * t.ScaleX;
    QImage image(int(side) + 40, int(side) + 40, QImage::Format_ARGB32);
    QPainter painter(&image);
    TreeUi::PaintElements(painter, e, t, QRectF(image.rect()));
    painter.end();
    if (detail == int(TreeUi::Detail::Dots)) {
      QVERIFY(QColor(image.pixel(int(20 + side / 2), int(20 + side / 2))).lightness() < 120);
      return;
    }
    // Black caption pixels inside the circle, at full detail only.
    if (side <= 10 || (detail == int(TreeUi::Detail::Full) && side < 20)) return;
    int dark = 0;
    for (int y = int(20 + side * 0.3); y < int(20 + side * 0.8); ++y)
      for (int x = int(20 + side * 0.25); x < int(20 + side * 0.75); ++x)
        dark += QColor(image.pixel(x, y)).lightness() < 60;
    QCOMPARE(dark > 0, detail == int(TreeUi::Detail::Full));
  }

  // Zoomed out, a line runs between the dots of its two circles, not from
  // the circle's top edge to a point below its parent's centre.
  void dotsMeetTheirLines() {
    TreeCore::ElementArrays e;
    e.ShNode.Load(1);
    e.LnNode.Load(1);
    e.ShNode[1].Left = e.ShNode[1].Top = 750;
    e.ShNode[1].Visible = e.LnNode[1].Visible = true;
    e.LnNode[1] = TreeCore::Line{937.5f, 750, 187.5f, 277.5f, true};
    TreeUi::ElementIndex shapes;
    shapes.Build({{{0, 0, 375, 375}, 0}, {{750, 750, 1125, 1125}, 1}});
    const TreeUi::ElementLookups lookups{nullptr, &shapes, nullptr};
    TreeUi::PaintOptions options;
    options.Lookups = &lookups;
    const TreeUi::ViewTransform t{0.005, 0.05, 10, 10};  // dots, rows spread tenfold
    QImage image(40, 80, QImage::Format_ARGB32);
    QPainter painter(&image);
    TreeUi::PaintElements(painter, e, t, QRectF(image.rect()), options);
    painter.end();
    // Just above the child's dot and just below the parent's, on the line
    // between the two centres.
    const QPointF child(10 + 937.5 * 0.005, 10 + 937.5 * 0.05), parent(10 + 0.9, 10 + 9.4);
    for (double f : {0.1, 0.9}) {
      const QPoint p = (child + f * (parent - child)).toPoint();
      int darkest = 255;
      for (int dx = -1; dx <= 1; ++dx)
        darkest = std::min(darkest, QColor(image.pixel(p + QPoint(dx, 0))).lightness());
      QVERIFY2(darkest < 200, qPrintable(QString("no line near %1,%2").arg(p.x()).arg(p.y())));
    }
  }

  void decorationsArePainted() {
    TreeCore::ElementArrays e;
    for (std::int16_t k = 0; k < 3; ++k) {
      if (k > 0) e.ShNode.Load(k), e.TreeNode.Load(k);
      e.ShNode[k].Left = e.TreeNode[k].Left = 600.0f * k;
      e.ShNode[k].Visible = e.TreeNode[k].Visible = true;
    }
    TreeUi::ElementDecorations d{{1, 99, -4}, {"", "", "h=3"}, {true, false, false}};
    TreeUi::PaintOptions options;
    options.Decorations = &d;
    QImage image(160, 60, QImage::Format_ARGB32);
    QPainter painter(&image);
    TreeUi::PaintElements(painter, e, {DesignScale, DesignScale, 10, 10}, QRectF(image.rect()),
                          options);
    painter.end();
    auto centre = [](int k) { return QPointF(10 + 40 * k + 12.5, 22.5); };
    QVERIFY(RingPixels(image, centre(1), 15.5) > 20);  // marked
    QCOMPARE(RingPixels(image, centre(2), 15.5), 0);
    const QColor warned(image.pixel(centre(0).toPoint() - QPoint(0, 8)));
    const QColor plain(image.pixel(centre(2).toPoint() - QPoint(0, 8)));
    QVERIFY(warned.red() > warned.blue() + 30 && plain.red() < plain.blue() + 30);
    int badge = 0;  // the badge's text right of element 2
    for (int y = 12; y < 34; ++y)
      for (int x = 116; x < 160; ++x) badge += QColor(image.pixel(x, y)).lightness() < 150;
    QVERIFY(badge > 5);
  }
};

QTEST_MAIN(ViewTests)
#include "ViewTests.moc"
