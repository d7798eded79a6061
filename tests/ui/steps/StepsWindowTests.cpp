// The "Balancing Steps" window and "Show Balance": opening, stepping, marks,
// the summary, Save Trace, and that none of it disturbs the main window.
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <sstream>

#include "BalanceBadges.h"
#include "EngineState.h"
#include "TraceMode.h"
#include "TraceRecorder.h"
#include "UiTestSupport.h"
#include "steps/StepsWindow.h"
#include "view/DrawSurface.h"

namespace {

QString Range(int from, int to) {
  QStringList v;
  for (int i = from; i <= to; ++i) v << QString::number(i);
  return v.join(',');
}

// The JSON lines `treetest --trace` prints for `input`.
QString TraceOutput(const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out, err;
  TreeTrace::RunTraceMode(in, out, err);
  return QString::fromStdString(out.str());
}

TreeCore::TreeRec Direct(const std::vector<std::int16_t>& values, std::size_t count) {
  TreeCore::TreeRec t;
  TreeCore::ResetTree(t, false);
  for (std::size_t i = 0; i < count; ++i) TreeCore::InsertValue(t, values[i]);
  return t;
}

}  // namespace

class StepsWindowTests : public QObject {
  Q_OBJECT

 private slots:
  void menuAndShortcutOpenOneWindow() {
    UiTest::Harness h;
    QVERIFY(h.Active);
    QStringList texts;
    for (QAction* a : h.Window->PadMenu()->actions()) texts << a->text();
    QVERIFY(texts.contains(QStringLiteral("Balancing Steps\u2026")));
    QVERIFY(texts.contains(QStringLiteral("Show Balance")));
    QVERIFY(h.Window->ShowBalanceAction()->isCheckable());
    QVERIFY(!h.Window->ShowBalanceAction()->isChecked());
    QVERIFY(h.Window->BalancingSteps() == nullptr);

    // F2 from whichever control has the focus.
    for (const char* box : {"txtEraseNode", "TxtGetTree"}) {
      h.Box(box)->setFocus();
      QTest::keyClick(h.Box(box), Qt::Key_F2);
      QVERIFY2(h.Window->BalancingSteps() != nullptr, box);
      QVERIFY(h.Window->BalancingSteps()->isVisible());
      QVERIFY(!h.Window->BalancingSteps()->isModal());
      QCOMPARE(h.Window->BalancingSteps()->windowTitle(), QStringLiteral("Balancing Steps"));
      QApplication::setActiveWindow(h.Window.get());
      QVERIFY(QTest::qWaitForWindowActive(h.Window.get()));
    }
    QCOMPARE(h.Window->findChildren<TreeUi::StepsWindow*>().size(), 1);
  }

  void steppingShowsTheTreeAfterEachValue() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    h.GetTree(Range(1, 15));
    std::vector<std::int16_t> values;
    for (int i = 1; i <= 15; ++i) values.push_back(static_cast<std::int16_t>(i));

    QCOMPARE(steps->List()->topLevelItemCount(), 16);  // the summary and one row per value
    QCOMPARE(steps->List()->topLevelItem(1)->text(0),
             QStringLiteral("Insert 1 (slot 0), the root"));
    QCOMPARE(steps->List()->topLevelItem(2)->text(0),
             QStringLiteral("Insert 2 (slot 1), right child of 1"));
    QCOMPARE(steps->CurrentValue(), 14);  // follows the command to its last value

    struct Move {
      const char* name;
      std::function<void()> act;
      std::ptrdiff_t want;
    } const moves[] = {
        {"first", [&] { steps->First(); }, 0},
        {"back at the first", [&] { steps->Back(); }, 0},
        {"forward", [&] { steps->Forward(); }, 1},
        {"right arrow", [&] { QTest::keyClick(steps->List(), Qt::Key_Right); }, 2},
        {"left arrow", [&] { QTest::keyClick(steps->List(), Qt::Key_Left); }, 1},
        {"button", [&] { steps->findChild<QPushButton*>("Forward")->click(); }, 2},
        {"last", [&] { steps->Last(); }, 14},
        {"forward at the last", [&] { steps->Forward(); }, 14},
        {"row 7", [&] { steps->List()->setCurrentItem(steps->List()->topLevelItem(8)); }, 7},
    };
    for (const auto& m : moves) {
      m.act();
      QVERIFY2(steps->CurrentValue() == m.want, m.name);
      const auto i = static_cast<std::size_t>(steps->CurrentValue());
      const TreeCore::TreeRec want = Direct(values, i + 1);
      QCOMPARE(steps->ShownTree().Count, want.Count);
      QCOMPARE(steps->ShownTree().Root, want.Root);
      for (std::size_t n = 0; n < static_cast<std::size_t>(want.Count); ++n)
        QVERIFY2(steps->ShownTree().Nodes[n].Parent == want.Nodes[n].Parent, m.name);
      // The pane draws that tree: one visible label per node.
      int labels = 0;
      const auto& array = steps->Elements().TreeNode;
      for (std::int32_t k = 0; k < array.UpperBound(); ++k)
        labels += array.IsLoaded(static_cast<std::int16_t>(k)) &&
                  array[static_cast<std::int16_t>(k)].Visible;
      QCOMPARE(labels, want.Count);
      QVERIFY(steps->LastStepMilliseconds() < 100);
    }
  }

  void stepsNeverTouchTheMainWindow() {
    UiTest::Harness h;
    h.GetTree(Range(1, 20));
    const TreeCore::TreeRec before = TreeCore::MainTree;
    const auto captions = UiTest::ShownCaptions(*h.Window);
    QTest::mouseClick(h.Surface(), Qt::LeftButton, {}, h.LabelCentre(0).toPoint());
    const QString status = h.Status()->text();
    QVERIFY(!status.isEmpty());

    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    h.GetTree(Range(1, 20));
    const TreeCore::TreeRec after = TreeCore::MainTree;
    for (std::size_t i = 0; i < 20; ++i) {
      steps->ShowValue(i);
      steps->ShowSummary();
    }
    QCOMPARE(TreeCore::MainTree.Count, after.Count);
    QCOMPARE(TreeCore::MainTree.Root, after.Root);
    QCOMPARE(TreeCore::MainTree.Height, after.Height);
    for (std::size_t n = 0; n < 20; ++n) {
      QCOMPARE(TreeCore::MainTree.Nodes[n].Parent, before.Nodes[n].Parent);
      QCOMPARE(TreeCore::MainTree.Nodes[n].Level, before.Nodes[n].Level);
    }
    QCOMPARE(UiTest::ShownCaptions(*h.Window), captions);
    QCOMPARE(h.Status()->text(), status);
    QVERIFY(h.Sink.Messages.empty());
  }

  void steppingByEventShowsTheTreesBeforeAndAfter() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    h.GetTree(Range(1, 15));
    steps->ShowValue(11);
    QTest::keyClick(steps->List(), Qt::Key_Right, Qt::ShiftModifier);  // Insert 13
    QCOMPARE(steps->CurrentValue(), 12);
    QCOMPARE(steps->CurrentEvent(), 0);
    const auto events = steps->Recorder().Step(12).EventCount;
    QVERIFY(steps->StatusText().startsWith(
        QStringLiteral("Value 13 of 15 \u00b7 event 1 of %1").arg(events)));
    QCOMPARE(steps->BeforeTree().Count, 12);
    QCOMPARE(steps->ShownTree().Count, 13);
    // From rotation or fix-up to the next, up to the RR rotation at 3.
    const QString rr = QStringLiteral("RR rotation at 3: 4 takes its place");
    for (int n = 0; n < 8 && steps->List()->currentItem()->text(0) != rr; ++n)
      QTest::keyClick(steps->List(), Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(steps->List()->currentItem()->text(0), rr);
    QCOMPARE(steps->List()->currentItem()->toolTip(0), rr);
    const TreeCore::TreeRec before = steps->BeforeTree();
    const auto& three = before.Nodes[static_cast<std::size_t>(TreeCore::FindValue(before, 3))];
    QCOMPARE(before.Nodes[static_cast<std::size_t>(three.RightChild)].Data, 4);
    const auto event = steps->CurrentEvent();
    QVERIFY(steps->ReasonText().startsWith(QStringLiteral("Why: Chain 3, 4, 5: ")));
    // Top, middle, bottom and the new top, in both panes.
    QCOMPARE(steps->BeforePane()->RoleRings().size(), std::size_t{4});
    QCOMPARE(steps->Pane()->RoleRings().size(), std::size_t{4});
    QVERIFY(steps->StatusText().startsWith(
        QStringLiteral("Value 13 of 15 \u00b7 event %1 of %2").arg(event + 1).arg(events)));
    // Back one event and forward again: the same states.
    steps->findChild<QPushButton*>("EventBack")->click();
    QCOMPARE(steps->CurrentEvent(), event - 1);
    steps->findChild<QPushButton*>("EventForward")->click();
    QCOMPARE(steps->BeforeTree()
                 .Nodes[static_cast<std::size_t>(TreeCore::FindValue(before, 3))]
                 .RightChild,
             three.RightChild);
    // Show Balance badges both panes; a whole value hides the before pane.
    steps->ShowBalanceBox()->setChecked(true);
    QCOMPARE(static_cast<int>(steps->BeforePane()->Decorations().Badges.size()), before.Count);
    QCOMPARE(static_cast<int>(steps->Pane()->Decorations().Badges.size()), 13);
    steps->List()->setCurrentItem(steps->List()->topLevelItem(3));
    QCOMPARE(steps->CurrentEvent(), -1);
    QCOMPARE(steps->StatusText(), QStringLiteral("Value 3 of 15"));
    QCOMPARE(steps->BeforeTree().Count, 0);
    QVERIFY(steps->ReasonText().isEmpty());
  }

  void marksNameTheNodesOfTheEvents() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    h.GetTree(QStringLiteral("50,25,75,10,90,95"));
    // 95 went to node 5 and set off "RR" at 75 (node 2): 75, 90 and 95 are marked.
    steps->ShowValue(5);
    QCOMPARE(steps->MarkedNodes(), (std::vector<std::int32_t>{2, 4, 5}));
    QCOMPARE(steps->Pane()->Decorations().Marked.size(), std::size_t{3});
    QTreeWidgetItem* row = steps->List()->topLevelItem(6);
    row->setExpanded(true);
    QCOMPARE(row->childCount(), 1);
    QCOMPARE(row->child(0)->text(0), QStringLiteral("RR rotation at 75: 90 takes its place"));
    // 10 went below 25 and balanced nothing: only its own node.
    steps->ShowValue(3);
    QCOMPARE(steps->MarkedNodes(), std::vector<std::int32_t>{3});
  }

  void summaryMarksTheUnbalancedNodes() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    h.GetTree(Range(1, 40));
    steps->List()->setCurrentItem(steps->List()->topLevelItem(0));
    QCOMPARE(steps->CurrentValue(), -1);
    const TreeTrace::TraceSummary s = steps->Recorder().Summary();
    QCOMPARE(s.Values, std::size_t{40});
    QCOMPARE(s.Nodes, 40);
    QCOMPARE(s.LeastLevels, 6);
    QCOMPARE(steps->MarkedNodes(), TreeTrace::UnbalancedNodes(TreeCore::MainTree));
    QCOMPARE(static_cast<int>(steps->MarkedNodes().size()), s.Unbalanced);
    const QString text = steps->List()->topLevelItem(0)->text(0);
    QVERIFY2(text.startsWith(QStringLiteral("Get Tree: 40 values; rotations RR ")),
             qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("40 nodes")));
    QVERIFY(text.contains(QStringLiteral("least possible levels 6")));
  }

  void eraseIsFollowedWithItsStop() {
    UiTest::Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    h.Box("txtEraseNode")->setText(QStringLiteral("3,99"));
    h.Button("CmdEraseTree")->click();
    QCOMPARE(h.Sink.Messages.size(), std::size_t{1});
    QCOMPARE(h.Sink.Messages[0].Text, QStringLiteral("The Element does not exist in the tree"));
    QCOMPARE(steps->List()->topLevelItemCount(), 3);  // summary, "Erase 3", the stop
    QCOMPARE(steps->List()->topLevelItem(1)->text(0),
             QStringLiteral("Erase 3 (slot 1), left child of 5"));
    // The removed position: its parent, 5, now in slot 0.
    steps->ShowValue(0);
    QCOMPARE(steps->MarkedNodes(), std::vector<std::int32_t>{0});
    QCOMPARE(steps->List()->topLevelItem(2)->text(0),
             QStringLiteral("The Element does not exist in the tree"));
    QCOMPARE(steps->ShownTree().Count, 2);
    QVERIFY(steps->SummaryText().endsWith(
        QStringLiteral("(stopped: The Element does not exist in the tree)")));
  }

  void saveTraceWritesTheCommandLineTrace() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("trace.jsonl"));
    QString error;
    QVERIFY(!steps->SaveTrace(path, &error));  // nothing recorded yet
    QVERIFY(!QFile::exists(path));

    const std::string list = "50,25,75,10,90,85,7,3,2,1";
    h.GetTree(QString::fromStdString(list));
    QVERIFY(steps->SaveTrace(path, &error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString saved = QString::fromUtf8(file.readAll());
    QCOMPARE(saved, TraceOutput("get " + list + "\n"));
    QVERIFY(
        saved.contains(QStringLiteral(R"({"event":"rotate","kind":"RL","node":2,"value":75})")));
    QVERIFY(!QFile::exists(path + QStringLiteral(".part")));

    // A folder that does not exist: refused, and nothing is left behind.
    const QString bad = dir.filePath(QStringLiteral("missing/trace.jsonl"));
    QVERIFY(!steps->SaveTrace(bad, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(bad));
  }

  void closingFreesTheRecordingAndStopsIt() {
    UiTest::Harness h;
    QPointer<TreeUi::StepsWindow> steps = h.Window->OpenBalancingSteps();
    h.GetTree(Range(1, 30));
    QVERIFY(steps->Recorder().MemoryBytes() > 0);
    QVERIFY(TreeCore::DefaultEngine().Observer == nullptr);  // attached only while a command runs
    steps->close();
    QTRY_VERIFY(steps.isNull());
    QVERIFY(h.Window->BalancingSteps() == nullptr);
    h.GetTree(Range(1, 10));  // runs with nothing attached
    QCOMPARE(TreeCore::MainTree.Count, 10);
    // Reopened, it shows the command that ran while it was closed, then
    // follows the next one.
    TreeUi::StepsWindow* again = h.Window->OpenBalancingSteps();
    QCOMPARE(again->Recorder().ValueCount(), std::size_t{10});
    QCOMPARE(again->Recorder().Kind(), TreeTrace::CommandKind::Get);
    h.GetTree(Range(1, 5));
    QCOMPARE(again->Recorder().ValueCount(), std::size_t{5});
  }

  // Opened after a command, the window shows that command exactly as if it
  // had been open, and the main tree stays as it is; after Clear Tree there
  // is nothing to show.
  void openedLateShowsTheLastCommand() {
    UiTest::Harness h;
    h.GetTree(Range(1, 20));
    h.Box("txtEraseNode")->setText(QStringLiteral("4,9,99,12"));
    h.Button("CmdEraseTree")->click();
    const std::vector<int> left = UiTest::InOrderValues();
    TreeUi::StepsWindow* late = h.Window->OpenBalancingSteps();
    const TreeTrace::TraceSummary s = late->Recorder().Summary();
    QCOMPARE(s.Kind, TreeTrace::CommandKind::Erase);
    QCOMPARE(s.Values, std::size_t{2});  // 4 and 9; 99 stopped it
    QCOMPARE(s.Message, std::string("The Element does not exist in the tree"));
    QCOMPARE(late->Recorder().After().Count, 18);
    QCOMPARE(UiTest::InOrderValues(), left);
    late->close();
    QTRY_VERIFY(h.Window->BalancingSteps() == nullptr);

    // The same Get Tree recorded live and recorded late gives the same steps.
    TreeUi::StepsWindow* live = h.Window->OpenBalancingSteps();
    QStringList descending;
    for (int v = 30; v >= 1; --v) descending << QString::number(v);
    h.GetTree(descending.join(','));
    const TreeTrace::TraceSummary first = live->Recorder().Summary();
    live->close();
    QTRY_VERIFY(h.Window->BalancingSteps() == nullptr);
    const TreeTrace::TraceSummary second = h.Window->OpenBalancingSteps()->Recorder().Summary();
    QCOMPARE(second.Values, first.Values);
    QCOMPARE(second.FixUps, first.FixUps);
    for (int k = 0; k < 4; ++k) QCOMPARE(second.Rotations[k], first.Rotations[k]);
    h.Window->BalancingSteps()->close();
    QTRY_VERIFY(h.Window->BalancingSteps() == nullptr);

    h.Button("CmdClearTree")->click();
    QVERIFY(h.Window->OpenBalancingSteps()->Recorder().Empty());
  }

  void showBalanceBadgesEveryNode() {
    UiTest::Harness h;
    // 1, 2, 3 and on: the scheme leaves some nodes two or more apart.
    h.GetTree(Range(1, 40));
    QVERIFY(h.Surface()->Decorations().Badges.empty());  // off by default
    h.Window->ShowBalanceAction()->setChecked(true);
    const auto& d = h.Surface()->Decorations();
    const int drawn = TreeCore::DrawnElementCount;
    QCOMPARE(static_cast<int>(d.Badges.size()), drawn);
    const auto& nodes = TreeCore::DefaultDrawing().NodeOfElement;
    QCOMPARE(static_cast<int>(nodes.size()), drawn);
    int warned = 0;
    for (int k = 0; k < drawn; ++k) {
      const auto& n = TreeCore::MainTree.Nodes[static_cast<std::size_t>(nodes[k])];
      const int diff = n.RightHeight - n.LeftHeight;
      QCOMPARE(QString::fromStdString(d.Badges[k]),
               diff > 0 ? QStringLiteral("+%1").arg(diff) : QString::number(diff));
      QCOMPARE(static_cast<bool>(d.Warn[k]), diff >= 2 || diff <= -2);
      warned += d.Warn[k];
      // The element shows that node.
      QCOMPARE(h.Window->Elements().TreeNode[static_cast<std::int16_t>(k)].Caption,
               std::to_string(n.Data));
    }
    QCOMPARE(warned, static_cast<int>(TreeTrace::UnbalancedNodes(TreeCore::MainTree).size()));
    // Badges follow a new drawing, and go with the switch.
    h.GetTree(Range(1, 7));
    QCOMPARE(static_cast<int>(h.Surface()->Decorations().Badges.size()),
             static_cast<int>(TreeCore::DrawnElementCount));
    h.Window->ShowBalanceAction()->setChecked(false);
    QVERIFY(h.Surface()->Decorations().Badges.empty());
    QVERIFY(h.Surface()->Decorations().Warn.empty());
  }

  // Whatever the panes' sizes, the trees are centred: when the Before pane
  // appears and halves the After pane, and when the window grows. Beside an
  // event the two, their roots at one point, are centred together.
  void bothPanesKeepTheirTreesCentred() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    steps->show();
    h.GetTree(Range(1, 15));
    // The drawing's box, from the viewport's centre.
    auto box = [](TreeUi::DrawSurface* pane) {
      const auto b = pane->DrawnBounds();
      auto* viewport = pane->parentWidget();
      const QPointF c = QRectF(viewport->contentsRect()).center();
      return QRectF(pane->mapTo(viewport, pane->ToLocal(b.X0, b.Y0).toPoint()) - c,
                    pane->mapTo(viewport, pane->ToLocal(b.X1, b.Y1).toPoint()) - c);
    };
    auto offCentre = [&](std::initializer_list<TreeUi::DrawSurface*> panes) {
      QRectF both;
      for (TreeUi::DrawSurface* pane : panes) both = both.isNull() ? box(pane) : both | box(pane);
      return both.center().manhattanLength();
    };
    QVERIFY(offCentre({steps->Pane()}) < 4);
    steps->ShowEvent(12, 2);
    QCoreApplication::processEvents();
    const double off = offCentre({steps->Pane(), steps->BeforePane()});
    QVERIFY2(off < 4, qPrintable(QString::number(off)));
    steps->resize(steps->width() + 300, steps->height() + 100);
    QCoreApplication::processEvents();
    QVERIFY(offCentre({steps->Pane(), steps->BeforePane()}) < 4);
  }
};

QTEST_MAIN(StepsWindowTests)
#include "StepsWindowTests.moc"
