#include <QApplication>
#include <iostream>

#include "ExportMode.h"
#include "TraceMode.h"
#include "window/frmTreeTest.h"

int main(int argc, char* argv[]) {
  // The command-line modes decide before any window exists: they need no display.
  if (const auto status = TreeApp::RunExportMode(argc, argv)) return *status;
  if (TreeTrace::WantsTraceMode(argc, argv))
    return TreeTrace::RunTraceMode(std::cin, std::cout, std::cerr);
  QApplication app(argc, argv);
  // Where the window's view preferences are remembered.
  QApplication::setOrganizationName(QStringLiteral("TreeTest"));
  QApplication::setApplicationName(QStringLiteral("treetest"));
  frmTreeTest window;
  window.show();
  return QApplication::exec();
}
