#include <QApplication>
#include <iostream>

#include "TraceMode.h"
#include "frmTreeTest.h"

int main(int argc, char* argv[]) {
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
