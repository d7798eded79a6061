// The view arithmetic: fitting a box, the vertical spread of a fitted deep
// tree, zoom steps and the layout of one scrolled axis.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ViewTransform.h"

using namespace TreeUi;

namespace {

constexpr double Unit = 375;  // a node's width in twips
const double Inf = std::numeric_limits<double>::infinity();
const double NaN = std::numeric_limits<double>::quiet_NaN();

Extent Box(double x0, double y0, double x1, double y1) {
  Extent e;
  e.Add(x0, y0, x1, y1);
  return e;
}

// ---- Fit --------------------------------------------------------------------

struct FitCase {
  const char* name;
  Extent box;
  double width, height;
  bool stretched;  // rows spread to use the height
};

class FitTest : public testing::TestWithParam<FitCase> {};

TEST_P(FitTest, ShowsTheWholeBoxInsideTheMargin) {
  const FitCase& c = GetParam();
  const double margin = 12;
  const FitScale fit = FitBox(c.box, c.width, c.height, margin, Unit);
  ASSERT_GT(fit.Scale, 0);
  ASSERT_TRUE(std::isfinite(fit.Scale));
  EXPECT_LE(fit.Scale, MaxScale);
  EXPECT_GE(fit.Aspect, 1);
  const double w = c.box.Width() * fit.Scale, h = c.box.Height() * fit.Scale * fit.Aspect;
  EXPECT_LE(w, c.width - 2 * margin + 1e-6);
  EXPECT_LE(h, c.height - 2 * margin + 1e-6);
  EXPECT_EQ(fit.Aspect > 1, c.stretched);
  if (c.stretched) {
    // Both ways filled, and only while a node is a dot.
    EXPECT_NEAR(w, c.width - 2 * margin, 1e-6);
    EXPECT_NEAR(h, c.height - 2 * margin, 1e-6);
    EXPECT_LT(Unit * fit.Scale, DotDiameter);
  } else if (fit.Scale < MaxScale) {
    // One scale: the tighter direction is filled.
    EXPECT_TRUE(std::abs(w - (c.width - 2 * margin)) < 1e-6 ||
                std::abs(h - (c.height - 2 * margin)) < 1e-6);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, FitTest,
    testing::Values(
        // Eight levels of a 200-value list: 255 node widths by 15 node heights.
        FitCase{"deep_and_wide", Box(0, 0, 255 * Unit, 15 * Unit), 453, 197, true},
        // 5,3,8: small enough for circles, so one scale.
        FitCase{"three_nodes", Box(3 * Unit, 0, 12 * Unit, 3 * Unit), 453, 197, false},
        // A tall narrow box is limited by the height and never squeezed.
        FitCase{"tall", Box(0, 0, 2 * Unit, 200 * Unit), 453, 197, false},
        // The whole 32767-node drawing.
        FitCase{"largest_tree", Box(0, 0, 65535 * Unit, 31 * Unit), 1200, 800, true},
        // One node would be huge: the fit stops at 400 %.
        FitCase{"single_node", Box(Unit, 0, 2 * Unit, Unit), 453, 197, false},
        // A box as wide as float allows still fits at a finite scale.
        FitCase{"float_max", Box(0, 0, 3.4e38, Unit), 453, 197, true}),
    [](const testing::TestParamInfo<FitCase>& info) { return info.param.name; });

TEST(Fit, NothingToFitKeepsTheActualSize) {
  for (const auto& [box, w, h] :
       {std::tuple{Extent{}, 453.0, 197.0}, std::tuple{Box(0, 0, Unit, Unit), 0.0, 197.0},
        std::tuple{Box(0, 0, Unit, Unit), 453.0, NaN}}) {
    const FitScale fit = FitBox(box, w, h, 12, Unit);
    EXPECT_EQ(fit.Scale, DesignScale);
    EXPECT_EQ(fit.Aspect, 1);
  }
}

TEST(Fit, AMarginLargerThanTheViewLeavesAPixel) {
  const FitScale fit = FitBox(Box(0, 0, 100, 100), 10, 10, 50, Unit);
  EXPECT_NEAR(fit.Scale, 1.0 / 100, 1e-12);
}

// ---- The spread of a fitted view while zooming in -------------------------

TEST(Aspect, BlendsFromTheFitToNoneBeforeCirclesReturn) {
  const FitScale fit = FitBox(Box(0, 0, 255 * Unit, 15 * Unit), 453, 197, 12, Unit);
  ASSERT_GT(fit.Aspect, 2);
  const double circles = DotDiameter / Unit;
  EXPECT_DOUBLE_EQ(AspectAt(fit.Scale, fit, Unit), fit.Aspect);
  EXPECT_DOUBLE_EQ(AspectAt(fit.Scale / 2, fit, Unit), fit.Aspect);
  EXPECT_DOUBLE_EQ(AspectAt(circles, fit, Unit), 1);
  EXPECT_DOUBLE_EQ(AspectAt(DesignScale, fit, Unit), 1);
  // Each zoom step changes the spread by the same factor: no jump.
  double previous = fit.Aspect;
  double ratio = 0;
  for (double s = fit.Scale * ZoomStepFactor; s < circles; s *= ZoomStepFactor) {
    const double a = AspectAt(s, fit, Unit);
    EXPECT_LT(a, previous);
    EXPECT_GE(a, 1);
    if (ratio != 0) {
      EXPECT_NEAR(previous / a, ratio, 1e-9);
    }
    ratio = previous / a;
    previous = a;
  }
}

TEST(Aspect, NoSpreadWithoutAStretchedFit) {
  EXPECT_EQ(AspectAt(0.001, FitScale{0.001, 1}, Unit), 1);
  EXPECT_EQ(AspectAt(0.001, FitScale{0.001, 5}, 0), 1);
  EXPECT_EQ(AspectAt(NaN, FitScale{0.001, 5}, Unit), 1);
}

// ---- Zoom steps -------------------------------------------------------------

struct StepCase {
  const char* name;
  double from;  // relative to 100 %
  double steps;
  double least;  // relative to 100 %
  double to;     // relative to 100 %
};

class StepTest : public testing::TestWithParam<StepCase> {};

TEST_P(StepTest, Steps) {
  const StepCase& c = GetParam();
  EXPECT_NEAR(StepScale(c.from * DesignScale, c.steps, c.least * DesignScale) / DesignScale, c.to,
              1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StepTest,
    testing::Values(StepCase{"in_from_100", 1, 1, 0.5, 1.25},
                    StepCase{"out_from_100", 1, -1, 0.5, 0.8},
                    StepCase{"half_a_notch", 1, 0.5, 0.5, std::sqrt(1.25)},
                    StepCase{"stops_at_100_going_in", 0.9, 1, 0.5, 1},
                    StepCase{"stops_at_100_going_out", 1.1, -1, 0.5, 1},
                    StepCase{"no_closer_than_400", 3.9, 3, 0.5, 4},
                    StepCase{"no_further_than_the_fit", 0.6, -5, 0.5, 0.5},
                    StepCase{"limit_above_400_is_400", 1, -1, 10, 4},
                    StepCase{"broken_scale_restarts_at_100", NaN, 1, 0.5, 1.25},
                    StepCase{"a_huge_turn_out_reaches_the_limit", 0.9, -1e5, 0.001, 0.001},
                    StepCase{"a_huge_turn_in_reaches_400", 1, 1e5, 0.5, 4},
                    StepCase{"infinite_steps_stop_at_100", 0.7, Inf, 0.5, 1}),
    [](const testing::TestParamInfo<StepCase>& info) { return info.param.name; });

TEST(Step, BackAndForthReturnsExactlyTo100) {
  double s = DesignScale;
  for (int i = 0; i < 7; ++i) s = StepScale(s, 1, 0.001);
  for (int i = 0; i < 7; ++i) s = StepScale(s, -1, 0.001);
  EXPECT_EQ(s, DesignScale);
}

// ---- One axis ---------------------------------------------------------------

struct AxisCase {
  const char* name;
  double b0, b1, scale, view, keep, at;
  bool scrolls;
  double keptAt;  // where `keep` ends up in the view, pixels
};

class AxisTest : public testing::TestWithParam<AxisCase> {};

TEST_P(AxisTest, KeepsThePointAsTheRangeAllows) {
  const AxisCase& c = GetParam();
  const double margin = 10;
  const AxisLayout a = LayOutAxis(c.b0, c.b1, c.scale, margin, c.view, c.keep, c.at);
  EXPECT_EQ(a.Scrolls, c.scrolls);
  EXPECT_GE(a.Content, c.view);
  EXPECT_GE(a.Offset, 0);
  EXPECT_LE(a.Offset, a.Content - c.view + 1e-9);
  const double shown = (c.keep - a.Origin) * c.scale - a.Offset;
  EXPECT_NEAR(shown, c.keptAt, 1e-6);
  // The whole box stays reachable: inside the content, margin included.
  EXPECT_GE((c.b0 - a.Origin) * c.scale, margin - 1e-6);
  EXPECT_LE((c.b1 - a.Origin) * c.scale, a.Content - (c.scrolls ? margin : 0) + 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AxisTest,
    testing::Values(
        // 10,000 px of content in a 400 px view.
        AxisCase{"free", 0, 150000, 1.0 / 15, 400, 75000, 200, true, 200},
        AxisCase{"at_the_start", 0, 150000, 1.0 / 15, 400, 0, 200, true, 10},
        AxisCase{"at_the_end", 0, 150000, 1.0 / 15, 400, 150000, 0, true, 390},
        // 100 px of content in a 400 px view: the point moves only as far as
        // the content stays inside.
        AxisCase{"small_centred", 0, 1200, 1.0 / 15, 400, 600, 200, false, 200},
        AxisCase{"small_kept", 0, 1200, 1.0 / 15, 400, 600, 100, false, 100},
        AxisCase{"small_held_at_the_edge", 0, 1200, 1.0 / 15, 400, 600, 0, false, 50},
        AxisCase{"small_held_at_the_far_edge", 0, 1200, 1.0 / 15, 400, 0, 400, false, 310}),
    [](const testing::TestParamInfo<AxisCase>& info) { return info.param.name; });

TEST(Axis, BrokenInputsGiveAFiniteLayout) {
  for (const auto& [b0, b1, s, view, keep] :
       {std::tuple{0.0, -1.0, DesignScale, 400.0, 0.0}, std::tuple{NaN, 10.0, 0.01, 400.0, 5.0},
        std::tuple{0.0, 1e30, 0.0, 400.0, 5.0}, std::tuple{0.0, 1e30, 0.01, Inf, NaN},
        std::tuple{0.0, 3.4e38, 0.27, 400.0, 1e38}, std::tuple{-Inf, Inf, 0.01, -5.0, 0.0}}) {
    const AxisLayout a = LayOutAxis(b0, b1, s, 10, view, keep, 200);
    EXPECT_TRUE(std::isfinite(a.Origin));
    EXPECT_TRUE(std::isfinite(a.Content));
    EXPECT_TRUE(std::isfinite(a.Offset));
    EXPECT_GE(a.Content, 0);
  }
}

// ---- Transform and extent ---------------------------------------------------

TEST(ExtentTest, GrowsAndLeavesOutWhatCannotBeSeen) {
  Extent e;
  EXPECT_TRUE(e.Empty());
  EXPECT_EQ(e.Width(), 0);
  e.Add(10, 20, 0, 5);  // reversed corners
  e.Add(NaN, 0, 1, 1);
  e.Add(0, 0, Inf, 1);
  EXPECT_FALSE(e.Empty());
  EXPECT_EQ(e.X0, 0);
  EXPECT_EQ(e.Y0, 5);
  EXPECT_EQ(e.X1, 10);
  EXPECT_EQ(e.Y1, 20);
  e.Add(-5, 100, -5, 100);
  EXPECT_EQ(e.Width(), 15);
  EXPECT_EQ(e.Height(), 95);
}

}  // namespace
