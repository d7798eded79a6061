#include "RunCommand.h"

#include <iostream>

#include "CommandLine.h"
#include "CompareMode.h"
#include "ExportMode.h"
#include "TraceMode.h"

namespace TreeApp {

namespace {

constexpr int UsageStatus = 2;

std::ostream& operator<<(std::ostream& out, const QString& text) {
  return out << text.toLocal8Bit().constData();
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
    case Mode::Export:
      return RunExportMode(command.operands[0].toStdString(), command.operands[1].toStdString(),
                           argv[0]);
    case Mode::Trace:
      return TreeTrace::RunTraceMode(std::cin, std::cout, std::cerr);
    case Mode::Compare:
      return TreeTrace::RunCompareMode(std::cin, std::cout, std::cerr);
  }
  return UsageStatus;
}

}  // namespace TreeApp
