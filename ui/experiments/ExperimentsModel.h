// The exact figures of an experiment, one row per list and tree, for the
// window's sortable table and its "Save Table…".
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "ExperimentPlan.h"

namespace TreeUi {

class ExperimentsModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  // Sorts by this role: numbers as numbers.
  static constexpr int SortRole = Qt::UserRole;

  void Clear();
  void Add(const std::vector<TreeExperiments::ListResult>& results);
  // The CSV, header first, rows in the experiment's order (`kinds` gives the
  // order of the kinds).
  std::string Csv(const std::vector<TreeExperiments::ListKind>& kinds) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  struct Row {
    TreeExperiments::ListId Id;
    TreeExperiments::TreeName Tree;
    TreeExperiments::TreeFigures Figures;
  };
  std::vector<Row> rows_;
};

}  // namespace TreeUi
