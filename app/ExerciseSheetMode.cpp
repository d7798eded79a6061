#include "ExerciseSheetMode.h"

#include <QGuiApplication>
#include <iostream>

#include "Exercises.h"
#include "practice/ExerciseSheet.h"

namespace TreeApp {

int RunExerciseSheetMode(const std::string& path, std::uint32_t seed, int count, char* program) {
  // Text needs a GUI application; the offscreen platform needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char* argv[] = {program, nullptr};
  QGuiApplication app(argc, argv);
  QString error;
  if (!TreeUi::WriteExerciseSheet(Practice::SheetExercises(seed, count),
                                  QString::fromLocal8Bit(path.c_str()), &error)) {
    std::cerr << "treetest: " << error.toLocal8Bit().constData() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace TreeApp
