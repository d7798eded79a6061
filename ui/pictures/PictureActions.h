// The pad menu's picture actions: "Export Picture…" (the whole drawing as SVG
// or PNG), "Copy Picture" (the visible part, to the clipboard) and "Print…"
// (the whole drawing scaled to the page, with a preview).
#pragma once

#include <QObject>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QString>
#include <memory>

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
  // PNG at `sizing`. A failure is reported in an "Error" message and leaves
  // no file behind; returns whether the picture was written.
  bool ExportTo(const QString& path, PictureSizing sizing = {});
  // Puts a PNG of the part of the drawing inside the pad on the clipboard.
  void CopyPicture();
  // Opens the print preview (a window of its own) for the drawing as it is now.
  void Print();

  QAction* ExportAction() const { return export_; }
  QAction* CopyAction() const { return copy_; }
  QAction* PrintAction() const { return print_; }
  QPrintPreviewDialog* Preview() const { return preview_; }

 private:
  void AskAndExport();
  // Asks how large a PNG should be; false when the user cancels.
  bool AskSizing(PictureSizing& sizing);
  void PaintPage(QPrinter* printer);
  bool Fail(const QString& reason);

  QWidget* window_;
  DrawSurface* surface_;
  PadView* view_;
  MessageSink& messages_;
  QAction* export_ = nullptr;
  QAction* copy_ = nullptr;
  QAction* print_ = nullptr;
  QString lastFolder_;
  std::unique_ptr<QPrinter> printer_;
  QPointer<QPrintPreviewDialog> preview_;
  // What the preview prints: the drawing when Print… was chosen.
  TreeCore::ElementArrays printed_;
};

}  // namespace TreeUi
