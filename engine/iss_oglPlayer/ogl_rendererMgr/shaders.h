#pragma once
// The picture program's sources and constant uniforms, kept in one place.
// The vertex shader passes each vertex's texture index through; the
// fragment shader draws, by index: >= 3.1 the logo, 2.9..3.1 a weighted
// blend of two picture samples, 1.9..2.1 the picture at zw, 0.9..1.1 the
// picture at xy, anything else black. The picture arrives as Y, U and V
// planes and is converted with the limited-range BT.601 matrix.

namespace domeview {

extern const char kVertexShaderSource[];
extern const char kFragmentShaderSource[];

// uColorConversion, column-major (not transposed): R = 1.164 Y' + 1.596 V',
// G = 1.164 Y' - 0.392 U' - 0.813 V', B = 1.164 Y' + 2.017 U' with
// Y' = Y - 16/255, U' = U - 0.5, V' = V - 0.5.
extern const float kColorConversion[9];

// uSTMatrix, column-major: (s, t) -> (s, 1 - t), so that texture coordinate
// t = 1 - py / H samples picture row py (textures hold the first row at t = 0).
extern const float kSTMatrix[16];

}  // namespace domeview
