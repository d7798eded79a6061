// Pictures on paper: the scale that keeps captions legible, and how many
// pages a drawing takes at it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CaptionFit.h"
#include "PagePlan.h"

using namespace TreeCore;

namespace {

// Circles of 25 pixels at 100 % (375 twips), as the drawing makes them.
ElementArrays Captioned(const std::vector<std::string>& captions) {
  ElementArrays e;
  for (std::size_t i = 0; i < captions.size(); ++i) {
    const auto k = static_cast<std::int16_t>(i);
    if (k > 0) {
      e.TreeNode.Load(k);
      e.ShNode.Load(k);
    }
    e.TreeNode[k].Caption = captions[i];
    e.TreeNode[k].Visible = true;
    e.ShNode[k] = {static_cast<float>(i) * 500, 0, 375, 375, 1, true};
  }
  return e;
}

// The painter's fitted size at `scale`, as the pictures compute it.
double FittedPixels(const std::string& caption, double scale) {
  const double r = 375 * scale / 2 - 0.5;
  return CaptionFitPixels(CaptionEms(caption), r, 11 * scale * PictureTwipsPerPixel);
}

TEST(PagePlan, LegibleScaleIsTheLeastThatGivesEveryCaptionEightPixels) {
  struct Case {
    std::vector<std::string> captions;
    std::string widest;
  };
  for (const Case& c : std::vector<Case>{
           {{"7"}, "7"}, {{"7", "-995", "12"}, "-995"}, {{"-32768", "5"}, "-32768"}}) {
    const double s = LegibleScale(Captioned(c.captions), 11);
    EXPECT_NEAR(FittedPixels(c.widest, s), LegibleCaptionPixels, 1e-9) << c.widest;
    for (const std::string& caption : c.captions)
      EXPECT_GE(FittedPixels(caption, s), LegibleCaptionPixels - 1e-9) << caption;
  }
  ElementArrays hidden = Captioned({"-995"});
  hidden.TreeNode[0].Visible = false;
  EXPECT_EQ(LegibleScale(hidden, 11), 0);
}

TEST(PagePlan, OnePageWhileLegibleElseTheFewestThatKeepItSo) {
  struct Case {
    const char* name;
    double width, height, legible;
    int across, down;
    double scale;
  };
  // A page of 1,000 x 700 pixels keeping 16 free: 984 x 684 for the picture.
  const double largest = 4 / PictureTwipsPerPixel;
  for (const Case& c : std::vector<Case>{
           {"small tree: fitted, but never past four times", 100, 100, 0.01, 1, 1, largest},
           {"fits legibly: one page", 9840, 3000, 0.05, 1, 1, 0.1},
           {"too wide: two across, filled", 27000, 3000, 0.06, 2, 1, 1968.0 / 27000},
           {"too tall as well: two by two", 20000, 14000, 0.06, 2, 2, 1368.0 / 14000},
           {"exactly one page at the legible scale", 984 / 0.06, 1000, 0.06, 1, 1, 0.06},
           // A legible print would be 17 pages (a huge one thousands): one page as it fits.
           {"too many pages: one page as it fits", 17 * 984 / 0.06, 1000, 0.06, 1, 1, 0.06 / 17},
           {"thousands of pages: one page as it fits", 4e8, 1e6, 0.06, 1, 1, 984 / 4e8},
       }) {
    const PagePlan plan = PlanPages(c.width, c.height, 1000, 700, 16, c.legible, largest);
    EXPECT_EQ(plan.Across, c.across) << c.name;
    EXPECT_EQ(plan.Down, c.down) << c.name;
    EXPECT_NEAR(plan.Scale, c.scale, 1e-12) << c.name;
    if (c.scale >= c.legible) {
      EXPECT_GE(plan.Scale, std::min(c.legible, largest)) << c.name;
    }
    EXPECT_LE(c.width * plan.Scale, plan.Across * 984.0 + 1e-9) << c.name;
    EXPECT_LE(c.height * plan.Scale, plan.Down * 684.0 + 1e-9) << c.name;
  }
  EXPECT_EQ(PlanPages(0, 100, 1000, 700, 16, 0.05, largest).Scale, 0);
}

}  // namespace
