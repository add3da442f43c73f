#pragma once
// A real GL window for the picture tests (under the test's own Xvfb) and
// the YUV pictures they upload.

#include <SDL2/SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ogl_rendererMgr/ogl_rendererMgr.h"
#include "samplegen/geometry.h"
#include "samplegen/scene.h"

namespace render_test {

// A shown window with a GL 2.0 context current on this thread and GLEW
// loaded, as the engine's render thread sets them up.
class GlWindow {
 public:
  ~GlWindow();
  bool Open(int width, int height, std::string* error);

  // RGB bytes of a rectangle, rows from the bottom up.
  std::vector<uint8_t> ReadRgb(const domeview::ViewRect& rect) const;
  float ReadDepth(int x, int y) const;  // 1.0 where nothing was drawn

 private:
  SDL_Window* window_ = nullptr;
  SDL_GLContext context_ = nullptr;
};

// A 4:2:0 picture with its planes `linesize` bytes per row.
struct YuvPicture {
  int width = 0, height = 0;
  int linesize[3] = {0, 0, 0};
  std::vector<uint8_t> planes[3];

  const uint8_t* data(int plane) const { return planes[plane].data(); }
  domeview::PicturePlanes View() const;
  // The same picture with every row padded to `padding` more bytes.
  YuvPicture Padded(int padding) const;
  // Colour at a picture position (pixel centres at +0.5), sampled like
  // GL_LINEAR textures and converted with the limited-range BT.601 matrix.
  samplegen::Rgb Sample(double px, double py) const;
};

// Frame 0 of the synthetic scene through a fisheye lens at `seconds`.
YuvPicture RenderFisheyePicture(const samplegen::FisheyeLens& lens, int width, int height, double seconds);

}  // namespace render_test
