#include "ExperimentsModel.h"

#include <QStringList>
#include <algorithm>
#include <tuple>

#include "ExperimentTable.h"

namespace TreeUi {

namespace {

using namespace TreeExperiments;

const QStringList Header = QString::fromLatin1(CsvHeader).split(',');

}  // namespace

void ExperimentsModel::Clear() {
  beginResetModel();
  rows_.clear();
  endResetModel();
}

void ExperimentsModel::Add(const std::vector<ListResult>& results) {
  std::vector<Row> added;
  for (const ListResult& r : results) {
    if (r.Scheme) added.push_back({r.Id, TreeName::Scheme, *r.Scheme});
    if (r.Avl) added.push_back({r.Id, TreeName::Avl, *r.Avl});
  }
  if (added.empty()) return;
  const int first = static_cast<int>(rows_.size());
  beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
  rows_.insert(rows_.end(), added.begin(), added.end());
  endInsertRows();
}

std::string ExperimentsModel::Csv(const std::vector<ListKind>& kinds) const {
  std::vector<const Row*> order;
  for (const Row& row : rows_) order.push_back(&row);
  const auto place = [&](const Row* r) {
    return std::make_tuple(std::find(kinds.begin(), kinds.end(), r->Id.Kind) - kinds.begin(),
                           r->Id.Size, r->Id.Repeat, r->Tree);
  };
  std::sort(order.begin(), order.end(),
            [&](const Row* a, const Row* b) { return place(a) < place(b); });
  std::string csv = std::string(CsvHeader) + '\n';
  for (const Row* row : order) csv += CsvRow(row->Id, row->Tree, row->Figures) + '\n';
  return csv;
}

int ExperimentsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ExperimentsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(Header.size());
}

QVariant ExperimentsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() ||
      (role != Qt::DisplayRole && role != SortRole && role != Qt::TextAlignmentRole))
    return {};
  const Row& row = rows_[static_cast<std::size_t>(index.row())];
  const int column = index.column();
  if (role == Qt::TextAlignmentRole)
    return column == 0 || column == 3 ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
  switch (column) {
    case 0:
      return role == SortRole ? QVariant(static_cast<int>(row.Id.Kind))
                              : QVariant(QString::fromLatin1(KindName(row.Id.Kind)));
    case 1:
      return row.Id.Size;
    case 2:
      return row.Id.Repeat;
    case 3:
      return role == SortRole ? QVariant(static_cast<int>(row.Tree))
                              : QVariant(QString::fromLatin1(TreeText(row.Tree)));
    case 4:
      return row.Figures.Levels;
    case 5:
    case 6:
    case 7:
    case 8:
      return row.Figures.Rotations[static_cast<std::size_t>(column - 5)];
    case 9:
      if (row.Tree == TreeName::Avl) return role == SortRole ? QVariant(-1) : QVariant(QString());
      return row.Figures.FixUps;
    case 10:
      return role == SortRole ? QVariant(row.Figures.Ms)
                              : QVariant(QString::fromStdString(Millis(row.Figures.Ms)));
  }
  return {};
}

QVariant ExperimentsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < Header.size())
    return Header[section];
  return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace TreeUi
