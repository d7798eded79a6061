#include "window/MessageSink.h"

#include <QMessageBox>

namespace TreeUi {

void ModalMessageBox::ShowMessage(const QString& text, const QString& title, MessageIcon icon) {
  QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Warning, title,
                  text, QMessageBox::Ok, parent_);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.exec();
}

}  // namespace TreeUi
