#pragma once
// Finds the bright disc a fisheye lens draws on a dark frame: the picture is
// shrunk to a long side of 640 pixels and smoothed, edges are found with
// thresholds taken from the picture's own gradient statistics, the
// outermost edge pixel at each end of every row is kept, and a circle is
// fitted to those points by random sampling with least-squares refinement.

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include <opencv2/core.hpp>

namespace calib {

// Radius the callers preset before detecting: no accepted circle can have
// it, so a run that accepts nothing is recognisable afterwards.
constexpr float kNoCircleRadius = 921.0f;

// Results of CalcauteDingbiao.
constexpr int kCalibrationWritten = 0;
constexpr int kCalibrationNoCircle = 398;
constexpr int kCalibrationWriteFailed = 414;

struct Circle {
  double cx = 0, cy = 0, r = 0;  // pixels
};

// Where an accepted circle may lie in a W x H picture: its centre within 20 %
// of the half sizes around the picture centre, its radius from a quarter of
// the short side up to half the diagonal.
struct CircleLimits {
  double xLow, xHigh, yLow, yHigh, rMin, rMax;
  static CircleLimits For(int width, int height);
  // False for NaN values, which degenerate samples produce.
  bool Contains(const Circle& circle) const;
};

// The circle through three points, or the least-squares circle through
// more: solves (x, y, 1) . (D, E, F) = -(x^2 + y^2) with the SVD
// pseudo-inverse. Centre (-D/2, -E/2); r is NaN when r^2 comes out negative.
Circle FitCircleLeastSquares(const std::vector<cv::Point>& points);

// The outermost edge pixel at each end of every row of an 8-bit edge picture
// (non-zero = edge): first the leftmost of every row, top to bottom, then
// the rightmost. A row's pixel is left out when its column has edge pixels
// both above and below it, as inside a closed contour.
std::vector<cv::Point> BoundaryPoints(const cv::Mat& edges);

// Random-sampling circle fit in a W x H picture: 200 samples of three
// points, each refined on its inliers (distance to the circle within 3 % of
// r); the circle gathering most inliers wins once it has more than three,
// and is accepted when it lies within CircleLimits::For(W, H). Fewer than
// three points give nothing at once.
std::optional<Circle> FitCircleBySampling(const std::vector<cv::Point>& points, int width, int height,
                                          std::mt19937& random);

class CircleDetector {
 public:
  // Fraction of pixels counted as non-edge when the edge thresholds are
  // taken from the gradient histogram.
  static constexpr double kNonEdgeFraction = 0.7;
  static constexpr int kWorkingSize = 640;  // long side of the working picture, pixels

  // Sampling is seeded from the clock, so two runs may differ slightly;
  // a fixed seed makes runs repeatable.
  void SetSeed(uint32_t seed) { seed_ = seed; }

  // Finds the lens circle in an 8-bit BGR (or grey, or BGRA) picture. True
  // when a circle was accepted; then (cx, cy, r) hold it in picture pixels.
  // Otherwise they keep the values they had.
  bool Detect(const cv::Mat& picture, float* cx, float* cy, float* r) const;

  // The intermediate pictures, for tests and the benchmark.
  // Grey, shrunk by 1 / scale and blurred.
  static cv::Mat WorkingPicture(const cv::Mat& picture, double* scale);
  // Canny edges of the working picture with thresholds from its gradients.
  static cv::Mat EdgePicture(const cv::Mat& working, double nonEdgeFraction = kNonEdgeFraction);

 private:
  std::optional<uint32_t> seed_;
};

// True when the circle lies wholly inside a width x height frame.
bool CircleIsComplete(float cx, float cy, float r, int width, int height);

// Calibrates to file: loads the picture, detects the lens circle and writes
// the calibration file for a lens of `fovDegrees`. kCalibrationWritten,
// kCalibrationNoCircle (also for a missing or unreadable picture; nothing is
// written) or kCalibrationWriteFailed. Traces whether the circle is whole.
int CalcauteDingbiao(const char* picturePath, const char* calibrationPath, double fovDegrees);

}  // namespace calib
