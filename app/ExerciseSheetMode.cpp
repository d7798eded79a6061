#include "ExerciseSheetMode.h"

#include <QString>
#include <iostream>

#include "Exercises.h"
#include "OffscreenApplication.h"
#include "practice/ExerciseSheet.h"

namespace TreeApp {

int RunExerciseSheetMode(const std::string& path, std::uint32_t seed, int count, char* program) {
  // Text needs a GUI application; the offscreen platform needs no display.
  const OffscreenApplication app(program);
  QString error;
  if (!TreeUi::WriteExerciseSheet(Practice::SheetExercises(seed, count),
                                  QString::fromLocal8Bit(path.c_str()), &error)) {
    std::cerr << "treetest: " << error.toLocal8Bit().constData() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace TreeApp
