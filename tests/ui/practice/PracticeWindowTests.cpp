// The practice window: F7 and the pad menu, each level answered through its
// controls and the keyboard, wrong answers that do not advance, the hint,
// and results that --practice grades again.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <sstream>

#include "UiTestSupport.h"
#include "pane/TreePane.h"
#include "practice/PracticeWindow.h"
#include "view/DrawSurface.h"

namespace {

using Practice::Level;
using Practice::StepKind;
using TreeUi::PracticeWindow;

QPushButton* EventButton(PracticeWindow& w, const char* name) {
  return w.findChild<QPushButton*>(QStringLiteral("PracticeEvent_") + QLatin1String(name));
}

// The button that names `step` at level 1, and one that does not.
QPushButton* ButtonFor(PracticeWindow& w, const Practice::Step& s, bool right) {
  static const char* chains[] = {"RR", "RL", "LL", "LR"};
  switch (s.Kind) {
    case StepKind::Insert:
      return EventButton(w, right ? "insert" : "balanced");
    case StepKind::Rotate:
      return EventButton(w, chains[(static_cast<int>(s.Chain) + (right ? 0 : 1)) % 4]);
    case StepKind::FixUp:
      return EventButton(w, s.Right == right ? "right_fix-up" : "left_fix-up");
    case StepKind::Erase:
      return EventButton(w, right ? "erase" : "missing");
    case StepKind::Balanced:
      return EventButton(w, right ? "balanced" : "RR");
    case StepKind::Missing:
      return EventButton(w, right ? "missing" : "balanced");
  }
  return nullptr;
}

// Moves the pane's cursor with the Right key until it stands on `target`.
bool WalkTo(PracticeWindow& w, TreeUi::PracticeTarget target) {
  QWidget* surface = w.Pane()->Surface();
  for (int k = 0; k < 200 && !(w.Cursor() == target); ++k) QTest::keyClick(surface, Qt::Key_Right);
  if (!(w.Cursor() == target))
    for (int k = 0; k < 200 && !(w.Cursor() == target); ++k) QTest::keyClick(surface, Qt::Key_Left);
  return w.Cursor() == target;
}

}  // namespace

class PracticeWindowTests : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UiTest::MakeWarningsFatal(); }

  // F7 from any control opens it on the Get Tree box's list; the pad menu
  // lists it right after Balancing Steps; the main tree is left alone.
  void OpensFromF7AndTheMenu() {
    // The main window is not shown: offscreen, its own first layout asks
    // the platform for size hints it cannot give (a warning, fatal here).
    TreeCore::ResetModuleState();
    TreeCore::ResetDrawingState();
    frmTreeTest main;
    main.findChild<QLineEdit*>(QStringLiteral("TxtGetTree"))->setText(QStringLiteral("5, 3, 8"));
    auto* action = main.findChild<QAction*>(QStringLiteral("PracticeAction"));
    QVERIFY(action != nullptr);
    QCOMPARE(action->shortcut(), QKeySequence(Qt::Key_F7));
    QCOMPARE(action->shortcutContext(), Qt::WindowShortcut);
    QVERIFY(main.actions().contains(action));
    // In the pad's menu, right after Balancing Steps.
    const QMenu* menu = nullptr;
    for (const QMenu* m : main.findChildren<QMenu*>())
      if (m->actions().contains(action)) menu = m;
    QVERIFY(menu != nullptr);
    const auto actions = menu->actions();
    QCOMPARE(actions[actions.indexOf(action) - 1], main.BalancingStepsAction());
    action->trigger();
    auto* practice = main.findChild<PracticeWindow*>();
    QVERIFY(practice != nullptr);
    QVERIFY(practice->isVisible() && practice->isWindow() && !practice->isModal());
    QCOMPARE(practice->ListText(), QStringLiteral("Get Tree: <b>[5]</b>, 3, 8"));
    QCOMPARE(TreeCore::MainTree.Count, 0);  // the main tree is left alone
    delete practice;
  }

  // Every level, right through the list: at each step one wrong answer
  // first on every other step (refused, the step kept), then the right one;
  // nodes and places chosen with the arrow keys and Enter.
  void EachLevelByTheKeyboard() {
    for (const Level level : {Level::Event, Level::Node, Level::Place}) {
      PracticeWindow w;
      w.show();
      QApplication::setActiveWindow(&w);
      QVERIFY(QTest::qWaitForWindowActive(&w));
      w.SetLevel(level);
      // Duplicates, rotations, fix-ups; then an exercise whose Erase has a
      // value that is missing.
      std::uint64_t steps = 0, wrongs = 0;
      for (int source = 0; source < 2; ++source) {
        if (source == 0)
          w.StartList(QStringLiteral("50, 25, 75, 10, 90, 95, 1, 2, 3, 3"));
        else
          w.StartExercise(4, 2);
        while (!w.Finished()) {
          QVERIFY(steps < 400);
          const Practice::Step s = w.Checker().Current();
          if (level >= Level::Node && (s.Kind == StepKind::Rotate || s.Kind == StepKind::FixUp ||
                                       s.Kind == StepKind::Erase)) {
            QVERIFY(WalkTo(w, {s.Node, false, false}));
            QTest::keyClick(w.Pane()->Surface(), Qt::Key_Return);
            QCOMPARE(w.Chosen(), s.Node);
          }
          if (steps % 2 == 1) {
            ButtonFor(w, s, false)->click();
            QVERIFY2(w.Words().startsWith(QStringLiteral("Not so: ")) ||
                         w.Words().startsWith(QStringLiteral("Choose")),
                     qPrintable(w.Words()));
            QCOMPARE(w.Checker().Current().Kind, s.Kind);
            if (w.Words().startsWith(QStringLiteral("Not so: "))) ++wrongs;
          }
          if (s.Kind == StepKind::Insert && level == Level::Place) {
            QVERIFY(WalkTo(w, {s.Parent, true, s.Parent != -1 && s.Right}));
            QTest::keyClick(w.Pane()->Surface(), Qt::Key_Enter);
          } else if (s.Kind == StepKind::Balanced) {
            QTest::keyClick(w.Pane()->Surface(), Qt::Key_B);
          } else {
            ButtonFor(w, s, true)->click();
          }
          QVERIFY2(w.Words().startsWith(QStringLiteral("Right: ")), qPrintable(w.Words()));
          ++steps;
        }
        if (source == 0) {
          QCOMPARE(w.Total().Steps, steps);
          QCOMPARE(w.Total().FirstTry, steps - wrongs);
          QVERIFY(w.Words().contains(QStringLiteral("Finished: Steps %1").arg(steps)));
        }
      }
      QVERIFY(wrongs >= 8);
      QVERIFY(w.Words().contains(QStringLiteral("Finished: ")));
    }
  }

  // Hints: the badges first, then a ring on the next event's node; at a
  // step that names no node, no ring. Each press counts.
  void HintsAndShowMe() {
    PracticeWindow w;
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.StartList(QStringLiteral("1, 2, 3"));
    for (int k = 0; k < 5; ++k) w.ShowMe();  // 1, 2 placed; 3 placed
    QCOMPARE(w.Checker().Current().Kind, StepKind::FixUp);
    QVERIFY(!w.BadgesShown());
    QTest::keyClick(w.Pane()->Surface(), Qt::Key_H);
    QVERIFY(w.BadgesShown());
    QCOMPARE(w.HintRing(), -1);
    QTest::keyClick(w.Pane()->Surface(), Qt::Key_H);
    QCOMPARE(w.HintRing(), w.Checker().Current().Node);
    w.ShowMe();
    QCOMPARE(w.Checker().Current().Kind, StepKind::Balanced);
    w.Hint();
    w.Hint();
    QCOMPARE(w.HintRing(), -1);
    QCOMPARE(w.Checker().CurrentScore().Hints, 4u);
    QCOMPARE(w.Checker().CurrentScore().Shown, 6u);
  }

  // An exercise by its seed twice is the same; its saved results are
  // graded again by --practice to the same score (hints aside).
  void ExerciseAndResults() {
    PracticeWindow w;
    w.show();
    w.StartExercise(77, 2);
    const QString list = w.ListText();
    w.SetLevel(Level::Node);
    int k = 0;
    while (!w.Finished() && k < 300) {
      if (k++ % 3 == 0) EventButton(w, "LR")->click();
      w.ShowMe();
    }
    QVERIFY(w.Finished());
    w.StartExercise(78, 2);
    QVERIFY(w.ListText() != list);
    w.StartExercise(77, 2);
    QCOMPARE(w.ListText(), list);
    w.SetLevel(Level::Event);
    while (!w.Finished()) {
      EventButton(w, "missing")->click();
      w.ShowMe();
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("results.txt"));
    QVERIFY(w.SaveResults(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    std::istringstream in(file.readAll().toStdString());
    std::ostringstream out;
    QCOMPARE(Practice::RunPracticeMode(in, out), 0);
    // The score lines added up are the window's total, hints aside.
    std::uint64_t sum[5] = {0, 0, 0, 0, 0};
    const char* names[5] = {
        "\"steps\":", "\"first_try\":", "\"tries\":", "\"shown\":", "\"unanswered\":"};
    std::istringstream lines(out.str());
    int scores = 0;
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("{\"event\":\"score\"", 0) != 0) continue;
      ++scores;
      for (int i = 0; i < 5; ++i)
        sum[i] += std::stoull(line.substr(line.find(names[i]) + std::string(names[i]).size()));
    }
    QCOMPARE(scores, 2);
    const Practice::Score& t = w.Total();
    QCOMPARE(sum[0], t.Steps);
    QCOMPARE(sum[1], t.FirstTry);
    QCOMPARE(sum[2], t.Tries);
    QCOMPARE(sum[3], t.Shown);
    QCOMPARE(sum[4], t.Unanswered);
    QVERIFY(t.Tries > t.Steps);
  }
};

QTEST_MAIN(PracticeWindowTests)
#include "PracticeWindowTests.moc"
