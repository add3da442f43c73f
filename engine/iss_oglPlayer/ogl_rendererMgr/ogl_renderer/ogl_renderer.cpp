#include "ogl_rendererMgr/ogl_renderer/ogl_renderer.h"

#include <GL/glew.h>

#include <cstdio>

namespace domeview {
namespace {

// Source name printed with GL failures of the viewport renderers.
constexpr char kSourceName[] = "iss_oglPlayer\\ogl_rendererMgr\\ogl_renderer\\ogl_renderer";

enum Buffer { kPositions = 0, kTexcoords = 1, kWeights = 2, kIndices = 3 };

// True when GL reports no error; otherwise prints it for viewport `vp`.
bool GlOk(int line, int vp) {
  const GLenum code = glGetError();
  if (code == GL_NO_ERROR) return true;
  std::printf("error in opengl %s(line %d): code %d, vp: %d\n", kSourceName, line, static_cast<int>(code), vp);
  return false;
}

}  // namespace

ISS_OglRenderer::~ISS_OglRenderer() { delete_buffers(); }

void ISS_OglRenderer::delete_buffers() {
  if (buffers_[0] != 0) glDeleteBuffers(4, buffers_);
  for (unsigned& buffer : buffers_) buffer = 0;
}

int ISS_OglRenderer::init(const SharedProgram* shared, int viewport_index, const Options& options) {
  const int code = mesh_builder_.init(options.raw_picture, options.mounting, options.calibration_path);
  if (code != 0) return code;
  viewport_index_ = viewport_index;
  view_ = ViewTransform();
  need_logo_ = options.need_logo;
  raw_picture_ = options.raw_picture;
  logo_fov_ = options.logo_fov;
  mesh_ready_ = false;
  shared_ = shared;
  float zoom = view_.zoom();
  view_.apply_zoom(&zoom);
  return 0;
}

void ISS_OglRenderer::set_rect(int x, int y, int width, int height) {
  view_.set_rect({x, y, width, height});
  glViewport(x, y, width, height);
}

int ISS_OglRenderer::set_draw_mode(int mode, int picture_width, int picture_height) {
  if (mode < 0 || mode >= kDrawModeCount) {
    std::printf("error: invalid draw mode %d;\n", mode);
    return 7;
  }
  const bool changed = view_.configure_mode(mode, picture_width, picture_height);
  if (mode == 0) mesh_builder_.set_picture_size(picture_width, picture_height);
  if ((changed || !mesh_ready_) && alloc_buffer_object() != 0) return 1;
  float zoom = view_.zoom_min();
  view_.apply_zoom(&zoom);
  return 0;
}

int ISS_OglRenderer::alloc_buffer_object() {
  view_.update_view();
  const VertexFactory& mesh = mesh_builder_;
  // Whatever happens below, the old mesh no longer matches the mode.
  mesh_ready_ = false;
  if (!mesh_builder_.build(view_.draw_mode(), need_logo_, logo_fov_) || mesh.texcoord_count() == 0 ||
      mesh.weight_count() == 0 || mesh.index_count() == 0)
    return 1;
  view_.set_base_roll(mesh.base_roll());
  delete_buffers();
  glUseProgram(shared_->program);
  if (!GlOk(__LINE__, viewport_index_)) return 1;

  glGenBuffers(4, buffers_);
  const std::vector<float>* arrays[4] = {&mesh.positions(), &mesh.texcoords(), &mesh.weights(), &mesh.indices()};
  for (int i = 0; i < 4; ++i) {
    glBindBuffer(GL_ARRAY_BUFFER, buffers_[i]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(arrays[i]->size() * sizeof(float)), arrays[i]->data(),
                 GL_DYNAMIC_DRAW);
  }
  if (!GlOk(__LINE__, viewport_index_)) return 1;  // e.g. out of memory
  position_count_ = mesh.position_count();
  mesh_ready_ = true;
  std::printf("ISS_OglRenderer::alloc_buffer_object()_End:\n");
  glUseProgram(shared_->program);
  const ViewRect& r = view_.rect();
  glViewport(r.x, r.y, r.width, r.height);
  bind_attributes();
  return 0;
}

// Points the shared program's attributes at this renderer's buffers. Every
// viewport draws with the same program, so each draw binds its own mesh.
void ISS_OglRenderer::bind_attributes() const {
  const struct {
    int location, components;
    Buffer buffer;
  } attributes[4] = {{shared_->a_position, 3, kPositions},
                     {shared_->a_texture_coord, 4, kTexcoords},
                     {shared_->a_left_weights, 1, kWeights},
                     {shared_->a_tex_index, 1, kIndices}};
  for (const auto& a : attributes) {
    if (a.location < 0) continue;
    glBindBuffer(GL_ARRAY_BUFFER, buffers_[a.buffer]);
    glEnableVertexAttribArray(static_cast<GLuint>(a.location));
    glVertexAttribPointer(static_cast<GLuint>(a.location), a.components, GL_FLOAT, GL_FALSE, 0, nullptr);
  }
}

void ISS_OglRenderer::upload_ring_texcoords() {
  mesh_builder_.update_ring_texcoords(view_.ring_rotation());
  const std::vector<float>& texcoords = mesh_builder_.texcoords();
  glBindBuffer(GL_ARRAY_BUFFER, buffers_[kTexcoords]);
  glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(texcoords.size() * sizeof(float)), texcoords.data());
  if (shared_->a_texture_coord >= 0)
    glVertexAttribPointer(static_cast<GLuint>(shared_->a_texture_coord), 4, GL_FLOAT, GL_FALSE, 0, nullptr);
}

int ISS_OglRenderer::draw() {
  if (!mesh_ready_) {
    std::printf("error: vp %d vertex is not inited, please set draw mode first;\n", viewport_index_);
    return kNotInited;
  }
  glUseProgram(shared_->program);
  const ViewRect& r = view_.rect();
  glViewport(r.x, r.y, r.width, r.height);
  const Mat4 mvp = view_.mvp();
  glUniformMatrix4fv(shared_->u_mvp_matrix, 1, GL_FALSE, mvp.data());
  bind_attributes();
  if (view_.draw_mode() == kDrawModeRing) upload_ring_texcoords();
  glDrawArrays(GL_TRIANGLES, 0, position_count_ / 3);
  return GlOk(__LINE__, viewport_index_) ? 0 : kGlError;
}

}  // namespace domeview
