// The pad menu's picture actions: "Export Picture…" (the whole drawing as SVG
// or PNG), "Copy Picture" (the visible part, to the clipboard) and "Print…"
// (the whole drawing scaled to the page, with a preview).
#pragma once

#include <QObject>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QString>
#include <memory>
#include <optional>

#include "CompactLayout.h"
#include "PagePlan.h"
#include "StepsDrawing.h"
#include "Templates.h"
#include "pictures/PictureRender.h"

class QAction;
class QMenu;
class QWidget;
class QPrinter;

namespace TreeUi {

class DrawSurface;
class MessageSink;
class PadView;

class PictureActions final : public QObject {
  Q_OBJECT

 public:
  // Adds the actions to the pad's `menu`; pictures what `surface` shows.
  PictureActions(QWidget* window, QMenu* menu, DrawSurface* surface, PadView* view,
                 MessageSink& messages);
  ~PictureActions() override;

  // Writes the whole drawing to `path`, SVG or PNG by the file name's ending;
  // PNG at `sizing`; the main tree in `layout`, or the pad's drawing as it is
  // without one. A failure is reported in an "Error" message and leaves no
  // file behind; returns whether the picture was written.
  bool ExportTo(const QString& path, PictureSizing sizing = {},
                std::optional<TreeCore::TreeLayout> layout = std::nullopt);
  // Puts a PNG of the part of the drawing inside the pad on the clipboard.
  void CopyPicture();
  // Puts a picture of the whole main tree in `layout` on the clipboard, at
  // 100 % or fitted to the default size when larger.
  void CopyWhole(TreeCore::TreeLayout layout);
  // Opens the print preview (a window of its own) for the main tree as it is
  // now, compact unless the preview's "Slot Layout" is chosen.
  void Print(TreeCore::TreeLayout layout = TreeCore::TreeLayout::Compact);

  QAction* ExportAction() const { return export_; }
  QAction* CopyAction() const { return copy_; }
  QAction* PrintAction() const { return print_; }
  QPrintPreviewDialog* Preview() const { return preview_; }
  // What Print… shows: the drawing, its layout and the page's orientation.
  const TreeCore::ElementArrays& Printed() const { return printed_; }
  TreeCore::TreeLayout PrintedLayout() const { return printedLayout_; }
  // Paints what Print… shows onto `printer`'s pages: one page when the
  // captions stay legible on it, else as many as keep them legible.
  void PaintPage(QPrinter* printer);
  TreeCore::PagePlan PlanFor(const QPrinter& printer) const;

 private:
  void AskAndExport();
  // Asks how large a PNG should be; false when the user cancels.
  bool AskSizing(PictureSizing& sizing, const TreeCore::ElementArrays& elements);
  // Asks which layout a picture shows, compact first; false when cancelled.
  bool AskLayout(TreeCore::TreeLayout& layout);
  // The pad's own layout.
  TreeCore::TreeLayout PadLayout() const;
  // The main tree drawn in `layout` into `into`, with the pad's badges when
  // it shows them; returns how to paint it.
  PaintOptions DrawMain(TreeCore::TreeLayout layout);
  // How to paint the pad's drawing in a picture: its captions and badges.
  PaintOptions PadOptions();
  void PrintIn(TreeCore::TreeLayout layout);
  bool Fail(const QString& reason);

  QWidget* window_;
  DrawSurface* surface_;
  PadView* view_;
  MessageSink& messages_;
  QAction* export_ = nullptr;
  QAction* copy_ = nullptr;
  QAction* print_ = nullptr;
  QMenu* copyWhole_ = nullptr;
  QString lastFolder_;
  std::unique_ptr<QPrinter> printer_;
  QPointer<QPrintPreviewDialog> preview_;
  // What the preview prints: the drawing when Print… was chosen.
  TreeCore::ElementArrays printed_;
  TreeCore::TreeLayout printedLayout_ = TreeCore::TreeLayout::Compact;
  PaintOptions printOptions_;
  // The main tree in a layout other than the pad's, for a picture.
  TreeUi::StepsDrawing drawing_;
  TreeCore::ElementArrays pictured_;
  ElementDecorations badges_, printBadges_;
};

}  // namespace TreeUi
