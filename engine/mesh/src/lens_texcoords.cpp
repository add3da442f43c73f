// Lens texture coordinates of the flat grid and the sphere, and the logo cap
// over the part of the sphere the lens cannot see.
//
// Grid row k (0 at the lens centre) spans latitudes (k / 2a - 1/4) * 2 pi to
// ((k + 1) / 2a - 1/4) * 2 pi, so after the axis swap its corners lie k and
// k + 1 degrees from the lens axis; column l spans longitudes 2 pi l / n to
// 2 pi (l + 1) / n.

#include <algorithm>
#include <cmath>

#include "mesh/vertex_factory.h"

namespace domeview {
namespace {

constexpr double kLatitudeScale = 0.15915494;  // 1 / (2 pi)
constexpr double kTwoPi = 6.2831853;
constexpr double kThetaPi = 3.14159265359;    // pi of the angle from the lens axis
constexpr double kLogoFovPi = 3.1415925;      // pi of the derived cap size

struct LensPoint {
  float s = 0, t = 0;  // texture coordinate
  bool valid = false;
};

struct LensMapping {
  const LensRecord& lens;
  float max_angle, radius;
  int width, height;

  // Picture point that looks in the direction of latitude phi, longitude
  // lambda (radians), through lens[0]'s rotation and polynomial. Worked in
  // double: asin near 90 degrees magnifies single-precision rounding to
  // tenths of a pixel.
  LensPoint project(double phi, double lambda) const {
    const double px0 = kLensScale * std::cos(phi) * std::sin(lambda);
    const double py0 = kLensScale * std::sin(phi);
    const double pz0 = kLensScale * std::cos(phi) * std::cos(lambda);
    const float* r = lens.rotation;
    const double x = r[0] * px0 + r[1] * py0 + r[2] * pz0;
    const double y = r[3] * px0 + r[4] * py0 + r[5] * pz0;
    const double z = r[6] * px0 + r[7] * py0 + r[8] * pz0;
    double theta = std::asin(std::min(std::sqrt(x * x + y * y) / kLensScale, 1.0));
    if (z < 0) theta = kThetaPi - theta;
    const double theta3 = theta * theta * theta;
    const double rho = kLensScale * (lens.k1 * theta + lens.k2 * theta3 + lens.k3 * theta3 * theta * theta);
    const double alpha = std::atan2(y, x);
    const double px = lens.centre[0] + rho * std::cos(alpha);
    const double py = lens.centre[1] + rho * std::sin(alpha);
    LensPoint point;
    point.s = static_cast<float>(px / width);
    point.t = static_cast<float>(1.0 - py / height);
    const int ix = static_cast<int>(px), iy = static_cast<int>(py);
    point.valid = theta < max_angle && std::hypot(px - lens.centre[0], py - lens.centre[1]) < radius &&
                  ix > 0 && ix < width && iy > 0 && iy < height;
    return point;
  }
};

// Latitude of grid row boundary k of `rows`, radians.
double RowLatitude(int k, int rows) { return (static_cast<double>(k) / (2.0 * rows) - 0.25) / kLatitudeScale; }

void PutTexcoord(float*& out, float s, float t) {
  out[0] = s;
  out[1] = t;
  out[2] = 0;
  out[3] = 0;
  out += 4;
}

}  // namespace

void VertexFactory::build_lens_texcoords(int cols, int rows) {
  const size_t cells = size_t(cols) * rows;
  texcoords_.assign(cells * 24, 0.0f);
  weights_.assign(cells * 6, 0.0f);
  indices_.assign(cells * 6, kTexIndexBlack);

  int logo_rows = 0;
  if (need_logo_) {
    if (logo_fov_ < 0) logo_fov_ = derived_logo_fov();
    logo_rows = (kStep + logo_fov_ - logo_fov_ % kStep) / kStep;
  }
  // A cap larger than the sphere would run past the arrays; the whole
  // sphere is the most it can cover.
  const int lens_rows = std::max(0, rows - logo_rows);
  lens_end_row_ = map_lens_rows(cols, rows, lens_rows);
  if (need_logo_) map_logo_cap(cols, rows, lens_end_row_);
}

// The cap covers what a single lens cannot see: 180 degrees less its half
// field of view (80 for a 200 degree lens).
int VertexFactory::derived_logo_fov() const {
  if (calib_.camera_count != 1) return 2 * kStep;
  return kLatitudeSpan - static_cast<int>(calib_.max_angle * 180.0 / kLogoFovPi);
}

// Maps rows 0 .. lens_rows - 1 of a `rows`-row grid until a row has a corner
// the lens cannot see; that row and every later one stay black (index 0).
// Returns the first row not mapped.
int VertexFactory::map_lens_rows(int cols, int rows, int lens_rows) {
  const LensMapping mapping{calib_.lens[0], calib_.max_angle, calib_.radius, calib_.image_width,
                            calib_.image_height};
  // Corners are shared by neighbouring cells: project each row of grid
  // points once and keep the previous row.
  std::vector<LensPoint> upper(cols + 1), lower(cols + 1);
  const auto projectRow = [&](int k, std::vector<LensPoint>& out) {
    const double phi = RowLatitude(k, rows);
    for (int l = 0; l <= cols; ++l) out[l] = mapping.project(phi, kTwoPi * l / cols);
  };
  const auto allValid = [](const std::vector<LensPoint>& points) {
    return std::all_of(points.begin(), points.end(), [](const LensPoint& p) { return p.valid; });
  };
  if (lens_rows > 0) projectRow(0, upper);
  for (int k = 0; k < lens_rows; ++k) {
    projectRow(k + 1, lower);
    if (!allValid(upper) || !allValid(lower)) return k;
    float* t = &texcoords_[size_t(k) * cols * 24];
    float* index = &indices_[size_t(k) * cols * 6];
    for (int l = 0; l < cols; ++l) {
      const LensPoint* corners[6] = {&upper[l], &upper[l + 1], &lower[l], &lower[l], &upper[l + 1], &lower[l + 1]};
      for (const LensPoint* c : corners) PutTexcoord(t, c->s, c->t);
      std::fill(index, index + 6, kTexIndexPicture);
      index += 6;
    }
    upper.swap(lower);
  }
  return lens_rows;
}

// The logo drawn as a disc over rows first_row .. rows - 1: the rim of the
// picture's inscribed circle at the cap's edge, its centre at the pole.
void VertexFactory::map_logo_cap(int cols, int rows, int first_row) {
  const int cap_rows = rows - first_row;
  if (cap_rows <= 0) return;
  const float w = 1.0f / cap_rows;
  const auto logoPoint = [](float q, double alpha, float*& out) {
    PutTexcoord(out, static_cast<float>(0.5 + q * std::cos(alpha)),
                static_cast<float>(1.0 - (0.5 + q * std::sin(alpha))));
  };
  for (int l = 0; l < cap_rows; ++l) {
    const float outer = 0.5f * (1.0f - w * l), inner = 0.5f * (1.0f - w * (l + 1));
    float* t = &texcoords_[size_t(first_row + l) * cols * 24];
    float* index = &indices_[size_t(first_row + l) * cols * 6];
    for (int j = 0; j < cols; ++j) {
      const double a1 = (static_cast<double>(j) / cols - 0.5) * kTwoPi;
      const double a2 = (static_cast<double>(j + 1) / cols - 0.5) * kTwoPi;
      logoPoint(outer, a1, t);
      logoPoint(outer, a2, t);
      logoPoint(inner, a1, t);
      logoPoint(inner, a1, t);
      logoPoint(outer, a2, t);
      logoPoint(inner, a2, t);
      std::fill(index, index + 6, kTexIndexLogo);
      index += 6;
    }
  }
}

}  // namespace domeview
