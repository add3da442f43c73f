// The G-sensor chart's arithmetic: curve, layout and value labels.

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>

#include "chart/g_sensor_curve.h"

using chart::ChartLayout;
using gps::GSensorSample;

namespace {

TEST(GSensorCurveTest, CurveIsTheClampedChangeFromTheSecondBefore) {
  const std::vector<GSensorSample> samples = {{0, 0, 0}, {3, 4, 0}, {3, 4, 0}, {100, 0, 0}};
  EXPECT_EQ(chart::ComputeCurve(samples), (std::vector<double>{0, 5, 0, 20}));
  EXPECT_TRUE(chart::ComputeCurve({}).empty());

  // Readings far apart would overflow 32-bit sums; the change is still large.
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min(), kMax = std::numeric_limits<int32_t>::max();
  const std::vector<GSensorSample> extreme = {{kMin, kMin, kMin}, {kMax, kMax, kMax}, {kMax, kMax, kMax}};
  EXPECT_EQ(chart::ComputeCurve(extreme), (std::vector<double>{0, 20, 0}));
}

TEST(GSensorCurveTest, LayoutPlacesValuesAboveTheBaseline) {
  auto layout = std::make_unique<ChartLayout>();
  const std::vector<double> curve = {0, 20, 10, 5};
  chart::LayOutChart({100, 0, 500, 60}, curve, layout.get());
  EXPECT_EQ(layout->baselineY, 50);
  EXPECT_DOUBLE_EQ(layout->verticalScale, 2.0);
  EXPECT_DOUBLE_EQ(layout->horizontalStep, 100.0);
  ASSERT_EQ(layout->pointCount, 4u);
  // x counts from 0, not from the rectangle's left; 20 is 40 pixels up.
  const std::vector<std::pair<int, int>> expected = {{0, 50}, {100, 10}, {200, 30}, {300, 40}};
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(layout->points[i].x, expected[i].first) << i;
    EXPECT_EQ(layout->points[i].y, expected[i].second) << i;
  }
  EXPECT_EQ(layout->labelBox.left, 475);
  EXPECT_EQ(layout->labelBox.top, 5);
  EXPECT_EQ(layout->labelBox.right, 550);
  EXPECT_EQ(layout->labelBox.bottom, 40);
  EXPECT_EQ(layout->baselineStrip.top, 50);
  EXPECT_EQ(layout->baselineStrip.bottom, 55);

  chart::LayOutChart({0, 0, 300, 60}, {}, layout.get());
  EXPECT_EQ(layout->pointCount, 0u);
  EXPECT_DOUBLE_EQ(layout->horizontalStep, 1.0);
}

TEST(GSensorCurveTest, LongCurvesAreThinnedEvenlyKeepingJolts) {
  auto layout = std::make_unique<ChartLayout>();
  std::vector<double> curve(5000, 1.0);
  curve[4321] = 20;
  chart::LayOutChart({0, 0, 1000, 60}, curve, layout.get());
  ASSERT_EQ(layout->pointCount, chart::kMaxChartPoints);
  EXPECT_EQ(layout->points[0].x, 0);
  EXPECT_LT(layout->points[chart::kMaxChartPoints - 1].x, 1000);
  EXPECT_GT(layout->points[chart::kMaxChartPoints - 1].x, 990);
  EXPECT_TRUE(std::is_sorted(layout->points.begin(), layout->points.end(),
                             [](auto a, auto b) { return a.x < b.x; }));
  const auto jolts = std::count_if(layout->points.begin(), layout->points.end(), [](auto p) { return p.y == 10; });
  EXPECT_EQ(jolts, 1);
}

TEST(GSensorCurveTest, WindowsTooSmallDrawAFlatLine) {
  auto layout = std::make_unique<ChartLayout>();
  const std::vector<double> curve = {0, 20};
  for (const chart::ChartRect rect : {chart::ChartRect{0, 0, 10, 10}, chart::ChartRect{0, 0, 0, 0},
                                      chart::ChartRect{0, 50, 10, 0}}) {
    chart::LayOutChart(rect, curve, layout.get());
    ASSERT_EQ(layout->pointCount, 2u);
    EXPECT_EQ(layout->points[1].y, rect.bottom - 10);
  }
}

TEST(GSensorCurveTest, LabelsPastTheLastSample) {
  const std::vector<GSensorSample> samples = {{1, -2, 1000}};
  using Labels = std::array<std::string, 3>;
  EXPECT_EQ(chart::FullRepaintLabels(samples, 0), (Labels{"X:1", "Y:-2", "Z:1000"}));
  EXPECT_EQ(chart::TickLabels(samples, 0), (Labels{"X:1", "Y:-2", "Z:1000"}));
  EXPECT_EQ(chart::FullRepaintLabels(samples, 1), (Labels{"X:0.0000", "Y:0.0000", "Z:0.0000"}));
  EXPECT_EQ(chart::TickLabels(samples, 1), (Labels{"X:0", "Y:0", "Z:0.0000"}));
  EXPECT_EQ(chart::TickLabels(samples, -1), (Labels{"X:0", "Y:0", "Z:0.0000"}));
}

}  // namespace
