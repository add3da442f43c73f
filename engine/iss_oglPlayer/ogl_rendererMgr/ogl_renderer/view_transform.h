#pragma once
// The geometry of one viewport, without GL: the draw mode's projection
// extents, the zoom (the near plane), the view angles and the matrices the
// renderer hands to the shader. Matrices are 4 x 4 floats, column-major,
// built like the classic fixed-function calls (glOrtho, glFrustum,
// glRotate, gluLookAt) so that the numbers match them exactly.
//
// Draw modes: 0 flat picture, 1 flat 360 x 180 panorama, 2 perspective from
// near the sphere centre, 3 sphere seen from its surface, 4 bowl view
// (orthographic), 5 wide perspective, 6 unrolled ring.

#include <array>

namespace domeview {

using Mat4 = std::array<float, 16>;  // column-major

Mat4 IdentityMatrix();
Mat4 MultiplyMatrices(const Mat4& a, const Mat4& b);  // a x b
Mat4 OrthoMatrix(float left, float right, float bottom, float top, float near_plane, float far_plane);
Mat4 FrustumMatrix(float left, float right, float bottom, float top, float near_plane, float far_plane);
Mat4 LookAtMatrix(const float eye[3], const float center[3], const float up[3]);
// m x R, where R turns by `degrees` about the axis (x, y, z).
Mat4 RotateMatrix(const Mat4& m, float degrees, float x, float y, float z);

constexpr int kDrawModeCount = 7;  // 0..6
constexpr int kDrawModeRing = 6;
constexpr float kZoomFloor = 0.05f;   // nearest near plane
constexpr float kZoomCeiling = 3.0f;  // zoom_max
constexpr float kFarPlane = 50.0f;

struct ViewRect {
  int x = 0, y = 0, width = 0, height = 0;  // window pixels, lower-left origin
};

// Wraps each angle by whole turns, a = (trunc(a + 180) mod 360) - 180 with a
// truncating remainder, then limits it to [angle_min, angle_max]. Degrees.
// 190 becomes -170; below -180 the remainder stays negative, so the lower
// limit stops the angle instead.
void ClampViewAngles(float angle[3], const float angle_min[3], const float angle_max[3]);

class ViewTransform {
 public:
  ViewTransform();

  // Sets the mode's eye, projection extents and default zoom for the
  // viewport size and the picture size W x H. The mode must be 0..6.
  // Returns whether the mode differs from the previous one.
  bool configure_mode(int mode, int picture_width, int picture_height);

  // Limits the zoom to [0.05, 3.0], writes it back to *zoom and recomputes
  // the projection.
  void apply_zoom(float* zoom);

  // Rebuilds the model matrix from the angles (degrees) and keeps the ring
  // rotation (radians) for mode 6.
  void apply_angles(float a0, float a1, float a2, float ring_rotation);

  // Look-at matrix from the mode's eye; the renderer refreshes it with
  // every mesh it builds.
  void update_view();

  Mat4 mvp() const;  // identity in mode 6

  void set_rect(const ViewRect& rect) { rect_ = rect; }
  void set_base_roll(float degrees) { base_roll_ = degrees; }

  int draw_mode() const { return draw_mode_; }
  const ViewRect& rect() const { return rect_; }
  float zoom() const { return zoom_; }
  float zoom_min() const { return zoom_min_; }
  float ring_rotation() const { return ring_rotation_; }
  const float* angles() const { return angle_; }
  float eye_z() const { return eye_[2]; }
  float ortho_x() const { return ortho_x_; }
  float ortho_y() const { return ortho_y_; }
  float hori_length() const { return hori_length_; }
  float verti_length() const { return verti_length_; }
  const Mat4& projection() const { return projection_; }
  const Mat4& view() const { return view_; }
  const Mat4& model() const { return model_; }

 private:
  void configure_perspective(float half_angle_degrees, float eye_z, float vw, float vh);
  void update_projection();

  int draw_mode_ = 0;
  ViewRect rect_;
  float zoom_ = 1.0f, zoom_min_ = 1.0f, zoom_max_ = kZoomCeiling, far_ = kFarPlane;
  float eye_[3] = {0, 0, 2}, center_[3] = {0, 0, -4}, up_[3] = {0, 1, 0};
  float ortho_x_ = 0, ortho_y_ = 0;
  float hori_length_ = 0, verti_length_ = 0;  // half extents of the frustum at the near plane
  float angle_[3] = {0, 0, 0};
  float base_roll_ = 0;  // degrees
  float ring_rotation_ = 0;
  Mat4 projection_, view_, model_;
};

}  // namespace domeview
