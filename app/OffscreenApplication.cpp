#include "OffscreenApplication.h"

#include <QGuiApplication>

namespace TreeApp {

namespace {

QtMessageHandler qtMessages = nullptr;

// Every other message goes where it always went.
void WithoutRuntimeDirNotice(QtMsgType type, const QMessageLogContext& context,
                             const QString& text) {
  if (type == QtWarningMsg &&
      text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
    return;
  qtMessages(type, context, text);
}

}  // namespace

OffscreenApplication::OffscreenApplication(char* program) : argv_{program, nullptr} {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qtMessages = qInstallMessageHandler(WithoutRuntimeDirNotice);
  app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  qInstallMessageHandler(qtMessages);
}

OffscreenApplication::~OffscreenApplication() = default;

}  // namespace TreeApp
