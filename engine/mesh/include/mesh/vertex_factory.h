#pragma once
// VertexFactory turns a projection model (the draw mode) and the lens
// calibration into the four vertex arrays the picture shader consumes:
// positions (3 floats per vertex), texture coordinates (4: xy primary,
// zw secondary), blend weights (1) and texture indices (1: 1 picture,
// 4 logo, 0 black). The fisheye picture is unwarped here, once per build:
// each vertex gets the picture point that looks in its direction.
//
// Models: 0 quad, 1 flat 360 x 180 grid, 2..5 sphere of radius 4, 6 ring
// strip. Grids run at one degree per cell.
//
// No GL here: the arrays are plain memory, uploaded by the renderer.

#include <vector>

#include "mesh/lens_calibration.h"

namespace domeview {

constexpr int kProjectionQuad = 0;
constexpr int kProjectionFlat = 1;
constexpr int kProjectionRing = 6;
constexpr int kProjectionModels = 7;  // 0..6

// Texture index values of the picture shader.
constexpr float kTexIndexBlack = 0.0f;
constexpr float kTexIndexPicture = 1.0f;
constexpr float kTexIndexLogo = 4.0f;

constexpr float kSphereRadius = 4.0f;
constexpr int kRingColumns = 80;
constexpr int kRingRows = 20;
constexpr float kRingStartRotation = 1.5707963f;  // radians, pi/2

class VertexFactory {
 public:
  virtual ~VertexFactory() = default;

  // Loads the calibration unless the picture is shown raw. 0, or the
  // reader's code (the builder then refuses lens-mapped meshes).
  int init(bool raw_picture, int mounting, const char* calibration_path);

  // Builds the mesh of a model. Returns the positions, or nullptr with a
  // message on standard output. Every build replaces all four arrays.
  const float* build(int model, int need_logo, int logo_fov);

  // Draw mode 0 shows the decoded picture, whose size replaces the
  // calibration's.
  void set_picture_size(int width, int height);

  // Recomputes the ring's texture coordinates for a rotation in radians.
  void update_ring_texcoords(float rotation);

  const std::vector<float>& positions() const { return positions_; }
  const std::vector<float>& texcoords() const { return texcoords_; }
  const std::vector<float>& weights() const { return weights_; }
  const std::vector<float>& indices() const { return indices_; }
  int position_count() const { return static_cast<int>(positions_.size()); }
  int texcoord_count() const { return static_cast<int>(texcoords_.size()); }
  int weight_count() const { return static_cast<int>(weights_.size()); }
  int index_count() const { return static_cast<int>(indices_.size()); }

  float base_roll() const { return base_roll_; }  // degrees
  bool calibration_loaded() const { return calibration_loaded_; }
  const LensCalibration& calibration() const { return calib_; }
  // The cap size used by the last build, in degrees (derived when negative).
  int logo_fov() const { return logo_fov_; }
  // First mesh row that the lens does not cover in the last lens build,
  // or the row count when the lens covers them all.
  int lens_end_row() const { return lens_end_row_; }

  static constexpr int kStep = 1;            // degrees per grid cell
  static constexpr int kLongitudeSpan = 360;  // degrees
  static constexpr int kLatitudeSpan = 180;   // degrees

 private:
  void clear_arrays();
  void build_quad();
  void build_flat();
  void build_sphere();
  void build_ring();
  // Lens texture coordinates, indices and the logo cap for a grid of
  // `cols` x `rows` cells, rows starting at the lens centre.
  void build_lens_texcoords(int cols, int rows);
  int derived_logo_fov() const;
  int map_lens_rows(int cols, int rows, int lens_rows);
  void map_logo_cap(int cols, int rows, int first_row);
  bool maps_lens() const { return !raw_picture_ && calib_.camera_count == 1; }

  std::vector<float> positions_, texcoords_, weights_, indices_;
  LensCalibration calib_;
  bool raw_picture_ = false;
  bool calibration_loaded_ = false;
  int mounting_ = 0;
  float base_roll_ = 0;
  int need_logo_ = 0;
  int logo_fov_ = 0;
  int lens_end_row_ = 0;
  float depth_ = 0;  // z of the flat meshes
};

}  // namespace domeview
