// The steps window's Rules panel, which follows every way of selecting an
// event or a value, and "Save Steps as PDF…": its dialogs, its page count and
// Cancel.
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QListWidget>
#include <QProgressDialog>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <map>

#include "RuleText.h"
#include "UiTestSupport.h"
#include "steps/RulesPanel.h"
#include "steps/StepsWindow.h"

namespace {

using P = TreeTrace::RulePart;

// What the panel should light for the window's position, worked out afresh.
std::vector<P> Expected(TreeUi::StepsWindow* steps) {
  if (steps->CurrentValue() < 0) return {};
  const auto i = static_cast<std::size_t>(steps->CurrentValue());
  if (steps->CurrentEvent() < 0) return TreeTrace::ValueRuleParts(steps->Recorder().Kind());
  const auto states =
      TreeTrace::StatesAt(steps->Recorder(), i, static_cast<std::size_t>(steps->CurrentEvent()));
  return TreeTrace::EventRuleParts(steps->Recorder(), i, states,
                                   TreeTrace::ExplainEvent(steps->Recorder(), i, states));
}

// Answers the steps window's dialogs by object name while `run` runs.
void Answering(TreeUi::StepsWindow* steps,
               const std::map<QString, std::function<void(QWidget*)>>& answers,
               const std::function<void()>& run) {
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    for (const auto& [name, answer] : answers)
      if (auto* w = steps->findChild<QWidget*>(name); w != nullptr && w->isVisible()) answer(w);
  });
  poll.start(0);
  run();
}

int PdfPages(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  return static_cast<int>(QString::fromLatin1(file.readAll())
                              .count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
}

}  // namespace

class RulesHandoutTests : public QObject {
  Q_OBJECT

 private slots:
  void rulesPanelFollowsEverySelection() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    TreeUi::RulesPanel* rules = steps->Rules();
    QVERIFY(rules->isHidden());
    QApplication::setActiveWindow(steps);
    QVERIFY(QTest::qWaitForWindowActive(steps));
    QTest::keyClick(steps->List(), Qt::Key_F4);
    QVERIFY(rules->isVisible());
    QVERIFY(steps->findChild<QPushButton*>("ShowRules")->isChecked());

    QStringList list;
    for (int i = 1; i <= 15; ++i) list << QString::number(i);
    h.GetTree(list.join(','));
    steps->ShowValue(11);
    struct Move {
      const char* name;
      std::function<void()> act;
    } const moves[] = {
        {"event forward",
         [&] { QTest::keyClick(steps->List(), Qt::Key_Right, Qt::ShiftModifier); }},
        {"next balancing",
         [&] {
           QTest::keyClick(steps->List(), Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
         }},
        {"event back button", [&] { steps->findChild<QPushButton*>("EventBack")->click(); }},
        {"value row", [&] { steps->List()->setCurrentItem(steps->List()->topLevelItem(4)); }},
        {"summary row", [&] { steps->List()->setCurrentItem(steps->List()->topLevelItem(0)); }},
        {"last", [&] { steps->Last(); }},
        {"event row",
         [&] { steps->List()->setCurrentItem(steps->List()->topLevelItem(13)->child(0)); }},
    };
    for (const Move& m : moves) {
      m.act();
      QVERIFY2(rules->Highlighted() == Expected(steps), m.name);
      // The lit lines carry the mark: as many as the parts.
      int lit = 0;
      for (int r = 0; r < rules->List()->count(); ++r)
        lit += rules->List()->item(r)->text().startsWith(QChar(0x25b6));
      QVERIFY2(lit == static_cast<int>(rules->Highlighted().size()), m.name);
    }
    // Under "Insert 13", up to the RR rotation at 3.
    const QString rr = QStringLiteral("RR rotation at 3: 4 takes its place");
    steps->ShowValue(11);
    for (int n = 0; n < 8 && steps->List()->currentItem()->text(0) != rr; ++n)
      QTest::keyClick(steps->List(), Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(steps->List()->currentItem()->text(0), rr);
    QCOMPARE(rules->Highlighted().front(), P::RotateRR);
    QTest::keyClick(steps->List(), Qt::Key_F4);
    QVERIFY(rules->isHidden());
  }

  void handoutHasAPagePerEventAndCancelLeavesNoFile() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    h.GetTree(QStringLiteral("50,25,75,10,90,95"));  // 6 inserts and one RR rotation
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto save = [&](const char* scope, const QString& path, bool cancel) {
      Answering(steps,
                {{QStringLiteral("HandoutScopeDialog"),
                  [scope](QWidget* w) {
                    w->findChild<QRadioButton*>(QString::fromLatin1(scope))->setChecked(true);
                    static_cast<QDialog*>(w)->accept();
                  }},
                 {QStringLiteral("HandoutFileDialog"),
                  [path](QWidget* w) {
                    static_cast<QFileDialog*>(w)->selectFile(path);
                    static_cast<QDialog*>(w)->accept();
                  }}},
                [&] {
                  // Cancel as soon as the first page lets events run.
                  QTimer cancelling;
                  QObject::connect(&cancelling, &QTimer::timeout, [&] {
                    if (auto* p = steps->findChild<QProgressDialog*>("HandoutProgress");
                        p && cancel)
                      p->cancel();
                  });
                  cancelling.start(0);
                  steps->findChild<QPushButton*>("SaveStepsPdf")->click();
                });
    };
    const QString whole = dir.filePath(QStringLiteral("whole.pdf"));
    save("HandoutWholeCommand", whole, false);
    QCOMPARE(PdfPages(whole), 7);
    const QString last = dir.filePath(QStringLiteral("last.pdf"));
    save("HandoutSelectedValue", last, false);  // 95: its insert and the rotation
    QCOMPARE(PdfPages(last), 2);
    const QString cancelled = dir.filePath(QStringLiteral("cancelled.pdf"));
    save("HandoutWholeCommand", cancelled, true);
    QVERIFY(!QFile::exists(cancelled));
    QVERIFY(!QFile::exists(cancelled + QStringLiteral(".part")));
    QVERIFY(steps->findChild<QProgressDialog*>("HandoutProgress") == nullptr);
  }

  void moreThan500EventsAskWhichToInclude() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    QStringList list;
    for (int i = 1; i <= 300; ++i) list << QString::number(i);
    h.GetTree(list.join(','));
    steps->ShowValue(99);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("range.pdf"));
    int offeredFirst = 0, offeredLast = 0;
    Answering(steps,
              {{QStringLiteral("HandoutScopeDialog"),
                [](QWidget* w) {
                  w->findChild<QRadioButton*>("HandoutWholeCommand")->setChecked(true);
                  static_cast<QDialog*>(w)->accept();
                }},
               {QStringLiteral("HandoutRangeDialog"),
                [&](QWidget* w) {
                  auto* first = w->findChild<QSpinBox*>("HandoutFirstEvent");
                  auto* last = w->findChild<QSpinBox*>("HandoutLastEvent");
                  offeredFirst = first->value();
                  offeredLast = last->value();
                  first->setValue(4);
                  last->setValue(6);
                  static_cast<QDialog*>(w)->accept();
                }},
               {QStringLiteral("HandoutFileDialog"),
                [path](QWidget* w) {
                  static_cast<QFileDialog*>(w)->selectFile(path);
                  static_cast<QDialog*>(w)->accept();
                }}},
              [&] { steps->findChild<QPushButton*>("SaveStepsPdf")->click(); });
    // The selected value's events were offered.
    std::uint64_t before = 0;
    for (std::size_t i = 0; i < 99; ++i) before += steps->Recorder().Step(i).EventCount;
    QCOMPARE(offeredFirst, static_cast<int>(before + 1));
    QCOMPARE(offeredLast, static_cast<int>(before + steps->Recorder().Step(99).EventCount));
    QCOMPARE(PdfPages(path), 3);
  }
};

QTEST_MAIN(RulesHandoutTests)
#include "RulesHandoutTests.moc"
