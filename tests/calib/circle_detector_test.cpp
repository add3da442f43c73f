#include "calib/circle_detector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "calib/calibration_file.h"
#include "samplegen/geometry.h"
#include "test_pictures.h"

using namespace calib;

namespace {

// Sampling is random; every property must hold whatever the seed.
constexpr uint32_t kSeeds[] = {1, 2, 3, 42, 1234, 99991, 0xC0FFEE, 0xDEADBEEF};

struct LensCase {
  const char* name;
  int width, height;
  samplegen::FisheyeLens lens;
  bool complete;  // the circle lies wholly inside the frame
};

const LensCase kLensCases[] = {
    {"whole circle, square frame", 2880, 2880, samplegen::StandardLens(2880, 2880), true},
    {"circle cut by a 16:9 frame", 1920, 1080, samplegen::StandardLens(1920, 1080), false},
    {"off-centre circle", 1280, 960, samplegen::FisheyeLens(700, 430, 400, 200), true},
};

class LensDetectionTest : public testing::TestWithParam<LensCase> {};

TEST_P(LensDetectionTest, FindsTheLensCircle) {
  const LensCase& c = GetParam();
  const cv::Mat frame = calibtest::RenderFrame(c.lens, c.width, c.height);
  const double longSide = std::max(c.width, c.height);
  for (uint32_t seed : kSeeds) {
    SCOPED_TRACE(seed);
    CircleDetector detector;
    detector.SetSeed(seed);
    float cx = 0, cy = 0, r = kNoCircleRadius;
    ASSERT_TRUE(detector.Detect(frame, &cx, &cy, &r));
    EXPECT_NEAR(cx, c.lens.cx(), 0.01 * longSide);
    EXPECT_NEAR(cy, c.lens.cy(), 0.01 * longSide);
    EXPECT_NEAR(r, c.lens.radius(), 0.015 * c.lens.radius());
    EXPECT_EQ(CircleIsComplete(cx, cy, r, c.width, c.height), c.complete);
  }
}

INSTANTIATE_TEST_SUITE_P(Lenses, LensDetectionTest, testing::ValuesIn(kLensCases),
                         [](const testing::TestParamInfo<LensCase>& param) {
                           std::string name = param.param.name;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

// Pictures in which no lens circle may be accepted; the callers' values
// must survive untouched.
struct NoCircleCase {
  const char* name;
  cv::Mat picture;
};

cv::Mat UniformGrey() { return cv::Mat(720, 1280, CV_8UC3, cv::Scalar(128, 128, 128)); }

// A few short dark strokes on grey, all in the left part of the frame.
cv::Mat ScatteredStrokes() {
  cv::Mat picture = UniformGrey();
  cv::line(picture, {60, 120}, {180, 120}, cv::Scalar(20, 20, 20), 6);
  cv::line(picture, {120, 330}, {230, 300}, cv::Scalar(20, 20, 20), 6);
  cv::line(picture, {90, 560}, {150, 640}, cv::Scalar(20, 20, 20), 6);
  cv::circle(picture, {300, 470}, 8, cv::Scalar(240, 240, 240), cv::FILLED);
  return picture;
}

// A true fisheye circle, but smaller than a quarter of the short side.
cv::Mat SmallCircle() {
  return calibtest::RenderFrame(samplegen::FisheyeLens(640, 640, 300, 200), 1280, 1280);
}

TEST(CircleDetectorTest, AcceptsNoCircleWhereThereIsNone) {
  const NoCircleCase cases[] = {
      {"uniform grey", UniformGrey()},
      {"scattered strokes", ScatteredStrokes()},
      {"circle below a quarter of the short side", SmallCircle()},
      {"empty picture", cv::Mat()},
      {"two-channel picture", cv::Mat(720, 1280, CV_8UC2, cv::Scalar(0, 0))},
      {"16-bit picture", cv::Mat(720, 1280, CV_16UC3, cv::Scalar(0, 0, 0))},
  };
  for (const NoCircleCase& c : cases) {
    for (uint32_t seed : kSeeds) {
      SCOPED_TRACE(std::string(c.name) + ", seed " + std::to_string(seed));
      CircleDetector detector;
      detector.SetSeed(seed);
      float cx = 12.5f, cy = 7.25f, r = kNoCircleRadius;
      EXPECT_FALSE(detector.Detect(c.picture, &cx, &cy, &r));
      EXPECT_EQ(r, kNoCircleRadius);
      EXPECT_EQ(cx, 12.5f);
      EXPECT_EQ(cy, 7.25f);
    }
  }
}

TEST(CircleDetectorTest, WorksOnTheLongSideOf640) {
  double scale = 0;
  const cv::Mat wide(1080, 1920, CV_8UC3, cv::Scalar(0, 0, 0));
  const cv::Mat working = CircleDetector::WorkingPicture(wide, &scale);
  EXPECT_EQ(scale, 3.0);
  EXPECT_EQ(working.size(), cv::Size(640, 360));
  EXPECT_EQ(working.type(), CV_8UC1);
}

TEST(BoundaryPointsTest, KeepsOuterEndsOfRowsExceptInsideAColumnSpan) {
  // A vertical stroke at x = 2 over rows 1..5 and a lone pixel at (7, 3).
  cv::Mat edges = cv::Mat::zeros(8, 10, CV_8UC1);
  for (int y = 1; y <= 5; ++y) edges.at<uint8_t>(y, 2) = 255;
  edges.at<uint8_t>(3, 7) = 255;
  // Rows 2..4 start inside the stroke's column span and give no left point;
  // row 3 ends at the lone pixel, whose column holds nothing else.
  const std::vector<cv::Point> expected = {{2, 1}, {2, 5}, {2, 1}, {7, 3}, {2, 5}};
  EXPECT_EQ(BoundaryPoints(edges), expected);
  EXPECT_TRUE(BoundaryPoints(cv::Mat::zeros(4, 4, CV_8UC1)).empty());
}

TEST(CircleFitTest, ThreePointsGiveTheirCircle) {
  const Circle c = FitCircleLeastSquares({{0, 0}, {10, 0}, {0, 10}});
  EXPECT_NEAR(c.cx, 5, 1e-9);
  EXPECT_NEAR(c.cy, 5, 1e-9);
  EXPECT_NEAR(c.r, std::sqrt(50.0), 1e-9);
}

std::vector<cv::Point> CirclePoints(double cx, double cy, double r, int count) {
  std::vector<cv::Point> points;
  for (int i = 0; i < count; ++i) {
    const double a = 2 * samplegen::kPi * i / count;
    points.emplace_back(static_cast<int>(std::lround(cx + r * std::cos(a))),
                        static_cast<int>(std::lround(cy + r * std::sin(a))));
  }
  return points;
}

TEST(CircleFitTest, SamplingFindsTheCircleAmongOutliers) {
  std::vector<cv::Point> points = CirclePoints(330, 170, 150, 200);
  std::mt19937 scatter(7);
  for (int i = 0; i < 120; ++i) points.emplace_back(int(scatter() % 640), int(scatter() % 360));
  for (uint32_t seed : kSeeds) {
    std::mt19937 random(seed);
    const std::optional<Circle> circle = FitCircleBySampling(points, 640, 360, random);
    ASSERT_TRUE(circle.has_value());
    EXPECT_NEAR(circle->cx, 330, 1.0);
    EXPECT_NEAR(circle->cy, 170, 1.0);
    EXPECT_NEAR(circle->r, 150, 1.0);
  }
}

TEST(CircleFitTest, RejectsTooFewDegenerateOrOutOfLimitsPoints) {
  struct Case {
    const char* name;
    std::vector<cv::Point> points;
  };
  const Case cases[] = {
      {"no points", {}},
      {"two points", {{100, 100}, {300, 200}}},
      {"three points of a fitting circle, no support beyond them", {{170, 180}, {320, 30}, {470, 180}}},
      {"collinear points", {{10, 10}, {20, 20}, {30, 30}, {40, 40}, {50, 50}}},
      {"repeated point", {{200, 100}, {200, 100}, {200, 100}, {200, 100}}},
      {"centre outside the middle", CirclePoints(150, 180, 120, 100)},
      {"radius above half the diagonal", CirclePoints(320, 180, 400, 100)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::mt19937 random(5);
    EXPECT_FALSE(FitCircleBySampling(c.points, 640, 360, random).has_value());
  }
}

TEST(CircleFitTest, LimitsFollowTheWorkingPicture) {
  const CircleLimits limits = CircleLimits::For(640, 360);
  EXPECT_DOUBLE_EQ(limits.xLow, 256);
  EXPECT_DOUBLE_EQ(limits.xHigh, 384);
  EXPECT_DOUBLE_EQ(limits.yLow, 144);
  EXPECT_DOUBLE_EQ(limits.yHigh, 216);
  EXPECT_DOUBLE_EQ(limits.rMin, 90);
  EXPECT_NEAR(limits.rMax, 367.15, 0.01);
  EXPECT_TRUE(limits.Contains({320, 180, 90}));
  EXPECT_FALSE(limits.Contains({320, 180, 89.9}));
  EXPECT_FALSE(limits.Contains({320, 180, NAN}));
  EXPECT_FALSE(limits.Contains({NAN, 180, 200}));
}

// CalcauteDingbiao on picture files: traces, result codes and the file.
class CalibrateToFileTest : public testing::Test {
 protected:
  std::string Calibrate(const std::string& picture, const std::string& inf, int* code) {
    std::remove(inf.c_str());
    testing::internal::CaptureStderr();
    *code = CalcauteDingbiao(picture.c_str(), inf.c_str(), 200);
    return testing::internal::GetCapturedStderr();
  }
};

TEST_F(CalibrateToFileTest, CutCircleIsWrittenAndReportedIncomplete) {
  const samplegen::FisheyeLens lens = samplegen::StandardLens(1920, 1080);
  const std::string picture = calibtest::ScratchPath("cut_circle.png");
  ASSERT_TRUE(cv::imwrite(picture, calibtest::RenderFrame(lens, 1920, 1080)));
  const std::string inf = calibtest::ScratchPath("cut_circle.inf");
  int code = -1;
  const std::string trace = Calibrate(picture, inf, &code);
  ASSERT_EQ(code, kCalibrationWritten);
  EXPECT_NE(trace.find("DebugTrace: 标定成功，圆不完整\r\n"), std::string::npos) << trace;

  CalibrationValues values;
  std::string error;
  ASSERT_TRUE(ReadCalibrationValues(inf, &values, &error)) << error;
  EXPECT_EQ(values.width, 1920);
  EXPECT_EQ(values.height, 1080);
  EXPECT_NEAR(values.centres[0][0], 960, 19.2);
  EXPECT_NEAR(values.centres[0][1], 540, 19.2);
  const double radius = kLensScale * values.k1 * values.max_angle;
  EXPECT_NEAR(radius, lens.radius(), 0.015 * lens.radius());
}

TEST_F(CalibrateToFileTest, WholeCircleIsReportedComplete) {
  const std::string picture = calibtest::ScratchPath("whole_circle.png");
  ASSERT_TRUE(cv::imwrite(picture, calibtest::RenderFrame(samplegen::FisheyeLens(640, 480, 400, 200), 1280, 960)));
  int code = -1;
  const std::string trace = Calibrate(picture, calibtest::ScratchPath("whole_circle.inf"), &code);
  EXPECT_EQ(code, kCalibrationWritten);
  EXPECT_NE(trace.find("DebugTrace: 标定成功，完整圆\r\n"), std::string::npos) << trace;
}

TEST_F(CalibrateToFileTest, FailuresWriteNoFile) {
  const std::string grey = calibtest::ScratchPath("grey.png");
  ASSERT_TRUE(cv::imwrite(grey, UniformGrey()));
  const std::string inf = calibtest::ScratchPath("failed.inf");
  int code = -1;
  for (const std::string& picture : {grey, calibtest::ScratchPath("missing.jpg")}) {
    const std::string trace = Calibrate(picture, inf, &code);
    EXPECT_EQ(code, kCalibrationNoCircle) << picture;
    EXPECT_NE(trace.find("DebugTrace: 标定失败\r\n"), std::string::npos) << trace;
    EXPECT_FALSE(std::filesystem::exists(inf));
  }

  const std::string circle = calibtest::ScratchPath("circle_for_bad_path.png");
  ASSERT_TRUE(cv::imwrite(circle, calibtest::RenderFrame(samplegen::StandardLens(1920, 1080), 1920, 1080)));
  Calibrate(circle, calibtest::ScratchPath("no/such/folder/lens.inf"), &code);
  EXPECT_EQ(code, kCalibrationWriteFailed);
}

}  // namespace
