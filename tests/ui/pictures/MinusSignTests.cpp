// A caption wider than its circle (the slot layout at 100 %) keeps its minus
// sign: in the window, in a PNG and in an SVG the minus is a mark of its own,
// not a bump on the ring.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <utility>
#include <vector>

#include "SvgExport.h"
#include "UiTestSupport.h"
#include "pictures/PictureRender.h"

using UiTest::Harness;

namespace {

// Whether, left of `centre` and within `reach` pixels of it, a short flat
// dark mark stands free of every other dark pixel: a visible minus sign.
bool MinusShows(const QImage& image, QPointF centre, double reach) {
  const QRect area(QPoint(int(centre.x() - reach), int(centre.y() - reach / 2)),
                   QPoint(int(centre.x()) - 2, int(centre.y() + reach / 2)));
  auto dark = [&](QPoint p) { return area.contains(p) && qGray(image.pixel(p)) < 150; };
  std::vector<QPoint> seen;
  auto known = [&](QPoint p) { return std::find(seen.begin(), seen.end(), p) != seen.end(); };
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      if (!dark({x, y}) || known({x, y})) continue;
      QRect mark(x, y, 1, 1);
      bool edge = false;
      std::vector<QPoint> todo{{x, y}};
      seen.push_back({x, y});
      while (!todo.empty()) {
        const QPoint p = todo.back();
        todo.pop_back();
        mark |= QRect(p, QSize(1, 1));
        edge = edge || p.x() == area.left() || p.y() == area.top() || p.y() == area.bottom();
        for (const QPoint d : {QPoint(-1, -1), QPoint(0, -1), QPoint(1, -1), QPoint(-1, 0),
                               QPoint(1, 0), QPoint(-1, 1), QPoint(0, 1), QPoint(1, 1)})
          if (dark(p + d) && !known(p + d)) {
            seen.push_back(p + d);
            todo.push_back(p + d);
          }
      }
      if (!edge && mark.height() <= 2 && mark.width() >= 2 && mark.width() <= 6) return true;
    }
  return false;
}

}  // namespace

class MinusSignTests : public QObject {
  Q_OBJECT

 private slots:
  void minusSignsShowAtFullSize_data() {
    QTest::addColumn<QString>("picture");
    for (const char* picture : {"window", "png", "svg"}) QTest::newRow(picture) << picture;
  }
  void minusSignsShowAtFullSize() {
    QFETCH(QString, picture);
    Harness h;
    h.GetTree(QStringLiteral("100,-32768,20000,-843,-20000,843,32767"));
    const TreeCore::ElementArrays& elements = h.Window->Elements();
    // Where the pictures put the drawing: 8 pixels in from its top-left corner.
    const TreeCore::Extent e = TreeCore::VisibleExtent(elements);
    TreeUi::ViewTransform at;
    at.OffsetX = TreeCore::PictureMargin - e.Left * at.ScaleX;
    at.OffsetY = TreeCore::PictureMargin - e.Top * at.ScaleY;
    QImage image;
    if (picture == QLatin1String("window")) {
      image = h.Surface()->grab().toImage();
      at = h.Surface()->Transform();
    } else if (picture == QLatin1String("png")) {
      image = TreeUi::RenderPicture(elements, {});
    } else {
      QTemporaryDir dir;
      const QString svg = dir.filePath(QStringLiteral("t.svg"));
      std::ofstream out(svg.toStdString());
      QVERIFY(TreeCore::WriteSvg(out, elements));
      out.close();
      QCOMPARE(
          QProcess::execute(QStringLiteral("rsvg-convert"),
                            {QStringLiteral("-o"), dir.filePath(QStringLiteral("t.png")), svg}),
          0);
      image = QImage(dir.filePath(QStringLiteral("t.png")));
    }
    QVERIFY(!image.isNull());
    // Values without a minus sign show no such mark.
    for (const auto& [caption, minus] :
         {std::pair{"-32768", true}, std::pair{"-843", true}, std::pair{"-20000", true},
          std::pair{"32767", false}, std::pair{"20000", false}}) {
      std::int16_t k = 0;
      while (elements.TreeNode[k].Caption != caption) ++k;
      const TreeCore::Shape& s = elements.ShNode[k];
      const QPointF centre(at.DeviceX(s.Left + s.Width / 2), at.DeviceY(s.Top + s.Height / 2));
      QVERIFY2(MinusShows(image, centre, s.Width * at.ScaleX / 2 + 6) == minus, caption);
    }
  }
};

QTEST_MAIN(MinusSignTests)
#include "MinusSignTests.moc"
