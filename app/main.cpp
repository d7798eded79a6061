#include <QApplication>

#include "ExportMode.h"
#include "frmTreeTest.h"

int main(int argc, char* argv[]) {
  if (const auto status = TreeApp::RunExportMode(argc, argv)) return *status;
  QApplication app(argc, argv);
  // Where the window's view preferences are remembered.
  QApplication::setOrganizationName(QStringLiteral("TreeTest"));
  QApplication::setApplicationName(QStringLiteral("treetest"));
  frmTreeTest window;
  window.show();
  return QApplication::exec();
}
