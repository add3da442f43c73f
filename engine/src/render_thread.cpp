// The render thread: brings up SDL, the audio device, the window (wrapped
// around the host's native window or free-standing), the GL context and the
// renderer, runs the frame loop, and tears everything down again. Every
// SDL, GL and GLEW call of the engine is made on this thread.

#include <GL/glew.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "calib/picture_file.h"
#include "engine_hooks.h"
#include "iss_domeview_impl.h"
#include "ogl_rendererMgr/ogl_rendererMgr.h"
#include "thread_name.h"

namespace domeview {
namespace {

constexpr int kNativeWindowAttempts = 4;  // the first try and three retries
constexpr int kNativeRetryWaitMs = 50;
constexpr int kIdlePassMs = 10;  // pass interval while paused: events and steps stay prompt
constexpr int kDefaultWindowWidth = 960;   // free-standing window without SetWindowRect
constexpr int kDefaultWindowHeight = 540;
constexpr const char* kWindowTitle = "Lumora VR Player";

}  // namespace

void ISS_DomeviewImpl::RenderThreadMain() {
  NameThisThread("render");
  int code = RenderStartUp();
  if (code == kIssOk) {
    SetStartState(&render_start_state, kStarted);
    code = FrameLoop();
  }
  if (code != kIssOk) {
    // Nothing is drawn any more: the other threads end as well.
    std::lock_guard<std::mutex> lock(state->state_lock);
    state->quit_request = 1;
  }
  RenderTeardown();
  render_alive_ = false;
  if (code == kIssOk) return EndOfThread(&render_running);
  // Play waits for this state whether or not the host gave a fail callback.
  SetStartState(&render_start_state, kStartFailed);
  if (!fail_callback) return EndOfThread(&render_running);
  fail_callback(user2, code);
  // The failure was reported instead of the end; if this thread is the last
  // one, playback is over all the same.
  std::lock_guard<std::mutex> lock(state->state_lock);
  render_running = 0;
  if (!read_running && !decode_running && !clock_running) playing = 0;
}

int ISS_DomeviewImpl::RenderStartUp() {
  if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) != 0) {
    return error_text.Set("Could not initialize SDL - %s\n", SDL_GetError()), kIssSdlFailed;
  }
  sdl_started_ = true;
  if (HasAudio()) {
    if (const int code = OpenAudioDevice()) return code;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  for (const SDL_GLattr channel : {SDL_GL_RED_SIZE, SDL_GL_GREEN_SIZE, SDL_GL_BLUE_SIZE, SDL_GL_ALPHA_SIZE}) {
    SDL_GL_SetAttribute(channel, 8);
  }
  if (const int code = CreateRenderWindow()) return code;
  if (const int code = CreateGlContext()) return code;
  const GLenum glew = glewInit();
  if (glew != GLEW_OK) {
    return error_text.Set("glew error: %s\n", reinterpret_cast<const char*>(glewGetErrorString(glew))), kIssWindowFailed;
  }
  return StartRenderer();
}

// The last start-up steps: the renderer manager with the calibration and
// the logo (decoded here; the manager reads it only while it makes the
// texture), then the viewports the host set up before Play.
int ISS_DomeviewImpl::StartRenderer() {
  const ISS_InitParams* params = state->view.params;
  ManagerOptions options;
  std::vector<uint8_t> logo;
  if (params) {
    options.calibration_path = params->calibration_path;
    options.need_logo = params->need_logo;
    options.logo_fov = params->logo_fov;
    options.raw_picture = params->raw_picture;
    options.mounting = params->mounting;
  }
  if (options.need_logo) {
    std::string loadError;
    logo = calib::LoadPictureFile(&loadError, params->logo_path ? params->logo_path : "", &options.logo_width,
                                  &options.logo_height);
    if (logo.empty()) return error_text.Set("%s", loadError.c_str()), kIssFailed;
    options.logo_bgr = logo.data();
  }
  options.video_width = state->ring.width;
  options.video_height = state->ring.height;
  auto manager = std::make_unique<ISS_OglRendererMgr>();
  if (manager->init(options) != 0) {
    return error_text.Set("error: in OGL renderer, line: %d: %s\n", 619, manager->error_text()), kIssWindowFailed;
  }
  std::lock_guard<std::mutex> lock(state->view.render_lock);
  renderer_manager = std::move(manager);
  renderer_manager->apply_initial_views(state->view.viewports);
  return kIssOk;
}

int ISS_DomeviewImpl::CreateRenderWindow() {
  ViewBlock& view = state->view;
  int x, y, width, height;
  platform::HWND nativeWindow = nullptr;
  {
    std::lock_guard<std::mutex> lock(view.render_lock);
    if (view.use_native_window) nativeWindow = view.native_window;
    x = view.window_x, y = view.window_y, width = view.window_width, height = view.window_height;
  }
  if (nativeWindow) return CreateWindowFromNative(nativeWindow);
  if (width < 1 || height < 1) width = kDefaultWindowWidth, height = kDefaultWindowHeight;
  SDL_Window* window = SDL_CreateWindow(kWindowTitle, x, y, width, height,
                                        SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
  if (!window) return error_text.Set("error: unable to create sdl window: %s\n", SDL_GetError()), kIssWindowFailed;
  std::lock_guard<std::mutex> lock(view.render_lock);
  view.window = window;
  ReadWindowGeometry();
  return kIssOk;
}

// The host may still be realising its window when playback starts: the
// first attempt is retried three times. Between attempts this thread drains
// its own event queue (SDL's connection to the display) and waits a little;
// it never dispatches the host's window messages, whose handlers belong on
// the host's user-interface thread.
int ISS_DomeviewImpl::CreateWindowFromNative(platform::HWND nativeWindow) {
  ViewBlock& view = state->view;
  SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
  SDL_Window* window = nullptr;
  for (int attempt = 1; attempt <= kNativeWindowAttempts && !window; ++attempt) {
    if (attempt > 1) {
      SDL_PumpEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(kNativeRetryWaitMs));
    }
    if (TestHooks().native_window_attempt) TestHooks().native_window_attempt(attempt);
    const uint64_t nativeId = platform::GetNativeWindowId(nativeWindow);
    if (nativeId == 0) {  // not realised yet (or not a window at all)
      SDL_SetError("the native window has no X11 window");
      continue;
    }
    window = SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<uintptr_t>(nativeId)));
  }
  if (!window) {
    error_text.SetAndPrint("error: unable to create sdl window from native window: %s\n", SDL_GetError());
    return kIssWindowFailed;
  }
  SDL_ShowWindow(window);
  std::lock_guard<std::mutex> lock(view.render_lock);
  view.window = window;
  SelectNativeInput();
  ReadWindowGeometry();
  return kIssOk;
}

// SDL selects no input on a window it did not create. Without these events
// clicks, drags, the wheel and resizes of the host's window never arrive.
void ISS_DomeviewImpl::SelectNativeInput() {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(state->view.window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  Display* display = info.info.x11.display;
  const Window window = info.info.x11.window;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) return;
  long mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask |
              StructureNotifyMask | ExposureMask;
  // Only one client may select button presses on a window; when the host
  // already does, selecting them too would be refused with an X error.
  if ((attributes.all_event_masks & ~attributes.your_event_mask) & ButtonPressMask) {
    std::printf("error: the native window's owner takes its button presses;\n");
    mask &= ~ButtonPressMask;
  }
  XSelectInput(display, window, attributes.your_event_mask | mask);
  XFlush(display);
}

int ISS_DomeviewImpl::CreateGlContext() {
  SDL_Window* window = state->view.window;
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) return error_text.Set("error: fail to create gl context: %s\n", SDL_GetError()), kIssWindowFailed;
  {
    std::lock_guard<std::mutex> lock(state->view.render_lock);
    state->view.gl_context = context;
  }
  if (SDL_GL_MakeCurrent(window, context) != 0) {
    return error_text.Set("error: fail to make current gl context: %s\n", SDL_GetError()), kIssWindowFailed;
  }
  SDL_GL_SetSwapInterval(1);
  return kIssOk;
}

// The caller holds the render lock.
void ISS_DomeviewImpl::ReadWindowGeometry() {
  ViewBlock& view = state->view;
  SDL_GetWindowSize(view.window, &view.window_width, &view.window_height);
  SDL_GetWindowPosition(view.window, &view.window_x, &view.window_y);
}

// ---------------------------------------------------------------- frame loop

int ISS_DomeviewImpl::FrameLoop() {
  redraw_ = true;
  end_seen_at_ = -1;
  for (;;) {
    bool paused;
    {
      std::lock_guard<std::mutex> lock(state->state_lock);
      if (state->quit_request) return kIssOk;
      paused = state->pause_request;
    }
    if (const int code = ApplyPendingRequests()) return code;
    int waitMs = 0;
    if (!paused) {
      TakeDueFrame(&waitMs);
    } else {
      waitMs = kIdlePassMs;
    }
    HandleStepRequest(paused);
    PumpEvents();
    if (redraw_ || view_changed_.exchange(false)) PresentFrame();
    CheckEndOfMedia();
    // The wait ends early when a window event arrives: a drag or a wheel
    // step is drawn at once rather than after the rest of the wait.
    if (waitMs > 0) SDL_WaitEventTimeout(nullptr, waitMs);
  }
}

// Requests that SetDrawMode and SetViewport handed over; they wait for this.
int ISS_DomeviewImpl::ApplyPendingRequests() {
  ViewBlock& view = state->view;
  std::lock_guard<std::mutex> lock(view.render_lock);
  ISS_ViewBlock& viewports = view.viewports;
  if (!viewports.pending_mode_change && !viewports.pending_viewport_change) return kIssOk;
  redraw_ = true;
  if (renderer_manager->apply_pending(viewports) != 0) {
    error_text.Set("error: in OGL renderer, line: %d: %s\n", 708, renderer_manager->error_text());
    return kIssWindowFailed;
  }
  return kIssOk;
}

void ISS_DomeviewImpl::PresentFrame() {
  {
    std::lock_guard<std::mutex> lock(state->view.render_lock);
    renderer_manager->draw_all(state->view.viewports.viewport_enabled);
    if (TestHooks().drawn) TestHooks().drawn();
  }
  SDL_GL_SwapWindow(state->view.window);
  redraw_ = false;
  if (TestHooks().presented) TestHooks().presented();
}

// Teardown holds the state lock: the audio callback, which only tries that
// lock, stays out while its device is closed.
void ISS_DomeviewImpl::RenderTeardown() {
  std::lock_guard<std::mutex> stateLock(state->state_lock);
  CloseAudioDevice();
  ViewBlock& view = state->view;
  SDL_Window* window;
  SDL_GLContext context;
  {
    std::lock_guard<std::mutex> lock(view.render_lock);
    renderer_manager.reset();  // its GL objects go while the context is current
    window = view.window;
    context = view.gl_context;
    view.window = nullptr;
    view.gl_context = nullptr;
  }
  if (context) {
    SDL_GL_MakeCurrent(window, nullptr);
    SDL_GL_DeleteContext(context);
  }
  if (window) SDL_DestroyWindow(window);
  if (sdl_started_) SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_VIDEO);
  sdl_started_ = false;
}

}  // namespace domeview
