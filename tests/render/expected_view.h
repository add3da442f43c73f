#pragma once
// The picture a viewport must show, worked out backwards from each output
// pixel: through the draw mode's camera onto the flat grid or the sphere,
// from the mesh point to the direction the lens mapping gives it, and from
// the direction to the synthetic scene's colour. Written in double
// precision from the geometry of the modes, independently of the
// renderer's matrices. Shared by the render tests (the manager alone) and
// the engine tests (whole playback) as the library `render_expectations`.

#include <cstdint>
#include <vector>

namespace render_test {

struct ViewCase {
  int mode = 1;            // 1..5
  int width = 0, height = 0;  // viewport, pixels
  float angles[3] = {0, 0, 0};  // degrees, as applied to the renderer
  float base_roll = 0;          // degrees, from the mounting
};

// Deliberate mistakes, to prove that the comparison notices them.
struct Distortion {
  double yaw_degrees = 0;    // the scene turned about the lens axis
  bool mirror_x = false;     // one picture axis flipped
  double theta_scale = 1.0;  // a lens of another radius
};

// Grid latitude and longitude (degrees) the viewport shows at normalised
// device coordinates (x, y); false where it shows the background.
bool GridAnglesAt(const ViewCase& view, double ndc_x, double ndc_y, double* phi, double* lambda);

// Expected RGB image, rows from the bottom up. Directions at or beyond
// `lens_end_degrees` from the lens axis are black: the mesh rows there
// carry texture index 0.
std::vector<uint8_t> ExpectedSceneView(const ViewCase& view, double seconds, double lens_end_degrees,
                                       const Distortion& distortion = {});

// Peak signal-to-noise ratio of two RGB images of the same size, in dB,
// over the pixels `mask` selects (all when null).
double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, const std::vector<bool>* mask = nullptr);

}  // namespace render_test
