#include "render_fixture.h"

#include <gtest/gtest.h>

#include "calib/calibration_file.h"
#include "platform/paths.h"

namespace render_test {

std::string TestFile(const std::string& name) { return platform::ProgramFolder() + name; }

std::string WriteLensFile(const std::string& name, double fovDegrees, double cx, double cy, double radius,
                          int width, int height) {
  const std::string path = TestFile(name);
  EXPECT_EQ(calib::WriteCalibrationFile(path, fovDegrees, cx, cy, radius, width, height), 0) << path;
  return path;
}

int InitQuietly(domeview::VertexFactory& factory, const std::string& path, int mounting, bool raw) {
  testing::internal::CaptureStdout();
  const int code = factory.init(raw, mounting, path.c_str());
  testing::internal::GetCapturedStdout();
  return code;
}

int RowIndex(const domeview::VertexFactory& factory, int row) {
  constexpr int kRowVertices = 360 * 6;
  const auto& indices = factory.indices();
  const float first = indices.at(size_t(row) * kRowVertices);
  for (int i = 1; i < kRowVertices; ++i)
    if (indices[size_t(row) * kRowVertices + i] != first) return -1;
  return static_cast<int>(first);
}

}  // namespace render_test
