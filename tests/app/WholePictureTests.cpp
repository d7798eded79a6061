// `treetest --export` pictures are one connected drawing: squeezed across
// more than down, or fitted, every line still meets both of its circles.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QFile>
#include <QImage>
#include <QXmlStreamReader>
#include <array>
#include <cmath>
#include <filesystem>
#include <numeric>
#include <random>
#include <vector>

namespace {

namespace fs = std::filesystem;

int Treetest(const std::string& arguments) {
  const int raw = std::system(("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                               std::string(TREETEST_BINARY) + "' " + arguments + " >/dev/null 2>&1")
                                  .c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string List(std::vector<int> values) {
  std::string list;
  for (const int v : values) list.append(list.empty() ? "" : ",").append(std::to_string(v));
  return list;
}

std::vector<int> Random(std::size_t n) {
  std::vector<int> values(65536);
  std::iota(values.begin(), values.end(), -32768);
  std::shuffle(values.begin(), values.end(), std::mt19937(34));
  values.resize(n);
  return values;
}

// Pieces of ink (anything not white), touching pixels counted as one.
int Pieces(const QImage& image) {
  const int w = image.width(), h = image.height();
  std::vector<char> seen(static_cast<std::size_t>(w) * h, 0);
  auto ink = [&](int x, int y) { return qGray(image.pixel(x, y)) < 250; };
  int pieces = 0;
  std::vector<std::pair<int, int>> stack;
  for (int y0 = 0; y0 < h; ++y0)
    for (int x0 = 0; x0 < w; ++x0) {
      if (seen[y0 * w + x0] || !ink(x0, y0)) continue;
      ++pieces;
      seen[y0 * w + x0] = 1;
      stack.assign(1, {x0, y0});
      while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int u = x + dx, v = y + dy;
            if (u < 0 || v < 0 || u >= w || v >= h || seen[v * w + u] || !ink(u, v)) continue;
            seen[v * w + u] = 1;
            stack.push_back({u, v});
          }
      }
    }
  return pieces;
}

class WholePictureTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
  const fs::path dir = fs::temp_directory_path() / ("whole-" + std::to_string(::getpid()));
};

TEST_F(WholePictureTest, PngIsOnePieceInBothLayoutsFittedOrNot) {
  std::vector<int> ascending(500);
  std::iota(ascending.begin(), ascending.end(), 1);
  const std::pair<std::string, std::string> cases[] = {
      {"", List(Random(200))},                   // squeezed 6 times across: dots
      {"--layout compact", List(ascending)},     // squeezed a little: circles
      {"--layout compact", List(Random(2000))},  // dots
      {"--fit 1000", List(Random(200))},         // one scale
      {"--layout compact --fit 3000", List(Random(200))}};
  for (const auto& [options, list] : cases) {
    const std::string png = (dir / "t.png").string();
    ASSERT_EQ(Treetest("--export " + png + " " + options + " " + list), 0) << options;
    EXPECT_EQ(Pieces(QImage(QString::fromStdString(png))), 1) << options << " " << list.size();
  }
}

// The SVG is at 100 %: each line runs from inside one circle to inside another.
TEST_F(WholePictureTest, SvgLinesEndInTwoCircles) {
  const fs::path svg = dir / "t.svg";
  ASSERT_EQ(Treetest("--export " + svg.string() + " " + List(Random(200))), 0);
  QFile f(QString::fromStdString(svg.string()));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  std::vector<std::array<double, 3>> circles;
  std::vector<std::array<double, 4>> lines;
  QXmlStreamReader xml(&f);
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    auto n = [&](const char* name) {
      return xml.attributes().value(QLatin1String(name)).toDouble();
    };
    if (xml.name() == QLatin1String("circle")) circles.push_back({n("cx"), n("cy"), n("r")});
    if (xml.name() == QLatin1String("line")) lines.push_back({n("x1"), n("y1"), n("x2"), n("y2")});
  }
  ASSERT_EQ(circles.size(), 200u);
  ASSERT_EQ(lines.size(), 199u);
  auto circleAt = [&](double x, double y) {
    for (std::size_t i = 0; i < circles.size(); ++i)
      if (std::hypot(x - circles[i][0], y - circles[i][1]) <= circles[i][2] + 0.5) return int(i);
    return -1;
  };
  for (const auto& l : lines) {
    const int a = circleAt(l[0], l[1]), b = circleAt(l[2], l[3]);
    EXPECT_TRUE(a >= 0 && b >= 0 && a != b) << l[0] << "," << l[1] << " " << l[2] << "," << l[3];
  }
}

}  // namespace
