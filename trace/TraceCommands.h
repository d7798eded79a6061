// Get Tree and Erase as the window runs them, with the same refusals, for
// the command-line trace and the steps window's replay.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "TraceEngine.h"
#include "TraceRecorder.h"

namespace TreeTrace {

// Runs Get Tree on `text` (the list as typed): refuses an empty or
// non-numeric list, else empties the tree and inserts each value. `recorder`,
// when given, records the command. Returns the refusal, empty when none.
// `beforeValue`, when given, is called before each value's insertion begins.
std::string RunGetTree(Engine& engine, TreeCore::TreeRec& tree, std::string_view text,
                       TraceRecorder* recorder, const std::function<void()>& beforeValue = {});
// Runs Erase: finds and deletes each value, stopping at the first that is
// missing or when the tree is empty; the values before stay erased.
std::string RunErase(Engine& engine, TreeCore::TreeRec& tree, std::string_view text,
                     TraceRecorder* recorder);

}  // namespace TreeTrace
