#pragma once
// ISS_OglRenderer draws one viewport: it owns the viewport's mesh builder,
// its four vertex buffers and its geometry (ViewTransform), and draws with
// the program and textures its manager shares among all viewports.
//
// Every call that touches GL must be made on the render thread with the
// manager's context current; the geometry calls (apply_zoom, apply_angles
// and the getters) do no GL work.

#include "mesh/vertex_factory.h"
#include "ogl_rendererMgr/ogl_renderer/view_transform.h"

namespace domeview {

// Program and locations owned by the manager, shared by its renderers.
struct SharedProgram {
  unsigned program = 0;
  int a_position = -1, a_texture_coord = -1, a_left_weights = -1, a_tex_index = -1;
  int u_mvp_matrix = -1;
};

class ISS_OglRenderer {
 public:
  ISS_OglRenderer() = default;
  ~ISS_OglRenderer();  // deletes the vertex buffers
  ISS_OglRenderer(const ISS_OglRenderer&) = delete;
  ISS_OglRenderer& operator=(const ISS_OglRenderer&) = delete;

  struct Options {
    const char* calibration_path = nullptr;
    int need_logo = 0;
    int logo_fov = -1;  // degrees; negative derives it from the lens
    bool raw_picture = false;
    int mounting = 0;
  };
  // Loads the calibration into the mesh builder; 0 or the reader's code.
  int init(const SharedProgram* shared, int viewport_index, const Options& options);

  // Stores the rectangle and sets the GL viewport to it.
  void set_rect(int x, int y, int width, int height);

  // Applies a draw mode for a W x H picture: extents, default zoom, and a
  // new mesh when the mode changed or none was built. 0; 7 for a mode
  // outside 0..6 (the old mode stays); 1 when the mesh cannot be built.
  int set_draw_mode(int mode, int picture_width, int picture_height);

  void apply_zoom(float* zoom) { view_.apply_zoom(zoom); }
  void apply_angles(float a0, float a1, float a2, float ring_rotation) {
    view_.apply_angles(a0, a1, a2, ring_rotation);
  }

  // Builds the current mode's mesh and uploads it into four new buffers.
  // 0, or 1 with a message on standard output.
  int alloc_buffer_object();

  // Draws the mesh into the viewport. 0; kNotInited (message printed) when
  // no mesh was built; kGlError after a GL error (message printed).
  int draw();
  static constexpr int kNotInited = 1;
  static constexpr int kGlError = 2;

  bool mesh_ready() const { return mesh_ready_; }
  int viewport_index() const { return viewport_index_; }
  const ViewTransform& transform() const { return view_; }
  const VertexFactory& mesh_builder() const { return mesh_builder_; }

 private:
  void bind_attributes() const;
  void upload_ring_texcoords();
  void delete_buffers();

  const SharedProgram* shared_ = nullptr;
  int viewport_index_ = 0;
  VertexFactory mesh_builder_;
  ViewTransform view_;
  unsigned buffers_[4] = {0, 0, 0, 0};  // positions, texcoords, weights, indices
  int position_count_ = 0;
  bool mesh_ready_ = false;
  int need_logo_ = 0;
  bool raw_picture_ = false;
  int logo_fov_ = -1;
};

}  // namespace domeview
