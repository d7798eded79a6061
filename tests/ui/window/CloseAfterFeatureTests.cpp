// Closing the window after each feature: everything the feature made is
// freed once, and nothing says a word (the sanitizer build runs this with
// every Qt warning fatal).
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "UiTestSupport.h"
#include "pictures/PictureActions.h"
#include "steps/StepsWindow.h"

using UiTest::Harness;

namespace {

QAction* Action(Harness& h, const char* name) {
  return h.Window->findChild<QAction*>(QString::fromLatin1(name));
}

// Answers every modal dialog as it shows while the window lives: a file
// dialog with `path`, any other with OK.
void AnswerWith(Harness& h, const QString& path) {
  auto* answer = new QTimer(h.Window.get());
  QObject::connect(answer, &QTimer::timeout, [path] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    if (auto* files = qobject_cast<QFileDialog*>(dialog)) files->selectFile(path);
    dialog->accept();
  });
  answer->start(0);
}

}  // namespace

class CloseAfterFeatureTests : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    list_ = dir_.filePath(QStringLiteral("list.txt"));
    QFile file(list_);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("5,3,8,1,4,7,9,2,6") > 0);
  }

  void closingAfterAFeature_data() {
    QTest::addColumn<std::function<void(Harness&)>>("feature");
    const QString list = list_, saved = dir_.filePath(QStringLiteral("saved.txt"));
    const QString pdf = dir_.filePath(QStringLiteral("steps.pdf"));
    const QString svg = dir_.filePath(QStringLiteral("tree.svg"));
    const auto open = [list](Harness& h) {
      AnswerWith(h, list);
      Action(h, "OpenList")->trigger();
    };
    QTest::newRow("Open") << std::function<void(Harness&)>(open);
    QTest::newRow("Save") << std::function<void(Harness&)>([saved](Harness& h) {
      AnswerWith(h, saved);
      Action(h, "SaveList")->trigger();
    });
    QTest::newRow("Recent Lists") << std::function<void(Harness&)>([open](Harness& h) {
      open(h);
      Action(h, "RecentList1")->trigger();
      Action(h, "RecentList1")->trigger();
    });
    QTest::newRow("dropped file") << std::function<void(Harness&)>([list](Harness& h) {
      QMimeData mime;
      mime.setUrls({QUrl::fromLocalFile(list)});
      QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(h.Window.get(), &drop);
    });
    QTest::newRow("Balancing Steps") << std::function<void(Harness&)>([open](Harness& h) {
      open(h);
      h.Window->OpenBalancingSteps();
    });
    QTest::newRow("Compare") << std::function<void(Harness&)>([open](Harness& h) {
      open(h);
      Action(h, "CompareWithAvlAction")->trigger();
    });
    QTest::newRow("PDF") << std::function<void(Harness&)>([open, pdf](Harness& h) {
      open(h);
      TreeUi::StepsWindow* steps = h.Window->OpenBalancingSteps();
      AnswerWith(h, pdf);
      steps->findChild<QPushButton*>(QStringLiteral("SaveStepsPdf"))->click();
    });
    QTest::newRow("print") << std::function<void(Harness&)>([open](Harness& h) {
      open(h);
      h.Window->findChild<TreeUi::PictureActions*>()->PrintAction()->trigger();
    });
    QTest::newRow("export") << std::function<void(Harness&)>([open, svg](Harness& h) {
      open(h);
      QVERIFY(h.Window->findChild<TreeUi::PictureActions*>()->ExportTo(svg));
    });
  }

  void closingAfterAFeature() {
    QFETCH(std::function<void(Harness&)>, feature);
    auto h = std::make_unique<Harness>();
    feature(*h);
    QCoreApplication::processEvents();
    for (const UiTest::Message& m : h->Sink.Messages)
      QVERIFY2(m.Icon != TreeUi::MessageIcon::Error, qPrintable(m.Text));
    h.reset();
    // What the window left to be deleted later goes now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

 private:
  QTemporaryDir dir_;
  QString list_;
};

QTEST_MAIN(CloseAfterFeatureTests)
#include "CloseAfterFeatureTests.moc"
