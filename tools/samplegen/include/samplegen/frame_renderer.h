#pragma once
// Draws the frames of a recording in YUV 4:2:0 (BT.601, limited range).
// The still scene is rendered once; each frame copies it and redraws only
// the ball and the two frame markers:
//  - top left, the frame number in digits for people;
//  - top right, the frame number as 16 blocks (most significant first,
//    white for 1, dark grey for 0) for tests that read pictures back.
// Both markers sit in the corners, outside the lens circle; a picture too
// small for them shows the part that fits.

#include <cstdint>
#include <memory>
#include <vector>

#include "samplegen/geometry.h"

namespace samplegen {

struct PlaneView {
  uint8_t* data;
  int stride;
};

struct FrameCodeLayout {
  int x, y;       // top-left corner of the first block
  int blockSize;  // pixels
  static constexpr int kBits = 16;
};
FrameCodeLayout FrameCodeLayoutFor(int width, int height);

// Reads the frame number back from a decoded picture's luma plane; -1 when
// the corner does not hold a frame code.
int ReadFrameCode(const uint8_t* luma, int stride, int width, int height);

class FrameRenderer {
 public:
  // `projection` must outlive the renderer. Width and height must be even.
  FrameRenderer(const Projection& projection, int width, int height);

  void Render(int frameIndex, double seconds, PlaneView y, PlaneView u, PlaneView v) const;

 private:
  struct Box {
    int x0, y0, x1, y1;  // even-aligned, x1/y1 exclusive
  };
  // Scene colours of the box into planes; `seconds` < 0 leaves out the ball.
  void RenderBox(const Box& box, double seconds, PlaneView y, PlaneView u, PlaneView v) const;
  Box BallBox(double seconds) const;

  const Projection& projection_;
  int width_, height_;
  std::vector<uint8_t> stillY_, stillU_, stillV_;
};

}  // namespace samplegen
