// The Experiments window: many lists of chosen kinds and sizes through this
// tool's tree and a textbook AVL tree, on worker threads, with plots that fill
// in as lists finish, the exact figures in a sortable table, and the CSV.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "ExperimentRun.h"
#include "ExperimentTable.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;
class QTimer;

namespace TreeUi {

class ExperimentsModel;
class ExperimentsPlots;

class ExperimentsWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit ExperimentsWindow(QWidget* parent = nullptr);
  ~ExperimentsWindow() override;

  // Starts the experiment the controls describe; false (and the status line
  // says why) when a control holds something it cannot run.
  bool Run();
  void Cancel();
  bool Running() const { return run_ != nullptr; }
  // The table as CSV, to `path`; false when it cannot be written.
  bool SaveTable(const QString& path);
  bool SavePlot(int plot, const QString& path);

  // ---- For the tests ---------------------------------------------------------
  ExperimentsPlots* Plots() const { return plots_; }
  QTableView* Table() const { return table_; }
  const TreeExperiments::Aggregate& Statistics() const { return aggregate_; }
  std::string Csv() const;

 signals:
  // The run is over: done, or cancelled.
  void Finished(bool cancelled);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls(QWidget* panel);
  std::optional<TreeExperiments::Settings> ReadControls();
  void Arrived(const TreeExperiments::ListResult& result);
  void Flush();
  void Ended(bool cancelled);
  void ShowRunning(bool running);
  void CopySelection();
  void PlotMenu(int plot, const QPoint& at);

  std::array<QCheckBox*, 5> kinds_{};
  QLineEdit* sizes_ = nullptr;
  QSpinBox* repeats_ = nullptr;
  QLineEdit* seed_ = nullptr;
  QCheckBox* scheme_ = nullptr;
  QCheckBox* avl_ = nullptr;
  QComboBox* rotations_ = nullptr;
  QPushButton* runButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* status_ = nullptr;
  ExperimentsPlots* plots_ = nullptr;
  ExperimentsModel* model_ = nullptr;
  QSortFilterProxyModel* sorted_ = nullptr;
  QTableView* table_ = nullptr;

  TreeExperiments::Settings settings_;
  TreeExperiments::Aggregate aggregate_;
  std::vector<TreeExperiments::ListResult> pending_;  // arrived, not yet shown
  QTimer* flush_ = nullptr;
  QElapsedTimer clock_;
  std::size_t done_ = 0, total_ = 0;
  std::unique_ptr<TreeExperiments::ExperimentRun> run_;
};

// The pad menu's "Experiments…" (F8), which opens the one window.
class ExperimentsFeature final : public QObject {
  Q_OBJECT

 public:
  ExperimentsFeature(QWidget* window, QMenu* padMenu);
  ExperimentsWindow* Open();

 private:
  QWidget* window_;
  QPointer<ExperimentsWindow> experiments_;
};

}  // namespace TreeUi
