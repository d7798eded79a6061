#include "view/PadAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "NodeNavigation.h"
#include "view/DrawSurface.h"

namespace TreeUi {

namespace {

class SurfaceAccessible;

// One drawn node. Qt's cache owns it once registered; the surface's
// interface removes it when the drawing changes.
class NodeAccessible final : public QAccessibleInterface {
 public:
  NodeAccessible(SurfaceAccessible* parent, DrawSurface* surface, int element)
      : parent_(parent), surface_(surface), element_(element) {}

  bool isValid() const override { return !surface_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override {
    return surface_ ? surface_->window()->windowHandle() : nullptr;
  }
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessible::Role role() const override { return QAccessible::TreeItem; }
  void setText(QAccessible::Text, const QString&) override {}
  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name || !surface_) return {};
    const PadNodes& nodes = surface_->Nodes();
    const TreeCore::TreeRec* tree = nodes.Tree ? nodes.Tree() : nullptr;
    if (tree == nullptr || !nodes.NodeOf) return {};
    return QString::fromStdString(TreeCore::NodeName(*tree, nodes.NodeOf(element_)));
  }
  QRect rect() const override {
    if (!surface_) return {};
    const TreeCore::Label& l = surface_->Elements().TreeNode[static_cast<std::int16_t>(element_)];
    const QPointF a = surface_->ToLocal(l.Left, l.Top);
    const QPointF b = surface_->ToLocal(l.Left + l.Width, l.Top + l.Height);
    return QRect(surface_->mapToGlobal(a.toPoint()), surface_->mapToGlobal(b.toPoint()));
  }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.focusable = true;
    s.selectable = true;
    const std::vector<int>& marked = surface_ ? surface_->Decorations().Marked : std::vector<int>();
    const bool cursor = std::find(marked.begin(), marked.end(), element_) != marked.end();
    s.selected = cursor;
    s.focused = cursor && surface_ && surface_->hasFocus();
    return s;
  }

 private:
  SurfaceAccessible* parent_;
  QPointer<DrawSurface> surface_;
  int element_;
};

class SurfaceAccessible final : public QAccessibleWidget {
 public:
  explicit SurfaceAccessible(DrawSurface* surface)
      : QAccessibleWidget(surface, QAccessible::Tree, QStringLiteral("Tree")) {}
  ~SurfaceAccessible() override { Forget(); }

  DrawSurface* Surface() const { return static_cast<DrawSurface*>(widget()); }

  int childCount() const override {
    Refresh();
    return static_cast<int>(elements_.size());
  }
  QAccessibleInterface* child(int index) const override {
    Refresh();
    if (index < 0 || index >= static_cast<int>(elements_.size())) return nullptr;
    const int element = elements_[static_cast<std::size_t>(index)];
    auto found = ids_.find(element);
    if (found == ids_.end()) {
      auto* node = new NodeAccessible(const_cast<SurfaceAccessible*>(this), Surface(), element);
      found = ids_.emplace(element, QAccessible::registerAccessibleInterface(node)).first;
    }
    return QAccessible::accessibleInterface(found->second);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    Refresh();
    for (const auto& [element, id] : ids_)
      if (QAccessible::accessibleInterface(id) == child) return IndexOf(element);
    return -1;
  }
  QAccessibleInterface* focusChild() const override {
    const int index = IndexOf(Cursor());
    return index >= 0 ? child(index) : nullptr;
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return QStringLiteral("Tree drawing");
    return QAccessibleWidget::text(t);
  }

  int IndexOf(int element) const {
    Refresh();
    const auto it = std::lower_bound(elements_.begin(), elements_.end(), element);
    return it != elements_.end() && *it == element ? static_cast<int>(it - elements_.begin()) : -1;
  }

 private:
  int Cursor() const {
    const std::vector<int>& marked = Surface()->Decorations().Marked;
    return marked.empty() ? -1 : marked.front();
  }
  // The nodes drawn now: the elements whose labels show and name a node.
  void Refresh() const {
    DrawSurface* surface = Surface();
    if (generation_ == surface->Generation() && fresh_) return;
    Forget();
    fresh_ = true;
    generation_ = surface->Generation();
    const PadNodes& nodes = surface->Nodes();
    if (!nodes.NodeOf) return;
    const auto& labels = surface->Elements().TreeNode;
    for (int k = 0; k < labels.UpperBound(); ++k) {
      const auto e = static_cast<std::int16_t>(k);
      if (labels.IsLoaded(e) && labels[e].Visible && nodes.NodeOf(k) >= 0) elements_.push_back(k);
    }
  }
  void Forget() const {
    for (const auto& entry : ids_) QAccessible::deleteAccessibleInterface(entry.second);
    ids_.clear();
    elements_.clear();
  }

  mutable std::vector<int> elements_;
  mutable std::unordered_map<int, QAccessible::Id> ids_;
  mutable unsigned generation_ = 0;
  mutable bool fresh_ = false;
};

QAccessibleInterface* NodeAccessible::parent() const {
  return parent_;
}

QAccessibleInterface* Factory(const QString&, QObject* object) {
  if (auto* surface = qobject_cast<DrawSurface*>(object)) return new SurfaceAccessible(surface);
  return nullptr;
}

}  // namespace

void InstallPadAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(Factory);
    return true;
  }();
  (void)installed;
}

int AccessibleChildOf(DrawSurface* surface, int element) {
  auto* pad = static_cast<SurfaceAccessible*>(QAccessible::queryAccessibleInterface(surface));
  return pad != nullptr ? pad->IndexOf(element) : -1;
}

}  // namespace TreeUi
