#include "view/MessageSink.h"

#include <QMessageBox>

namespace TreeUi {

void ModalMessageBox::ShowMessage(const QString& text, const QString& title, MessageIcon icon) {
  const QMessageBox::Icon shown = icon == MessageIcon::Error     ? QMessageBox::Critical
                                  : icon == MessageIcon::Warning ? QMessageBox::Warning
                                                                 : QMessageBox::Information;
  QMessageBox box(shown, title, text, QMessageBox::Ok, parent_);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.exec();
}

}  // namespace TreeUi
