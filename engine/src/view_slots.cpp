// The host's view operations: window and viewport rectangles, draw modes,
// angles, limits and zoom. While the render thread runs, draw-mode and
// rectangle changes are handed to it and the call waits until applied.

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "iss_domeview_impl.h"
#include "ogl_rendererMgr/ogl_rendererMgr.h"

namespace domeview {
namespace {

constexpr int kRequestPollMs = 10;

}  // namespace

bool ISS_DomeviewImpl::CheckViewport(int viewport) {
  if (viewport >= 0 && viewport < kMaxViewports) return true;
  error_text.Set("error: invalid viewport index: %d: we support at most %d viewports;\n", viewport, kMaxViewports);
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

// A mode outside 0..6 is refused here, before anything changes: the render
// thread would keep the viewport's old mode but still reset its angles, and
// before playback the viewport would start without a mesh, leaving it and
// the viewports drawn after it blank.
int ISS_DomeviewImpl::SetDrawMode(int mode, int viewport) {
  if (!CheckViewport(viewport)) return kIssFailed;
  if (mode < 0 || mode >= kDrawModeCount) {
    error_text.SetAndPrint("error: invalid draw mode %d;\n", mode);
    return kIssFailed;
  }
  ISS_ViewBlock& viewports = state->view.viewports;
  std::unique_lock<std::mutex> lock(state->view.render_lock);
  viewports.draw_mode[viewport] = mode;
  if (!render_alive_) return kIssOk;  // applied when the render thread starts
  viewports.pending_mode_change = viewport + 1;
  WaitForRequest(lock, viewports.pending_mode_change);
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
  ISS_ViewBlock& viewports = view.viewports;
  std::unique_lock<std::mutex> lock(view.render_lock);
  ViewRect rect{std::max(x, 0), std::max(y, 0), std::max(width, 0), std::max(height, 0)};
  if (view.window_width > 0) rect.width = std::min(rect.width, view.window_width);
  if (view.window_height > 0) rect.height = std::min(rect.height, view.window_height);
  viewports.viewport_rect[viewport] = rect;
  if (!render_alive_) {
    viewports.viewport_enabled[viewport] = 1;
    return kIssOk;
  }
  viewports.pending_viewport_change = viewport + 1;
  WaitForRequest(lock, viewports.pending_viewport_change);
  return kIssOk;
}

int ISS_DomeviewImpl::DisableViewport(int viewport) {
  if (!CheckViewport(viewport)) return kIssFailed;
  std::lock_guard<std::mutex> lock(state->view.render_lock);
  state->view.viewports.viewport_enabled[viewport] = 0;
  view_changed_ = true;
  return kIssOk;
}

float ISS_DomeviewImpl::GetZoom(int viewport) {
  if (!CheckViewport(viewport)) return 0.0f;
  std::lock_guard<std::mutex> lock(state->view.render_lock);
  return state->view.viewports.zoom[viewport];
}

// The angles come from the viewport's renderer, which exists only while
// the render thread runs; otherwise the call fails and leaves the outputs.
int ISS_DomeviewImpl::GetViewAngles(int viewport, float* a0, float* a1, float* a2) {
  if (!CheckViewport(viewport)) return kIssFailed;
  std::lock_guard<std::mutex> lock(state->view.render_lock);
  const ISS_OglRenderer* renderer = renderer_manager ? renderer_manager->renderer(viewport) : nullptr;
  if (!renderer) return error_text.Set("error: view angles are known only while playing;\n"), kIssFailed;
  const float* angles = renderer->transform().angles();
  if (a0) *a0 = angles[0];
  if (a1) *a1 = angles[1];
  if (a2) *a2 = angles[2];
  return kIssOk;
}

int ISS_DomeviewImpl::SetAngleLimits(float min0, float max0, float min1, float max1, float min2, float max2,
                                     int viewport) {
  if (!CheckViewport(viewport)) return kIssFailed;
  ISS_ViewBlock& viewports = state->view.viewports;
  std::lock_guard<std::mutex> lock(state->view.render_lock);
  const float mins[] = {min0, min1, min2}, maxs[] = {max0, max1, max2};
  std::copy(std::begin(mins), std::end(mins), viewports.angle_min[viewport]);
  std::copy(std::begin(maxs), std::end(maxs), viewports.angle_max[viewport]);
  return kIssOk;
}

// Matrix arithmetic only: the renderer's GL work waits for the next draw.
int ISS_DomeviewImpl::SetViewAngles(float a0, float a1, float a2, int viewport) {
  if (viewport < 0 || viewport >= kMaxViewports) {
    std::printf("error: invalid viewport index %d;\n", viewport);
    return kIssOk;
  }
  ISS_ViewBlock& viewports = state->view.viewports;
  std::lock_guard<std::mutex> lock(state->view.render_lock);
  float* angles = viewports.view_angle[viewport];
  angles[0] = a0, angles[1] = a1, angles[2] = a2;
  ClampViewAngles(angles, viewports.angle_min[viewport], viewports.angle_max[viewport]);
  if (renderer_manager) renderer_manager->apply_angles(viewport, angles, viewports.ring_rotation);
  view_changed_ = true;
  return kIssOk;
}

}  // namespace domeview
