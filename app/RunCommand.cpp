#include "RunCommand.h"

#include <iostream>

#include "CommandLine.h"
#include "CompareMode.h"
#include "ExerciseSheetMode.h"
#include "ExperimentMode.h"
#include "ExportMode.h"
#include "PictureExtent.h"
#include "PracticeProtocol.h"
#include "ReadyLists.h"
#include "TraceMode.h"

namespace TreeApp {

namespace {

constexpr int UsageStatus = 2;

std::ostream& operator<<(std::ostream& out, const QString& text) {
  return out << text.toLocal8Bit().constData();
}

int Usage(const QString& message) {
  std::cerr << message << "\n\n" << UsageText();
  return UsageStatus;
}

// --export's own options: --layout compact|slots, --fit N for a PNG.
std::variant<TreeApp::ExportOptions, QString> ExportOptionsOf(const Command& command) {
  ExportOptions options;
  const QString layout = command.settings.value(QStringLiteral("layout"), QStringLiteral("slots"));
  if (layout == QLatin1String("compact"))
    options.Layout = TreeCore::TreeLayout::Compact;
  else if (layout != QLatin1String("slots"))
    return "treetest: --layout is compact or slots, not '" + layout + "'";
  if (command.settings.contains(QStringLiteral("fit"))) {
    const QString value = command.settings.value(QStringLiteral("fit"));
    bool number = false;
    options.Fit = value.toInt(&number);
    if (!number || options.Fit < 1 || options.Fit > TreeCore::MaxFitPixels)
      return "treetest: --fit takes a number of pixels from 1 to 16384, not '" + value + "'";
    if (!command.operands[0].toLower().endsWith(".png"))
      return QStringLiteral("treetest: --fit is for a PNG picture");
  }
  return options;
}

// --experiment's own options, each read as the Qt-free layer reads it.
std::variant<TreeExperiments::Settings, QString> ExperimentSettingsOf(const Command& command) {
  TreeExperiments::Settings settings;
  const auto read = [&](const char* name, auto reader, auto& into) -> QString {
    if (!command.settings.contains(QLatin1String(name))) return {};
    const auto value = reader(command.settings.value(QLatin1String(name)).toStdString());
    if (const auto* error = std::get_if<std::string>(&value)) return QString::fromStdString(*error);
    into = std::get<0>(value);
    return {};
  };
  for (const QString& error : {read("kinds", TreeExperiments::ReadKinds, settings.Kinds),
                               read("sizes", TreeExperiments::ReadSizes, settings.Sizes),
                               read("repeat", TreeExperiments::ReadRepeats, settings.Repeats),
                               read("seed", TreeExperiments::ReadSeedText, settings.Seed)})
    if (!error.isEmpty()) return error;
  return settings;
}

}  // namespace

std::optional<int> RunCommandLine(int argc, char* argv[]) {
  QByteArrayList arguments;
  for (int i = 0; i < argc; ++i) arguments << QByteArray(argv[i]);
  const auto parsed = ParseCommandLine(arguments);
  if (const auto* error = std::get_if<UsageError>(&parsed)) {
    std::cerr << error->message << '\n';
    if (error->withUsage) std::cerr << '\n' << UsageText();
    return UsageStatus;
  }
  const Command& command = std::get<Command>(parsed);
  switch (command.mode) {
    case Mode::Window:
      if (CanTryWindow(command)) return std::nullopt;
      // Qt would abort in its platform plugin.
      std::cerr << NoDisplayText() << '\n';
      return UsageStatus;
    case Mode::Help:
      std::cout << UsageText();
      return 0;
    case Mode::Version:
      std::cout << VersionText() << '\n';
      return 0;
    case Mode::Export: {
      const auto options = ExportOptionsOf(command);
      if (const auto* error = std::get_if<QString>(&options)) return Usage(*error);
      return RunExportMode(command.operands[0].toStdString(), command.operands[1].toStdString(),
                           argv[0], std::get<ExportOptions>(options));
    }
    case Mode::Trace:
      return TreeTrace::RunTraceMode(std::cin, std::cout, std::cerr,
                                     command.settings.contains(QStringLiteral("states")));
    case Mode::Compare:
      return TreeTrace::RunCompareMode(std::cin, std::cout, std::cerr);
    case Mode::Practice:
      return Practice::RunPracticeMode(std::cin, std::cout);
    case Mode::ExerciseSheet: {
      const auto seed =
          TreeCommands::ReadSeed(command.settings.value(QStringLiteral("seed")).toStdString());
      if (!command.settings.contains(QStringLiteral("seed")) || !seed)
        return Usage(
            QStringLiteral("treetest: --exercise-sheet needs --seed S, a whole number "
                           "from 0 to 4294967295"));
      bool number = true;
      const int count =
          command.settings.value(QStringLiteral("count"), QStringLiteral("6")).toInt(&number);
      if (!number || count < 1 || count > 100)
        return Usage(QStringLiteral("treetest: --count takes a number from 1 to 100"));
      return RunExerciseSheetMode(command.operands[0].toStdString(), *seed, count, argv[0]);
    }
    case Mode::Experiment: {
      const auto settings = ExperimentSettingsOf(command);
      if (const auto* error = std::get_if<QString>(&settings)) return Usage(*error);
      return TreeExperiments::RunExperimentMode(std::get<TreeExperiments::Settings>(settings),
                                                command.settings.contains(QStringLiteral("lists")),
                                                std::cout);
    }
  }
  return UsageStatus;
}

}  // namespace TreeApp
