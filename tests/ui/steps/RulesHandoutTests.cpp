// The steps window's Rules panel, which follows every way of selecting, and
// "Save Steps as PDF…": its dialogs, its page count and Cancel.
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

#include "RuleText.h"
#include "UiTestSupport.h"
#include "steps/RulesPanel.h"
#include "steps/StepsWindow.h"

namespace {

QString Range(int n) {
  QStringList v;
  for (int i = 1; i <= n; ++i) v << QString::number(i);
  return v.join(',');
}

// What the panel should light for the window's position, worked out afresh.
std::vector<TreeTrace::RulePart> Expected(TreeUi::StepsWindow* steps) {
  if (steps->CurrentValue() < 0) return {};
  const auto i = static_cast<std::size_t>(steps->CurrentValue());
  if (steps->CurrentEvent() < 0) return TreeTrace::ValueRuleParts(steps->Recorder().Kind());
  const auto states =
      TreeTrace::StatesAt(steps->Recorder(), i, static_cast<std::size_t>(steps->CurrentEvent()));
  return TreeTrace::EventRuleParts(steps->Recorder(), i, states,
                                   TreeTrace::ExplainEvent(steps->Recorder(), i, states));
}

// Saves through the dialogs, answered by object name as they show: the scope,
// events `first`..`last` if asked (the offered pair goes to `offered`), the
// file; with `cancel`, Cancel as soon as the first page lets events run.
// Returns the pages written, -1 for no file.
int SavePdf(TreeUi::StepsWindow* steps, const char* scope, const QString& path,
            std::pair<int, int> range = {}, bool cancel = false,
            std::pair<int, int>* offered = nullptr) {
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (auto* p = steps->findChild<QProgressDialog*>("HandoutProgress"); p && cancel) p->cancel();
    if (dialog == nullptr) return;
    if (auto* radio = dialog->findChild<QRadioButton*>(QString::fromLatin1(scope)))
      radio->setChecked(true);
    if (auto* first = dialog->findChild<QSpinBox*>("HandoutFirstEvent")) {
      auto* last = dialog->findChild<QSpinBox*>("HandoutLastEvent");
      if (offered != nullptr) *offered = {first->value(), last->value()};
      first->setValue(range.first);
      last->setValue(range.second);
    }
    if (auto* files = qobject_cast<QFileDialog*>(dialog)) files->selectFile(path);
    dialog->accept();
  });
  answer.start(0);
  steps->findChild<QPushButton*>("SaveStepsPdf")->click();
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
    QApplication::setActiveWindow(steps);
    QVERIFY(QTest::qWaitForWindowActive(steps));
    QVERIFY(rules->isHidden());
    QTest::keyClick(steps->List(), Qt::Key_F4);
    QVERIFY(rules->isVisible());
    h.GetTree(Range(15));
    steps->ShowValue(11);
    const std::function<void()> moves[] = {
        [&] { QTest::keyClick(steps->List(), Qt::Key_Right, Qt::ShiftModifier); },
        [&] {
          QTest::keyClick(steps->List(), Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
        },
        [&] { steps->findChild<QPushButton*>("EventBack")->click(); },
        [&] { steps->List()->setCurrentItem(steps->List()->topLevelItem(4)); },
        [&] { steps->List()->setCurrentItem(steps->List()->topLevelItem(0)); },
        [&] { steps->List()->setCurrentItem(steps->List()->topLevelItem(13)->child(1)); },
    };
    for (const auto& move : moves) {
      move();
      QCOMPARE(rules->Highlighted(), Expected(steps));
      // The lit lines carry the mark as well as the colour.
      QCOMPARE(rules->List()->findItems(QStringLiteral("\u25b6"), Qt::MatchStartsWith).size(),
               static_cast<qsizetype>(rules->Highlighted().size()));
    }
    // The RR rotation at 3 under "Insert 13" lights the RR line first.
    QCOMPARE(steps->List()->currentItem()->text(0),
             QStringLiteral("RR rotation at 3: 4 takes its place"));
    QCOMPARE(rules->Highlighted().front(), TreeTrace::RulePart::RotateRR);
    QTest::keyClick(steps->List(), Qt::Key_F4);
    QVERIFY(rules->isHidden());
  }

  void handoutHasAPagePerEventAndCancelLeavesNoFile() {
    UiTest::Harness h;
    TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
    h.GetTree(QStringLiteral("50,25,75,10,90,95"));  // 6 inserts and one RR rotation
    QTemporaryDir dir;
    QCOMPARE(SavePdf(steps, "HandoutWholeCommand", dir.filePath("whole.pdf")), 7);
    // 95's insert and the rotation.
    QCOMPARE(SavePdf(steps, "HandoutSelectedValue", dir.filePath("last.pdf")), 2);
    const QString cancelled = dir.filePath(QStringLiteral("cancelled.pdf"));
    QCOMPARE(SavePdf(steps, "HandoutWholeCommand", cancelled, {}, true), -1);
    QVERIFY(!QFile::exists(cancelled + QStringLiteral(".part")));
    QVERIFY(steps->findChild<QProgressDialog*>("HandoutProgress") == nullptr);

    // Over 500 events: the selected value's are offered, the chosen ones saved.
    h.GetTree(Range(300));
    steps->ShowValue(99);
    std::pair<int, int> offered;
    QCOMPARE(
        SavePdf(steps, "HandoutWholeCommand", dir.filePath("range.pdf"), {4, 6}, false, &offered),
        3);
    int before = 0;
    for (std::size_t i = 0; i < 99; ++i)
      before += static_cast<int>(steps->Recorder().Step(i).EventCount);
    QCOMPARE(offered,
             std::make_pair(before + 1,
                            before + static_cast<int>(steps->Recorder().Step(99).EventCount)));
  }
};

QTEST_MAIN(RulesHandoutTests)
#include "RulesHandoutTests.moc"
