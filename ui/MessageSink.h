// Where the commands' messages go: the window shows them in modal boxes, tests
// record them instead of blocking.
#pragma once

#include <QString>

class QWidget;

namespace TreeUi {

enum class MessageIcon { Error, Warning };

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Returns when the user has dismissed the message.
  virtual void ShowMessage(const QString& text, const QString& title, MessageIcon icon) = 0;
};

// A modal message box with a single OK button.
class ModalMessageBox final : public MessageSink {
 public:
  explicit ModalMessageBox(QWidget* parent) : parent_(parent) {}
  void ShowMessage(const QString& text, const QString& title, MessageIcon icon) override;

 private:
  QWidget* parent_;
};

}  // namespace TreeUi
