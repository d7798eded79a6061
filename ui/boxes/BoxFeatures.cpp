#include "boxes/BoxFeatures.h"

#include <QLineEdit>
#include <QMenu>

#include "boxes/BoxEditing.h"
#include "boxes/ListFiles.h"
#include "boxes/ListsMenu.h"

namespace TreeUi {

BoxFeatures::BoxFeatures(QWidget* window, const std::array<QLineEdit*, 3>& boxes, QMenu* padMenu,
                         MessageSink& messages, std::function<void()> getTree)
    : QObject(window) {
  setObjectName(QStringLiteral("BoxFeatures"));
  lists_ = new ListsMenu(window, boxes[0], padMenu, messages, getTree);
  editing_ = {new BoxEditing(boxes[0]), new BoxEditing(boxes[1], BoxEditing::Reads::Number),
              new BoxEditing(boxes[2])};
  files_ = new ListFiles(window, boxes[0], *editing_[0], messages, std::move(getTree),
                         {boxes.begin(), boxes.end()});
  // Both menus: the Lists submenu, then the files.
  for (QAction* action : {lists_->Menu()->menuAction(), files_->OpenAction(), files_->SaveAction(),
                          files_->RecentMenu()->menuAction()}) {
    editing_[0]->AddToMenu(action);
    if (action != lists_->Menu()->menuAction()) padMenu->addAction(action);
  }
}

void BoxFeatures::CommandStarted() {
  for (BoxEditing* editing : editing_) editing->CommandStarted();
}

}  // namespace TreeUi
