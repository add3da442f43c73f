#include "samplegen/geometry.h"

#include <algorithm>

namespace samplegen {

double AzimuthOf(Vec3 d) {
  // North is -y (picture top), east is -x (picture left): clockwise seen from below.
  double azimuth = std::atan2(-d.x, -d.y) / kDegree;
  if (azimuth < 0) azimuth += 360;
  if (azimuth >= 360) azimuth -= 360;
  return azimuth;
}

double ElevationOf(Vec3 d) { return std::asin(std::clamp(Normalized(d).z, -1.0, 1.0)) / kDegree; }

Vec3 DirectionAt(double azimuthDegrees, double elevationDegrees) {
  const double a = azimuthDegrees * kDegree, e = elevationDegrees * kDegree;
  return {-std::sin(a) * std::cos(e), -std::cos(a) * std::cos(e), std::sin(e)};
}

bool FisheyeLens::DirectionAt(double px, double py, Vec3* direction) const {
  const double dx = px - cx_, dy = py - cy_;
  const double rho = std::hypot(dx, dy);
  if (rho > radius_) return false;
  const double theta = rho / radius_ * maxAngle_;
  const double alpha = std::atan2(dy, dx);
  *direction = {std::sin(theta) * std::cos(alpha), std::sin(theta) * std::sin(alpha), std::cos(theta)};
  return true;
}

bool FisheyeLens::PixelOf(Vec3 direction, double* px, double* py) const {
  const Vec3 d = Normalized(direction);
  const double theta = std::acos(std::clamp(d.z, -1.0, 1.0));
  if (theta > maxAngle_) return false;
  const double rho = theta / maxAngle_ * radius_;
  const double alpha = std::atan2(d.y, d.x);
  *px = cx_ + rho * std::cos(alpha);
  *py = cy_ + rho * std::sin(alpha);
  return true;
}

FisheyeLens StandardLens(int width, int height) {
  const double cx = width * 0.5, cy = height * 0.5;
  const double shortSide = std::min(width, height);
  // Square frames hold the whole circle; wide frames cut it at top and bottom.
  const double radius = width == height ? shortSide * 0.5 - shortSide / 72.0 : shortSide * 0.5 * 1.185;
  return FisheyeLens(cx, cy, std::round(radius), 200.0);
}

PerspectiveCamera::PerspectiveCamera(int width, int height, double yawDegrees, double pitchDegrees,
                                     double hfovDegrees)
    : width_(width), height_(height), tanHalf_(std::tan(hfovDegrees * 0.5 * kDegree)) {
  forward_ = samplegen::DirectionAt(yawDegrees, pitchDegrees);
  // Right is the direction of growing azimuth on the horizon.
  right_ = samplegen::DirectionAt(yawDegrees + 90, 0);
  up_ = Normalized(Cross(right_, forward_));
}

bool PerspectiveCamera::DirectionAt(double px, double py, Vec3* direction) const {
  const double sx = (2 * px / width_ - 1) * tanHalf_;
  const double sy = (1 - 2 * py / height_) * tanHalf_ * height_ / width_;
  *direction = Normalized(forward_ + sx * right_ + sy * up_);
  return true;
}

bool PerspectiveCamera::PixelOf(Vec3 direction, double* px, double* py) const {
  const double depth = Dot(direction, forward_);
  if (depth <= 1e-6) return false;
  const double sx = Dot(direction, right_) / depth, sy = Dot(direction, up_) / depth;
  *px = (sx / tanHalf_ + 1) * 0.5 * width_;
  *py = (1 - sy / (tanHalf_ * height_ / width_)) * 0.5 * height_;
  return true;
}

}  // namespace samplegen
