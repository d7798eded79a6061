// The "Lists" submenu: ready-made lists (random, ascending, descending,
// zig-zag, many equal values) that fill the Get Tree box and build the tree.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>

#include "ReadyLists.h"

class QLineEdit;
class QMenu;
class frmTreeTest;

namespace TreeUi {

class ListsMenu final : public QObject {
  Q_OBJECT

 public:
  explicit ListsMenu(frmTreeTest& window);

  QMenu* Menu() const { return menu_; }

  // Fills the Get Tree box with the list of `countText` values (and, for the
  // random list, `seedText` as the seed) and runs Get Tree. A count or seed
  // that cannot be used is refused with an "Error" message and changes
  // nothing; returns whether the list was made.
  bool Fill(TreeCommands::ReadyList kind, const QString& countText,
            const QString& seedText = QString());

 private:
  void Ask(TreeCommands::ReadyList kind);

  frmTreeTest& window_;
  QLineEdit* box_;
  QMenu* menu_;
  QString lastCount_;
};

}  // namespace TreeUi
