// The Rules panel of the steps window: the balancing procedure in plain
// words, line by line, with the lines the shown event comes from highlighted.
// Shown and hidden by its button or F4.
#pragma once

#include <QWidget>
#include <vector>

#include "EventReason.h"
#include "EventStates.h"
#include "RuleText.h"
#include "TraceRecorder.h"

class QListWidget;
class QPushButton;

namespace TreeUi {

class RulesPanel final : public QWidget {
  Q_OBJECT

 public:
  // Hidden at first; `window` gets the F4 shortcut.
  explicit RulesPanel(QWidget* window);

  // The checkable button that shows and hides the panel.
  QPushButton* Toggle() const { return toggle_; }

  // Event `states` of value `value` is shown: its lines are highlighted.
  void ShowEvent(const TreeTrace::TraceRecorder& recorder, std::size_t value,
                 const TreeTrace::EventStates& states, const TreeTrace::EventReason& reason);
  // A whole value is shown: where a value of the command starts.
  void ShowValue(TreeTrace::CommandKind kind);
  // Nothing to point at (the summary).
  void Clear() { Highlight({}); }

  // The highlighted parts, the one the event fires on first.
  const std::vector<TreeTrace::RulePart>& Highlighted() const { return highlighted_; }
  QListWidget* List() const { return list_; }

 private:
  void Highlight(std::vector<TreeTrace::RulePart> parts);

  QListWidget* list_ = nullptr;
  QPushButton* toggle_ = nullptr;
  std::vector<TreeTrace::RulePart> highlighted_;
};

}  // namespace TreeUi
