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
#include <string>

namespace {

namespace fs = std::filesystem;

struct Circle {
  double X, Y, R;
};
struct Svg {
  double Width = 0;
  std::vector<Circle> Circles;
  std::vector<std::array<double, 4>> Lines;
  std::vector<std::string> Texts;
  double SmallestFont = 1e9;
};

Svg Read(const fs::path& file) {
  QFile f(QString::fromStdString(file.string()));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  Svg svg;
  QXmlStreamReader xml(&f);
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const auto a = xml.attributes();
    auto number = [&](const char* name) { return a.value(QLatin1String(name)).toDouble(); };
    if (a.hasAttribute(QLatin1String("font-size")))
      svg.SmallestFont = std::min(svg.SmallestFont, number("font-size"));
    if (xml.name() == QLatin1String("svg")) svg.Width = number("width");
    if (xml.name() == QLatin1String("circle"))
      svg.Circles.push_back({number("cx"), number("cy"), number("r")});
    if (xml.name() == QLatin1String("line"))
      svg.Lines.push_back({number("x1"), number("y1"), number("x2"), number("y2")});
    if (xml.name() == QLatin1String("text"))
      svg.Texts.push_back(xml.readElementText().toStdString());
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
  void SetUp() override {
    dir = fs::temp_directory_path() / ("compact-export-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::vector<int> v(1999);
    std::iota(v.begin(), v.end(), -999);
    std::shuffle(v.begin(), v.end(), std::mt19937(27));
    values.assign(v.begin(), v.begin() + 100);
    for (const int x : values) {
      if (!list.empty()) list += ',';
      list += std::to_string(x);
    }
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
  std::vector<int> values;
  std::string list;
};

TEST_F(CompactExportTest, SvgOfAHundredValuesIsReadable) {
  ASSERT_EQ(Treetest("--export " + (dir / "t.svg").string() + " --layout compact " + list), 0);
  const Svg svg = Read(dir / "t.svg");
  ASSERT_EQ(svg.Circles.size(), 100u);
  std::vector<std::string> expected;
  for (const int v : values) expected.push_back(std::to_string(v));
  std::vector<std::string> texts = svg.Texts;
  std::sort(texts.begin(), texts.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(texts, expected);
  EXPECT_GE(svg.SmallestFont, 8);
  const double diameter = 2 * svg.Circles[0].R;
  EXPECT_LE(svg.Width, 100 * (diameter + 8) + 2 * 8 + 2);

  std::map<double, std::vector<double>> rows;
  for (const Circle& c : svg.Circles) rows[c.Y].push_back(c.X);
  for (auto& [y, xs] : rows) {
    std::sort(xs.begin(), xs.end());
    for (std::size_t i = 1; i < xs.size(); ++i) EXPECT_GT(xs[i] - xs[i - 1], diameter) << y;
  }
  for (const auto& l : svg.Lines)
    for (int end = 0; end < 4; end += 2)
      EXPECT_TRUE(std::any_of(
          svg.Circles.begin(), svg.Circles.end(),
          [&](const Circle& c) { return std::hypot(l[end] - c.X, l[end + 1] - c.Y) <= c.R; }))
          << l[end] << "," << l[end + 1];
}

TEST_F(CompactExportTest, FittedPngIsInkedAlongEveryEdge) {
  ASSERT_EQ(Treetest("--export " + (dir / "t.svg").string() + " --layout compact " + list), 0);
  ASSERT_EQ(
      Treetest("--export " + (dir / "t.png").string() + " --layout compact --fit 2048 " + list), 0);
  const Svg svg = Read(dir / "t.svg");
  const QImage png(QString::fromStdString((dir / "t.png").string()));
  ASSERT_EQ(std::max(png.width(), png.height()), 2048);
  // The SVG is at 100 %; the PNG the same picture scaled about its margin.
  const double k = (png.width() - 16) / (svg.Width - 16);
  auto to = [&](double v) { return (v - 8) * k + 8; };
  for (const auto& l : svg.Lines) {
    const double x1 = to(l[0]), y1 = to(l[1]), x2 = to(l[2]), y2 = to(l[3]);
    const double length = std::hypot(x2 - x1, y2 - y1);
    // Only the stretch between the two circles: inside them is their fill.
    auto inCircle = [&](double x, double y) {
      return std::any_of(svg.Circles.begin(), svg.Circles.end(), [&](const Circle& c) {
        return std::hypot(x - to(c.X), y - to(c.Y)) <= c.R * k;
      });
    };
    for (double t = 0; t <= length; t += 0.5) {
      const double x = x1 + (x2 - x1) * t / length, y = y1 + (y2 - y1) * t / length;
      if (inCircle(x, y)) continue;
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
  struct Case {
    std::string Options;
    int Status, Longer;
  } cases[] = {{"--fit 300", 0, 300},   {"--fit 1", 0, 1},        {"--fit 5000", 0, 5000},
               {"--fit 0", 2, 0},       {"--fit 16385", 2, 0},    {"--fit x", 2, 0},
               {"--layout tidy", 2, 0}, {"--layout slots", 0, -1}};
  for (const Case& c : cases) {
    fs::remove(png);
    EXPECT_EQ(Treetest("--export " + png + " " + c.Options + " 5,3,8"), c.Status) << c.Options;
    const QSize size = QImageReader(QString::fromStdString(png)).size();
    if (c.Longer > 0) {
      EXPECT_EQ(std::max(size.width(), size.height()), c.Longer) << c.Options;
    }
    if (c.Status != 0) {
      EXPECT_FALSE(fs::exists(png)) << c.Options;
    }
  }
  EXPECT_EQ(Treetest("--export " + (dir / "f.svg").string() + " --fit 300 5,3,8"), 2);
}

}  // namespace
