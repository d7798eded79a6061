// An exercise sheet for a class, as a PDF: one page per exercise (the
// starting tree drawn compact, the values to insert and erase, and room to
// draw), then one answer-key page per exercise (its events in words and the
// final tree).
#pragma once

#include <QString>
#include <vector>

#include "Exercises.h"

namespace TreeUi {

// Writes the sheet to `path` through a save file: on a failure nothing is
// left there and `error` says why. True when written.
bool WriteExerciseSheet(const std::vector<Practice::Exercise>& exercises, const QString& path,
                        QString* error = nullptr);

// The key's lines for one exercise: every asked value with its events in
// words, then how the tree ends.
std::vector<QString> ExerciseKeyLines(const Practice::Exercise& exercise);

}  // namespace TreeUi
