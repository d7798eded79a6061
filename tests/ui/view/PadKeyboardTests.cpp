// The pad from the keyboard and through Qt's accessibility: F6, the node
// cursor, Enter, Escape, and the nodes a screen reader finds.
#include <QAccessible>
#include <QMenu>
#include <QTest>
#include <algorithm>

#include "UiTestSupport.h"
#include "steps/StepsWindow.h"

using UiTest::Harness;

namespace {

// The value under the pad's ring.
int CursorValue(const Harness& h) {
  const std::vector<int>& marked = h.Surface()->Decorations().Marked;
  if (marked.size() != 1) return -99999;
  return h.Window->Elements().TreeNode[static_cast<std::int16_t>(marked[0])].Caption.empty()
             ? -99999
             : std::stoi(
                   h.Window->Elements().TreeNode[static_cast<std::int16_t>(marked[0])].Caption);
}

// Whether the label and circle of `element` lie wholly inside the pad.
bool WhollyInSight(const Harness& h, int element) {
  const auto k = static_cast<std::int16_t>(element);
  const TreeCore::Label& l = h.Window->Elements().TreeNode[k];
  const TreeCore::Shape& c = h.Window->Elements().ShNode[k];
  const QRectF node = QRectF(h.Surface()->ToLocal(l.Left, l.Top),
                             h.Surface()->ToLocal(l.Left + l.Width, l.Top + l.Height)) |
                      QRectF(h.Surface()->ToLocal(c.Left, c.Top),
                             h.Surface()->ToLocal(c.Left + c.Width, c.Top + c.Height));
  const auto* viewport = static_cast<QWidget*>(h.Surface()->parent());
  return QRectF(viewport->contentsRect()).translated(-h.Surface()->pos()).contains(node);
}

}  // namespace

class PadKeyboardTests : public QObject {
  Q_OBJECT

 private slots:
  void cursorWalksTheTreeAndEnterShowsTheNode() {
    Harness h;
    QVERIFY(h.Active);
    h.GetTree(QStringLiteral("50,30,70,20,40,60,80"));
    h.Box("txtSearchNode")->setFocus();
    QVERIFY(h.Status()->text().isEmpty());

    QTest::keyClick(h.Box("txtSearchNode"), Qt::Key_F6);
    QVERIFY(h.Surface()->hasFocus());
    QCOMPARE(CursorValue(h), 50);
    const struct {
      Qt::Key Key;
      Qt::KeyboardModifiers Modifiers;
      int Value;
    } walk[] = {
        {Qt::Key_Left, {}, 30},
        {Qt::Key_Left, {}, 20},
        {Qt::Key_Left, {}, 20},
        {Qt::Key_Up, {}, 30},
        {Qt::Key_Right, {}, 40},
        {Qt::Key_Right, Qt::ControlModifier, 50},
        {Qt::Key_Right, Qt::ControlModifier, 60},
        {Qt::Key_Right, Qt::ControlModifier, 70},
        {Qt::Key_Left, Qt::ControlModifier, 60},
        {Qt::Key_Up, {}, 70},
        {Qt::Key_Up, {}, 50},
        {Qt::Key_Up, {}, 50},
        {Qt::Key_Right, {}, 70},
        {Qt::Key_Home, {}, 50},
        {Qt::Key_Right, {}, 70},
        {Qt::Key_Right, {}, 80},
    };
    for (const auto& step : walk) {
      QTest::keyClick(h.Surface(), step.Key, step.Modifiers);
      QCOMPARE(CursorValue(h), step.Value);
    }
    // Enter shows the node as a click on it does.
    QTest::keyClick(h.Surface(), Qt::Key_Return);
    const QString shown = h.Status()->text();
    QVERIFY(shown.contains(QStringLiteral("80")));
    h.Status()->clear();
    const int k = h.Surface()->Decorations().Marked.front();
    QTest::mouseClick(h.Surface(), Qt::LeftButton, {},
                      h.LabelCentre(static_cast<std::int16_t>(k)).toPoint());
    QCOMPARE(h.Status()->text(), shown);

    // Escape gives the keyboard back; a click never took it.
    QTest::keyClick(h.Surface(), Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), h.Box("txtSearchNode"));
  }

  // Every node the cursor reaches in order, the rightmost included, is
  // scrolled wholly into view.
  void theCursorsNodeIsWhollyInView() {
    Harness h;
    QStringList values;
    for (int v = 1; v <= 40; ++v) values << QString::number(v * 500);
    h.GetTree(values.join(QLatin1Char(',')));
    h.Box("txtSearchNode")->setFocus();
    QTest::keyClick(h.Box("txtSearchNode"), Qt::Key_F6);
    for (int last = -1; CursorValue(h) != last;) {
      last = CursorValue(h);
      QVERIFY(last > 0);
      QVERIFY2(WhollyInSight(h, h.Surface()->Decorations().Marked.front()),
               qPrintable(QString::number(last)));
      QTest::keyClick(h.Surface(), Qt::Key_Right, Qt::ControlModifier);
    }
    QCOMPARE(CursorValue(h), 20000);
  }

  // Shift+F10 opens the menu of the control with the focus, as the Menu key
  // does: each box's own, and the pad's at the cursor.
  void shiftF10OpensEachControlsMenu() {
    Harness h;
    h.GetTree(QStringLiteral("2,1,3"));
    const struct {
      const char* Control;
      const char* Action;  // an action the menu must hold
    } menus[] = {{"TxtGetTree", "OpenList"},
                 {"txtSearchNode", "edit-paste"},
                 {"txtEraseNode", "edit-paste"},
                 {"PicInDrawPad", "BalancingStepsAction"}};
    for (const auto& m : menus) {
      auto* control = h.Find<QWidget>(m.Control);
      if (control == h.Surface())
        QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_F6);
      else
        control->setFocus();
      QVERIFY2(QApplication::focusWidget() == control, m.Control);
      QTest::keyClick(control, Qt::Key_F10, Qt::ShiftModifier);
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      QVERIFY2(menu != nullptr, m.Control);
      const QList<QAction*> actions = menu->actions();
      QVERIFY2(std::any_of(actions.begin(), actions.end(),
                           [&](QAction* a) { return a->objectName() == m.Action; }),
               m.Control);
      menu->close();
    }
  }

  // What a screen reader reads for each control: the label beside it, and
  // the window is a frame.
  void everyControlHasItsLabelAsItsName() {
    Harness h;
    const struct {
      const char* Control;
      const char* Name;
    } names[] = {
        {"TxtGetTree",
         "Enter an array of integer numbers in the Textbox separated by a comma each of them "
         "(Example: 1, 2, 3)"},
        {"txtSearchNode", "Number to Search:"},
        {"txtEraseNode", "Enter the number to Erase:"},
        {"CmdGetTree", "Get Tree!"},
        {"cmdSearchNode", "Search"},
        {"CmdEraseTree", "Erase"},
        {"CmdClearTree", "Clear Tree"},
    };
    for (const auto& n : names)
      QCOMPARE(QAccessible::queryAccessibleInterface(h.Find<QWidget>(n.Control))
                   ->text(QAccessible::Name),
               QString::fromUtf8(n.Name));
    for (auto* bar : h.Window->findChildren<QScrollBar*>())
      QVERIFY(!QAccessible::queryAccessibleInterface(bar)->text(QAccessible::Name).isEmpty());
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(h.Window.get());
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name), h.Window->windowTitle());
  }

  void screenReadersFindTheNodes() {
    Harness h;
    h.GetTree(QStringLiteral("50,30,70,20,40,60,80"));
    QAccessibleInterface* pad = QAccessible::queryAccessibleInterface(h.Surface());
    QVERIFY(pad != nullptr);
    QCOMPARE(pad->childCount(), 7);
    QStringList names;
    for (int i = 0; i < pad->childCount(); ++i) names << pad->child(i)->text(QAccessible::Name);
    names.sort();
    QCOMPARE(names, (QStringList{
                        "20, leaf, level 3, left height 0, right height 0",
                        "30, interior, level 2, left height 1, right height 1",
                        "40, leaf, level 3, left height 0, right height 0",
                        "50, root, level 1, left height 2, right height 2",
                        "60, leaf, level 3, left height 0, right height 0",
                        "70, interior, level 2, left height 1, right height 1",
                        "80, leaf, level 3, left height 0, right height 0",
                    }));
    // The cursor is the focused child.
    h.Box("TxtGetTree")->setFocus();
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_F6);
    QAccessibleInterface* focused = pad->focusChild();
    QVERIFY(focused != nullptr);
    QVERIFY(focused->state().focused);
    QVERIFY(focused->text(QAccessible::Name).startsWith(QStringLiteral("50, root")));
    // The steps window's pane shows the same tree after the last value.
    QWidget* steps = h.Window->OpenBalancingSteps();
    QAccessibleInterface* pane = QAccessible::queryAccessibleInterface(
        steps->findChild<QWidget*>(QStringLiteral("StepsSurface")));
    QCOMPARE(pane->childCount(), 7);
    QCOMPARE(pane->child(0)->text(QAccessible::Name), names[3]);
  }
};

QTEST_MAIN(PadKeyboardTests)
#include "PadKeyboardTests.moc"
