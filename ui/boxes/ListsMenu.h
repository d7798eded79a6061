// The "Lists" submenu: ready-made lists (random, ascending, descending,
// zig-zag, many equal values) that fill the Get Tree box and build the tree.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

#include "ReadyLists.h"

class QLineEdit;
class QMenu;
class QWidget;

namespace TreeUi {

class MessageSink;

class ListsMenu final : public QObject {
  Q_OBJECT

 public:
  // Fills `box` (the Get Tree box) and runs `getTree`; the menu is added to
  // the pad's `padMenu`, and the box's own menu shows it too.
  ListsMenu(QWidget* window, QLineEdit* box, QMenu* padMenu, MessageSink& messages,
            std::function<void()> getTree);

  QMenu* Menu() const { return menu_; }

  // Fills the Get Tree box with the list of `countText` values (and, for the
  // random list, `seedText` as the seed) and runs Get Tree. A count or seed
  // that cannot be used is refused with an "Error" message and changes
  // nothing; returns whether the list was made.
  bool Fill(TreeCommands::ReadyList kind, const QString& countText,
            const QString& seedText = QString());

 private:
  void Ask(TreeCommands::ReadyList kind);

  QWidget* window_;
  MessageSink& messages_;
  std::function<void()> getTree_;
  QLineEdit* box_;
  QMenu* menu_;
  QString lastCount_;
  QString seedTip_;  // the random list's tooltip, while the box holds it
};

}  // namespace TreeUi
