#include "expected_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "samplegen/scene.h"

namespace render_test {
namespace {

using samplegen::kDegree;
using samplegen::Vec3;

constexpr double kSphereRadius = 4.0;
constexpr double kFarPlane = 50.0;

// The camera of a draw mode: an eye on the z axis looking down -z.
struct Camera {
  bool orthographic = false;
  double eye_z = 2, near_plane = 1;
  double tan_x = 0, tan_y = 0;          // perspective: half extents over distance
  double extent_x = 0, extent_y = 0;    // orthographic: half extents
};

// A perspective camera at eye_z whose edge meets the sphere `half` degrees
// off the axis as seen from the sphere's centre.
Camera Perspective(double half, double eye_z, double vw, double vh) {
  Camera c;
  const double s = kSphereRadius * std::sin(half * kDegree), k = kSphereRadius * std::cos(half * kDegree) + eye_z;
  c.eye_z = eye_z;
  c.tan_x = s / k;
  c.tan_y = c.tan_x * vh / vw;
  c.near_plane = k / 2;
  return c;
}

Camera CameraFor(const ViewCase& v) {
  const double vw = v.width, vh = v.height;
  Camera c;
  switch (v.mode) {
    case 1:
      c.orthographic = true;
      c.extent_x = std::max(1.0, vw / (2 * vh));
      c.extent_y = std::max(0.5, 0.5 * vh / std::trunc(0.5 * vw));
      break;
    case 2: c = Perspective(60, 1, vw, vh); break;
    case 3:
      c.eye_z = 4;
      c.tan_x = std::tan(77.5 * kDegree);
      c.tan_y = c.tan_x * vh / vw;
      c.near_plane = 2 * std::sin(25 * kDegree) / c.tan_x;
      break;
    case 4:
      c.orthographic = true;
      c.extent_x = vh < vw ? 4 * vw / vh : 4;
      c.extent_y = vw < vh ? 4 * vh / vw : 4;
      break;
    case 5: c = Perspective(90.0 * vw / std::hypot(vw, vh), 3, vw, vh); break;
  }
  return c;
}

// glRotate's matrix, row-major.
struct Mat3 {
  double m[9];
};
Mat3 Rotation(double degrees, int axis) {
  const double c = std::cos(degrees * kDegree), s = std::sin(degrees * kDegree);
  switch (axis) {
    case 0: return {{1, 0, 0, 0, c, -s, 0, s, c}};
    case 1: return {{c, 0, s, 0, 1, 0, -s, 0, c}};
    default: return {{c, -s, 0, s, c, 0, 0, 0, 1}};
  }
}
Mat3 Multiply(const Mat3& a, const Mat3& b) {
  Mat3 out{};
  for (int r = 0; r < 3; ++r)
    for (int col = 0; col < 3; ++col)
      for (int k = 0; k < 3; ++k) out.m[r * 3 + col] += a.m[r * 3 + k] * b.m[k * 3 + col];
  return out;
}

// The sphere's model rotation: turned by the angles (the opposite way in
// the bowl view), mode 3 an extra quarter turn about x, the roll last.
Mat3 ModelRotation(const ViewCase& v) {
  const double s = v.mode == 4 ? 1 : -1;
  Mat3 m = Rotation(s * v.angles[0], 0);
  if (v.mode == 3) m = Multiply(m, Rotation(90, 0));
  m = Multiply(m, Rotation(s * v.angles[1], 1));
  return Multiply(m, Rotation(s * v.angles[2] - v.base_roll, 2));
}

// The nearest sphere point in front of the near plane along the pixel's ray.
bool SpherePoint(const Camera& c, double ndc_x, double ndc_y, Vec3* world) {
  Vec3 origin{0, 0, c.eye_z}, dir{ndc_x * c.tan_x, ndc_y * c.tan_y, -1};
  if (c.orthographic) origin = {ndc_x * c.extent_x, ndc_y * c.extent_y, c.eye_z}, dir = {0, 0, -1};
  const double a = samplegen::Dot(dir, dir), b = samplegen::Dot(origin, dir);
  const double disc = b * b - a * (samplegen::Dot(origin, origin) - kSphereRadius * kSphereRadius);
  if (disc < 0) return false;
  // Depth along -z equals t because dir.z is -1.
  for (double t : {(-b - std::sqrt(disc)) / a, (-b + std::sqrt(disc)) / a}) {
    if (t >= c.near_plane && t <= kFarPlane) {
      *world = origin + t * dir;
      return true;
    }
  }
  return false;
}

Vec3 LensDirection(double phi, double lambda, const Distortion& d) {
  const double p = phi * kDegree, l = (lambda + d.yaw_degrees) * kDegree;
  Vec3 dir{std::cos(p) * std::sin(l), std::cos(p) * std::cos(l), -std::sin(p)};
  if (d.mirror_x) dir.x = -dir.x;
  if (d.theta_scale != 1.0) {
    const double theta = std::acos(std::clamp(dir.z, -1.0, 1.0)) * d.theta_scale, alpha = std::atan2(dir.y, dir.x);
    dir = {std::sin(theta) * std::cos(alpha), std::sin(theta) * std::sin(alpha), std::cos(theta)};
  }
  return dir;
}

}  // namespace

bool GridAnglesAt(const ViewCase& view, double ndc_x, double ndc_y, double* phi, double* lambda) {
  const Camera camera = CameraFor(view);
  if (view.mode == 1) {
    const double x = ndc_x * camera.extent_x, y = ndc_y * camera.extent_y;
    if (std::abs(x) > 1 || std::abs(y) > 0.5) return false;
    *phi = -90.0 + (0.5 - y) * 180.0;
    *lambda = (x + 1) * 180.0;
    return true;
  }
  Vec3 w;
  if (!SpherePoint(camera, ndc_x, ndc_y, &w)) return false;
  // Model point: the transpose undoes the rotation.
  const Mat3 r = ModelRotation(view);
  const Vec3 m{r.m[0] * w.x + r.m[3] * w.y + r.m[6] * w.z, r.m[1] * w.x + r.m[4] * w.y + r.m[7] * w.z,
               r.m[2] * w.x + r.m[5] * w.y + r.m[8] * w.z};
  // Sphere rows run from +90 where grid rows start at -90 (the lens
  // centre), and sphere cells start one degree of longitude later.
  *phi = -std::asin(std::clamp(m.y / kSphereRadius, -1.0, 1.0)) / kDegree;
  *lambda = std::atan2(m.z, m.x) / kDegree - 1.0;
  return true;
}

std::vector<uint8_t> ExpectedSceneView(const ViewCase& view, double seconds, double lens_end_degrees,
                                       const Distortion& distortion) {
  std::vector<uint8_t> rgb(size_t(view.width) * view.height * 3, 0);
  for (int row = 0; row < view.height; ++row) {
    for (int col = 0; col < view.width; ++col) {
      const double ndc_x = 2.0 * (col + 0.5) / view.width - 1, ndc_y = 2.0 * (row + 0.5) / view.height - 1;
      double phi, lambda;
      if (!GridAnglesAt(view, ndc_x, ndc_y, &phi, &lambda)) continue;
      // Grid latitude phi lies phi + 90 degrees from the lens axis.
      if (phi + 90.0 >= lens_end_degrees) continue;
      const samplegen::Rgb c = samplegen::SceneColour(LensDirection(phi, lambda, distortion), seconds);
      uint8_t* out = &rgb[(size_t(row) * view.width + col) * 3];
      out[0] = c.r, out[1] = c.g, out[2] = c.b;
    }
  }
  return rgb;
}

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, const std::vector<bool>* mask) {
  double sum = 0;
  size_t count = 0;
  for (size_t pixel = 0; pixel < a.size() / 3 && pixel < b.size() / 3; ++pixel) {
    if (mask && !(*mask)[pixel]) continue;
    for (int c = 0; c < 3; ++c) {
      const double d = double(a[pixel * 3 + c]) - double(b[pixel * 3 + c]);
      sum += d * d;
    }
    count += 3;
  }
  if (count == 0) return 0;
  if (sum == 0) return std::numeric_limits<double>::infinity();
  return 10.0 * std::log10(255.0 * 255.0 / (sum / count));
}

}  // namespace render_test
