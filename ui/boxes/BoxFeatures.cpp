#include "boxes/BoxFeatures.h"

#include <QMenu>

#include "boxes/BoxEditing.h"
#include "boxes/ListsMenu.h"

namespace TreeUi {

BoxFeatures::BoxFeatures(QWidget* window, const std::array<QLineEdit*, 3>& boxes, QMenu* padMenu,
                         MessageSink& messages, std::function<void()> getTree)
    : QObject(window) {
  setObjectName(QStringLiteral("BoxFeatures"));
  lists_ = new ListsMenu(window, boxes[0], padMenu, messages, std::move(getTree));
  editing_ = {new BoxEditing(boxes[0]), new BoxEditing(boxes[1], BoxEditing::Reads::Number),
              new BoxEditing(boxes[2])};
  editing_[0]->AddToMenu(lists_->Menu()->menuAction());
}

void BoxFeatures::CommandStarted() {
  for (BoxEditing* editing : editing_) editing->CommandStarted();
}

}  // namespace TreeUi
