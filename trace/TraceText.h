// The trace in plain words, as the steps window lists it.
#pragma once

#include <string>

#include "TraceRecorder.h"

namespace TreeTrace {

// "Insert 7 (slot 5), right child of 12", "Erase 7 (slot 5), the root".
std::string DescribeValue(CommandKind kind, const ValueStep& step);
// "LL rotation at 30: 20 takes its place",
// "right-heavy fix-up at 50: in-order neighbour 55 moves into its place".
std::string DescribeEvent(const StepEvent& event);
// One line for the whole command and the tree it left.
std::string DescribeSummary(const TraceSummary& summary);

}  // namespace TreeTrace
