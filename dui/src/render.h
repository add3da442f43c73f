#pragma once
// Drawing primitives of the controls: colours, borders, skin pictures and
// text, with Cairo and Pango. Drawing never changes any control state.

#include <cairo.h>

#include "dui/types.h"

namespace dui {
class CPaintManagerUI;
}

namespace dui::render {

void SetSourceColor(cairo_t* cr, DWORD argb);
void FillRect(cairo_t* cr, const RECT& rect, DWORD argb);
// Vertical gradient from `top` to `bottom`.
void FillGradient(cairo_t* cr, const RECT& rect, DWORD top, DWORD bottom);
void RoundedRectPath(cairo_t* cr, const RECT& rect, double radius);
// A border of `size` pixels inside the rectangle.
void DrawBorder(cairo_t* cr, const RECT& rect, int size, DWORD argb, SIZE round);

// A picture descriptor drawn into `item`: a plain file name, or
// file='name' with optional source='l,t,r,b' (part of the picture),
// dest='l,t,r,b' (inside `item`), corner='l,t,r,b' (edges kept unscaled),
// fade='0..255' and align='center' (natural size, centred). False when the picture is missing.
bool DrawImageDescriptor(cairo_t* cr, CPaintManagerUI* manager, const RECT& item, const CDuiString& descriptor);

// Text in a rectangle with the DT_* flags, in the manager's font `font`
// (its default font for -1 or without a manager). Clipped to the rectangle.
void DrawText(cairo_t* cr, CPaintManagerUI* manager, const RECT& rect, const CDuiString& text, DWORD argb, int font,
              UINT style);
// Size of the text laid out for `width` (no limit for width <= 0).
SIZE MeasureText(CPaintManagerUI* manager, const CDuiString& text, int font, int width, UINT style);
// X offset (pixels from the text start) of the caret before UTF-16 index
// `index`, and the UTF-16 index nearest to an x offset.
int CaretOffset(CPaintManagerUI* manager, const CDuiString& text, int font, int index);
int IndexAtOffset(CPaintManagerUI* manager, const CDuiString& text, int font, int x);

}  // namespace dui::render
