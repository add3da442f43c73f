#include "ogl_rendererMgr/ogl_renderer/view_transform.h"

#include <algorithm>
#include <cmath>

namespace domeview {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr float kDegree = static_cast<float>(kPi / 180.0);

float& At(Mat4& m, int row, int col) { return m[col * 4 + row]; }

void Normalize(float v[3]) {
  const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (length == 0) return;
  for (int i = 0; i < 3; ++i) v[i] /= length;
}

void Cross(const float a[3], const float b[3], float out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

// Viewport extents used by the mode formulas; an empty rectangle counts as
// one pixel so that no extent becomes infinite.
float Extent(int pixels) { return static_cast<float>(std::max(pixels, 1)); }

}  // namespace

Mat4 IdentityMatrix() {
  Mat4 m{};
  m[0] = m[5] = m[10] = m[15] = 1.0f;
  return m;
}

Mat4 MultiplyMatrices(const Mat4& a, const Mat4& b) {
  Mat4 out{};
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[col * 4 + k];
      out[col * 4 + row] = sum;
    }
  return out;
}

Mat4 OrthoMatrix(float left, float right, float bottom, float top, float near_plane, float far_plane) {
  Mat4 m = IdentityMatrix();
  At(m, 0, 0) = 2.0f / (right - left);
  At(m, 1, 1) = 2.0f / (top - bottom);
  At(m, 2, 2) = -2.0f / (far_plane - near_plane);
  At(m, 0, 3) = -(right + left) / (right - left);
  At(m, 1, 3) = -(top + bottom) / (top - bottom);
  At(m, 2, 3) = -(far_plane + near_plane) / (far_plane - near_plane);
  return m;
}

Mat4 FrustumMatrix(float left, float right, float bottom, float top, float near_plane, float far_plane) {
  Mat4 m{};
  At(m, 0, 0) = 2.0f * near_plane / (right - left);
  At(m, 1, 1) = 2.0f * near_plane / (top - bottom);
  At(m, 0, 2) = (right + left) / (right - left);
  At(m, 1, 2) = (top + bottom) / (top - bottom);
  At(m, 2, 2) = -(far_plane + near_plane) / (far_plane - near_plane);
  At(m, 3, 2) = -1.0f;
  At(m, 2, 3) = -2.0f * far_plane * near_plane / (far_plane - near_plane);
  return m;
}

Mat4 LookAtMatrix(const float eye[3], const float center[3], const float up[3]) {
  float f[3] = {center[0] - eye[0], center[1] - eye[1], center[2] - eye[2]};
  Normalize(f);
  float s[3], u[3];
  Cross(f, up, s);
  Normalize(s);
  Cross(s, f, u);
  Mat4 m = IdentityMatrix();
  for (int i = 0; i < 3; ++i) {
    At(m, 0, i) = s[i];
    At(m, 1, i) = u[i];
    At(m, 2, i) = -f[i];
  }
  for (int row = 0; row < 3; ++row)
    At(m, row, 3) = -(At(m, row, 0) * eye[0] + At(m, row, 1) * eye[1] + At(m, row, 2) * eye[2]);
  return m;
}

Mat4 RotateMatrix(const Mat4& m, float degrees, float x, float y, float z) {
  float axis[3] = {x, y, z};
  Normalize(axis);
  const float c = std::cos(degrees * kDegree), s = std::sin(degrees * kDegree), t = 1.0f - c;
  Mat4 r = IdentityMatrix();
  At(r, 0, 0) = axis[0] * axis[0] * t + c;
  At(r, 0, 1) = axis[0] * axis[1] * t - axis[2] * s;
  At(r, 0, 2) = axis[0] * axis[2] * t + axis[1] * s;
  At(r, 1, 0) = axis[1] * axis[0] * t + axis[2] * s;
  At(r, 1, 1) = axis[1] * axis[1] * t + c;
  At(r, 1, 2) = axis[1] * axis[2] * t - axis[0] * s;
  At(r, 2, 0) = axis[2] * axis[0] * t - axis[1] * s;
  At(r, 2, 1) = axis[2] * axis[1] * t + axis[0] * s;
  At(r, 2, 2) = axis[2] * axis[2] * t + c;
  return MultiplyMatrices(m, r);
}

void ClampViewAngles(float angle[3], const float angle_min[3], const float angle_max[3]) {
  for (int i = 0; i < 3; ++i) {
    // fmod keeps the sign of its first operand: the truncating remainder,
    // computed in double so that huge angles cannot overflow an integer.
    const double wrapped = std::fmod(std::trunc(double(angle[i]) + 180.0), 360.0) - 180.0;
    angle[i] = std::max(angle_min[i], std::min(angle_max[i], static_cast<float>(wrapped)));
  }
}

ViewTransform::ViewTransform()
    : projection_(IdentityMatrix()), view_(IdentityMatrix()), model_(IdentityMatrix()) {}

bool ViewTransform::configure_mode(int mode, int picture_width, int picture_height) {
  const bool changed = mode != draw_mode_;
  draw_mode_ = mode;
  const float vw = Extent(rect_.width), vh = Extent(rect_.height);
  switch (mode) {
    case 0: {
      // The picture quad spans x -1..1 and y -H/W..H/W: fit it with bars.
      const float W = static_cast<float>(picture_width), H = static_cast<float>(picture_height);
      const float g = W / H;
      const int n = std::max(1, static_cast<int>(vw / g));
      ortho_y_ = n < vh ? (H / W) * vh / n : H / W;
      const int d = std::max(1, static_cast<int>(g * vh));
      ortho_x_ = d < vw ? vw / d : 1.0f;
      eye_[2] = 2.0f;
      zoom_min_ = 1.0f;
      break;
    }
    case 1: {
      // The panorama spans x -1..1 and y -0.5..0.5.
      const int n = std::max(1, static_cast<int>(0.5f * vw));
      ortho_y_ = n < vh ? 0.5f * vh / n : 0.5f;
      const float d = 2.0f * vh;
      ortho_x_ = d < vw ? vw / d : 1.0f;
      eye_[2] = 2.0f;
      zoom_min_ = 1.0f;
      break;
    }
    case 2: configure_perspective(60.0f, 1.0f, vw, vh); break;
    case 3: {
      eye_[2] = 4.0f;
      hori_length_ = 4.0f * std::sin(25.0f * kDegree) / 2.0f;
      verti_length_ = hori_length_ / (vw / vh);
      zoom_min_ = hori_length_ / std::tan(77.5f * kDegree);
      break;
    }
    case 4:
      ortho_y_ = vw < vh ? 4.0f * vh / vw : 4.0f;
      ortho_x_ = vh < vw ? 4.0f * vw / vh : 4.0f;
      eye_[2] = 2.0f;
      zoom_min_ = 1.0f;
      break;
    case 5: {
      // The reference angle follows the viewport's shape: wider views see more.
      const float diag = std::sqrt(vw * vw + vh * vh);
      const float half_angle = (180.0f * vw / diag) * 0.5f;
      configure_perspective(half_angle, 3.0f, vw, vh);
      break;
    }
    default: break;  // 6: the ring has no projection of its own
  }
  return changed;
}

// A frustum from an eye at z = eye_z inside the sphere whose edge meets the
// sphere `half_angle_degrees` from the view axis, seen from the centre.
void ViewTransform::configure_perspective(float half_angle_degrees, float eye_z, float vw, float vh) {
  eye_[2] = eye_z;
  const float angle = half_angle_degrees / 180.0f * static_cast<float>(kPi);
  const float s = 4.0f * std::sin(angle), k = 4.0f * std::cos(angle) + eye_z;
  const float t = std::tan(std::atan(s / k));
  hori_length_ = k * t / 2.0f;
  verti_length_ = hori_length_ / (vw / vh);
  zoom_min_ = hori_length_ / t;
}

void ViewTransform::apply_zoom(float* zoom) {
  zoom_ = std::min(*zoom, zoom_max_);
  if (!(zoom_ > kZoomFloor)) zoom_ = kZoomFloor;  // also catches NaN
  *zoom = zoom_;
  update_projection();
}

void ViewTransform::update_projection() {
  switch (draw_mode_) {
    case 0:
    case 1:
    case 4:
      if (ortho_x_ != 0) projection_ = OrthoMatrix(-ortho_x_, ortho_x_, -ortho_y_, ortho_y_, zoom_, far_);
      break;
    default: {
      const float left = -hori_length_, right = hori_length_, bottom = -verti_length_, top = verti_length_;
      if (left == right || top == bottom || zoom_ == far_ || zoom_ <= 0 || far_ <= 0) break;
      projection_ = FrustumMatrix(left, right, bottom, top, zoom_, far_);
      break;
    }
  }
}

void ViewTransform::apply_angles(float a0, float a1, float a2, float ring_rotation) {
  model_ = IdentityMatrix();
  if (draw_mode_ == 0 || draw_mode_ == 1) return;
  if (draw_mode_ == kDrawModeRing) {
    ring_rotation_ = ring_rotation;
    return;
  }
  angle_[0] = a0;
  angle_[1] = a1;
  angle_[2] = a2;
  // The bowl view (mode 4) turns the other way round.
  const float s = draw_mode_ == 4 ? 1.0f : -1.0f;
  model_ = RotateMatrix(model_, s * a0, 1, 0, 0);
  if (draw_mode_ == 3) model_ = RotateMatrix(model_, 90.0f, 1, 0, 0);
  model_ = RotateMatrix(model_, s * a1, 0, 1, 0);
  model_ = RotateMatrix(model_, s * a2 - base_roll_, 0, 0, 1);
}

void ViewTransform::update_view() { view_ = LookAtMatrix(eye_, center_, up_); }

Mat4 ViewTransform::mvp() const {
  if (draw_mode_ == kDrawModeRing) return IdentityMatrix();
  return MultiplyMatrices(MultiplyMatrices(projection_, view_), model_);
}

}  // namespace domeview
