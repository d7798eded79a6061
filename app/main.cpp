#include <QApplication>

#include "frmTreeTest.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  frmTreeTest window;
  window.show();
  return QApplication::exec();
}
