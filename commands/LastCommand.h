// The last Get Tree or Erase that ran to its end, kept so that a steps window
// opened afterwards can still show it: the tree it started from and its list.
// Qt-free.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "CommandKind.h"
#include "TreeCore.h"
#include "TreeJob.h"

namespace TreeCommands {

class LastCommand {
 public:
  // `job` is about to run: what it starts from and its list are kept aside
  // until Completed says it ran to its end.
  void Starting(CommandKind kind, const TreeCore::TreeRec& before,
                const std::vector<std::int16_t>& values);
  void Completed();
  // Clear Tree: nothing to show any more.
  void Forget();

  bool Empty() const { return !kept_.has_value(); }
  CommandKind Kind() const { return kept_ ? kept_->Kind : CommandKind::Get; }
  // A job that does the command's engine work again, event for event.
  std::optional<TreeJob> Again() const;
  // The kept command's list (empty when none is kept).
  const std::vector<std::int16_t>& Values() const;
  // Told after every Completed and Forget (the compare window's history).
  void OnChange(std::function<void()> listener) { listener_ = std::move(listener); }

 private:
  struct Command {
    CommandKind Kind;
    TreeCore::TreeRec Before;
    std::vector<std::int16_t> Values;
  };
  std::optional<Command> pending_;
  std::optional<Command> kept_;
  std::function<void()> listener_;
};

}  // namespace TreeCommands
