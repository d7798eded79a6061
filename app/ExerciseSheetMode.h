// `treetest --exercise-sheet FILE.pdf --seed S [--count N]`.
#pragma once

#include <cstdint>
#include <string>

namespace TreeApp {

// Writes the sheet without a display. Returns the exit status: 0, or 1 when
// the file cannot be written.
int RunExerciseSheetMode(const std::string& path, std::uint32_t seed, int count, char* program);

}  // namespace TreeApp
