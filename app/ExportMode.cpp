#include "ExportMode.h"

#include <QImageWriter>
#include <QSaveFile>
#include <algorithm>
#include <cctype>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

#include "Commands.h"
#include "Drawing.h"
#include "OffscreenApplication.h"
#include "RunTrees.h"
#include "Runner.h"
#include "SvgExport.h"
#include "pictures/PictureRender.h"

namespace TreeApp {

namespace {

constexpr int Refused = 2;
constexpr int WriteFailed = 1;

std::string LowerSuffix(std::string_view path) {
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  std::string suffix(path.substr(dot + 1));
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return suffix;
}

// Scales of a picture whose longer side is `fit` pixels, the same across as
// down, so that lines keep meeting their circles.
TreeCore::Scales FitUniformly(const TreeCore::ElementArrays& elements, int fit) {
  const TreeCore::Extent e = TreeCore::VisibleExtent(elements);
  const double inner = std::max(1.0, fit - 2 * TreeCore::PictureMargin);
  const double s = inner / std::max({e.Width(), e.Height(), 1.0});
  return {s, s};
}

int WritePng(const std::string& path, const TreeCore::ElementArrays& elements, char* program,
             const ExportOptions& options) {
  // Text needs a GUI application; the offscreen platform needs no display.
  const OffscreenApplication app(program);
  // The pad's scale when it fits in the default size, else fitted to it.
  TreeUi::PictureSizing sizing;
  const QSize natural = TreeUi::PictureSize(elements, {});
  sizing.Fit = std::max(natural.width(), natural.height()) > TreeCore::DefaultFitPixels;
  TreeUi::PaintOptions paint;
  paint.FitCaptions = options.Layout == TreeCore::TreeLayout::Compact;
  // A picture squeezed across more than down keeps its lines on its circles.
  paint.LinesBetweenCircles = true;
  paint.OnlyLinesThatMiss = true;
  QImage image = TreeUi::RenderPicture(
      elements,
      options.Fit > 0 ? FitUniformly(elements, options.Fit) : TreeUi::ScalesFor(elements, sizing),
      paint);
  // Below the two margins' width the picture is made with them and shrunk.
  const int longer = std::max(image.width(), image.height());
  if (options.Fit > 0 && !image.isNull() && longer != options.Fit)
    image = image.scaled(std::max(1, image.width() * options.Fit / longer),
                         std::max(1, image.height() * options.Fit / longer), Qt::IgnoreAspectRatio,
                         Qt::SmoothTransformation);
  if (image.isNull()) {
    std::cerr << "treetest: not enough memory for the picture\n";
    return WriteFailed;
  }
  const QString file = QString::fromLocal8Bit(path.c_str());
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) {
    std::cerr << "treetest: cannot write " << path << ": " << out.errorString().toStdString()
              << '\n';
    return WriteFailed;
  }
  QImageWriter writer(&out, "png");
  if (!writer.write(image) || !out.commit()) {
    out.cancelWriting();
    std::cerr << "treetest: cannot write " << path << ": " << writer.errorString().toStdString()
              << '\n';
    return WriteFailed;
  }
  return 0;
}

}  // namespace

int RunExportMode(const std::string& path, std::string list, char* program,
                  const ExportOptions& options) {
  // A list of 32767 values is longer than one argument may be: "-" reads it
  // from standard input instead, without the line breaks that end it.
  if (list == "-") {
    list.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    while (!list.empty() && (list.back() == '\n' || list.back() == '\r')) list.pop_back();
  }
  const std::string suffix = LowerSuffix(path);
  if (suffix != "svg" && suffix != "png") {
    std::cerr << "treetest: the file name must end in .svg or .png\n";
    return Refused;
  }
  // The same checks and messages as the Get Tree command.
  const auto checked = TreeCommands::CheckList(TreeCommands::CommandKind::Get, list);
  if (!checked.Refusal.empty()) {
    std::cerr << checked.Refusal << '\n';
    return Refused;
  }

  TreeCore::InstallDrawingHooks();
  TreeCommands::SchemeTree tree(TreeCore::DefaultEngine(), TreeCore::MainTree);
  TreeCommands::Runner build(TreeCommands::CommandKind::Get, tree, checked.Values);
  TreeCore::DrawingWidth = 0;
  TreeCore::DrawingHeight = 0;
  build.Run();
  TreeCore::ElementArrays elements;
  // As the window's drawing starts: the templates hidden until drawn.
  elements.TreeNode[0].Visible = false;
  elements.ShNode[0].Visible = false;
  elements.LnNode[0].Visible = false;
  TreeCore::DrawTree(elements.TreeNode, elements.ShNode, elements.LnNode, 0);
  const bool compact = options.Layout == TreeCore::TreeLayout::Compact;
  if (compact) TreeCore::ApplyCompactLayout(TreeCore::MainTree, TreeCore::DefaultDrawing());

  int status = 0;
  if (suffix == "svg") {
    TreeCore::SvgOptions svg;
    svg.FitCaptions = compact;
    const std::string error =
        TreeCore::SaveSvg(path, elements, 1.0 / TreeCore::PictureTwipsPerPixel, svg);
    if (!error.empty()) {
      std::cerr << "treetest: " << error << '\n';
      status = WriteFailed;
    }
  } else {
    status = WritePng(path, elements, program, options);
  }
  // The drawing library keeps pointers to the arrays it drew into.
  TreeCore::ResetTree(TreeCore::MainTree, false);
  TreeCore::ResetDrawingState();
  return status;
}

}  // namespace TreeApp
