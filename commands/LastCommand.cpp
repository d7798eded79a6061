#include "LastCommand.h"

namespace TreeCommands {

void LastCommand::Starting(CommandKind kind, const TreeCore::TreeRec& before,
                           const std::vector<std::int16_t>& values) {
  pending_ = Command{kind, before, values};
}

void LastCommand::Completed() {
  if (!pending_) return;
  kept_ = std::move(pending_);
  pending_.reset();
  if (listener_) listener_();
}

void LastCommand::Forget() {
  pending_.reset();
  kept_.reset();
  if (listener_) listener_();
}

const std::vector<std::int16_t>& LastCommand::Values() const {
  static const std::vector<std::int16_t> none;
  return kept_ ? kept_->Values : none;
}

std::optional<TreeJob> LastCommand::Again() const {
  if (!kept_) return std::nullopt;
  // A Get Tree's `Before` is the emptied tree its job started from; building
  // from it again empties nothing more.
  if (kept_->Kind == CommandKind::Get) return TreeJob::Build(kept_->Before, kept_->Values);
  return TreeJob::Erase(kept_->Before, kept_->Values);
}

}  // namespace TreeCommands
