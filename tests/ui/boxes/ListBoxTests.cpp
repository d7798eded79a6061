// The text box for long lists: it looks and edits as a line edit does, and
// while nothing happens its caret blinks without painting the text again.
#include <QAccessible>
#include <QApplication>
#include <QBackingStore>
#include <QElapsedTimer>
#include <QImage>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QScopeGuard>
#include <QStyle>
#include <QTest>
#include <QTextCharFormat>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <vector>

#include "FatalWarnings.h"
#include "boxes/ListBox.h"
#include "boxes/UnshapedLists.h"

using TreeUi::ListBox;

namespace {

QString LongList(int count) {
  QStringList pieces;
  for (int i = count; i >= 1; --i) pieces << QString::number(i);
  return pieces.join(QLatin1Char(','));
}

// Waits `ms` while events are handled.
void Idle(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QTest::qWait(10);
}

// Pixels that differ, outside the columns [skipFrom, skipTo].
int Differences(const QImage& a, const QImage& b, int skipFrom = -1, int skipTo = -2) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if ((x < skipFrom || x > skipTo) && a.pixel(x, y) != b.pixel(x, y)) ++n;
  return n;
}

// A ListBox and a plain line edit side by side, each in a window of its own
// so that each can have the focus in turn.
struct Pair {
  Pair(const QString& text, int cursor) {
    for (QLineEdit* e : {static_cast<QLineEdit*>(&Box), &Plain}) {
      e->setMaxLength(1 << 30);
      e->resize(200, 23);
      e->setText(text);
      e->setCursorPosition(cursor);
      e->show();
    }
  }
  // The edit's image with the focus in it, just after its caret was placed
  // (so the caret shows).
  static QImage Focused(QLineEdit& e, int cursor) {
    QApplication::setActiveWindow(&e);
    e.setFocus();
    e.setCursorPosition(0);
    e.setCursorPosition(cursor);
    QApplication::processEvents();
    return e.grab().toImage();
  }
  ListBox Box;
  QLineEdit Plain;
};

// What the window of `e` holds on screen for it (its backing store).
QImage OnScreen(QLineEdit& e) {
  auto* frame = static_cast<QImage*>(e.window()->backingStore()->paintDevice());
  const QPoint at = e.mapTo(e.window(), QPoint(0, 0));
  return frame->copy(QRect(at, e.size()));
}

// The frames `e` shows on screen over half a second, each one once.
QList<QImage> FramesShown(QLineEdit& e) {
  QList<QImage> frames;
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 500) {
    QTest::qWait(20);
    if (const QImage frame = OnScreen(e); !frames.contains(frame)) frames << frame;
  }
  return frames;
}

// What accessibility and the input method read of `e`, in its own coordinates.
QString Read(QLineEdit& e) {
  QAccessibleInterface* box = QAccessible::queryAccessibleInterface(&e);
  if (box == nullptr || box->textInterface() == nullptr) return {};
  QAccessibleTextInterface* text = box->textInterface();
  int from = 0, to = 0;
  text->selection(0, &from, &to);
  const QPoint origin = e.mapToGlobal(QPoint(0, 0));
  QString read;
  QDebug(&read) << text->cursorPosition() << from << to
                << text->characterRect(text->cursorPosition()).translated(-origin)
                << text->offsetAtPoint(origin + QPoint(60, 11))
                << e.inputMethodQuery(Qt::ImCursorRectangle);
  return read;
}

void Change(QLineEdit& e, int which) {
  QTextCharFormat underlined;
  underlined.setFontUnderline(true);
  const QVariant format = QVariant::fromValue<QTextFormat>(underlined);
  // Pre-edit "42", the caret after its "4" (shown, or hidden by the input method).
  QInputMethodEvent preEdit(QStringLiteral("42"), {{QInputMethodEvent::TextFormat, 0, 2, format},
                                                   {QInputMethodEvent::Cursor, 1, 1 - which, {}}});
  QMimeData data;
  data.setText(QStringLiteral("7"));
  QDragEnterEvent drag(QPoint(60, 11), Qt::CopyAction, &data, Qt::LeftButton, {});
  switch (which) {
    case 0:
    case 1:
      QApplication::sendEvent(&e, &preEdit);
      break;
    case 2:
      e.clearFocus();
      QApplication::sendEvent(&e, &drag);
      break;
    case 3:
      e.setLayoutDirection(Qt::RightToLeft);
      e.insert(QStringLiteral(" \u05E9\u05DC\u05D5\u05DD,\u05E2\u05D5\u05DC\u05DD "));
      e.cursorBackward(false, 3);
      break;
    case 4:
      e.setSelection(90, 30);
      break;
    default:
      QApplication::setStyle(QStringLiteral("Windows"));
  }
}

}  // namespace

class ListBoxTests : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UiTest::MakeWarningsFatal(); }

  // Text, frame, focus frame and caret as the line edit paints them, before
  // and after the box keeps its image; short texts are not touched at all.
  void looksAsALineEditDoes_data() {
    QTest::addColumn<int>("values");
    QTest::addColumn<int>("cursor");
    QTest::newRow("short") << 20 << 10;
    QTest::newRow("long, caret inside") << 5000 << 100;
    QTest::newRow("long, caret at the end") << 32767 << -1;
  }
  void looksAsALineEditDoes() {
    QFETCH(int, values);
    QFETCH(int, cursor);
    const QString text = LongList(values);
    if (cursor < 0) cursor = static_cast<int>(text.size());
    Pair pair(text, cursor);
    QCOMPARE(pair.Box.LongMode(), text.size() >= ListBox::LongText);
    QVERIFY(QTest::qWaitForWindowExposed(&pair.Box));

    const QImage plain = Pair::Focused(pair.Plain, cursor);
    const QImage box = Pair::Focused(pair.Box, cursor);
    QCOMPARE(Differences(box, plain), 0);
    if (!pair.Box.LongMode()) return;

    // Once the text has settled the box paints from its image: the caret
    // blinks, the text is not painted again, and every frame is the line
    // edit's own, with or without the caret's column.
    Idle(700);
    const int paints = pair.Box.FullPaints();
    bool sawCaret = false, sawNoCaret = false;
    for (int i = 0; i < 30; ++i) {
      Idle(50);
      const QImage frame = pair.Box.grab().toImage();
      if (Differences(frame, plain) == 0) {
        sawCaret = true;
        continue;
      }
      int first = frame.width(), last = -1;
      for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
          if (frame.pixel(x, y) != plain.pixel(x, y)) {
            first = std::min(first, x);
            last = std::max(last, x);
          }
      QVERIFY2(last - first < 2,
               qPrintable(QStringLiteral("columns %1 to %2").arg(first).arg(last)));
      sawNoCaret = true;
    }
    QVERIFY(sawCaret);
    QVERIFY(sawNoCaret);
    QCOMPARE(pair.Box.FullPaints(), paints);
  }

  // Clicks and keys land where they land in a line edit: the box keeps the
  // line edit's own scrolling.
  void editsAsALineEditDoes() {
    const QString text = LongList(5000);
    Pair pair(text, 300);
    QVERIFY(QTest::qWaitForWindowExposed(&pair.Box));
    for (QLineEdit* e : {static_cast<QLineEdit*>(&pair.Box), &pair.Plain}) {
      Pair::Focused(*e, 300);
      Idle(600);  // the box has its image now
      QTest::mouseClick(e, Qt::LeftButton, {}, QPoint(57, e->height() / 2));
      QTest::keyClicks(e, QStringLiteral("7,"));
      QTest::keyClick(e, Qt::Key_Left);
      QTest::keyClick(e, Qt::Key_Left, Qt::ShiftModifier);
      QTest::mouseDClick(e, Qt::LeftButton, {}, QPoint(120, e->height() / 2));
      QTest::keyClick(e, Qt::Key_Backspace);
    }
    QVERIFY(pair.Box.text() != text);
    QCOMPARE(pair.Box.text(), pair.Plain.text());
    QCOMPARE(pair.Box.cursorPosition(), pair.Plain.cursorPosition());
    QCOMPARE(Pair::Focused(pair.Box, 250).size(), Pair::Focused(pair.Plain, 250).size());
    QCOMPARE(Differences(Pair::Focused(pair.Plain, 250), Pair::Focused(pair.Box, 250)), 0);
  }

  // A change that keeps the text (the selection, the enabled state) shows
  // the last frame at once and is painted by the line edit once, in a later
  // pass, ending as the line edit looks; a new text is painted at once.
  void putsOffOnlyPaintsThatKeepTheText() {
    const QString text = LongList(5000);
    Pair pair(text, 300);
    QVERIFY(QTest::qWaitForWindowExposed(&pair.Box));
    QVERIFY(QTest::qWaitForWindowExposed(&pair.Plain));
    // Both have had the focus and lost it: a line edit that never had it
    // shows no caret with a selection, one that had it may.
    for (QLineEdit* e : {static_cast<QLineEdit*>(&pair.Box), &pair.Plain}) {
      Pair::Focused(*e, 300);
      e->clearFocus();
    }
    for (QLineEdit* e : {static_cast<QLineEdit*>(&pair.Box), &pair.Plain}) e->repaint();
    QTRY_VERIFY(!pair.Box.PaintPending());

    struct Step {
      const char* What;
      std::function<void(QLineEdit&)> Change;
      bool PutOff;
    };
    const Step steps[] = {
        {"select", [](QLineEdit& e) { e.setSelection(290, 40); }, true},
        {"disable", [](QLineEdit& e) { e.setEnabled(false); }, true},
        {"enable", [](QLineEdit& e) { e.setEnabled(true); }, true},
        {"new text", [](QLineEdit& e) { e.setText(LongList(4000)); }, false},
        {"the same text pasted again",
         [](QLineEdit& e) {
           const QString same = e.text();
           e.clear();
           e.insert(same);
         },
         false},
        {"select all", [](QLineEdit& e) { e.selectAll(); }, true},
    };
    for (const Step& step : steps) {
      const QImage before = OnScreen(pair.Box);
      const int paints = pair.Box.FullPaints();
      step.Change(pair.Box);
      step.Change(pair.Plain);
      pair.Plain.repaint();
      pair.Box.repaint();
      QCOMPARE(pair.Box.PaintPending(), step.PutOff);
      if (step.PutOff) {
        QVERIFY2(Differences(OnScreen(pair.Box), before) == 0, step.What);
        QCOMPARE(pair.Box.FullPaints(), paints);
        QTRY_VERIFY(!pair.Box.PaintPending());
      }
      QCOMPARE(pair.Box.FullPaints(), paints + 1);
      QVERIFY2(Differences(OnScreen(pair.Box), OnScreen(pair.Plain)) == 0, step.What);
    }
  }

  // Boxes whose paints were put off paint one per pass: a timer that is due
  // runs between two of them.
  void putOffPaintsTakeAPassEach() {
    const QString text = LongList(5000);
    ListBox first, second;
    for (ListBox* box : {&first, &second}) {
      box->setMaxLength(1 << 30);
      box->resize(200, 23);
      box->setText(text);
      box->show();
      QVERIFY(QTest::qWaitForWindowExposed(box));
      box->repaint();
    }
    const int firstPaints = first.FullPaints(), secondPaints = second.FullPaints();
    first.setEnabled(false);
    second.setEnabled(false);
    first.repaint();
    second.repaint();
    QVERIFY(first.PaintPending() && second.PaintPending());
    // At each tick: how many of the two have painted.
    std::vector<int> painted;
    QTimer tick;
    tick.setInterval(0);
    connect(&tick, &QTimer::timeout, this, [&] {
      painted.push_back((first.FullPaints() - firstPaints) + (second.FullPaints() - secondPaints));
    });
    tick.start();
    QTRY_VERIFY(!first.PaintPending() && !second.PaintPending());
    tick.stop();
    QCOMPARE(first.FullPaints(), firstPaints + 1);
    QCOMPARE(second.FullPaints(), secondPaints + 1);
    QVERIFY(std::find(painted.begin(), painted.end(), 1) != painted.end());
  }

  // Input-method pre-edit, a drag over the box, right-to-left text, a
  // selection and a style change show as in a line edit, blink included, and
  // read the same to accessibility and to the input method.
  void behavesAsALineEdit_data() {
    QTest::addColumn<int>("which");
    int which = 0;
    for (const char* what : {"pre-edit", "pre-edit hiding the caret", "drag over the box",
                             "right-to-left text", "selection", "style change"})
      QTest::newRow(what) << which++;
  }
  void behavesAsALineEdit() {
    QFETCH(int, which);
    const int flash = QApplication::cursorFlashTime();
    const QString style = QApplication::style()->name();
    const auto restore = qScopeGuard([&] {
      QApplication::setCursorFlashTime(flash);
      QApplication::setStyle(style);
    });
    QApplication::setCursorFlashTime(160);  // a few blinks in half a second
    Pair pair(LongList(3000), 100);
    QVERIFY(QTest::qWaitForWindowExposed(&pair.Box) && QTest::qWaitForWindowExposed(&pair.Plain));
    QList<QImage> shown[2];
    QString read[2];
    for (int i = 0; i < 2; ++i) {
      QLineEdit& e = i == 0 ? static_cast<QLineEdit&>(pair.Box) : pair.Plain;
      Pair::Focused(e, 100);
      Change(e, which);
      e.repaint();
      QTRY_VERIFY(!pair.Box.PaintPending());
      shown[i] = FramesShown(e);
      read[i] = Read(e);
    }
    QVERIFY(pair.Box.LongMode() && !read[0].isEmpty());
    QCOMPARE(read[0], read[1]);
    QCOMPARE(shown[0].size(), shown[1].size());
    for (const QImage& frame : shown[0]) QVERIFY(shown[1].contains(frame));
  }

  void listText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("list");
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("plain list") << QStringLiteral("5,3,8") << true;
    QTest::newRow("blanks, signs, points, exponents")
        << QStringLiteral(" -1.5e+3, +7 ,2E2") << true;
    QTest::newRow("a letter") << QStringLiteral("1,x,3") << false;
    QTest::newRow("a tab") << QStringLiteral("1\t2") << false;
    QTest::newRow("Arabic-Indic digits") << QStringLiteral("\u0661,\u0662") << false;
    QTest::newRow("a semicolon") << QStringLiteral("1;2") << false;
  }
  void listText() {
    QFETCH(QString, text);
    QFETCH(bool, list);
    QCOMPARE(TreeUi::IsListText(text), list);
  }

  // A list is laid out unshaped only where the font draws it alike; any
  // other text is shaped as the line edit shapes it (letters kern), and the
  // box looks as the line edit does either way.
  void shapesOnlyWhatNeedsIt() {
    const QString text = LongList(3000);
    Pair pair(text, 100);
    QVERIFY(QTest::qWaitForWindowExposed(&pair.Box));
    const bool alike = TreeUi::ListsLayOutAlikeUnshaped(pair.Box.font());
    auto unshaped = [&] { return (pair.Box.font().styleStrategy() & QFont::PreferNoShaping) != 0; };
    QCOMPARE(unshaped(), alike);
    QCOMPARE(pair.Box.font().family(), pair.Plain.font().family());
    QCOMPARE(pair.Box.font().pointSizeF(), pair.Plain.font().pointSizeF());
    for (const QString& typed : {QStringLiteral("AVAToWaTe"), QString()}) {
      for (QLineEdit* e : {static_cast<QLineEdit*>(&pair.Box), &pair.Plain}) {
        e->setText(typed.isEmpty() ? text : typed + text.left(40));
        e->setCursorPosition(5);
      }
      QCOMPARE(unshaped(), alike && typed.isEmpty());
      QCOMPARE(Differences(Pair::Focused(pair.Box, 5), Pair::Focused(pair.Plain, 5)), 0);
    }
    // Typed, the first letter switches the box over in the middle of the
    // line edit's own handling of the key; Backspace switches it back.
    for (QLineEdit* e : {static_cast<QLineEdit*>(&pair.Box), &pair.Plain}) {
      Pair::Focused(*e, 5);
      QTest::keyClicks(e, QStringLiteral("To"));
    }
    QVERIFY(!unshaped());
    QCOMPARE(pair.Box.text(), pair.Plain.text());
    QCOMPARE(Differences(Pair::Focused(pair.Box, 7), Pair::Focused(pair.Plain, 7)), 0);
    for (QLineEdit* e : {static_cast<QLineEdit*>(&pair.Box), &pair.Plain}) {
      QTest::keyClick(e, Qt::Key_Backspace);
      QTest::keyClick(e, Qt::Key_Backspace);
    }
    QCOMPARE(unshaped(), alike);
    QCOMPARE(pair.Box.text(), text);
    QCOMPARE(Differences(Pair::Focused(pair.Box, 5), Pair::Focused(pair.Plain, 5)), 0);
  }
};

QTEST_MAIN(ListBoxTests)
#include "ListBoxTests.moc"
