#include "calib/calibration_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/paths.h"

using namespace calib;

namespace {

std::string TempPath(const std::string& name) { return platform::ProgramFolder() + name; }

TEST(CalibrationFileTest, WriterFollowsTheEquidistantLensRule) {
  const CalibrationValues v = MakeCalibration(200, 1000, 900, 700, 2880, 2880);
  EXPECT_NEAR(v.max_angle, 1.745329, 1e-6);
  EXPECT_NEAR(v.k1, 0.572958, 1e-6);
  EXPECT_EQ(v.k2, 1.0e-10f);
  EXPECT_EQ(v.k3, 1.0e-10f);
  EXPECT_EQ(v.camera_count, 1);
  // rho(max_angle) comes back to r.
  const double t = v.max_angle;
  EXPECT_NEAR(kLensScale * (v.k1 * t + v.k2 * t * t * t + v.k3 * std::pow(t, 5)), 700, 1e-3);
  for (int lens = 0; lens < kLensCount; ++lens) {
    EXPECT_EQ(v.rotations[lens][0], 1.0f);
    EXPECT_EQ(v.rotations[lens][1], 0.0f);
    EXPECT_EQ(v.rotations[lens][8], 1.0f);
    EXPECT_EQ(v.centres[lens][0], 1000.0f);
    EXPECT_EQ(v.centres[lens][1], 900.0f);
  }
}

TEST(CalibrationFileTest, FileIsExactly95LittleEndianValuesAndReadsBack) {
  const std::string path = TempPath("round_trip.inf");
  ASSERT_EQ(WriteCalibrationFile(path, 200, 960, 540, 640, 1920, 1080), 0);
  ASSERT_EQ(std::filesystem::file_size(path), size_t(kCalibrationFileSize));

  std::ifstream file(path, std::ios::binary);
  unsigned char bytes[kCalibrationFileSize];
  file.read(reinterpret_cast<char*>(bytes), sizeof(bytes));
  EXPECT_EQ(bytes[364], 1);  // camera count, low byte first
  EXPECT_EQ(bytes[368] | bytes[369] << 8, 1920);
  EXPECT_EQ(bytes[372] | bytes[373] << 8, 1080);

  CalibrationValues read;
  std::string error;
  ASSERT_TRUE(ReadCalibrationValues(path, &read, &error)) << error;
  EXPECT_EQ(std::memcmp(EncodeCalibration(read).data(), bytes, sizeof(bytes)), 0);
  EXPECT_EQ(read.width, 1920);
  EXPECT_EQ(read.centres[7][1], 540.0f);
}

TEST(CalibrationFileTest, ShortOrMissingFilesAreRefusedWithAReason) {
  const std::string path = TempPath("short.inf");
  std::ofstream(path, std::ios::binary) << std::string(379, '\0');
  CalibrationValues values;
  std::string error;
  EXPECT_FALSE(ReadCalibrationValues(path, &values, &error));
  EXPECT_NE(error.find("379 of 380"), std::string::npos) << error;
  EXPECT_FALSE(ReadCalibrationValues(TempPath("missing.inf"), &values, &error));
  EXPECT_NE(error.find("can not open"), std::string::npos) << error;
  EXPECT_FALSE(ReadCalibrationValues(platform::ProgramFolder(), &values, &error));  // a folder, not a file
  EXPECT_EQ(WriteCalibrationFile("/proc/none/x.inf", 200, 1, 1, 1, 2, 2), 1);
}

}  // namespace
