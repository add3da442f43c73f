#pragma once
// The lens calibration file (.inf): exactly 380 bytes, 95 little-endian
// 32-bit values with nothing between or after them.
//
//   offset   0  72 x float32  eight 3x3 lens rotations, row-major
//   offset 288  16 x float32  eight lens centres (cx, cy), pixels
//   offset 352   3 x float32  k1, k2, k3 of rho = 700 * (k1*t + k2*t^3 + k3*t^5)
//   offset 364   int32        camera count (1 or 2)
//   offset 368   int32        image width, pixels
//   offset 372   int32        image height, pixels
//   offset 376   float32      max_angle: half field of view, radians

#include <array>
#include <cstdint>
#include <string>

namespace calib {

constexpr int kCalibrationValueCount = 95;
constexpr int kCalibrationFileSize = kCalibrationValueCount * 4;  // bytes
constexpr int kLensCount = 8;
constexpr double kLensScale = 700.0;  // pixels per unit of the lens polynomial

struct CalibrationValues {
  float rotations[kLensCount][9] = {};
  float centres[kLensCount][2] = {};
  float k1 = 0, k2 = 0, k3 = 0;
  int32_t camera_count = 0;
  int32_t width = 0, height = 0;
  float max_angle = 0;  // radians
};

// The values both writers produce for a circle of radius r (pixels) centred
// at (cx, cy) in a width x height frame seen through a lens of `fovDegrees`:
// identity rotations, every centre (cx, cy), an equidistant lens whose image
// radius at max_angle is r, camera count 1.
CalibrationValues MakeCalibration(double fovDegrees, double cx, double cy, double r, int width, int height);

std::array<uint8_t, kCalibrationFileSize> EncodeCalibration(const CalibrationValues& values);
CalibrationValues DecodeCalibration(const std::array<uint8_t, kCalibrationFileSize>& bytes);

// Creates or truncates the file and writes the 380 bytes in one piece.
// 0 on success, 1 when the file cannot be written.
int WriteCalibrationFile(const std::string& path, double fovDegrees, double cx, double cy, double r, int width,
                         int height);
int WriteCalibrationValues(const std::string& path, const CalibrationValues& values);

// Reads exactly 380 bytes. Fails (false, with a message) for a missing,
// unreadable or shorter file instead of leaving values undefined.
bool ReadCalibrationValues(const std::string& path, CalibrationValues* values, std::string* error);

}  // namespace calib
