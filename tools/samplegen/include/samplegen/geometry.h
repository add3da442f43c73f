#pragma once
// Directions and the two projections the generator draws through.
//
// Lens coordinates: z along the optical axis, which points at the zenith of
// the synthetic scene; x to the right of the recorded picture and y to its
// bottom. These are the coordinates the player's lens model maps from, so a
// view computed here is the view the player must show.

#include <cmath>

namespace samplegen {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180.0;

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator*(double s, Vec3 v) { return {s * v.x, s * v.y, s * v.z}; }
inline double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline Vec3 Normalized(Vec3 v) {
  const double length = std::sqrt(Dot(v, v));
  return length > 0 ? (1.0 / length) * v : v;
}

// Compass bearing and elevation of a direction, both in degrees. Azimuth 0
// (north) lies towards the top of the fisheye picture and 90 (east) towards
// its left, as the sky looks from below; elevation 90 is the lens axis.
double AzimuthOf(Vec3 direction);    // 0 <= azimuth < 360
double ElevationOf(Vec3 direction);  // -90 .. 90
Vec3 DirectionAt(double azimuthDegrees, double elevationDegrees);

// Maps picture pixels to directions and back.
class Projection {
 public:
  virtual ~Projection() = default;
  // Direction seen at pixel position (px, py) (pixel centres at +0.5);
  // false where the picture shows nothing.
  virtual bool DirectionAt(double px, double py, Vec3* direction) const = 0;
  // Pixel position of a direction; false when the projection cannot see it
  // at all. A position may still fall outside the frame.
  virtual bool PixelOf(Vec3 direction, double* px, double* py) const = 0;
};

// Equidistant fisheye: the image radius grows linearly with the angle from
// the axis and reaches `radius` at half the field of view.
class FisheyeLens : public Projection {
 public:
  FisheyeLens(double cx, double cy, double radius, double fovDegrees)
      : cx_(cx), cy_(cy), radius_(radius), maxAngle_(fovDegrees * 0.5 * kDegree) {}
  bool DirectionAt(double px, double py, Vec3* direction) const override;
  bool PixelOf(Vec3 direction, double* px, double* py) const override;

  double cx() const { return cx_; }
  double cy() const { return cy_; }
  double radius() const { return radius_; }
  double fovDegrees() const { return 2 * maxAngle_ / kDegree; }

 private:
  double cx_, cy_, radius_, maxAngle_;
};

// The synthetic camera's lens for a frame size: a 200 degree circle centred
// in the frame; inscribed (with a small margin) in a square frame, cut at
// the top and bottom by a 16:9 frame.
FisheyeLens StandardLens(int width, int height);

// Pinhole camera looking at `yaw` (compass bearing) and `pitch` (elevation)
// with a horizontal field of view `hfov`, all in degrees.
class PerspectiveCamera : public Projection {
 public:
  PerspectiveCamera(int width, int height, double yawDegrees, double pitchDegrees, double hfovDegrees);
  bool DirectionAt(double px, double py, Vec3* direction) const override;
  bool PixelOf(Vec3 direction, double* px, double* py) const override;

 private:
  int width_, height_;
  double tanHalf_;
  Vec3 forward_, right_, up_;
};

}  // namespace samplegen
