#include "pictures/PictureActions.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageWriter>
#include <QInputDialog>
#include <QMenu>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "BalanceBadges.h"
#include "PagePlan.h"
#include "SvgExport.h"
#include "view/DrawSurface.h"
#include "view/MessageSink.h"
#include "view/PadView.h"
#include "view/geometry/ViewTransform.h"

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
  // The whole tree in either layout, compact first, fitted to the default size.
  copyWhole_ = menu->addMenu(QStringLiteral("Copy Whole Tree"));
  copyWhole_->menuAction()->setObjectName(QStringLiteral("CopyWholeTree"));
  for (const auto& [text, kind] :
       {std::pair{QStringLiteral("Compact Layout"), TreeCore::TreeLayout::Compact},
        std::pair{QStringLiteral("Slot Layout"), TreeCore::TreeLayout::Slots}})
    copyWhole_->addAction(text, this, [this, kind = kind] { CopyWhole(kind); });
  print_ = menu->addAction(QStringLiteral("Print…"), this, [this] { Print(); });
  print_->setObjectName(QStringLiteral("PrintPicture"));
  // Nothing to picture before the first tree and after Clear Tree.
  connect(menu, &QMenu::aboutToShow, this, [this] {
    const bool drawn = HasDrawing(surface_->Elements());
    for (QAction* a : {export_, copy_, print_, copyWhole_->menuAction()}) a->setEnabled(drawn);
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

TreeCore::TreeLayout PictureActions::PadLayout() const {
  return surface_->FitCaptions() ? TreeCore::TreeLayout::Compact : TreeCore::TreeLayout::Slots;
}

PaintOptions PictureActions::PadOptions() {
  PaintOptions options;
  options.FitCaptions = surface_->FitCaptions();
  badges_ = {};
  badges_.Badges = surface_->Decorations().Badges;
  badges_.Warn = surface_->Decorations().Warn;
  if (!badges_.Badges.empty()) options.Decorations = &badges_;
  return options;
}

PaintOptions PictureActions::DrawMain(TreeCore::TreeLayout layout) {
  drawing_.SetRoomForBadges(!surface_->Decorations().Badges.empty());
  const std::vector<std::int32_t>& shown = drawing_.Draw(TreeCore::MainTree, pictured_, layout);
  PaintOptions options;
  options.FitCaptions = layout == TreeCore::TreeLayout::Compact;
  badges_ = {};
  // Show Balance is on while the pad shows badges.
  if (!surface_->Decorations().Badges.empty()) {
    BalanceBadges b = BalanceOf(TreeCore::MainTree, shown);
    badges_.Badges = std::move(b.Badges);
    badges_.Warn = std::move(b.Warn);
    options.Decorations = &badges_;
  }
  return options;
}

bool PictureActions::ExportTo(const QString& path, PictureSizing sizing,
                              std::optional<TreeCore::TreeLayout> layout) {
  if (!HasDrawing(surface_->Elements()))
    return Fail(QStringLiteral("there is no tree on the pad."));
  PaintOptions paint = layout ? DrawMain(*layout) : PadOptions();
  paint.LinesBetweenCircles = true;
  const TreeCore::ElementArrays& elements = layout ? pictured_ : surface_->Elements();
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("svg")) {
    TreeCore::SvgOptions svg;
    svg.FitCaptions = paint.FitCaptions;
    if (paint.Decorations != nullptr) {
      svg.Badges = &paint.Decorations->Badges;
      svg.Warn = &paint.Decorations->Warn;
    }
    const std::string error = TreeCore::SaveSvg(QFile::encodeName(path).toStdString(), elements,
                                                1.0 / TreeCore::PictureTwipsPerPixel, svg);
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
  const QImage image = RenderPicture(elements, scales, paint);
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
  TreeCore::TreeLayout layout = TreeCore::TreeLayout::Compact;
  if (!AskLayout(layout)) return;
  // The pad's own drawing when it is in that layout; otherwise one of the main tree.
  const std::optional<TreeCore::TreeLayout> other =
      layout == PadLayout() ? std::nullopt : std::optional(layout);
  if (other) DrawMain(layout);
  if (QFileInfo(path).suffix().toLower() == QLatin1String("png") &&
      !AskSizing(sizing, other ? pictured_ : surface_->Elements()))
    return;
  if (ExportTo(path, sizing, other))
    messages_.ShowMessage(
        QStringLiteral("The picture was saved to %1.").arg(QDir::toNativeSeparators(path)),
        QStringLiteral("Export Picture"), MessageIcon::Information);
}

bool PictureActions::AskLayout(TreeCore::TreeLayout& layout) {
  const QStringList layouts{QStringLiteral("Compact Layout"), QStringLiteral("Slot Layout")};
  bool chosen = false;
  const QString item =
      QInputDialog::getItem(window_, QStringLiteral("Picture Layout"),
                            QStringLiteral("Layout of the picture:"), layouts, 0, false, &chosen);
  if (!chosen) return false;
  layout = item == layouts[0] ? TreeCore::TreeLayout::Compact : TreeCore::TreeLayout::Slots;
  return true;
}

bool PictureActions::AskSizing(PictureSizing& sizing, const TreeCore::ElementArrays& elements) {
  const QSize natural = PictureSize(elements, sizing.View);
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

void PictureActions::CopyWhole(TreeCore::TreeLayout layout) {
  if (!HasDrawing(surface_->Elements())) return;
  PaintOptions paint = DrawMain(layout);
  paint.LinesBetweenCircles = true;
  PictureSizing sizing;
  const QSize natural = PictureSize(pictured_, sizing.View);
  sizing.Fit = std::max(natural.width(), natural.height()) > TreeCore::DefaultFitPixels;
  const QImage image = RenderPicture(pictured_, ScalesFor(pictured_, sizing), paint);
  if (!image.isNull()) QApplication::clipboard()->setImage(image);
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

void PictureActions::PrintIn(TreeCore::TreeLayout layout) {
  printOptions_ = DrawMain(layout);
  // On paper every caption stays inside its circle, whatever the layout.
  printOptions_.FitCaptions = true;
  printed_ = pictured_;
  printBadges_ = badges_;
  if (printOptions_.Decorations != nullptr) printOptions_.Decorations = &printBadges_;
  printedLayout_ = layout;
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  const TreeCore::Extent e = TreeCore::VisibleExtent(printed_);
  const QPageLayout::Orientation shape =
      e.Width() > e.Height() ? QPageLayout::Landscape : QPageLayout::Portrait;
  // The tree's own shape decides, unless the other way round needs fewer pages.
  const QPageLayout::Orientation other =
      shape == QPageLayout::Landscape ? QPageLayout::Portrait : QPageLayout::Landscape;
  printer_->setPageOrientation(other);
  const int otherPages = PlanFor(*printer_).Pages();
  printer_->setPageOrientation(shape);
  if (otherPages < PlanFor(*printer_).Pages()) printer_->setPageOrientation(other);
}

TreeCore::PagePlan PictureActions::PlanFor(const QPrinter& printer) const {
  const TreeCore::Extent e = TreeCore::VisibleExtent(printed_);
  if (e.Empty) return {};
  // Screen pixels (96 to the inch), so that lines keep their weight on paper.
  const QRectF page = printer.pageLayout().paintRect(QPageLayout::Inch);
  // A small tree is not blown up past four times its size on the pad.
  constexpr double Largest = 4 / TreeCore::PictureTwipsPerPixel;
  return TreeCore::PlanPages(e.Width(), e.Height(), page.width() * 96, page.height() * 96,
                             2 * TreeCore::PictureMargin,
                             TreeCore::LegibleScale(printed_, DesignCaptionPixels), Largest);
}

void PictureActions::Print(TreeCore::TreeLayout layout) {
  if (preview_) {
    preview_->raise();
    preview_->activateWindow();
    return;
  }
  PrintIn(layout);
  // A window of its own: the tree window stays usable while it is open.
  preview_ = new QPrintPreviewDialog(printer_.get(), window_, Qt::Window);
  preview_->setObjectName(QStringLiteral("PrintPreview"));
  preview_->setAttribute(Qt::WA_DeleteOnClose);
  preview_->setWindowModality(Qt::NonModal);
  connect(preview_, &QPrintPreviewDialog::paintRequested, this, &PictureActions::PaintPage);
  // Both layouts on the preview's tool bar, compact first.
  if (auto* bar = preview_->findChild<QToolBar*>()) {
    bar->addSeparator();
    auto* choice = new QActionGroup(bar);
    for (const auto& [text, kind] :
         {std::pair{QStringLiteral("Compact Layout"), TreeCore::TreeLayout::Compact},
          std::pair{QStringLiteral("Slot Layout"), TreeCore::TreeLayout::Slots}}) {
      QAction* a = bar->addAction(text);
      a->setObjectName(kind == TreeCore::TreeLayout::Compact ? QStringLiteral("PrintCompact")
                                                             : QStringLiteral("PrintSlots"));
      a->setCheckable(true);
      a->setChecked(kind == layout);
      choice->addAction(a);
      connect(a, &QAction::triggered, this, [this, kind = kind] {
        PrintIn(kind);
        if (auto* page = preview_->findChild<QPrintPreviewWidget*>()) {
          page->setOrientation(printer_->pageLayout().orientation());
          page->updatePreview();
        }
      });
    }
  }
  preview_->show();
}

void PictureActions::PaintPage(QPrinter* printer) {
  const TreeCore::PagePlan plan = PlanFor(*printer);
  if (!(plan.Scale > 0)) return;
  const TreeCore::Extent e = TreeCore::VisibleExtent(printed_);
  // Painted in screen pixels (96 to the inch, 15 twips each) scaled up to the
  // printer's, so that lines and outlines keep their weight on paper.
  const double k = printer->resolution() / 96.0;
  const QRect paper = printer->pageLayout().paintRectPixels(printer->resolution());
  const double width = paper.width() / k, height = paper.height() / k;
  const double margin = 2 * TreeCore::PictureMargin;
  const double across = std::max(1.0, width - margin), down = std::max(1.0, height - margin);
  // One scale both ways, so that lines meet their circles; the whole picture
  // centred on its pages, each page showing its part, to be laid side by side.
  const double left = std::max(0.0, (plan.Across * across - e.Width() * plan.Scale) / 2);
  const double top = std::max(0.0, (plan.Down * down - e.Height() * plan.Scale) / 2);
  QPainter painter(printer);
  for (int row = 0; row < plan.Down; ++row) {
    for (int column = 0; column < plan.Across; ++column) {
      if (row > 0 || column > 0) printer->newPage();
      painter.save();
      painter.scale(k, k);
      if (plan.Pages() > 1) painter.setClipRect(QRectF(0, 0, width, height));
      painter.translate(left - column * across, top - row * down);
      PaintPicture(painter, printed_, {plan.Scale, plan.Scale}, printOptions_);
      painter.restore();
    }
  }
}

}  // namespace TreeUi
