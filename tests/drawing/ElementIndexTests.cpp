// The spatial lookup built with each element's band worked out once: what a
// query finds is what a plain scan finds, for rows as the drawing makes them,
// for rows out of order, and for bands too far apart to deal into buckets.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "ElementIndex.h"

using TreeUi::Box;
using TreeUi::ElementIndex;

namespace {

std::set<int> Scan(const std::vector<ElementIndex::Item>& items, const Box& a) {
  std::set<int> found;
  for (const auto& i : items) {
    Box b = i.Bounds;
    if (b.X1 < b.X0) std::swap(b.X0, b.X1);
    if (b.Y1 < b.Y0) std::swap(b.Y0, b.Y1);
    if (b.X0 <= a.X1 && a.X0 <= b.X1 && b.Y0 <= a.Y1 && a.Y0 <= b.Y1) found.insert(i.Index);
  }
  return found;
}

std::set<int> Query(const ElementIndex& index, const Box& a) {
  std::set<int> found;
  index.Query(a, [&](std::int32_t k) { EXPECT_TRUE(found.insert(k).second) << k << " twice"; });
  return found;
}

struct Layout {
  const char* Name;
  std::vector<ElementIndex::Item> Items;
  double Extent;
};

// Nodes on rows 750 twips apart, each row created left to right as the
// drawing pass creates it (pre-order), or shuffled.
std::vector<ElementIndex::Item> Rows(int levels, bool shuffled, unsigned seed) {
  std::vector<ElementIndex::Item> items;
  int k = 0;
  for (int level = 0; level < levels; ++level)
    for (int i = 0; i < (1 << level); ++i) {
      const double width = 60000.0 / (1 << level);
      const double x = i * width + width / 2, y = level * 750.0 + 90;
      items.push_back({Box{x, y, x + 375, y + 255}, k++});
    }
  if (shuffled) std::shuffle(items.begin(), items.end(), std::mt19937(seed));
  return items;
}

}  // namespace

TEST(ElementIndexTest, FindsWhatAPlainScanFinds) {
  std::vector<ElementIndex::Item> farApart;
  for (int i = 0; i < 50; ++i) {
    const double y = (i % 2 == 0 ? 1 : -1) * 1e12 * i;  // bands far too sparse to bucket
    farApart.push_back({Box{i * 10.0, y, i * 10.0 + 300, y + 200}, i});
  }
  std::vector<ElementIndex::Item> oneRowBackwards;
  for (int i = 0; i < 300; ++i)
    oneRowBackwards.push_back({Box{(300 - i) * 400.0, 10, (300 - i) * 400.0 + 375, 265}, i});
  const Layout layouts[] = {
      {"rows in drawing order", Rows(10, false, 0), 60000},
      {"rows shuffled", Rows(10, true, 1), 60000},
      {"bands far apart", farApart, 5e13},
      {"one row, right to left", oneRowBackwards, 130000},
      {"nothing", {}, 100},
  };
  for (const Layout& l : layouts) {
    SCOPED_TRACE(l.Name);
    ElementIndex index;
    index.Build(l.Items);
    EXPECT_EQ(index.Size(), l.Items.size());
    std::mt19937 random(7);
    std::uniform_real_distribution<double> where(-l.Extent * 0.1, l.Extent * 1.1);
    std::uniform_real_distribution<double> size(0, l.Extent / 4);
    for (int q = 0; q < 400; ++q) {
      const double x = where(random), y = where(random);
      const Box area{x, y, x + size(random), y + size(random)};
      ASSERT_EQ(Query(index, area), Scan(l.Items, area)) << "query " << q;
    }
    // The whole plane finds everything.
    EXPECT_EQ(Query(index, Box{-1e300, -1e300, 1e300, 1e300}).size(), l.Items.size());
  }
}
