#include "calib/circle_detector.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "calib/calibration_file.h"
#include "platform/trace.h"

namespace calib {
namespace {

constexpr int kBlurKernel = 17;         // pixels, square
constexpr double kBlurSigma = 2.0;      // pixels, the same in x and y
constexpr double kLowToHigh = 0.8;      // Canny's low threshold over its high one
constexpr int kSamples = 200;           // random three-point samples per fit
constexpr double kInlierBand = 0.03;    // |distance - r| below this fraction of r
constexpr double kEnoughInliers = 0.8;  // a sample this good over all points ends the search
constexpr int kFewestInliers = 3;       // a sample must gather more than its own three points

std::vector<cv::Point> Inliers(const std::vector<cv::Point>& points, const Circle& circle) {
  std::vector<cv::Point> inliers;
  const double band = kInlierBand * circle.r;
  for (const cv::Point& p : points) {
    const double distance = std::hypot(p.x - circle.cx, p.y - circle.cy);
    if (std::abs(distance - circle.r) < band) inliers.push_back(p);
  }
  return inliers;
}

// Grows the circle's support: refits it on its inliers for as long as the
// refit gathers more of them. Returns the number of inliers it ends with.
size_t RefineOnInliers(const std::vector<cv::Point>& points, Circle* circle) {
  size_t count = kFewestInliers;
  for (;;) {
    const std::vector<cv::Point> inliers = Inliers(points, *circle);
    if (inliers.size() <= count) return count;
    count = inliers.size();
    *circle = FitCircleLeastSquares(inliers);
  }
}

uint32_t ClockSeed() {
  return static_cast<uint32_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

}  // namespace

CircleLimits CircleLimits::For(int width, int height) {
  const int halfWidth = width / 2, halfHeight = height / 2;
  return CircleLimits{
      halfWidth - 0.2 * halfWidth,
      halfWidth + 0.2 * halfWidth,
      halfHeight - 0.2 * halfHeight,
      halfHeight + 0.2 * halfHeight,
      (std::min(width, height) / 2) * 0.5,
      std::sqrt(width * width / 4.0 + height * height / 4.0),
  };
}

bool CircleLimits::Contains(const Circle& c) const {
  return c.cx >= xLow && c.cx <= xHigh && c.cy >= yLow && c.cy <= yHigh && c.r >= rMin && c.r <= rMax;
}

Circle FitCircleLeastSquares(const std::vector<cv::Point>& points) {
  if (points.empty()) return {NAN, NAN, NAN};
  // Coordinates relative to the points' mean keep the normal equations well
  // conditioned; the solution is moved back afterwards.
  double meanX = 0, meanY = 0;
  for (const cv::Point& p : points) meanX += p.x, meanY += p.y;
  meanX /= points.size();
  meanY /= points.size();
  // pinv(A) b = pinv(A^T A) A^T b, so the 3 x 3 normal system gives the same
  // least-squares (or least-norm) solution as the tall one.
  cv::Matx33d normal = cv::Matx33d::zeros();
  cv::Vec3d right(0, 0, 0);
  for (const cv::Point& p : points) {
    const cv::Vec3d row(p.x - meanX, p.y - meanY, 1.0);
    const double value = -(row[0] * row[0] + row[1] * row[1]);
    normal += row * row.t();
    right += value * row;
  }
  cv::Matx33d inverse;
  cv::invert(normal, inverse, cv::DECOMP_SVD);
  const cv::Vec3d def = inverse * right;
  const double squared = def[0] * def[0] / 4 + def[1] * def[1] / 4 - def[2];
  return {meanX - def[0] / 2, meanY - def[1] / 2, std::sqrt(squared)};
}

std::vector<cv::Point> BoundaryPoints(const cv::Mat& edges) {
  CV_Assert(edges.type() == CV_8UC1);
  // Topmost and bottommost edge row of every column, -1 when it has none.
  std::vector<int> top(edges.cols, -1), bottom(edges.cols, -1);
  for (int y = 0; y < edges.rows; ++y) {
    const uint8_t* row = edges.ptr<uint8_t>(y);
    for (int x = 0; x < edges.cols; ++x) {
      if (!row[x]) continue;
      if (top[x] < 0) top[x] = y;
      bottom[x] = y;
    }
  }
  const auto enclosed = [&](int x, int y) { return top[x] < y && bottom[x] > y; };
  std::vector<cv::Point> points;
  for (int y = 0; y < edges.rows; ++y) {
    const uint8_t* row = edges.ptr<uint8_t>(y);
    const uint8_t* first = std::find_if(row, row + edges.cols, [](uint8_t v) { return v != 0; });
    const int x = static_cast<int>(first - row);
    if (x < edges.cols && !enclosed(x, y)) points.emplace_back(x, y);
  }
  for (int y = 0; y < edges.rows; ++y) {
    const uint8_t* row = edges.ptr<uint8_t>(y);
    int x = edges.cols - 1;
    while (x >= 0 && !row[x]) --x;
    if (x >= 0 && !enclosed(x, y)) points.emplace_back(x, y);
  }
  return points;
}

std::optional<Circle> FitCircleBySampling(const std::vector<cv::Point>& points, int width, int height,
                                          std::mt19937& random) {
  if (points.size() < 3) return std::nullopt;
  const CircleLimits limits = CircleLimits::For(width, height);
  const size_t n = points.size();
  size_t best = kFewestInliers;
  std::optional<Circle> result;
  for (int sample = 0; sample < kSamples; ++sample) {
    const std::vector<cv::Point> three = {points[random() % n], points[random() % n], points[random() % n]};
    Circle circle = FitCircleLeastSquares(three);
    if (!limits.Contains(circle)) continue;
    const size_t count = RefineOnInliers(points, &circle);
    if (count <= best) continue;
    best = count;
    result = circle;
    if (best > kEnoughInliers * n) break;
  }
  if (result && limits.Contains(*result)) return result;
  return std::nullopt;
}

cv::Mat CircleDetector::WorkingPicture(const cv::Mat& picture, double* scale) {
  *scale = static_cast<float>(std::max(picture.cols, picture.rows)) / kWorkingSize;
  cv::Mat grey;
  if (picture.channels() == 3) {
    cv::cvtColor(picture, grey, cv::COLOR_BGR2GRAY);
  } else if (picture.channels() == 4) {
    cv::cvtColor(picture, grey, cv::COLOR_BGRA2GRAY);
  } else {
    grey = picture;
  }
  cv::Mat small, blurred;
  cv::resize(grey, small, cv::Size(), 1.0 / *scale, 1.0 / *scale, cv::INTER_LINEAR);
  cv::GaussianBlur(small, blurred, cv::Size(kBlurKernel, kBlurKernel), kBlurSigma, kBlurSigma);
  return blurred;
}

cv::Mat CircleDetector::EdgePicture(const cv::Mat& working, double nonEdgeFraction) {
  cv::Mat dx, dy, absDx, absDy, gradient;
  cv::Sobel(working, dx, CV_16S, 1, 0, 3, 1, 0);
  cv::Sobel(working, dy, CV_16S, 0, 1, 3, 1, 0);
  cv::convertScaleAbs(dx, absDx);
  cv::convertScaleAbs(dy, absDy);
  cv::addWeighted(absDx, 1, absDy, 1, 0, gradient);

  const int channels[] = {0};
  const int bins[] = {256};
  const float range[] = {0, 256};
  const float* ranges[] = {range};
  cv::Mat histogram;
  cv::calcHist(&gradient, 1, channels, cv::Mat(), histogram, 1, bins, ranges);
  // The first gradient level below which more than `nonEdgeFraction` of
  // the pixels lie sets the high threshold.
  const double pixels = static_cast<double>(gradient.total());
  double sum = 0;
  int pos = 0;
  while (pos < 255 && (sum += histogram.at<float>(pos) / pixels) <= nonEdgeFraction) ++pos;
  const double high = pos / 256.0, low = kLowToHigh * high;

  cv::Mat edges;
  cv::Canny(working, edges, low * 255, high * 255, 3, false);
  return edges;
}

bool CircleDetector::Detect(const cv::Mat& picture, float* cx, float* cy, float* r) const {
  const int channels = picture.channels();
  if (picture.empty() || picture.depth() != CV_8U || (channels != 1 && channels != 3 && channels != 4)) return false;
  double scale = 1;
  std::vector<cv::Point> points;
  try {
    const cv::Mat working = WorkingPicture(picture, &scale);
    points = BoundaryPoints(EdgePicture(working));
    std::mt19937 random(seed_ ? *seed_ : ClockSeed());
    const std::optional<Circle> circle = FitCircleBySampling(points, working.cols, working.rows, random);
    if (!circle) return false;
    *cx = static_cast<float>(circle->cx * scale);
    *cy = static_cast<float>(circle->cy * scale);
    *r = static_cast<float>(circle->r * scale);
    return true;
  } catch (const cv::Exception& e) {  // e.g. no memory for a huge picture
    platform::DebugTrace("circle detection failed: %s", e.what());
    return false;
  }
}

bool CircleIsComplete(float cx, float cy, float r, int width, int height) {
  return !(cx - r < 0 || cx + r > width || cy - r < 0 || cy + r > height);
}

int CalcauteDingbiao(const char* picturePath, const char* calibrationPath, double fovDegrees) {
  cv::Mat picture;
  try {
    if (picturePath) picture = cv::imread(picturePath, cv::IMREAD_COLOR);
  } catch (const cv::Exception& e) {
    platform::DebugTrace("cannot read %s: %s", picturePath, e.what());
  }
  float cx = 0, cy = 0, r = kNoCircleRadius;
  if (!CircleDetector().Detect(picture, &cx, &cy, &r)) {
    platform::DebugTrace("标定失败");
    return kCalibrationNoCircle;
  }
  platform::DebugTrace("%s", CircleIsComplete(cx, cy, r, picture.cols, picture.rows) ? "标定成功，完整圆"
                                                                                      : "标定成功，圆不完整");
  if (!calibrationPath ||
      WriteCalibrationFile(calibrationPath, fovDegrees, cx, cy, r, picture.cols, picture.rows) != 0) {
    return kCalibrationWriteFailed;
  }
  return kCalibrationWritten;
}

}  // namespace calib
