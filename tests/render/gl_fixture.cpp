#include "gl_fixture.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "samplegen/frame_renderer.h"

namespace render_test {

GlWindow::~GlWindow() {
  if (context_) SDL_GL_DeleteContext(context_);
  if (window_) SDL_DestroyWindow(window_);
  if (window_ || context_) SDL_Quit();
}

bool GlWindow::Open(int width, int height, std::string* error) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return *error = SDL_GetError(), false;
  // The attributes the render thread asks for.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  for (SDL_GLattr channel : {SDL_GL_RED_SIZE, SDL_GL_GREEN_SIZE, SDL_GL_BLUE_SIZE, SDL_GL_ALPHA_SIZE})
    SDL_GL_SetAttribute(channel, 8);
  window_ = SDL_CreateWindow("render test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
  if (!window_) return *error = SDL_GetError(), false;
  context_ = SDL_GL_CreateContext(window_);
  if (!context_) return *error = SDL_GetError(), false;
  if (SDL_GL_MakeCurrent(window_, context_) != 0) return *error = SDL_GetError(), false;
  const GLenum glew = glewInit();
  if (glew != GLEW_OK) return *error = reinterpret_cast<const char*>(glewGetErrorString(glew)), false;
  return true;
}

std::vector<uint8_t> GlWindow::ReadRgb(const domeview::ViewRect& rect) const {
  std::vector<uint8_t> pixels(size_t(rect.width) * rect.height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(rect.x, rect.y, rect.width, rect.height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

float GlWindow::ReadDepth(int x, int y) const {
  float depth = -1;
  glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  return depth;
}

domeview::PicturePlanes YuvPicture::View() const {
  domeview::PicturePlanes view;
  for (int i = 0; i < 3; ++i) {
    view.data[i] = planes[i].data();
    view.linesize[i] = linesize[i];
  }
  return view;
}

YuvPicture YuvPicture::Padded(int padding) const {
  YuvPicture padded = *this;
  for (int i = 0; i < 3; ++i) {
    const int rows = i == 0 ? height : height / 2, bytes = i == 0 ? width : width / 2;
    padded.linesize[i] = linesize[i] + padding;
    padded.planes[i].assign(size_t(padded.linesize[i]) * rows, 0xEE);  // padding shows if read
    for (int row = 0; row < rows; ++row)
      std::memcpy(&padded.planes[i][size_t(row) * padded.linesize[i]], &planes[i][size_t(row) * linesize[i]], bytes);
  }
  return padded;
}

namespace {

// Bilinear sample of one plane at texel coordinates (u, v), edges clamped.
double SamplePlane(const std::vector<uint8_t>& plane, int stride, int w, int h, double u, double v) {
  const double x = u - 0.5, y = v - 0.5;
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  const auto at = [&](int px, int py) {
    return double(plane[size_t(std::clamp(py, 0, h - 1)) * stride + std::clamp(px, 0, w - 1)]);
  };
  return (at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy) +
         (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy;
}

uint8_t ToByte(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value * 255.0), 0L, 255L)); }

}  // namespace

samplegen::Rgb YuvPicture::Sample(double px, double py) const {
  const int cw = width / 2, ch = height / 2;
  const double y = SamplePlane(planes[0], linesize[0], width, height, px, py) / 255.0 - 16.0 / 255.0;
  const double u = SamplePlane(planes[1], linesize[1], cw, ch, px * cw / width, py * ch / height) / 255.0 - 0.5;
  const double v = SamplePlane(planes[2], linesize[2], cw, ch, px * cw / width, py * ch / height) / 255.0 - 0.5;
  return {ToByte(1.164 * y + 1.596 * v), ToByte(1.164 * y - 0.392 * u - 0.813 * v), ToByte(1.164 * y + 2.017 * u)};
}

YuvPicture RenderFisheyePicture(const samplegen::FisheyeLens& lens, int width, int height, double seconds) {
  YuvPicture picture;
  picture.width = width;
  picture.height = height;
  picture.linesize[0] = width;
  picture.linesize[1] = picture.linesize[2] = width / 2;
  picture.planes[0].resize(size_t(width) * height);
  picture.planes[1].resize(size_t(width / 2) * (height / 2));
  picture.planes[2].resize(picture.planes[1].size());
  const samplegen::FrameRenderer renderer(lens, width, height);
  renderer.Render(0, seconds, {picture.planes[0].data(), width}, {picture.planes[1].data(), width / 2},
                  {picture.planes[2].data(), width / 2});
  return picture;
}

}  // namespace render_test
