#include "chart/g_sensor_curve.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace chart {
namespace {

// Baseline distance from the bottom of the window, in pixels.
constexpr int32_t kBaselineMargin = 10;
// Pixels the full height stands for: a window 60 pixels high draws a value
// of 20 at 40 pixels above the baseline.
constexpr double kScaleSpan = 100;

// Truncates toward zero, held inside int32 so that a degenerate window
// never makes the conversion undefined.
int32_t ToPixel(double value) {
  if (std::isnan(value)) return 0;
  const double limit = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp(std::trunc(value), -limit, limit));
}

double ChangeLength(const gps::GSensorSample& a, const gps::GSensorSample& b) {
  // In double: differences of raw int32 readings can pass the int32 range
  // and their squares the int64 one; the result is exact for sensible readings.
  const double dx = double(b.x) - double(a.x), dy = double(b.y) - double(a.y), dz = double(b.z) - double(a.z);
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

bool HasSample(std::span<const gps::GSensorSample> samples, int32_t position) {
  return position >= 0 && static_cast<size_t>(position) < samples.size();
}

std::array<std::string, 3> ValueLabels(const gps::GSensorSample& s) {
  return {"X:" + std::to_string(s.x), "Y:" + std::to_string(s.y), "Z:" + std::to_string(s.z)};
}

}  // namespace

std::vector<double> ComputeCurve(std::span<const gps::GSensorSample> samples) {
  std::vector<double> curve(samples.size(), 0.0);
  for (size_t i = 1; i < samples.size(); ++i) curve[i] = std::min(ChangeLength(samples[i - 1], samples[i]), kCurveLimit);
  return curve;
}

void LayOutChart(const ChartRect& drawing, std::span<const double> curve, ChartLayout* layout) {
  const ChartRect& d = drawing;
  layout->drawing = d;
  layout->labelBox = {d.right - 25, d.top + 5, d.right + 50, d.bottom - 20};
  layout->baselineStrip = {d.left, d.bottom - kBaselineMargin, d.right, d.bottom - 5};
  layout->baselineY = d.bottom - kBaselineMargin;
  const double usableHeight = double(d.bottom) - d.top - kBaselineMargin;
  layout->verticalScale = usableHeight > 0 ? kScaleSpan / usableHeight : 0;  // no room: a flat line
  const size_t n = curve.size();
  layout->horizontalStep = n == 0 ? 1 : (double(d.right) - d.left) / double(n);

  layout->pointCount = std::min(n, kMaxChartPoints);
  for (size_t p = 0; p < layout->pointCount; ++p) {
    // Point p stands for samples [first, last); without thinning just p.
    const size_t first = p * n / layout->pointCount, last = (p + 1) * n / layout->pointCount;
    const double value = *std::max_element(curve.begin() + first, curve.begin() + last);
    layout->points[p] = {ToPixel(double(first) * layout->horizontalStep),
                         ToPixel(layout->baselineY - value * layout->verticalScale)};
  }
}

std::array<std::string, 3> FullRepaintLabels(std::span<const gps::GSensorSample> samples, int32_t position) {
  if (HasSample(samples, position)) return ValueLabels(samples[static_cast<size_t>(position)]);
  return {"X:0.0000", "Y:0.0000", "Z:0.0000"};
}

std::array<std::string, 3> TickLabels(std::span<const gps::GSensorSample> samples, int32_t position) {
  if (HasSample(samples, position)) return ValueLabels(samples[static_cast<size_t>(position)]);
  return {"X:0", "Y:0", "Z:0.0000"};
}

}  // namespace chart
