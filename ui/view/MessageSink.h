// Where the commands' messages go: the window shows them in modal boxes, tests
// record them instead of blocking.
#pragma once

#include <QString>
#include <string_view>

class QWidget;

namespace TreeUi {

enum class MessageIcon { Error, Warning, Information };

// The commands' texts are UTF-8.
inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Returns when the user has dismissed the message.
  virtual void ShowMessage(const QString& text, const QString& title, MessageIcon icon) = 0;
};

// Passes messages on to a sink that may change (tests record them): the
// features hold the relay, the window decides where it leads.
class MessageRelay final : public MessageSink {
 public:
  void SetTarget(MessageSink* target) { target_ = target; }
  MessageSink* Target() const { return target_; }
  void ShowMessage(const QString& text, const QString& title, MessageIcon icon) override {
    target_->ShowMessage(text, title, icon);
  }

 private:
  MessageSink* target_ = nullptr;
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
