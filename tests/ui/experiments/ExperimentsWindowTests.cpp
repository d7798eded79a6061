// The Experiments window: opened from the pad's menu and F8, a run whose table
// and CSV are the command line's, Cancel on a long list, and the saves.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <sstream>

#include "ExperimentMode.h"
#include "UiTestSupport.h"
#include "experiments/ExperimentsPlots.h"
#include "experiments/ExperimentsWindow.h"

namespace {

using TreeUi::ExperimentsWindow;

// Only `kinds` ticked, and the other controls as given.
void Choose(ExperimentsWindow& w, const QStringList& kinds, const QString& sizes, int repeats) {
  for (QCheckBox* box : w.findChildren<QCheckBox*>())
    if (box->objectName().startsWith(QLatin1String("Kind_")))
      box->setChecked(kinds.contains(box->text()));
  w.findChild<QLineEdit*>(QStringLiteral("ExperimentSizes"))->setText(sizes);
  w.findChild<QSpinBox*>(QStringLiteral("ExperimentRepeats"))->setValue(repeats);
  w.findChild<QLineEdit*>(QStringLiteral("ExperimentSeed"))->setText(QStringLiteral("5"));
}

QPushButton* Button(ExperimentsWindow& w, const char* name) {
  return w.findChild<QPushButton*>(QString::fromLatin1(name));
}

// The CSV without its times.
std::string WithoutMs(const std::string& csv) {
  std::string out;
  std::istringstream lines(csv);
  for (std::string line; std::getline(lines, line);)
    out += line.substr(0, line.rfind(',') + 1) + "ms\n";
  return out;
}

}  // namespace

class ExperimentsWindowTests : public QObject {
  Q_OBJECT

 private slots:
  void opensFromThePadMenuAndF8() {
    UiTest::Harness h;
    QVERIFY(h.Active);
    auto* menu = h.Find<QMenu>("PadMenu");
    QVERIFY(menu != nullptr);
    const auto actions = menu->actions();
    QVERIFY(std::any_of(actions.begin(), actions.end(), [](QAction* a) {
      return a->objectName() == QLatin1String("ExperimentsAction") &&
             a->text() == QStringLiteral("Experiments\u2026");
    }));
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_F8);
    auto* w = h.Window->findChild<ExperimentsWindow*>(QStringLiteral("ExperimentsWindow"));
    QVERIFY(w != nullptr);
    QVERIFY(w->isVisible() && !w->isModal());
    // Again: the same window comes forward.
    QTest::keyClick(h.Box("TxtSearchNode"), Qt::Key_F8);
    QCOMPARE(h.Window->findChildren<ExperimentsWindow*>().size(), 1);
  }

  void aRunGivesTheCommandLinesFiguresAndSaves() {
    ExperimentsWindow w;
    w.show();
    Choose(w, {"zigzag", "random"}, QStringLiteral("100, 7,15"), 3);
    QSignalSpy finished(&w, &ExperimentsWindow::Finished);
    Button(w, "ExperimentRun")->click();
    QVERIFY(w.Running());
    QVERIFY(!Button(w, "ExperimentRun")->isEnabled());
    QVERIFY(finished.wait(60000));
    QCOMPARE(finished.first().first().toBool(), false);
    QVERIFY(!w.Running() && Button(w, "ExperimentRun")->isEnabled());
    // Random first, as the boxes are listed; 3 sizes, 3 repeats; zigzag once.
    QCOMPARE(w.Table()->model()->rowCount(), (3 * 3 + 3) * 2);

    TreeExperiments::Settings settings;
    settings.Kinds = {TreeExperiments::ListKind::Random, TreeExperiments::ListKind::ZigZag};
    settings.Sizes = {7, 15, 100};
    settings.Repeats = 3;
    settings.Seed = 5;
    std::ostringstream cli;
    TreeExperiments::RunExperimentMode(settings, false, cli, 1);
    QCOMPARE(WithoutMs(w.Csv()), WithoutMs(cli.str()));

    // The plots: a mean per size, and the figures of the nearest point.
    const auto levels =
        w.Statistics().Of({TreeExperiments::ListKind::ZigZag, 7, TreeExperiments::TreeName::Scheme},
                          TreeExperiments::Measure::Levels);
    QCOMPARE(levels.Count, 1);
    const QString text =
        w.Plots()->PointText(TreeUi::ExperimentsPlots::Levels, TreeExperiments::ListKind::ZigZag,
                             TreeExperiments::TreeName::Scheme, 7.4);
    QVERIFY2(text.contains(QStringLiteral("zigzag, scheme, n = 7")) &&
                 text.contains(QStringLiteral("Levels: %1").arg(levels.Mean)) &&
                 text.contains(QStringLiteral("least possible 3, AVL worst case 4")),
             qPrintable(text));

    // Sorted by levels as numbers, and copied as CSV lines.
    QTableView* table = w.Table();
    table->sortByColumn(4, Qt::DescendingOrder);
    const auto cell = [&](int row, int column) {
      return table->model()->index(row, column).data();
    };
    QCOMPARE(cell(0, 4).toInt(), 9);  // zigzag 100, the scheme
    QVERIFY(cell(1, 4).toInt() >= cell(2, 4).toInt() && cell(23, 4).toInt() == 3);
    table->selectRow(0);
    table->setFocus();
    QTest::keySequence(table, QKeySequence::Copy);
    QCOMPARE(
        QApplication::clipboard()->text(),
        QStringLiteral("kind,size,repeat,tree,levels,RR,RL,LL,LR,fixups,ms\nzigzag,100,1,"
                       "scheme,9,%1\n")
            .arg(QStringList{cell(0, 5).toString(), cell(0, 6).toString(), cell(0, 7).toString(),
                             cell(0, 8).toString(), cell(0, 9).toString(), cell(0, 10).toString()}
                     .join(',')));

    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("t.csv"));
    QVERIFY(w.SaveTable(csv));
    QFile saved(csv);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll().toStdString(), w.Csv());
    QVERIFY(w.SavePlot(TreeUi::ExperimentsPlots::Levels, dir.filePath(QStringLiteral("l.png"))));
    QVERIFY(!QImage(dir.filePath(QStringLiteral("l.png"))).isNull());
    QVERIFY(w.SavePlot(TreeUi::ExperimentsPlots::Micros, dir.filePath(QStringLiteral("t.svg"))));
    QFile svg(dir.filePath(QStringLiteral("t.svg")));
    QVERIFY(svg.open(QIODevice::ReadOnly) && svg.readAll().contains("<svg"));
    QVERIFY(!w.SaveTable(dir.filePath(QStringLiteral("missing/t.csv"))));
    QVERIFY(w.findChild<QLabel*>(QStringLiteral("ExperimentStatus"))
                ->text()
                .startsWith(QStringLiteral("Could not write")));
  }

  void cancelStopsALongListAndLeavesTheControlsReady() {
    ExperimentsWindow w;
    w.show();
    Choose(w, {"descending", "ascending"}, QStringLiteral("32767"), 1);
    QSignalSpy finished(&w, &ExperimentsWindow::Finished);
    QVERIFY(w.Run());
    QTest::qWait(100);
    Button(w, "ExperimentCancel")->click();
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().first().toBool(), true);
    QVERIFY(!w.Running());
    QCOMPARE(w.Table()->model()->rowCount(), 0);
    QVERIFY(Button(w, "ExperimentRun")->isEnabled() && !Button(w, "ExperimentCancel")->isEnabled());
    // A window closed while running stops its workers too.
    QVERIFY(w.Run());
    w.close();
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.last().first().toBool(), true);
  }

  void refusesWhatItCannotRun() {
    ExperimentsWindow w;
    auto* status = w.findChild<QLabel*>(QStringLiteral("ExperimentStatus"));
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("0"), QStringLiteral("Sizes")},
        {QStringLiteral("3,x"), QStringLiteral("Sizes")},
        {QStringLiteral("40000"), QStringLiteral("Sizes")}};
    for (const auto& [sizes, says] : cases) {
      Choose(w, {"random"}, sizes, 1);
      QVERIFY(!w.Run());
      QVERIFY2(status->text().startsWith(says), qPrintable(status->text()));
    }
    Choose(w, {}, QString(), 1);
    QVERIFY(!w.Run());
    Choose(w, {"random"}, QString(), 1);
    w.findChild<QLineEdit*>(QStringLiteral("ExperimentSeed"))->setText(QStringLiteral("-1"));
    QVERIFY(!w.Run());
    QVERIFY(!w.Running());
  }
};

QTEST_MAIN(ExperimentsWindowTests)
#include "ExperimentsWindowTests.moc"
