#include <cmath>

#include "pieces.h"

namespace skinart {
namespace {

// A 24 x 24 rounded frame, stretched by the skin with a 6-pixel corner.
void WriteFrame(const std::string& path, const Rgba& fill, const Rgba& border) {
  Picture picture(24, 24);
  cairo_t* cr = picture.cr();
  RoundedRect(cr, 0.5, 0.5, 23, 23, 5);
  SetColor(cr, fill);
  cairo_fill_preserve(cr);
  SetColor(cr, border);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  picture.Save(path);
}

// A rail of `thickness` pixels across a picture `height` high, stretched
// horizontally with a corner as wide as the rail is round.
void WriteRail(const std::string& path, int height, double thickness, const Rgba& color, bool gradient) {
  Picture picture(40, height);
  cairo_t* cr = picture.cr();
  RoundedRect(cr, 0, (height - thickness) / 2, 40, thickness, thickness / 2);
  if (gradient) {
    cairo_pattern_t* pattern = cairo_pattern_create_linear(0, 0, 40, 0);
    cairo_pattern_add_color_stop_rgba(pattern, 0, 0.16, 0.48, 0.84, 1);
    cairo_pattern_add_color_stop_rgba(pattern, 1, color.r, color.g, color.b, color.a);
    cairo_set_source(cr, pattern);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
  } else {
    SetColor(cr, color);
    cairo_fill(cr);
  }
  picture.Save(path);
}

void WriteThumb(const std::string& path, int size, bool hot) {
  Picture picture(size, size);
  cairo_t* cr = picture.cr();
  const double c = size / 2.0;
  if (hot) {
    SetColor(cr, Hex(0x3B9EFF, 0.30));
    cairo_arc(cr, c, c, c - 0.5, 0, 2 * M_PI);
    cairo_fill(cr);
  }
  SetColor(cr, Hex(0x000000, 0.35));
  cairo_arc(cr, c, c + 0.8, size * 0.30, 0, 2 * M_PI);
  cairo_fill(cr);
  SetColor(cr, Hex(0xF4F7FA));
  cairo_arc(cr, c, c, size * 0.30, 0, 2 * M_PI);
  cairo_fill(cr);
  SetColor(cr, palette::kAccent);
  cairo_arc(cr, c, c, size * 0.11, 0, 2 * M_PI);
  cairo_fill(cr);
  picture.Save(path);
}

}  // namespace

void WriteFrames(const std::string& folder) {
  WriteFrame(folder + "/btn_bg.png", Hex(0x2A303A), Hex(0x3A414D));
  WriteFrame(folder + "/btn_bg_hot.png", Hex(0x343B47), Hex(0x4A5361));
  WriteFrame(folder + "/btn_bg_push.png", Hex(0x22272F), Hex(0x3A414D));
  WriteFrame(folder + "/btn_primary.png", Hex(0x2F8CF0), Hex(0x3B9EFF));
  WriteFrame(folder + "/btn_primary_hot.png", Hex(0x4AA6FF), Hex(0x6CB8FF));
  WriteFrame(folder + "/btn_primary_push.png", Hex(0x2470C4), Hex(0x2F8CF0));
  WriteFrame(folder + "/edit_bg.png", Hex(0x101318), Hex(0x2E343E));
  WriteFrame(folder + "/edit_bg_hot.png", Hex(0x101318), Hex(0x454C58));
  WriteFrame(folder + "/edit_bg_focus.png", Hex(0x101318), palette::kAccent);
  WriteFrame(folder + "/combo_bg.png", Hex(0x20252D), Hex(0x3A414D));
  WriteFrame(folder + "/combo_bg_hot.png", Hex(0x282E37), Hex(0x4A5361));
}

void WriteSliderParts(const std::string& folder) {
  WriteRail(folder + "/seek_bk.png", 20, 4, Hex(0x3A404B), false);
  WriteRail(folder + "/seek_fore.png", 20, 4, palette::kAccent, true);
  WriteThumb(folder + "/seek_thumb.png", 20, false);
  WriteThumb(folder + "/seek_thumb_hot.png", 20, true);
  WriteRail(folder + "/vol_bk.png", 16, 3, Hex(0x3A404B), false);
  WriteRail(folder + "/vol_fore.png", 16, 3, palette::kAccent, true);
  WriteThumb(folder + "/vol_thumb.png", 16, false);
  WriteThumb(folder + "/vol_thumb_hot.png", 16, true);
  WriteRail(folder + "/progress_bk.png", 10, 10, Hex(0x2A303A), false);
  WriteRail(folder + "/progress_fore.png", 10, 10, palette::kAccent, true);
}

void WriteListHeader(const std::string& folder) {
  Picture picture(40, 33);
  cairo_t* cr = picture.cr();
  cairo_pattern_t* pattern = cairo_pattern_create_linear(0, 0, 0, 33);
  cairo_pattern_add_color_stop_rgb(pattern, 0, 0x24 / 255.0, 0x29 / 255.0, 0x32 / 255.0);
  cairo_pattern_add_color_stop_rgb(pattern, 1, 0x1D / 255.0, 0x21 / 255.0, 0x29 / 255.0);
  cairo_set_source(cr, pattern);
  cairo_paint(cr);
  cairo_pattern_destroy(pattern);
  SetColor(cr, palette::kAccent);
  cairo_rectangle(cr, 0, 0, 3, 33);
  cairo_fill(cr);
  SetColor(cr, palette::kBorder);
  cairo_rectangle(cr, 0, 32, 40, 1);
  cairo_fill(cr);
  picture.Save(folder + "/list_header.png");
}

void WriteMenuMark(const std::string& folder) {
  Picture picture(14, 14);
  DrawGlyph(picture.cr(), StarGlyph(), 0, 0, 14, Hex(0xFFC247));
  picture.Save(folder + "/menu_star.png");
}

}  // namespace skinart
