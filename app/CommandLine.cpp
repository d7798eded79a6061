#include "CommandLine.h"

#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace TreeApp {

namespace {

// One entry per option; a new option is an entry here and its handler in
// RunCommand.cpp. An entry without a description is one of Qt's own, for the
// window: accepted so that QApplication still gets it, and not listed.
struct Entry {
  QStringList names;
  Mode mode = Mode::Window;
  const char* valueName = nullptr;  // Qt's options that take a value
  // Arguments after the option, taken as they stand: a LIST may begin with a
  // minus sign, which the parser would read as an option.
  int operands = 0;
  const char* syntax = nullptr;  // what follows the option in the usage
  const char* description = nullptr;
  // An option of that mode only (it may stand between the mode's operands),
  // or of that mode and `also`.
  Mode of = Mode::Window;
  Mode also = Mode::Window;
};

const std::vector<Entry>& Entries() {
  static const std::vector<Entry> entries = {
      {{"export"},
       Mode::Export,
       nullptr,
       2,
       "FILE.svg|FILE.png LIST   (LIST - reads standard input)",
       "Writes the drawing that Get Tree makes of LIST to FILE, SVG or PNG by the\n"
       "name's ending (PNG at 100 %, or fitted to 4096 px when larger). LIST is\n"
       "integers separated by commas, and may begin with a minus sign."},
      {{"layout"},
       Mode::Window,
       "compact|slots",
       0,
       "compact|slots",
       "With --export: the compact layout, rows only as wide as their nodes, or the\n"
       "window's slot layout (the default).",
       Mode::Export},
      {{"fit"},
       Mode::Window,
       "N",
       0,
       "N",
       "With --export to a PNG: scaled so that its longer side is N pixels\n"
       "(1..16384), small trees enlarged too.",
       Mode::Export},
      {{"trace"},
       Mode::Trace,
       nullptr,
       0,
       "< COMMANDS",
       "Reads \"get LIST\" and \"erase LIST\" lines on standard input and writes\n"
       "every balancing event as a JSON line on standard output."},
      {{"states"},
       Mode::Window,
       nullptr,
       0,
       nullptr,
       "With --trace: before each Get Tree value and before every rotate, fixup,\n"
       "erase and done line, a state line with the whole node table (for small lists).",
       Mode::Trace},
      {{"compare"},
       Mode::Compare,
       nullptr,
       0,
       "< COMMANDS",
       "Reads \"get LIST\" and \"erase LIST\" lines on standard input, runs each\n"
       "through this tool's tree and a textbook AVL tree, and writes one JSON line\n"
       "per command: each tree's nodes, levels, rotations (and fix-ups) and\n"
       "pre-order."},
      {{"practice"},
       Mode::Practice,
       nullptr,
       0,
       "< LINES",
       "Reads \"level N\", \"get LIST [from K]\", \"erase LIST [from K]\" and answer\n"
       "lines on standard input, checks each answer against the balancing's next\n"
       "step, and writes one JSON line per answer and a score line per command."},
      {{"exercise-sheet"},
       Mode::ExerciseSheet,
       nullptr,
       1,
       "FILE.pdf --seed S [--count N]",
       "Writes N practice exercises (default 6) drawn from seed S, then their\n"
       "answer key, to the PDF FILE. The same seed gives the same sheet."},
      {{"experiment"},
       Mode::Experiment,
       nullptr,
       0,
       "[--kinds K,...] [--sizes N,...] [--repeat R] [--seed S] [--lists]",
       "Runs lists of each kind and size through this tool's tree and a textbook\n"
       "AVL tree and writes one CSV line per list and tree on standard output:\n"
       "kind,size,repeat,tree,levels,RR,RL,LL,LR,fixups,ms."},
      {{"kinds"},
       Mode::Window,
       "K,...",
       0,
       "K,...",
       "With --experiment: random, ascending, descending, zigzag, duplicates (all by\n"
       "default), in the order of the rows.",
       Mode::Experiment},
      {{"sizes"},
       Mode::Window,
       "N,...",
       0,
       "N,...",
       "With --experiment: list sizes from 1 to 32767 (default 1, 3, 7, ..., 32767).",
       Mode::Experiment},
      {{"repeat"},
       Mode::Window,
       "R",
       0,
       "R",
       "With --experiment: lists of each random kind and size, 1..10000 (default 20).",
       Mode::Experiment},
      {{"seed"},
       Mode::Window,
       "S",
       0,
       "S",
       "With --exercise-sheet and --experiment: the seed, a whole number from 0 to\n"
       "4294967295 (--experiment's default 1).",
       Mode::ExerciseSheet,
       Mode::Experiment},
      {{"count"},
       Mode::Window,
       "N",
       0,
       "N",
       "With --exercise-sheet: how many exercises, 1 to 100 (default 6).",
       Mode::ExerciseSheet},
      {{"lists"},
       Mode::Window,
       nullptr,
       0,
       nullptr,
       "With --experiment: instead of the CSV, each list as a line\n"
       "\"kind,size,repeat:LIST\".",
       Mode::Experiment},
      {{"h", "help"}, Mode::Help, nullptr, 0, nullptr, "Shows this text."},
      {{"v", "version"}, Mode::Version, nullptr, 0, nullptr, "Shows the version."},
      // QGuiApplication's and QApplication's options, and the X11 plugin's.
      {{"platform"}, Mode::Window, "NAME"},
      {{"platformpluginpath"}, Mode::Window, "PATH"},
      {{"platformtheme"}, Mode::Window, "THEME"},
      {{"plugin"}, Mode::Window, "PLUGIN"},
      {{"qwindowgeometry"}, Mode::Window, "GEOMETRY"},
      {{"qwindowicon"}, Mode::Window, "ICON"},
      {{"qwindowtitle"}, Mode::Window, "TITLE"},
      {{"session"}, Mode::Window, "SESSION"},
      {{"style"}, Mode::Window, "STYLE"},
      {{"stylesheet"}, Mode::Window, "FILE"},
      {{"qmljsdebugger"}, Mode::Window, "PORT"},
      {{"display"}, Mode::Window, "DISPLAY"},
      {{"geometry"}, Mode::Window, "GEOMETRY"},
      {{"title"}, Mode::Window, "TITLE"},
      {{"icon"}, Mode::Window, "ICON"},
      {{"name"}, Mode::Window, "NAME"},
      {{"visual"}, Mode::Window, "VISUAL"},
      {{"reverse"}},
      {{"widgetcount"}},
      {{"testability"}},
      {{"nograb"}},
      {{"dograb"}},
      {{"sync"}},
  };
  return entries;
}

// "-name" or "--name", exactly: "-name=value" carries its own value.
const Entry* Find(const QByteArray& argument) {
  if (!argument.startsWith('-')) return nullptr;
  const QString name = QString::fromLocal8Bit(argument.mid(argument.startsWith("--") ? 2 : 1));
  const auto& entries = Entries();
  const auto it = std::find_if(entries.begin(), entries.end(),
                               [&](const Entry& e) { return e.names.contains(name); });
  return it == entries.end() ? nullptr : &*it;
}

QString Synopsis(const Entry& entry) {
  QStringList names;
  for (const QString& name : entry.names) names << (name.size() == 1 ? "-" : "--") + name;
  QString text = names.join(QStringLiteral(", "));
  if (entry.syntax) text += ' ' + QString::fromLatin1(entry.syntax);
  return text;
}

}  // namespace

std::variant<Command, UsageError> ParseCommandLine(const QByteArrayList& arguments) {
  Command command;
  QStringList rest;
  bool options = true;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    rest << QString::fromLocal8Bit(arguments[i]);
    if (arguments[i] == "--") options = false;
    const Entry* entry = i > 0 && options ? Find(arguments[i]) : nullptr;
    if (!entry) continue;
    // A value of Qt's must not be taken for an option of ours, and back.
    if (entry->valueName && i + 1 < arguments.size())
      rest << QString::fromLocal8Bit(arguments[++i]);
    for (int n = 0; n < entry->operands && i + 1 < arguments.size(); ++n) {
      // The mode's own options may stand between its operands: to the parser.
      for (const Entry* own = nullptr;
           options && i + 2 < arguments.size() && (own = Find(arguments[i + 1])) &&
           own->of == entry->mode && own->of != Mode::Window;
           i += 2)
        rest << QString::fromLocal8Bit(arguments[i + 1])
             << QString::fromLocal8Bit(arguments[i + 2]);
      // "--" ends the options here too: it is no operand, and what follows
      // it reaches the parser as positional arguments.
      if (options && i + 1 < arguments.size() && arguments[i + 1] == "--") {
        options = false;
        rest << QString::fromLocal8Bit(arguments[++i]);
      }
      if (i + 1 < arguments.size()) command.operands << arguments[++i];
    }
  }

  QCommandLineParser parser;
  // Qt's options are words after one dash (-platform, -style).
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  for (const Entry& entry : Entries())
    parser.addOption(entry.valueName ? QCommandLineOption(entry.names, {}, entry.valueName)
                                     : QCommandLineOption(entry.names));
  if (!parser.parse(rest)) return UsageError{"treetest: " + parser.errorText()};

  std::vector<const Entry*> modes;
  for (const Entry& entry : Entries())
    if (entry.mode != Mode::Window && parser.isSet(entry.names.last())) modes.push_back(&entry);
  // Help and version answer whatever else is asked.
  for (const Mode answer : {Mode::Help, Mode::Version})
    if (std::any_of(modes.begin(), modes.end(), [&](const Entry* e) { return e->mode == answer; }))
      return Command{answer, {}, {}, false};
  if (modes.size() > 1)
    return UsageError{"treetest: --" + modes[0]->names.last() + " and --" + modes[1]->names.last() +
                      " cannot be used together"};

  const QStringList positional = parser.positionalArguments();
  if (!modes.empty()) {
    command.mode = modes[0]->mode;
    // The mode's own usage line, as --export has always answered a wrong count.
    if (command.operands.size() != modes[0]->operands || !positional.isEmpty())
      return UsageError{"Usage: treetest " + Synopsis(*modes[0]), false};
  } else if (!positional.isEmpty()) {
    return UsageError{"treetest: unexpected argument '" + positional.first() + "'"};
  }
  for (const Entry& entry : Entries()) {
    if (entry.of == Mode::Window || !parser.isSet(entry.names.last())) continue;
    if (entry.of != command.mode && (entry.also == Mode::Window || entry.also != command.mode))
      return UsageError{"treetest: --" + entry.names.last() + " is an option of --" +
                        std::find_if(Entries().begin(), Entries().end(), [&](const Entry& e) {
                          return e.mode == entry.of;
                        })->names.last()};
    command.settings.insert(entry.names.last(), parser.value(entry.names.last()));
  }
  command.namesDisplay =
      parser.isSet(QStringLiteral("platform")) || parser.isSet(QStringLiteral("display"));
  return command;
}

QString UsageText() {
  QString text = QStringLiteral(
      "Usage: treetest [OPTION] [Qt option...]\n\n"
      "Without an option the window opens. It needs a display; without one, run it\n"
      "under Xvfb: xvfb-run treetest. Qt's own options (-platform offscreen, -style\n"
      "Fusion, ...) apply to the window.\n\n"
      "Options:\n");
  for (const Entry& entry : Entries()) {
    if (!entry.description) continue;
    text += "  " + Synopsis(entry) + "\n      ";
    text += QString::fromLatin1(entry.description).replace('\n', QStringLiteral("\n      "));
    text += '\n';
  }
  text += QStringLiteral(
      "\nExit status: 0 done; 1 a file that cannot be written; 2 a refused list, an\n"
      "unknown trace line, a malformed practice line, a usage error, or no display\n"
      "for the window.\n");
  return text;
}

QString VersionText() {
  return QStringLiteral("treetest " TREETEST_VERSION);
}

QString NoDisplayText() {
  return QStringLiteral(
      "treetest: the window needs a display, and neither DISPLAY nor WAYLAND_DISPLAY is set; "
      "run it under Xvfb: xvfb-run treetest");
}

bool CanTryWindow(const Command& command) {
  // As scripts/run decides: an empty variable names no display.
  return command.namesDisplay || !qEnvironmentVariableIsEmpty("DISPLAY") ||
         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace TreeApp
