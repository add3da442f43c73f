#pragma once
// The lens as the meshes see it: what the calibration file says, turned into
// the values the mapping needs. The file itself (380 bytes, 95 values) is
// read through calib/calibration_file.h; this adds the engine's own rules:
// the printed dump, the camera count check, the usable radius and the
// centre moved to the middle of the picture.
//
// Lens model: a direction at angle theta (radians) from the lens axis lands
// rho = 700 * (k1*theta + k2*theta^3 + k3*theta^5) pixels from the centre.

#include <cstdint>

namespace domeview {

constexpr int kLensRecords = 8;
constexpr float kLensScale = 700.0f;  // pixels per unit of the lens polynomial

// Result codes of ReadLensCalibration.
constexpr int kCalibrationOk = 0;
constexpr int kCalibrationBadCameraCount = 1;
constexpr int kCalibrationUnreadable = 2;  // no path, missing or short file

struct LensRecord {
  float rotation[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};  // 3 x 3, row-major
  float centre[2] = {0, 0};                         // cx, cy in pixels
  float k1 = 0, k2 = 0, k3 = 0;
};

struct LensCalibration {
  LensRecord lens[kLensRecords];  // only lens[0] is used for mapping
  int32_t camera_count = 0;       // 1 or 2
  int32_t image_width = 0;        // pixels
  int32_t image_height = 0;       // pixels
  float max_angle = 0;            // half field of view, radians
  float radius = 0;               // usable picture circle, pixels
};

// Image radius of the lens at max_angle, in single precision.
float LensRadius(float k1, float k2, float k3, float max_angle);

// Shrinks a radius so that the circle around the middle of a width x height
// picture stays inside it, then takes one pixel off the rim.
float ClampRadius(float radius, int width, int height);

// Reads a calibration file into `out`. Prints "load_size=95;" and every
// value as the file holds it, then validates. Returns kCalibrationOk,
// kCalibrationBadCameraCount or kCalibrationUnreadable, each failure with its
// message on standard output; `out` is only complete on success.
int ReadLensCalibration(const char* path, LensCalibration* out);

}  // namespace domeview
