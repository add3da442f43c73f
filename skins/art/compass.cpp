// The compass dial and its needle pictures. Needle picture N shows the red
// end pointing (N + 180) degrees clockwise from north (up), so the player
// shows heading h with picture (h + 180) mod 360.

#include <pango/pangocairo.h>

#include <cmath>
#include <cstdio>

#include "pieces.h"

namespace skinart {
namespace {

constexpr int kSize = 151;          // pixels, square
constexpr double kCentre = kSize / 2.0;

void DrawLetter(cairo_t* cr, const char* letter, double angle, const Rgba& color) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans Bold 15px");
  pango_layout_set_font_description(layout, font);
  pango_layout_set_text(layout, letter, -1);
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout, &w, &h);
  const double r = kSize * 0.33;
  SetColor(cr, color);
  cairo_move_to(cr, kCentre + std::sin(angle) * r - w / 2.0, kCentre - std::cos(angle) * r - h / 2.0);
  pango_cairo_show_layout(cr, layout);
  pango_font_description_free(font);
  g_object_unref(layout);
}

void WriteDial(const std::string& folder) {
  Picture picture(kSize, kSize);
  cairo_t* cr = picture.cr();
  SetColor(cr, Hex(0x0E1116, 0.92));
  cairo_arc(cr, kCentre, kCentre, kSize / 2.0 - 1, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_set_line_width(cr, 2);
  SetColor(cr, Hex(0x3A414D));
  cairo_arc(cr, kCentre, kCentre, kSize / 2.0 - 2, 0, 2 * M_PI);
  cairo_stroke(cr);
  for (int degrees = 0; degrees < 360; degrees += 10) {
    const double a = degrees * M_PI / 180;
    const bool major = degrees % 30 == 0;
    const double outer = kSize / 2.0 - 6, inner = outer - (major ? 9 : 5);
    cairo_set_line_width(cr, major ? 2 : 1);
    SetColor(cr, major ? Hex(0xAEB4BE) : Hex(0x5A606B));
    cairo_move_to(cr, kCentre + std::sin(a) * inner, kCentre - std::cos(a) * inner);
    cairo_line_to(cr, kCentre + std::sin(a) * outer, kCentre - std::cos(a) * outer);
    cairo_stroke(cr);
  }
  DrawLetter(cr, "N", 0, palette::kNeedleRed);
  DrawLetter(cr, "E", M_PI / 2, Hex(0xE8ECF1));
  DrawLetter(cr, "S", M_PI, Hex(0xE8ECF1));
  DrawLetter(cr, "W", 3 * M_PI / 2, Hex(0xE8ECF1));
  picture.Save(folder + "/compassbk.png");
}

// The red end points `redAngle` degrees clockwise from up.
void WriteNeedle(const std::string& path, double redAngle) {
  Picture picture(kSize, kSize);
  cairo_t* cr = picture.cr();
  cairo_translate(cr, kCentre, kCentre);
  cairo_rotate(cr, redAngle * M_PI / 180);
  const double length = kSize * 0.30, half = 7;
  cairo_move_to(cr, 0, -length);
  cairo_line_to(cr, half, 0);
  cairo_line_to(cr, -half, 0);
  cairo_close_path(cr);
  SetColor(cr, palette::kNeedleRed);
  cairo_fill(cr);
  cairo_move_to(cr, 0, length);
  cairo_line_to(cr, half, 0);
  cairo_line_to(cr, -half, 0);
  cairo_close_path(cr);
  SetColor(cr, palette::kNeedleLight);
  cairo_fill(cr);
  SetColor(cr, Hex(0x0E1116));
  cairo_arc(cr, 0, 0, 3.5, 0, 2 * M_PI);
  cairo_fill(cr);
  picture.Save(path);
}

}  // namespace

void WriteCompass(const std::string& folder) {
  WriteDial(folder);
  for (int n = 0; n <= 360; ++n) {
    char name[32];
    std::snprintf(name, sizeof(name), "/mag%04d.png", n);
    WriteNeedle(folder + name, std::fmod(n + 180.0, 360.0));
  }
}

}  // namespace skinart
