#include "glyphs.h"

#include <librsvg/rsvg.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace skinart {
namespace {

std::string FindIcon(const std::string& themeFolder, const std::string& name) {
  namespace fs = std::filesystem;
  const fs::path scalable = fs::path(themeFolder) / "scalable";
  std::error_code error;
  for (const auto& context : fs::directory_iterator(scalable, error)) {
    const fs::path candidate = context.path() / (name + ".svg");
    if (fs::exists(candidate)) return candidate.string();
  }
  throw std::runtime_error("icon \"" + name + "\" not found under " + scalable.string() +
                           " (is adwaita-icon-theme installed?)");
}

// The icon's coverage as an alpha mask, `pixels` square.
std::shared_ptr<cairo_surface_t> RenderMask(const std::string& path, int pixels) {
  GError* error = nullptr;
  RsvgHandle* handle = rsvg_handle_new_from_file(path.c_str(), &error);
  if (!handle) {
    const std::string reason = error ? error->message : "unknown error";
    if (error) g_error_free(error);
    throw std::runtime_error("cannot read " + path + ": " + reason);
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels, pixels);
  cairo_t* cr = cairo_create(surface);
  const RsvgRectangle viewport{0, 0, static_cast<double>(pixels), static_cast<double>(pixels)};
  const bool ok = rsvg_handle_render_document(handle, cr, &viewport, &error);
  cairo_destroy(cr);
  g_object_unref(handle);
  if (!ok) {
    const std::string reason = error ? error->message : "unknown error";
    if (error) g_error_free(error);
    cairo_surface_destroy(surface);
    throw std::runtime_error("cannot render " + path + ": " + reason);
  }
  return std::shared_ptr<cairo_surface_t>(surface, cairo_surface_destroy);
}

void Arrow(cairo_t* cr, double s, double angle) {
  // A filled arrow head with a short stem, pointing at `angle` (0 = up).
  cairo_save(cr);
  cairo_translate(cr, s / 2, s / 2);
  cairo_rotate(cr, angle);
  cairo_move_to(cr, 0, -s * 0.30);
  cairo_line_to(cr, s * 0.17, -s * 0.06);
  cairo_line_to(cr, s * 0.06, -s * 0.06);
  cairo_line_to(cr, s * 0.06, s * 0.12);
  cairo_line_to(cr, -s * 0.06, s * 0.12);
  cairo_line_to(cr, -s * 0.06, -s * 0.06);
  cairo_line_to(cr, -s * 0.17, -s * 0.06);
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_restore(cr);
}

void Outline(cairo_t* cr, double s) {
  cairo_set_line_width(cr, std::max(1.5, s * 0.085));
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
}

}  // namespace

Glyph SymbolicIcon(const std::string& themeFolder, const std::string& name) {
  const std::string path = FindIcon(themeFolder, name);
  RenderMask(path, 16);  // fail now, at the glyph's definition, when it cannot be read
  return [path](cairo_t* cr, double size) {
    const auto mask = RenderMask(path, static_cast<int>(std::lround(size)));
    cairo_mask_surface(cr, mask.get(), 0, 0);
  };
}

Glyph FaceGlyph(Direction direction) {
  return [direction](cairo_t* cr, double s) {
    Outline(cr, s);
    cairo_arc(cr, s / 2, s / 2, s * 0.44, 0, 2 * M_PI);
    cairo_stroke(cr);
    const double angle = direction == Direction::kUp     ? 0
                         : direction == Direction::kRight ? M_PI / 2
                         : direction == Direction::kDown  ? M_PI
                                                          : -M_PI / 2;
    Arrow(cr, s, angle);
  };
}

Glyph WideGlyph() {
  return [](cairo_t* cr, double s) {
    Outline(cr, s);
    const double left = s * 0.06, right = s * 0.94, top = s * 0.28, bottom = s * 0.72, bow = s * 0.08;
    cairo_move_to(cr, left, top);
    cairo_curve_to(cr, s * 0.35, top - bow, s * 0.65, top - bow, right, top);
    cairo_line_to(cr, right, bottom);
    cairo_curve_to(cr, s * 0.65, bottom + bow, s * 0.35, bottom + bow, left, bottom);
    cairo_close_path(cr);
    cairo_stroke(cr);
  };
}

Glyph CylinderGlyph() {
  return [](cairo_t* cr, double s) {
    Outline(cr, s);
    const double cx = s / 2, rx = s * 0.40, ry = s * 0.13, top = s * 0.26, bottom = s * 0.74;
    cairo_save(cr);
    cairo_translate(cr, cx, top);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_stroke(cr);
    cairo_move_to(cr, cx - rx, top);
    cairo_line_to(cr, cx - rx, bottom);
    cairo_move_to(cr, cx + rx, top);
    cairo_line_to(cr, cx + rx, bottom);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, bottom);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, M_PI);
    cairo_restore(cr);
    cairo_stroke(cr);
  };
}

Glyph TwoViewsGlyph() {
  return [](cairo_t* cr, double s) {
    const double w = s * 0.62, h = s * 0.36, x = (s - w) / 2, gap = s * 0.08;
    RoundedRect(cr, x, s / 2 - gap / 2 - h, w, h, s * 0.07);
    RoundedRect(cr, x, s / 2 + gap / 2, w, h, s * 0.07);
    cairo_fill(cr);
  };
}

Glyph FourViewsGlyph() {
  return [](cairo_t* cr, double s) {
    const double cell = s * 0.37, gap = s * 0.08, origin = (s - 2 * cell - gap) / 2;
    for (int row = 0; row < 2; ++row) {
      for (int col = 0; col < 2; ++col) {
        RoundedRect(cr, origin + col * (cell + gap), origin + row * (cell + gap), cell, cell, s * 0.07);
      }
    }
    cairo_fill(cr);
  };
}

Glyph CalibrateGlyph() {
  return [](cairo_t* cr, double s) {
    Outline(cr, s);
    cairo_arc(cr, s / 2, s / 2, s * 0.32, 0, 2 * M_PI);
    cairo_stroke(cr);
    for (int i = 0; i < 4; ++i) {
      const double a = i * M_PI / 2;
      cairo_move_to(cr, s / 2 + std::sin(a) * s * 0.18, s / 2 - std::cos(a) * s * 0.18);
      cairo_line_to(cr, s / 2 + std::sin(a) * s * 0.47, s / 2 - std::cos(a) * s * 0.47);
    }
    cairo_stroke(cr);
    cairo_arc(cr, s / 2, s / 2, s * 0.06, 0, 2 * M_PI);
    cairo_fill(cr);
  };
}

Glyph ConvertGlyph() {
  return [](cairo_t* cr, double s) {
    Outline(cr, s);
    cairo_arc(cr, s * 0.24, s / 2, s * 0.19, 0, 2 * M_PI);
    cairo_stroke(cr);
    RoundedRect(cr, s * 0.62, s * 0.32, s * 0.33, s * 0.36, s * 0.05);
    cairo_stroke(cr);
    cairo_move_to(cr, s * 0.44, s * 0.42);
    cairo_line_to(cr, s * 0.53, s * 0.50);
    cairo_line_to(cr, s * 0.44, s * 0.58);
    cairo_stroke(cr);
  };
}

Glyph SidebarGlyph(bool show) {
  return [show](cairo_t* cr, double s) {
    Outline(cr, s);
    RoundedRect(cr, s * 0.08, s * 0.18, s * 0.84, s * 0.64, s * 0.08);
    cairo_stroke(cr);
    if (show) {
      RoundedRect(cr, s * 0.08, s * 0.18, s * 0.30, s * 0.64, s * 0.08);
      cairo_fill(cr);
    } else {
      cairo_move_to(cr, s * 0.38, s * 0.18);
      cairo_line_to(cr, s * 0.38, s * 0.82);
      cairo_stroke(cr);
    }
    const double x = show ? s * 0.58 : s * 0.70, d = show ? 1 : -1;
    cairo_move_to(cr, x, s * 0.38);
    cairo_line_to(cr, x + d * s * 0.12, s * 0.50);
    cairo_line_to(cr, x, s * 0.62);
    cairo_stroke(cr);
  };
}

Glyph StarGlyph() {
  return [](cairo_t* cr, double s) {
    for (int i = 0; i < 10; ++i) {
      const double a = i * M_PI / 5, r = (i % 2 == 0) ? s * 0.46 : s * 0.19;
      const double x = s / 2 + std::sin(a) * r, y = s * 0.53 - std::cos(a) * r;
      if (i == 0) cairo_move_to(cr, x, y);
      else cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    cairo_fill(cr);
  };
}

Glyph LensMarkGlyph() {
  return [](cairo_t* cr, double s) {
    Outline(cr, s);
    cairo_set_line_width(cr, s * 0.07);
    cairo_arc(cr, s / 2, s / 2, s * 0.42, 0, 2 * M_PI);
    cairo_stroke(cr);
    cairo_arc(cr, s / 2, s / 2, s * 0.26, 0, 2 * M_PI);
    cairo_stroke(cr);
    // The unwarped horizon: a band through the lens.
    cairo_move_to(cr, s * 0.08, s * 0.50);
    cairo_curve_to(cr, s * 0.30, s * 0.62, s * 0.70, s * 0.62, s * 0.92, s * 0.50);
    cairo_stroke(cr);
    cairo_arc(cr, s / 2, s / 2, s * 0.08, 0, 2 * M_PI);
    cairo_fill(cr);
  };
}

void DrawGlyph(cairo_t* cr, const Glyph& glyph, double x, double y, double size, const Rgba& color) {
  cairo_save(cr);
  cairo_translate(cr, std::round(x), std::round(y));
  SetColor(cr, color);
  glyph(cr, size);
  cairo_restore(cr);
}

}  // namespace skinart
