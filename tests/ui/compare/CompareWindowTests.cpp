// The "Compare with AVL" window: opening, the per-value table, the marks, the
// history an Erase starts from, and stepping with the Balancing Steps window.
#include <QAction>
#include <QLabel>
#include <QTableWidget>

#include "UiTestSupport.h"
#include "compare/CompareWindow.h"
#include "steps/StepsWindow.h"

namespace {

QString Range(int from, int to) {
  QStringList v;
  for (int i = from; i <= to; ++i) v << QString::number(i);
  return v.join(',');
}

TreeUi::CompareWindow* OpenCompare(UiTest::Harness& h) {
  QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_F3);
  return h.Window->findChild<TreeUi::CompareWindow*>(QStringLiteral("CompareWindow"));
}

// The order, in order, whose level differs from the other tree's node at the
// same in-order position, from the nodes' own Level fields.
std::vector<std::int32_t> Differing(const TreeCore::TreeRec& a, const TreeCore::TreeRec& b) {
  auto inOrder = [](const TreeCore::TreeRec& t) {
    std::vector<std::int32_t> order;
    std::vector<std::int32_t> stack;
    for (std::int32_t n = t.Exists ? t.Root : -1; n != -1 || !stack.empty();) {
      for (; n != -1; n = t.Nodes[static_cast<std::size_t>(n)].LeftChild) stack.push_back(n);
      order.push_back(stack.back());
      n = t.Nodes[static_cast<std::size_t>(stack.back())].RightChild;
      stack.pop_back();
    }
    return order;
  };
  const auto x = inOrder(a), y = inOrder(b);
  std::vector<std::int32_t> out;
  for (std::size_t k = 0; k < x.size(); ++k)
    if (a.Nodes[static_cast<std::size_t>(x[k])].Level !=
        b.Nodes[static_cast<std::size_t>(y[k])].Level)
      out.push_back(x[k]);
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

class CompareWindowTests : public QObject {
  Q_OBJECT

 private slots:
  void followsGetTreeValueByValueWithTheDifferingNodesMarked() {
    UiTest::Harness h;
    QVERIFY(h.Active);
    h.GetTree(Range(1, 15));
    TreeUi::CompareWindow* compare = OpenCompare(h);
    QVERIFY(compare != nullptr);
    QVERIFY(compare->isVisible() && !compare->isModal());
    QTableWidget* table = compare->Table();
    QCOMPARE(table->rowCount(), 15);
    struct Row {
      int row;
      const char* scheme;
      const char* avl;
      const char* levels;
      const char* avlLevels;
    } const rows[] = {{2, "fix-ups 1", "RR 1", "2", "2"},
                      {6, "", "RR 1", "4", "3"},
                      {14, "RR 1, fix-ups 2", "RR 1", "5", "4"}};
    for (const Row& r : rows) {
      QCOMPARE(table->item(r.row, 1)->text(), QString::fromLatin1(r.scheme));
      QCOMPARE(table->item(r.row, 2)->text(), QString::fromLatin1(r.avl));
      QCOMPARE(table->item(r.row, 3)->text(), QString::fromLatin1(r.levels));
      QCOMPARE(table->item(r.row, 4)->text(), QString::fromLatin1(r.avlLevels));
    }
    QCOMPARE(compare->findChild<QLabel*>(QStringLiteral("SchemeSummary"))->text(),
             QStringLiteral("Rotations: RR 6; fix-ups: 10"));
    QCOMPARE(compare->CurrentValue(), 14);
    for (std::ptrdiff_t i : {14, 3, 6}) {
      compare->ShowValue(i);
      QCOMPARE(compare->Shown(0).Count, static_cast<std::int32_t>(i + 1));
      QCOMPARE(compare->Marked(0), Differing(compare->Shown(0), compare->Shown(1)));
      QCOMPARE(compare->Marked(1), Differing(compare->Shown(1), compare->Shown(0)));
    }
    QVERIFY(!compare->Marked(0).empty());  // 1..7: 4 levels against 3
  }

  void anEraseStartsBothTreesFromTheSameHistory() {
    UiTest::Harness h;
    TreeUi::CompareWindow* compare = OpenCompare(h);
    h.GetTree(Range(1, 15));
    h.Box("txtEraseNode")->setText(QStringLiteral("8,99,1"));
    h.Button("CmdEraseTree")->click();
    QCOMPARE(compare->Table()->rowCount(), 1);  // stopped at 99
    // AVL's 1..15 is perfect; erasing its root 8 moves the successor 9 up.
    const TreeCore::TreeRec& avl = compare->Shown(1);
    QCOMPARE(avl.Count, 14);
    QCOMPARE(avl.Nodes[static_cast<std::size_t>(avl.Root)].Data, std::int16_t{9});
    QCOMPARE(compare->Shown(0).Count, TreeCore::MainTree.Count);
  }

  void stepsInStepWithTheBalancingStepsWindow() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    TreeUi::CompareWindow* compare = OpenCompare(h);
    h.GetTree(QStringLiteral("5,5,3,9,1,7,5,2"));
    steps->ShowValue(3);
    QCOMPARE(compare->CurrentValue(), 3);
    compare->First();
    QCOMPARE(steps->CurrentValue(), 0);
    compare->Forward();
    QCOMPARE(steps->CurrentValue(), 1);
    QCOMPARE(compare->Marked(0), Differing(compare->Shown(0), compare->Shown(1)));
  }
};

QTEST_MAIN(CompareWindowTests)
#include "CompareWindowTests.moc"
