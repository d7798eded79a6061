// Pictures, ready-made lists, paste and undo through the real window, with
// its messages recorded.
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QTemporaryDir>
#include <QTest>

#include "boxes/BoxEditing.h"
#include "boxes/ListsMenu.h"
#include "pictures/PictureActions.h"
#include "UiTestSupport.h"

using TreeCommands::ReadyList;
using TreeUi::MessageIcon;
using UiTest::Harness;
using UiTest::InOrderValues;

namespace {

const QString NumbersOnly = QStringLiteral("Please enter numbers only!");

TreeUi::PictureActions* Pictures(Harness& h) {
  return h.Window->findChild<TreeUi::PictureActions*>(QStringLiteral("PictureActions"));
}
TreeUi::ListsMenu* Lists(Harness& h) {
  return h.Window->findChild<TreeUi::ListsMenu*>(QStringLiteral("ListsMenu"));
}
TreeUi::BoxEditing* Editing(QLineEdit* box) {
  return box->findChild<TreeUi::BoxEditing*>();
}
QStringList Captions(const QMenu* menu) {
  QStringList out;
  for (const QAction* a : menu->actions())
    if (!a->isSeparator()) out << a->text();
  return out;
}

}  // namespace

class ExportWindowTests : public QObject {
  Q_OBJECT

 private slots:
  void padMenuAndListBoxMenuOfferTheNewActions() {
    Harness h;
    // Ours, in this order, among whatever else the pad offers.
    const QStringList pad = Captions(h.Window->PadMenu());
    qsizetype at = -1;
    for (const char* caption : {"Export Picture…", "Copy Picture", "Print…", "Lists"}) {
      const qsizetype next = pad.indexOf(QString::fromUtf8(caption), at + 1);
      QVERIFY2(next > at, caption);
      at = next;
    }
    const QStringList lists{"Random Values…", "Ascending 1..N…", "Descending N..1…",
                            "Zig-Zag 1, N, 2, N−1…", "Many Equal Values…"};
    QCOMPARE(Captions(Lists(h)->Menu()), lists);
    std::unique_ptr<QMenu> boxMenu(Editing(h.Box("TxtGetTree"))->CreateContextMenu());
    QVERIFY(Captions(boxMenu.get()).contains(QStringLiteral("Lists")));
    std::unique_ptr<QMenu> eraseMenu(Editing(h.Box("txtEraseNode"))->CreateContextMenu());
    QVERIFY(!Captions(eraseMenu.get()).contains(QStringLiteral("Lists")));
  }

  // A refusal empties the box as always; Undo brings the text back with the
  // piece that was refused selected.
  void undoBringsARefusedListBack_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("viaMenu");
    QTest::newRow("Get Tree, Ctrl+Z") << "TxtGetTree"
                                      << "CmdGetTree"
                                      << "4,x,6"
                                      << "x" << 2 << false;
    QTest::newRow("Get Tree, menu Undo") << "TxtGetTree"
                                         << "CmdGetTree"
                                         << "4, 12y ,6"
                                         << "12y" << 3 << true;
    QTest::newRow("Get Tree, trailing comma") << "TxtGetTree"
                                              << "CmdGetTree"
                                              << "7,"
                                              << "" << 2 << false;
    QTest::newRow("Erase, Ctrl+Z") << "txtEraseNode"
                                   << "CmdEraseTree"
                                   << "3,z"
                                   << "z" << 2 << false;
    QTest::newRow("Erase, menu Undo") << "txtEraseNode"
                                      << "CmdEraseTree"
                                      << "99999"
                                      << "99999" << 0 << true;
    QTest::newRow("Search, Ctrl+Z") << "txtSearchNode"
                                    << "cmdSearchNode"
                                    << "8q"
                                    << "8q" << 0 << false;
  }
  void undoBringsARefusedListBack() {
    QFETCH(QString, box);
    QFETCH(QString, button);
    QFETCH(QString, typed);
    QFETCH(QString, selected);
    QFETCH(int, start);
    QFETCH(bool, viaMenu);
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    QLineEdit* edit = h.Box(box.toLatin1().constData());
    edit->clear();
    edit->setFocus();
    QTest::keyClicks(edit, typed);
    h.Button(button.toLatin1().constData())->click();
    QCOMPARE(h.Sink.Messages.size(), std::size_t{1});
    QCOMPARE(h.Sink.Messages[0].Text, NumbersOnly);
    QVERIFY(edit->text().isEmpty());  // emptied exactly as before
    QCOMPARE(QApplication::focusWidget(), edit);

    if (viaMenu) {
      std::unique_ptr<QMenu> menu(Editing(edit)->CreateContextMenu());
      QAction* undo = menu->findChild<QAction*>(QStringLiteral("edit-undo"));
      QVERIFY(undo != nullptr);
      QVERIFY(undo->isEnabled());
      undo->trigger();
    } else {
      QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    }
    QCOMPARE(edit->text(), typed);
    QCOMPARE(edit->selectedText(), selected);
    QCOMPARE(selected.isEmpty() ? edit->cursorPosition() : edit->selectionStart(), start);
    QCOMPARE(InOrderValues(), (std::vector<int>{3, 5, 8}));  // the tree as it was
  }

  // The tooltip says which piece broke which rule until the next command,
  // which brings back the box's own tooltip (here a random list's seed).
  void refusalTooltipLastsUntilTheNextCommand() {
    Harness h;
    QVERIFY(Lists(h)->Fill(ReadyList::Random, QStringLiteral("15"), QStringLiteral("12345")));
    QLineEdit* edit = h.Box("TxtGetTree");
    const QString seedTip = edit->toolTip();
    edit->setText(QStringLiteral("4,99999,6"));
    h.Button("CmdGetTree")->click();
    QCOMPARE(h.Sink.Messages.back().Text, NumbersOnly);
    QCOMPARE(edit->toolTip(),
             QStringLiteral("Piece 2 (\"99999\") is outside −32768..32767.\n"
                            "Ctrl+Z brings the refused text back, the piece selected."));
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit->text(), QStringLiteral("4,99999,6"));
    QVERIFY(edit->toolTip().startsWith(QStringLiteral("Piece 2")));
    h.Box("txtSearchNode")->setText(QStringLiteral("5"));
    h.Button("cmdSearchNode")->click();
    QCOMPARE(edit->toolTip(), seedTip);
  }

  // After the user types again, Undo is the box's own once more.
  void undoAfterNewTypingIsTheBoxesOwn() {
    Harness h;
    QLineEdit* edit = h.Box("TxtGetTree");
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("1,x"));
    h.Button("CmdGetTree")->click();
    QVERIFY(Editing(edit)->CanRestore());
    QTest::keyClicks(edit, QStringLiteral("9"));
    QVERIFY(!Editing(edit)->CanRestore());
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!edit->text().contains(QStringLiteral("1,x")));
  }

  // Pasting a column turns it into a list; typing the same is judged as typed.
  void pastedColumnsBecomeLists_data() {
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("text");
    QTest::newRow("three-line column") << "5\n3\n8\n"
                                       << "5,3,8";
    QTest::newRow("CR LF column") << "5\r\n3\r\n8\r\n"
                                  << "5,3,8";
    QTest::newRow("spreadsheet row") << "5\t3\t8"
                                     << "5,3,8";
  }
  void pastedColumnsBecomeLists() {
    QFETCH(QString, clipboard);
    QFETCH(QString, text);
    Harness h;
    QLineEdit* edit = h.Box("TxtGetTree");
    edit->setFocus();
    QApplication::clipboard()->setText(clipboard);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), text);
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(h.Sink.Messages.empty());
    QCOMPARE(InOrderValues(), (std::vector<int>{3, 5, 8}));

    // The context menu's Paste does the same, into the Erase box too.
    QLineEdit* erase = h.Box("txtEraseNode");
    erase->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("3\n8\n"));
    std::unique_ptr<QMenu> menu(Editing(erase)->CreateContextMenu());
    QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
    QVERIFY(paste != nullptr);
    paste->trigger();
    QCOMPARE(erase->text(), QStringLiteral("3,8"));
  }

  void droppedColumnsBecomeLists() {
    Harness h;
    QLineEdit* edit = h.Box("TxtGetTree");
    QMimeData data;
    data.setText(QStringLiteral("5\r\n3\r\n8\r\n"));
    // As a drag from another program arrives: enter, then the drop.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &drop);
    QCOMPARE(edit->text(), QStringLiteral("5,3,8"));
  }

  void typedTextIsJudgedAsTyped() {
    Harness h;
    QLineEdit* edit = h.Box("TxtGetTree");
    edit->setFocus();
    // Pasted, "1\n\n2" would become 1,2; typed, an empty piece is refused.
    QTest::keyClicks(edit, QStringLiteral("1,,2"));
    h.Button("CmdGetTree")->click();
    QCOMPARE(h.Sink.Messages.size(), std::size_t{1});
    QCOMPARE(h.Sink.Messages[0].Text, NumbersOnly);
  }

  void readyListsFillTheBoxAndBuildTheTree_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::vector<int>>("values");
    QTest::newRow("ascending") << int(ReadyList::Ascending) << "1, 2, 3, 4, 5"
                               << std::vector<int>{1, 2, 3, 4, 5};
    QTest::newRow("descending") << int(ReadyList::Descending) << "5, 4, 3, 2, 1"
                                << std::vector<int>{1, 2, 3, 4, 5};
    QTest::newRow("zig-zag") << int(ReadyList::ZigZag) << "1, 5, 2, 4, 3"
                             << std::vector<int>{1, 2, 3, 4, 5};
    QTest::newRow("many equal") << int(ReadyList::ManyEqual) << "2, 1, 3, 2, 1"
                                << std::vector<int>{1, 1, 2, 2, 3};
  }
  void readyListsFillTheBoxAndBuildTheTree() {
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(std::vector<int>, values);
    Harness h;
    QVERIFY(Lists(h)->Fill(static_cast<ReadyList>(kind), QStringLiteral("5")));
    QVERIFY(h.Sink.Messages.empty());
    QCOMPARE(h.Box("TxtGetTree")->text(), text);
    QCOMPARE(InOrderValues(), values);
    QCOMPARE(UiTest::ShownCaptions(*h.Window).size(), values.size());
  }

  void randomListShowsItsSeedAndRepeatsFromIt() {
    Harness h;
    QVERIFY(Lists(h)->Fill(ReadyList::Random, QStringLiteral("15"), QStringLiteral("12345")));
    QLineEdit* edit = h.Box("TxtGetTree");
    const QString first = edit->text();
    QCOMPARE(edit->toolTip(), QStringLiteral("Random list of 15 values, seed 12345"));
    QCOMPARE(TreeCore::MainTree.Count, 15);
    const std::vector<int> tree = InOrderValues();
    QVERIFY(Lists(h)->Fill(ReadyList::Random, QStringLiteral("15"), QStringLiteral("777")));
    QVERIFY(edit->text() != first);
    QVERIFY(Lists(h)->Fill(ReadyList::Random, QStringLiteral("15"), QStringLiteral("12345")));
    QCOMPARE(edit->text(), first);
    QCOMPARE(InOrderValues(), tree);
    QTest::keyClicks(edit, QStringLiteral(",1"));  // typed over: no longer the seed's list
    QVERIFY(edit->toolTip().isEmpty());
  }

  void badCountsAndSeedsAreRefused_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("seed");
    QTest::addColumn<QString>("message");
    QTest::newRow("N of 0") << int(ReadyList::Ascending) << "0"
                            << ""
                            << "Please enter a whole number from 1 to 32767.";
    QTest::newRow("N above 32767") << int(ReadyList::ZigZag) << "32768"
                                   << ""
                                   << "Please enter a whole number from 1 to 32767.";
    QTest::newRow("N not a number") << int(ReadyList::ManyEqual) << "many"
                                    << ""
                                    << "Please enter a whole number from 1 to 32767.";
    QTest::newRow("random above 1999")
        << int(ReadyList::Random) << "5000"
        << "1"
        << "Please enter a whole number from 1 to 1999: the range -999..999 holds no more "
           "distinct values.";
    QTest::newRow("bad seed") << int(ReadyList::Random) << "15"
                              << "-1"
                              << "Please enter a whole number from 0 to 4294967295 as the seed.";
  }
  void badCountsAndSeedsAreRefused() {
    QFETCH(int, kind);
    QFETCH(QString, count);
    QFETCH(QString, seed);
    QFETCH(QString, message);
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    QVERIFY(!Lists(h)->Fill(static_cast<ReadyList>(kind), count, seed));
    QCOMPARE(h.Sink.Messages.size(), std::size_t{1});
    QCOMPARE(h.Sink.Messages[0].Text, message);
    QCOMPARE(h.Sink.Messages[0].Title, QStringLiteral("Error"));
    QCOMPARE(h.Box("TxtGetTree")->text(), QStringLiteral("5,3,8"));
    QCOMPARE(InOrderValues(), (std::vector<int>{3, 5, 8}));
  }

  void exportWritesSvgAndPng() {
    Harness h;
    h.GetTree(QStringLiteral("4,2,6,1,3,5,7"));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString svg = dir.filePath(QStringLiteral("tree.svg"));
    QVERIFY(Pictures(h)->ExportTo(svg));
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count("<circle"), 7);

    // At the pad's scale: the drawing's size plus the margins.
    const QString png = dir.filePath(QStringLiteral("tree.png"));
    QVERIFY(Pictures(h)->ExportTo(png));
    const QImage asShown(png);
    QVERIFY(!asShown.isNull());
    const TreeCore::Extent e = TreeCore::VisibleExtent(h.Window->Elements());
    QCOMPARE(asShown.width(), static_cast<int>(std::ceil(e.Width() / 15 + 16 - 1e-6)));
    // Fitted: the long side as asked.
    QVERIFY(Pictures(h)->ExportTo(png, {true, 1000}));
    const QImage fitted(png);
    QCOMPARE(std::max(fitted.width(), fitted.height()), 1000);
    QVERIFY(h.Sink.Messages.empty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);  // no temporary left
  }

  void exportFailuresSayWhyAndLeaveNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("svg in a missing folder") << "missing/tree.svg";
    QTest::newRow("png in a missing folder") << "missing/tree.png";
    QTest::newRow("svg over a folder") << "folder";
    QTest::newRow("unknown ending") << "tree.gif";
  }
  void exportFailuresSayWhyAndLeaveNothing() {
    QFETCH(QString, name);
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QString path = dir.filePath(name);
    const bool svgOverFolder = name == QLatin1String("folder");
    if (svgOverFolder) {
      QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.svg")));
      path = dir.filePath(QStringLiteral("folder.svg"));
    }
    QVERIFY(!Pictures(h)->ExportTo(path));
    QCOMPARE(h.Sink.Messages.size(), std::size_t{1});
    QVERIFY(
        h.Sink.Messages[0].Text.startsWith(QStringLiteral("The picture could not be exported: ")));
    QCOMPARE(h.Sink.Messages[0].Title, QStringLiteral("Error"));
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    QCOMPARE(InOrderValues(), (std::vector<int>{3, 5, 8}));
  }

  void pngTooLargeAtThePadsScaleIsRefused() {
    Harness h;
    QVERIFY(Lists(h)->Fill(ReadyList::Ascending, QStringLiteral("2000")));
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("big.png"));
    QVERIFY(!Pictures(h)->ExportTo(png));
    QCOMPARE(h.Sink.Messages.size(), std::size_t{1});
    QVERIFY(h.Sink.Messages[0].Text.contains(QStringLiteral("fit it to a number of pixels")));
    QVERIFY(!QFile::exists(png));
    h.Sink.Messages.clear();
    QVERIFY(Pictures(h)->ExportTo(png, {true, 4096}));
    const QImage image(png);
    QCOMPARE(image.width(), 4096);
    // The short side keeps its size at the pad's scale: a readable outline.
    QVERIFY(image.height() > 100);
  }

  void copyPicturePutsTheVisiblePartOnTheClipboard() {
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    QApplication::clipboard()->clear();
    Pictures(h)->CopyAction()->trigger();
    const QImage image = QApplication::clipboard()->image();
    QVERIFY(!image.isNull());
    QCOMPARE(image.size() / image.devicePixelRatio(), h.Surface()->size());
    // The drawing is in it: the circles' fill colour shows.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int filled = 0;
    for (int y = 0; y < rgb.height(); ++y)
      for (int x = 0; x < rgb.width(); ++x) filled += rgb.pixel(x, y) == qRgb(255, 251, 230);
    QVERIFY(filled > 100);
  }

  // Without a printer the preview still opens, as a window of its own, and
  // closing it leaves the program running.
  void printOpensAPreviewWithoutAPrinter() {
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    Pictures(h)->PrintAction()->trigger();
    QPrintPreviewDialog* preview = Pictures(h)->Preview();
    QVERIFY(preview != nullptr);
    QVERIFY(preview->isVisible());
    QVERIFY(!preview->isModal());
    QCoreApplication::processEvents();
    preview->close();
    QTRY_VERIFY(Pictures(h)->Preview() == nullptr);
    h.GetTree(QStringLiteral("1,2"));
    QCOMPARE(InOrderValues(), (std::vector<int>{1, 2}));
  }

  void picturesNeedATree() {
    Harness h;
    h.Window->PadMenu()->popup(QPoint(0, 0));
    QVERIFY(!Pictures(h)->ExportAction()->isEnabled());
    QVERIFY(!Pictures(h)->PrintAction()->isEnabled());
    h.Window->PadMenu()->close();
    h.GetTree(QStringLiteral("1"));
    h.Window->PadMenu()->popup(QPoint(0, 0));
    QVERIFY(Pictures(h)->ExportAction()->isEnabled());
    h.Window->PadMenu()->close();
  }
};

QTEST_MAIN(ExportWindowTests)
#include "ExportWindowTests.moc"
