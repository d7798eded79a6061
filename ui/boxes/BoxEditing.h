// What the Get Tree, Search and Erase boxes add to a plain line edit:
// pasted (or dropped) columns become lists, and a list that a command refused and
// emptied comes back with Ctrl+Z or the context menu's Undo, the refused
// piece selected; until the next command the box's tooltip says which piece
// broke which rule. Typed text is left exactly as typed.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QLineEdit;
class QMenu;

namespace TreeUi {

class BoxEditing final : public QObject {
  Q_OBJECT

 public:
  // What the box holds: a Get Tree or Erase list, or Search's one number.
  enum class Reads { List, Number };
  explicit BoxEditing(QLineEdit* box, Reads reads = Reads::List);

  // Adds `action` (a submenu's too) to the box's context menu (not owned).
  void AddToMenu(QAction* action);
  // A command refused the box's text and is about to empty it: the tooltip
  // names the refused piece and the rule it broke.
  void Refused();
  // A command starts: the box's usual tooltip comes back after a refusal's.
  void CommandStarted();
  // True while Undo would bring a refused text back.
  bool CanRestore() const;
  // Brings the refused text back, the refused piece selected.
  bool Restore();
  // Inserts `text` as a paste does: line breaks and tabs become commas.
  void Paste(const QString& text);
  // The box's context menu as the right button shows it; the caller owns it.
  QMenu* CreateContextMenu();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* box_;
  Reads reads_;
  QList<QPointer<QAction>> extras_;
  QString refused_;
  // The refusal's tooltip while it shows, and the one it replaced.
  QString refusalTip_, usualTip_;
  int refusedStart_ = 0, refusedLength_ = 0;
  bool remembered_ = false;
};

}  // namespace TreeUi
