// The steps window's controls: the buttons and keys that step by value, by
// event and from one rotation or fix-up to the next, Play's controls, and
// the row of tools (Show Balance, Rules, the saves).
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>

#include "pane/TreePane.h"
#include "steps/RulesPanel.h"
#include "steps/StepAnimator.h"
#include "steps/StepsHandout.h"
#include "steps/StepsRows.h"
#include "steps/StepsWindow.h"
#include "view/LayoutAction.h"

namespace TreeUi {

using namespace StepsRows;

namespace {

QPushButton* NewButton(const char* name, const QString& text, const QString& tip) {
  auto* b = new QPushButton(text);
  b->setObjectName(QString::fromLatin1(name));
  b->setFocusPolicy(Qt::TabFocus);
  b->setToolTip(tip);
  return b;
}

}  // namespace

QHBoxLayout* StepsWindow::BuildButtons() {
  first_ = NewButton("First", QStringLiteral("|< First"), QStringLiteral("The first value (Home)"));
  back_ = NewButton("Back", QStringLiteral("< Back"), QStringLiteral("One value back (Left)"));
  forward_ = NewButton("Forward", QStringLiteral("Forward >"),
                       QStringLiteral("One value forward (Right)"));
  last_ = NewButton("Last", QStringLiteral("Last >|"), QStringLiteral("The last value (End)"));
  connect(first_, &QPushButton::clicked, this, &StepsWindow::First);
  connect(back_, &QPushButton::clicked, this, &StepsWindow::Back);
  connect(forward_, &QPushButton::clicked, this, &StepsWindow::Forward);
  connect(last_, &QPushButton::clicked, this, &StepsWindow::Last);
  // Event by event, and from one rotation or fix-up to the next.
  struct EventMove {
    QPushButton** button;
    const char* name;
    QString text, tip;
    QKeySequence keys;
    void (StepsWindow::*act)();
  } const moves[] = {
      {&previousBalancing_, "PreviousBalancing", QStringLiteral("<< Rotation/Fix-up"),
       QStringLiteral("The previous rotation or fix-up (Ctrl+Shift+Left)"),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Left), &StepsWindow::PreviousBalancing},
      {&eventBack_, "EventBack", QStringLiteral("< Event"),
       QStringLiteral("One event back (Shift+Left)"), QKeySequence(Qt::SHIFT | Qt::Key_Left),
       &StepsWindow::EventBack},
      {&eventForward_, "EventForward", QStringLiteral("Event >"),
       QStringLiteral("One event forward (Shift+Right)"), QKeySequence(Qt::SHIFT | Qt::Key_Right),
       &StepsWindow::EventForward},
      {&nextBalancing_, "NextBalancing", QStringLiteral("Rotation/Fix-up >>"),
       QStringLiteral("The next rotation or fix-up (Ctrl+Shift+Right)"),
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right), &StepsWindow::NextBalancing},
  };
  for (const EventMove& m : moves) {
    *m.button = NewButton(m.name, m.text, m.tip);
    connect(*m.button, &QPushButton::clicked, this, m.act);
    auto* shortcut = new QShortcut(m.keys, this);
    connect(shortcut, &QShortcut::activated, this, m.act);
  }
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {first_, back_, forward_, last_}) buttons->addWidget(b);
  buttons->addSpacing(12);
  for (QPushButton* b : {previousBalancing_, eventBack_, eventForward_, nextBalancing_})
    buttons->addWidget(b);
  buttons->addWidget(animator_->Controls());
  buttons->addStretch();
  return buttons;
}

// The rest in a row of its own: one row of everything would not fit a
// 1280-pixel screen.
QHBoxLayout* StepsWindow::BuildTools() {
  balance_ = new QCheckBox(QStringLiteral("Show Balance"));
  balance_->setObjectName(QStringLiteral("StepsShowBalance"));
  balance_->setFocusPolicy(Qt::TabFocus);
  balance_->setToolTip(QStringLiteral("Each node's right height minus left height, in both panes"));
  connect(balance_, &QCheckBox::toggled, this, [this](bool on) {
    // The compact panes make room for the badges: the state is drawn again.
    afterPane_->SetRoomForBadges(on);
    beforePane_->SetRoomForBadges(on);
    if (layout_->Layout() != TreeCore::TreeLayout::Compact) return ShowBalanceMarks();
    if (currentEvent_ >= 0)
      ShowEvent(static_cast<std::size_t>(current_), static_cast<std::size_t>(currentEvent_));
    else if (current_ >= 0)
      ShowValue(static_cast<std::size_t>(current_));
    else
      ShowSummary();
  });
  save_ = NewButton("SaveTrace", QStringLiteral("Save Trace\u2026"),
                    QStringLiteral("The command's events as JSON lines"));
  connect(save_, &QPushButton::clicked, this, &StepsWindow::SaveTraceAs);
  auto* tools = new QHBoxLayout;
  tools->addWidget(balance_);
  tools->addWidget(rules_->Toggle());
  tools->addStretch();
  tools->addWidget(save_);
  tools->addWidget(NewHandoutButton(this));
  return tools;
}

void StepsWindow::First() {
  SelectValue(0);
}

void StepsWindow::Last() {
  if (recorder_->ValueCount() > 0) SelectValue(recorder_->ValueCount() - 1);
}

void StepsWindow::Back() {
  if (current_ > 0) SelectValue(static_cast<std::size_t>(current_ - 1));
}

void StepsWindow::Forward() {
  if (current_ < 0)
    First();
  else
    SelectValue(static_cast<std::size_t>(current_ + 1));
}

void StepsWindow::EventForward() {
  const std::size_t n = recorder_->ValueCount();
  std::size_t i = 0, k = 0;
  if (current_ >= 0) {
    i = static_cast<std::size_t>(current_);
    // A whole value stands for the state after its last event.
    if (currentEvent_ >= 0)
      k = static_cast<std::size_t>(currentEvent_) + 1;
    else
      k = recorder_->Step(i).EventCount;
  }
  while (i < n && k >= recorder_->Step(i).EventCount) {
    ++i;
    k = 0;
  }
  if (i < n) ShowEvent(i, k);
}

void StepsWindow::EventBack() {
  if (current_ < 0) return;
  auto i = static_cast<std::size_t>(current_);
  std::size_t k =
      currentEvent_ >= 0 ? static_cast<std::size_t>(currentEvent_) : recorder_->Step(i).EventCount;
  while (k == 0) {
    if (i == 0) return;
    k = recorder_->Step(--i).EventCount;
  }
  ShowEvent(i, k - 1);
}

void StepsWindow::PreviousBalancing() {
  JumpToBalancing(false);
}

void StepsWindow::NextBalancing() {
  JumpToBalancing(true);
}

void StepsWindow::JumpToBalancing(bool forward) {
  const std::size_t n = recorder_->ValueCount();
  if (n == 0 || (current_ < 0 && !forward)) return;
  std::size_t i = current_ < 0 ? 0 : static_cast<std::size_t>(current_);
  // Events are searched after (or before) position k of value i.
  std::ptrdiff_t k = currentEvent_;
  if (current_ < 0)
    k = -1;
  else if (currentEvent_ < 0)
    k = static_cast<std::ptrdiff_t>(recorder_->Step(i).EventCount) - (forward ? 1 : 0);
  for (;;) {
    const TreeTrace::ValueStep& step = recorder_->Step(i);
    const bool any =
        step.FixUps > 0 ||
        step.Rotations[0] + step.Rotations[1] + step.Rotations[2] + step.Rotations[3] > 0;
    if (any) {
      const std::vector<TreeTrace::StepEvent> events = recorder_->EventsOf(i);
      const auto size = static_cast<std::ptrdiff_t>(events.size());
      for (std::ptrdiff_t m = forward ? k + 1 : k - 1; m >= 0 && m < size; m += forward ? 1 : -1) {
        if (IsBalancing(events[static_cast<std::size_t>(m)])) {
          ShowEvent(i, static_cast<std::size_t>(m));
          return;
        }
      }
    }
    if (forward) {
      if (++i >= n) return;
      k = -1;
    } else {
      if (i == 0) return;
      k = static_cast<std::ptrdiff_t>(recorder_->Step(--i).EventCount);
    }
  }
}

bool StepsWindow::HandleKey(int key, Qt::KeyboardModifiers modifiers) {
  if (modifiers != Qt::NoModifier) {
    const bool balancing = modifiers == (Qt::ShiftModifier | Qt::ControlModifier);
    if (!balancing && modifiers != Qt::ShiftModifier) return false;
    if (key == Qt::Key_Left) {
      balancing ? PreviousBalancing() : EventBack();
      return true;
    }
    if (key == Qt::Key_Right) {
      balancing ? NextBalancing() : EventForward();
      return true;
    }
    return false;
  }
  switch (key) {
    case Qt::Key_Left:
      Back();
      return true;
    case Qt::Key_Right:
      Forward();
      return true;
    case Qt::Key_Home:
      First();
      return true;
    case Qt::Key_End:
      Last();
      return true;
    default:
      return false;
  }
}

bool StepsWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (HandleKey(key->key(), key->modifiers() & ~Qt::KeypadModifier)) return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace TreeUi
