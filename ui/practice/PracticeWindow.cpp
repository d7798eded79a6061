#include "practice/PracticeWindow.h"

#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QVBoxLayout>

#include "Commands.h"
#include "EventReason.h"
#include "ReadyLists.h"
#include "pane/TreePane.h"
#include "practice/ExerciseSheet.h"
#include "view/DrawSurface.h"

namespace TreeUi {

namespace {

using Practice::Answer;
using Practice::Level;
using Practice::StepKind;

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

const TreeCore::NodeRec* At(const TreeCore::TreeRec& tree, std::int32_t i) {
  return tree.Exists && i >= 0 && i < tree.Count && static_cast<std::size_t>(i) < tree.Nodes.size()
             ? &tree.Nodes[static_cast<std::size_t>(i)]
             : nullptr;
}

Answer Named(StepKind kind, std::optional<TreeCore::ChainKind> chain = {},
             std::optional<bool> right = {}) {
  Answer a;
  a.Kind = kind;
  a.Chain = chain;
  a.Right = right;
  return a;
}

void AddScore(Practice::Score& to, const Practice::Score& s) {
  to.Steps += s.Steps;
  to.FirstTry += s.FirstTry;
  to.Tries += s.Tries;
  to.Shown += s.Shown;
  to.Hints += s.Hints;
  to.Unanswered += s.Unanswered;
}

}  // namespace

std::vector<PracticeTarget> PracticeTargets(const TreeCore::TreeRec& tree, bool free) {
  std::vector<PracticeTarget> out;
  if (!tree.Exists || At(tree, tree.Root) == nullptr) {
    if (free) out.push_back({-1, true, false});
    return out;
  }
  // In-order without recursion: a node's left position, the node, its right one.
  std::vector<std::pair<std::int32_t, bool>> stack{{tree.Root, false}};
  while (!stack.empty() && out.size() <= 3 * tree.Nodes.size()) {
    auto [n, expanded] = stack.back();
    stack.pop_back();
    const TreeCore::NodeRec* node = At(tree, n);
    if (node == nullptr) continue;
    if (expanded) {
      out.push_back({n, false, false});
      if (node->RightChild != -1)
        stack.push_back({node->RightChild, false});
      else if (free)
        out.push_back({n, true, true});
      continue;
    }
    stack.push_back({n, true});
    if (node->LeftChild != -1)
      stack.push_back({node->LeftChild, false});
    else if (free)
      out.push_back({n, true, false});
  }
  return out;
}

PracticeWindow::PracticeWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("PracticeWindow"));
  setWindowTitle(QStringLiteral("Practice"));
  setAccessibleName(QStringLiteral("Practice"));
  auto* layout = new QVBoxLayout(this);
  // A fixed least size: texts that change with every step must not resize
  // the window (nor ask the platform to, which not every platform can).
  layout->setSizeConstraint(QLayout::SetNoConstraint);
  setMinimumSize(720, 520);

  BuildChoices(layout);
  BuildListAndPane(layout);
  BuildButtons(layout);
  words_label_ = new QLabel;
  words_label_->setObjectName(QStringLiteral("PracticeWords"));
  words_label_->setAccessibleName(QStringLiteral("What the tool says"));
  words_label_->setWordWrap(true);
  words_label_->setMinimumHeight(48);
  words_label_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  layout->addWidget(words_label_);
  resize(980, 700);
}

void PracticeWindow::BuildChoices(QVBoxLayout* layout) {
  auto* top = new QHBoxLayout;
  auto* levelLabel = new QLabel(QStringLiteral("&Level:"));
  levelBox_ = new QComboBox;
  levelBox_->setObjectName(QStringLiteral("PracticeLevel"));
  levelBox_->setAccessibleName(QStringLiteral("Level"));
  levelBox_->addItems({QStringLiteral("1: Name the next event"),
                       QStringLiteral("2: Also choose its node"),
                       QStringLiteral("3: Do everything yourself")});
  levelLabel->setBuddy(levelBox_);
  connect(levelBox_, &QComboBox::currentIndexChanged, this,
          [this](int i) { SetLevel(static_cast<Level>(i + 1)); });
  auto* seedLabel = new QLabel(QStringLiteral("S&eed:"));
  seedBox_ = new QLineEdit;
  seedBox_->setObjectName(QStringLiteral("PracticeSeed"));
  seedBox_->setAccessibleName(QStringLiteral("Seed"));
  seedBox_->setMaximumWidth(110);
  seedLabel->setBuddy(seedBox_);
  difficultyBox_ = new QComboBox;
  difficultyBox_->setObjectName(QStringLiteral("PracticeDifficulty"));
  difficultyBox_->setAccessibleName(QStringLiteral("Difficulty"));
  difficultyBox_->addItems(
      {QStringLiteral("Difficulty 1: insert"), QStringLiteral("Difficulty 2: insert, then erase")});
  auto* newExercise = new QPushButton(QStringLiteral("&New Exercise"));
  newExercise->setObjectName(QStringLiteral("PracticeNewExercise"));
  newExercise->setAccessibleName(QStringLiteral("New Exercise"));
  connect(newExercise, &QPushButton::clicked, this, [this] {
    // A typed seed repeats its exercise; an untouched one gives a fresh one.
    std::uint32_t seed = QRandomGenerator::global()->generate();
    if (seedBox_->isModified()) {
      const auto typed = TreeCommands::ReadSeed(seedBox_->text().toStdString());
      if (!typed) {
        words_ = QStringLiteral("Please enter a whole number from 0 to 4294967295 as the seed.");
        Refresh();
        return;
      }
      seed = *typed;
    }
    StartExercise(seed, difficultyBox_->currentIndex() + 1);
  });
  top->addWidget(levelLabel);
  top->addWidget(levelBox_);
  top->addSpacing(12);
  top->addWidget(seedLabel);
  top->addWidget(seedBox_);
  top->addWidget(difficultyBox_);
  top->addWidget(newExercise);
  top->addStretch(1);
  layout->addLayout(top);
}

void PracticeWindow::BuildListAndPane(QVBoxLayout* layout) {
  list_ = new QLabel;
  list_->setObjectName(QStringLiteral("PracticeList"));
  list_->setAccessibleName(QStringLiteral("Values"));
  list_->setWordWrap(true);
  list_->setTextFormat(Qt::RichText);
  score_ = new QLabel;
  score_->setObjectName(QStringLiteral("PracticeScore"));
  score_->setAccessibleName(QStringLiteral("Score"));
  layout->addWidget(list_);
  layout->addWidget(score_);

  pane_ = new TreePane(QStringLiteral("The tree as the step finds it"), "Practice", this);
  pane_->ExposeNodes();
  pane_->SetRoomForBadges(true);
  pane_->Surface()->setFocusPolicy(Qt::StrongFocus);
  pane_->Surface()->setAccessibleName(QStringLiteral("Tree"));
  pane_->Surface()->setAccessibleDescription(QStringLiteral(
      "Arrow keys: nodes and free places; Enter: choose; I, E, 1-4 (RR, RL, LL, LR), G, F "
      "(right, left fix-up), B, M: the events; S: Show me; H: Hint"));
  pane_->Surface()->setToolTip(pane_->Surface()->accessibleDescription());
  pane_->Surface()->installEventFilter(this);
  connect(pane_, &TreePane::NodeClicked, this, [this](std::int32_t node, int) {
    if (node < 0 || !checker_.Active()) return;
    chosen_ = node;
    cursor_ = {node, false, false};
    Refresh();
  });
  layout->addWidget(pane_, 1);
  cursorLabel_ = new QLabel;
  cursorLabel_->setObjectName(QStringLiteral("PracticeCursor"));
  layout->addWidget(cursorLabel_);
}

// The events in one row; Show me, Hint and the saves below them.
void PracticeWindow::BuildButtons(QVBoxLayout* layout) {
  auto* buttons = new QGridLayout;
  using CK = TreeCore::ChainKind;
  const std::pair<QString, Answer> named[] = {
      {QStringLiteral("&insert"), Named(StepKind::Insert)},
      {QStringLiteral("&erase"), Named(StepKind::Erase)},
      {QStringLiteral("RR"), Named(StepKind::Rotate, CK::RR)},
      {QStringLiteral("RL"), Named(StepKind::Rotate, CK::RL)},
      {QStringLiteral("LL"), Named(StepKind::Rotate, CK::LL)},
      {QStringLiteral("LR"), Named(StepKind::Rotate, CK::LR)},
      {QStringLiteral("ri&ght fix-up"), Named(StepKind::FixUp, {}, true)},
      {QStringLiteral("le&ft fix-up"), Named(StepKind::FixUp, {}, false)},
      {QStringLiteral("&balanced"), Named(StepKind::Balanced)},
      {QStringLiteral("&missing"), Named(StepKind::Missing)},
  };
  int column = 0;
  for (const auto& [text, answer] : named) {
    QString name = text;
    name.remove('&');
    QPushButton* b = EventButton(text, name, answer);
    buttons->addWidget(b, 0, column++);
  }
  auto* show = new QPushButton(QStringLiteral("&Show me"));
  show->setObjectName(QStringLiteral("PracticeShowMe"));
  show->setAccessibleName(QStringLiteral("Show me"));
  connect(show, &QPushButton::clicked, this, &PracticeWindow::ShowMe);
  auto* hint = new QPushButton(QStringLiteral("&Hint"));
  hint->setObjectName(QStringLiteral("PracticeHint"));
  hint->setAccessibleName(QStringLiteral("Hint"));
  connect(hint, &QPushButton::clicked, this, &PracticeWindow::Hint);
  events_.push_back(show);
  events_.push_back(hint);
  const auto [saveResults, saveSheet] = BuildSaveButtons();
  buttons->addWidget(show, 1, 0, 1, 2);
  buttons->addWidget(hint, 1, 2, 1, 2);
  buttons->addWidget(saveResults, 1, 6, 1, 2);
  buttons->addWidget(saveSheet, 1, 8, 1, 2);
  layout->addLayout(buttons);
}

std::pair<QPushButton*, QPushButton*> PracticeWindow::BuildSaveButtons() {
  auto* saveResults = new QPushButton(QStringLiteral("Save &Results\u2026"));
  saveResults->setObjectName(QStringLiteral("PracticeSaveResults"));
  saveResults->setAccessibleName(QStringLiteral("Save Results"));
  connect(saveResults, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save Results"), QStringLiteral("practice.txt"),
        QStringLiteral("Practice results (*.txt);;All files (*)"));
    QString error;
    if (!path.isEmpty() && !SaveResults(path, &error)) words_ = error;
    Refresh();
  });
  auto* saveSheet = new QPushButton(QStringLiteral("Save E&xercise Sheet\u2026"));
  saveSheet->setObjectName(QStringLiteral("PracticeSaveSheet"));
  saveSheet->setAccessibleName(QStringLiteral("Save Exercise Sheet"));
  connect(saveSheet, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Exercise Sheet"),
                                                      QStringLiteral("exercises.pdf"),
                                                      QStringLiteral("PDF (*.pdf)"));
    QString error;
    if (!path.isEmpty() && !SaveSheet(path, &error)) words_ = error;
    Refresh();
  });
  return {saveResults, saveSheet};
}

PracticeWindow::~PracticeWindow() = default;

QPushButton* PracticeWindow::EventButton(const QString& text, const QString& name, Answer answer) {
  auto* b = new QPushButton(text);
  b->setObjectName(QStringLiteral("PracticeEvent_") + QString(name).replace(' ', '_'));
  b->setAccessibleName(name);
  connect(b, &QPushButton::clicked, this, [this, answer] { AnswerEvent(answer); });
  events_.push_back(b);
  return b;
}

void PracticeWindow::StartList(const QString& list) {
  exercise_ = false;
  Start({{Practice::CommandKind::Get, list.toStdString(), 0}}, QStringLiteral("# Get Tree"));
}

void PracticeWindow::StartExercise(std::uint32_t seed, int difficulty) {
  const Practice::Exercise e = Practice::MakeExercise(seed, difficulty);
  seed_ = seed;
  exercise_ = true;
  seedBox_->setText(QString::number(seed));
  seedBox_->setModified(false);
  difficultyBox_->setCurrentIndex(e.Difficulty - 1);
  std::vector<std::int16_t> all = e.Start;
  all.insert(all.end(), e.Inserts.begin(), e.Inserts.end());
  std::vector<Command> commands{
      {Practice::CommandKind::Get, TreeCommands::ListText(all), e.Start.size()}};
  if (!e.Erases.empty())
    commands.push_back({Practice::CommandKind::Erase, TreeCommands::ListText(e.Erases), 0});
  Start(std::move(commands),
        QStringLiteral("# seed %1, difficulty %2").arg(seed).arg(e.Difficulty));
}

void PracticeWindow::Start(std::vector<Command> commands, QString title) {
  checker_.Finish();
  commands_ = std::move(commands);
  next_ = 0;
  total_ = {};
  tree_ = {};
  transcript_ = {};
  badges_ = false;
  transcript_.Comment(title.mid(2).toStdString());
  transcript_.Comment(
      QDateTime::currentDateTimeUtc().toString(Qt::ISODate).prepend("date ").toStdString());
  transcript_.SetLevel(level_);
  words_.clear();
  BeginNext();
}

void PracticeWindow::BeginNext() {
  hints_ = 0;
  hintRing_ = -1;
  chosen_ = -1;
  while (next_ < commands_.size() && !checker_.Active()) {
    const Command& c = commands_[next_++];
    std::string line = (c.Kind == Practice::CommandKind::Get ? "get " : "erase ") + c.List;
    if (c.From > 0) line += " from " + std::to_string(c.From + 1);
    const std::string refusal = checker_.Begin(c.Kind, c.List, c.From, engine_, tree_);
    if (!refusal.empty()) {
      words_ = Q(refusal);
      continue;
    }
    transcript_.Command(line);
    if (!checker_.Active()) AddScore(total_, checker_.Finish());
  }
  if (!checker_.Active() && !commands_.empty())
    words_ += (words_.isEmpty() ? QString() : QStringLiteral(" ")) + QStringLiteral("Finished: ") +
              ScoreText() + QStringLiteral(".");
  if (checker_.Active()) KeepCursor();
  Refresh();
}

void PracticeWindow::SetLevel(Level level) {
  level_ = level;
  if (levelBox_->currentIndex() != static_cast<int>(level) - 1)
    levelBox_->setCurrentIndex(static_cast<int>(level) - 1);
  transcript_.SetLevel(level);
  chosen_ = -1;
  Refresh();
}

void PracticeWindow::AnswerEvent(Answer answer) {
  if (!checker_.Active()) return;
  const bool nodeAsked =
      level_ >= Level::Node && (answer.Kind == StepKind::Rotate || answer.Kind == StepKind::FixUp ||
                                answer.Kind == StepKind::Erase);
  if (nodeAsked) {
    if (chosen_ < 0) {
      words_ = QStringLiteral(
          "Choose its node first: click it, or move to it with the arrow keys and press Enter.");
      Refresh();
      return;
    }
    answer.Node = chosen_;
  }
  if (answer.Kind == StepKind::Insert && level_ == Level::Place) {
    if (!cursor_.Free) {
      words_ = QStringLiteral(
          "Choose where the value goes: move to a free position with the arrow keys and press "
          "Enter.");
      Refresh();
      return;
    }
    answer.Parent = cursor_.Node;
    if (cursor_.Node != -1) answer.Right = cursor_.Right;
  }
  const Practice::Verdict v = checker_.Check(answer, level_);
  transcript_.Add(answer);
  Said(v, false);
}

void PracticeWindow::ShowMe() {
  if (!checker_.Active()) return;
  transcript_.Show();
  Said(checker_.Show(), true);
}

void PracticeWindow::Said(const Practice::Verdict& v, bool shown) {
  if (!v.Right) {
    words_ = QStringLiteral("Not so: ") + Q(v.Why) + QStringLiteral(" Try again.");
    Refresh();
    return;
  }
  words_ = (shown ? QStringLiteral("Shown: ") : QStringLiteral("Right: ")) +
           Q(Practice::DescribeStep(v.Expected)) + QStringLiteral(".");
  hints_ = 0;
  hintRing_ = -1;
  chosen_ = -1;
  if (!checker_.Active()) {
    AddScore(total_, checker_.Finish());
    BeginNext();
    return;
  }
  KeepCursor();
  Refresh();
}

void PracticeWindow::KeepCursor() {
  // A free place the step has filled, or a node gone, is left.
  const auto targets = PracticeTargets(checker_.TreeNow(), level_ == Level::Place);
  if (std::find(targets.begin(), targets.end(), cursor_) != targets.end()) return;
  cursor_ = At(checker_.TreeNow(), cursor_.Node) ? PracticeTarget{cursor_.Node, false, false}
                                                 : PracticeTarget{};
}

void PracticeWindow::Hint() {
  if (!checker_.Active()) return;
  checker_.CountHint();
  ++hints_;
  if (hints_ == 1) {
    badges_ = true;
    words_ = QStringLiteral("Hint: the height badges are on.");
  } else {
    const Practice::Step& s = checker_.Current();
    hintRing_ = s.Kind == StepKind::Insert                                    ? s.Parent
                : s.Kind == StepKind::Balanced || s.Kind == StepKind::Missing ? -1
                                                                              : s.Node;
    // Balanced and missing name no node: none is ringed, and nothing says
    // a node two apart must still be fixed.
    words_ = hintRing_ >= 0 ? QStringLiteral("Hint: the next step concerns the ringed node.")
                            : QStringLiteral("Hint: this step names no node of the tree.");
  }
  Refresh();
}

void PracticeWindow::MoveCursor(int step) {
  const auto targets = PracticeTargets(checker_.TreeNow(), level_ == Level::Place);
  if (targets.empty()) return;
  const auto it = std::find(targets.begin(), targets.end(), cursor_);
  std::ptrdiff_t i = it == targets.end()
                         ? (step > 0 ? -1 : static_cast<std::ptrdiff_t>(targets.size()))
                         : it - targets.begin();
  i = std::clamp<std::ptrdiff_t>(i + step, 0, static_cast<std::ptrdiff_t>(targets.size()) - 1);
  cursor_ = targets[static_cast<std::size_t>(i)];
  Refresh();
}

void PracticeWindow::MoveCursorUp() {
  const TreeCore::TreeRec& t = checker_.TreeNow();
  if (cursor_.Free && cursor_.Node >= 0) {
    cursor_ = {cursor_.Node, false, false};
  } else if (const TreeCore::NodeRec* n = At(t, cursor_.Node); n != nullptr && n->Parent != -1) {
    cursor_ = {n->Parent, false, false};
  } else if (At(t, t.Root) != nullptr) {
    cursor_ = {t.Root, false, false};
  }
  Refresh();
}

void PracticeWindow::MoveCursorDown() {
  const TreeCore::TreeRec& t = checker_.TreeNow();
  const TreeCore::NodeRec* n = At(t, cursor_.Node);
  if (n == nullptr || cursor_.Free) {
    if (!cursor_.Free) MoveCursorUp();
    return;
  }
  if (n->LeftChild != -1)
    cursor_ = {n->LeftChild, false, false};
  else if (n->RightChild != -1)
    cursor_ = {n->RightChild, false, false};
  else if (level_ == Level::Place)
    cursor_ = {cursor_.Node, true, false};
  Refresh();
}

void PracticeWindow::PickCursor() {
  if (!checker_.Active()) return;
  if (cursor_.Free) {
    Answer a;
    a.Kind = StepKind::Insert;
    a.Parent = cursor_.Node;
    if (cursor_.Node != -1) a.Right = cursor_.Right;
    const Practice::Verdict v = checker_.Check(a, level_);
    transcript_.Add(a);
    Said(v, false);
    return;
  }
  if (cursor_.Node < 0) return;
  chosen_ = cursor_.Node;
  Refresh();
}

bool PracticeWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == pane_->Surface() && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    switch (key->key()) {
      case Qt::Key_Left:
        MoveCursor(-1);
        return true;
      case Qt::Key_Right:
        MoveCursor(1);
        return true;
      case Qt::Key_Up:
        MoveCursorUp();
        return true;
      case Qt::Key_Down:
        MoveCursorDown();
        return true;
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Space:
        PickCursor();
        return true;
      case Qt::Key_S:
        ShowMe();
        return true;
      case Qt::Key_H:
        Hint();
        return true;
      default:
        break;
    }
    // On the tree the event buttons' letters need no Alt: I, E, 1-4 (RR,
    // RL, LL, LR), G, F (right, left fix-up), B, M.
    static const std::pair<int, int> letters[] = {
        {Qt::Key_I, 0}, {Qt::Key_E, 1}, {Qt::Key_1, 2}, {Qt::Key_2, 3}, {Qt::Key_3, 4},
        {Qt::Key_4, 5}, {Qt::Key_G, 6}, {Qt::Key_F, 7}, {Qt::Key_B, 8}, {Qt::Key_M, 9}};
    for (const auto& [k, button] : letters)
      if (key->key() == k && checker_.Active()) {
        events_[static_cast<std::size_t>(button)]->click();
        return true;
      }
  }
  return QWidget::eventFilter(watched, event);
}

QString PracticeWindow::ScoreText() const {
  Practice::Score s = total_;
  if (checker_.Active()) AddScore(s, checker_.CurrentScore());
  return QStringLiteral(
             "Steps %1 \u00b7 right at the first try %2 \u00b7 tries %3 \u00b7 shown %4 "
             "\u00b7 hints %5")
      .arg(s.Steps)
      .arg(s.FirstTry)
      .arg(s.Tries)
      .arg(s.Shown)
      .arg(s.Hints);
}

QString PracticeWindow::Words() const {
  return words_;
}

QString PracticeWindow::ListText() const {
  QString text;
  for (std::size_t c = 0; c < commands_.size(); ++c) {
    const bool current = checker_.Active() && c + 1 == next_;
    const auto values = TreeCommands::CheckList(commands_[c].Kind, commands_[c].List).Values;
    QString line = commands_[c].Kind == Practice::CommandKind::Get ? QStringLiteral("Get Tree: ")
                                                                   : QStringLiteral("Erase: ");
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (i > 0) line += QStringLiteral(", ");
      const QString v = QString::number(values[i]);
      // Values run without questions are grey; the one being worked on is bold.
      if (current && i == checker_.CurrentValue())
        line += QStringLiteral("<b>[%1]</b>").arg(v);
      else if (i < commands_[c].From)
        line += QStringLiteral("<span style='color:#808080'>%1</span>").arg(v);
      else
        line += v;
    }
    text += (c > 0 ? QStringLiteral("<br>") : QString()) + line;
  }
  return text;
}

void PracticeWindow::Refresh() {
  const TreeCore::TreeRec& tree = checker_.Active() ? checker_.TreeNow() : tree_;
  pane_->Show(tree, {}, TreeCore::TreeLayout::Compact);
  pane_->ShowBalance(badges_);
  std::vector<NodeRing> rings;
  const int cursorRole = static_cast<int>(TreeTrace::Role::Lift);
  if (cursor_.Node >= 0 && At(tree, cursor_.Node))
    rings.push_back(
        {cursor_.Node, cursor_.Free ? static_cast<int>(TreeTrace::Role::Middle) : cursorRole});
  if (hintRing_ >= 0) rings.push_back({hintRing_, static_cast<int>(TreeTrace::Role::Neighbour)});
  if (chosen_ >= 0) rings.push_back({chosen_, static_cast<int>(TreeTrace::Role::Subject)});
  pane_->SetRings(rings);
  pane_->ShowWhole();
  list_->setText(ListText());
  score_->setText(ScoreText());
  words_label_->setText(words_);
  QString at;
  if (const TreeCore::NodeRec* n = At(tree, cursor_.Node)) {
    at = cursor_.Free ? QStringLiteral("Cursor: the free place %1 of %2")
                            .arg(cursor_.Right ? QStringLiteral("right") : QStringLiteral("left"))
                            .arg(n->Data)
                      : QStringLiteral("Cursor: %1").arg(n->Data);
  } else if (cursor_.Free) {
    at = QStringLiteral("Cursor: the root's place");
  }
  if (const TreeCore::NodeRec* n = At(tree, chosen_))
    at += QStringLiteral("%1Chosen: %2")
              .arg(at.isEmpty() ? QString() : QStringLiteral(" \u00b7 "))
              .arg(n->Data);
  cursorLabel_->setText(at);
  for (QPushButton* b : events_) b->setEnabled(checker_.Active());
}

bool PracticeWindow::SaveResults(const QString& path, QString* error) {
  QSaveFile file(path);
  const QByteArray text = QByteArray::fromStdString(transcript_.Text());
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
    if (error) *error = QStringLiteral("The results could not be written to %1.").arg(path);
    return false;
  }
  return true;
}

bool PracticeWindow::SaveSheet(const QString& path, QString* error) {
  // The seed shown (or typed), so that the sheet can be made again from it.
  const auto typed = TreeCommands::ReadSeed(seedBox_->text().toStdString());
  return WriteExerciseSheet(Practice::SheetExercises(typed ? *typed : seed_, 6), path, error);
}

}  // namespace TreeUi
