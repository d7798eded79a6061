// Shared by the window tests: a fresh window per test, messages recorded
// instead of shown, and short ways to reach the controls.
#pragma once

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <memory>
#include <vector>

#include "Drawing.h"
#include "FatalWarnings.h"
#include "TreeChecker.h"
#include "TreeCore.h"
#include "view/DrawSurface.h"
#include "window/frmTreeTest.h"

namespace UiTest {

struct Message {
  QString Text;
  QString Title;
  TreeUi::MessageIcon Icon;
  bool BusyCursorShown;  // an override cursor was on while the message showed
};

class RecordingSink final : public TreeUi::MessageSink {
 public:
  void ShowMessage(const QString& text, const QString& title, TreeUi::MessageIcon icon) override {
    Messages.push_back({text, title, icon, QApplication::overrideCursor() != nullptr});
  }
  std::vector<Message> Messages;
};

// A window on fresh module state, shown and active, its messages recorded.
class Harness {
 public:
  Harness() {
    MakeWarningsFatal();
    TreeCore::ResetModuleState();
    TreeCore::ResetDrawingState();
    Window = std::make_unique<frmTreeTest>();
    Window->SetMessageSink(&Sink);
    Window->show();
    QApplication::setActiveWindow(Window.get());
    Active = QTest::qWaitForWindowActive(Window.get());
  }
  ~Harness() {
    Window.reset();
    TreeCore::ResetModuleState();
    TreeCore::ResetDrawingState();
  }

  template <class T>
  T* Find(const char* name) const {
    return Window->findChild<T*>(QString::fromLatin1(name));
  }
  QLineEdit* Box(const char* name) const { return Find<QLineEdit>(name); }
  QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
  QScrollBar* Bar(const char* name) const { return Find<QScrollBar>(name); }
  QWidget* Pad() const { return Find<QWidget>("PicDrawPad"); }
  TreeUi::DrawSurface* Surface() const { return Window->Surface(); }
  QLabel* Status() const { return Find<QLabel>("lblStatusNode"); }

  // Types `list` into TxtGetTree and clicks Get Tree!
  void GetTree(const QString& list) {
    Box("TxtGetTree")->setText(list);
    Button("CmdGetTree")->click();
  }

  // The point (surface widget pixels) at the centre of label k.
  QPointF LabelCentre(std::int16_t k) const {
    const TreeCore::Label& l = Window->Elements().TreeNode[k];
    return Surface()->ToLocal(l.Left + l.Width / 2, l.Top + l.Height / 2);
  }

  RecordingSink Sink;
  std::unique_ptr<frmTreeTest> Window;
  bool Active = false;
};

// The main tree's values in order, by walking the links from the root.
inline std::vector<int> InOrderValues() {
  const std::vector<std::int16_t> values = TreeCheck::InOrderValues(TreeCore::MainTree);
  return {values.begin(), values.end()};
}

// The captions of the visible labels, sorted: what the drawing shows.
inline std::vector<std::string> ShownCaptions(frmTreeTest& w) {
  std::vector<std::string> out;
  const auto& labels = w.Elements().TreeNode;
  for (std::int32_t k = 0; k < labels.UpperBound(); ++k) {
    const auto i = static_cast<std::int16_t>(k);
    if (labels.IsLoaded(i) && labels[i].Visible) out.push_back(labels[i].Caption);
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace UiTest
