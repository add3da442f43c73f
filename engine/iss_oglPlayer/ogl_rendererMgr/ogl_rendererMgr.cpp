#include "ogl_rendererMgr/ogl_rendererMgr.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "ogl_rendererMgr/shaders.h"

namespace domeview {
namespace {

constexpr char kManagerSourceName[] = "ogl_rendererMgr";
constexpr char kRendererSourceName[] = "iss_oglPlayer\\ogl_rendererMgr\\ogl_renderer\\ogl_renderer";
constexpr int kUploadErrorLine = 188;
constexpr int kDrawOrder[kMaxViewports] = {0, 1, 3, 2};

std::string ShaderLog(GLuint shader) {
  GLint length = 0;
  glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
  std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
  glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
  return log.c_str();
}

std::string ProgramLog(GLuint program) {
  GLint length = 0;
  glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
  std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
  glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
  return log.c_str();
}

bool CompileShader(GLuint shader, const char* source) {
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint status = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  return status == GL_TRUE;
}

}  // namespace

ISS_OglRendererMgr::ISS_OglRendererMgr() : texture_target_(GL_TEXTURE_2D) {}

ISS_OglRendererMgr::~ISS_OglRendererMgr() { delete_gl_objects(); }

void ISS_OglRendererMgr::delete_gl_objects() {
  for (auto& renderer : renderers_) renderer.reset();
  if (textures_[0] != 0) glDeleteTextures(kTextureCount, textures_);
  std::fill(std::begin(textures_), std::end(textures_), 0u);
  if (shared_.program != 0) glDeleteProgram(shared_.program);
  shared_.program = 0;
}

void ISS_OglRendererMgr::set_error(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(error_text_, sizeof(error_text_), format, args);
  va_end(args);
}

bool ISS_OglRendererMgr::gl_failed(int line) {
  const GLenum code = glGetError();
  if (code == GL_NO_ERROR) return false;
  set_error("error in oglMgr(line %d): code %d\n", line, static_cast<int>(code));
  return true;
}

int ISS_OglRendererMgr::init(const ManagerOptions& options) {
  error_text_[0] = '\0';
  if (options.video_width <= 0 || options.video_height <= 0) {
    set_error("error: invalid video size %d x %d;\n", options.video_width, options.video_height);
    return 1;
  }
  if (options.need_logo && (!options.logo_bgr || options.logo_width <= 0 || options.logo_height <= 0)) {
    set_error("error: the logo is asked for but no logo picture was given;\n");
    return 1;
  }
  std::copy(std::begin(kSTMatrix), std::end(kSTMatrix), st_matrix_);
  if (regenerate_textures() != 0) return 1;
  video_width_ = options.video_width;
  video_height_ = options.video_height;
  if (create_textures(options) != 0 || generate_stitching_program() != 0 || bind_attributes_and_uniforms() != 0)
    return 1;
  glEnable(GL_DEPTH_TEST);
  return init_renderers(options);
}

int ISS_OglRendererMgr::regenerate_textures() {
  for (unsigned& texture : textures_) {
    if (texture != 0) glDeleteTextures(1, &texture);
    glGenTextures(1, &texture);
    if (gl_failed(205)) return 1;
  }
  return 0;
}

int ISS_OglRendererMgr::create_textures(const ManagerOptions& options) {
  if (gl_failed(256)) return 1;
  // Rows of any length upload as they are: the plane and logo rows need
  // not be multiples of four bytes.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  const int sizes[3][2] = {{video_width_, video_height_},
                           {video_width_ / 2, video_height_ / 2},
                           {video_width_ / 2, video_height_ / 2}};
  const auto setParameters = [this](GLenum target, bool check) {
    const GLenum names[4] = {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER, GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T};
    const GLint values[4] = {GL_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE};
    const int lines[4] = {265, 268, 271, 274};
    for (int i = 0; i < 4; ++i) {
      glTexParameteri(target, names[i], values[i]);
      if (check && gl_failed(lines[i])) return false;
    }
    return true;
  };
  for (int plane = kTextureY; plane <= kTextureV; ++plane) {
    glBindTexture(texture_target_, textures_[plane]);
    if (gl_failed(261) || !setParameters(texture_target_, true)) return 1;
    glTexImage2D(texture_target_, 0, GL_LUMINANCE, sizes[plane][0], sizes[plane][1], 0, GL_LUMINANCE,
                 GL_UNSIGNED_BYTE, nullptr);
    if (gl_failed(278)) return 1;
  }
  if (options.need_logo) {
    glBindTexture(GL_TEXTURE_2D, textures_[kTextureLogo]);
    setParameters(GL_TEXTURE_2D, false);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, options.logo_width, options.logo_height, 0, GL_BGR, GL_UNSIGNED_BYTE,
                 options.logo_bgr);
    if (gl_failed(293)) return 1;
  }
  return 0;
}

int ISS_OglRendererMgr::generate_stitching_program() {
  if (shared_.program != 0) glDeleteProgram(shared_.program);
  shared_.program = 0;
  const GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
  const GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
  if (!CompileShader(vertex, kVertexShaderSource)) {
    const std::string log = ShaderLog(vertex);
    std::printf("Could not compile vertex shader:\n%s\n", log.c_str());
    set_error("Could not compile vertex shader:\n%s\n", log.c_str());
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return 1;
  }
  if (!CompileShader(fragment, kFragmentShaderSource)) {
    const std::string log = ShaderLog(fragment);
    std::printf("Could not compile fragment shader:\n%s\n", log.c_str());
    set_error("Could not compile fragment shader:\n%s\n", log.c_str());
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return 1;
  }
  const GLuint program = glCreateProgram();
  if (program == 0) {
    std::printf("error: fail to create glProgram;\n");
    set_error("error: fail to create glProgram;\n");
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return 1;
  }
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glLinkProgram(program);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  // Shader objects are flagged for deletion; they go with the program.
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  if (linked == GL_TRUE) {
    shared_.program = program;
    return 0;
  }
  const std::string log = ProgramLog(program);
  std::printf("error: Could not link program:\n%s\n;", log.c_str());
  set_error("error: Could not link program:\n%s\n;", log.c_str());
  glDeleteProgram(program);
  return 1;
}

int ISS_OglRendererMgr::bind_attributes_and_uniforms() {
  glUseProgram(shared_.program);
  const struct {
    const char* name;
    int components;
    int* location;
    int line;
  } attributes[4] = {{"aPosition", 3, &shared_.a_position, 395},
                     {"aTextureCoord", 4, &shared_.a_texture_coord, 401},
                     {"aLeftWeights", 1, &shared_.a_left_weights, 407},
                     {"aTexIndex", 1, &shared_.a_tex_index, 412}};
  for (const auto& a : attributes) {
    *a.location = glGetAttribLocation(shared_.program, a.name);
    glEnableVertexAttribArray(static_cast<GLuint>(*a.location));
    glVertexAttribPointer(static_cast<GLuint>(*a.location), a.components, GL_FLOAT, GL_FALSE, 0, nullptr);
    if (gl_failed(a.line)) return 1;
  }
  const GLuint p = shared_.program;
  const float zeros[16] = {};
  shared_.u_mvp_matrix = glGetUniformLocation(p, "uMVPMatrix");
  glUniformMatrix4fv(shared_.u_mvp_matrix, 1, GL_FALSE, zeros);
  if (gl_failed(417)) return 1;
  u_st_matrix_ = glGetUniformLocation(p, "uSTMatrix");
  glUniformMatrix4fv(u_st_matrix_, 1, GL_FALSE, st_matrix_);
  if (gl_failed(421)) return 1;
  u_color_conversion_ = glGetUniformLocation(p, "uColorConversion");
  glUniformMatrix3fv(u_color_conversion_, 1, GL_FALSE, kColorConversion);
  if (gl_failed(425)) return 1;
  const struct {
    const char* name;
    int* location;
    int unit, line;
  } samplers[4] = {{"sTextureY", &u_texture_y_, 0, 429},
                   {"sTextureU", &u_texture_u_, 1, 433},
                   {"sTextureV", &u_texture_v_, 2, 437},
                   {"logoTexture", &u_logo_texture_, 3, 441}};
  for (const auto& s : samplers) {
    *s.location = glGetUniformLocation(p, s.name);
    glUniform1i(*s.location, s.unit);
    if (gl_failed(s.line)) return 1;
  }
  return 0;
}

int ISS_OglRendererMgr::init_renderers(const ManagerOptions& options) {
  ISS_OglRenderer::Options renderer_options;
  renderer_options.calibration_path = options.calibration_path;
  renderer_options.need_logo = options.need_logo;
  renderer_options.logo_fov = options.logo_fov;
  renderer_options.raw_picture = options.raw_picture != 0;
  renderer_options.mounting = options.mounting;
  for (int vp = 0; vp < kMaxViewports; ++vp) {
    renderers_[vp] = std::make_unique<ISS_OglRenderer>();
    const int code = renderers_[vp]->init(&shared_, vp, renderer_options);
    if (code != 0) {
      set_error("error: can not load calibration file %s: code %d;\n",
               options.calibration_path ? options.calibration_path : "(none)", code);
      return code;
    }
  }
  return 0;
}

void ISS_OglRendererMgr::upload_frame(const uint8_t* const data[3], const int linesize[3], int width, int height) {
  PicturePlanes planes;
  for (int i = 0; i < 3; ++i) {
    planes.data[i] = data[i];
    planes.linesize[i] = linesize[i];
  }
  upload_frame(planes, width, height);
}

void ISS_OglRendererMgr::upload_frame(const PicturePlanes& planes, int width, int height) {
  const int sizes[3][2] = {{width, height}, {width / 2, height / 2}, {width / 2, height / 2}};
  for (int i = 0; i < 3; ++i) {
    if (!planes.data[i] || planes.linesize[i] < sizes[i][0]) {
      std::printf("error: invalid picture plane %d: line size %d for width %d;\n", i, planes.linesize[i],
                  sizes[i][0]);
      return;
    }
  }
  // Rows are read `linesize` bytes apart and need not be 4-byte aligned.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (int i = 0; i < 3; ++i) {
    glPixelStorei(GL_UNPACK_ROW_LENGTH, planes.linesize[i]);
    glBindTexture(GL_TEXTURE_2D, textures_[kTextureY + i]);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, sizes[i][0], sizes[i][1], GL_LUMINANCE, GL_UNSIGNED_BYTE,
                    planes.data[i]);
    const GLenum code = glGetError();
    if (code != GL_NO_ERROR) {
      std::printf("error in opengl %s(line %d): code %d\n", kManagerSourceName, kUploadErrorLine,
                  static_cast<int>(code));
      break;
    }
  }
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

int ISS_OglRendererMgr::draw_all(const int32_t viewport_enabled[kMaxViewports]) {
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  for (int unit = 0; unit < 3; ++unit) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(texture_target_, textures_[kTextureY + unit]);
  }
  glActiveTexture(GL_TEXTURE3);
  glBindTexture(GL_TEXTURE_2D, textures_[kTextureLogo]);
  glActiveTexture(GL_TEXTURE0);
  for (int vp : kDrawOrder) {
    if (!viewport_enabled[vp]) continue;
    if (!renderers_[vp]) return 1;  // init never succeeded
    if (renderers_[vp]->draw() != 0) return 1;
  }
  return 0;
}

bool ISS_OglRendererMgr::valid_viewport(int vp) const {
  if (vp >= 0 && vp < kMaxViewports && renderers_[vp]) return true;
  std::printf("error: invalid viewport index %d;\n", vp);
  return false;
}

const ISS_OglRenderer* ISS_OglRendererMgr::renderer(int vp) const {
  return vp >= 0 && vp < kMaxViewports ? renderers_[vp].get() : nullptr;
}

float ISS_OglRendererMgr::zoom_min(int vp) const {
  const ISS_OglRenderer* r = renderer(vp);
  return r ? r->transform().zoom_min() : 0.0f;
}

void ISS_OglRendererMgr::set_rect(int vp, const ViewRect& rect) {
  if (valid_viewport(vp)) renderers_[vp]->set_rect(rect.x, rect.y, rect.width, rect.height);
}

int ISS_OglRendererMgr::set_draw_mode(int vp, int mode) {
  if (!valid_viewport(vp)) return 1;
  return renderers_[vp]->set_draw_mode(mode, video_width_, video_height_);
}

void ISS_OglRendererMgr::apply_zoom(int vp, float* zoom) {
  if (valid_viewport(vp)) renderers_[vp]->apply_zoom(zoom);
}

void ISS_OglRendererMgr::apply_angles(int vp, const float angle[3], float ring_rotation) {
  if (valid_viewport(vp)) renderers_[vp]->apply_angles(angle[0], angle[1], angle[2], ring_rotation);
}

// A draw mode as the frame loop applies it: default zoom, angles back to 0.
// The view block keeps the mode actually shown, so an invalid request
// leaves the old mode everywhere.
void ISS_OglRendererMgr::apply_mode(ISS_ViewBlock& view, int vp) {
  set_draw_mode(vp, view.draw_mode[vp]);
  view.draw_mode[vp] = renderers_[vp]->transform().draw_mode();
  view.zoom[vp] = zoom_min(vp);
  apply_zoom(vp, &view.zoom[vp]);
}

void ISS_OglRendererMgr::apply_initial_views(ISS_ViewBlock& view) {
  for (int vp = 0; vp < kMaxViewports; ++vp) {
    if (!view.viewport_enabled[vp] || !valid_viewport(vp)) continue;
    set_rect(vp, view.viewport_rect[vp]);
    apply_mode(view, vp);
    ClampViewAngles(view.view_angle[vp], view.angle_min[vp], view.angle_max[vp]);
    apply_angles(vp, view.view_angle[vp], view.ring_rotation);
  }
}

int ISS_OglRendererMgr::apply_pending(ISS_ViewBlock& view) {
  if (view.pending_mode_change != 0) {
    const int vp = view.pending_mode_change - 1;
    if (valid_viewport(vp)) {
      apply_mode(view, vp);
      std::fill(view.view_angle[vp], view.view_angle[vp] + 3, 0.0f);
      ClampViewAngles(view.view_angle[vp], view.angle_min[vp], view.angle_max[vp]);
      apply_angles(vp, view.view_angle[vp], view.ring_rotation);
    }
    view.pending_mode_change = 0;  // the host is polling for this
  }
  if (view.pending_viewport_change != 0) {
    const int vp = view.pending_viewport_change - 1;
    view.pending_viewport_change = 0;
    if (!valid_viewport(vp)) return 0;
    set_rect(vp, view.viewport_rect[vp]);
    const GLenum code = glGetError();
    if (code != GL_NO_ERROR) {
      std::printf("error in opengl %s(line %d): code %d, vp: %d\n", kRendererSourceName, __LINE__,
                  static_cast<int>(code), vp);
      set_error("error in opengl %s(line %d): code %d, vp: %d\n", kRendererSourceName, __LINE__,
               static_cast<int>(code), vp);
      return kRenderFailure;
    }
    view.viewport_enabled[vp] = 1;
  }
  return 0;
}

int ISS_OglRendererMgr::on_mouse_motion(ISS_ViewBlock& view, int window_height, const PointerMotion& motion) {
  const int vp = SteerByDrag(view, window_height, motion);
  if (vp >= 0 && renderers_[vp]) apply_angles(vp, view.view_angle[vp], view.ring_rotation);
  return vp;
}

int ISS_OglRendererMgr::on_mouse_wheel(ISS_ViewBlock& view, int window_height, int last_x, int last_y,
                                       int wheel_y) {
  const int vp = ZoomByWheel(view, window_height, last_x, last_y, wheel_y);
  if (renderers_[vp]) apply_zoom(vp, &view.zoom[vp]);
  return vp;
}

}  // namespace domeview
