// The spatial lookup behind painting and hit testing, and the mapping of
// twips onto scroll bar positions.
#include <QTest>
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>

#include "ElementIndex.h"
#include "view/geometry/ScrollScale.h"

using TreeUi::Box;
using TreeUi::ElementIndex;
using TreeUi::ScrollScale;

namespace {

bool Meets(const Box& a, const Box& b) {
  return a.X0 <= b.X1 && b.X0 <= a.X1 && a.Y0 <= b.Y1 && b.Y0 <= a.Y1;
}

std::set<int> Query(const ElementIndex& index, const Box& area) {
  std::set<int> found;
  index.Query(area, [&](std::int32_t k) {
    const bool fresh = found.insert(k).second;
    QVERIFY2(fresh, "an element was reported twice");
  });
  return found;
}

}  // namespace

class LookupTests : public QObject {
  Q_OBJECT

 private slots:
  // Against a plain scan: boxes of mixed sizes (long thin lines across most
  // of the drawing among small nodes), reversed corners, areas anywhere.
  void indexFindsExactlyWhatMeetsTheArea_data() {
    QTest::addColumn<int>("seed");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("spread");
    QTest::newRow("few, close") << 1 << 20 << 2000.0;
    QTest::newRow("many, wide") << 2 << 3000 << 1e6;
    QTest::newRow("many, dense") << 3 << 3000 << 5000.0;
    QTest::newRow("single") << 4 << 1 << 100.0;
  }
  void indexFindsExactlyWhatMeetsTheArea() {
    QFETCH(int, seed);
    QFETCH(int, count);
    QFETCH(double, spread);
    std::mt19937 random(static_cast<unsigned>(seed));
    std::uniform_real_distribution<double> where(-spread, spread);
    std::uniform_real_distribution<double> size(0, 400);
    std::vector<ElementIndex::Item> items;
    for (int i = 0; i < count; ++i) {
      const double x = where(random), y = where(random);
      Box b{x, y, x + size(random), y + size(random)};
      if (i % 7 == 0) b.X1 = x + where(random);  // a long line, either way
      if (i % 11 == 0) std::swap(b.Y0, b.Y1);
      items.push_back({b, i});
    }
    ElementIndex index;
    index.Build(items);
    QCOMPARE(index.Size(), items.size());
    for (int q = 0; q < 200; ++q) {
      const double x = where(random), y = where(random);
      const double w = q % 3 == 0 ? 0 : size(random) * 10, hgt = q % 3 == 0 ? 0 : size(random) * 5;
      const Box area{x, y, x + w, y + hgt};
      std::set<int> expected;
      for (const auto& item : items) {
        Box b = item.Bounds;
        if (b.X1 < b.X0) std::swap(b.X0, b.X1);
        if (b.Y1 < b.Y0) std::swap(b.Y0, b.Y1);
        if (Meets(b, area)) expected.insert(item.Index);
      }
      QCOMPARE(Query(index, area), expected);
    }
  }

  void indexLeavesOutWhatCannotBeSeen() {
    ElementIndex index;
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    index.Build({{Box{0, 0, 10, 10}, 1},
                 {Box{nan, 0, 10, 10}, 2},
                 {Box{0, 0, inf, 10}, 3},
                 {Box{1e300, 1e300, 1e300, 1e300}, 4}});
    QCOMPARE(index.Size(), std::size_t{2});
    QCOMPARE(Query(index, Box{-1e308, -1e308, 1e308, 1e308}), (std::set<int>{1, 4}));
    QCOMPARE(Query(index, Box{5, 5, 5, 5}), (std::set<int>{1}));
    index.Clear();
    QVERIFY(Query(index, Box{0, 0, 10, 10}).empty());
  }

  void scrollScale_data() {
    QTest::addColumn<double>("extent");
    QTest::addColumn<double>("page");
    QTest::addColumn<double>("unit");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("singleStep");
    QTest::addColumn<int>("pageStep");
    QTest::newRow("nothing to scroll") << 0.0 << 6855.0 << 1.0 << 0 << 100 << 6855;
    QTest::newRow("halves to even") << 2.5 << 6855.0 << 1.0 << 2 << 100 << 6855;
    QTest::newRow("32767-node drawing") << 24575940.0 << 6855.0 << 1.0 << 24575940 << 100 << 6855;
    QTest::newRow("largest in twips") << 1073741824.0 << 6855.0 << 1.0 << 1073741824 << 100 << 6855;
    QTest::newRow("one twip more") << 1073741825.0 << 6855.0 << 2.0 << 536870913 << 50 << 3427;
    QTest::newRow("coarse") << 1e12 << 6855.0 << 1024.0 << 976562500 << 1 << 6;
    QTest::newRow("no page") << 100.0 << 0.0 << 1.0 << 100 << 100 << 1;
  }
  void scrollScale() {
    QFETCH(double, extent);
    QFETCH(double, page);
    QFETCH(double, unit);
    QFETCH(int, maximum);
    QFETCH(int, singleStep);
    QFETCH(int, pageStep);
    const ScrollScale s = ScrollScale::For(extent, 100, page);
    QCOMPARE(s.Unit, unit);
    QCOMPARE(s.Maximum, maximum);
    QCOMPARE(s.SingleStep, singleStep);
    QCOMPARE(s.PageStep, pageStep);
    // A page never moves by more than the viewport: nothing is skipped.
    if (page > 0) QVERIFY(s.PageStep * s.Unit <= page);
    // The last position shows the end of the range; positions map back.
    QCOMPARE(s.Offset(s.Maximum), unit == 1 ? double(maximum) : extent);
    QCOMPARE(s.Offset(0), 0.0);
    QCOMPARE(s.Position(s.Offset(s.Maximum / 3)), s.Maximum / 3);
    QCOMPARE(s.Position(1e308), s.Maximum);
    QCOMPARE(s.Position(-1), 0);
  }

  void scrollScaleAtTheEdgeOfFloat() {
    for (double extent :
         {std::numeric_limits<double>::infinity(), 1e300, double(std::numeric_limits<float>::max()),
          std::numeric_limits<double>::quiet_NaN()}) {
      const ScrollScale s = ScrollScale::For(extent, 100, 6855);
      QVERIFY(s.Maximum >= 0 && s.Maximum <= ScrollScale::MaxPositions);
      QVERIFY(s.PageStep >= 1 && s.SingleStep >= 1);
      QVERIFY(std::isfinite(s.Offset(s.Maximum)));
      if (std::isfinite(extent)) QCOMPARE(s.Offset(s.Maximum), extent);
    }
  }
};

QTEST_APPLESS_MAIN(LookupTests)
#include "LookupTests.moc"
