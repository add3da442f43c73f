// The projection meshes, checked on the CPU against the generator's own
// fisheye lens: every vertex must carry the picture point that looks in its
// direction.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "calib/calibration_file.h"
#include "mesh/vertex_factory.h"
#include "render_fixture.h"
#include "samplegen/geometry.h"

using namespace domeview;
using render_test::InitQuietly;
using render_test::RowIndex;
using render_test::WriteLensFile;

namespace {

constexpr int kRows = 180;
constexpr double kDegree = samplegen::kDegree;

// Direction in lens coordinates that texture row latitude phi and longitude
// lambda (degrees) stand for: the axis swap applied to the grid point.
samplegen::Vec3 GridDirection(double phiDegrees, double lambdaDegrees) {
  const double phi = phiDegrees * kDegree, lambda = lambdaDegrees * kDegree;
  return {std::cos(phi) * std::sin(lambda), std::cos(phi) * std::cos(lambda), -std::sin(phi)};
}

// Grid latitude and longitude (degrees) a vertex position stands for.
void SphereVertexAngles(const float* p, double* phi, double* lambda) {
  // Sphere rows start at the top (+90) where texture rows start at the lens
  // centre (-90), and sphere longitudes start one step later.
  *phi = -std::asin(std::clamp(p[1] / kSphereRadius, -1.0f, 1.0f)) / kDegree;
  *lambda = std::atan2(p[2], p[0]) / kDegree - 1.0;
}
void FlatVertexAngles(const float* p, double* phi, double* lambda) {
  *phi = -90.0 + (0.5 - p[1]) * 180.0;
  *lambda = (p[0] + 1.0) * 180.0;
}

// Checks every picture vertex: its texture coordinate is where the lens
// draws the direction of its position.
void ExpectTexcoordsFollowTheLens(const VertexFactory& factory, const samplegen::FisheyeLens& lens, int width,
                                  int height, void (*angles)(const float*, double*, double*)) {
  const auto& positions = factory.positions();
  const auto& texcoords = factory.texcoords();
  ASSERT_EQ(texcoords.size() / 4, positions.size() / 3);
  int checked = 0, wrong = 0;
  for (size_t v = 0; v < positions.size() / 3; ++v) {
    if (factory.indices()[v] != kTexIndexPicture) continue;
    double phi, lambda, px, py;
    angles(&positions[v * 3], &phi, &lambda);
    ASSERT_TRUE(lens.PixelOf(GridDirection(phi, lambda), &px, &py)) << "vertex " << v;
    const double s = texcoords[v * 4], t = texcoords[v * 4 + 1];
    if (std::abs(s * width - px) > 0.05 || std::abs((1 - t) * height - py) > 0.05) {
      if (wrong++ < 5) ADD_FAILURE() << "vertex " << v << ": " << s * width << "," << (1 - t) * height
                                     << " where the lens draws " << px << "," << py;
    }
    ++checked;
  }
  EXPECT_GT(checked, 100000);
  EXPECT_EQ(wrong, 0);
}

class MeshTest : public testing::Test {
 protected:
  // A 200 degree lens whose circle lies inside the frame.
  const std::string inside_ = WriteLensFile("lens_2880.inf", 200, 1440, 1440, 1400, 2880, 2880);
  // The same lens cut by a 16:9 frame (radius clamped to 539).
  const std::string cut_ = WriteLensFile("lens_1920.inf", 200, 960, 540, 640, 1920, 1080);
};

TEST_F(MeshTest, SphereOfALensInsideTheFrameFillsRowsUpTo98) {
  VertexFactory factory;
  ASSERT_EQ(InitQuietly(factory, inside_), 0);
  ASSERT_NE(factory.build(2, 0, -1), nullptr);
  EXPECT_EQ(factory.position_count(), 360 * 180 * 18);
  EXPECT_EQ(factory.texcoord_count(), 360 * 180 * 24);
  EXPECT_EQ(factory.weight_count(), 360 * 180 * 6);
  EXPECT_EQ(factory.index_count(), 360 * 180 * 6);
  // Row 99 reaches 100 degrees at its lower edge: the lens ends there and,
  // without a logo, the rest of the sphere is black.
  EXPECT_EQ(factory.lens_end_row(), 99);
  for (int row = 0; row < kRows; ++row) EXPECT_EQ(RowIndex(factory, row), row < 99 ? 1 : 0) << "row " << row;
  ExpectTexcoordsFollowTheLens(factory, samplegen::FisheyeLens(1440, 1440, 1400, 200), 2880, 2880,
                               SphereVertexAngles);
}

TEST_F(MeshTest, LogoCapCoversWhatTheLensCannotSee) {
  const struct {
    int logo_fov, expected_fov;
  } cases[] = {
      {-1, 80},  // derived: 180 - 100 for a 200 degree lens
      {30, 30},  // smaller than the unseen part: the logo still starts where the lens ends
      {80, 80},
  };
  for (const auto& c : cases) {
    VertexFactory factory;
    ASSERT_EQ(InitQuietly(factory, inside_), 0);
    ASSERT_NE(factory.build(3, 1, c.logo_fov), nullptr);
    EXPECT_EQ(factory.logo_fov(), c.expected_fov);
    for (int row = 0; row < kRows; ++row)
      ASSERT_EQ(RowIndex(factory, row), row < 99 ? 1 : 4) << "logo_fov " << c.logo_fov << ", row " << row;
  }
}

TEST_F(MeshTest, LogoCapMapsThePictureAsADisc) {
  VertexFactory factory;
  ASSERT_EQ(InitQuietly(factory, inside_), 0);
  ASSERT_NE(factory.build(2, 1, -1), nullptr);
  const auto& t = factory.texcoords();
  const auto& positions = factory.positions();
  for (size_t v = 0; v < positions.size() / 3; ++v) {
    if (factory.indices()[v] != kTexIndexLogo) continue;
    // Distance from the picture centre falls from 0.5 at the cap's edge
    // (81 rows from the pole) to 0 at the pole.
    const double distance = std::hypot(t[v * 4] - 0.5, t[v * 4 + 1] - 0.5);
    const double rowsFromPole = (std::asin(positions[v * 3 + 1] / kSphereRadius) / kDegree) + 90.0;
    ASSERT_NEAR(distance, 0.5 * rowsFromPole / 81.0, 1e-3) << "vertex " << v;
  }
}

TEST_F(MeshTest, AFrameThatCutsTheCircleEndsTheLensRowsEarlier) {
  // The clamped radius 539 of a 640-pixel circle reaches 100 * 539 / 640 =
  // 84.2 degrees: row 84, whose lower edge lies at 85 degrees, is the first
  // row the lens cannot fill.
  for (int need_logo : {0, 1}) {
    VertexFactory factory;
    ASSERT_EQ(InitQuietly(factory, cut_), 0);
    ASSERT_NE(factory.build(1, need_logo, -1), nullptr);
    EXPECT_EQ(factory.lens_end_row(), 84);
    for (int row = 0; row < kRows; ++row)
      ASSERT_EQ(RowIndex(factory, row), row < 84 ? 1 : (need_logo ? 4 : 0)) << "row " << row;
  }
}

TEST_F(MeshTest, FlatPanoramaCarriesTheLensWithItsCentreAlongTheTop) {
  VertexFactory factory;
  ASSERT_EQ(InitQuietly(factory, cut_), 0);
  ASSERT_NE(factory.build(1, 0, -1), nullptr);
  const auto& p = factory.positions();
  ASSERT_EQ(factory.position_count(), 360 * 180 * 18);
  // First vertex at the top left, last at the bottom right, all at z = 0.
  EXPECT_FLOAT_EQ(p[0], -1.0f);
  EXPECT_FLOAT_EQ(p[1], 0.5f);
  EXPECT_NEAR(p[p.size() - 3], 1.0f, 1e-5);
  EXPECT_NEAR(p[p.size() - 2], -0.5f, 1e-5);
  for (size_t i = 2; i < p.size(); i += 3) ASSERT_EQ(p[i], 0.0f);
  ExpectTexcoordsFollowTheLens(factory, samplegen::StandardLens(1920, 1080), 1920, 1080, FlatVertexAngles);
}

TEST_F(MeshTest, QuadKeepsThePictureAspect) {
  const struct {
    bool raw;
    float c;
  } cases[] = {{true, 0.5f}, {false, 1080.0f / 1920.0f}};
  for (const auto& c : cases) {
    VertexFactory factory;
    ASSERT_EQ(InitQuietly(factory, c.raw ? "" : cut_, 0, c.raw), 0);
    ASSERT_NE(factory.build(0, 0, -1), nullptr);
    const float expected[6][4] = {{-1, c.c, 0, 1}, {1, c.c, 1, 1},   {-1, -c.c, 0, 0},
                                  {-1, -c.c, 0, 0}, {1, c.c, 1, 1}, {1, -c.c, 1, 0}};
    ASSERT_EQ(factory.position_count(), 18);
    ASSERT_EQ(factory.texcoord_count(), 24);
    ASSERT_EQ(factory.weight_count(), 6);
    for (int v = 0; v < 6; ++v) {
      EXPECT_FLOAT_EQ(factory.positions()[v * 3], expected[v][0]) << "raw " << c.raw << " vertex " << v;
      EXPECT_FLOAT_EQ(factory.positions()[v * 3 + 1], expected[v][1]) << "raw " << c.raw << " vertex " << v;
      EXPECT_EQ(factory.texcoords()[v * 4], expected[v][2]);
      EXPECT_EQ(factory.texcoords()[v * 4 + 1], expected[v][3]);
      EXPECT_EQ(factory.indices()[v], kTexIndexPicture);
    }
  }
}

TEST_F(MeshTest, RingUnrollsTheCircleAndTurnsWithTheRotation) {
  VertexFactory factory;
  ASSERT_EQ(InitQuietly(factory, inside_), 0);
  ASSERT_NE(factory.build(6, 0, -1), nullptr);
  EXPECT_EQ(factory.position_count(), 28800);
  EXPECT_EQ(factory.texcoord_count(), 38400);
  EXPECT_EQ(factory.weight_count(), 9600);
  EXPECT_EQ(factory.index_count(), 9600);
  const auto& t = factory.texcoords();
  // Vertex 0 is column 0 of the bottom row: the lens centre. Vertex 2 is
  // row 1 at rotation pi/2: straight down the picture by radius / 20.
  EXPECT_FLOAT_EQ(t[0] * 2880, 1440.0f);
  EXPECT_FLOAT_EQ((1 - t[1]) * 2880, 1440.0f);
  EXPECT_NEAR(t[8] * 2880, 1440.0, 0.01);
  EXPECT_NEAR((1 - t[9]) * 2880, 1440.0 + 1399.0 / 20, 0.01);

  // A quarter turn moves the picture by 20 of the 80 columns.
  factory.update_ring_texcoords(0.0f);
  const std::vector<float> unturned = t;
  factory.update_ring_texcoords(1.5707963f);
  for (int row = 0; row < kRingRows; ++row)
    for (int col = 20; col < kRingColumns; ++col)
      for (int k = 0; k < 24; ++k) {
        const size_t turned = (size_t(row) * kRingColumns + col - 20) * 24 + k;
        const size_t plain = (size_t(row) * kRingColumns + col) * 24 + k;
        ASSERT_NEAR(t[turned], unturned[plain], 2e-5) << "row " << row << " col " << col;
      }
}

TEST_F(MeshTest, RingPointsOutsideThePictureAreMarked) {
  VertexFactory factory;
  ASSERT_EQ(InitQuietly(factory, cut_), 0);
  ASSERT_NE(factory.build(6, 0, -1), nullptr);
  int outside = 0;
  for (size_t v = 0; v < 9600; ++v) {
    const float s = factory.texcoords()[v * 4], t = factory.texcoords()[v * 4 + 1];
    if (s == -1.0f && t == -1.0f) ++outside;
    else ASSERT_TRUE(s >= 0 && s <= 1 && t >= 0 && t <= 1) << v;
  }
  // The clamped radius keeps the whole ring in the picture.
  EXPECT_EQ(outside, 0);
}

TEST_F(MeshTest, BuildFailuresYieldNothingWithAMessage) {
  VertexFactory unloaded;
  testing::internal::CaptureStdout();
  EXPECT_EQ(unloaded.build(2, 0, -1), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "error: calibration file path is not set yet;\n");

  VertexFactory factory;
  ASSERT_EQ(InitQuietly(factory, inside_), 0);
  ASSERT_NE(factory.build(2, 0, -1), nullptr);
  testing::internal::CaptureStdout();
  EXPECT_EQ(factory.build(7, 0, -1), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "error: invalid projection model 7;\n");
  EXPECT_EQ(factory.position_count(), 0);
  EXPECT_EQ(factory.texcoord_count(), 0);

  // A missing calibration fails init and leaves the builder refusing meshes.
  VertexFactory missing;
  EXPECT_NE(InitQuietly(missing, render_test::TestFile("missing.inf")), 0);
  EXPECT_FALSE(missing.calibration_loaded());
}

TEST_F(MeshTest, TwoLensCalibrationsAndRawPicturesOnlyDrawQuadAndRing) {
  calib::CalibrationValues values = calib::MakeCalibration(200, 960, 540, 640, 1920, 1080);
  values.camera_count = 2;
  const std::string path = render_test::TestFile("two_lenses.inf");
  ASSERT_EQ(calib::WriteCalibrationValues(path, values), 0);
  for (bool raw : {false, true}) {
    VertexFactory factory;
    ASSERT_EQ(InitQuietly(factory, path, 0, raw), 0);
    for (int model = 1; model <= 5; ++model) {
      ASSERT_NE(factory.build(model, 0, -1), nullptr);  // positions only
      EXPECT_EQ(factory.texcoord_count(), 0) << "model " << model;
    }
    EXPECT_NE(factory.build(0, 0, -1), nullptr);
    EXPECT_EQ(factory.texcoord_count(), 24);
  }
}

TEST_F(MeshTest, MountingSetsTheBaseRoll) {
  const struct {
    int mounting;
    float roll;
  } cases[] = {{0, 0}, {1, 180}, {2, 90}, {5, 0}};
  for (const auto& c : cases) {
    VertexFactory factory;
    ASSERT_EQ(InitQuietly(factory, inside_, c.mounting), 0);
    EXPECT_EQ(factory.base_roll(), c.roll) << "mounting " << c.mounting;
    // The identity rotation of the file became the axis swap.
    const float swap[9] = {1, 0, 0, 0, 0, 1, 0, -1, 0};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(factory.calibration().lens[0].rotation[i], swap[i]);
  }
}

}  // namespace
