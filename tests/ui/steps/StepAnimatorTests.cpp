// The steps pane's motion on a clock the test steps: a rotation's nodes at
// the start, the middle and the end of the move, Reduce Motion, and Play.
#include <QAction>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <set>

#include "UiTestSupport.h"
#include "steps/StepAnimator.h"
#include "steps/StepsWindow.h"
#include "view/DrawSurface.h"

namespace {

class ManualClock final : public TreeUi::MotionClock {
 public:
  double Now() const override { return now_; }
  void Run(bool on) override { running_ = on; }
  void Advance(double ms) {
    now_ += ms;
    if (running_) Tick();
  }

 private:
  double now_ = 1000;
  bool running_ = false;
};

// The frame item that shows `caption`.
std::size_t ItemOf(const TreeCore::MotionFrames& frames, const char* caption) {
  for (std::size_t i = 0; i < frames.NodeCount(); ++i) {
    const auto& item = frames.Plan().Items[i];
    const auto& node = item.To >= 0 ? frames.To().Nodes[static_cast<std::size_t>(item.To)]
                                    : frames.From().Nodes[static_cast<std::size_t>(item.From)];
    if (node.Caption == caption) return i;
  }
  return frames.NodeCount();
}

// Where the pane shows the circle captioned `caption`, in the viewport's client pixels.
QPointF PaneCircle(TreeUi::DrawSurface* pane, const char* caption) {
  const auto& e = pane->Elements();
  const TreeUi::ViewTransform view = pane->Transform();
  const QPoint shift = pane->pos() - pane->parentWidget()->contentsRect().topLeft();
  for (std::int16_t k = 0; k < e.ShNode.UpperBound(); ++k)
    if (e.TreeNode.IsLoaded(k) && e.TreeNode[k].Visible && e.TreeNode[k].Caption == caption)
      return QPointF(view.DeviceX(e.ShNode[k].Left) + shift.x(),
                     view.DeviceY(e.ShNode[k].Top) + shift.y());
  return QPointF(-1e9, -1e9);
}

}  // namespace

class StepAnimatorTests : public QObject {
  Q_OBJECT

 private:
  // Steps open on Get Tree 1..15, on a manual clock.
  struct Setup {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = nullptr;
    TreeUi::StepAnimator* motion = nullptr;
    ManualClock* clock = nullptr;
    Setup() {
      steps = h.Window->OpenBalancingSteps();
      h.GetTree(QStringLiteral("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15"));
      motion = steps->Animator();
      auto owned = std::make_unique<ManualClock>();
      clock = owned.get();
      motion->SetClock(std::move(owned));
      QApplication::setActiveWindow(steps);
      Active = QTest::qWaitForWindowActive(steps);
    }
    bool Active = false;
    void Settle() { clock->Advance(60000); }
  };

 private slots:
  void rotationMovesAtClockPoints() {
    Setup s;
    const QString rr = QStringLiteral("RR rotation at 3: 4 takes its place");
    s.steps->ShowValue(11);
    for (int n = 0; n < 8 && s.steps->List()->currentItem()->text(0) != rr; ++n)
      QTest::keyClick(s.steps->List(), Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
    QTest::keyClick(s.steps->List(), Qt::Key_Left, Qt::ShiftModifier);
    s.Settle();
    const QPointF three = PaneCircle(s.steps->Pane(), "3"), four = PaneCircle(s.steps->Pane(), "4");

    QTest::keyClick(s.steps->List(), Qt::Key_Right, Qt::ShiftModifier);
    // The pane already holds the new state; the motion runs over it.
    QVERIFY(s.motion->Animating() && s.motion->Overlay()->isVisible());
    const auto& frames = s.motion->Frames();
    const std::size_t i3 = ItemOf(frames, "3"), i4 = ItemOf(frames, "4");
    QVERIFY(i3 < frames.NodeCount() && i4 < frames.NodeCount());
    QCOMPARE(frames.ItemY(i4), four.y());
    QCOMPARE(frames.ItemX(i3), three.x());
    const QPointF newFour = PaneCircle(s.steps->Pane(), "4");

    s.clock->Advance(TreeUi::StepAnimator::MoveMs / 2);
    QCOMPARE(s.motion->Progress(), 0.5);
    QCOMPARE(frames.ItemY(i4), (four.y() + newFour.y()) / 2);
    // 4 rises into 3's row while 3 sinks below it.
    QVERIFY(frames.ItemY(i4) < four.y() && frames.ItemY(i3) > three.y());

    s.clock->Advance(TreeUi::StepAnimator::MoveMs / 2 - 1);
    QVERIFY(s.motion->Animating());
    QVERIFY(qAbs(frames.ItemY(i4) - newFour.y()) < 0.01);
    s.clock->Advance(1);
    QVERIFY(!s.motion->Animating());
    QVERIFY(!s.motion->Overlay()->isVisible());
  }

  // Distinct values: a node's caption tells who it is, so every pairing of
  // an Erase's steps, forwards, backwards and by jumps, can be checked by it.
  void eraseKeepsEveryNodesIdentity() {
    Setup s;
    s.h.Box("txtEraseNode")->setText(QStringLiteral("8,4,12,1"));
    s.h.Button("CmdEraseTree")->click();
    int moves = 0, gone = 0;
    auto check = [&] {
      if (!s.motion->Animating()) return;
      ++moves;
      const auto& f = s.motion->Frames();
      std::set<std::string> to;
      for (const auto& n : f.To().Nodes) to.insert(n.Caption);
      for (const auto& item : f.Plan().Items) {
        const auto* a =
            item.From >= 0 ? &f.From().Nodes[static_cast<std::size_t>(item.From)] : nullptr;
        const auto* b = item.To >= 0 ? &f.To().Nodes[static_cast<std::size_t>(item.To)] : nullptr;
        if (a && b) QCOMPARE(a->Caption, b->Caption);
        if (a && !b) {
          QVERIFY(!to.count(a->Caption));
          ++gone;
        }
      }
      s.Settle();
    };
    s.steps->ShowEvent(0, 0);
    s.Settle();
    for (int n = 0; n < 4; ++n) {
      QTest::keyClick(s.steps->List(), Qt::Key_Right, Qt::ShiftModifier);
      check();
    }
    for (int n = 0; n < 40 && (s.steps->CurrentValue() > 0 || s.steps->CurrentEvent() > 0); ++n) {
      QTest::keyClick(s.steps->List(), Qt::Key_Left, Qt::ShiftModifier);
      check();
    }
    for (const Qt::Key key : {Qt::Key_End, Qt::Key_Home, Qt::Key_End}) {
      QTest::keyClick(s.steps->List(), key);
      check();
    }
    // Forward 4 and back 4 through the events, then End, Home, End; an erased
    // node fades out on each way forward: 4 one by one, 4 at once, 3 again.
    QCOMPARE(moves, 11);
    QCOMPARE(gone, 11);
  }

  void reduceMotionChangesAtOnceAndIsKept() {
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QCoreApplication::setOrganizationName(QStringLiteral("StepAnimatorTests"));
    // Undone however the test ends, so the next test starts without settings.
    struct Unset {
      ~Unset() { QCoreApplication::setOrganizationName(QString()); }
    } unset;
    for (const bool kept : {false, true}) {
      Setup s;
      if (!kept) s.motion->ReduceMotionAction()->trigger();
      QVERIFY(s.motion->ReduceMotion());
      QTest::keyClick(s.steps->List(), Qt::Key_Left);
      QCOMPARE(s.steps->CurrentValue(), 13);
      QVERIFY(!s.motion->Animating() && !s.motion->Overlay()->isVisible());
    }
  }

  void playRunsThroughTheEvents() {
    Setup s;
    QVERIFY(s.Active);  // the window's own keys
    const double step = TreeUi::StepAnimator::MoveMs + TreeUi::StepAnimator::DwellMs;
    s.steps->First();
    s.Settle();
    QTest::mouseClick(s.motion->PlayButton(), Qt::LeftButton);
    QVERIFY(s.motion->Playing());
    QCOMPARE(s.steps->CurrentValue(), 1);
    QCOMPARE(s.steps->CurrentEvent(), 0);
    s.clock->Advance(step - 1);
    QCOMPARE(s.steps->CurrentValue(), 1);
    s.clock->Advance(1);
    QCOMPARE(s.steps->CurrentValue(), 2);
    QCOMPARE(s.steps->CurrentEvent(), 0);
    // Back works during play, and play goes on from there.
    QTest::keyClick(s.steps->List(), Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(s.steps->CurrentValue(), 1);
    s.clock->Advance(step);
    QCOMPARE(s.steps->CurrentValue(), 2);
    QTest::keyClick(s.steps->List(), Qt::Key_BracketRight);
    QTest::keyClick(s.steps->List(), Qt::Key_BracketRight);
    QCOMPARE(s.motion->Speed(), TreeUi::StepAnimator::NormalSpeed + 2);
    s.clock->Advance(step / 4);
    QCOMPARE(s.steps->CurrentEvent(), 1);  // inserting 3 fixes the root 1 up
    QTest::keyClick(s.steps->List(), Qt::Key_P);
    QVERIFY(!s.motion->Playing());
    s.clock->Advance(10 * step);
    QCOMPARE(s.steps->CurrentValue(), 2);
    QCOMPARE(s.steps->CurrentEvent(), 1);
    // At the last event play stops by itself.
    QTest::keyClick(s.steps->List(), Qt::Key_P);
    s.steps->Last();
    QTest::keyClick(s.steps->List(), Qt::Key_Left, Qt::ShiftModifier);
    s.clock->Advance(step / 4);
    QVERIFY(!s.motion->Playing());
    QCOMPARE(s.steps->CurrentValue(), 14);
    // A new command stops play.
    s.steps->First();
    QTest::keyClick(s.steps->List(), Qt::Key_P);
    QVERIFY(s.motion->Playing());
    s.h.GetTree(QStringLiteral("3,1,2"));
    QVERIFY(!s.motion->Playing());
  }
};

QTEST_MAIN(StepAnimatorTests)
#include "StepAnimatorTests.moc"
