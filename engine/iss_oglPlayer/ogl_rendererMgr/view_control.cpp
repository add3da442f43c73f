#include "ogl_rendererMgr/view_control.h"

#include <cstdio>

namespace domeview {
namespace {

constexpr float kPi = 3.14159265f;

}  // namespace

void ISS_ViewBlock::reset_angle_limits() {
  for (int vp = 0; vp < kMaxViewports; ++vp)
    for (int i = 0; i < 3; ++i) {
      angle_min[vp][i] = -180.0f;
      angle_max[vp][i] = 180.0f;
    }
}

int HitTestViewport(const ViewRect rects[kMaxViewports], const int32_t enabled[kMaxViewports], int window_height,
                    int x, int y) {
  for (int vp = 0; vp < kMaxViewports; ++vp) {
    if (!enabled[vp]) continue;
    const ViewRect& r = rects[vp];
    const int across = x - r.x;
    const int up = window_height - r.y - y;  // rectangles count from the bottom
    if (across >= 0 && across < r.width && up >= 0 && up < r.height) return vp;
  }
  return 0;
}

int HitTestViewport(const ISS_ViewBlock& view, int window_height, int x, int y) {
  return HitTestViewport(view.viewport_rect, view.viewport_enabled, window_height, x, y);
}

void DragViewAngles(int dx, int dy, int draw_mode, float angle[3], const float angle_min[3],
                    const float angle_max[3], float* ring_rotation) {
  angle[0] += static_cast<float>(dy);
  angle[1] += static_cast<float>(dx);
  if (draw_mode == kDrawModeRing) *ring_rotation -= static_cast<float>(dx) * kPi / 360.0f;
  ClampViewAngles(angle, angle_min, angle_max);
}

int SteerByDrag(ISS_ViewBlock& view, int window_height, const PointerMotion& motion) {
  if (!motion.left_button_only || motion.double_click_seen) return -1;
  const int vp = HitTestViewport(view, window_height, motion.x, motion.y);
  float* angle = view.view_angle[vp];
  DragViewAngles(motion.dx, motion.dy, view.draw_mode[vp], angle, view.angle_min[vp], view.angle_max[vp],
                 &view.ring_rotation);
  // One line on the diagnostic stream per drag step.
  std::fprintf(stderr, "angle[%d]: %f, %f, zoom %f\n", vp, angle[0], angle[1], view.zoom[vp]);
  return vp;
}

int ZoomByWheel(ISS_ViewBlock& view, int window_height, int last_x, int last_y, int wheel_y) {
  const int vp = HitTestViewport(view, window_height, last_x, last_y);
  view.zoom[vp] += wheel_y > 0 ? kWheelZoomStep : -kWheelZoomStep;
  return vp;
}

}  // namespace domeview
