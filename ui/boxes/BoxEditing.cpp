#include "boxes/BoxEditing.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextDocument>
#include <utility>

#include "PasteText.h"
#include "RefusedPiece.h"

namespace TreeUi {

namespace {

// A byte offset of a UTF-8 text as a position in its QString.
int Utf16Position(const QByteArray& utf8, std::size_t offset) {
  return static_cast<int>(QString::fromUtf8(utf8.left(static_cast<qsizetype>(offset))).size());
}

// The standard menu's action for `key`: its text ends in the key's shortcut.
bool IsActionFor(const QAction* action, QKeySequence::StandardKey key) {
  const QString shortcut = QKeySequence(key).toString(QKeySequence::NativeText);
  return !shortcut.isEmpty() && action->text().endsWith(QLatin1Char('\t') + shortcut);
}

}  // namespace

BoxEditing::BoxEditing(QLineEdit* box, Reads reads) : QObject(box), box_(box), reads_(reads) {
  box_->installEventFilter(this);
  // Anything the user does to the box after the refusal is newer than it.
  connect(box_, &QLineEdit::textEdited, this, [this] { remembered_ = false; });
}

void BoxEditing::AddToMenu(QAction* action) {
  extras_ << action;
}

void BoxEditing::Refused() {
  refused_ = box_->text();
  const QByteArray utf8 = refused_.toUtf8();
  const std::string text = utf8.toStdString();
  const auto refusal =
      reads_ == Reads::List ? TreeCommands::ListRefusal(text) : TreeCommands::NumberRefusal(text);
  const TreeCommands::Span piece = refusal ? refusal->Piece : TreeCommands::Span{0, text.size()};
  refusedStart_ = Utf16Position(utf8, piece.Start);
  refusedLength_ = Utf16Position(utf8, piece.Start + piece.Length) - refusedStart_;
  remembered_ = !refused_.isEmpty();
  if (!refusal) return;
  if (refusalTip_.isEmpty() || box_->toolTip() != refusalTip_) usualTip_ = box_->toolTip();
  refusalTip_ = QString::fromStdString(TreeCommands::ExplainRefusal(text, *refusal)) +
                QStringLiteral("\nCtrl+Z brings the refused text back, the piece selected.");
  // A piece such as "<b>" must not turn the tip into rich text.
  if (Qt::mightBeRichText(refusalTip_)) refusalTip_ = Qt::convertFromPlainText(refusalTip_);
  box_->setToolTip(refusalTip_);
}

void BoxEditing::CommandStarted() {
  // A tooltip set since the refusal (a new ready-made list's) stays.
  if (!refusalTip_.isEmpty() && box_->toolTip() == refusalTip_) box_->setToolTip(usualTip_);
  refusalTip_.clear();
}

bool BoxEditing::CanRestore() const {
  return remembered_ && box_->text().isEmpty();
}

bool BoxEditing::Restore() {
  if (!CanRestore()) return false;
  remembered_ = false;
  // An edit of its own, so that a second Undo takes it out again.
  box_->insert(refused_);
  box_->setSelection(refusedStart_, refusedLength_);
  if (refusedLength_ == 0) box_->setCursorPosition(refusedStart_);
  return true;
}

void BoxEditing::Paste(const QString& text) {
  if (box_->isReadOnly() || text.isEmpty()) return;
  box_->insert(QString::fromStdString(TreeCommands::ForgivingPaste(text.toStdString())));
}

QMenu* BoxEditing::CreateContextMenu() {
  QMenu* menu = box_->createStandardContextMenu();
  for (QAction* action : menu->actions()) {
    if (IsActionFor(action, QKeySequence::Paste))
      action->setObjectName(QStringLiteral("edit-paste"));
    if (IsActionFor(action, QKeySequence::Undo)) action->setObjectName(QStringLiteral("edit-undo"));
    const QString name = action->objectName();
    if (name == QLatin1String("edit-paste")) {
      action->disconnect();
      connect(action, &QAction::triggered, this,
              [this] { Paste(QApplication::clipboard()->text(QClipboard::Clipboard)); });
    } else if (name == QLatin1String("edit-undo") && CanRestore()) {
      action->disconnect();
      action->setEnabled(true);
      connect(action, &QAction::triggered, this, &BoxEditing::Restore);
    }
  }
  bool first = true;
  for (QAction* action : extras_) {
    if (action == nullptr) continue;
    if (std::exchange(first, false)) menu->addSeparator();
    menu->addAction(action);
  }
  return menu;
}

bool BoxEditing::eventFilter(QObject* watched, QEvent* event) {
  if (watched != box_) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->matches(QKeySequence::Paste)) {
        Paste(QApplication::clipboard()->text(QClipboard::Clipboard));
        return true;
      }
      if (key->matches(QKeySequence::Undo) && Restore()) return true;
      break;
    }
    case QEvent::ContextMenu: {
      QMenu* menu = CreateContextMenu();
      menu->setAttribute(Qt::WA_DeleteOnClose);
      menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
      return true;
    }
    case QEvent::MouseButtonRelease: {
      // The middle button pastes the X11 selection where it is released.
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection() &&
          !box_->isReadOnly()) {
        box_->deselect();
        box_->setCursorPosition(box_->cursorPositionAt(mouse->position().toPoint()));
        Paste(QApplication::clipboard()->text(QClipboard::Selection));
        return true;
      }
      break;
    }
    case QEvent::Drop: {
      // Text dragged in from elsewhere is pasted as well; a move within the
      // box stays the box's own.
      auto* drop = static_cast<QDropEvent*>(event);
      if (drop->source() != box_ && drop->mimeData()->hasText() && !box_->isReadOnly()) {
        box_->deselect();
        box_->setCursorPosition(box_->cursorPositionAt(drop->position().toPoint()));
        Paste(drop->mimeData()->text());
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        return true;
      }
      break;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace TreeUi
