// Viewport geometry and mouse steering, without GL.

#include <gtest/gtest.h>

#include <cmath>

#include "ogl_rendererMgr/ogl_renderer/view_transform.h"
#include "ogl_rendererMgr/view_control.h"

using namespace domeview;

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

struct Ndc {
  double x, y;
};

// Where a world point lands on the viewport, through projection x view.
Ndc Project(const ViewTransform& view, double x, double y, double z) {
  const Mat4 m = MultiplyMatrices(view.projection(), view.view());
  const double in[4] = {x, y, z, 1};
  double out[4] = {};
  for (int row = 0; row < 4; ++row)
    for (int k = 0; k < 4; ++k) out[row] += m[k * 4 + row] * in[k];
  return {out[0] / out[3], out[1] / out[3]};
}

ViewTransform Configured(int mode, int vw, int vh, int pictureWidth = 1920, int pictureHeight = 1080) {
  ViewTransform view;
  view.set_rect({0, 0, vw, vh});
  view.configure_mode(mode, pictureWidth, pictureHeight);
  view.update_view();
  float zoom = view.zoom_min();
  view.apply_zoom(&zoom);
  return view;
}

TEST(ViewTransformTest, AnglesWrapByWholeTurnsThenStopAtTheLimits) {
  const float wide[3] = {-180, -180, -180}, wideMax[3] = {180, 180, 180};
  const float narrowMin[3] = {-30, -30, -30}, narrowMax[3] = {45, 45, 45};
  const struct {
    float in;
    const float *min, *max;
    float out;
  } cases[] = {
      {190, wide, wideMax, -170},   {-170, wide, wideMax, -170}, {540, wide, wideMax, -180},
      {10.7f, wide, wideMax, 10},   // whole degrees only
      {-190, wide, wideMax, -180},  // the truncating remainder keeps -190: the limit stops it
      {60, narrowMin, narrowMax, 45}, {-50, narrowMin, narrowMax, -30}, {400, narrowMin, narrowMax, 40},
  };
  for (const auto& c : cases) {
    float angle[3] = {c.in, 0, c.in};
    ClampViewAngles(angle, c.min, c.max);
    EXPECT_EQ(angle[0], c.out) << c.in;
    EXPECT_EQ(angle[2], c.out) << c.in;
  }
  // Huge angles must not overflow an integer on their way.
  float huge[3] = {1e30f, -1e30f, 0};
  ClampViewAngles(huge, wide, wideMax);
  for (float a : huge) EXPECT_TRUE(a >= -180 && a <= 180) << a;
}

TEST(ViewTransformTest, ZoomStopsAtItsLimitsAndIsWrittenBack) {
  const struct {
    float in, out;
  } cases[] = {{0.01f, 0.05f}, {0.05f, 0.05f}, {-2, 0.05f}, {NAN, 0.05f}, {1.5f, 1.5f}, {3.0f, 3.0f}, {7, 3.0f}};
  for (const auto& c : cases) {
    ViewTransform view = Configured(2, 800, 600);
    float zoom = c.in;
    view.apply_zoom(&zoom);
    EXPECT_EQ(zoom, c.out) << c.in;
    EXPECT_EQ(view.zoom(), c.out) << c.in;
  }
}

TEST(ViewTransformTest, FlatModesFitTheirPictureWithBars) {
  const struct {
    int mode, vw, vh;
    double cornerX, cornerY;  // top right corner of the mesh
    double aspect;            // its width : height
  } cases[] = {
      {0, 800, 600, 1, 0.5625, 1920.0 / 1080},  // bars above and below
      {0, 300, 900, 1, 0.5625, 1920.0 / 1080},
      {0, 1000, 200, 1, 0.5625, 1920.0 / 1080},  // bars left and right
      {1, 720, 360, 1, 0.5, 2},                   // exactly 2:1
      {1, 800, 600, 1, 0.5, 2},
      {1, 900, 300, 1, 0.5, 2},
  };
  for (const auto& c : cases) {
    const ViewTransform view = Configured(c.mode, c.vw, c.vh);
    const Ndc corner = Project(view, c.cornerX, c.cornerY, 0);
    EXPECT_LE(corner.x, 1.0 + 1e-6);
    EXPECT_LE(corner.y, 1.0 + 1e-6);
    EXPECT_NEAR(std::max(corner.x, corner.y), 1.0, 0.01) << "mode " << c.mode << " " << c.vw << "x" << c.vh;
    EXPECT_NEAR(corner.x * c.vw / (corner.y * c.vh), c.aspect, c.aspect * 0.01)
        << "mode " << c.mode << " " << c.vw << "x" << c.vh;
  }
}

TEST(ViewTransformTest, PerspectiveModesFrameTheirReferenceAngles) {
  // World points that must land on the right edge of the viewport.
  const struct {
    int mode, vw, vh;
    double eyeZ;
    double x, z;
  } cases[] = {
      // Mode 2: the sphere point 60 degrees off the axis, seen from the centre.
      {2, 800, 600, 1, 4 * std::sin(60 * kDegree), -4 * std::cos(60 * kDegree)},
      // Mode 5 on 800 x 600: 0.5 * 180 * 800 / 1000 = 72 degrees.
      {5, 800, 600, 3, 4 * std::sin(72 * kDegree), -4 * std::cos(72 * kDegree)},
      // Mode 3: 77.5 degrees off the axis as seen from the eye on the sphere.
      {3, 800, 600, 4, 2 * std::sin(77.5 * kDegree), 4 - 2 * std::cos(77.5 * kDegree)},
  };
  for (const auto& c : cases) {
    const ViewTransform view = Configured(c.mode, c.vw, c.vh);
    EXPECT_EQ(view.eye_z(), c.eyeZ);
    const Ndc edge = Project(view, c.x, 0, c.z);
    EXPECT_NEAR(edge.x, 1.0, 1e-4) << "mode " << c.mode;
    EXPECT_NEAR(edge.y, 0.0, 1e-6);
    // Square pixels: the same angle vertically lands at vw / vh.
    const Ndc top = Project(view, 0, c.x, c.z);
    EXPECT_NEAR(top.y, double(c.vw) / c.vh, 1e-4) << "mode " << c.mode;
  }
  EXPECT_NEAR(Configured(2, 800, 600).zoom_min(), 1.5, 1e-6);
}

TEST(ViewTransformTest, BowlViewShowsTheWholeSphereAcrossItsShorterSide) {
  const ViewTransform wide = Configured(4, 800, 400);
  EXPECT_NEAR(Project(wide, 0, 4, 0).y, 1.0, 1e-6);
  EXPECT_NEAR(Project(wide, 4, 0, 0).x, 0.5, 1e-6);
  const ViewTransform tall = Configured(4, 400, 800);
  EXPECT_NEAR(Project(tall, 4, 0, 0).x, 1.0, 1e-6);
}

TEST(ViewTransformTest, AnglesTurnOnlyTheSphereModes) {
  for (int mode : {0, 1, 6}) {
    ViewTransform view = Configured(mode, 800, 600);
    view.apply_angles(30, 40, 50, 0.25f);
    EXPECT_EQ(view.model(), IdentityMatrix()) << "mode " << mode;
  }
  ViewTransform ring = Configured(6, 800, 600);
  ring.apply_angles(30, 40, 50, 0.25f);
  EXPECT_EQ(ring.ring_rotation(), 0.25f);
  EXPECT_EQ(ring.mvp(), IdentityMatrix());
  // The bowl view turns the opposite way of the perspective view.
  ViewTransform bowl = Configured(4, 800, 600), perspective = Configured(2, 800, 600);
  bowl.apply_angles(0, 35, 0, 0);
  perspective.apply_angles(0, -35, 0, 0);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(bowl.model()[i], perspective.model()[i], 1e-6);
}

class SteeringTest : public testing::Test {
 protected:
  void SetUp() override {
    // A 800 x 600 window: viewport 0 the left half, viewport 1 overlapping
    // its right part and the bottom of the window, viewport 2 disabled.
    view_.viewport_rect[0] = {0, 0, 400, 600};
    view_.viewport_rect[1] = {300, 0, 500, 300};
    view_.viewport_rect[2] = {0, 0, 800, 600};
    view_.viewport_enabled[0] = view_.viewport_enabled[1] = 1;
  }
  ISS_ViewBlock view_;
  static constexpr int kWindowHeight = 600;
};

TEST_F(SteeringTest, HitTestPicksTheFirstEnabledViewportUnderThePointer) {
  const struct {
    int x, y, vp;
  } cases[] = {
      {350, 500, 0},  // both contain it: the lower index wins
      {350, 100, 0},  // top of the window: only viewport 0
      {600, 500, 1},  // bottom right: only viewport 1 (rectangles count from the bottom)
      {600, 100, 0},  // top right: none, so viewport 0
      {799, 599, 1},
      {800, 599, 0},  // just outside
  };
  for (const auto& c : cases) EXPECT_EQ(HitTestViewport(view_, kWindowHeight, c.x, c.y), c.vp) << c.x << "," << c.y;
  view_.viewport_enabled[0] = 0;
  EXPECT_EQ(HitTestViewport(view_.viewport_rect, view_.viewport_enabled, kWindowHeight, 350, 500), 1);
}

TEST_F(SteeringTest, LeftDragTurnsTheViewportUnderThePointer) {
  PointerMotion motion;
  motion.x = 600, motion.y = 500, motion.dx = 12, motion.dy = -5, motion.left_button_only = true;
  testing::internal::CaptureStderr();
  EXPECT_EQ(SteerByDrag(view_, kWindowHeight, motion), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "angle[1]: -5.000000, 12.000000, zoom 0.000000\n");
  EXPECT_EQ(view_.view_angle[1][0], -5);
  EXPECT_EQ(view_.view_angle[1][1], 12);
  EXPECT_EQ(view_.view_angle[0][1], 0);
  EXPECT_FLOAT_EQ(view_.ring_rotation, kDefaultRingRotation);  // not a ring

  // Past the limits the drag stops at them.
  view_.angle_max[1][1] = 20;
  motion.dx = 30;
  testing::internal::CaptureStderr();
  SteerByDrag(view_, kWindowHeight, motion);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(view_.view_angle[1][1], 20);
}

TEST_F(SteeringTest, RingDragTurnsTheRing) {
  view_.draw_mode[0] = kDrawModeRing;
  PointerMotion motion;
  motion.x = 10, motion.y = 10, motion.dx = 90, motion.left_button_only = true;
  testing::internal::CaptureStderr();
  EXPECT_EQ(SteerByDrag(view_, kWindowHeight, motion), 0);
  testing::internal::GetCapturedStderr();
  EXPECT_NEAR(view_.ring_rotation, kDefaultRingRotation - 3.14159265f / 4, 1e-6);
}

TEST_F(SteeringTest, OnlyAPlainLeftDragSteers) {
  PointerMotion motion;
  motion.dx = 10, motion.dy = 10;
  for (const auto& [left, doubleClick] : {std::pair{false, false}, std::pair{true, true}}) {
    motion.left_button_only = left;
    motion.double_click_seen = doubleClick;
    EXPECT_EQ(SteerByDrag(view_, kWindowHeight, motion), -1);
  }
  for (const auto& angles : view_.view_angle)
    for (int i = 0; i < 3; ++i) EXPECT_EQ(angles[i], 0);
}

TEST_F(SteeringTest, WheelZoomsTheViewportUnderTheLastPointerPosition) {
  view_.zoom[1] = 1.0f;
  EXPECT_EQ(ZoomByWheel(view_, kWindowHeight, 600, 500, 1), 1);
  EXPECT_FLOAT_EQ(view_.zoom[1], 1.05f);
  EXPECT_EQ(ZoomByWheel(view_, kWindowHeight, 600, 500, -3), 1);
  EXPECT_FLOAT_EQ(view_.zoom[1], 1.0f);
  EXPECT_EQ(view_.zoom[0], 0.0f);
}

TEST(ViewBlockTest, StartsAsTheEngineIsCreated) {
  const ISS_ViewBlock view;
  for (int vp = 0; vp < kMaxViewports; ++vp) {
    EXPECT_EQ(view.viewport_enabled[vp], 0);
    EXPECT_EQ(view.draw_mode[vp], 0);
    EXPECT_EQ(view.zoom[vp], 0);
    EXPECT_EQ(view.angle_min[vp][2], -180);
    EXPECT_EQ(view.angle_max[vp][0], 180);
  }
  EXPECT_EQ(view.pending_mode_change, 0);
  EXPECT_FLOAT_EQ(view.ring_rotation, 3.14159265f / 2);
}

}  // namespace
