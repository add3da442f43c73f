#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace skinart {

Picture::Picture(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_BEST);
}

Picture::~Picture() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

void Picture::Save(const std::string& path) const {
  cairo_surface_flush(surface_);
  if (cairo_surface_write_to_png(surface_, path.c_str()) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot write " + path);
  }
}

void SetColor(cairo_t* cr, const Rgba& color) { cairo_set_source_rgba(cr, color.r, color.g, color.b, color.a); }

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
  radius = std::min({radius, w / 2, h / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
  cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
  cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
  cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void FillRounded(cairo_t* cr, double x, double y, double w, double h, double radius, const Rgba& color) {
  RoundedRect(cr, x, y, w, h, radius);
  SetColor(cr, color);
  cairo_fill(cr);
}

}  // namespace skinart
