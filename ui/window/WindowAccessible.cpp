#include "window/WindowAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace TreeUi {

namespace {

// Called for each class of an object, most derived first: a window that is
// a QWidget of its own class, and nothing more specific, is a frame.
QAccessibleInterface* Factory(const QString& className, QObject* object) {
  if (object == nullptr || !object->isWidgetType()) return nullptr;
  const QMetaObject* meta = object->metaObject();
  auto* widget = static_cast<QWidget*>(object);
  if (className != QLatin1String(meta->className()) ||
      meta->superClass() != &QWidget::staticMetaObject || !widget->isWindow())
    return nullptr;
  return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

void InstallWindowAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(Factory);
    return true;
  }();
  (void)installed;
}

}  // namespace TreeUi
