#pragma once
// Helpers shared by the render tests: files beside the test program and
// quiet mesh-builder set-up.

#include <string>

#include "mesh/vertex_factory.h"

namespace render_test {

// A path beside the test program (its own folder).
std::string TestFile(const std::string& name);

// Writes a single-lens calibration file beside the test program.
std::string WriteLensFile(const std::string& name, double fovDegrees, double cx, double cy, double radius,
                          int width, int height);

// VertexFactory::init with the calibration dump kept off the test output.
int InitQuietly(domeview::VertexFactory& factory, const std::string& path, int mounting = 0, bool raw = false);

// The texture index every vertex of a grid row holds, or -1 when the row
// mixes indices. Rows hold 360 cells of 6 vertices.
int RowIndex(const domeview::VertexFactory& factory, int row);

}  // namespace render_test
