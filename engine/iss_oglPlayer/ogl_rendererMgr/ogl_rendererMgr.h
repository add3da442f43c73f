#pragma once
// ISS_OglRendererMgr owns what the four viewports share — the picture
// program, the Y, U, V and logo textures — and the four ISS_OglRenderer
// objects. The render thread creates it after its GL context is current,
// calls init once, then per frame: apply_pending, upload_frame when a new
// picture is due, the mouse handlers from its event pump, and draw_all.
// It is destroyed on the same thread with the context still current.
//
// Every call here runs on the render thread; the ISS_ViewBlock arguments
// must be held under the render lock while the call runs.

#include <cstdint>
#include <memory>

#include "ogl_rendererMgr/ogl_renderer/ogl_renderer.h"
#include "ogl_rendererMgr/view_control.h"

namespace domeview {

struct ManagerOptions {
  const char* calibration_path = nullptr;
  int need_logo = 0;
  int logo_fov = -1;      // degrees; negative derives it from the lens
  int raw_picture = 0;    // non-zero: show the picture without calibration
  int video_width = 0;    // decoded picture, pixels
  int video_height = 0;
  const uint8_t* logo_bgr = nullptr;  // packed BGR24 rows, only read by init
  int logo_width = 0, logo_height = 0;
  int mounting = 0;       // 0, 1 or 2
};

// Three 8-bit planes of a 4:2:0 picture (Y full size, U and V half size),
// each row `linesize` bytes apart: the shape of a decoded frame.
struct PicturePlanes {
  const uint8_t* data[3] = {nullptr, nullptr, nullptr};
  int linesize[3] = {0, 0, 0};
};

class ISS_OglRendererMgr {
 public:
  static constexpr int kErrorTextSize = 1024;
  static constexpr int kRenderFailure = 20;  // render thread code after a GL failure

  ISS_OglRendererMgr();
  ~ISS_OglRendererMgr();  // deletes textures, buffers and program
  ISS_OglRendererMgr(const ISS_OglRendererMgr&) = delete;
  ISS_OglRendererMgr& operator=(const ISS_OglRendererMgr&) = delete;

  // Textures, program, depth test and the four renderers. 0, or non-zero
  // with error_text() set.
  int init(const ManagerOptions& options);

  // Replaces the picture textures with a new W x H picture.
  void upload_frame(const PicturePlanes& planes, int width, int height);
  void upload_frame(const uint8_t* const data[3], const int linesize[3], int width, int height);

  // Clears the window and draws the enabled viewports in the order 0, 1,
  // 3, 2. Stops at a viewport without a mesh or after a GL error, leaving
  // the later ones undrawn; returns 0 when every enabled viewport was drawn.
  int draw_all(const int32_t viewport_enabled[kMaxViewports]);

  // Per viewport (0..3; other indexes print a message and do nothing).
  void set_rect(int vp, const ViewRect& rect);
  int set_draw_mode(int vp, int mode);  // 0, 7 (invalid mode, kept the old one) or 1
  void apply_zoom(int vp, float* zoom);
  void apply_angles(int vp, const float angle[3], float ring_rotation);
  const ISS_OglRenderer* renderer(int vp) const;
  // The zoom the viewport's current draw mode starts with (0 before init).
  float zoom_min(int vp) const;

  // Start-up: every enabled viewport gets its rectangle, draw mode, default
  // zoom and clamped angles, in index order.
  void apply_initial_views(ISS_ViewBlock& view);
  // One frame-loop step: a pending draw-mode change (default zoom, angles
  // reset to 0) and a pending rectangle change, each cleared once applied.
  // 0, or kRenderFailure after a GL error (error_text() names it).
  int apply_pending(ISS_ViewBlock& view);

  // Mouse events from the event pump. Drag steers the viewport under the
  // pointer and applies its angles; the wheel zooms the viewport under the
  // last pointer position. Both return the viewport changed, or -1.
  int on_mouse_motion(ISS_ViewBlock& view, int window_height, const PointerMotion& motion);
  int on_mouse_wheel(ISS_ViewBlock& view, int window_height, int last_x, int last_y, int wheel_y);

  const char* error_text() const { return error_text_; }
  int video_width() const { return video_width_; }
  int video_height() const { return video_height_; }

 private:
  enum Texture { kTextureY = 0, kTextureU, kTextureV, kTextureLogo, kTextureSpare, kTextureCount };

  bool valid_viewport(int vp) const;
  int regenerate_textures();
  int create_textures(const ManagerOptions& options);
  int generate_stitching_program();
  int bind_attributes_and_uniforms();
  int init_renderers(const ManagerOptions& options);
  bool gl_failed(int line);  // records "error in oglMgr" for a pending GL error
  // The text render thread reports as the reason of a failure.
  void set_error(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void apply_mode(ISS_ViewBlock& view, int vp);
  void delete_gl_objects();

  std::unique_ptr<ISS_OglRenderer> renderers_[kMaxViewports];
  unsigned textures_[kTextureCount] = {0, 0, 0, 0, 0};
  SharedProgram shared_;
  int u_st_matrix_ = -1, u_color_conversion_ = -1;
  int u_texture_y_ = -1, u_texture_u_ = -1, u_texture_v_ = -1, u_logo_texture_ = -1;
  unsigned texture_target_;
  char error_text_[kErrorTextSize] = {};
  float st_matrix_[16] = {};
  int video_width_ = 0, video_height_ = 0;
};

}  // namespace domeview
