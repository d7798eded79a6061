// `treetest --export FILE --layout compact [--fit N] LIST`, checked on the
// files as a reader would: a readable SVG and a fitted PNG without gaps.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <numeric>
#include <random>

namespace {

namespace fs = std::filesystem;

struct Svg {
  double Width = 0, SmallestFont = 1e9;
  std::vector<std::array<double, 3>> Circles;  // x, y, r
  std::vector<std::array<double, 4>> Lines;
  std::vector<std::string> Texts;
};

Svg Read(const fs::path& file) {
  QFile f(QString::fromStdString(file.string()));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  Svg svg;
  QXmlStreamReader xml(&f);
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const auto a = xml.attributes();
    auto n = [&](const char* name) { return a.value(QLatin1String(name)).toDouble(); };
    const auto name = xml.name();
    if (a.hasAttribute(QLatin1String("font-size")))
      svg.SmallestFont = std::min(svg.SmallestFont, n("font-size"));
    if (name == QLatin1String("svg")) svg.Width = n("width");
    if (name == QLatin1String("circle")) svg.Circles.push_back({n("cx"), n("cy"), n("r")});
    if (name == QLatin1String("line")) svg.Lines.push_back({n("x1"), n("y1"), n("x2"), n("y2")});
    if (name == QLatin1String("text")) svg.Texts.push_back(xml.readElementText().toStdString());
  }
  EXPECT_FALSE(xml.hasError());
  return svg;
}

int Treetest(const std::string& arguments) {
  const int raw = std::system(("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                               std::string(TREETEST_BINARY) + "' " + arguments + " >/dev/null 2>&1")
                                  .c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

class CompactExportTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
  const fs::path dir = fs::temp_directory_path() / ("compact-" + std::to_string(::getpid()));
};

TEST_F(CompactExportTest, HundredValuesAsSvgAndFittedPng) {
  std::vector<int> values(1999);
  std::iota(values.begin(), values.end(), -999);
  std::shuffle(values.begin(), values.end(), std::mt19937(27));
  values.resize(100);
  std::vector<std::string> expected;
  for (const int x : values) expected.push_back(std::to_string(x));
  std::string list = expected[0];
  for (std::size_t i = 1; i < expected.size(); ++i) list.append(",").append(expected[i]);
  ASSERT_EQ(Treetest("--export " + (dir / "t.svg").string() + " --layout compact " + list), 0);
  ASSERT_EQ(
      Treetest("--export " + (dir / "t.png").string() + " --layout compact --fit 2048 " + list), 0);
  Svg svg = Read(dir / "t.svg");
  ASSERT_EQ(svg.Circles.size(), 100u);
  std::sort(svg.Texts.begin(), svg.Texts.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(svg.Texts, expected);  // the values, and no other text
  EXPECT_GE(svg.SmallestFont, 8);
  const double diameter = 2 * svg.Circles[0][2];
  EXPECT_LE(svg.Width, 100 * (diameter + 8) + 2 * 8 + 2);
  std::map<double, std::vector<double>> rows;
  for (const auto& c : svg.Circles) rows[c[1]].push_back(c[0]);
  for (auto& [y, xs] : rows) {
    std::sort(xs.begin(), xs.end());
    for (std::size_t i = 1; i < xs.size(); ++i) EXPECT_GT(xs[i] - xs[i - 1], diameter) << y;
  }
  // k: PNG pixels per SVG pixel, both about their 8-pixel margins.
  const QImage png(QString::fromStdString((dir / "t.png").string()));
  ASSERT_EQ(std::max(png.width(), png.height()), 2048);
  const double k = (png.width() - 16) / (svg.Width - 16);
  auto inCircle = [&](double x, double y, double scale) {
    return std::any_of(svg.Circles.begin(), svg.Circles.end(), [&](const auto& c) {
      return std::hypot(x - ((c[0] - 8) * scale + 8), y - ((c[1] - 8) * scale + 8)) <= c[2] * scale;
    });
  };
  for (const auto& l : svg.Lines) {
    EXPECT_TRUE(inCircle(l[0], l[1], 1) && inCircle(l[2], l[3], 1)) << l[0] << "," << l[1];
    // Between the circles the PNG is inked within a pixel of the line.
    const double x1 = (l[0] - 8) * k + 8, y1 = (l[1] - 8) * k + 8;
    const double x2 = (l[2] - 8) * k + 8, y2 = (l[3] - 8) * k + 8;
    const double length = std::hypot(x2 - x1, y2 - y1);
    for (double t = 0; t <= length; t += 0.5) {
      const double x = x1 + (x2 - x1) * t / length, y = y1 + (y2 - y1) * t / length;
      if (inCircle(x, y, k)) continue;
      int darkest = 255;
      for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
          darkest =
              std::min(darkest, qGray(png.pixel(std::clamp(int(x) + dx, 0, png.width() - 1),
                                                std::clamp(int(y) + dy, 0, png.height() - 1))));
      ASSERT_LT(darkest, 235) << "gap at " << x << "," << y;
    }
  }
}

TEST_F(CompactExportTest, FitSizesAndUsageErrors) {
  const std::string png = (dir / "f.png").string();
  const std::tuple<std::string, int, int> cases[] = {
      {"--fit 300", 0, 300}, {"--fit 1", 0, 1}, {"--fit 5000", 0, 5000}, {"--fit 0", 2, 0},
      {"--fit 16385", 2, 0}, {"--fit x", 2, 0}, {"--layout tidy", 2, 0}, {"--layout slots", 0, 0}};
  for (const auto& [options, status, longer] : cases) {
    fs::remove(png);
    EXPECT_EQ(Treetest("--export " + png + " " + options + " 5,3,8"), status) << options;
    const QSize size = QImageReader(QString::fromStdString(png)).size();
    EXPECT_EQ(longer == 0 || std::max(size.width(), size.height()) == longer, true) << options;
    EXPECT_EQ(fs::exists(png), status == 0) << options;
  }
  EXPECT_EQ(Treetest("--export " + (dir / "f.svg").string() + " --fit 300 5,3,8"), 2);
}

}  // namespace
