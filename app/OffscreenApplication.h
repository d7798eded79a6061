// The GUI application of a mode that draws text without a display.
#pragma once

#include <memory>

class QGuiApplication;

namespace TreeApp {

// Starts on the offscreen platform, without Qt's notice that XDG_RUNTIME_DIR
// is not set (cron, ssh, a container): such a mode never uses that folder,
// and a tool that succeeds prints nothing on standard error.
class OffscreenApplication {
 public:
  explicit OffscreenApplication(char* program);
  ~OffscreenApplication();
  OffscreenApplication(const OffscreenApplication&) = delete;
  OffscreenApplication& operator=(const OffscreenApplication&) = delete;

 private:
  int argc_ = 1;  // QGuiApplication keeps references to both
  char* argv_[2];
  std::unique_ptr<QGuiApplication> app_;
};

}  // namespace TreeApp
