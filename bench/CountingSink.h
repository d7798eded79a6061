// A message sink for the window benchmarks: counts messages instead of
// showing boxes, and keeps the last one to report why a run failed.
#pragma once

#include <QString>

#include "view/MessageSink.h"

namespace Bench {

class CountingSink final : public TreeUi::MessageSink {
 public:
  void ShowMessage(const QString& text, const QString&, TreeUi::MessageIcon) override {
    ++Count;
    Last = text;
  }
  int Count = 0;
  QString Last;
};

}  // namespace Bench
