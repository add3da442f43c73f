#pragma once
// The pictures of the skins, each written as one or more PNG files into a
// folder. Every function throws std::runtime_error on a write failure.

#include <string>

#include "glyphs.h"

namespace skinart {

enum class Look {
  kFlat,          // glyph only; a soft rounded highlight when hot or pressed
  kCaption,       // window caption buttons: the highlight fills the button
  kCaptionClose,  // the close button: red when hot
  kPrimary,       // the play and pause buttons: an accent disc
  kOption,        // like kFlat, with selected states
};

struct ButtonArt {
  std::string name;
  int width;
  int height;
  Glyph glyph;
  int glyphSize;
  Look look;
};

// name.png, name_hot.png, name_push.png; options also name_sel.png and
// name_selhot.png.
void WriteButton(const std::string& folder, const ButtonArt& art);

// Backgrounds of text buttons, edits and combos, drawn to stretch with a
// 6-pixel corner: btn_bg*, btn_primary*, edit_bg*, combo_bg*.
void WriteFrames(const std::string& folder);
// Rails, fills and thumbs of the sliders and the progress bar.
void WriteSliderParts(const std::string& folder);
// The playlist header background.
void WriteListHeader(const std::string& folder);
// The logo area shown while nothing plays, the window icon and the small
// logo of the title button.
void WriteBrand(const std::string& folder);
// compassbk.png and the needles mag0000.png ... mag0360.png.
void WriteCompass(const std::string& folder);
// The star marking the current play mode.
void WriteMenuMark(const std::string& folder);

}  // namespace skinart
