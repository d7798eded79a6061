// Everything the window's three text boxes have beyond a line edit, put
// together once: paste and undo with the refusal's tooltip in each box, and
// the Get Tree box's ready-made lists and lists in files.
#pragma once

#include <QObject>
#include <array>
#include <functional>

class QLineEdit;
class QMenu;
class QWidget;

namespace TreeUi {

class BoxEditing;
class ListFiles;
class ListsMenu;
class MessageSink;

class BoxFeatures final : public QObject {
  Q_OBJECT

 public:
  // `boxes` are the Get Tree, Search and Erase boxes; `getTree` runs Get
  // Tree on the first. The lists and the files are added to the pad's
  // `padMenu` too, and a text file dropped on `window` opens as a list.
  BoxFeatures(QWidget* window, const std::array<QLineEdit*, 3>& boxes, QMenu* padMenu,
              MessageSink& messages, std::function<void()> getTree);

  // Every command calls this as it starts.
  void CommandStarted();

  ListsMenu* Lists() const { return lists_; }
  ListFiles* Files() const { return files_; }

 private:
  std::array<BoxEditing*, 3> editing_{};
  ListsMenu* lists_ = nullptr;
  ListFiles* files_ = nullptr;
};

}  // namespace TreeUi
