#pragma once
// A 5 x 7 bitmap font for the few characters the scene and the frame
// counter draw: digits and the compass letters.

namespace samplegen {

constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 7;

// True where the glyph of `c` is inked; unknown characters are blank.
bool GlyphInk(char c, int column, int row);

}  // namespace samplegen
