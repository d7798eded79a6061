#include "ExperimentsWindow.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <map>

#include "ExperimentsModel.h"
#include "ExperimentsPlots.h"

namespace TreeUi {

namespace {

using namespace TreeExperiments;

// Results arriving together are shown together, so that a burst of small
// lists costs one redraw of the plots, not one each.
constexpr int FlushMs = 100;

}  // namespace

ExperimentsWindow::ExperimentsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("ExperimentsWindow"));
  setWindowTitle(QStringLiteral("Experiments"));
  flush_ = new QTimer(this);
  flush_->setSingleShot(true);
  flush_->setInterval(FlushMs);
  connect(flush_, &QTimer::timeout, this, &ExperimentsWindow::Flush);

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  auto* panel = new QWidget(splitter);
  BuildControls(panel);

  auto* plotsArea = new QWidget(splitter);
  auto* grid = new QGridLayout(plotsArea);
  grid->setContentsMargins(0, 0, 0, 0);
  auto* key = new QLabel(
      QStringLiteral("n on a log scale. Solid lines: this scheme; dashed: AVL; shaded: the "
                     "least to the most over the repeats. Hover a point for its figures; "
                     "right-click a plot to save it."),
      plotsArea);
  key->setWordWrap(true);
  grid->addWidget(key, 2, 0, 1, 2);
  plots_ = new ExperimentsPlots(plotsArea);
  for (int p = 0; p < ExperimentsPlots::PlotCount; ++p) {
    grid->addWidget(plots_->View(p), p / 2, p % 2);
    connect(plots_->View(p), &QWidget::customContextMenuRequested, this,
            [this, p](const QPoint& at) { PlotMenu(p, at); });
  }

  model_ = new ExperimentsModel(this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(model_);
  sorted_->setSortRole(ExperimentsModel::SortRole);
  table_ = new QTableView(splitter);
  table_->setObjectName(QStringLiteral("ExperimentsTable"));
  table_->setModel(sorted_);
  table_->setSortingEnabled(true);
  table_->sortByColumn(-1, Qt::AscendingOrder);  // arrival order until a header is clicked
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->setVisible(false);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
  // Widths fixed once, from the widest text each column can hold: sizing to
  // the contents would read every row at every batch of results.
  const QFontMetrics metrics = table_->fontMetrics();
  const char* const widest[] = {"descending", "32767",    "10000",    "scheme",
                                "22",         "9999999",  "9999999",  "9999999",
                                "9999999",    "99999999", "99999.999"};
  for (int c = 0; c < model_->columnCount(); ++c)
    table_->setColumnWidth(
        c, std::max(metrics.horizontalAdvance(QLatin1String(widest[c])),
                    metrics.horizontalAdvance(
                        model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString())) +
               14);
  auto* copy = new QAction(QStringLiteral("Copy"), table_);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  connect(copy, &QAction::triggered, this, &ExperimentsWindow::CopySelection);
  table_->addAction(copy);
  table_->setContextMenuPolicy(Qt::ActionsContextMenu);

  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 3);
  splitter->setStretchFactor(2, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  // The splitter's panes shrink as they can; a minimum size that follows
  // the plots' legends would only make the window jump.
  layout->setSizeConstraint(QLayout::SetNoConstraint);
  layout->addWidget(splitter);
  resize(1240, 760);
  splitter->setSizes({190, 800, 250});
  plots_->Reset(settings_);
}

ExperimentsWindow::~ExperimentsWindow() {
  // The workers hand results to this window: they stop before it goes.
  run_.reset();
}

void ExperimentsWindow::BuildControls(QWidget* panel) {
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);
  auto* kindsBox = new QGroupBox(QStringLiteral("List kinds"), panel);
  auto* kindsColumn = new QVBoxLayout(kindsBox);
  for (const ListKind kind : AllKinds) {
    auto* box = new QCheckBox(QString::fromLatin1(KindName(kind)), kindsBox);
    box->setObjectName(QStringLiteral("Kind_") + QString::fromLatin1(KindName(kind)));
    box->setChecked(true);
    kindsColumn->addWidget(box);
    kinds_[static_cast<std::size_t>(kind)] = box;
  }
  column->addWidget(kindsBox);

  auto* form = new QFormLayout;
  sizes_ = new QLineEdit(panel);
  sizes_->setObjectName(QStringLiteral("ExperimentSizes"));
  sizes_->setPlaceholderText(QStringLiteral("1, 3, 7, \u2026, 32767"));
  sizes_->setToolTip(
      QStringLiteral("Sizes from 1 to 32767, separated by commas; empty for "
                     "2^k \u2212 1, k = 1..15"));
  form->addRow(QStringLiteral("Sizes:"), sizes_);
  repeats_ = new QSpinBox(panel);
  repeats_->setObjectName(QStringLiteral("ExperimentRepeats"));
  repeats_->setRange(1, MaxRepeats);
  repeats_->setValue(DefaultRepeats);
  repeats_->setToolTip(QStringLiteral("Lists of each random kind and size"));
  form->addRow(QStringLiteral("Repeats:"), repeats_);
  seed_ = new QLineEdit(QString::number(DefaultSeed), panel);
  seed_->setObjectName(QStringLiteral("ExperimentSeed"));
  seed_->setToolTip(
      QStringLiteral("The random lists come from this seed (0..4294967295): the "
                     "same seed gives the same lists"));
  form->addRow(QStringLiteral("Seed:"), seed_);
  column->addLayout(form);

  auto* treesBox = new QGroupBox(QStringLiteral("Trees"), panel);
  auto* treesColumn = new QVBoxLayout(treesBox);
  scheme_ = new QCheckBox(QStringLiteral("This scheme"), treesBox);
  avl_ = new QCheckBox(QStringLiteral("AVL"), treesBox);
  for (QCheckBox* box : {scheme_, avl_}) {
    box->setChecked(true);
    treesColumn->addWidget(box);
  }
  column->addWidget(treesBox);

  rotations_ = new QComboBox(panel);
  rotations_->setObjectName(QStringLiteral("ExperimentRotations"));
  rotations_->addItem(QStringLiteral("Rotations: all kinds"), int(Measure::Rotations));
  for (const auto& [name, measure] : {std::pair{"RR", Measure::RR}, std::pair{"RL", Measure::RL},
                                      std::pair{"LL", Measure::LL}, std::pair{"LR", Measure::LR}})
    rotations_->addItem(QStringLiteral("Rotations: %1").arg(QLatin1String(name)), int(measure));
  connect(rotations_, &QComboBox::currentIndexChanged, this, [this] {
    plots_->SetRotations(static_cast<Measure>(rotations_->currentData().toInt()));
  });
  column->addWidget(rotations_);

  runButton_ = new QPushButton(QStringLiteral("Run"), panel);
  runButton_->setObjectName(QStringLiteral("ExperimentRun"));
  cancelButton_ = new QPushButton(QStringLiteral("Cancel"), panel);
  cancelButton_->setObjectName(QStringLiteral("ExperimentCancel"));
  cancelButton_->setEnabled(false);
  saveButton_ = new QPushButton(QStringLiteral("Save Table\u2026"), panel);
  saveButton_->setObjectName(QStringLiteral("ExperimentSaveTable"));
  connect(runButton_, &QPushButton::clicked, this, [this] { Run(); });
  connect(cancelButton_, &QPushButton::clicked, this, &ExperimentsWindow::Cancel);
  connect(saveButton_, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Table"),
                                                      QStringLiteral("experiment.csv"),
                                                      QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty()) SaveTable(path);
  });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(runButton_);
  buttons->addWidget(cancelButton_);
  column->addLayout(buttons);
  column->addWidget(saveButton_);
  progress_ = new QProgressBar(panel);
  progress_->setObjectName(QStringLiteral("ExperimentProgress"));
  progress_->setRange(0, 1);
  progress_->setValue(0);
  column->addWidget(progress_);
  status_ = new QLabel(panel);
  status_->setObjectName(QStringLiteral("ExperimentStatus"));
  status_->setWordWrap(true);
  column->addWidget(status_);
  column->addStretch(1);
}

std::optional<Settings> ExperimentsWindow::ReadControls() {
  Settings settings;
  settings.Kinds.clear();
  for (const ListKind kind : AllKinds)
    if (kinds_[static_cast<std::size_t>(kind)]->isChecked()) settings.Kinds.push_back(kind);
  const auto refuse = [this](const QString& why) {
    status_->setText(why);
    return std::nullopt;
  };
  if (settings.Kinds.empty()) return refuse(QStringLiteral("Choose at least one list kind."));
  if (!sizes_->text().trimmed().isEmpty()) {
    auto sizes = ReadSizes(sizes_->text().toStdString());
    if (std::holds_alternative<std::string>(sizes))
      return refuse(
          QStringLiteral("Sizes are whole numbers from 1 to 32767, separated by "
                         "commas."));
    settings.Sizes = std::get<0>(std::move(sizes));
  }
  settings.Repeats = repeats_->value();
  const auto seed = ReadSeedText(seed_->text().toStdString());
  if (std::holds_alternative<std::string>(seed))
    return refuse(QStringLiteral("The seed is a whole number from 0 to 4294967295."));
  settings.Seed = std::get<0>(seed);
  settings.Scheme = scheme_->isChecked();
  settings.Avl = avl_->isChecked();
  if (!settings.Scheme && !settings.Avl) return refuse(QStringLiteral("Choose at least one tree."));
  return settings;
}

bool ExperimentsWindow::Run() {
  if (run_) return false;
  const auto settings = ReadControls();
  if (!settings) return false;
  settings_ = *settings;
  aggregate_.Clear();
  pending_.clear();
  model_->Clear();
  plots_->Reset(settings_);
  done_ = 0;
  total_ = PlanLists(settings_).size();
  progress_->setRange(0, static_cast<int>(total_));
  progress_->setValue(0);
  status_->setText(QStringLiteral("Running %1 lists\u2026").arg(total_));
  ShowRunning(true);
  clock_.start();
  // Workers hand each result to this window's thread; the queued call is
  // dropped if the window is gone, and the window waits for the workers.
  QPointer<ExperimentsWindow> self(this);
  run_ = std::make_unique<ExperimentRun>(
      settings_,
      [self](const ListResult& result) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, result] {
              if (self) self->Arrived(result);
            },
            Qt::QueuedConnection);
      },
      [self](bool cancelled) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, cancelled] {
              if (self) self->Ended(cancelled);
            },
            Qt::QueuedConnection);
      },
      0, true);
  return true;
}

void ExperimentsWindow::Cancel() {
  if (!run_) return;
  run_->Cancel();
  cancelButton_->setEnabled(false);
  status_->setText(QStringLiteral("Cancelling\u2026"));
}

void ExperimentsWindow::Arrived(const ListResult& result) {
  pending_.push_back(result);
  if (!flush_->isActive()) flush_->start();
}

void ExperimentsWindow::Flush() {
  flush_->stop();
  if (pending_.empty()) return;
  for (const ListResult& r : pending_) aggregate_.Add(r);
  model_->Add(pending_);
  done_ += pending_.size();
  pending_.clear();
  plots_->Show(aggregate_.All());
  progress_->setValue(static_cast<int>(done_));
  if (run_) status_->setText(QStringLiteral("%1 of %2 lists done\u2026").arg(done_).arg(total_));
}

void ExperimentsWindow::Ended(bool cancelled) {
  // Every result was queued before this call: show them all first.
  Flush();
  run_.reset();
  ShowRunning(false);
  const QString seconds = QString::number(clock_.elapsed() / 1000.0, 'f', 1);
  status_->setText(cancelled
                       ? QStringLiteral("Cancelled: %1 of %2 lists done.").arg(done_).arg(total_)
                       : QStringLiteral("Done: %1 lists in %2 s.").arg(done_).arg(seconds));
  emit Finished(cancelled);
}

void ExperimentsWindow::ShowRunning(bool running) {
  runButton_->setEnabled(!running);
  cancelButton_->setEnabled(running);
  for (QWidget* w : std::initializer_list<QWidget*>{sizes_, repeats_, seed_, scheme_, avl_})
    w->setEnabled(!running);
  for (QCheckBox* box : kinds_) box->setEnabled(!running);
}

std::string ExperimentsWindow::Csv() const {
  return model_->Csv(settings_.Kinds);
}

bool ExperimentsWindow::SaveTable(const QString& path) {
  QSaveFile file(path);
  const std::string csv = Csv();
  const bool saved =
      file.open(QIODevice::WriteOnly) &&
      file.write(csv.data(), static_cast<qint64>(csv.size())) == static_cast<qint64>(csv.size()) &&
      file.commit();
  status_->setText(saved ? QStringLiteral("Table saved to %1.").arg(path)
                         : QStringLiteral("Could not write %1: %2").arg(path, file.errorString()));
  return saved;
}

bool ExperimentsWindow::SavePlot(int plot, const QString& path) {
  const bool saved = plots_->Save(plot, path);
  status_->setText(saved ? QStringLiteral("Plot saved to %1.").arg(path)
                         : QStringLiteral("Could not write %1.").arg(path));
  return saved;
}

void ExperimentsWindow::CopySelection() {
  const QModelIndexList rows = table_->selectionModel()->selectedRows();
  QString text = QString::fromLatin1(CsvHeader) + '\n';
  std::map<int, QStringList> lines;  // in the view's order
  for (const QModelIndex& row : rows) {
    QStringList cells;
    for (int c = 0; c < sorted_->columnCount(); ++c)
      cells << sorted_->index(row.row(), c).data().toString();
    lines[row.row()] = cells;
  }
  for (const auto& [row, cells] : lines) text += cells.join(',') + '\n';
  QApplication::clipboard()->setText(text);
}

void ExperimentsWindow::PlotMenu(int plot, const QPoint& at) {
  QMenu menu(this);
  menu.addAction(QStringLiteral("Save Plot\u2026"), this, [this, plot] {
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Save Plot"), QStringLiteral("plot.png"),
                                     QStringLiteral("PNG picture (*.png);;SVG picture (*.svg)"));
    if (!path.isEmpty()) SavePlot(plot, path);
  });
  menu.exec(plots_->View(plot)->mapToGlobal(at));
}

void ExperimentsWindow::closeEvent(QCloseEvent* event) {
  Cancel();
  QWidget::closeEvent(event);
}

ExperimentsFeature::ExperimentsFeature(QWidget* window, QMenu* padMenu)
    : QObject(window), window_(window) {
  setObjectName(QStringLiteral("ExperimentsFeature"));
  auto* action = new QAction(QStringLiteral("Experiments\u2026"), window);
  action->setObjectName(QStringLiteral("ExperimentsAction"));
  action->setShortcut(QKeySequence(Qt::Key_F8));
  action->setShortcutContext(Qt::WindowShortcut);
  connect(action, &QAction::triggered, this, [this] { Open(); });
  window->addAction(action);
  padMenu->addAction(action);
}

ExperimentsWindow* ExperimentsFeature::Open() {
  if (experiments_.isNull()) experiments_ = new ExperimentsWindow(window_);
  experiments_->show();
  experiments_->raise();
  experiments_->activateWindow();
  return experiments_;
}

}  // namespace TreeUi
