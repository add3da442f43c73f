#pragma once
// Where the renderer manager (its four per-viewport renderers, shaders,
// textures and meshes) plugs into the render thread. The render thread owns
// the window, the GL context, the event pump and the view block; it calls
// this stage at six points and nowhere else:
//
//   Start        start-up steps 8-10: create the manager, decode the logo,
//                initialise with the calibration, apply the initial viewports
//   Upload       a due picture from the ring becomes the current picture
//   Apply...     pending draw-mode and viewport requests, zoom and angles
//   DrawAll      one frame into the current GL context (the caller swaps)
//   Steer...     mouse dragging and the wheel on the picture
//   (destructor) teardown step 2, while the GL context is still current
//
// Until the manager is linked in, each frame is cleared to black.
// All calls are made on the render thread, except ApplyAngles, which the
// host's SetViewAngles also makes (matrix arithmetic only, no GL). The
// caller holds the render lock for every call except Start and Upload.

extern "C" {
#include <libavutil/frame.h>
}

#include "error_text.h"
#include "video_state.h"

namespace domeview {

class RenderStage {
 public:
  RenderStage() = default;
  ~RenderStage();
  RenderStage(const RenderStage&) = delete;
  RenderStage& operator=(const RenderStage&) = delete;

  // Returns 0, or the render thread's code (20, or 21 for the logo) with
  // the error text set.
  int Start(const ISS_InitParams* params, int videoWidth, int videoHeight, ViewBlock& view, ErrorText& errors);
  // The ring slot stays valid for the duration of the call only.
  void Upload(const AVFrame* picture);
  // Applies draw_mode[vp] to the viewport's renderer and returns the zoom
  // that mode starts with.
  float ApplyDrawMode(const ViewBlock& view, int vp);
  // Limits the zoom as the renderer does and writes the result back.
  void ApplyZoom(int vp, float* zoom);
  void ApplyAngles(int vp, const float angles[3], float ringRotation);
  // False on a GL error; error_text() says what.
  bool SetRect(int vp, const ViewportRect& rect);
  void DrawAll(const ViewBlock& view);
  // Pointer motion with the left button held (no double-click latched), at
  // window position (x, y) moved by (dx, dy) pixels.
  void SteerByDrag(ViewBlock& view, int x, int y, int dx, int dy);
  // Wheel step at the last pointer position; `up` for a positive step.
  void SteerByWheel(ViewBlock& view, bool up);
  const char* error_text() const { return error_text_; }

 private:
  char error_text_[ErrorText::kSize] = {};
  int video_width_ = 0, video_height_ = 0;
};

// Brings the three angles of the viewport into -180..180 the way the
// renderers do (whole degrees, truncating remainder) and then into the
// viewport's limits. The caller holds the render lock.
void ClampViewAngles(ViewBlock& view, int vp);

}  // namespace domeview
