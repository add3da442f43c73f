#include "gps/coordinate_transform.h"

#include <cmath>

namespace gps {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kEccentricitySquared = 0.006693421622965943;  // of the Krasovsky ellipsoid
constexpr double kMeridianFactor = 6335552.717000426;          // a * (1 - e^2), metres
constexpr double kSemiMajorAxis = 6378245.0;                   // metres
constexpr double kBdFactor = 52.35987755982988;                // pi * 3000 / 180

// The periodic terms both offsets share: 20 sin 6 pi x + 20 sin 2 pi x.
double CommonWave(double x) { return (20 * std::sin(6 * kPi * x) + 20 * std::sin(2 * kPi * x)) * 2 / 3; }

double LatitudeOffset(double x, double y) {
  return -100 + 2 * x + 3 * y + 0.2 * y * y + 0.1 * x * y + 0.2 * std::sqrt(std::fabs(x)) + CommonWave(x) +
         (20 * std::sin(kPi * y) + 40 * std::sin(kPi * y / 3)) * 2 / 3 +
         (160 * std::sin(kPi * y / 12) + 320 * std::sin(kPi * y / 30)) * 2 / 3;
}

double LongitudeOffset(double x, double y) {
  return 300 + x + 2 * y + 0.1 * x * x + 0.1 * x * y + 0.1 * std::sqrt(std::fabs(x)) + CommonWave(x) +
         (20 * std::sin(kPi * x) + 40 * std::sin(kPi * x / 3)) * 2 / 3 +
         (150 * std::sin(kPi * x / 12) + 300 * std::sin(kPi * x / 30)) * 2 / 3;
}

}  // namespace

bool InChinaBox(LatLon p) {
  return p.longitude >= 73.004 && p.longitude <= 135 && p.latitude >= 4.8293 && p.latitude <= 53.8271;
}

LatLon Wgs84ToGcj02(LatLon p) {
  const double x = p.longitude - 105, y = p.latitude - 35;
  const double r = p.latitude * kPi / 180;
  const double sinR = std::sin(r);
  const double m = 1 - kEccentricitySquared * sinR * sinR;
  const double s = std::sqrt(m);
  LatLon out;
  out.latitude = p.latitude + LatitudeOffset(x, y) * 180 / (kMeridianFactor / (m * s) * kPi);
  out.longitude = p.longitude + LongitudeOffset(x, y) * 180 / (kSemiMajorAxis / s * std::cos(r) * kPi);
  return out;
}

LatLon Gcj02ToBd09(LatLon p) {
  const double x = p.longitude, y = p.latitude;
  const double z = std::sqrt(x * x + y * y) + 0.00002 * std::sin(y * kBdFactor);
  const double theta = std::atan2(y, x) + 0.000003 * std::cos(x * kBdFactor);
  return {z * std::sin(theta) + 0.006, z * std::cos(theta) + 0.0065};
}

LatLon ShiftForOffsetMap(LatLon p) { return {p.latitude - 0.002986815, p.longitude + 0.004967451}; }

}  // namespace gps
