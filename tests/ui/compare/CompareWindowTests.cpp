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

// The slots of `a`, in order, whose Level differs from that of the node of
// `b` at the same in-order position.
std::vector<std::int32_t> Differing(const TreeCore::TreeRec& a, const TreeCore::TreeRec& b) {
  const auto x = TreeTrace::InOrderSlots(a), y = TreeTrace::InOrderSlots(b);
  std::vector<std::int32_t> out;
  for (std::size_t k = 0; k < x.size(); ++k)
    if (a.Nodes[static_cast<std::size_t>(x[k].Slot)].Level !=
        b.Nodes[static_cast<std::size_t>(y[k].Slot)].Level)
      out.push_back(x[k].Slot);
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
    // Value 3: a fix-up against RR; 7: 4 levels against 3; 15: 5 against 4.
    const std::pair<int, const char*> rows[] = {
        {2, "3|fix-ups 1|RR 1|2|2"}, {6, "7||RR 1|4|3"}, {14, "15|RR 1, fix-ups 2|RR 1|5|4"}};
    for (const auto& [row, cells] : rows) {
      QStringList texts;
      for (int c = 0; c < 5; ++c) texts << table->item(row, c)->text();
      QCOMPARE(texts.join('|'), QString::fromLatin1(cells));
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
    // A node clicked in one pane selects the same value in the other.
    emit compare->findChild<TreeUi::DrawSurface*>(QStringLiteral("AvlSurface"))->LabelClicked(0);
    const std::int32_t left = compare->SelectedSlot(0), right = compare->SelectedSlot(1);
    QVERIFY(left >= 0 && right >= 0);
    QCOMPARE(compare->Shown(0).Nodes[static_cast<std::size_t>(left)].Data,
             compare->Shown(1).Nodes[static_cast<std::size_t>(right)].Data);
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
