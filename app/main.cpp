#include <QApplication>

#include "RunCommand.h"
#include "window/frmTreeTest.h"

int main(int argc, char* argv[]) {
  // The command line is answered before any window exists: it needs no display.
  if (const auto status = TreeApp::RunCommandLine(argc, argv)) return *status;
  QApplication app(argc, argv);
  // Where the window's view preferences are remembered.
  QApplication::setOrganizationName(QStringLiteral("TreeTest"));
  QApplication::setApplicationName(QStringLiteral("treetest"));
  frmTreeTest window;
  window.show();
  return QApplication::exec();
}
