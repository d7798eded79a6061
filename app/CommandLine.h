// The program's command line: which mode it asks for and that mode's
// operands. Qt Core only and no application object, so it is all decided
// before Qt loads a platform plugin (which aborts without a display).
#pragma once

#include <QByteArrayList>
#include <QMap>
#include <QString>
#include <variant>

namespace TreeApp {

enum class Mode { Window, Help, Version, Export, Trace, Compare, Practice, ExerciseSheet, Experiment };

struct Command {
  Mode mode = Mode::Window;
  // As typed: the mode's arguments after its option (--export's FILE, LIST).
  QByteArrayList operands;
  // The mode's own options that were given, by name, with their values as
  // typed (--export's --layout and --fit); its handler checks them.
  QMap<QString, QString> settings;
  // -platform or -display on the command line: Qt is told where the window goes.
  bool namesDisplay = false;
};

// Exit status 2: the message, then the whole usage unless the message is
// a mode's own usage line.
struct UsageError {
  QString message;
  bool withUsage = true;
};

// `arguments` is argv as it stands, the program's name first.
std::variant<Command, UsageError> ParseCommandLine(const QByteArrayList& arguments);

QString UsageText();
QString VersionText();
// One line: no display, and how to run the window under Xvfb.
QString NoDisplayText();
// Whether Qt can be left to open the window: a display in the environment,
// or a platform or display chosen explicitly (then Qt's to try).
bool CanTryWindow(const Command& command);

}  // namespace TreeApp
