// The host's view operations: window and viewport rectangles, draw modes,
// angles, limits and zoom. While the render thread runs, draw-mode and
// rectangle changes are handed to it and the call waits until applied.

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "iss_domeview_impl.h"
#include "render_stage.h"

namespace domeview {
namespace {

constexpr int kRequestPollMs = 10;

}  // namespace

bool ISS_DomeviewImpl::CheckViewport(int viewport) {
  if (viewport >= 0 && viewport < kViewportCount) return true;
  error_text.Set("error: invalid viewport index: %d: we support at most %d viewports;\n", viewport, kViewportCount);
  return false;
}

// Waits, releasing the render lock between polls, until the render thread
// has cleared the request; gives up when that thread is gone, so a call can
// never hang on a playback that has ended.
void ISS_DomeviewImpl::WaitForRequest(std::unique_lock<std::mutex>& lock, const int& pending) {
  while (pending != 0 && render_alive_) {
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(kRequestPollMs));
    lock.lock();
  }
}

int ISS_DomeviewImpl::SetDrawMode(int mode, int viewport) {
  if (!CheckViewport(viewport)) return kIssFailed;
  ViewBlock& view = state->view;
  std::unique_lock<std::mutex> lock(view.render_lock);
  view.draw_mode[viewport] = mode;
  if (!render_alive_) return kIssOk;  // applied when the render thread starts
  view.pending_mode_change = viewport + 1;
  WaitForRequest(lock, view.pending_mode_change);
  return kIssOk;
}

int ISS_DomeviewImpl::SetWindowRect(int x, int y, int width, int height) {
  if (playing) return error_text.Set("error: can not create window while playing;\n"), kIssFailed;
  ViewBlock& view = state->view;
  std::lock_guard<std::mutex> lock(view.render_lock);
  view.window_x = x, view.window_y = y, view.window_width = width, view.window_height = height;
  view.use_native_window = 0;
  return kIssOk;
}

int ISS_DomeviewImpl::SetNativeWindow(platform::HWND window) {
  ViewBlock& view = state->view;
  std::lock_guard<std::mutex> lock(view.render_lock);
  view.native_window = window;
  native_window = window;
  view.use_native_window = 1;
  return kIssOk;
}

// Before the window exists its size is only what SetWindowRect gave (0 when
// nothing did), and a rectangle is limited only by a known size.
int ISS_DomeviewImpl::SetViewport(int x, int y, int width, int height, int viewport) {
  if (!CheckViewport(viewport)) return kIssFailed;
  ViewBlock& view = state->view;
  std::unique_lock<std::mutex> lock(view.render_lock);
  ViewportRect rect{std::max(x, 0), std::max(y, 0), std::max(width, 0), std::max(height, 0)};
  if (view.window_width > 0) rect.width = std::min(rect.width, view.window_width);
  if (view.window_height > 0) rect.height = std::min(rect.height, view.window_height);
  view.viewport_rect[viewport] = rect;
  if (!render_alive_) {
    view.viewport_enabled[viewport] = 1;
    return kIssOk;
  }
  view.pending_viewport_change = viewport + 1;
  WaitForRequest(lock, view.pending_viewport_change);
  return kIssOk;
}

int ISS_DomeviewImpl::DisableViewport(int viewport) {
  if (!CheckViewport(viewport)) return kIssFailed;
  std::lock_guard<std::mutex> lock(state->view.render_lock);
  state->view.viewport_enabled[viewport] = 0;
  view_changed_ = true;
  return kIssOk;
}

float ISS_DomeviewImpl::GetZoom(int viewport) {
  if (!CheckViewport(viewport)) return 0.0f;
  std::lock_guard<std::mutex> lock(state->view.render_lock);
  return state->view.zoom[viewport];
}

int ISS_DomeviewImpl::GetViewAngles(int viewport, float* a0, float* a1, float* a2) {
  if (!CheckViewport(viewport)) return kIssFailed;
  std::lock_guard<std::mutex> lock(state->view.render_lock);
  const float* angles = state->view.view_angle[viewport];
  if (a0) *a0 = angles[0];
  if (a1) *a1 = angles[1];
  if (a2) *a2 = angles[2];
  return kIssOk;
}

int ISS_DomeviewImpl::SetAngleLimits(float min0, float max0, float min1, float max1, float min2, float max2,
                                     int viewport) {
  if (!CheckViewport(viewport)) return kIssFailed;
  ViewBlock& view = state->view;
  std::lock_guard<std::mutex> lock(view.render_lock);
  const float mins[] = {min0, min1, min2}, maxs[] = {max0, max1, max2};
  std::copy(std::begin(mins), std::end(mins), view.angle_min[viewport]);
  std::copy(std::begin(maxs), std::end(maxs), view.angle_max[viewport]);
  return kIssOk;
}

int ISS_DomeviewImpl::SetViewAngles(float a0, float a1, float a2, int viewport) {
  if (viewport < 0 || viewport >= kViewportCount) {
    std::printf("error: invalid viewport index %d;\n", viewport);
    return kIssOk;
  }
  ViewBlock& view = state->view;
  std::lock_guard<std::mutex> lock(view.render_lock);
  float* angles = view.view_angle[viewport];
  angles[0] = a0, angles[1] = a1, angles[2] = a2;
  ClampViewAngles(view, viewport);
  if (renderer_manager) renderer_manager->ApplyAngles(viewport, angles, view.ring_rotation);
  view_changed_ = true;
  return kIssOk;
}

}  // namespace domeview
