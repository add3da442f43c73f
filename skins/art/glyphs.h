#pragma once
// Glyphs: shapes drawn in the current source colour into a square of a
// given size at the origin. Symbolic icons of the desktop's icon theme are
// used where they fit; the rest are our own vector drawings.

#include <cairo.h>

#include <functional>
#include <string>

#include "canvas.h"

namespace skinart {

using Glyph = std::function<void(cairo_t* cr, double size)>;

// "<theme>/scalable/*/<name>.svg"; throws std::runtime_error when the icon
// is missing or cannot be read.
Glyph SymbolicIcon(const std::string& themeFolder, const std::string& name);

enum class Direction { kUp, kDown, kLeft, kRight };
Glyph FaceGlyph(Direction direction);     // the camera facing a direction
Glyph WideGlyph();                        // one wide view
Glyph CylinderGlyph();                    // the unrolled 360-degree ring
Glyph TwoViewsGlyph();                    // two views, one above the other
Glyph FourViewsGlyph();                   // four views in a grid
Glyph CalibrateGlyph();                   // lens circle with cross-hairs
Glyph ConvertGlyph();                     // round picture into a flat one
Glyph SidebarGlyph(bool show);            // show or hide the playlist panel
Glyph StarGlyph();
Glyph LensMarkGlyph();                    // the suite's mark

// Draws the glyph at (x, y), `size` pixels square, in `color`.
void DrawGlyph(cairo_t* cr, const Glyph& glyph, double x, double y, double size, const Rgba& color);

}  // namespace skinart
