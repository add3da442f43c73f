#pragma once
// The arithmetic of the G-sensor chart, apart from any drawing: the curve of
// how strongly the reading changed from one second to the next, where its
// points go in the chart window, and the texts of the value labels.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gps/gps_record.h"

namespace chart {

// The chart keeps its points in a fixed array of this many.
constexpr size_t kMaxChartPoints = 2048;
// Curve values are cut at this change between two seconds (raw units).
constexpr double kCurveLimit = 20;

struct ChartRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct ChartPoint {
  int32_t x = 0, y = 0;
};

// 0 for the first sample, then the length of the change from the previous
// sample, at most 20. One value per sample.
std::vector<double> ComputeCurve(std::span<const gps::GSensorSample> samples);

// Where everything goes for one full repaint.
struct ChartLayout {
  ChartRect drawing;        // the window's client rectangle
  ChartRect labelBox;       // right - 25, top + 5, right + 50, bottom - 20
  ChartRect baselineStrip;  // left, bottom - 10, right, bottom - 5
  int32_t baselineY = 0;    // bottom - 10: where a value of 0 is drawn
  double verticalScale = 0;    // pixels per curve unit: 100 / (height - 10)
  double horizontalStep = 1;   // pixels per sample: width / number of curve values
  std::array<ChartPoint, kMaxChartPoints> points{};
  size_t pointCount = 0;       // at most kMaxChartPoints
};

// Lays out the curve in `drawing`. Point i sits at (i * step, baseline -
// value * scale), x counted from 0, not from the rectangle's left. A curve
// longer than the point array is thinned evenly: each point stands for an
// equal run of samples and takes the run's largest value, so that a short
// jolt stays visible. Allocates nothing.
void LayOutChart(const ChartRect& drawing, std::span<const double> curve, ChartLayout* layout);

// The three value labels for the sample at `position`: "X:%d", "Y:%d",
// "Z:%d", or, past the last sample, what each paint shows instead
// ("X:0.0000" ... on a full repaint, "X:0", "Y:0", "Z:0.0000" on a tick).
std::array<std::string, 3> FullRepaintLabels(std::span<const gps::GSensorSample> samples, int32_t position);
std::array<std::string, 3> TickLabels(std::span<const gps::GSensorSample> samples, int32_t position);

}  // namespace chart
