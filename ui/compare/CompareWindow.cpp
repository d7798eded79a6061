#include "compare/CompareWindow.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "pane/TreePane.h"
#include "steps/StepsWindow.h"
#include "view/DrawSurface.h"

namespace TreeUi {

namespace {

constexpr int SchemePane = 0, AvlPane = 1;

int LeastLevels(std::size_t nodes) {
  int levels = 0;
  while ((std::size_t{1} << levels) - 1 < nodes) ++levels;
  return levels;
}

QString Rotations(const TreeTrace::RotationCounts& counts) {
  QStringList parts;
  for (std::size_t k = 0; k < counts.size(); ++k)
    if (counts[k] > 0)
      parts << QStringLiteral("%1 %2")
                   .arg(QString::fromLatin1(Avl::RotationText(static_cast<Avl::Rotation>(k))))
                   .arg(counts[k]);
  return parts.join(QStringLiteral(", "));
}

}  // namespace

struct CompareWindow::Pane {
  TreePane* tree = nullptr;
  QLabel* summary = nullptr;
};

CompareWindow::CompareWindow(StepsFinder steps, QWidget* parent)
    : QWidget(parent, Qt::Window), findSteps_(std::move(steps)) {
  setObjectName(QStringLiteral("CompareWindow"));
  setWindowTitle(QStringLiteral("Compare with AVL"));
  setAttribute(Qt::WA_DeleteOnClose);

  auto* trees = new QSplitter(Qt::Horizontal);
  const char* names[2] = {"Scheme", "Avl"};
  for (int p = 0; p < 2; ++p) {
    panes_[p] = std::make_unique<Pane>();
    Pane& pane = *panes_[p];
    pane.tree = new TreePane(
        p == SchemePane ? QStringLiteral("This tool") : QStringLiteral("Textbook AVL"), names[p]);
    connect(pane.tree, &TreePane::NodeClicked, this,
            [this, p](std::int32_t, int element) { SelectElement(p, element); });
    pane.summary = new QLabel;
    pane.summary->setObjectName(QStringLiteral("%1Summary").arg(QLatin1String(names[p])));
    pane.summary->setWordWrap(true);
    pane.tree->AddBelow(pane.summary);
    trees->addWidget(pane.tree);
  }

  table_ = new QTableWidget(0, 5);
  table_->setObjectName(QStringLiteral("CompareTable"));
  table_->setHorizontalHeaderLabels({QStringLiteral("Value"), QStringLiteral("This tool"),
                                     QStringLiteral("AVL"), QStringLiteral("Levels (this tool)"),
                                     QStringLiteral("Levels (AVL)")});
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) { ShowValue(row); });

  auto* split = new QSplitter(Qt::Vertical);
  split->addWidget(trees);
  split->addWidget(table_);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 1);

  auto* buttons = new QHBoxLayout;
  const std::pair<const char*, void (CompareWindow::*)()> moves[] = {
      {"First", &CompareWindow::First},
      {"Back", &CompareWindow::Back},
      {"Forward", &CompareWindow::Forward},
      {"Last", &CompareWindow::Last}};
  const QString texts[] = {QStringLiteral("|< First"), QStringLiteral("< Back"),
                           QStringLiteral("Forward >"), QStringLiteral("Last >|")};
  for (int b = 0; b < 4; ++b) {
    auto* button = new QPushButton(texts[b]);
    button->setObjectName(QStringLiteral("Compare%1").arg(QLatin1String(moves[b].first)));
    button->setFocusPolicy(Qt::TabFocus);
    connect(button, &QPushButton::clicked, this, moves[b].second);
    buttons->addWidget(button);
  }
  buttons->addStretch();
  status_ = new QLabel;
  status_->setObjectName(QStringLiteral("CompareStatus"));
  status_->setWordWrap(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(split, 1);
  layout->addLayout(buttons);
  layout->addWidget(status_);
  resize(1100, 700);
  Follow({});
}

CompareWindow::~CompareWindow() = default;

const std::vector<std::int32_t>& CompareWindow::Marked(int pane) const {
  return panes_[static_cast<std::size_t>(pane)]->tree->Marked();
}

const TreeCore::TreeRec& CompareWindow::Shown(int pane) const {
  return panes_[static_cast<std::size_t>(pane)]->tree->Tree();
}

std::int32_t CompareWindow::SelectedSlot(int pane) const {
  const auto order = TreeTrace::InOrderSlots(Shown(pane));
  return selected_ >= 0 && static_cast<std::size_t>(selected_) < order.size()
             ? order[static_cast<std::size_t>(selected_)].Slot
             : -1;
}

// The same value in both trees is the node at the same in-order position, as
// lists may repeat values; it gets a badge in both panes.
void CompareWindow::SelectElement(int pane, int element) {
  const TreePane& from = *panes_[static_cast<std::size_t>(pane)]->tree;
  if (from.NodeOf(element) < 0) return;
  const auto order = TreeTrace::InOrderSlots(from.Tree());
  const auto at = std::find_if(order.begin(), order.end(), [&](const TreeTrace::SlotDepth& s) {
    return s.Slot == from.NodeOf(element);
  });
  if (at == order.end()) return;
  selected_ = at - order.begin();
  int levels[2] = {0, 0};
  for (int p = 0; p < 2; ++p) {
    TreePane& shown = *panes_[static_cast<std::size_t>(p)]->tree;
    const std::int32_t slot = SelectedSlot(p);
    const std::size_t elements = shown.NodeOfElement().size();
    std::vector<std::string> badges(elements);
    for (std::size_t k = 0; k < badges.size(); ++k)
      if (shown.NodeOfElement()[k] == slot) badges[k] = "selected";
    shown.Surface()->SetBadges(std::move(badges), std::vector<bool>(elements));
    if (slot >= 0) levels[p] = shown.Tree().Nodes[static_cast<std::size_t>(slot)].Level;
  }
  status_->setText(QStringLiteral("Selected %1: level %2 in this tool, %3 in AVL.")
                       .arg(from.Tree().Nodes[static_cast<std::size_t>(at->Slot)].Data)
                       .arg(levels[SchemePane])
                       .arg(levels[AvlPane]));
}

void CompareWindow::Follow(std::vector<TreeTrace::HistoryEntry> history) {
  command_ = std::make_unique<TreeTrace::CompareSteps>(std::move(history));
  const auto& steps = command_->Steps();
  const QSignalBlocker quiet(table_);
  table_->setRowCount(static_cast<int>(steps.size()));
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const TreeTrace::CompareStep& s = steps[i];
    QString scheme = Rotations(s.SchemeRotations);
    if (s.SchemeFixUps > 0)
      scheme += (scheme.isEmpty() ? QString() : QStringLiteral(", ")) +
                QStringLiteral("fix-ups %1").arg(s.SchemeFixUps);
    const QString cells[] = {QString::number(s.Value), scheme, Rotations(s.AvlRotations),
                             QString::number(s.SchemeLevels), QString::number(s.AvlLevels)};
    for (int c = 0; c < 5; ++c)
      table_->setItem(static_cast<int>(i), c, new QTableWidgetItem(cells[c]));
  }
  Summarise();
  current_ = -1;
  if (steps.empty()) {
    Display(*panes_[SchemePane], {}, {});
    Display(*panes_[AvlPane], {}, {});
    status_->setText(command_->Message().empty()
                         ? QStringLiteral("Run Get Tree or Erase to compare it with AVL.")
                         : QString::fromStdString(command_->Message()));
    return;
  }
  Last();
}

void CompareWindow::Summarise() {
  TreeTrace::RotationCounts scheme{}, avl{};
  std::uint32_t fixUps = 0;
  for (const TreeTrace::CompareStep& s : command_->Steps()) {
    for (std::size_t k = 0; k < scheme.size(); ++k) {
      scheme[k] += s.SchemeRotations[k];
      avl[k] += s.AvlRotations[k];
    }
    fixUps += s.SchemeFixUps;
  }
  const QString none = QStringLiteral("none");
  const QString schemeText = Rotations(scheme);
  const QString avlText = Rotations(avl);
  panes_[SchemePane]->summary->setText(QStringLiteral("Rotations: %1; fix-ups: %2")
                                           .arg(schemeText.isEmpty() ? none : schemeText)
                                           .arg(fixUps));
  panes_[AvlPane]->summary->setText(
      QStringLiteral("Rotations: %1").arg(avlText.isEmpty() ? none : avlText));
}

void CompareWindow::First() {
  if (!command_->Steps().empty()) ShowValue(0);
}
void CompareWindow::Last() {
  if (!command_->Steps().empty())
    ShowValue(static_cast<std::ptrdiff_t>(command_->Steps().size()) - 1);
}
void CompareWindow::Back() {
  if (current_ > 0) ShowValue(current_ - 1);
}
void CompareWindow::Forward() {
  ShowValue(current_ + 1);
}

void CompareWindow::ShowValue(std::ptrdiff_t i) {
  const auto& values = command_->Steps();
  if (i < 0 || i >= static_cast<std::ptrdiff_t>(values.size())) return;
  current_ = i;
  TreeCore::TreeRec scheme;
  Avl::Tree avlTree;
  command_->TreesAfter(i, scheme, avlTree);
  TreeCore::TreeRec avl = TreeTrace::AvlAsTree(avlTree);
  // Matched by in-order position, as lists may repeat values.
  const auto left = TreeTrace::InOrderSlots(scheme), right = TreeTrace::InOrderSlots(avl);
  std::vector<std::int32_t> marks[2];
  for (std::size_t k = 0; k < std::min(left.size(), right.size()); ++k) {
    if (left[k].Depth == right[k].Depth) continue;
    marks[SchemePane].push_back(left[k].Slot);
    marks[AvlPane].push_back(right[k].Slot);
  }
  for (auto& m : marks) std::sort(m.begin(), m.end());
  const std::size_t differing = marks[0].size();
  const std::size_t nodes = left.size();
  const TreeTrace::CompareStep& s = values[static_cast<std::size_t>(i)];
  Display(*panes_[SchemePane], std::move(scheme), std::move(marks[SchemePane]));
  Display(*panes_[AvlPane], std::move(avl), std::move(marks[AvlPane]));
  status_->setText(
      QStringLiteral("Value %1 of %2 (%3). Levels: this tool %4, AVL %5, least "
                     "possible %6. Marked: %7 nodes at another depth in the other tree.")
          .arg(i + 1)
          .arg(values.size())
          .arg(s.Value)
          .arg(s.SchemeLevels)
          .arg(s.AvlLevels)
          .arg(LeastLevels(nodes))
          .arg(differing));
  if (table_->currentRow() != i) {
    const QSignalBlocker quiet(table_);
    table_->setCurrentCell(static_cast<int>(i), 0);
  }
  FollowSteps();
  StepsWindow* steps = stepsFollowed_.data();
  if (!echoing_ && steps != nullptr && steps->CurrentValue() != i && SameCommand(steps))
    steps->ShowValue(static_cast<std::size_t>(i));
}

bool CompareWindow::SameCommand(StepsWindow* steps) const {
  return steps->Recorder().ValueCount() == command_->Steps().size();
}

// Steps along with the Balancing Steps window while it is open on the same
// command (the same number of values).
void CompareWindow::FollowSteps() {
  StepsWindow* steps = findSteps_ ? findSteps_() : nullptr;
  if (steps == stepsFollowed_.data()) return;
  stepsFollowed_ = steps;
  if (steps == nullptr) return;
  connect(steps, &StepsWindow::ValueShown, this, [this, steps](std::ptrdiff_t i) {
    if (i < 0 || i == current_ || !SameCommand(steps)) return;
    echoing_ = true;
    ShowValue(i);
    echoing_ = false;
  });
}

void CompareWindow::Display(Pane& pane, TreeCore::TreeRec tree, std::vector<std::int32_t> marks) {
  pane.tree->Surface()->SetBadges({}, {});
  selected_ = -1;
  // Compact, so that both trees read side by side at any size.
  pane.tree->Show(std::move(tree), std::move(marks), TreeCore::TreeLayout::Compact);
  pane.tree->ShowWhole();
}

CompareFeature::CompareFeature(QWidget* window, QMenu* padMenu, TreeCommands::LastCommand& last,
                               CompareWindow::StepsFinder steps)
    : QObject(window), window_(window), last_(last), steps_(std::move(steps)) {
  setObjectName(QStringLiteral("CompareFeature"));
  auto* action = new QAction(QStringLiteral("Compare with AVL\u2026"), window);
  action->setObjectName(QStringLiteral("CompareWithAvlAction"));
  action->setShortcut(QKeySequence(Qt::Key_F3));
  action->setShortcutContext(Qt::WindowShortcut);
  connect(action, &QAction::triggered, this, [this] { Open(); });
  window->addAction(action);
  padMenu->addAction(action);
  // Every command since the last Get Tree: an Erase's AVL tree must come
  // from the same history as the scheme's.
  last_.OnChange([this] {
    if (last_.Empty() || last_.Kind() == TreeCommands::CommandKind::Get) history_.clear();
    if (!last_.Empty()) history_.push_back({last_.Kind(), last_.Values()});
    if (!compare_.isNull()) compare_->Follow(history_);
  });
}

CompareWindow* CompareFeature::Open() {
  if (compare_.isNull()) {
    compare_ = new CompareWindow(steps_, window_);
    compare_->Follow(history_);
  }
  compare_->show();
  compare_->raise();
  compare_->activateWindow();
  return compare_;
}

}  // namespace TreeUi
