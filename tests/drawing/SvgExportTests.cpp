// The SVG picture of a drawing: one circle and one caption per node, at the
// places the layout gives them; whole for the largest tree; never half-written.
#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <numeric>
#include <random>
#include <sstream>

#include "DrawingTestSupport.h"
#include "PictureExtent.h"
#include "SvgExport.h"

namespace {

using namespace TreeCore;
namespace fs = std::filesystem;

struct Circle {
  double Cx, Cy, R;
};
struct Caption {
  double X, Y;
  std::string Text;
};
struct ParsedSvg {
  bool WellFormed = false;
  double Width = 0, Height = 0;
  std::vector<Circle> Circles;
  std::vector<Caption> Captions;
  int Lines = 0;
};

ParsedSvg Parse(const QByteArray& data) {
  ParsedSvg svg;
  QXmlStreamReader xml(data);
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const auto a = xml.attributes();
    const auto name = xml.name();
    if (name == QLatin1String("svg")) {
      svg.Width = a.value("width").toDouble();
      svg.Height = a.value("height").toDouble();
    } else if (name == QLatin1String("circle")) {
      svg.Circles.push_back(
          {a.value("cx").toDouble(), a.value("cy").toDouble(), a.value("r").toDouble()});
    } else if (name == QLatin1String("line")) {
      ++svg.Lines;
    } else if (name == QLatin1String("text")) {
      const double x = a.value("x").toDouble(), y = a.value("y").toDouble();
      svg.Captions.push_back({x, y, xml.readElementText().toStdString()});
    }
  }
  svg.WellFormed = !xml.hasError();
  return svg;
}

std::string SvgOf(const ElementArrays& arrays) {
  std::ostringstream out;
  EXPECT_TRUE(WriteSvg(out, arrays));
  return out.str();
}

class SvgExportTest : public DrawingTest::DrawingFixture {};

TEST_F(SvgExportTest, SevenNodesGiveSevenCirclesWithTheirCaptionsInPlace) {
  DrawingTest::BuildAndDraw(arrays, {4, 2, 6, 1, 3, 5, 7});
  const ParsedSvg svg = Parse(QByteArray::fromStdString(SvgOf(arrays)));
  ASSERT_TRUE(svg.WellFormed);
  ASSERT_EQ(svg.Circles.size(), 7u);
  ASSERT_EQ(svg.Captions.size(), 7u);
  EXPECT_EQ(svg.Lines, 6);

  // Where the layout puts each value: in-order neighbours one slot of the
  // bottom row apart, one row of two node units per level; 15 twips a pixel,
  // an 8-pixel margin, node 1's circle (the leftmost) and the root's row at it.
  const double u = 375, slot = std::ldexp(u, LayoutLevels - 3) / 15.0;
  const double radius = u / 30.0, row = 2 * u / 15.0;
  const std::map<std::string, std::pair<double, double>> expected = {
      {"1", {0 * slot, 2 * row}}, {"2", {1 * slot, 1 * row}}, {"3", {2 * slot, 2 * row}},
      {"4", {3 * slot, 0 * row}}, {"5", {4 * slot, 2 * row}}, {"6", {5 * slot, 1 * row}},
      {"7", {6 * slot, 2 * row}}};
  for (const Caption& c : svg.Captions) {
    SCOPED_TRACE(c.Text);
    ASSERT_EQ(expected.count(c.Text), 1u);
    const auto [dx, dy] = expected.at(c.Text);
    EXPECT_NEAR(c.X, 8 + radius + dx, 0.01);
    // The label is 255 twips high, 90 below its circle's top: its middle is
    // 217.5 twips down.
    EXPECT_NEAR(c.Y, 8 + 217.5 / 15 + dy, 0.01);
    // Its circle is there, around it.
    const auto around = std::count_if(svg.Circles.begin(), svg.Circles.end(), [&](const Circle& k) {
      return std::abs(k.Cx - c.X) < 0.01 && std::abs(k.Cy - (8 + radius + dy)) < 0.01 && k.R > 10 &&
             k.R <= radius;
    });
    EXPECT_EQ(around, 1);
  }
  EXPECT_NEAR(svg.Width, 6 * slot + 2 * radius + 16, 0.01);
}

TEST_F(SvgExportTest, CaptionsKeepTheirSignAndAreEscaped) {
  DrawingTest::BuildAndDraw(arrays, {-32768});
  ParsedSvg svg = Parse(QByteArray::fromStdString(SvgOf(arrays)));
  ASSERT_EQ(svg.Captions.size(), 1u);
  EXPECT_EQ(svg.Captions[0].Text, "-32768");
  arrays.TreeNode[0].Caption = "<&>";
  svg = Parse(QByteArray::fromStdString(SvgOf(arrays)));
  ASSERT_TRUE(svg.WellFormed);
  ASSERT_EQ(svg.Captions.size(), 1u);
  EXPECT_EQ(svg.Captions[0].Text, "<&>");
}

TEST_F(SvgExportTest, HiddenElementsAreLeftOut) {
  DrawingTest::BuildAndDraw(arrays, {5, 3, 8});
  DrawingTest::HideTemplates(arrays);  // as Clear Tree leaves element 0
  const ParsedSvg svg = Parse(QByteArray::fromStdString(SvgOf(arrays)));
  ASSERT_TRUE(svg.WellFormed);
  EXPECT_EQ(svg.Circles.size(), 2u);
  EXPECT_EQ(svg.Captions.size(), 2u);
}

// The largest tree the tool draws: the whole picture is well-formed XML with
// a circle per node, and a real SVG renderer reads it.
TEST_F(SvgExportTest, LargestTreeGivesAWholePicture) {
  std::vector<std::int16_t> values(32767);
  std::iota(values.begin(), values.end(), std::int16_t{-16383});
  std::shuffle(values.begin(), values.end(), std::mt19937(7));
  ResetTree(MainTree, false);
  for (const std::int16_t v : values) InsertValue(MainTree, v);
  DrawingTest::ShowTree(arrays);
  ASSERT_EQ(DrawnElementCount, 32767);

  const fs::path dir = fs::temp_directory_path() / ("svgexport-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path file = dir / "large.svg";
  ASSERT_EQ(SaveSvg(file.string(), arrays), "");
  QFile in(QString::fromStdString(file.string()));
  ASSERT_TRUE(in.open(QIODevice::ReadOnly));
  const ParsedSvg svg = Parse(in.readAll());
  EXPECT_TRUE(svg.WellFormed);
  EXPECT_EQ(svg.Circles.size(), 32767u);
  EXPECT_EQ(svg.Captions.size(), 32767u);
  EXPECT_EQ(svg.Lines, 32766);

  // rsvg-convert renders it, squeezed into a small bitmap.
  if (std::system("command -v rsvg-convert >/dev/null 2>&1") == 0) {
    const std::string command = "rsvg-convert -w 2000 -h 200 -o '" + (dir / "large.png").string() +
                                "' '" + file.string() + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_GT(fs::file_size(dir / "large.png"), 1000u);
  } else {
    ADD_FAILURE() << "rsvg-convert not installed (librsvg2-bin)";
  }
  fs::remove_all(dir);
}

TEST_F(SvgExportTest, FailuresLeaveNothingHalfWritten) {
  DrawingTest::BuildAndDraw(arrays, {5, 3, 8});
  const fs::path dir = fs::temp_directory_path() / ("svgfail-" + std::to_string(::getpid()));
  fs::create_directories(dir / "taken");
  // A folder that does not exist, and a name taken by a folder.
  for (const fs::path& target : {dir / "missing" / "tree.svg", dir / "taken"}) {
    SCOPED_TRACE(target.string());
    const std::string error = SaveSvg(target.string(), arrays);
    EXPECT_NE(error, "");
    EXPECT_FALSE(fs::exists(target.string() + ".tmp"));
  }
  EXPECT_TRUE(fs::is_directory(dir / "taken"));
  // A picture already there is replaced whole.
  const fs::path kept = dir / "tree.svg";
  std::ofstream(kept) << "old";
  EXPECT_EQ(SaveSvg(kept.string(), arrays), "");
  const ParsedSvg svg = Parse([&] {
    QFile f(QString::fromStdString(kept.string()));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }());
  EXPECT_TRUE(svg.WellFormed);
  EXPECT_EQ(svg.Circles.size(), 3u);
  EXPECT_FALSE(fs::exists(kept.string() + ".tmp"));
  fs::remove_all(dir);
}

TEST(PictureExtentTest, CoversEveryVisibleElementAndNothingHidden) {
  ElementArrays arrays;
  EXPECT_TRUE(VisibleExtent(arrays).Empty == false);  // the templates start visible
  arrays.TreeNode[0].Visible = arrays.ShNode[0].Visible = arrays.LnNode[0].Visible = false;
  EXPECT_TRUE(VisibleExtent(arrays).Empty);
  arrays.ShNode[0].Visible = true;
  arrays.ShNode[0].Left = 750;
  arrays.LnNode[0].Visible = true;
  arrays.LnNode[0].X1 = 2000;
  arrays.LnNode[0].Y1 = 900;
  arrays.LnNode[0].X2 = 1000;
  arrays.LnNode[0].Y2 = 100;
  const Extent e = VisibleExtent(arrays);
  EXPECT_FALSE(e.Empty);
  EXPECT_EQ(e.Left, 750);
  EXPECT_EQ(e.Top, 0);
  EXPECT_EQ(e.Right, 2000);
  EXPECT_EQ(e.Bottom, 900);
}

TEST(PictureExtentTest, FitScales) {
  struct Case {
    double Width, Height;
    int Long;
    double X, Y;  // pixels per twip
  } const cases[] = {
      // Small drawings grow uniformly to the long side.
      {3000, 1500, 4096, 4096 / 3000.0, 4096 / 3000.0},
      {1500, 3000, 4096, 4096 / 3000.0, 4096 / 3000.0},
      // A deep tree's wide drawing: the long side fits, the short side keeps
      // its 100 % size (here within a quarter of 4096 pixels).
      {12288000, 11250, 4096, 4096 / 12288000.0, 1 / 15.0},
      // ... unless that is more than a quarter of the long side.
      {12288000, 90000, 4096, 4096 / 12288000.0, 1024 / 90000.0},
      {11250, 12288000, 16384, 1 / 15.0, 16384 / 12288000.0},
  };
  for (const Case& c : cases) {
    const Scales s = FitScales(c.Width, c.Height, c.Long);
    EXPECT_DOUBLE_EQ(s.X, c.X) << c.Width << "x" << c.Height;
    EXPECT_DOUBLE_EQ(s.Y, c.Y) << c.Width << "x" << c.Height;
    EXPECT_LE(std::max(c.Width * s.X, c.Height * s.Y), c.Long + 1e-6);
  }
}

}  // namespace
