// The four commands, the status panel and the keyboard, through the real
// window with its messages recorded.
#include <QTest>

#include "UiTestSupport.h"

using TreeUi::MessageIcon;
using UiTest::Harness;
using UiTest::InOrderValues;
using UiTest::ShownCaptions;

namespace {

const QString NumbersOnly = QStringLiteral("Please enter numbers only!");
const QString NoTree =
    QStringLiteral("The Node was not found in the Tree since there is no Tree to seach in");
const QString NotFound = QStringLiteral("The Node has not been found in the Tree");
const QString NotInTree = QStringLiteral("The Element does not exist in the tree");

// The one message a command showed.
#define EXPECT_ONE_MESSAGE(h, text, title, icon)          \
  do {                                                    \
    QCOMPARE((h).Sink.Messages.size(), std::size_t{1});   \
    QCOMPARE((h).Sink.Messages[0].Text, QString(text));   \
    QCOMPARE((h).Sink.Messages[0].Title, QString(title)); \
    QVERIFY((h).Sink.Messages[0].Icon == (icon));         \
    QVERIFY(!(h).Sink.Messages[0].BusyCursorShown);       \
  } while (false)

// Everything a refused command must leave alone.
struct Snapshot {
  std::vector<int> Values;
  std::vector<std::string> Captions;
  std::int16_t Elements;
  float Width, Height;
  static Snapshot Of(frmTreeTest& w) {
    return {InOrderValues(), ShownCaptions(w), TreeCore::DrawnElementCount, TreeCore::DrawingWidth,
            TreeCore::DrawingHeight};
  }
  bool operator==(const Snapshot&) const = default;
};

QString Repeat(const QString& piece, int count) {
  QStringList pieces;
  for (int i = 0; i < count; ++i) pieces << piece;
  return pieces.join(QLatin1Char(','));
}

}  // namespace

class CommandTests : public QObject {
  Q_OBJECT

 private slots:
  void getTreeAcceptsBlanksAndRounds_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::vector<int>>("values");
    QTest::newRow("example of the label") << "1, 2, 3" << std::vector<int>{1, 2, 3};
    QTest::newRow("2.5 gives 2") << "2.5" << std::vector<int>{2};
    QTest::newRow("3.5 gives 4") << "3.5" << std::vector<int>{4};
    QTest::newRow("-0.5 gives 0") << "-0.5" << std::vector<int>{0};
    QTest::newRow("signs and exponent")
        << " +1e1 ,-7, 32767,-32768" << std::vector<int>{-32768, -7, 10, 32767};
    QTest::newRow("equal values all go in") << "4,4,4" << std::vector<int>{4, 4, 4};
  }
  void getTreeAcceptsBlanksAndRounds() {
    QFETCH(QString, text);
    QFETCH(std::vector<int>, values);
    Harness h;
    h.GetTree(text);
    QVERIFY(h.Sink.Messages.empty());
    QCOMPARE(InOrderValues(), values);
    QCOMPARE(TreeCore::MainTree.Count, static_cast<std::int32_t>(values.size()));
    QCOMPARE(h.Box("TxtGetTree")->text(), text);  // stays as typed
    QCOMPARE(static_cast<std::size_t>(TreeCore::DrawnElementCount), values.size());
    QVERIFY(h.Window->Elements().TreeNode[0].Visible);
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void getTreeWithEmptyText() {
    Harness h;
    h.Box("txtEraseNode")->setFocus();
    h.Button("CmdGetTree")->click();
    EXPECT_ONE_MESSAGE(h, "Insert integer numbers in textbox separated by commas", "Error",
                       MessageIcon::Error);
    QCOMPARE(QApplication::focusWidget(), h.Box("TxtGetTree"));
    QVERIFY(!TreeCore::MainTree.Exists);
  }

  // Refused lists leave the previous tree and drawing on screen and empty the box.
  void getTreeRefusesAndKeepsTheTree_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("a letter") << "4,x,6";
    QTest::newRow("trailing comma") << "7,";
    QTest::newRow("above 16 bits") << "32768";
    QTest::newRow("rounds above 16 bits") << "32767.5";
  }
  void getTreeRefusesAndKeepsTheTree() {
    QFETCH(QString, text);
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    const Snapshot before = Snapshot::Of(*h.Window);
    h.Button("CmdGetTree")->setFocus();
    h.GetTree(text);
    EXPECT_ONE_MESSAGE(h, NumbersOnly, "Error", MessageIcon::Error);
    QVERIFY(h.Box("TxtGetTree")->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), h.Box("TxtGetTree"));
    QVERIFY(Snapshot::Of(*h.Window) == before);
    QCOMPARE(ShownCaptions(*h.Window), (std::vector<std::string>{"3", "5", "8"}));
  }

  // More pieces than a list may hold: refused as a wrong piece is, tree unchanged.
  void tooLongListsAreRefused() {
    Harness h;
    // The whole list reaches the command: no text box cuts it short.
    QVERIFY(h.Box("TxtGetTree")->maxLength() >= 32767 * 7);
    h.GetTree(QStringLiteral("5,3,8"));
    const Snapshot before = Snapshot::Of(*h.Window);
    const QString tooLong = Repeat(QStringLiteral("1"), 32768);
    h.GetTree(tooLong);
    EXPECT_ONE_MESSAGE(h, NumbersOnly, "Error", MessageIcon::Error);
    QVERIFY(h.Box("TxtGetTree")->text().isEmpty());
    QVERIFY(Snapshot::Of(*h.Window) == before);

    h.Sink.Messages.clear();
    h.Box("txtEraseNode")->setText(tooLong);
    h.Button("CmdEraseTree")->click();
    EXPECT_ONE_MESSAGE(h, NumbersOnly, "Error", MessageIcon::Error);
    QVERIFY(Snapshot::Of(*h.Window) == before);

    // 32767 pieces is a list: 8 goes, then the next 8 is not there.
    h.Sink.Messages.clear();
    h.Box("txtEraseNode")->setText(Repeat(QStringLiteral("8"), 32767));
    h.Button("CmdEraseTree")->click();
    EXPECT_ONE_MESSAGE(h, NotInTree, "Error", MessageIcon::Error);
    QCOMPARE(InOrderValues(), (std::vector<int>{3, 5}));
  }

  void searchMessages_data() {
    QTest::addColumn<QString>("tree");  // empty: no tree built
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("found");
    QTest::newRow("found") << "5,3,8"
                           << "8"
                           << "The Node 2 contains 8."
                           << "Node Found" << true;
    QTest::newRow("quoted as typed") << "5,3,8"
                                     << " 8"
                                     << "The Node 2 contains  8."
                                     << "Node Found" << true;
    QTest::newRow("rounded, quoted") << "5,3,8"
                                     << "7.5"
                                     << "The Node 2 contains 7.5."
                                     << "Node Found" << true;
    QTest::newRow("not found") << "5,3,8"
                               << "4" << NotFound << "Error" << false;
    QTest::newRow("32-bit value") << "5,3,8"
                                  << "2147483647" << NotFound << "Error" << false;
    QTest::newRow("no tree") << ""
                             << "8" << NoTree << "Error" << false;
  }
  void searchMessages() {
    QFETCH(QString, tree);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QString, title);
    QFETCH(bool, found);
    Harness h;
    if (!tree.isEmpty()) h.GetTree(tree);
    h.Box("txtSearchNode")->setText(text);
    h.Button("cmdSearchNode")->click();
    EXPECT_ONE_MESSAGE(h, message, title, found ? MessageIcon::Warning : MessageIcon::Error);
    QCOMPARE(QApplication::focusWidget(), h.Box("txtSearchNode"));
    QCOMPARE(h.Box("txtSearchNode")->selectedText(), text);
  }

  void searchRefusesWhatIsNotA32BitNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("letters") << "eight";
    QTest::newRow("above 32 bits") << "2147483648";
    QTest::newRow("below 32 bits") << "-2147483649";
  }
  void searchRefusesWhatIsNotA32BitNumber() {
    QFETCH(QString, text);
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    const Snapshot before = Snapshot::Of(*h.Window);
    h.Box("txtSearchNode")->setText(text);
    h.Button("cmdSearchNode")->click();
    EXPECT_ONE_MESSAGE(h, NumbersOnly, "Error", MessageIcon::Error);
    QVERIFY(h.Box("txtSearchNode")->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), h.Box("txtSearchNode"));
    QVERIFY(Snapshot::Of(*h.Window) == before);
  }

  // 3 goes, 99 is refused, the tree is redrawn without 3 and the whole text
  // is selected.
  void eraseStopsAtAMissingValue() {
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    h.Box("txtEraseNode")->setText(QStringLiteral("3,99,8"));
    h.Button("CmdEraseTree")->click();
    EXPECT_ONE_MESSAGE(h, NotInTree, "Error", MessageIcon::Error);
    QCOMPARE(InOrderValues(), (std::vector<int>{5, 8}));  // 8 was not looked at
    QCOMPARE(ShownCaptions(*h.Window), (std::vector<std::string>{"5", "8"}));
    QCOMPARE(TreeCore::DrawnElementCount, std::int16_t{2});
    QCOMPARE(QApplication::focusWidget(), h.Box("txtEraseNode"));
    QCOMPARE(h.Box("txtEraseNode")->selectedText(), QStringLiteral("3,99,8"));
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void eraseEverythingThenMore() {
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    h.Box("txtEraseNode")->setText(QStringLiteral("5,3,8"));
    h.Button("CmdEraseTree")->click();
    QVERIFY(h.Sink.Messages.empty());
    QVERIFY(!TreeCore::MainTree.Exists);
    QVERIFY(ShownCaptions(*h.Window).empty());
    QVERIFY(h.Bar("HScrollDrawP")->isHidden());

    h.Box("txtEraseNode")->setText(QStringLiteral("5"));
    h.Button("CmdEraseTree")->click();
    EXPECT_ONE_MESSAGE(h, "The Tree is Empty", "Error", MessageIcon::Error);
    QCOMPARE(h.Box("txtEraseNode")->selectedText(), QStringLiteral("5"));
  }

  void eraseOnAnEmptyTree() {
    Harness h;
    h.Box("txtEraseNode")->setText(QStringLiteral("1"));
    h.Button("CmdEraseTree")->click();
    EXPECT_ONE_MESSAGE(h, "The Tree is Empty", "Error", MessageIcon::Error);
    QVERIFY(ShownCaptions(*h.Window).empty());
    QCOMPARE(QApplication::focusWidget(), h.Box("txtEraseNode"));
  }

  void eraseRefusals_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("emptied");
    QTest::newRow("empty") << ""
                           << "Insert an integer number to erase" << false;
    QTest::newRow("letter") << "3,x" << NumbersOnly << true;
    QTest::newRow("out of range") << "3,40000" << NumbersOnly << true;
  }
  void eraseRefusals() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(bool, emptied);
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    const Snapshot before = Snapshot::Of(*h.Window);
    h.Box("txtEraseNode")->setText(text);
    h.Button("CmdEraseTree")->click();
    EXPECT_ONE_MESSAGE(h, message, "Error", MessageIcon::Error);
    QVERIFY(Snapshot::Of(*h.Window) == before);  // 3 is not erased either
    QCOMPARE(h.Box("txtEraseNode")->text().isEmpty(), emptied || text.isEmpty());
    QCOMPARE(QApplication::focusWidget(), h.Box("txtEraseNode"));
  }

  void clearTreeThenSearch() {
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    h.Box("txtSearchNode")->setText(QStringLiteral("3"));
    h.Box("txtEraseNode")->setText(QStringLiteral("9"));
    h.Button("CmdClearTree")->click();
    QVERIFY(h.Sink.Messages.empty());
    for (const char* name : {"TxtGetTree", "txtSearchNode", "txtEraseNode"})
      QVERIFY2(h.Box(name)->text().isEmpty(), name);
    QCOMPARE(QApplication::focusWidget(), h.Box("TxtGetTree"));
    QVERIFY(ShownCaptions(*h.Window).empty());
    QCOMPARE(TreeCore::DrawnElementCount, std::int16_t{0});

    h.Box("txtSearchNode")->setText(QStringLiteral("5"));
    h.Button("cmdSearchNode")->click();
    EXPECT_ONE_MESSAGE(h, NoTree, "Error", MessageIcon::Error);
  }

  // A cleared drawing takes its extent along: a resize afterwards shows no
  // scroll bars over the empty pad.
  void clearTreeForgetsTheExtent() {
    Harness h;
    QStringList values;
    for (int i = 1; i <= 100; ++i) values << QString::number(i * 7 % 101);
    h.GetTree(values.join(QLatin1Char(',')));
    QVERIFY(!h.Bar("HScrollDrawP")->isHidden());
    h.Bar("HScrollDrawP")->setValue(300);
    h.Button("CmdClearTree")->click();
    QCOMPARE(TreeCore::DrawingWidth, 0.0f);
    h.Window->resize(h.Window->width() + 20, h.Window->height() + 20);
    QVERIFY(h.Bar("HScrollDrawP")->isHidden());
    QVERIFY(h.Bar("VScrollDrawP")->isHidden());
    QCOMPARE(h.Surface()->Width(), h.Pad()->width() * 15.0);
    QCOMPARE(h.Surface()->Left(), 0.0);
    QCOMPARE(h.Bar("HScrollDrawP")->value(), 0);
  }

  // A new drawing starts at the top-left, and so do the scroll positions.
  void newDrawingStartsAtTheOrigin() {
    Harness h;
    QStringList values;
    for (int i = 1; i <= 200; ++i) values << QString::number(i);
    h.GetTree(values.join(QLatin1Char(',')));
    QScrollBar* bar = h.Bar("HScrollDrawP");
    bar->setValue(bar->maximum() / 2);
    QVERIFY(h.Surface()->Left() < 0);
    h.GetTree(values.join(QLatin1Char(',')));
    QCOMPARE(bar->value(), 0);
    QCOMPARE(h.Surface()->Left(), 0.0);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(h.Surface()->Left(), -100.0);
  }

  void statusPanelShowsTheClickedNode() {
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    QVERIFY(h.Status()->text().isEmpty());
    const auto& labels = h.Window->Elements().TreeNode;
    QTest::mouseClick(h.Surface(), Qt::LeftButton, {}, h.LabelCentre(1).toPoint());
    const QString first = TreeUi::DisplayText(labels[1].ToolTipText);
    QCOMPARE(h.Status()->text(), first);
    QCOMPARE(first.split(QLatin1Char('\n')).size(), 9);
    QCOMPARE(first.split(QLatin1Char('\n'))[4], QString());
    QTest::mouseClick(h.Surface(), Qt::LeftButton, {}, h.LabelCentre(1).toPoint());
    QCOMPARE(h.Status()->text(), first);
    QTest::mouseClick(h.Surface(), Qt::LeftButton, {}, h.LabelCentre(0).toPoint());
    QCOMPARE(h.Status()->text(), TreeUi::DisplayText(labels[0].ToolTipText));
    QVERIFY(h.Status()->text().startsWith(QStringLiteral("Node(0): 5\nParent (-1): Null\n")));
    // Beside the labels, or with another button: the panel keeps its text.
    QTest::mouseClick(h.Surface(), Qt::LeftButton, {}, QPoint(2, h.Surface()->height() - 2));
    QTest::mouseClick(h.Surface(), Qt::RightButton, {}, h.LabelCentre(1).toPoint());
    QVERIFY(h.Status()->text().startsWith(QStringLiteral("Node(0): 5")));

    // No command touches the panel.
    h.Button("CmdClearTree")->click();
    QVERIFY(h.Status()->text().startsWith(QStringLiteral("Node(0): 5")));
    h.GetTree(QStringLiteral("1"));
    QVERIFY(h.Status()->text().startsWith(QStringLiteral("Node(0): 5")));
  }

  // 511 values make nine rows: more than two viewport heights.
  void pageUpAndPageDown() {
    Harness h;
    QStringList values;
    for (int i = 1; i <= 511; ++i) values << QString::number(i * 37 % 1021);
    h.GetTree(values.join(QLatin1Char(',')));
    QScrollBar* bar = h.Bar("VScrollDrawP");
    QVERIFY(!bar->isHidden());
    const int page = h.Pad()->height() * 15;
    QVERIFY(bar->maximum() > page);
    QVERIFY(bar->maximum() < 2 * page);

    // From a button as from a text box: one page per press, not two.
    h.Button("CmdGetTree")->setFocus();
    QTest::keyClick(h.Button("CmdGetTree"), Qt::Key_PageDown);
    QCOMPARE(bar->value(), page);
    QCOMPARE(h.Surface()->Top(), -double(page));
    QCOMPARE(QApplication::focusWidget(), h.Box("TxtGetTree"));
    // Less than a page left: to the bottom; at the bottom: stays there.
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_PageDown);
    QCOMPARE(bar->value(), bar->maximum());
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_PageDown);
    QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(h.Surface()->Top(), -double(bar->maximum()));

    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_PageUp);
    QCOMPARE(bar->value(), bar->maximum() - page);
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_PageUp);
    QCOMPARE(bar->value(), 0);
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_PageUp);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(h.Surface()->Top(), 0.0);

    // Other keys do not scroll; nor do ! and ", whose Qt codes are 33 and 34.
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_End, Qt::Key_Home, Qt::Key_Exclam, Qt::Key_QuoteDbl})
      QTest::keyClick(h.Box("TxtGetTree"), key);
    QTest::keyClicks(h.Box("TxtGetTree"), QStringLiteral("!\""));
    QCOMPARE(bar->value(), 0);
  }

  void pageKeysWithoutAVerticalBar() {
    Harness h;
    h.GetTree(QStringLiteral("5,3,8"));
    QVERIFY(h.Bar("VScrollDrawP")->isHidden());
    QTest::keyClick(h.Box("TxtGetTree"), Qt::Key_PageDown);
    QCOMPARE(h.Surface()->Top(), 0.0);
    QCOMPARE(h.Bar("VScrollDrawP")->value(), 0);
  }

  // Enter in each box runs its command exactly once; other keys only type.
  void enterInEachBox_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QString>("message");
    QTest::newRow("Get Tree, Return") << "TxtGetTree" << Qt::Key_Return
                                      << "Insert integer numbers in textbox separated by commas";
    QTest::newRow("Get Tree, keypad Enter")
        << "TxtGetTree" << Qt::Key_Enter << "Insert integer numbers in textbox separated by commas";
    QTest::newRow("Search") << "txtSearchNode" << Qt::Key_Return << NumbersOnly;
    QTest::newRow("Erase") << "txtEraseNode" << Qt::Key_Return
                           << "Insert an integer number to erase";
  }
  void enterInEachBox() {
    QFETCH(QString, box);
    QFETCH(Qt::Key, key);
    QFETCH(QString, message);
    Harness h;
    QLineEdit* edit = h.Box(box.toLatin1().constData());
    edit->setFocus();
    QTest::keyClick(edit, key);
    EXPECT_ONE_MESSAGE(h, message, "Error", MessageIcon::Error);
  }

  void enterRunsTheCommands() {
    Harness h;
    QLineEdit* list = h.Box("TxtGetTree");
    list->setFocus();
    QTest::keyClicks(list, QStringLiteral("5,3,8"));
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(h.Sink.Messages.empty());
    QCOMPARE(InOrderValues(), (std::vector<int>{3, 5, 8}));
    QCOMPARE(list->text(), QStringLiteral("5,3,8"));

    QLineEdit* search = h.Box("txtSearchNode");
    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("8"));
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_ONE_MESSAGE(h, "The Node 2 contains 8.", "Node Found", MessageIcon::Warning);

    h.Sink.Messages.clear();
    QLineEdit* erase = h.Box("txtEraseNode");
    erase->setFocus();
    QTest::keyClicks(erase, QStringLiteral("3"));
    QTest::keyClick(erase, Qt::Key_Return);
    QVERIFY(h.Sink.Messages.empty());
    QCOMPARE(InOrderValues(), (std::vector<int>{5, 8}));
    QCOMPARE(erase->selectedText(), QStringLiteral("3"));
  }
};

QTEST_MAIN(CommandTests)
#include "CommandTests.moc"
