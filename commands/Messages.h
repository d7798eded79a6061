// Every text the commands say to the user, written once: the window shows
// them in message boxes, the command line on standard error or in its JSON.
#pragma once

#include <string_view>

#include "TreeCore.h"

namespace TreeCommands::Messages {

inline constexpr std::string_view ErrorTitle = "Error";
inline constexpr std::string_view NumbersOnly = "Please enter numbers only!";
inline constexpr std::string_view GetTreeEmpty =
    "Insert integer numbers in textbox separated by commas";
inline constexpr std::string_view EraseEmpty = "Insert an integer number to erase";
inline constexpr std::string_view TreeEmpty = "The Tree is Empty";
inline constexpr std::string_view NotInTree = "The Element does not exist in the tree";
inline constexpr std::string_view NodeNotFound = "The Node has not been found in the Tree";
inline constexpr std::string_view NoTreeToSearch =
    "The Node was not found in the Tree since there is no Tree to seach in";
inline constexpr std::string_view NodeFoundTitle = "Node Found";

// The rules a refused piece of a list can break, as the boxes explain them.
inline constexpr std::string_view NotANumber = "not a number";
inline constexpr std::string_view OutsideInt16 = "outside \u221232768..32767";
inline constexpr std::string_view OutsideInt32 = "outside \u22122147483648..2147483647";
inline constexpr std::string_view TooManyValues = "more than 32,767 values";

// The message of an Erase that stopped before the end of its list; empty when
// every value was erased.
constexpr std::string_view EraseStopMessage(TreeCore::EraseStop stop) {
  switch (stop) {
    case TreeCore::EraseStop::Empty:
      return TreeEmpty;
    case TreeCore::EraseStop::Missing:
      return NotInTree;
    case TreeCore::EraseStop::None:
      break;
  }
  return {};
}

}  // namespace TreeCommands::Messages
