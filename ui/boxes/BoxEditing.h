// What the Get Tree, Search and Erase boxes add to a plain line edit:
// pasted (or dropped) columns become lists, and a list that a command refused and
// emptied comes back with Ctrl+Z or the context menu's Undo, the refused
// piece selected. Typed text is left exactly as typed.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLineEdit;
class QMenu;

namespace TreeUi {

class BoxEditing final : public QObject {
  Q_OBJECT

 public:
  // `extra`, when given, is added to the box's context menu (not owned).
  explicit BoxEditing(QLineEdit* box, QMenu* extra = nullptr);

  // A command refused the box's text and is about to empty it.
  void Refused();
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
  QPointer<QMenu> extra_;
  QString refused_;
  int refusedStart_ = 0, refusedLength_ = 0;
  bool remembered_ = false;
};

}  // namespace TreeUi
