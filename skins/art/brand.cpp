#include <pango/pangocairo.h>

#include <cmath>

#include "pieces.h"

namespace skinart {
namespace {

void DrawText(cairo_t* cr, const char* text, const char* font, double centerX, double y, const Rgba& color) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* description = pango_font_description_from_string(font);
  pango_layout_set_font_description(layout, description);
  pango_layout_set_text(layout, text, -1);
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  SetColor(cr, color);
  cairo_move_to(cr, std::round(centerX - width / 2.0), y);
  pango_cairo_show_layout(cr, layout);
  pango_font_description_free(description);
  g_object_unref(layout);
}

// The mark on an accent disc with a soft glow.
void DrawBadge(cairo_t* cr, double cx, double cy, double radius) {
  cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, radius * 0.8, cx, cy, radius * 1.6);
  cairo_pattern_add_color_stop_rgba(glow, 0, 0.23, 0.62, 1.0, 0.25);
  cairo_pattern_add_color_stop_rgba(glow, 1, 0.23, 0.62, 1.0, 0.0);
  cairo_set_source(cr, glow);
  cairo_arc(cr, cx, cy, radius * 1.6, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(glow);
  cairo_pattern_t* fill = cairo_pattern_create_linear(cx, cy - radius, cx, cy + radius);
  cairo_pattern_add_color_stop_rgb(fill, 0, 0.27, 0.66, 1.0);
  cairo_pattern_add_color_stop_rgb(fill, 1, 0.13, 0.42, 0.80);
  cairo_set_source(cr, fill);
  cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);
  const double size = radius * 1.3;
  DrawGlyph(cr, LensMarkGlyph(), cx - size / 2, cy - size / 2, size, palette::kGlyphHot);
}

}  // namespace

void WriteBrand(const std::string& folder) {
  {
    Picture logo(360, 230);
    DrawBadge(logo.cr(), 180, 78, 52);
    DrawText(logo.cr(), "KESTRA", "DejaVu Sans Bold 30px", 180, 146, Hex(0xE9EDF2));
    DrawText(logo.cr(), "Panoramic dash-camera player", "DejaVu Sans 13px", 180, 186, Hex(0x8A9099));
    logo.Save(folder + "/logo_area.png");
  }
  {
    Picture icon(64, 64);
    FillRounded(icon.cr(), 2, 2, 60, 60, 14, Hex(0x1B1F26));
    DrawBadge(icon.cr(), 32, 32, 22);
    icon.Save(folder + "/app_icon.png");
  }
  {
    Picture small(20, 20);
    DrawGlyph(small.cr(), LensMarkGlyph(), 1, 1, 18, palette::kAccent);
    small.Save(folder + "/logo_small.png");
  }
}

}  // namespace skinart
