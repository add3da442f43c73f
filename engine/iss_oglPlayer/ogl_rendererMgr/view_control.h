#pragma once
// Viewport steering without GL: the view fields the host and the render
// thread share, which viewport the pointer is over, and what a drag or a
// wheel step does to a viewport's angles and zoom. The renderer manager
// applies the results; the render thread calls these from its event pump.

#include <cstdint>

#include "ogl_rendererMgr/ogl_renderer/view_transform.h"

namespace domeview {

constexpr int kMaxViewports = 4;
constexpr float kWheelZoomStep = 0.05f;
constexpr float kDefaultRingRotation = 1.5707963f;  // radians

// The viewport fields of the engine's shared playback state, all guarded by
// the render lock. Plain values: the host writes them, the render thread
// applies them through ISS_OglRendererMgr.
struct ISS_ViewBlock {
  int32_t draw_mode[kMaxViewports] = {};           // 0..6
  ViewRect viewport_rect[kMaxViewports] = {};      // window pixels, lower-left origin
  float zoom[kMaxViewports] = {};                  // requested near plane
  float view_angle[kMaxViewports][3] = {};         // degrees
  float angle_min[kMaxViewports][3] = {};          // degrees
  float angle_max[kMaxViewports][3] = {};          // degrees
  int32_t viewport_enabled[kMaxViewports] = {};    // flags
  int32_t pending_mode_change = 0;                 // 0, or viewport index + 1
  int32_t pending_viewport_change = 0;             // 0, or viewport index + 1
  float ring_rotation = kDefaultRingRotation;      // radians, draw mode 6

  ISS_ViewBlock() { reset_angle_limits(); }
  // Every angle limited to -180 .. 180 again (engine creation and each Init).
  void reset_angle_limits();
};

// The first enabled viewport containing the pointer at (x, y), measured in
// window pixels from the top left; viewport 0 when none contains it.
int HitTestViewport(const ViewRect rects[kMaxViewports], const int32_t enabled[kMaxViewports], int window_height,
                    int x, int y);
int HitTestViewport(const ISS_ViewBlock& view, int window_height, int x, int y);

// A drag of (dx, dy) pixels on one viewport: one degree per pixel, vertical
// motion into a0 and horizontal into a1, the ring (draw mode 6) turned by
// -dx * pi / 360 radians, then the angles clamped to their limits.
void DragViewAngles(int dx, int dy, int draw_mode, float angle[3], const float angle_min[3],
                    const float angle_max[3], float* ring_rotation);

// A mouse-motion event as the render thread sees it.
struct PointerMotion {
  int x = 0, y = 0;                 // position, window pixels from the top left
  int dx = 0, dy = 0;               // motion since the last event, pixels
  bool left_button_only = false;    // exactly the left button is held
  bool double_click_seen = false;   // the press was the second of a double-click
};

// Turns the viewport under the pointer by one degree per pixel (vertical
// motion into a0, horizontal into a1; in draw mode 6 the ring turns
// instead) and clamps its angles. Returns the viewport steered, or -1 when
// the motion is not a drag that steers (other buttons, or the drag started
// with the second press of a double-click).
int SteerByDrag(ISS_ViewBlock& view, int window_height, const PointerMotion& motion);

// One wheel step at the last pointer position: the viewport under it gets
// 0.05 more zoom for a positive step, 0.05 less otherwise (still to be
// limited by applying it). Returns the viewport.
int ZoomByWheel(ISS_ViewBlock& view, int window_height, int last_x, int last_y, int wheel_y);

}  // namespace domeview
