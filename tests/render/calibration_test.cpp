// Reading the lens calibration into the mesh builder's values.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "calib/calibration_file.h"
#include "mesh/lens_calibration.h"
#include "platform/paths.h"
#include "render_fixture.h"

using namespace domeview;

namespace {

TEST(LensCalibrationTest, RoundTripOfA200DegreeLens) {
  const std::string path = render_test::TestFile("round_trip_1080.inf");
  ASSERT_EQ(calib::WriteCalibrationFile(path, 200, 960, 540, 700, 1920, 1080), 0);

  LensCalibration lens;
  testing::internal::CaptureStdout();
  ASSERT_EQ(ReadLensCalibration(path.c_str(), &lens), kCalibrationOk);
  const std::string dump = testing::internal::GetCapturedStdout();

  EXPECT_NEAR(lens.max_angle, 1.745329, 1e-6);
  EXPECT_NEAR(lens.lens[0].k1, 0.572958, 1e-6);
  EXPECT_NEAR(LensRadius(lens.lens[0].k1, lens.lens[0].k2, lens.lens[0].k3, lens.max_angle), 700.0, 1e-3);
  // The circle is cut by the 1080-pixel height: 1080 / 2 - 1.
  EXPECT_FLOAT_EQ(lens.radius, 539.0f);
  EXPECT_EQ(lens.camera_count, 1);
  EXPECT_EQ(lens.image_width, 1920);
  EXPECT_EQ(lens.image_height, 1080);

  // The dump: the count, 95 values (the last one max_angle), three blank lines.
  EXPECT_EQ(dump.rfind("load_size=95;\n", 0), 0u) << dump.substr(0, 40);
  EXPECT_NE(dump.find("load_data[0]=1.000000;\n"), std::string::npos);
  EXPECT_NE(dump.find("load_data[94]=1.745329;\n\n\n\n"), std::string::npos);
  EXPECT_EQ(dump.find("load_data[95]"), std::string::npos);
}

TEST(LensCalibrationTest, RadiusIsClampedToThePictureAroundItsMiddle) {
  const struct {
    int width, height;
    float radius, expected;
  } cases[] = {
      {4000, 4000, 700, 699},   // fits: only the rim pixel comes off
      {1920, 1080, 700, 539},   // cut by the height
      {1000, 3000, 700, 499},   // cut by the width
      {2880, 2880, 1400, 1399},
  };
  for (const auto& c : cases)
    EXPECT_FLOAT_EQ(ClampRadius(c.radius, c.width, c.height), c.expected) << c.width << "x" << c.height;
}

TEST(LensCalibrationTest, MapsAroundThePictureMiddleWhateverCentreTheFileHolds) {
  const std::string path = render_test::TestFile("off_centre.inf");
  ASSERT_EQ(calib::WriteCalibrationFile(path, 200, 100, 50, 400, 1920, 1080), 0);
  LensCalibration lens;
  testing::internal::CaptureStdout();
  ASSERT_EQ(ReadLensCalibration(path.c_str(), &lens), kCalibrationOk);
  testing::internal::GetCapturedStdout();
  EXPECT_FLOAT_EQ(lens.lens[0].centre[0], 960.0f);
  EXPECT_FLOAT_EQ(lens.lens[0].centre[1], 540.0f);
  EXPECT_FLOAT_EQ(lens.lens[1].centre[0], 100.0f);
  EXPECT_FLOAT_EQ(lens.lens[7].centre[1], 50.0f);
}

TEST(LensCalibrationTest, RefusesACameraCountOtherThanOneOrTwo) {
  for (int count : {0, 3}) {
    calib::CalibrationValues values = calib::MakeCalibration(200, 960, 540, 640, 1920, 1080);
    values.camera_count = count;
    const std::string path = render_test::TestFile("cameras_" + std::to_string(count) + ".inf");
    ASSERT_EQ(calib::WriteCalibrationValues(path, values), 0);
    LensCalibration lens;
    testing::internal::CaptureStdout();
    EXPECT_EQ(ReadLensCalibration(path.c_str(), &lens), kCalibrationBadCameraCount);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\nerror: invalid camera number!\n"), std::string::npos) << "count " << count;
  }
}

TEST(LensCalibrationTest, UnreadableFilesFailWithAMessage) {
  const std::string shortPath = render_test::TestFile("short.inf");
  {
    const auto bytes = calib::EncodeCalibration(calib::MakeCalibration(200, 960, 540, 640, 1920, 1080));
    std::ofstream file(shortPath, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), calib::kCalibrationFileSize - 1);
  }
  const std::string missing = render_test::TestFile("no_such_lens.inf");
  const struct {
    const char* path;
    std::string message;
  } cases[] = {
      {nullptr, "error: null calibration file!\n"},
      {missing.c_str(), "error: can not open calibration file " + missing + "!\n"},
      {shortPath.c_str(), "too short"},
  };
  for (const auto& c : cases) {
    LensCalibration lens;
    testing::internal::CaptureStdout();
    EXPECT_EQ(ReadLensCalibration(c.path, &lens), kCalibrationUnreadable);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find(c.message), std::string::npos) << out;
    // Nothing is dumped from a file that was not read whole.
    EXPECT_EQ(out.find("load_size"), std::string::npos);
  }
}

}  // namespace
