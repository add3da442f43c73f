#include "calib/calibration_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/file_io.h"

namespace calib {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr float kTinyCoefficient = 1.0e-10f;  // k2 and k3: an almost linear lens

void PutU32(uint8_t* out, uint32_t v) {
  out[0] = static_cast<uint8_t>(v);
  out[1] = static_cast<uint8_t>(v >> 8);
  out[2] = static_cast<uint8_t>(v >> 16);
  out[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t GetU32(const uint8_t* in) {
  return uint32_t(in[0]) | (uint32_t(in[1]) << 8) | (uint32_t(in[2]) << 16) | (uint32_t(in[3]) << 24);
}

template <typename T>
uint32_t Bits(T value) {
  static_assert(sizeof(T) == 4);
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  return bits;
}

template <typename T>
T FromBits(uint32_t bits) {
  T value;
  std::memcpy(&value, &bits, 4);
  return value;
}

// The 95 values in file order, as raw 32-bit words.
std::array<uint32_t, kCalibrationValueCount> ToWords(const CalibrationValues& v) {
  std::array<uint32_t, kCalibrationValueCount> words{};
  size_t i = 0;
  for (const auto& rotation : v.rotations)
    for (float f : rotation) words[i++] = Bits(f);
  for (const auto& centre : v.centres)
    for (float f : centre) words[i++] = Bits(f);
  words[i++] = Bits(v.k1);
  words[i++] = Bits(v.k2);
  words[i++] = Bits(v.k3);
  words[i++] = Bits(v.camera_count);
  words[i++] = Bits(v.width);
  words[i++] = Bits(v.height);
  words[i++] = Bits(v.max_angle);
  return words;
}

}  // namespace

CalibrationValues MakeCalibration(double fovDegrees, double cx, double cy, double r, int width, int height) {
  CalibrationValues v;
  for (int lens = 0; lens < kLensCount; ++lens) {
    v.rotations[lens][0] = v.rotations[lens][4] = v.rotations[lens][8] = 1.0f;
    v.centres[lens][0] = static_cast<float>(cx);
    v.centres[lens][1] = static_cast<float>(cy);
  }
  v.max_angle = static_cast<float>(fovDegrees * 0.5 / 180.0 * kPi);
  v.k1 = static_cast<float>((r / kLensScale) / v.max_angle);
  v.k2 = v.k3 = kTinyCoefficient;
  v.camera_count = 1;
  v.width = width;
  v.height = height;
  return v;
}

std::array<uint8_t, kCalibrationFileSize> EncodeCalibration(const CalibrationValues& values) {
  std::array<uint8_t, kCalibrationFileSize> bytes{};
  const auto words = ToWords(values);
  for (size_t i = 0; i < words.size(); ++i) PutU32(&bytes[i * 4], words[i]);
  return bytes;
}

CalibrationValues DecodeCalibration(const std::array<uint8_t, kCalibrationFileSize>& bytes) {
  CalibrationValues v;
  size_t i = 0;
  const auto next = [&]() { return GetU32(&bytes[4 * i++]); };
  for (auto& rotation : v.rotations)
    for (float& f : rotation) f = FromBits<float>(next());
  for (auto& centre : v.centres)
    for (float& f : centre) f = FromBits<float>(next());
  v.k1 = FromBits<float>(next());
  v.k2 = FromBits<float>(next());
  v.k3 = FromBits<float>(next());
  v.camera_count = FromBits<int32_t>(next());
  v.width = FromBits<int32_t>(next());
  v.height = FromBits<int32_t>(next());
  v.max_angle = FromBits<float>(next());
  return v;
}

int WriteCalibrationValues(const std::string& path, const CalibrationValues& values) {
  const auto bytes = EncodeCalibration(values);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 1;
  const bool written = std::fwrite(bytes.data(), bytes.size(), 1, file) == 1;
  const bool closed = std::fclose(file) == 0;
  return written && closed ? 0 : 1;
}

int WriteCalibrationFile(const std::string& path, double fovDegrees, double cx, double cy, double r, int width,
                         int height) {
  return WriteCalibrationValues(path, MakeCalibration(fovDegrees, cx, cy, r, width, height));
}

bool ReadCalibrationValues(const std::string& path, CalibrationValues* values, std::string* error) {
  std::string content;
  if (!platform::ReadFileBytes(path, &content, kCalibrationFileSize)) {
    if (error) *error = "can not open calibration file " + path;
    return false;
  }
  if (content.size() != kCalibrationFileSize) {
    if (error) {
      *error = "calibration file " + path + " is too short: " + std::to_string(content.size()) + " of " +
               std::to_string(kCalibrationFileSize) + " bytes";
    }
    return false;
  }
  std::array<uint8_t, kCalibrationFileSize> bytes{};
  std::copy(content.begin(), content.end(), bytes.begin());
  *values = DecodeCalibration(bytes);
  return true;
}

}  // namespace calib
