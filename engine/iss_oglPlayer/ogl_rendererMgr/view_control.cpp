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

int HitTestViewport(const ISS_ViewBlock& view, int window_height, int x, int y) {
  for (int vp = 0; vp < kMaxViewports; ++vp) {
    if (!view.viewport_enabled[vp]) continue;
    const ViewRect& r = view.viewport_rect[vp];
    const int across = x - r.x;
    const int up = window_height - r.y - y;  // rectangles count from the bottom
    if (across >= 0 && across < r.width && up >= 0 && up < r.height) return vp;
  }
  return 0;
}

int SteerByDrag(ISS_ViewBlock& view, int window_height, const PointerMotion& motion) {
  if (!motion.left_button_only || motion.double_click_seen) return -1;
  const int vp = HitTestViewport(view, window_height, motion.x, motion.y);
  float* angle = view.view_angle[vp];
  angle[0] += static_cast<float>(motion.dy);
  angle[1] += static_cast<float>(motion.dx);
  if (view.draw_mode[vp] == kDrawModeRing) view.ring_rotation -= static_cast<float>(motion.dx) * kPi / 360.0f;
  ClampViewAngles(angle, view.angle_min[vp], view.angle_max[vp]);
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
