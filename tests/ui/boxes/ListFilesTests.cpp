// Lists in files through the real window: the file dialogs answered by
// name, the recent files kept in an INI file, and a dropped file.
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <numeric>
#include <random>

#include "UiTestSupport.h"
#include "boxes/BoxEditing.h"
#include "boxes/ListFiles.h"

using UiTest::Harness;
using UiTest::InOrderValues;

namespace {

// The longest list a box takes; the sanitizer build checks the whole tree
// after every insertion, so it opens a shorter one that still goes to the
// worker.
#ifdef NDEBUG
constexpr int LongList = 32767;
#else
constexpr int LongList = 3000;
#endif

// Answers the file dialog called `name` with `path` once it shows.
void Answer(Harness& h, const char* name, const QString& path) {
  QTimer::singleShot(0, h.Window.get(), [&h, name, path] {
    if (auto* dialog = h.Window->findChild<QFileDialog*>(QString::fromLatin1(name))) {
      dialog->selectFile(path);
      static_cast<QDialog*>(dialog)->accept();  // as the Open or Save button does
    } else if (QWidget* modal = QApplication::activeModalWidget()) {
      modal->close();  // the wrong dialog: the checks after it fail
    }
  });
}

QAction* Action(Harness& h, const char* name) {
  return h.Window->findChild<QAction*>(QString::fromLatin1(name));
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

}  // namespace

class ListFilesTests : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    TreeUi::ListFiles::UseSettingsFile(dir_.filePath(QStringLiteral("recent.ini")));
  }

  void openAndSaveThroughTheDialogsAndRecentLists() {
    const QString a = dir_.filePath(QStringLiteral("a.txt")), b = dir_.filePath("b.txt");
    Write(a,
          "\xEF\xBB\xBF"
          "5\r\n3\n8\t1\n");
    {
      Harness h;
      QVERIFY(h.Window->PadMenu()->actions().contains(Action(h, "OpenList")));
      std::unique_ptr<QMenu> boxMenu(
          h.Box("TxtGetTree")->findChild<TreeUi::BoxEditing*>()->CreateContextMenu());
      QVERIFY(boxMenu->actions().contains(Action(h, "SaveList")));
      Answer(h, "OpenListDialog", a);
      Action(h, "OpenList")->trigger();
      QCOMPARE(h.Box("TxtGetTree")->text(), QStringLiteral("5,3,8,1"));
      QCOMPARE(InOrderValues(), (std::vector<int>{1, 3, 5, 8}));
      h.Box("TxtGetTree")->setText(QStringLiteral(" 7, 2"));
      Answer(h, "SaveListDialog", b);
      Action(h, "SaveList")->trigger();
      QVERIFY(h.Sink.Messages.empty());
    }
    QFile saved(b);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray(" 7, 2"));  // as it stood
    Harness h;                                       // the recent files outlive the window
    const auto* recent = h.Window->findChild<QMenu*>(QStringLiteral("RecentLists"));
    QCOMPARE(recent->actions().size(), 2);
    QVERIFY(recent->actions()[0]->text().endsWith(QStringLiteral("b.txt")));
    recent->actions()[1]->trigger();
    QCOMPARE(h.Box("TxtGetTree")->text(), QStringLiteral("5,3,8,1"));
  }

  // A long list opened through the dialog, a recent file opened on top of it,
  // and the window then destroyed: every action is deleted once, without a
  // Qt warning.
  void aLongListOpenedThenTheWindowDestroyed() {
    std::vector<int> values(LongList);
    std::iota(values.begin(), values.end(), -32768);
    std::shuffle(values.begin(), values.end(), std::mt19937(34));
    QStringList pieces;
    for (int v : values) pieces << QString::number(v);
    const QString path = dir_.filePath(QStringLiteral("long.txt"));
    Write(path, pieces.join(QLatin1Char(',')).toLatin1());
    auto h = std::make_unique<Harness>();
    Answer(*h, "OpenListDialog", path);
    Action(*h, "OpenList")->trigger();
    QCOMPARE(TreeCore::MainTree.Count, LongList);
    // The recent file's action rebuilds the menu that holds it.
    h->Window->findChild<QMenu*>(QStringLiteral("RecentLists"))->actions().front()->trigger();
    QCOMPARE(TreeCore::MainTree.Count, LongList);
    h.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // The box's own refusals judge the file, and a dropped file opens as well.
  void aDroppedFileIsJudgedAsTheBoxJudgesAPaste() {
    const QString bad = dir_.filePath(QStringLiteral("bad.txt"));
    Write(bad, "4\n99999\n");
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(bad)});
    for (QWidget* target :
         {static_cast<QWidget*>(h.Window.get()), static_cast<QWidget*>(h.Box("txtEraseNode"))}) {
      // As a drag from a file manager arrives: enter, then the drop.
      QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(target, &enter);
      QVERIFY(enter.isAccepted());
      QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(target, &drop);
    }
    QCOMPARE(h.Sink.Messages.size(), std::size_t{2});
    QCOMPARE(h.Sink.Messages[0].Text, QStringLiteral("Please enter numbers only!"));
    QCOMPARE(InOrderValues(), (std::vector<int>{3, 5, 8}));
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.Box("TxtGetTree")->text(), QStringLiteral("4,99999"));
  }

 private:
  QTemporaryDir dir_;
};

QTEST_MAIN(ListFilesTests)
#include "ListFilesTests.moc"
