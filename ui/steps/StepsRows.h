// What the steps window's files share: the list's rows and their data.
#pragma once

#include <QString>
#include <QTreeWidget>
#include <cstddef>
#include <string>

#include "TraceRecorder.h"

namespace TreeUi::StepsRows {

enum Role { RowKind = Qt::UserRole, ValueIndex, EventIndex };
enum RowType { SummaryRow, ValueRow, EventRow, MessageRow };
// An expanded value lists at most this many events; the rest are counted.
inline constexpr std::size_t MaxEventRows = 5000;

inline QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

inline QTreeWidgetItem* ValueItem(QTreeWidget* list, std::size_t i) {
  // Row 0 is the summary; value i follows at row i + 1.
  return list->topLevelItem(static_cast<int>(i) + 1);
}

inline bool IsBalancing(const TreeTrace::StepEvent& e) {
  return e.Type == TreeTrace::EventType::Rotate || e.Type == TreeTrace::EventType::FixUp;
}

}  // namespace TreeUi::StepsRows
