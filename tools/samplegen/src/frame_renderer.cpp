#include "samplegen/frame_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>

#include "samplegen/glyphs.h"
#include "samplegen/scene.h"

namespace samplegen {
namespace {

constexpr uint8_t kBlackY = 16, kNeutralChroma = 128;
constexpr uint8_t kMarkerWhiteY = 235, kMarkerZeroY = 60;
constexpr int kCounterDigits = 5;

// BT.601 limited range, the conversion the player's shader inverts.
void ToYuv(Rgb c, uint8_t* y, double* cb, double* cr) {
  const double r = c.r / 255.0, g = c.g / 255.0, b = c.b / 255.0;
  *y = static_cast<uint8_t>(std::lround(16 + 65.481 * r + 128.553 * g + 24.966 * b));
  *cb = 128 - 37.797 * r - 74.203 * g + 112.0 * b;
  *cr = 128 + 112.0 * r - 93.786 * g - 18.214 * b;
}

uint8_t ClampByte(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

// A plane together with its size, so that markers drawn near the edges of
// a small picture are cut at the plane's border instead of running off it.
struct Plane {
  PlaneView view;
  int width, height;
};

void FillRect(Plane plane, int x0, int y0, int x1, int y1, uint8_t value) {
  x0 = std::max(x0, 0), y0 = std::max(y0, 0);
  x1 = std::min(x1, plane.width), y1 = std::min(y1, plane.height);
  if (x1 <= x0) return;
  for (int row = y0; row < y1; ++row) std::memset(plane.view.data + row * plane.view.stride + x0, value, x1 - x0);
}

void DrawCounter(int frameIndex, Plane y, Plane u, Plane v) {
  const int scale = std::max(2, y.height / 150);
  const int origin = scale * 3;
  char digits[16];
  std::snprintf(digits, sizeof(digits), "%0*d", kCounterDigits, frameIndex % 100000);
  const int x1 = origin + kCounterDigits * (kGlyphColumns + 1) * scale, y1 = origin + kGlyphRows * scale;
  FillRect(y, origin & ~1, origin & ~1, (x1 + 1) & ~1, (y1 + 1) & ~1, kBlackY);
  FillRect(u, origin / 2, origin / 2, (x1 + 1) / 2, (y1 + 1) / 2, kNeutralChroma);
  FillRect(v, origin / 2, origin / 2, (x1 + 1) / 2, (y1 + 1) / 2, kNeutralChroma);
  for (int d = 0; d < kCounterDigits; ++d) {
    for (int row = 0; row < kGlyphRows; ++row) {
      for (int col = 0; col < kGlyphColumns; ++col) {
        if (!GlyphInk(digits[d], col, row)) continue;
        const int px = origin + (d * (kGlyphColumns + 1) + col) * scale, py = origin + row * scale;
        FillRect(y, px, py, px + scale, py + scale, kMarkerWhiteY);
      }
    }
  }
}

void DrawFrameCode(int frameIndex, Plane y, Plane u, Plane v) {
  const FrameCodeLayout layout = FrameCodeLayoutFor(y.width, y.height);
  const int b = layout.blockSize;
  for (int bit = 0; bit < FrameCodeLayout::kBits; ++bit) {
    const bool one = (frameIndex >> (FrameCodeLayout::kBits - 1 - bit)) & 1;
    const int x0 = layout.x + bit * b;
    FillRect(y, x0, layout.y, x0 + b, layout.y + b, one ? kMarkerWhiteY : kMarkerZeroY);
    FillRect(u, x0 / 2, layout.y / 2, (x0 + b) / 2, (layout.y + b) / 2, kNeutralChroma);
    FillRect(v, x0 / 2, layout.y / 2, (x0 + b) / 2, (layout.y + b) / 2, kNeutralChroma);
  }
}

// Runs fn(firstRow, endRow) over row bands on all cores; rows stay even.
template <typename Fn>
void ForRowBands(int y0, int y1, Fn fn) {
  const int threads = std::max(1u, std::thread::hardware_concurrency());
  const int rows = y1 - y0;
  if (rows < 64 || threads == 1) return fn(y0, y1);
  const int band = ((rows / threads) + 1) & ~1;
  std::vector<std::thread> workers;
  for (int start = y0; start < y1; start += band) workers.emplace_back(fn, start, std::min(start + band, y1));
  for (auto& worker : workers) worker.join();
}

}  // namespace

FrameCodeLayout FrameCodeLayoutFor(int width, int height) {
  const int block = std::max(4, height / 60);
  return {width - block - FrameCodeLayout::kBits * block, block, block};
}

int ReadFrameCode(const uint8_t* luma, int stride, int width, int height) {
  const FrameCodeLayout layout = FrameCodeLayoutFor(width, height);
  // A picture too small for the whole code cannot hold one.
  if (layout.x < 0 || layout.x + FrameCodeLayout::kBits * layout.blockSize > width ||
      layout.y + layout.blockSize > height) {
    return -1;
  }
  const int threshold = (kMarkerWhiteY + kMarkerZeroY) / 2;
  int code = 0;
  for (int bit = 0; bit < FrameCodeLayout::kBits; ++bit) {
    const int x = layout.x + bit * layout.blockSize + layout.blockSize / 2;
    const int y = layout.y + layout.blockSize / 2;
    const int value = luma[y * stride + x];
    if (value < (kBlackY + kMarkerZeroY) / 2) return -1;  // black: no code here
    code = (code << 1) | (value > threshold ? 1 : 0);
  }
  return code;
}

FrameRenderer::FrameRenderer(const Projection& projection, int width, int height)
    : projection_(projection), width_(width), height_(height) {
  stillY_.assign(size_t(width) * height, kBlackY);
  stillU_.assign(size_t(width / 2) * (height / 2), kNeutralChroma);
  stillV_.assign(stillU_.size(), kNeutralChroma);
  RenderBox({0, 0, width, height}, -1, {stillY_.data(), width}, {stillU_.data(), width / 2},
            {stillV_.data(), width / 2});
}

void FrameRenderer::RenderBox(const Box& box, double seconds, PlaneView y, PlaneView u, PlaneView v) const {
  ForRowBands(box.y0, box.y1, [&](int rowBegin, int rowEnd) {
    for (int row = rowBegin; row < rowEnd; row += 2) {
      for (int col = box.x0; col < box.x1; col += 2) {
        double cbSum = 0, crSum = 0;
        int seen = 0;
        for (int k = 0; k < 4; ++k) {
          const int px = col + (k & 1), py = row + (k >> 1);
          Vec3 direction;
          uint8_t luma = kBlackY;
          if (projection_.DirectionAt(px + 0.5, py + 0.5, &direction)) {
            const Rgb colour = seconds < 0 ? StaticSceneColour(direction) : SceneColour(direction, seconds);
            double cb, cr;
            ToYuv(colour, &luma, &cb, &cr);
            cbSum += cb, crSum += cr, ++seen;
          }
          y.data[py * y.stride + px] = luma;
        }
        // Chroma averages the four pixels; pixels outside the picture are neutral.
        const double cb = (cbSum + kNeutralChroma * (4 - seen)) / 4, cr = (crSum + kNeutralChroma * (4 - seen)) / 4;
        u.data[(row / 2) * u.stride + col / 2] = ClampByte(cb);
        v.data[(row / 2) * v.stride + col / 2] = ClampByte(cr);
      }
    }
  });
}

FrameRenderer::Box FrameRenderer::BallBox(double seconds) const {
  // Project points round the ball's rim and take their bounds, with a margin.
  const Vec3 centre = BallCentre(seconds);
  const Vec3 side = Normalized(Cross(centre, Vec3{0, 0, 1}));
  const Vec3 across = Cross(side, centre);
  double x0 = width_, y0 = height_, x1 = -1, y1 = -1;
  const double rim = std::tan(kBallRadius * kDegree) * 1.15;
  for (int i = 0; i < 24; ++i) {
    const double a = 2 * kPi * i / 24;
    const Vec3 point = centre + (rim * std::cos(a)) * side + (rim * std::sin(a)) * across;
    double px, py;
    if (!projection_.PixelOf(point, &px, &py)) continue;
    x0 = std::min(x0, px), y0 = std::min(y0, py), x1 = std::max(x1, px), y1 = std::max(y1, py);
  }
  const auto even = [](double value, int limit) { return std::clamp(static_cast<int>(value) & ~1, 0, limit); };
  return {even(x0 - 2, width_), even(y0 - 2, height_), even(x1 + 4, width_), even(y1 + 4, height_)};
}

void FrameRenderer::Render(int frameIndex, double seconds, PlaneView y, PlaneView u, PlaneView v) const {
  for (int row = 0; row < height_; ++row) std::memcpy(y.data + row * y.stride, &stillY_[size_t(row) * width_], width_);
  for (int row = 0; row < height_ / 2; ++row) {
    std::memcpy(u.data + row * u.stride, &stillU_[size_t(row) * (width_ / 2)], width_ / 2);
    std::memcpy(v.data + row * v.stride, &stillV_[size_t(row) * (width_ / 2)], width_ / 2);
  }
  const Box ball = BallBox(seconds);
  if (ball.x1 > ball.x0 && ball.y1 > ball.y0) RenderBox(ball, seconds, y, u, v);
  const Plane luma{y, width_, height_}, cb{u, width_ / 2, height_ / 2}, cr{v, width_ / 2, height_ / 2};
  DrawCounter(frameIndex, luma, cb, cr);
  DrawFrameCode(frameIndex, luma, cb, cr);
}

}  // namespace samplegen
