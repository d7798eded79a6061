#include "Commands.h"

#include "ListParse.h"
#include "Messages.h"

namespace TreeCommands {

CheckedList CheckList(CommandKind kind, std::string_view text) {
  CheckedList checked;
  if (text.empty()) {
    checked.Refusal = kind == CommandKind::Get ? Messages::GetTreeEmpty : Messages::EraseEmpty;
    return checked;
  }
  // A piece out of range, or more pieces than a list may hold, is refused
  // as a piece that is not a number is.
  auto parsed = ParseList(text);
  if (!parsed) {
    checked.Refusal = Messages::NumbersOnly;
    checked.BadPiece = true;
    return checked;
  }
  checked.Values = std::move(*parsed);
  return checked;
}

SearchOutcome Search(const TreeCore::TreeRec& tree, std::string_view text) {
  SearchOutcome outcome;
  outcome.Title = Messages::ErrorTitle;
  const std::optional<std::int32_t> value = ToInt32(text);
  if (!value) {
    outcome.Refused = true;
    outcome.Message = Messages::NumbersOnly;
    return outcome;
  }
  outcome.Node = TreeCore::FindValue(tree, *value);
  if (outcome.Node == -1) {
    outcome.Message = tree.Exists ? Messages::NodeNotFound : Messages::NoTreeToSearch;
  } else {
    // The text as typed, blanks included.
    outcome.Message = "The Node " + std::to_string(outcome.Node) + " contains ";
    outcome.Message.append(text);
    outcome.Message += '.';
    outcome.Title = Messages::NodeFoundTitle;
  }
  return outcome;
}

}  // namespace TreeCommands
