#include "view/PadKeyboard.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>

#include "view/DrawSurface.h"
#include "view/PadAccessible.h"
#include "view/PadView.h"
#include "view/PageKeys.h"

namespace TreeUi {

namespace {

// Pixels around a node for the cursor's ring (3 beyond the circle, and its pen).
constexpr double RingRoom = 6;

}  // namespace

PadKeyboard::PadKeyboard(QWidget* window, DrawSurface* surface, PadView* view, QMenu* menu,
                         PageKeys* keys)
    : QObject(window),
      window_(window),
      surface_(surface),
      view_(view),
      menu_(menu),
      focus_(new QAction(QStringLiteral("Keyboard on the Drawing"), window)) {
  focus_->setObjectName(QStringLiteral("PadFocusAction"));
  focus_->setShortcut(QKeySequence(Qt::Key_F6));
  focus_->setShortcutContext(Qt::WindowShortcut);
  connect(focus_, &QAction::triggered, this, &PadKeyboard::ToggleFocus);
  window->addAction(focus_);
  surface->installEventFilter(this);
  keys->Watch(surface);
}

void PadKeyboard::ToggleFocus() {
  if (surface_->hasFocus()) {
    GiveBack();
    return;
  }
  back_ = QApplication::focusWidget();
  // Not Qt::TabFocus or ClickFocus: the Tab chain and clicks stay as they are.
  surface_->setFocus(Qt::OtherFocusReason);
  const std::vector<int>& marked = surface_->Decorations().Marked;
  if (!marked.empty())
    Show(marked.front());
  else
    Move(TreeCore::NodeMove::Root);
}

void PadKeyboard::GiveBack() {
  if (back_ && back_->isEnabled() && back_->isVisible())
    back_->setFocus(Qt::OtherFocusReason);
  else
    surface_->clearFocus();
}

void PadKeyboard::Move(TreeCore::NodeMove move) {
  const PadNodes& nodes = surface_->Nodes();
  const TreeCore::TreeRec* tree = nodes.Tree ? nodes.Tree() : nullptr;
  if (tree == nullptr || !nodes.NodeOf || !nodes.ElementOf) return;
  // A new drawing numbers its elements afresh.
  if (drawing_ != surface_->Generation()) cursor_ = -1;
  const std::int32_t from = cursor_ >= 0 ? nodes.NodeOf(cursor_) : -1;
  const std::int32_t to = TreeCore::MoveFrom(*tree, from, move);
  if (to < 0) return;
  const int element = nodes.ElementOf(to);
  if (element >= 0) Show(element);
}

void PadKeyboard::Show(int element) {
  cursor_ = element;
  drawing_ = surface_->Generation();
  surface_->SetMarkedElements({element});
  // Scrolled only when the node is not wholly in sight: centred when it is
  // out of sight, else moved in just far enough, the ring included.
  const TreeCore::Label& l = surface_->Elements().TreeNode[static_cast<std::int16_t>(element)];
  QRectF label(surface_->ToLocal(l.Left, l.Top),
               surface_->ToLocal(l.Left + l.Width, l.Top + l.Height));
  const auto& shapes = surface_->Elements().ShNode;
  if (shapes.IsLoaded(static_cast<std::int16_t>(element))) {
    const TreeCore::Shape& c = shapes[static_cast<std::int16_t>(element)];
    label |= QRectF(surface_->ToLocal(c.Left, c.Top),
                    surface_->ToLocal(c.Left + c.Width, c.Top + c.Height));
  }
  label.adjust(-RingRoom, -RingRoom, RingRoom, RingRoom);
  const auto* viewport = static_cast<QWidget*>(surface_->parent());
  const QRectF client = QRectF(viewport->contentsRect()).translated(-surface_->pos());
  if (!client.contains(label.center())) {
    view_->CentreOnElement(element);
  } else if (!client.contains(label)) {
    const auto into = [](double low, double high, double from, double to) {
      if (low < from) return low - from;
      return high > to ? std::min(high - to, low - from) : 0.0;
    };
    view_->ScrollByPixels(into(label.left(), label.right(), client.left(), client.right()),
                          into(label.top(), label.bottom(), client.top(), client.bottom()));
  }
  const int child = AccessibleChildOf(surface_, element);
  if (child >= 0) {
    QAccessibleEvent moved(surface_, QAccessible::Focus);
    moved.setChild(child);
    QAccessible::updateAccessibility(&moved);
  }
}

void PadKeyboard::OpenMenu() {
  QPointF at = QRectF(surface_->rect()).center();
  if (cursor_ >= 0 && drawing_ == surface_->Generation()) {
    const TreeCore::Label& l = surface_->Elements().TreeNode[static_cast<std::int16_t>(cursor_)];
    at = surface_->ToLocal(l.Left + l.Width / 2, l.Top + l.Height / 2);
  }
  if (!menu_->isEmpty()) menu_->popup(surface_->mapToGlobal(at.toPoint()));
}

bool PadKeyboard::eventFilter(QObject* watched, QEvent* event) {
  if (watched != surface_ || event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const bool ctrl = key->modifiers() & Qt::ControlModifier;
  switch (key->key()) {
    case Qt::Key_Escape:
      GiveBack();
      return true;
    case Qt::Key_Home:
      Move(TreeCore::NodeMove::Root);
      return true;
    case Qt::Key_Up:
      Move(TreeCore::NodeMove::Parent);
      return true;
    case Qt::Key_Left:
      Move(ctrl ? TreeCore::NodeMove::Previous : TreeCore::NodeMove::Left);
      return true;
    case Qt::Key_Right:
      Move(ctrl ? TreeCore::NodeMove::Next : TreeCore::NodeMove::Right);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (cursor_ >= 0 && drawing_ == surface_->Generation()) emit Activated(cursor_);
      return true;
    case Qt::Key_Menu:
      OpenMenu();
      return true;
    case Qt::Key_F10:
      if (!(key->modifiers() & Qt::ShiftModifier)) return false;
      OpenMenu();
      return true;
    default:
      return false;
  }
}

}  // namespace TreeUi
