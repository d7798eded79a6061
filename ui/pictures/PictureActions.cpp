#include "pictures/PictureActions.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageWriter>
#include <QMenu>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "SvgExport.h"
#include "view/DrawSurface.h"
#include "view/PadView.h"
#include "window/MessageSink.h"

namespace TreeUi {

namespace {

bool HasDrawing(const TreeCore::ElementArrays& elements) {
  return !TreeCore::VisibleExtent(elements).Empty;
}

}  // namespace

PictureActions::PictureActions(QWidget* window, QMenu* menu, DrawSurface* surface, PadView* view,
                               MessageSink& messages)
    : QObject(window), window_(window), surface_(surface), view_(view), messages_(messages) {
  setObjectName(QStringLiteral("PictureActions"));
  if (!menu->isEmpty()) menu->addSeparator();
  export_ = menu->addAction(QStringLiteral("Export Picture…"), this, &PictureActions::AskAndExport);
  export_->setObjectName(QStringLiteral("ExportPicture"));
  copy_ = menu->addAction(QStringLiteral("Copy Picture"), this, &PictureActions::CopyPicture);
  copy_->setObjectName(QStringLiteral("CopyPicture"));
  print_ = menu->addAction(QStringLiteral("Print…"), this, &PictureActions::Print);
  print_->setObjectName(QStringLiteral("PrintPicture"));
  // Nothing to picture before the first tree and after Clear Tree.
  connect(menu, &QMenu::aboutToShow, this, [this] {
    const bool drawn = HasDrawing(surface_->Elements());
    for (QAction* a : {export_, copy_, print_}) a->setEnabled(drawn);
  });
  lastFolder_ = QDir::homePath();
}

PictureActions::~PictureActions() {
  // The preview paints through the printer: it goes first.
  delete preview_.data();
}

bool PictureActions::Fail(const QString& reason) {
  messages_.ShowMessage(QStringLiteral("The picture could not be exported: ") + reason,
                        QStringLiteral("Error"), MessageIcon::Error);
  return false;
}

bool PictureActions::ExportTo(const QString& path, PictureSizing sizing) {
  const TreeCore::ElementArrays& elements = surface_->Elements();
  if (!HasDrawing(elements)) return Fail(QStringLiteral("there is no tree on the pad."));
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("svg")) {
    const std::string error = TreeCore::SaveSvg(QFile::encodeName(path).toStdString(), elements);
    if (!error.empty()) return Fail(QString::fromLocal8Bit(error.c_str()) + QLatin1Char('.'));
    return true;
  }
  if (suffix != QLatin1String("png"))
    return Fail(QStringLiteral("the file name must end in .svg or .png."));

  const TreeCore::Scales scales = ScalesFor(elements, sizing);
  const QSize size = PictureSize(elements, scales);
  if (size.width() > TreeCore::MaxFitPixels || size.height() > TreeCore::MaxFitPixels)
    return Fail(QStringLiteral("at the pad's scale it would be %1 × %2 pixels, more than %3 on a "
                               "side; fit it to a number of pixels instead.")
                    .arg(size.width())
                    .arg(size.height())
                    .arg(TreeCore::MaxFitPixels));
  const QImage image = RenderPicture(elements, scales);
  if (image.isNull()) return Fail(QStringLiteral("there is not enough memory for it."));
  // Written beside the target and renamed over it when complete.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return Fail(path + QStringLiteral(": ") + file.errorString());
  QImageWriter writer(&file, "png");
  if (!writer.write(image)) {
    file.cancelWriting();
    return Fail(path + QStringLiteral(": ") + writer.errorString());
  }
  if (!file.commit()) return Fail(path + QStringLiteral(": ") + file.errorString());
  return true;
}

void PictureActions::AskAndExport() {
  QString filter;
  QString path = QFileDialog::getSaveFileName(
      window_, QStringLiteral("Export Picture"), QDir(lastFolder_).filePath("tree.svg"),
      QStringLiteral("SVG picture (*.svg);;PNG picture (*.png)"), &filter);
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty())
    path +=
        filter.startsWith(QLatin1String("PNG")) ? QStringLiteral(".png") : QStringLiteral(".svg");
  lastFolder_ = QFileInfo(path).absolutePath();
  PictureSizing sizing;
  // "As shown" is the pad's present zoom, rows spread as the view spreads them.
  const PadView* view = view_;
  sizing.View = {view->Scale(), view->Scale() * view->Aspect()};
  if (QFileInfo(path).suffix().toLower() == QLatin1String("png") && !AskSizing(sizing)) return;
  ExportTo(path, sizing);
}

bool PictureActions::AskSizing(PictureSizing& sizing) {
  const QSize natural = PictureSize(surface_->Elements(), sizing.View);
  const bool fits =
      natural.width() <= TreeCore::MaxFitPixels && natural.height() <= TreeCore::MaxFitPixels;

  QDialog dialog(window_);
  dialog.setObjectName(QStringLiteral("PictureSizeDialog"));
  dialog.setWindowTitle(QStringLiteral("PNG Picture Size"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* asShown = new QRadioButton(QStringLiteral("At the pad's scale (%1 × %2 pixels)")
                                       .arg(natural.width())
                                       .arg(natural.height()),
                                   &dialog);
  auto* fit =
      new QRadioButton(QStringLiteral("Fit to this many pixels on the long side:"), &dialog);
  auto* pixels = new QSpinBox(&dialog);
  pixels->setRange(64, TreeCore::MaxFitPixels);
  pixels->setValue(TreeCore::DefaultFitPixels);
  asShown->setEnabled(fits);
  (fits ? asShown : fit)->setChecked(true);
  pixels->setEnabled(!fits);
  connect(fit, &QRadioButton::toggled, pixels, &QSpinBox::setEnabled);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(asShown);
  layout->addWidget(fit);
  layout->addWidget(pixels);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;
  sizing.Fit = fit->isChecked();
  sizing.LongSide = pixels->value();
  return true;
}

void PictureActions::CopyPicture() {
  // The surface's own painting, without the hint laid over the viewport.
  const DrawSurface* surface = surface_;
  const qreal ratio = surface->devicePixelRatioF();
  QImage image(surface->size() * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  QPainter painter(&image);
  surface->Paint(painter, QRectF(QPointF(0, 0), QSizeF(surface->size())));
  painter.end();
  QApplication::clipboard()->setImage(image);
}

void PictureActions::Print() {
  if (preview_) {
    preview_->raise();
    preview_->activateWindow();
    return;
  }
  printed_ = surface_->Elements();
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  const TreeCore::Extent e = TreeCore::VisibleExtent(printed_);
  printer_->setPageOrientation(e.Width() > e.Height() ? QPageLayout::Landscape
                                                      : QPageLayout::Portrait);
  // A window of its own: the tree window stays usable while it is open.
  preview_ = new QPrintPreviewDialog(printer_.get(), window_, Qt::Window);
  preview_->setObjectName(QStringLiteral("PrintPreview"));
  preview_->setAttribute(Qt::WA_DeleteOnClose);
  preview_->setWindowModality(Qt::NonModal);
  connect(preview_, &QPrintPreviewDialog::paintRequested, this, &PictureActions::PaintPage);
  preview_->show();
}

void PictureActions::PaintPage(QPrinter* printer) {
  const TreeCore::Extent e = TreeCore::VisibleExtent(printed_);
  if (e.Empty) return;
  // Painted in screen pixels (96 to the inch, 15 twips each) scaled up to the
  // printer's, so that lines and outlines keep their weight on paper.
  const double k = printer->resolution() / 96.0;
  const QRect page = printer->pageLayout().paintRectPixels(printer->resolution());
  const double width = page.width() / k, height = page.height() / k;
  const double margin = 2 * TreeCore::PictureMargin;
  const double across = std::max(1.0, width - margin) / e.Width();
  const double down = std::max(1.0, height - margin) / e.Height();
  TreeCore::Scales s = TreeCore::FitScales(e.Width(), e.Height(),
                                           static_cast<int>(std::max(width, height) - margin));
  if (s.X == s.Y) {
    s.X = s.Y = std::min(across, down);
  } else {
    s.X = std::min(s.X, across);
    s.Y = std::min(s.Y, down);
  }
  // A small tree is not blown up past four times its size on the pad.
  constexpr double Largest = 4 / TreeCore::PictureTwipsPerPixel;
  s.X = std::min(s.X, Largest);
  s.Y = std::min(s.Y, Largest);
  QPainter painter(printer);
  painter.scale(k, k);
  PaintPicture(painter, printed_, s);
}

}  // namespace TreeUi
