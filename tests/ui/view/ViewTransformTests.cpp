// The view arithmetic: fitting a box, the spread rows of a fitted deep tree,
// zoom steps and the layout of one scrolled axis.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "view/geometry/ViewTransform.h"

using namespace TreeUi;

namespace {

constexpr double Unit = 375;  // a node's width in twips
constexpr double Margin = 12;
const double Inf = std::numeric_limits<double>::infinity();
const double NaN = std::numeric_limits<double>::quiet_NaN();

Extent Box(double x0, double y0, double x1, double y1) {
  Extent e;
  e.Add(x0, y0, x1, y1);
  return e;
}

// box, view width and height, whether the rows are spread
using FitCase = std::tuple<Extent, double, double, bool>;
class FitTest : public testing::TestWithParam<FitCase> {};

TEST_P(FitTest, ShowsTheWholeBoxInsideTheMargin) {
  const auto& [box, width, height, spread] = GetParam();
  const FitScale fit = FitBox(box, width, height, Margin, Unit);
  ASSERT_TRUE(fit.Scale > 0 && std::isfinite(fit.Scale) && fit.Scale <= MaxScale);
  const double w = box.Width() * fit.Scale, h = box.Height() * fit.Scale * fit.Aspect;
  const bool fillsWidth = std::abs(w - (width - 2 * Margin)) < 1e-6;
  const bool fillsHeight = std::abs(h - (height - 2 * Margin)) < 1e-6;
  EXPECT_LE(w, width - 2 * Margin + 1e-6);
  EXPECT_LE(h, height - 2 * Margin + 1e-6);
  EXPECT_EQ(fit.Aspect > 1, spread);
  // Spread rows fill both ways, and only while nodes are dots; one scale
  // fills the tighter way unless it stops at 400 %.
  EXPECT_TRUE(spread ? fillsWidth && fillsHeight && Unit * fit.Scale < DotDiameter
                     : fillsWidth || fillsHeight || fit.Scale == MaxScale);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, FitTest,
    testing::Values(FitCase{Box(0, 0, 255 * Unit, 15 * Unit), 453, 197, true},        // 200 values
                    FitCase{Box(0, 0, 65535 * Unit, 31 * Unit), 1200, 800, true},     // 32767
                    FitCase{Box(3 * Unit, 0, 12 * Unit, 3 * Unit), 453, 197, false},  // 5,3,8
                    FitCase{Box(0, 0, 2 * Unit, 200 * Unit), 453, 197, false},  // tall: no squeeze
                    FitCase{Box(Unit, 0, 2 * Unit, Unit), 453, 197, false},     // one node: 400 %
                    FitCase{Box(0, 0, 3.4e38, Unit), 453, 197, true}));         // float's limit

TEST(Fit, NothingToFitKeepsTheActualSize) {
  for (const auto& [box, w, h] :
       {std::tuple{Extent{}, 453.0, 197.0}, std::tuple{Box(0, 0, Unit, Unit), 0.0, 197.0},
        std::tuple{Box(0, 0, Unit, Unit), 453.0, NaN}}) {
    const FitScale fit = FitBox(box, w, h, Margin, Unit);
    EXPECT_EQ(fit.Scale, DesignScale);
    EXPECT_EQ(fit.Aspect, 1);
  }
}

// Zooming in from a fit shrinks the spread by the same factor each step and
// ends it before nodes turn back into circles.
TEST(Aspect, BlendsFromTheFitToNoneBeforeCirclesReturn) {
  const FitScale fit = FitBox(Box(0, 0, 255 * Unit, 15 * Unit), 453, 197, Margin, Unit);
  const double circles = DotDiameter / Unit;
  EXPECT_DOUBLE_EQ(AspectAt(fit.Scale / 2, fit, Unit), fit.Aspect);
  EXPECT_DOUBLE_EQ(AspectAt(circles, fit, Unit), 1);
  double previous = fit.Aspect, ratio = 0;
  for (double s = fit.Scale * ZoomStepFactor; s < circles; s *= ZoomStepFactor) {
    const double a = AspectAt(s, fit, Unit);
    EXPECT_TRUE(a < previous && a >= 1);
    EXPECT_NEAR(previous / a, ratio != 0 ? ratio : previous / a, 1e-9);
    ratio = previous / a;
    previous = a;
  }
  EXPECT_EQ(AspectAt(NaN, fit, Unit), 1);
  EXPECT_EQ(AspectAt(0.001, FitScale{0.001, 1}, Unit), 1);
}

// from, steps, least, to; scales relative to 100 %
using StepCase = std::tuple<double, double, double, double>;
class StepTest : public testing::TestWithParam<StepCase> {};

TEST_P(StepTest, Steps) {
  const auto& [from, steps, least, to] = GetParam();
  EXPECT_NEAR(StepScale(from * DesignScale, steps, least * DesignScale) / DesignScale, to, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Cases, StepTest,
                         testing::Values(StepCase{1, 1, 0.5, 1.25}, StepCase{1, -1, 0.5, 0.8},
                                         StepCase{1, 0.5, 0.5, std::sqrt(1.25)},
                                         StepCase{0.9, 1, 0.5, 1},   // stops at 100 % going in
                                         StepCase{1.1, -1, 0.5, 1},  // and going out
                                         StepCase{3.9, 3, 0.5, 4}, StepCase{0.6, -5, 0.5, 0.5},
                                         StepCase{1, -1, 10, 4},  // a limit above 400 % is 400 %
                                         StepCase{NaN, 1, 0.5, 1.25},
                                         StepCase{0.9, -1e5, 0.001, 0.001},
                                         StepCase{1, 1e5, 0.5, 4}, StepCase{0.7, Inf, 0.5, 1}));

TEST(Step, BackAndForthReturnsExactlyTo100) {
  double s = DesignScale;
  for (int i = 0; i < 14; ++i) s = StepScale(s, i < 7 ? 1 : -1, 0.001);
  EXPECT_EQ(s, DesignScale);
}

// box [0, b1] at scale, view 400 px, keep, at -> scrolls, where keep shows
using AxisCase = std::tuple<double, double, double, double, bool, double>;
class AxisTest : public testing::TestWithParam<AxisCase> {};

TEST_P(AxisTest, KeepsThePointAsTheRangeAllows) {
  const auto& [b1, s, keep, at, scrolls, shown] = GetParam();
  const double margin = 10, view = 400;
  const AxisLayout a = LayOutAxis(0, b1, s, margin, view, keep, at);
  EXPECT_EQ(a.Scrolls, scrolls);
  EXPECT_TRUE(a.Content >= view && a.Offset >= 0 && a.Offset <= a.Content - view + 1e-9);
  EXPECT_NEAR((keep - a.Origin) * s - a.Offset, shown, 1e-6);
  // The whole box stays reachable, its margin included.
  EXPECT_GE((0 - a.Origin) * s, margin - 1e-6);
  EXPECT_LE((b1 - a.Origin) * s, a.Content - (scrolls ? margin : 0) + 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AxisTest,
    testing::Values(AxisCase{150000, 1.0 / 15, 75000, 200, true, 200},  // 10,000 px: free
                    AxisCase{150000, 1.0 / 15, 0, 200, true, 10},       // held at the start
                    AxisCase{150000, 1.0 / 15, 150000, 0, true, 390},   // and at the end
                    AxisCase{1200, 1.0 / 15, 600, 200, false, 200},     // 100 px: centred
                    AxisCase{1200, 1.0 / 15, 600, 100, false, 100},     // kept
                    AxisCase{1200, 1.0 / 15, 600, 0, false, 50},        // held inside the view
                    AxisCase{1200, 1.0 / 15, 0, 400, false, 310}));

TEST(Axis, BrokenInputsGiveAFiniteLayout) {
  for (const auto& [b0, b1, s, view, keep] :
       {std::tuple{0.0, -1.0, DesignScale, 400.0, 0.0}, std::tuple{NaN, 10.0, 0.01, 400.0, 5.0},
        std::tuple{0.0, 1e30, 0.0, 400.0, 5.0}, std::tuple{0.0, 1e30, 0.01, Inf, NaN},
        std::tuple{0.0, 3.4e38, 0.27, 400.0, 1e38}, std::tuple{-Inf, Inf, 0.01, -5.0, 0.0}}) {
    const AxisLayout a = LayOutAxis(b0, b1, s, 10, view, keep, 200);
    EXPECT_TRUE(std::isfinite(a.Origin) && std::isfinite(a.Content) && std::isfinite(a.Offset));
  }
}

TEST(ExtentTest, LeavesOutWhatCannotBeSeen) {
  Extent e;
  EXPECT_TRUE(e.Empty());
  e.Add(10, 20, 0, 5);  // reversed corners
  e.Add(NaN, 0, 1, 1);
  e.Add(0, 0, Inf, 1);
  EXPECT_TRUE(e.X0 == 0 && e.Y0 == 5 && e.X1 == 10 && e.Y1 == 20);
}

}  // namespace
