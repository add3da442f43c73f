#include <cmath>

#include "pieces.h"

namespace skinart {
namespace {

enum class State { kNormal, kHot, kPushed, kSelected, kSelectedHot };

struct StateLook {
  Rgba background;  // alpha 0: none
  Rgba glyph;
};

StateLook LookOf(Look look, State state) {
  const Rgba none = Hex(0, 0);
  switch (look) {
    case Look::kPrimary:
      if (state == State::kHot) return {Hex(0x5AB0FF), palette::kGlyphHot};
      if (state == State::kPushed) return {palette::kAccentDeep, palette::kGlyphHot};
      return {palette::kAccent, palette::kGlyphHot};
    case Look::kCaption:
      if (state == State::kHot) return {Hex(0xFFFFFF, 0.10), palette::kGlyphHot};
      if (state == State::kPushed) return {Hex(0xFFFFFF, 0.18), palette::kGlyphHot};
      return {none, palette::kGlyph};
    case Look::kCaptionClose:
      if (state == State::kHot) return {palette::kDanger, palette::kGlyphHot};
      if (state == State::kPushed) return {Hex(0xB8383C), palette::kGlyphHot};
      return {none, palette::kGlyph};
    default:
      switch (state) {
        case State::kHot: return {palette::kHover, palette::kGlyphHot};
        case State::kPushed: return {palette::kPressed, palette::kGlyphHot};
        case State::kSelected: return {Hex(0x3B9EFF, 0.22), Hex(0x8AC6FF)};
        case State::kSelectedHot: return {Hex(0x3B9EFF, 0.34), palette::kGlyphHot};
        default: return {none, palette::kGlyph};
      }
  }
}

void DrawBackground(cairo_t* cr, const ButtonArt& art, const Rgba& color) {
  if (color.a <= 0) return;
  const double w = art.width, h = art.height;
  switch (art.look) {
    case Look::kCaption:
    case Look::kCaptionClose:
      SetColor(cr, color);
      cairo_rectangle(cr, 0, 0, w, h);
      cairo_fill(cr);
      return;
    case Look::kPrimary: {
      const double radius = std::min(w, h) / 2 - 2;
      SetColor(cr, color);
      cairo_arc(cr, w / 2, h / 2, radius, 0, 2 * M_PI);
      cairo_fill(cr);
      return;
    }
    default:
      FillRounded(cr, 2, 2, w - 4, h - 4, 7, color);
  }
}

void WriteState(const std::string& folder, const ButtonArt& art, State state, const std::string& suffix) {
  Picture picture(art.width, art.height);
  const StateLook look = LookOf(art.look, state);
  DrawBackground(picture.cr(), art, look.background);
  const double x = (art.width - art.glyphSize) / 2.0, y = (art.height - art.glyphSize) / 2.0;
  // The play glyph's weight sits left of its box; nudge it to look centred.
  const double nudge = art.look == Look::kPrimary ? art.glyphSize * 0.06 : 0;
  DrawGlyph(picture.cr(), art.glyph, x + nudge, y, art.glyphSize, look.glyph);
  picture.Save(folder + "/" + art.name + suffix + ".png");
}

}  // namespace

void WriteButton(const std::string& folder, const ButtonArt& art) {
  WriteState(folder, art, State::kNormal, "");
  WriteState(folder, art, State::kHot, "_hot");
  WriteState(folder, art, State::kPushed, "_push");
  if (art.look == Look::kOption) {
    WriteState(folder, art, State::kSelected, "_sel");
    WriteState(folder, art, State::kSelectedHot, "_selhot");
  }
}

}  // namespace skinart
