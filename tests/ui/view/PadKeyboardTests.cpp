// The pad from the keyboard and through Qt's accessibility: F6, the node
// cursor, Enter, Escape, and the nodes a screen reader finds.
#include <QAccessible>
#include <QTest>

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
