// Seeing the whole tree: zoom shortcuts, the wheel, dragging, fitting, the
// found node, the pad's menu and hint, and states that must not end the
// program.
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
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>

#include "ElementPainter.h"
#include "NodeElement.h"
#include "PadView.h"
#include "UiTestSupport.h"
#include "ViewSettings.h"

using TreeUi::DesignScale;
using TreeUi::PadView;
using UiTest::Harness;

namespace {

QString Range(int from, int to) {
  QStringList values;
  for (int i = from; i <= to; ++i) values << QString::number(i);
  return values.join(QLatin1Char(','));
}

QString Shuffled(int count, unsigned seed) {
  std::vector<int> v(static_cast<std::size_t>(count));
  std::iota(v.begin(), v.end(), 1);
  std::shuffle(v.begin(), v.end(), std::mt19937(seed));
  QStringList values;
  for (int x : v) values << QString::number(x);
  return values.join(QLatin1Char(','));
}

PadView& View(const Harness& h) {
  return *h.Window->View();
}

// The viewport's client area in pixels of the surface widget.
QRectF Client(const Harness& h) {
  return QRectF(h.Pad()->contentsRect()).translated(-QPointF(h.Surface()->pos()));
}

// Where the drawn elements lie, in pixels of the surface widget.
QRectF DrawnRect(const Harness& h) {
  const TreeUi::Extent b = h.Surface()->DrawnBounds();
  const TreeUi::ViewTransform t = h.Surface()->Transform();
  return QRectF(QPointF(t.DeviceX(b.X0), t.DeviceY(b.Y0)),
                QPointF(t.DeviceX(b.X1), t.DeviceY(b.Y1)));
}

// The centre of element k's circle, in pixels of the surface widget.
QPointF CircleCentre(const Harness& h, int k) {
  const TreeCore::Shape& s = h.Window->Elements().ShNode[static_cast<std::int16_t>(k)];
  return h.Surface()->ToLocal(s.Left + s.Width / 2, s.Top + s.Height / 2);
}

void Wheel(QWidget* w, QPointF at, QPoint angle, Qt::KeyboardModifiers modifiers = {}) {
  QWheelEvent e(at, w->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers, Qt::NoScrollPhase,
                false);
  QApplication::sendEvent(w, &e);
}

QAction* ActionNamed(const Harness& h, const char* name) {
  return h.Window->findChild<QAction*>(QString::fromLatin1(name));
}

// A point of the pad with no label near it (a lone row gap in the middle).
QPointF EmptyPoint(const Harness& h) {
  const QRectF c = Client(h);
  for (double y = c.top() + 5; y < c.bottom() - 5; y += 3)
    for (double x = c.left() + 5; x < c.right() - 5; x += 7)
      if (h.Surface()->LabelAt(QPointF(x, y)) < 0) return QPointF(x, y);
  return c.center();
}

// Invariants of any view: a finite transform, the surface widget inside the
// viewport's client area, bars within their ranges.
void CheckSane(const Harness& h) {
  const TreeUi::ViewTransform t = h.Surface()->Transform();
  QVERIFY(std::isfinite(t.ScaleX) && t.ScaleX > 0);
  QVERIFY(std::isfinite(t.ScaleY) && t.ScaleY > 0);
  QVERIFY(std::isfinite(t.OffsetX) && std::isfinite(t.OffsetY));
  const QRect client = h.Pad()->contentsRect();
  QVERIFY(h.Surface()->geometry().isEmpty() || client.contains(h.Surface()->geometry()));
  for (const char* name : {"HScrollDrawP", "VScrollDrawP"}) {
    QScrollBar* bar = h.Bar(name);
    QVERIFY(bar->maximum() >= 0 && bar->value() >= 0 && bar->value() <= bar->maximum());
  }
  QVERIFY(!h.Pad()->grab().isNull());
}

int RingPixels(const QImage& image, QPointF centre, double radius) {
  int found = 0;
  for (int a = 0; a < 360; a += 10) {
    const double r = a * M_PI / 180;
    const QPoint p = (centre + QPointF(radius * std::cos(r), radius * std::sin(r))).toPoint();
    if (!image.rect().contains(p)) continue;
    const QColor c(image.pixel(p));
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

  // ---- Shortcuts ----------------------------------------------------------

  void shortcutsWorkFromAnyControl_data() {
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<double>("zoomFirst");  // steps before the key
    QTest::addColumn<double>("scale");      // relative to 100 %; 0: the fit
    for (const char* focus : {"TxtGetTree", "txtSearchNode", "CmdClearTree"}) {
      const QByteArray f(focus);
      auto row = [&](const char* key) -> QTestData& {
        return QTest::newRow((f + key).constData());
      };
      row(" Ctrl+0") << QString(focus) << int(Qt::Key_0) << 0.0 << 0.0;
      row(" Ctrl+=") << QString(focus) << int(Qt::Key_Equal) << 0.0 << 1.25;
      row(" Ctrl++") << QString(focus) << int(Qt::Key_Plus) << 0.0 << 1.25;
      row(" Ctrl+-") << QString(focus) << int(Qt::Key_Minus) << 0.0 << 0.8;
      row(" Ctrl+1") << QString(focus) << int(Qt::Key_1) << 3.0 << 1.0;
      row(" Ctrl+R") << QString(focus) << int(Qt::Key_R) << 3.0 << 1.25 * 1.25 * 1.25;
    }
  }
  void shortcutsWorkFromAnyControl() {
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(double, zoomFirst);
    QFETCH(double, scale);
    Harness h;
    h.GetTree(Range(1, 200));
    if (zoomFirst != 0) View(h).ZoomAt(zoomFirst, EmptyPoint(h));
    QWidget* control = h.Find<QWidget>(focus.toLatin1().constData());
    control->setFocus();
    const QString typed = h.Box("TxtGetTree")->text();
    QTest::keyClick(control, Qt::Key(key), Qt::ControlModifier);
    // No character reached a text box.
    QCOMPARE(h.Box("TxtGetTree")->text(), typed);
    QVERIFY(h.Box("txtSearchNode")->text().isEmpty());
    if (scale == 0) {
      QVERIFY(View(h).IsFitted());
      QVERIFY(View(h).Scale() < DesignScale);
    } else {
      QCOMPARE(View(h).Scale() / DesignScale, scale);
    }
    if (key == Qt::Key_R) {
      const QPointF root = CircleCentre(h, 0), centre = Client(h).center();
      QVERIFY2(std::abs(root.x() - centre.x()) <= 1, "the root is centred horizontally");
    }
    QVERIFY(h.Sink.Messages.empty());
  }

  // ---- The pad's menu -----------------------------------------------------

  void menuHoldsTheViewActions() {
    Harness h;
    QMenu* menu = h.Window->PadMenu();
    QStringList texts;
    for (QAction* a : menu->actions())
      if (!a->isSeparator()) texts << a->text();
    QCOMPARE(texts, QStringList({"Zoom In", "Zoom Out", "Fit Whole Tree", "Actual Size",
                                 "Go to Root", "Show View Hint", "Fit New Trees"}));
    const std::pair<const char*, QKeySequence> keys[] = {
        {"ZoomIn", QKeySequence(Qt::CTRL | Qt::Key_Plus)},
        {"ZoomOut", QKeySequence(Qt::CTRL | Qt::Key_Minus)},
        {"FitWholeTree", QKeySequence(Qt::CTRL | Qt::Key_0)},
        {"ActualSize", QKeySequence(Qt::CTRL | Qt::Key_1)},
        {"GoToRoot", QKeySequence(Qt::CTRL | Qt::Key_R)}};
    for (const auto& [name, key] : keys) {
      QAction* a = ActionNamed(h, name);
      QVERIFY2(a != nullptr, name);
      QCOMPARE(a->shortcut(), key);  // shown beside the text
      QVERIFY(a->isShortcutVisibleInContextMenu());
      QVERIFY(h.Window->actions().contains(a));  // active whatever has the focus
    }
    QVERIFY(ActionNamed(h, "ShowViewHint")->isCheckable());
    QVERIFY(ActionNamed(h, "ShowViewHint")->isChecked());
    QVERIFY(ActionNamed(h, "FitNewTrees")->isCheckable());
    QVERIFY(!ActionNamed(h, "FitNewTrees")->isChecked());

    // The menu's own actions do what the shortcuts do.
    h.GetTree(Range(1, 200));
    ActionNamed(h, "FitWholeTree")->trigger();
    QVERIFY(View(h).IsFitted());
    ActionNamed(h, "ZoomIn")->trigger();
    const double in = View(h).Scale();
    QVERIFY(in > View(h).LeastScale());
    ActionNamed(h, "ZoomOut")->trigger();
    QVERIFY(View(h).Scale() < in);
    ActionNamed(h, "ActualSize")->trigger();
    QCOMPARE(View(h).Scale(), DesignScale);
    ActionNamed(h, "GoToRoot")->trigger();
    QVERIFY(std::abs(CircleCentre(h, 0).x() - Client(h).center().x()) <= 1);

    // A right-click opens it.
    h.Surface()->MenuRequested(h.Surface()->mapToGlobal(QPoint(20, 20)), QPointF(20, 20));
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
  }

  // ---- Fit ----------------------------------------------------------------

  void fitFillsThePad_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("spread");
    QTest::newRow("1..200") << Range(1, 200) << true;
    QTest::newRow("1000 random") << Shuffled(1000, 7) << true;
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
    // Whole, inside the margin, centred.
    QVERIFY(c.contains(drawn));
    QVERIFY(std::abs(drawn.center().x() - c.center().x()) <= 1);
    QVERIFY(std::abs(drawn.center().y() - c.center().y()) <= 1);
    QVERIFY(h.Bar("HScrollDrawP")->isHidden());
    QVERIFY(h.Bar("VScrollDrawP")->isHidden());
    const double zx = h.Surface()->ZoomX(), zy = h.Surface()->ZoomY();
    if (spread) {
      // The pad's width, and most of its height: rows spread once nodes are dots.
      QVERIFY(drawn.width() >= c.width() - 2 * 12 - 1);
      QVERIFY(drawn.height() >= 0.75 * c.height());
      QVERIFY(zy > zx);
      QCOMPARE(TreeUi::DetailAt(h.Surface()->Transform(), h.Window->Elements()),
               TreeUi::Detail::Dots);
    } else {
      QCOMPARE(zx, zy);
      QVERIFY(drawn.width() >= c.width() - 2 * 12 - 1 ||
              drawn.height() >= c.height() - 2 * 12 - 1 || View(h).Scale() == TreeUi::MaxScale);
    }
    // Clicks still find the nodes.
    for (int k : {0, int(TreeCore::DrawnElementCount) - 1}) {
      const int found = h.Surface()->LabelAt(h.LabelCentre(static_cast<std::int16_t>(k)));
      QVERIFY(found >= 0);
      const auto& labels = h.Window->Elements().TreeNode;
      QCOMPARE(labels[static_cast<std::int16_t>(found)].Left,
               labels[static_cast<std::int16_t>(k)].Left);
    }
  }

  // Zooming in from a fit turns the spread rows back into one scale before
  // circles come back.
  void zoomingInFromAFitEndsTheSpreadFirst() {
    Harness h;
    h.GetTree(Range(1, 200));
    View(h).FitWhole();
    double previous = h.Surface()->ZoomY() / h.Surface()->ZoomX();
    QVERIFY(previous > 1);
    for (int i = 0; i < 12; ++i) {
      View(h).ZoomIn();
      const double spread = h.Surface()->ZoomY() / h.Surface()->ZoomX();
      QVERIFY(spread <= previous + 1e-9);
      if (TreeUi::DetailAt(h.Surface()->Transform(), h.Window->Elements()) != TreeUi::Detail::Dots)
        QCOMPARE(spread, 1.0);
      previous = spread;
    }
    QCOMPARE(previous, 1.0);
  }

  // ---- The wheel ------------------------------------------------------------

  void ctrlWheelKeepsThePointUnderTheCursor_data() {
    QTest::addColumn<bool>("fitFirst");
    QTest::newRow("from the fit") << true;
    QTest::newRow("from 100 %") << false;
  }
  void ctrlWheelKeepsThePointUnderTheCursor() {
    QFETCH(bool, fitFirst);
    Harness h;
    h.GetTree(Range(1, 200));
    if (fitFirst)
      View(h).FitWhole();
    else
      View(h).CentreOnElement(0);
    // A node in view, away from the pad's edges.
    const QRectF c = Client(h);
    int k = -1;
    double best = 1e300;
    for (int i = 0; i < TreeCore::DrawnElementCount; ++i) {
      const QPointF p = CircleCentre(h, i);
      const double d = std::hypot(p.x() - c.center().x(), p.y() - c.center().y());
      if (c.adjusted(20, 10, -20, -10).contains(p) && d < best) best = d, k = i;
    }
    QVERIFY(k >= 0);
    const QPointF at = CircleCentre(h, k);
    const double start = View(h).Scale();
    // In and back out; from 100 % no further than 400 %.
    const int n = fitFirst ? 8 : 3;
    std::vector<int> notches(std::size_t(n), 1);
    notches.resize(std::size_t(2 * n), -1);
    for (int notch : notches) {
      Wheel(h.Surface(), at, QPoint(0, 120 * notch), Qt::ControlModifier);
      const QPointF now = CircleCentre(h, k);
      QVERIFY2(std::abs(now.x() - at.x()) < 1 && std::abs(now.y() - at.y()) < 1,
               qPrintable(QString("moved to %1,%2 from %3,%4")
                              .arg(now.x())
                              .arg(now.y())
                              .arg(at.x())
                              .arg(at.y())));
    }
    QCOMPARE(View(h).Scale(), start);
    if (fitFirst) {
      // Back at the fit, without a rounding error's worth of scrolling.
      QVERIFY(View(h).IsFitted());
      QVERIFY(h.Bar("HScrollDrawP")->isHidden());
      QVERIFY(h.Bar("VScrollDrawP")->isHidden());
    }
  }

  void wheelScrollsInTheBarsSteps() {
    Harness h;
    h.GetTree(Range(1, 200));
    QScrollBar* hBar = h.Bar("HScrollDrawP");
    QScrollBar* vBar = h.Bar("VScrollDrawP");
    const int notch = 100 * QApplication::wheelScrollLines();
    h.Box("txtEraseNode")->setFocus();
    Wheel(h.Surface(), QPointF(30, 30), QPoint(0, -120));
    QCOMPARE(vBar->value(), notch);
    QCOMPARE(h.Surface()->Top(), -double(notch));
    QCOMPARE(QApplication::focusWidget(), h.Box("TxtGetTree"));  // as after every scroll
    Wheel(h.Surface(), QPointF(30, 30), QPoint(0, -120), Qt::ShiftModifier);
    QCOMPARE(hBar->value(), notch);
    QCOMPARE(vBar->value(), notch);
    Wheel(h.Surface(), QPointF(30, 30), QPoint(-240, 0));
    QCOMPARE(hBar->value(), 3 * notch);
    Wheel(h.Surface(), QPointF(30, 30), QPoint(0, 120 * 50));
    QCOMPARE(vBar->value(), 0);
    QCOMPARE(h.Surface()->Top(), 0.0);
    QCOMPARE(View(h).Scale(), DesignScale);
  }

  void pinchZoomsAboutTheFingers() {
    Harness h;
    h.GetTree(Range(1, 200));
    View(h).CentreOnElement(0);
    const QPointF at = CircleCentre(h, 0);
    QNativeGestureEvent pinch(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2,
                              at, at, h.Surface()->mapToGlobal(at), 0.25, QPointF());
    QApplication::sendEvent(h.Surface(), &pinch);
    QCOMPARE(View(h).Scale() / DesignScale, 1.25);
    QVERIFY(std::abs(CircleCentre(h, 0).x() - at.x()) < 1);
    QVERIFY(std::abs(CircleCentre(h, 0).y() - at.y()) < 1);
    // A pinch closing beyond nothing is no zoom at all.
    QNativeGestureEvent shut(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2, at,
                             at, h.Surface()->mapToGlobal(at), -1.0, QPointF());
    QApplication::sendEvent(h.Surface(), &shut);
    QCOMPARE(View(h).Scale() / DesignScale, 1.25);
  }

  // ---- Dragging -------------------------------------------------------------

  void dragPansAndIsNoClick_data() {
    QTest::addColumn<bool>("onALabel");
    QTest::newRow("from an empty spot") << false;
    QTest::newRow("from a node") << true;
  }
  void dragPansAndIsNoClick() {
    QFETCH(bool, onALabel);
    Harness h;
    h.GetTree(Range(1, 200));
    QScrollBar* hBar = h.Bar("HScrollDrawP");
    QScrollBar* vBar = h.Bar("VScrollDrawP");
    // The root in the middle: room to pan every way but up.
    View(h).CentreOnElement(0);
    const int h0 = hBar->value(), v0 = vBar->value();
    QVERIFY(h0 > 1000);
    QPoint from = EmptyPoint(h).toPoint();
    if (onALabel) {
      from = h.LabelCentre(0).toPoint();
      QCOMPARE(h.Surface()->LabelAt(from), 0);
    }
    QTest::mousePress(h.Surface(), Qt::LeftButton, {}, from);
    QTest::mouseMove(h.Surface(), from + QPoint(-40, -30));
    QCOMPARE(h.Surface()->cursor().shape(), Qt::ClosedHandCursor);
    QTest::mouseMove(h.Surface(), from + QPoint(-50, -20));
    QTest::mouseRelease(h.Surface(), Qt::LeftButton, {}, from + QPoint(-50, -20));
    QCOMPARE(hBar->value(), h0 + 50 * 15);
    QCOMPARE(vBar->value(), v0 + 20 * 15);
    QCOMPARE(h.Surface()->Left(), -double(h0 + 50 * 15));
    // Not a click: the panel and the marks are as they were.
    QVERIFY(h.Status()->text().isEmpty());
    QVERIFY(h.Surface()->Decorations().Marked.empty());
    QVERIFY(h.Surface()->cursor().shape() != Qt::ClosedHandCursor);
  }

  void clickStillFillsThePanelAndMarksTheNode() {
    Harness h;
    h.GetTree(QStringLiteral("50,25,75,10,30,60,90"));
    View(h).ZoomAt(2, QPointF(10, 10));
    for (std::int16_t k : {std::int16_t(3), std::int16_t(0)}) {
      QTest::mouseClick(h.Surface(), Qt::LeftButton, {}, h.LabelCentre(k).toPoint());
      QCOMPARE(h.Status()->text(),
               TreeUi::DisplayText(h.Window->Elements().TreeNode[k].ToolTipText));
      QCOMPARE(h.Surface()->Decorations().Marked, std::vector<int>{k});
    }
    // Until the next command.
    h.GetTree(QStringLiteral("1,2"));
    QVERIFY(h.Surface()->Decorations().Marked.empty());
  }

  // ---- The found node ------------------------------------------------------

  void searchBringsTheFoundNodeToTheMiddle_data() {
    QTest::addColumn<bool>("fitFirst");
    QTest::newRow("at 100 %") << false;
    QTest::newRow("zoomed in from the fit") << true;
  }
  void searchBringsTheFoundNodeToTheMiddle() {
    QFETCH(bool, fitFirst);
    Harness h;
    h.GetTree(Shuffled(1000, 11));
    QVERIFY(h.Sink.Messages.empty());
    if (fitFirst) {
      View(h).FitWhole();
      for (int i = 0; i < 4; ++i) View(h).ZoomIn();
    }
    // A deep node, off to one side but not at the drawing's edge.
    const auto& nodes = TreeCore::MainTree.Nodes;
    const double width = TreeCore::DrawingWidth;
    std::int32_t target = -1;
    for (std::int32_t i = 0; i < TreeCore::MainTree.Count; ++i) {
      const int k = TreeUi::ElementOfNode(i, h.Window->Elements());
      if (k < 0) continue;
      const double x = h.Window->Elements().ShNode[std::int16_t(k)].Left;
      if (x < 0.6 * width || x > 0.9 * width) continue;
      if (target < 0 || nodes[std::size_t(i)].Level > nodes[std::size_t(target)].Level) target = i;
    }
    QVERIFY(target >= 0);
    QVERIFY(nodes[std::size_t(target)].Level >= 8);
    const int value = nodes[std::size_t(target)].Data;
    h.Box("txtSearchNode")->setText(QString::number(value));
    h.Button("cmdSearchNode")->click();
    QCOMPARE(h.Sink.Messages.size(), std::size_t{1});
    QCOMPARE(h.Sink.Messages[0].Title, QStringLiteral("Node Found"));
    const int k = TreeUi::ElementOfNode(target, h.Window->Elements());
    QCOMPARE(h.Window->Elements().TreeNode[std::int16_t(k)].Caption, std::to_string(value));
    QCOMPARE(h.Surface()->Decorations().Marked, std::vector<int>{k});
    const QPointF at = CircleCentre(h, k), middle = Client(h).center();
    QVERIFY(std::abs(at.x() - middle.x()) <= 1);
    QScrollBar* vBar = h.Bar("VScrollDrawP");
    // Centred, or as near as the drawing's bottom edge allows.
    QVERIFY(std::abs(at.y() - middle.y()) <= 1 || vBar->value() == vBar->maximum());
    QVERIFY(Client(h).contains(at));
    // The search box keeps the focus and its selection.
    QCOMPARE(QApplication::focusWidget(), h.Box("txtSearchNode"));
    QCOMPARE(h.Box("txtSearchNode")->selectedText(), QString::number(value));
    // The ring is painted around it.
    const QImage image = h.Surface()->grab().toImage();
    const double r = std::max(375 * h.Surface()->Transform().Zoom() / 15 / 2 + 3, 7.0);
    QVERIFY(RingPixels(image, at, r) > 20);

    // The next command takes the ring away.
    h.Box("txtSearchNode")->setText(QStringLiteral("5000"));
    h.Button("cmdSearchNode")->click();
    QVERIFY(h.Surface()->Decorations().Marked.empty());
  }

  void elementOfNodeFollowsTheDrawing() {
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    const auto& e = h.Window->Elements();
    for (std::int32_t i = 0; i < 3; ++i) {
      const int k = TreeUi::ElementOfNode(i, e);
      QVERIFY(k >= 0);
      QCOMPARE(e.TreeNode[std::int16_t(k)].Caption,
               std::to_string(TreeCore::MainTree.Nodes[std::size_t(i)].Data));
    }
    QCOMPARE(TreeUi::ElementOfNode(TreeCore::MainTree.Root, e), 0);
    QCOMPARE(TreeUi::ElementOfNode(-1, e), -1);
    QCOMPARE(TreeUi::ElementOfNode(3, e), -1);
    h.Button("CmdClearTree")->click();
    QCOMPARE(TreeUi::ElementOfNode(0, e), -1);
  }

  // ---- Hint and preferences ------------------------------------------------

  void hintShowsUntilAViewActionIsUsed() {
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    QVERIFY(h.Surface()->Hint().isEmpty());  // the drawing fits
    h.GetTree(Range(1, 200));
    QCOMPARE(h.Surface()->Hint(), QStringLiteral("Ctrl+0: whole tree \u00b7 right-click: view"));
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_Equal, Qt::ControlModifier);
    QVERIFY(h.Surface()->Hint().isEmpty());
    h.GetTree(Range(1, 300));
    QVERIFY(h.Surface()->Hint().isEmpty());  // not again in this window
  }

  void hintCanBeTurnedOffForGood() {
    {
      Harness h;
      h.GetTree(Range(1, 200));
      QVERIFY(!h.Surface()->Hint().isEmpty());
      ActionNamed(h, "ShowViewHint")->trigger();
      QVERIFY(h.Surface()->Hint().isEmpty());
    }
    QSettings stored(dir_.filePath(QStringLiteral("view.ini")), QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("view/showHint")).toBool(), false);
    Harness h;
    QVERIFY(!ActionNamed(h, "ShowViewHint")->isChecked());
    h.GetTree(Range(1, 200));
    QVERIFY(h.Surface()->Hint().isEmpty());
  }

  void fitNewTreesIsRemembered() {
    {
      Harness h;
      ActionNamed(h, "FitNewTrees")->trigger();
      h.GetTree(Range(1, 200));
      QVERIFY(View(h).IsFitted());
      QVERIFY(h.Bar("HScrollDrawP")->isHidden());
      h.Box("txtEraseNode")->setText(QStringLiteral("100,101"));
      h.Button("CmdEraseTree")->click();
      QVERIFY(View(h).IsFitted());
      QVERIFY(Client(h).contains(DrawnRect(h)));
    }
    Harness h;
    QVERIFY(ActionNamed(h, "FitNewTrees")->isChecked());
    h.GetTree(Range(1, 200));
    QVERIFY(View(h).IsFitted());
    ActionNamed(h, "FitNewTrees")->trigger();
    h.GetTree(Range(1, 200));
    QCOMPARE(View(h).Scale(), DesignScale);
    QCOMPARE(h.Surface()->Left(), 0.0);
    QVERIFY(!h.Bar("HScrollDrawP")->isHidden());
  }

  // ---- 100 % -----------------------------------------------------------------

  // The view actions leave the window's own layout as it was at 100 %.
  void actualSizeIsTheDesignLayout() {
    Harness h;
    h.GetTree(Range(1, 200));
    QScrollBar* hBar = h.Bar("HScrollDrawP");
    QScrollBar* vBar = h.Bar("VScrollDrawP");
    const int hMax = hBar->maximum(), vMax = vBar->maximum();
    const double width = h.Surface()->Width(), height = h.Surface()->Height();
    QCOMPARE(h.Surface()->ZoomX(), 1.0);
    QCOMPARE(h.Surface()->OriginX(), 0.0);
    QCOMPARE(h.Surface()->Left(), 0.0);
    QCOMPARE(hMax, int(std::nearbyint(TreeCore::DrawingWidth + 60 - h.Pad()->width() * 15.0)));

    View(h).FitWhole();
    View(h).ZoomAt(5, QPointF(100, 50));
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(View(h).Scale(), DesignScale);
    QCOMPARE(h.Surface()->ZoomX(), 1.0);
    QCOMPARE(h.Surface()->ZoomY(), 1.0);
    QCOMPARE(h.Surface()->OriginY(), 0.0);
    QCOMPARE(hBar->maximum(), hMax);
    QCOMPARE(vBar->maximum(), vMax);
    QCOMPARE(h.Surface()->Width(), width);
    QCOMPARE(h.Surface()->Height(), height);
    QCOMPARE(h.Surface()->Left(), -double(hBar->value()));

    // A new drawing starts at the top-left at 100 %, zoomed or not before.
    View(h).ZoomIn();
    h.GetTree(Range(1, 100));
    QCOMPARE(View(h).Scale(), DesignScale);
    QCOMPARE(h.Surface()->Left(), 0.0);
    QCOMPARE(h.Surface()->Top(), 0.0);
    QCOMPARE(hBar->value(), 0);
  }

  // Page Down pages by one viewport at any scale.
  void pageDownWhileZoomed() {
    Harness h;
    h.GetTree(Range(1, 511));
    View(h).ZoomIn();
    QScrollBar* vBar = h.Bar("VScrollDrawP");
    QVERIFY(!vBar->isHidden());
    const double top = h.Surface()->Top();
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_PageDown);
    const double page = vBar->height() * 15.0;
    const TreeUi::ScrollScale& scale = h.Window->VerticalScale();
    QCOMPARE(h.Surface()->Top(), std::max(top - page, -scale.Offset(scale.Maximum)));
  }

  // ---- States that must not end the program --------------------------------

  void badStatesNeverEndTheProgram_data() {
    QTest::addColumn<QString>("list");
    QTest::newRow("empty tree") << QString();
    QTest::newRow("single node") << QStringLiteral("7");
    QTest::newRow("two nodes") << QStringLiteral("7,-32768");
    QTest::newRow("1000 values") << Shuffled(1000, 3);
  }
  void badStatesNeverEndTheProgram() {
    QFETCH(QString, list);
    Harness h;
    if (!list.isEmpty()) h.GetTree(list);
    PadView& v = View(h);
    // Every action, then the limits of the scale.
    for (const char* name : {"ZoomIn", "ZoomOut", "FitWholeTree", "ActualSize", "GoToRoot"}) {
      ActionNamed(h, name)->trigger();
      CheckSane(h);
    }
    for (int i = 0; i < 40; ++i) v.ZoomIn();
    QCOMPARE(v.Scale(), TreeUi::MaxScale);
    CheckSane(h);
    for (int i = 0; i < 120; ++i) v.ZoomOut();
    QCOMPARE(v.Scale(), v.LeastScale());
    CheckSane(h);
    // A big turn of the wheel stops at 100 % on its way, as every step does.
    const bool belowActualSize = v.LeastScale() < DesignScale;
    Wheel(h.Surface(), QPointF(5, 5), QPoint(0, 120 * 1000), Qt::ControlModifier);
    QCOMPARE(v.Scale(), belowActualSize ? DesignScale : TreeUi::MaxScale);
    Wheel(h.Surface(), QPointF(5, 5), QPoint(0, 120 * 1000), Qt::ControlModifier);
    QCOMPARE(v.Scale(), TreeUi::MaxScale);
    Wheel(h.Surface(), QPointF(5, 5), QPoint(0, -120 * 1000), Qt::ControlModifier);
    QCOMPARE(v.Scale(), belowActualSize ? DesignScale : v.LeastScale());
    Wheel(h.Surface(), QPointF(5, 5), QPoint(0, -120 * 1000), Qt::ControlModifier);
    QCOMPARE(v.Scale(), v.LeastScale());
    CheckSane(h);

    // Resizing while zoomed keeps the scale and what was in the middle.
    v.ActualSize();
    v.ZoomAt(3, Client(h).center());
    const double scale = v.Scale();
    const QPointF middle = v.CentrePoint();
    h.Window->resize(h.Window->width() + 120, h.Window->height() + 90);
    QCOMPARE(v.Scale(), scale);
    if (!list.isEmpty() && list.size() > 10) {
      const QPointF now = v.CentrePoint();
      QVERIFY(std::abs(now.x() - middle.x()) * scale < 1);
    }
    CheckSane(h);
    h.Window->resize(10, 10);  // snaps back to the smallest size
    CheckSane(h);

    // Clear Tree while zoomed: back to 100 % at the origin, nothing to scroll.
    h.Button("CmdClearTree")->click();
    QCOMPARE(v.Scale(), DesignScale);
    QCOMPARE(h.Surface()->ZoomX(), 1.0);
    QCOMPARE(h.Surface()->Left(), 0.0);
    QVERIFY(h.Bar("HScrollDrawP")->isHidden());
    QVERIFY(h.Bar("VScrollDrawP")->isHidden());
    v.FitWhole();
    v.ZoomIn();
    CheckSane(h);
  }

  // Elements far beyond what the toolkit's coordinates hold, and an infinite
  // extent: zoom, fit, scroll and paint all stay defined.
  void overflowingExtent() {
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    auto& e = h.Window->Elements();
    e.ShNode[2].Left = 3.0e38f;
    e.TreeNode[2].Left = 3.0e38f;
    e.LnNode[2].X1 = 3.0e38f;
    e.ShNode[1].Top = std::numeric_limits<float>::infinity();
    TreeCore::DrawingWidth = std::numeric_limits<float>::infinity();
    h.Surface()->ElementsChanged();
    h.Window->CheckMaxWH();
    CheckSane(h);
    PadView& v = View(h);
    v.FitWhole();
    QVERIFY(v.Scale() > 0 && v.Scale() < 1e-30);
    CheckSane(h);
    v.ZoomIn();
    Wheel(h.Surface(), QPointF(20, 20), QPoint(0, -120));
    Wheel(h.Surface(), QPointF(20, 20), QPoint(0, 360), Qt::ControlModifier);
    QTest::mousePress(h.Surface(), Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseMove(h.Surface(), QPoint(90, 60));
    QTest::mouseRelease(h.Surface(), Qt::LeftButton, {}, QPoint(90, 60));
    CheckSane(h);
    for (int i = 0; i < 40; ++i) v.ZoomIn();
    v.CentreOnElement(2);
    CheckSane(h);
    v.ActualSize();
    CheckSane(h);
  }

  // Another pane (its own elements, frame, surface and bars) gets the whole
  // view from a PadView; without a layout of its own, it follows its frame.
  void aSecondPaneHasTheSameView() {
    TreeCore::ElementArrays e;
    for (std::int16_t k = 1; k < 40; ++k) {
      e.ShNode.Load(k);
      e.TreeNode.Load(k);
    }
    for (std::int16_t k = 0; k < 40; ++k) {
      e.ShNode[k].Left = e.TreeNode[k].Left = 800.0f * k;
      e.ShNode[k].Top = 750.0f * (k % 5);
      e.TreeNode[k].Top = e.ShNode[k].Top + 90;
      e.ShNode[k].Visible = e.TreeNode[k].Visible = true;
      e.TreeNode[k].Caption = std::to_string(k);
    }
    QWidget pane;
    pane.resize(400, 300);
    auto* frame = new QFrame(&pane);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setGeometry(0, 0, 380, 280);
    auto* surface = new TreeUi::DrawSurface(e, frame);
    auto* hBar = new QScrollBar(Qt::Horizontal, &pane);
    auto* vBar = new QScrollBar(Qt::Vertical, &pane);
    hBar->setGeometry(0, 280, 380, 17);
    vBar->setGeometry(380, 0, 17, 280);
    auto* view = new TreeUi::PadView(surface, hBar, vBar, &pane);
    QMenu menu;
    view->CreateActions(&pane, &menu);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    surface->ElementsChanged();
    view->Relayout();
    // 100 %: 40 nodes of 25 px, 53 px apart, do not fit 380 px.
    QCOMPARE(view->Scale(), DesignScale);
    QVERIFY(!hBar->isHidden());
    QVERIFY(!surface->Hint().isEmpty());
    QCOMPARE(surface->LabelAt(surface->ToLocal(e.TreeNode[0].Left + 100, e.TreeNode[0].Top + 100)),
             0);

    view->FitWhole();
    QVERIFY(hBar->isHidden() && vBar->isHidden());
    QVERIFY(QRectF(frame->contentsRect()).translated(-QPointF(surface->pos())).contains([&] {
      const TreeUi::Extent b = surface->DrawnBounds();
      const TreeUi::ViewTransform t = surface->Transform();
      return QRectF(QPointF(t.DeviceX(b.X0), t.DeviceY(b.Y0)),
                    QPointF(t.DeviceX(b.X1), t.DeviceY(b.Y1)));
    }()));
    const double fitted = view->Scale();
    frame->resize(300, 200);  // the pane lays out again, still fitted
    QVERIFY(view->IsFitted());
    QVERIFY(view->Scale() < fitted);
    Wheel(surface, QPointF(50, 50), QPoint(0, 360), Qt::ControlModifier);
    QVERIFY(view->Scale() > fitted / 2);
    QVERIFY(!hBar->isHidden());
    Wheel(surface, QPointF(50, 50), QPoint(0, -120));
    QVERIFY(hBar->value() >= 0);
    view->GoToRoot();
    QVERIFY(
        std::abs(surface->ToLocal(187, 187).x() -
                 QRectF(frame->contentsRect()).translated(-QPointF(surface->pos())).center().x()) <=
            1 ||
        hBar->value() == 0);
    QCOMPARE(menu.actions().size(), 8);  // seven actions and a separator
  }

  // ---- Painting -------------------------------------------------------------

  void levelOfDetail_data() {
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("detail");
    QTest::newRow("400 %") << 4.0 << int(TreeUi::Detail::Full);
    QTest::newRow("100 %") << 1.0 << int(TreeUi::Detail::Full);
    QTest::newRow("55 %: captions of 6 px") << 0.55 << int(TreeUi::Detail::Full);
    QTest::newRow("50 %: captions too small") << 0.5 << int(TreeUi::Detail::Circles);
    QTest::newRow("17 %: circles of 4 px") << 0.17 << int(TreeUi::Detail::Circles);
    QTest::newRow("15 %: dots") << 0.15 << int(TreeUi::Detail::Dots);
    QTest::newRow("1/30000") << 1.0 / 30000 << int(TreeUi::Detail::Dots);
  }
  void levelOfDetail() {
    QFETCH(double, zoom);
    QFETCH(int, detail);
    TreeCore::ElementArrays e;
    TreeUi::ViewTransform t{DesignScale * zoom, DesignScale * zoom, 0, 0};
    QCOMPARE(int(TreeUi::DetailAt(t, e)), detail);
    // A spread view is sized by its narrower scale.
    t.ScaleY *= 50;
    QCOMPARE(int(TreeUi::DetailAt(t, e)), detail);

    // What the painter draws at that detail: one node with a caption.
    e.ShNode[0].Visible = e.TreeNode[0].Visible = true;
    e.TreeNode[0].Caption = "888";
    const double side = 375 * t.ScaleX;
    QImage image(int(side) + 40, int(side) + 40, QImage::Format_ARGB32);
    t.ScaleY = t.ScaleX;
    t.OffsetX = t.OffsetY = 20;
    QPainter painter(&image);
    TreeUi::PaintElements(painter, e, t, QRectF(image.rect()));
    painter.end();
    const QPoint centre(int(20 + side / 2), int(20 + side / 2));
    const QColor at(image.pixel(centre));
    if (detail == int(TreeUi::Detail::Dots)) {
      QVERIFY(at.lightness() < 120);  // a dark dot
      return;
    }
    // The caption's black pixels inside the circle, at full detail only.
    const bool full = detail == int(TreeUi::Detail::Full);
    if (side <= 10 || (full && side < 20)) return;
    int dark = 0;
    for (int y = int(20 + side * 0.3); y < int(20 + side * 0.8); ++y)
      for (int x = int(20 + side * 0.25); x < int(20 + side * 0.75); ++x)
        if (QColor(image.pixel(x, y)).lightness() < 60) ++dark;
    QCOMPARE(dark > 0, full);
  }

  void decorationsArePainted() {
    TreeCore::ElementArrays e;
    for (std::int16_t k : {std::int16_t(1), std::int16_t(2)}) {
      e.ShNode.Load(k);
      e.TreeNode.Load(k);
    }
    for (std::int16_t k = 0; k < 3; ++k) {
      e.ShNode[k].Left = e.TreeNode[k].Left = 600.0f * k;
      e.ShNode[k].Visible = e.TreeNode[k].Visible = true;
    }
    TreeUi::ElementDecorations d;
    d.Marked = {1, 99, -4};  // unknown elements are passed over
    d.Badges = {"", "", "h=3"};
    d.Warn = {true, false, false};
    TreeUi::PaintOptions options;
    options.Decorations = &d;
    const TreeUi::ViewTransform t{DesignScale, DesignScale, 10, 10};
    QImage image(160, 60, QImage::Format_ARGB32);
    QPainter painter(&image);
    TreeUi::PaintElements(painter, e, t, QRectF(image.rect()), options);
    painter.end();
    auto centre = [&](int k) { return QPointF(10 + 40 * k + 12.5, 10 + 12.5); };
    // The ring around element 1 only.
    QVERIFY(RingPixels(image, centre(1), 12.5 + 3) > 20);
    QCOMPARE(RingPixels(image, centre(2), 12.5 + 3), 0);
    // The warned circle's fill is red, the others' not.
    const QColor warned(image.pixel(centre(0).toPoint() - QPoint(0, 8)));
    const QColor plain(image.pixel(centre(2).toPoint() - QPoint(0, 8)));
    QVERIFY(warned.red() > warned.blue() + 30);
    QVERIFY(plain.red() - plain.blue() < 30);
    // The badge: dark pixels right of element 2's circle.
    int dark = 0;
    for (int y = 12; y < 34; ++y)
      for (int x = 10 + 80 + 26; x < 160; ++x)
        if (QColor(image.pixel(x, y)).lightness() < 150) ++dark;
    QVERIFY(dark > 5);
  }
};

QTEST_MAIN(ViewTests)
#include "ViewTests.moc"
