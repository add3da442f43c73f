// Window events on the render thread: resizing, the mouse on the picture,
// double-clicks and dropped files (the last two are posted to the parent of
// the host's native window as messages 1224 and 1125).

#include <cstdio>
#include <cstring>

#include "iss_domeview_impl.h"
#include "platform/window_messages.h"
#include "ogl_rendererMgr/ogl_rendererMgr.h"

namespace domeview {

void ISS_DomeviewImpl::PumpEvents() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    bool quit;
    {
      std::lock_guard<std::mutex> lock(state->state_lock);
      quit = state->quit_request;
    }
    if (!quit) {
      std::lock_guard<std::mutex> lock(state->view.render_lock);
      HandleEvent(event);
    }
    if (event.type == SDL_DROPFILE || event.type == SDL_DROPTEXT) SDL_free(event.drop.file);
    if (quit) return;
  }
}

// The caller holds the render lock.
void ISS_DomeviewImpl::HandleEvent(const SDL_Event& event) {
  ViewBlock& view = state->view;
  switch (event.type) {
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_RESIZED) {
        HandleResize(event.window.data1, event.window.data2);
      } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED || event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        redraw_ = true;
      }
      break;
    case SDL_MOUSEMOTION: {
      PointerMotion motion;
      motion.x = event.motion.x, motion.y = event.motion.y;
      motion.dx = event.motion.xrel, motion.dy = event.motion.yrel;
      motion.left_button_only = event.motion.state == SDL_BUTTON_LMASK;
      motion.double_click_seen = double_click_seen;
      if (renderer_manager->on_mouse_motion(view.viewports, view.window_height, motion) >= 0) redraw_ = true;
      view.last_mouse_x = event.motion.x;
      view.last_mouse_y = event.motion.y;
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
      HandleButtonDown(event.button);
      break;
    case SDL_MOUSEWHEEL:
      // A sideways scroll has no vertical step and leaves the zoom alone.
      if (event.wheel.y == 0) break;
      renderer_manager->on_mouse_wheel(view.viewports, view.window_height, view.last_mouse_x, view.last_mouse_y,
                                       event.wheel.y);
      redraw_ = true;
      break;
    case SDL_DROPFILE:
      if (event.drop.file) HandleDrop(event.drop.file);
      break;
    default:
      break;
  }
}

// Viewports keep their proportions: each enabled one is scaled by the
// change of the window size.
void ISS_DomeviewImpl::HandleResize(int width, int height) {
  ViewBlock& view = state->view;
  if (view.window_width > 0 && view.window_height > 0) {
    const float sx = static_cast<float>(width) / static_cast<float>(view.window_width);
    const float sy = static_cast<float>(height) / static_cast<float>(view.window_height);
    ISS_ViewBlock& viewports = view.viewports;
    for (int vp = 0; vp < kMaxViewports; ++vp) {
      if (!viewports.viewport_enabled[vp]) continue;
      ViewRect& rect = viewports.viewport_rect[vp];
      rect = {static_cast<int>(rect.x * sx), static_cast<int>(rect.y * sy), static_cast<int>(rect.width * sx),
              static_cast<int>(rect.height * sy)};
      renderer_manager->set_rect(vp, rect);
    }
  }
  ReadWindowGeometry();
  redraw_ = true;
}

void ISS_DomeviewImpl::HandleButtonDown(const SDL_MouseButtonEvent& button) {
  double_click_seen = false;
  if (button.clicks != 2) return;
  // The second press of a double-click starts no drag of the view.
  double_click_seen = true;
  platform::PostMessage(platform::GetParent(native_window), platform::kMsgDoubleClicked, 0, 0);
}

// The host reads the path from the engine's buffer when it handles 1125;
// the next drop overwrites it. A path that does not fit is refused whole
// rather than cut into a different path.
void ISS_DomeviewImpl::HandleDrop(const char* path) {
  if (std::strlen(path) >= sizeof(dropped_file_path)) {
    std::printf("error: dropped file path is longer than %zu bytes;\n", sizeof(dropped_file_path) - 1);
    return;
  }
  std::snprintf(dropped_file_path, sizeof(dropped_file_path), "%s", path);
  platform::PostMessage(platform::GetParent(native_window), platform::kMsgFileDropped,
                        reinterpret_cast<platform::WPARAM>(dropped_file_path), 0);
}

}  // namespace domeview
