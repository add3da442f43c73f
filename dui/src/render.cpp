#include "render.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "attributes.h"
#include "dui/paint_manager.h"
#include "platform/text.h"

namespace dui::render {
namespace {

constexpr const char* kFallbackFont = "Noto Sans CJK SC";  // covers Latin and CJK
constexpr int kFallbackFontSize = 12;                        // pixels

double Channel(DWORD argb, int shift) { return ((argb >> shift) & 0xFF) / 255.0; }

struct ImageSpec {
  CDuiString file;
  RECT source;
  RECT dest;
  RECT corner;
  int fade = 255;
  bool hasSource = false;
  bool hasDest = false;
  bool centered = false;  // align='center': natural size, centred in the item
};

ImageSpec ParseImageSpec(const CDuiString& descriptor) {
  ImageSpec spec;
  if (descriptor.Find(u'=') < 0) {
    spec.file = descriptor;
    return spec;
  }
  for (const auto& [key, value] : attr::ParseAttributeList(descriptor.GetData())) {
    if (attr::Is(key.c_str(), u"file") || attr::Is(key.c_str(), u"res")) spec.file = CDuiString(value);
    else if (attr::Is(key.c_str(), u"source")) spec.source = attr::ParseRect(value.c_str()), spec.hasSource = true;
    else if (attr::Is(key.c_str(), u"dest")) spec.dest = attr::ParseRect(value.c_str()), spec.hasDest = true;
    else if (attr::Is(key.c_str(), u"corner")) spec.corner = attr::ParseRect(value.c_str());
    else if (attr::Is(key.c_str(), u"fade")) spec.fade = std::clamp(attr::ParseInt(value.c_str()), 0, 255);
    else if (attr::Is(key.c_str(), u"align")) spec.centered = attr::Is(value.c_str(), u"center");
  }
  return spec;
}

// Draws source part `src` of the surface scaled into `dst`.
void DrawPart(cairo_t* cr, cairo_surface_t* surface, const RECT& src, const RECT& dst, double alpha) {
  const int sw = platform::RectWidth(src), sh = platform::RectHeight(src);
  const int dw = platform::RectWidth(dst), dh = platform::RectHeight(dst);
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  cairo_save(cr);
  cairo_rectangle(cr, dst.left, dst.top, dw, dh);
  cairo_clip(cr);
  cairo_translate(cr, dst.left, dst.top);
  cairo_scale(cr, static_cast<double>(dw) / sw, static_cast<double>(dh) / sh);
  cairo_set_source_surface(cr, surface, -src.left, -src.top);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint_with_alpha(cr, alpha);
  cairo_restore(cr);
}

// Nine parts: the corners keep their size, edges stretch along one axis.
void DrawNineParts(cairo_t* cr, cairo_surface_t* surface, const RECT& s, const RECT& d, const RECT& c, double alpha) {
  const int sx[4] = {s.left, s.left + c.left, s.right - c.right, s.right};
  const int sy[4] = {s.top, s.top + c.top, s.bottom - c.bottom, s.bottom};
  const int dx[4] = {d.left, d.left + c.left, d.right - c.right, d.right};
  const int dy[4] = {d.top, d.top + c.top, d.bottom - c.bottom, d.bottom};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      DrawPart(cr, surface, {sx[col], sy[row], sx[col + 1], sy[row + 1]}, {dx[col], dy[row], dx[col + 1], dy[row + 1]},
               alpha);
    }
  }
}

PangoFontDescription* FallbackDescription() {
  static PangoFontDescription* description = [] {
    PangoFontDescription* d = pango_font_description_from_string(kFallbackFont);
    pango_font_description_set_absolute_size(d, kFallbackFontSize * PANGO_SCALE);
    return d;
  }();
  return description;
}

using LayoutPtr = std::unique_ptr<PangoLayout, decltype(&g_object_unref)>;

LayoutPtr MakeLayout(cairo_t* cr, CPaintManagerUI* manager, const CDuiString& text, int font, int width, UINT style) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  const TFontInfo* info = manager ? manager->GetFont(font) : nullptr;
  pango_layout_set_font_description(layout, info && info->description ? info->description : FallbackDescription());
  if (info && info->bUnderline) {
    PangoAttrList* attributes = pango_attr_list_new();
    pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    pango_layout_set_attributes(layout, attributes);
    pango_attr_list_unref(attributes);
  }
  const std::string utf8 = text.ToUtf8();
  pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
  if (width > 0) {
    pango_layout_set_width(layout, width * PANGO_SCALE);
    if (style & DT_WORDBREAK) {
      pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    } else if (style & DT_END_ELLIPSIS) {
      pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    }
    const PangoAlignment alignment = (style & DT_CENTER)  ? PANGO_ALIGN_CENTER
                                     : (style & DT_RIGHT) ? PANGO_ALIGN_RIGHT
                                                          : PANGO_ALIGN_LEFT;
    pango_layout_set_alignment(layout, alignment);
  }
  if (!(style & DT_WORDBREAK)) pango_layout_set_single_paragraph_mode(layout, TRUE);
  return LayoutPtr(layout, g_object_unref);
}

// A scratch context for measuring without a target.
cairo_t* MeasureContext() {
  static cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  static cairo_t* cr = cairo_create(surface);
  return cr;
}

int ByteIndexOf(const CDuiString& text, int utf16Index) {
  return static_cast<int>(platform::Utf16ToUtf8(text.view().substr(0, std::clamp(utf16Index, 0, text.GetLength()))).size());
}

}  // namespace

void SetSourceColor(cairo_t* cr, DWORD argb) {
  cairo_set_source_rgba(cr, Channel(argb, 16), Channel(argb, 8), Channel(argb, 0), Channel(argb, 24));
}

void FillRect(cairo_t* cr, const RECT& rect, DWORD argb) {
  if (platform::RectIsEmpty(rect) || (argb >> 24) == 0) return;
  SetSourceColor(cr, argb);
  cairo_rectangle(cr, rect.left, rect.top, platform::RectWidth(rect), platform::RectHeight(rect));
  cairo_fill(cr);
}

void FillGradient(cairo_t* cr, const RECT& rect, DWORD top, DWORD bottom) {
  if (platform::RectIsEmpty(rect)) return;
  cairo_pattern_t* pattern = cairo_pattern_create_linear(0, rect.top, 0, rect.bottom);
  cairo_pattern_add_color_stop_rgba(pattern, 0, Channel(top, 16), Channel(top, 8), Channel(top, 0), Channel(top, 24));
  cairo_pattern_add_color_stop_rgba(pattern, 1, Channel(bottom, 16), Channel(bottom, 8), Channel(bottom, 0),
                                    Channel(bottom, 24));
  cairo_set_source(cr, pattern);
  cairo_rectangle(cr, rect.left, rect.top, platform::RectWidth(rect), platform::RectHeight(rect));
  cairo_fill(cr);
  cairo_pattern_destroy(pattern);
}

void RoundedRectPath(cairo_t* cr, const RECT& rect, double radius) {
  const double x = rect.left, y = rect.top, w = platform::RectWidth(rect), h = platform::RectHeight(rect);
  radius = std::min({radius, w / 2, h / 2});
  if (radius <= 0) {
    cairo_rectangle(cr, x, y, w, h);
    return;
  }
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
  cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
  cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
  cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void DrawBorder(cairo_t* cr, const RECT& rect, int size, DWORD argb, SIZE round) {
  if (size <= 0 || (argb >> 24) == 0 || platform::RectIsEmpty(rect)) return;
  // The stroke is centred on the path: inset it by half the width.
  const double half = size / 2.0;
  cairo_save(cr);
  SetSourceColor(cr, argb);
  cairo_set_line_width(cr, size);
  cairo_translate(cr, half, half);
  RoundedRectPath(cr, {rect.left, rect.top, rect.right - size, rect.bottom - size}, round.cx / 2.0);
  cairo_stroke(cr);
  cairo_restore(cr);
}

bool DrawImageDescriptor(cairo_t* cr, CPaintManagerUI* manager, const RECT& item, const CDuiString& descriptor) {
  if (descriptor.IsEmpty() || !manager) return false;
  const ImageSpec spec = ParseImageSpec(descriptor);
  const TImageInfo* image = manager->GetImage(spec.file);
  if (!image || !image->surface) return false;
  const RECT source = spec.hasSource ? spec.source : RECT{0, 0, image->width, image->height};
  RECT dest = item;
  if (spec.centered) {
    const int w = platform::RectWidth(source), h = platform::RectHeight(source);
    const int left = item.left + (platform::RectWidth(item) - w) / 2, top = item.top + (platform::RectHeight(item) - h) / 2;
    dest = {left, top, left + w, top + h};
  } else if (spec.hasDest) {
    dest = {item.left + spec.dest.left, item.top + spec.dest.top, item.left + spec.dest.right,
            item.top + spec.dest.bottom};
  }
  const double alpha = spec.fade / 255.0;
  const RECT& c = spec.corner;
  if (c.left || c.top || c.right || c.bottom) {
    DrawNineParts(cr, image->surface, source, dest, c, alpha);
  } else {
    DrawPart(cr, image->surface, source, dest, alpha);
  }
  return true;
}

void DrawText(cairo_t* cr, CPaintManagerUI* manager, const RECT& rect, const CDuiString& text, DWORD argb, int font,
              UINT style) {
  if (text.IsEmpty() || platform::RectIsEmpty(rect)) return;
  const int width = platform::RectWidth(rect);
  LayoutPtr layout = MakeLayout(cr, manager, text, font, width, style);
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
  double y = rect.top;
  if (style & DT_VCENTER) y = rect.top + (platform::RectHeight(rect) - logical.height) / 2.0;
  if (style & DT_BOTTOM) y = rect.bottom - logical.height;
  cairo_save(cr);
  cairo_rectangle(cr, rect.left, rect.top, width, platform::RectHeight(rect));
  cairo_clip(cr);
  SetSourceColor(cr, argb);
  cairo_move_to(cr, rect.left, std::floor(y));
  pango_cairo_show_layout(cr, layout.get());
  cairo_restore(cr);
}

SIZE MeasureText(CPaintManagerUI* manager, const CDuiString& text, int font, int width, UINT style) {
  if (text.IsEmpty()) return {};
  LayoutPtr layout = MakeLayout(MeasureContext(), manager, text, font, width, style);
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
  return {logical.width, logical.height};
}

int CaretOffset(CPaintManagerUI* manager, const CDuiString& text, int font, int index) {
  LayoutPtr layout = MakeLayout(MeasureContext(), manager, text, font, 0, DT_SINGLELINE);
  PangoRectangle position;
  pango_layout_index_to_pos(layout.get(), ByteIndexOf(text, index), &position);
  return PANGO_PIXELS(position.x);
}

int IndexAtOffset(CPaintManagerUI* manager, const CDuiString& text, int font, int x) {
  LayoutPtr layout = MakeLayout(MeasureContext(), manager, text, font, 0, DT_SINGLELINE);
  int byteIndex = 0, trailing = 0;
  pango_layout_xy_to_index(layout.get(), x * PANGO_SCALE, 0, &byteIndex, &trailing);
  const std::string utf8 = text.ToUtf8();
  int index = static_cast<int>(platform::Utf8ToUtf16(std::string_view(utf8).substr(0, static_cast<size_t>(byteIndex))).size());
  if (trailing > 0) index += 1;
  return std::clamp(index, 0, text.GetLength());
}

}  // namespace dui::render
