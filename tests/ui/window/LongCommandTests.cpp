// Long Get Tree and Erase commands: their engine work runs on a worker while
// the window goes on; progress shows only for long work, Cancel and closing
// the window leave everything as it was, and no second command starts.
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <numeric>
#include <random>
#include <thread>

#include "TraceEngine.h"
#include "UiTestSupport.h"
#include "steps/StepsWindow.h"
#include "window/CommandRunner.h"

using UiTest::Harness;
using UiTest::InOrderValues;
using UiTest::ShownCaptions;

namespace {

// A cancel must end the work, which the unchanged tree shows; how soon is a
// benchmark's question. This only catches work that never stops, on however
// loaded a machine.
constexpr qint64 CancelTimeOutMs = 60000;

QString Join(const std::vector<int>& values) {
  QStringList pieces;
  for (int v : values) pieces << QString::number(v);
  return pieces.join(QLatin1Char(','));
}

// A list whose Get Tree takes seconds: every value goes in at the left end.
QString Descending(int count) {
  std::vector<int> v(static_cast<std::size_t>(count));
  std::iota(v.rbegin(), v.rend(), 1);
  return Join(v);
}

std::vector<int> Shuffled(int count, unsigned seed) {
  std::vector<int> v(static_cast<std::size_t>(count));
  std::iota(v.begin(), v.end(), -count / 2);
  std::shuffle(v.begin(), v.end(), std::mt19937(seed));
  return v;
}

// Runs `check` on the window's thread `ms` after the next command starts.
void After(int ms, std::function<void()> check) {
  QTimer::singleShot(ms, std::move(check));
}

// Everything a cancelled command must leave as it was.
struct WindowState {
  std::vector<int> Values;
  std::int32_t Count;
  std::vector<std::string> Captions;
  std::int16_t Elements;
  float Width, Height;
  double Left, Top;
  QStringList Texts;
  QList<int> Cursors;
  QStringList Selections;
  QString Status;
  QWidget* Focus;

  static WindowState Of(const Harness& h) {
    WindowState s{InOrderValues(),
                  TreeCore::MainTree.Count,
                  ShownCaptions(*h.Window),
                  TreeCore::DrawnElementCount,
                  TreeCore::DrawingWidth,
                  TreeCore::DrawingHeight,
                  h.Surface()->Left(),
                  h.Surface()->Top(),
                  {},
                  {},
                  {},
                  h.Status()->text(),
                  QApplication::focusWidget()};
    for (const char* name : {"TxtGetTree", "txtSearchNode", "txtEraseNode"}) {
      s.Texts << h.Box(name)->text();
      s.Cursors << h.Box(name)->cursorPosition();
      s.Selections << h.Box(name)->selectedText();
    }
    return s;
  }
  bool operator==(const WindowState&) const = default;
};

const char* const Controls[] = {"TxtGetTree",   "CmdGetTree",   "txtSearchNode", "cmdSearchNode",
                                "txtEraseNode", "CmdEraseTree", "CmdClearTree"};

}  // namespace

class LongCommandTests : public QObject {
  Q_OBJECT

 private slots:
  // Short lists run as they always did: no worker, no progress. A long one
  // shows its progress, values done of the list's length, after half a second.
  void progressShowsOnlyForLongWork() {
    Harness h;
    TreeUi::CommandRunner* runner = h.Window->Commands();
    int started = 0, shown = 0;
    QElapsedTimer clock;
    qint64 shownAt = -1;
    connect(runner, &TreeUi::CommandRunner::Started, [&] { ++started; });
    connect(runner, &TreeUi::CommandRunner::ProgressShown, [&] {
      ++shown;
      shownAt = clock.elapsed();
    });

    // A few milliseconds even in a sanitised build.
    h.GetTree(Join(Shuffled(200, 1)));
    QCOMPARE(started, 0);
    QCOMPARE(shown, 0);
    QCOMPARE(TreeCore::MainTree.Count, 200);

    // On a worker, but over before progress is worth showing.
    runner->SetInlineBudgetMs(0);
    h.GetTree(Join(Shuffled(1000, 2)));
    QCOMPARE(started, 1);
    QCOMPARE(shown, 0);
    QCOMPARE(TreeCore::MainTree.Count, 1000);
    runner->SetInlineBudgetMs(TreeUi::CommandRunner::InlineBudgetMs);

    int value = -1, maximum = -1;
    // Once the progress shows, however long a loaded machine takes to get
    // there: its count so far, then Cancel.
    connect(runner, &TreeUi::CommandRunner::ProgressShown, [&] {
      After(0, [&] {
        QProgressDialog* progress = runner->Progress();
        if (progress == nullptr) return;
        value = progress->value();
        maximum = progress->maximum();
        runner->Cancel();
      });
    });
    clock.start();
    h.GetTree(Descending(32767));
    QCOMPARE(shown, 1);
    QVERIFY2(shownAt >= TreeUi::CommandRunner::ProgressDelayMs,
             qPrintable(QString::number(shownAt)));
    QCOMPARE(maximum, 32767);
    QVERIFY(value > 0 && value < 32767);
    QVERIFY(runner->Progress() == nullptr);
    QVERIFY(h.Sink.Messages.empty());
  }

  // While the worker runs the controls are disabled, the busy cursor shows,
  // the old drawing stays and scrolls; Cancel then puts back the tree, the
  // drawing, the boxes (text, cursor, selection), the panel and the focus.
  void cancelRestoresEverything() {
    Harness h;
    QStringList first;
    for (int i = 1; i <= 100; ++i) first << QString::number(i * 7 % 101);
    h.GetTree(first.join(QLatin1Char(',')));
    QTest::mouseClick(h.Surface(), Qt::LeftButton, {}, h.LabelCentre(0).toPoint());
    QVERIFY(!h.Status()->text().isEmpty());
    h.Box("txtSearchNode")->setText(QStringLiteral("42"));
    h.Box("txtEraseNode")->setText(QStringLiteral("1,2,3"));
    h.Box("txtEraseNode")->setSelection(4, -3);  // "2,3" selected leftwards
    h.Box("TxtGetTree")->setText(Descending(32767));
    h.Box("TxtGetTree")->setFocus();
    h.Box("TxtGetTree")->setCursorPosition(10);
    const WindowState before = WindowState::Of(h);
    QScrollBar* bar = h.Bar("HScrollDrawP");
    QVERIFY(!bar->isHidden());

    bool disabled = true, busy = false, oldDrawing = false, scrolled = false;
    qint64 cancelledAt = -1;
    QElapsedTimer clock;
    After(300, [&] {
      for (const char* name : Controls) disabled = disabled && !h.Find<QWidget>(name)->isEnabled();
      busy = QApplication::overrideCursor() != nullptr &&
             QApplication::overrideCursor()->shape() == Qt::BusyCursor;
      oldDrawing = ShownCaptions(*h.Window) == before.Captions;
      bar->setValue(300);
      scrolled = h.Surface()->Left() == -300.0;
      bar->setValue(0);
    });
    // Cancel as soon as the progress offers it.
    connect(h.Window->Commands(), &TreeUi::CommandRunner::ProgressShown, [&] {
      After(0, [&] {
        QVERIFY(h.Window->Commands()->Progress() != nullptr);
        cancelledAt = clock.elapsed();
        QTest::mouseClick(h.Window->Commands()->Progress()->findChild<QPushButton*>(),
                          Qt::LeftButton);
      });
    });
    clock.start();
    h.Button("CmdGetTree")->click();
    const qint64 stoppedAfter = clock.elapsed() - cancelledAt;

    QVERIFY(cancelledAt > 0);
    QVERIFY2(stoppedAfter < CancelTimeOutMs, qPrintable(QString::number(stoppedAfter)));
    QVERIFY(disabled);
    QVERIFY(busy);
    QVERIFY(oldDrawing);
    QVERIFY(scrolled);
    for (const char* name : Controls) QVERIFY2(h.Find<QWidget>(name)->isEnabled(), name);
    // The keyboard comes back once the window is active again.
    QTRY_COMPARE(QApplication::focusWidget(), before.Focus);
    const WindowState after = WindowState::Of(h);
    QCOMPARE(after.Texts, before.Texts);
    QCOMPARE(after.Cursors, before.Cursors);
    QCOMPARE(after.Selections, before.Selections);
    QCOMPARE(after.Focus, before.Focus);
    QVERIFY(after == before);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(h.Sink.Messages.empty());
    QVERIFY(!h.Window->Commands()->Running());
  }

  // Closing the window stops the worker; nothing of the half-built tree
  // reaches the window's tree.
  void closingTheWindowEndsTheWork() {
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    h.Box("TxtGetTree")->setText(Descending(32767));
    qint64 closedAt = -1;
    QElapsedTimer clock;
    After(300, [&] {
      closedAt = clock.elapsed();
      h.Window->close();
    });
    clock.start();
    h.Button("CmdGetTree")->click();
    const qint64 stoppedAfter = clock.elapsed() - closedAt;
    QVERIFY(closedAt > 0);
    QVERIFY2(stoppedAfter < CancelTimeOutMs, qPrintable(QString::number(stoppedAfter)));
    QVERIFY(!h.Window->isVisible());
    QVERIFY(!h.Window->Commands()->Running());
    QCOMPARE(InOrderValues(), (std::vector<int>{3, 5, 8}));
    QCOMPARE(ShownCaptions(*h.Window), (std::vector<std::string>{"3", "5", "8"}));
  }

  // While one command runs, no other starts: not by its button, its box's
  // Enter, nor a direct call.
  void secondCommandCannotStart() {
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    h.Box("TxtGetTree")->setText(Descending(32767));
    h.Box("txtSearchNode")->setText(QStringLiteral("5"));
    h.Box("txtEraseNode")->setText(QStringLiteral("5"));
    bool unchanged = false;
    After(200, [&] {
      h.Button("CmdClearTree")->click();
      h.Button("CmdEraseTree")->click();
      QTest::keyClick(h.Box("txtSearchNode"), Qt::Key_Return);
      h.Window->CmdGetTree_Click();
      h.Window->cmdSearchNode_Click();
      h.Window->CmdEraseTree_Click();
      h.Window->CmdClearTree_Click();
      unchanged = h.Sink.Messages.empty() && InOrderValues() == std::vector<int>{3, 5, 8} &&
                  h.Box("txtSearchNode")->text() == QStringLiteral("5") &&
                  h.Box("txtEraseNode")->text() == QStringLiteral("5") &&
                  h.Window->Commands()->Running();
      h.Window->Commands()->Cancel();
    });
    h.Button("CmdGetTree")->click();
    QVERIFY(unchanged);
    QCOMPARE(InOrderValues(), (std::vector<int>{3, 5, 8}));
  }

  // Work on the worker gives the tree the engine gives, and an Erase that
  // meets a missing value shows its message after the work, with the erased
  // values gone from the tree and the old drawing still on screen; the
  // redraw follows the message.
  void workerResultsAndEraseMessages() {
    Harness h;
    const std::vector<int> values = Shuffled(6000, 3);
    h.Window->Commands()->SetInlineBudgetMs(0);
    h.GetTree(Join(values));
    QVERIFY(h.Sink.Messages.empty());
    TreeCore::TreeRec expected;
    {
      // Not ResetTree: that would take the window's drawing along.
      TreeCore::TreeRec scratch;
      scratch.Nodes.assign(1, TreeCore::NodeRec{});
      for (int v : values) TreeCore::InsertValue(scratch, static_cast<std::int16_t>(v));
      expected = std::move(scratch);
    }
    QCOMPARE(TreeCore::MainTree.Count, expected.Count);
    for (std::size_t i = 0; i < expected.Nodes.size(); ++i) {
      QCOMPARE(TreeCore::MainTree.Nodes[i].Data, expected.Nodes[i].Data);
      QCOMPARE(TreeCore::MainTree.Nodes[i].Parent, expected.Nodes[i].Parent);
      QCOMPARE(TreeCore::MainTree.Nodes[i].LeftChild, expected.Nodes[i].LeftChild);
      QCOMPARE(TreeCore::MainTree.Nodes[i].RightChild, expected.Nodes[i].RightChild);
      QCOMPARE(TreeCore::MainTree.Nodes[i].Level, expected.Nodes[i].Level);
    }
    QCOMPARE(static_cast<int>(TreeCore::DrawnElementCount), 6000);

    // 3000 values, then one that is not there, then one that is.
    std::vector<int> erase(values.begin(), values.begin() + 3000);
    erase.push_back(30000);
    erase.push_back(values[4000]);
    std::size_t countAtMessage = 0, drawnAtMessage = 0;
    struct Watch final : TreeUi::MessageSink {
      std::function<void(const QString&)> Seen;
      void ShowMessage(const QString& text, const QString&, TreeUi::MessageIcon) override {
        Seen(text);
      }
    } watch;
    QStringList messages;
    watch.Seen = [&](const QString& text) {
      messages << text;
      countAtMessage = static_cast<std::size_t>(TreeCore::MainTree.Count);
      drawnAtMessage = static_cast<std::size_t>(TreeCore::DrawnElementCount);
    };
    h.Window->SetMessageSink(&watch);
    int started = 0;
    connect(h.Window->Commands(), &TreeUi::CommandRunner::Started, [&] { ++started; });
    h.Window->Commands()->SetInlineBudgetMs(0);
    h.Box("txtEraseNode")->setText(Join(erase));
    h.Button("CmdEraseTree")->click();
    QCOMPARE(started, 1);
    QCOMPARE(messages, QStringList{QStringLiteral("The Element does not exist in the tree")});
    QCOMPARE(countAtMessage, std::size_t{3000});
    QCOMPARE(drawnAtMessage, std::size_t{6000});
    QCOMPARE(static_cast<int>(TreeCore::DrawnElementCount), 3000);
    QCOMPARE(InOrderValues().size(), std::size_t{3000});
    // A slow build shows the progress dialog; the window has the keyboard
    // again once it is active.
    QTRY_COMPARE(QApplication::focusWidget(), h.Box("txtEraseNode"));
    QCOMPARE(h.Box("txtEraseNode")->selectedText(), h.Box("txtEraseNode")->text());
    h.Window->SetMessageSink(&h.Sink);
  }
  // The steps window follows work done on the worker exactly as a run on the
  // window's thread records it, and a cancelled command leaves it showing
  // the command before.
  void stepsWindowFollowsTheWorker() {
    Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    h.Window->Commands()->SetInlineBudgetMs(0);
    std::vector<int> values(400);
    std::iota(values.begin(), values.end(), 1);
    std::reverse(values.begin(), values.end());
    h.GetTree(Join(values));
    QCOMPARE(steps->Recorder().ValueCount(), values.size());

    TreeTrace::TraceRecorder direct;
    TreeTrace::Engine engine;
    engine.SetObserver(&direct);
    TreeCore::TreeRec tree;
    engine.Reset(tree, false);
    direct.BeginCommand(TreeTrace::CommandKind::Get, tree);
    for (int v : values) {
      direct.BeginValue(tree, static_cast<std::int16_t>(v));
      engine.Insert(tree, static_cast<std::int16_t>(v));
    }
    direct.EndCommand(tree, {});
    const TreeTrace::TraceSummary worker = steps->Recorder().Summary(), here = direct.Summary();
    QVERIFY(here.FixUps > 0);
    QCOMPARE(worker.FixUps, here.FixUps);
    for (int k = 0; k < 4; ++k) QCOMPARE(worker.Rotations[k], here.Rotations[k]);
    QCOMPARE(worker.Nodes, here.Nodes);
    for (std::size_t i : {std::size_t{0}, values.size() / 2, values.size() - 1})
      QCOMPARE(steps->Recorder().EventsOf(i).size(), direct.EventsOf(i).size());

    h.Box("TxtGetTree")->setText(Descending(32767));
    After(600, [&] {
      QVERIFY(h.Window->Commands()->Progress() != nullptr);
      QTest::mouseClick(h.Window->Commands()->Progress()->findChild<QPushButton*>(),
                        Qt::LeftButton);
    });
    h.Button("CmdGetTree")->click();
    QCOMPARE(steps->Recorder().ValueCount(), values.size());
    QCOMPARE(steps->Recorder().Summary().FixUps, here.FixUps);
  }

  // Locking the controls leaves the boxes as they were: the focus leaves
  // them at once instead of passing through each in turn, which selected
  // the whole of the erase box on the way (and moved its caret to the end).
  void lockingLeavesTheBoxesAsTheyAre() {
    Harness h;
    h.Box("txtEraseNode")->setText(Join(Shuffled(3000, 5)));
    h.Box("txtEraseNode")->setCursorPosition(0);
    h.Box("txtSearchNode")->setText(QStringLiteral("17"));
    h.Box("txtSearchNode")->setCursorPosition(1);
    h.Box("TxtGetTree")->setText(Join(Shuffled(2000, 6)));
    h.Box("TxtGetTree")->setFocus();
    h.Box("TxtGetTree")->setCursorPosition(25);
    h.Window->Commands()->SetInlineBudgetMs(0);
    int started = 0;
    QList<int> cursors;
    QStringList selections;
    QWidget* focus = nullptr;
    connect(h.Window->Commands(), &TreeUi::CommandRunner::Started, [&] {
      ++started;
      for (const char* name : {"TxtGetTree", "txtSearchNode", "txtEraseNode"}) {
        cursors << h.Box(name)->cursorPosition();
        selections << h.Box(name)->selectedText();
      }
      focus = QApplication::focusWidget();
    });
    h.Button("CmdGetTree")->click();
    QCOMPARE(started, 1);
    QCOMPARE(cursors, (QList<int>{25, 1, 0}));
    QCOMPARE(selections, (QStringList{QString(), QString(), QString()}));
    for (const char* name : Controls) QVERIFY2(focus != h.Find<QWidget>(name), name);
    QTRY_COMPARE(QApplication::focusWidget(), h.Box("TxtGetTree"));
    QCOMPARE(h.Box("TxtGetTree")->cursorPosition(), 25);
    QCOMPARE(TreeCore::MainTree.Count, 2000);
  }

  // Work done on the window's thread lets the timers that fell due run
  // before the window's part of the command; an Erase still shows its
  // message after the work (the erased values gone, the old drawing on
  // screen), and redraws after the message.
  void inlineWorkLetsTimersRunFirst() {
    Harness h;
    const std::vector<int> values = Shuffled(2000, 7);
    h.GetTree(Join(values));
    std::vector<int> erase(values.begin(), values.begin() + 500);
    erase.push_back(30000);
    QStringList order;
    struct Watch final : TreeUi::MessageSink {
      std::function<void(const QString&)> Seen;
      void ShowMessage(const QString& text, const QString&, TreeUi::MessageIcon) override {
        Seen(text);
      }
    } watch;
    watch.Seen = [&](const QString& text) {
      order << QStringLiteral("message %1, %2 nodes, %3 drawn")
                   .arg(text)
                   .arg(TreeCore::MainTree.Count)
                   .arg(TreeCore::DrawnElementCount);
    };
    h.Window->SetMessageSink(&watch);
    int started = 0;
    connect(h.Window->Commands(), &TreeUi::CommandRunner::Started, [&] { ++started; });
    h.Window->Commands()->SetInlineBudgetMs(60000);  // all of it within the budget
    h.Window->Commands()->SetYieldAfterMs(0);
    h.Box("txtEraseNode")->setText(Join(erase));
    QTimer::singleShot(0, [&] {
      order << QStringLiteral("timer, %1 nodes, %2 drawn")
                   .arg(TreeCore::MainTree.Count)
                   .arg(TreeCore::DrawnElementCount);
    });
    h.Button("CmdEraseTree")->click();
    order << QStringLiteral("after, %1 nodes, %2 drawn")
                 .arg(TreeCore::MainTree.Count)
                 .arg(TreeCore::DrawnElementCount);
    QCOMPARE(started, 0);
    QCOMPARE(order,
             (QStringList{
                 QStringLiteral("timer, 2000 nodes, 2000 drawn"),
                 QStringLiteral(
                     "message The Element does not exist in the tree, 1500 nodes, 2000 drawn"),
                 QStringLiteral("after, 1500 nodes, 1500 drawn"),
             }));
    h.Window->SetMessageSink(&h.Sink);
  }

  // One value can take seconds (an Erase on a large tree built from a sorted
  // list): the window's thread waits for it only up to the budget and then
  // answers its events, with the controls locked, while the value goes on.
  void oneLongValueLeavesTheWindowFree() {
    Harness h;
    TreeUi::CommandRunner* runner = h.Window->Commands();
    int started = 0;
    connect(runner, &TreeUi::CommandRunner::Started, [&] { ++started; });
    TreeCore::TreeRec empty;
    TreeCore::ResetTree(empty, false);
    TreeCommands::TreeJob build = TreeCommands::TreeJob::Build(empty, {5, 3, 8, 1});
    build.Run();
    TreeCommands::TreeJob erase = TreeCommands::TreeJob::Erase(build.Tree(), {3, 8});

    // The first value waits for a timer of the window's thread (five
    // seconds at most, so that a window that never lets it run fails
    // rather than hangs).
    std::atomic<bool> released{false};
    std::atomic<bool> releasedInTime{false};
    std::atomic<int> values{0};
    erase.Watch(nullptr, [&](const TreeCore::TreeRec&, std::int16_t) {
      if (values++ != 0) return;
      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (!released && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      releasedInTime = released.load();
    });
    bool lockedMeanwhile = false;
    QTimer::singleShot(100, [&] {
      lockedMeanwhile = !h.Button("CmdEraseTree")->isEnabled() && runner->Running();
      released = true;
    });
    QVERIFY(runner->Run(erase, QStringLiteral("Erasing..."), std::chrono::steady_clock::now()));
    QVERIFY(releasedInTime);
    QVERIFY(lockedMeanwhile);
    QCOMPARE(started, 1);
    QCOMPARE(values.load(), 2);
    QCOMPARE(erase.Tree().Count, 2);
    QVERIFY(h.Button("CmdEraseTree")->isEnabled());
    QVERIFY(!runner->Running());
  }

  // A window closed in the pass after inline work (by a timer, not by input,
  // which waits) drops the command as a close during a worker does: no
  // value erased, no message after the window has gone.
  void closingInThePassAfterInlineWorkDropsTheCommand() {
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    h.Window->Commands()->SetInlineBudgetMs(60000);
    h.Window->Commands()->SetYieldAfterMs(0);
    h.Box("txtEraseNode")->setText(QStringLiteral("5,77"));
    QTimer::singleShot(0, [&] { h.Window->close(); });
    h.Button("CmdEraseTree")->click();
    QVERIFY(!h.Window->isVisible());
    QVERIFY(h.Sink.Messages.empty());
    QCOMPARE(InOrderValues(), (std::vector<int>{3, 5, 8}));
    QCOMPARE(ShownCaptions(*h.Window), (std::vector<std::string>{"3", "5", "8"}));
  }
};

QTEST_MAIN(LongCommandTests)
#include "LongCommandTests.moc"
