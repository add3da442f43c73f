#pragma once
// Drawing helpers of the skin art generator: colours, shapes, PNG output.

#include <cairo.h>

#include <cstdint>
#include <string>

namespace skinart {

struct Rgba {
  double r, g, b, a;
};
// 0xRRGGBB with an opacity.
constexpr Rgba Hex(uint32_t rgb, double alpha = 1.0) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

// The palette of the dark skin.
namespace palette {
constexpr Rgba kWindow = Hex(0x14171C);
constexpr Rgba kPanel = Hex(0x1B1F26);
constexpr Rgba kRaised = Hex(0x262B34);
constexpr Rgba kBorder = Hex(0x2E343E);
constexpr Rgba kGlyph = Hex(0xC4CAD3);
constexpr Rgba kGlyphHot = Hex(0xFFFFFF);
constexpr Rgba kGlyphDim = Hex(0x5A606B);
constexpr Rgba kHover = Hex(0xFFFFFF, 0.08);
constexpr Rgba kPressed = Hex(0xFFFFFF, 0.16);
constexpr Rgba kAccent = Hex(0x3B9EFF);
constexpr Rgba kAccentDeep = Hex(0x2A7BD6);
constexpr Rgba kDanger = Hex(0xE5484D);
constexpr Rgba kNeedleRed = Hex(0xE5484D);
constexpr Rgba kNeedleLight = Hex(0xE8ECF1);
}  // namespace palette

// An ARGB picture being drawn; written as PNG by Save.
class Picture {
 public:
  Picture(int width, int height);
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Throws std::runtime_error when the file cannot be written.
  void Save(const std::string& path) const;

 private:
  int width_;
  int height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

void SetColor(cairo_t* cr, const Rgba& color);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
void FillRounded(cairo_t* cr, double x, double y, double w, double h, double radius, const Rgba& color);

}  // namespace skinart
