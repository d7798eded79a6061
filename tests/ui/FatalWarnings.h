// Every Qt warning ends a window test, as QT_FATAL_WARNINGS=1 would, when the
// build asks for it (TREETEST_FATAL_WARNINGS=1, the sanitizer build): a
// "deleted directly" is a crash to come. Three notices are let through; each
// says only that the offscreen platform has no window manager or keyboard
// to pass a request on to (raise, size limits, a menu's keyboard grab),
// which a desktop's platform has.
#pragma once

#include <QString>
#include <QtGlobal>
#include <cstdlib>

namespace UiTest {

inline QtMessageHandler& QtTestsHandler() {
  static QtMessageHandler handler = nullptr;
  return handler;
}

inline void EndOnWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  QtTestsHandler()(type, context, text);  // Qt Test logs it first
  const bool harmless =
      text == QLatin1String("This plugin does not support raise()") ||
      text == QLatin1String("This plugin does not support propagateSizeHints()") ||
      text == QLatin1String("This plugin does not support grabbing the keyboard");
  if ((type == QtWarningMsg || type == QtCriticalMsg) && !harmless) std::abort();
}

// Called once Qt Test has its own handler (in a test function or
// initTestCase), which still logs every message.
inline void MakeWarningsFatal() {
  static bool installed = false;
  if (installed || qEnvironmentVariableIntValue("TREETEST_FATAL_WARNINGS") != 1) return;
  installed = true;
  QtTestsHandler() = qInstallMessageHandler(EndOnWarnings);
}

}  // namespace UiTest
