#include "mesh/lens_calibration.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "calib/calibration_file.h"

namespace domeview {
namespace {

template <typename T>
float AsFloat(T value) {
  static_assert(sizeof(T) == sizeof(float));
  float f;
  std::memcpy(&f, &value, sizeof(f));
  return f;
}

// Every value of the file, integers included, printed as the float its bits
// make: the dump shows the file exactly as it was read.
void PrintDump(const calib::CalibrationValues& v) {
  float values[calib::kCalibrationValueCount];
  int n = 0;
  for (const auto& rotation : v.rotations)
    for (float f : rotation) values[n++] = f;
  for (const auto& centre : v.centres)
    for (float f : centre) values[n++] = f;
  values[n++] = v.k1;
  values[n++] = v.k2;
  values[n++] = v.k3;
  values[n++] = AsFloat(v.camera_count);
  values[n++] = AsFloat(v.width);
  values[n++] = AsFloat(v.height);
  values[n++] = v.max_angle;
  std::printf("load_size=%d;\n", n);
  for (int i = 0; i < n; ++i) std::printf("load_data[%d]=%f;\n", i, values[i]);
  std::printf("\n\n\n");
}

void CopyLenses(const calib::CalibrationValues& v, LensCalibration* out) {
  for (int i = 0; i < kLensRecords; ++i) {
    LensRecord& lens = out->lens[i];
    std::memcpy(lens.rotation, v.rotations[i], sizeof(lens.rotation));
    lens.centre[0] = v.centres[i][0];
    lens.centre[1] = v.centres[i][1];
    lens.k1 = v.k1;
    lens.k2 = v.k2;
    lens.k3 = v.k3;
  }
}

}  // namespace

float LensRadius(float k1, float k2, float k3, float max_angle) {
  return kLensScale * (k1 * max_angle + k2 * std::pow(max_angle, 3.0f) + k3 * std::pow(max_angle, 5.0f));
}

float ClampRadius(float radius, int width, int height) {
  const float halfWidth = width * 0.5f, halfHeight = height * 0.5f;
  if (width < halfWidth + radius) radius = width - halfWidth;
  if (radius > halfWidth) radius = halfWidth;
  if (height < halfHeight + radius) radius = height - halfHeight;
  if (radius > halfHeight) radius = halfHeight;
  return radius - 1.0f;
}

int ReadLensCalibration(const char* path, LensCalibration* out) {
  if (path == nullptr) {
    std::printf("error: null calibration file!\n");
    return kCalibrationUnreadable;
  }
  calib::CalibrationValues values;
  std::string error;
  if (!calib::ReadCalibrationValues(path, &values, &error)) {
    // A short file is refused as a whole: values past its end would be undefined.
    std::printf("error: %s!\n", error.c_str());
    return kCalibrationUnreadable;
  }
  PrintDump(values);
  CopyLenses(values, out);
  if (values.camera_count != 1 && values.camera_count != 2) {
    std::printf("error: invalid camera number!\n");
    return kCalibrationBadCameraCount;
  }
  if (values.width <= 0 || values.height <= 0) {
    std::printf("error: invalid image size %d x %d in calibration file %s!\n", values.width, values.height, path);
    return kCalibrationUnreadable;
  }
  out->camera_count = values.camera_count;
  out->image_width = values.width;
  out->image_height = values.height;
  out->max_angle = values.max_angle;
  const float radius = LensRadius(values.k1, values.k2, values.k3, values.max_angle);
  // The engine maps around the middle of the picture whatever centre the file holds;
  // the file's centres survive in lens[1..7] only.
  out->lens[0].centre[0] = values.width * 0.5f;
  out->lens[0].centre[1] = values.height * 0.5f;
  out->radius = ClampRadius(radius, values.width, values.height);
  return kCalibrationOk;
}

}  // namespace domeview
