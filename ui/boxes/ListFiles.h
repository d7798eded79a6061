// Lists kept in files: "Open List…" reads a file into the Get Tree box as a
// paste would put it there (line breaks and tabs become commas) and runs Get
// Tree, so that the box's own reader and refusals judge it; "Save List…"
// writes the box's text as it stands; a text file dropped on the window opens
// as Open List does; "Recent Lists" holds the last five files opened or saved.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QLineEdit;
class QMenu;
class QMimeData;
class QWidget;

namespace TreeUi {

class BoxEditing;
class MessageSink;

class ListFiles final : public QObject {
  Q_OBJECT

 public:
  // `box` is the Get Tree box, `editing` its paste, `getTree` runs Get Tree.
  // Drops are taken on `window` and on each of `dropTargets`.
  ListFiles(QWidget* window, QLineEdit* box, BoxEditing& editing, MessageSink& messages,
            std::function<void()> getTree, const QList<QWidget*>& dropTargets);

  QAction* OpenAction() const { return open_; }
  QAction* SaveAction() const { return save_; }
  QMenu* RecentMenu() const { return recent_; }

  // Fills the box from `path` and runs Get Tree; a file that cannot be read
  // is refused with an "Error" message. Returns whether it was read.
  bool Open(const QString& path);
  // Writes the box's text to `path`, whole or not at all.
  bool Save(const QString& path);
  // Most recent first.
  QStringList Recent() const { return recentPaths_; }

  // Keeps the recent files in this INI file instead (tests); empty restores
  // the application's settings.
  static void UseSettingsFile(const QString& path);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AskOpen();
  void AskSave();
  void Remember(const QString& path);
  void Forget(const QString& path);
  void StoreRecent();
  void FillRecentMenu();
  void Fail(const QString& text);
  // The local text file that `mime` carries, empty when it carries none.
  static QString DroppedTextFile(const QMimeData* mime);

  QWidget* window_;
  QLineEdit* box_;
  BoxEditing& editing_;
  MessageSink& messages_;
  std::function<void()> getTree_;
  QAction* open_;
  QAction* save_;
  QMenu* recent_;
  QStringList recentPaths_;
};

}  // namespace TreeUi
