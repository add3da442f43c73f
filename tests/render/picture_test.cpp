// The renderer manager drawing a synthetic fisheye picture into a real GL
// window: each draw mode must show what the lens model predicts.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <string>

#include "calib/picture_file.h"
#include "expected_view.h"
#include "gl_fixture.h"
#include "ogl_rendererMgr/ogl_rendererMgr.h"
#include "render_fixture.h"

using namespace domeview;
using namespace render_test;

namespace {

constexpr int kWindowWidth = 800, kWindowHeight = 600;
// The picture: a 200 degree circle of radius 370 inside a 4:3 frame, so
// that swapping width and height or a wrong radius shows.
constexpr int kPictureWidth = 1024, kPictureHeight = 768;
constexpr double kLensRadius = 370;
constexpr double kSeconds = 2.5;  // the ball is a quarter turn on
// The reader takes one pixel off the radius: 369 pixels reach 99.7
// degrees, so mesh rows from 99 degrees on are black.
constexpr double kLensEndDegrees = 99;
constexpr float kRingRadius = 369;
// Correct views score well above this; a turned, mirrored or rescaled
// expectation scores well below (checked for every case).
constexpr double kPsnrThreshold = 24.0;

// The ring viewport drawn beside the case's viewport, so that two meshes
// of different shape share the program in one frame.
const ViewRect kRingRect{0, 0, 240, 80};

class PictureTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    window_ = new GlWindow;
    opened_ = window_->Open(kWindowWidth, kWindowHeight, &error_);
    const samplegen::FisheyeLens lens(kPictureWidth / 2, kPictureHeight / 2, kLensRadius, 200);
    picture_ = new YuvPicture(RenderFisheyePicture(lens, kPictureWidth, kPictureHeight, kSeconds));
    lens_path_ = new std::string(WriteLensFile("picture_lens.inf", 200, kPictureWidth / 2, kPictureHeight / 2,
                                               kLensRadius, kPictureWidth, kPictureHeight));
  }
  static void TearDownTestSuite() {
    delete lens_path_;
    delete picture_;
    delete window_;
  }
  void SetUp() override { ASSERT_TRUE(opened_) << error_; }

  // A manager showing a picture (the test picture by default), its
  // calibration dump kept quiet.
  std::unique_ptr<ISS_OglRendererMgr> MakeManager(ManagerOptions options = {}, const YuvPicture* picture = nullptr,
                                                  bool upload = true) {
    if (!picture) picture = picture_;
    options.calibration_path = lens_path_->c_str();
    options.video_width = picture->width;
    options.video_height = picture->height;
    auto manager = std::make_unique<ISS_OglRendererMgr>();
    testing::internal::CaptureStdout();
    const int code = manager->init(options);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(code, 0) << manager->error_text();
    if (upload) manager->upload_frame(picture->View(), picture->width, picture->height);
    return manager;
  }

  // Start-up of the enabled viewports, then one frame. Returns draw_all's result.
  static int DrawFrame(ISS_OglRendererMgr& manager, ISS_ViewBlock& view, std::string* out = nullptr) {
    testing::internal::CaptureStdout();
    manager.apply_initial_views(view);
    const int result = manager.draw_all(view.viewport_enabled);
    const std::string printed = testing::internal::GetCapturedStdout();
    if (out) *out = printed;
    return result;
  }

  static void Enable(ISS_ViewBlock& view, int vp, int mode, const ViewRect& rect) {
    view.viewport_enabled[vp] = 1;
    view.draw_mode[vp] = mode;
    view.viewport_rect[vp] = rect;
  }

  // The unrolled ring at the default rotation, sampled from the picture.
  static std::vector<uint8_t> ExpectedRing(const ViewRect& rect) {
    std::vector<uint8_t> rgb(size_t(rect.width) * rect.height * 3);
    for (int row = 0; row < rect.height; ++row)
      for (int col = 0; col < rect.width; ++col) {
        const double column = (col + 0.5) / rect.width * kRingColumns, ring = (row + 0.5) / rect.height * kRingRows;
        const double angle = column / kRingColumns * 2 * samplegen::kPi + kDefaultRingRotation;
        const double rho = ring * kRingRadius / kRingRows;
        const samplegen::Rgb c = picture_->Sample(kPictureWidth / 2 + rho * std::cos(angle),
                                                  kPictureHeight / 2 + rho * std::sin(angle));
        uint8_t* out = &rgb[(size_t(row) * rect.width + col) * 3];
        out[0] = c.r, out[1] = c.g, out[2] = c.b;
      }
    return rgb;
  }

  static GlWindow* window_;
  static bool opened_;
  static std::string error_;
  static YuvPicture* picture_;
  static std::string* lens_path_;
};

GlWindow* PictureTest::window_ = nullptr;
bool PictureTest::opened_ = false;
std::string PictureTest::error_;
YuvPicture* PictureTest::picture_ = nullptr;
std::string* PictureTest::lens_path_ = nullptr;

TEST_F(PictureTest, EveryModeShowsTheSceneTheLensModelPredicts) {
  const struct {
    const char* name;
    ViewCase view;
    int mounting;
  } cases[] = {
      {"flat panorama", {1, 720, 360}, 0},
      {"perspective at the horizon", {2, 640, 480}, 0},
      {"perspective raised and turned", {2, 640, 480, {30, 45, 0}}, 0},
      {"perspective rolled, camera mounted upside down", {2, 640, 480, {-20, 120, 10}, 180}, 1},
      {"sphere from its surface", {3, 640, 480, {10, 30, 0}}, 0},
      {"bowl", {4, 640, 480, {20, 60, 0}, 90}, 2},
      {"wide perspective", {5, 640, 400, {0, -90, 0}}, 0},
  };
  const Distortion mistakes[] = {{15, false, 1.0}, {0, true, 1.0}, {0, false, 0.9}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ManagerOptions options;
    options.mounting = c.mounting;
    auto manager = MakeManager(options);
    ISS_ViewBlock view;
    const ViewRect rect{40, 100, c.view.width, c.view.height};
    Enable(view, 0, c.view.mode, rect);
    for (int i = 0; i < 3; ++i) view.view_angle[0][i] = c.view.angles[i];
    Enable(view, 1, kDrawModeRing, kRingRect);
    ASSERT_EQ(DrawFrame(*manager, view), 0);

    const std::vector<uint8_t> drawn = window_->ReadRgb(rect);
    const double psnr = Psnr(drawn, ExpectedSceneView(c.view, kSeconds, kLensEndDegrees));
    EXPECT_GE(psnr, kPsnrThreshold);
    for (const Distortion& mistake : mistakes) {
      const double wrong = Psnr(drawn, ExpectedSceneView(c.view, kSeconds, kLensEndDegrees, mistake));
      EXPECT_LT(wrong, kPsnrThreshold) << "yaw " << mistake.yaw_degrees << " mirror " << mistake.mirror_x
                                       << " theta x" << mistake.theta_scale;
    }
    const double ring = Psnr(window_->ReadRgb(kRingRect), ExpectedRing(kRingRect));
    EXPECT_GE(ring, kPsnrThreshold) << "ring";
    std::printf("%s: %.1f dB, ring beside it %.1f dB\n", c.name, psnr, ring);
  }
}

// Draw mode 0 shows the decoded picture itself; rows of 510 and 255 bytes
// (not multiples of four), with or without padding, must upload intact.
TEST_F(PictureTest, QuadShowsTheDecodedPictureWhateverItsRowLength) {
  const int width = 510, height = 382;
  const YuvPicture tight = RenderFisheyePicture(samplegen::FisheyeLens(255, 191, 180, 200), width, height, 1.0);
  const ViewRect rect{0, 0, 600, 382};  // bars left and right
  // The quad spans x -1..1 and y -c..c, c = H / W, fitted into the viewport.
  const double g = double(width) / height, c = double(height) / width;
  const int n = static_cast<int>(rect.width / g), d = static_cast<int>(g * rect.height);
  const double extent_y = n < rect.height ? c * rect.height / n : c;
  const double extent_x = d < rect.width ? double(rect.width) / d : 1;
  std::vector<uint8_t> expected(size_t(rect.width) * rect.height * 3, 0);
  for (int row = 0; row < rect.height; ++row)
    for (int col = 0; col < rect.width; ++col) {
      const double x = (2.0 * (col + 0.5) / rect.width - 1) * extent_x;
      const double y = (2.0 * (row + 0.5) / rect.height - 1) * extent_y;
      if (std::abs(x) > 1 || std::abs(y) > c) continue;
      const samplegen::Rgb rgb = tight.Sample((x + 1) / 2 * width, (c - y) / (2 * c) * height);
      uint8_t* out = &expected[(size_t(row) * rect.width + col) * 3];
      out[0] = rgb.r, out[1] = rgb.g, out[2] = rgb.b;
    }

  for (int padding : {0, 37}) {
    const YuvPicture picture = padding ? tight.Padded(padding) : tight;
    auto manager = MakeManager({}, &picture, padding == 0);
    ISS_ViewBlock view;
    Enable(view, 0, 0, rect);
    // The padded picture arrives the way a decoded frame does.
    struct {
      uint8_t* data[8];
      int linesize[8];
    } frame = {};
    YuvPicture copy = picture;
    for (int i = 0; i < 3; ++i) frame.data[i] = copy.planes[i].data(), frame.linesize[i] = copy.linesize[i];
    if (padding) manager->upload_frame(frame.data, frame.linesize, width, height);
    ASSERT_EQ(DrawFrame(*manager, view), 0);
    const double psnr = Psnr(window_->ReadRgb(rect), expected);
    EXPECT_GE(psnr, 35.0) << "padding " << padding;

    // A frame without planes is refused and the last picture stays.
    PicturePlanes missing = picture.View();
    missing.data[2] = nullptr;
    testing::internal::CaptureStdout();
    manager->upload_frame(missing, width, height);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("error: invalid picture plane 2"), std::string::npos);
    ASSERT_EQ(manager->draw_all(view.viewport_enabled), 0);
    EXPECT_EQ(Psnr(window_->ReadRgb(rect), expected), psnr);
  }
}

TEST_F(PictureTest, RowsTheLensCannotSeeAreDrawnBlack) {
  auto manager = MakeManager();
  ISS_ViewBlock view;
  const ViewRect rect{40, 100, 720, 360};
  Enable(view, 0, 1, rect);
  ASSERT_EQ(DrawFrame(*manager, view), 0);
  // The bottom of the panorama, 170 degrees from the lens axis: index 0.
  const ViewRect bottom{rect.x + 360, rect.y + 10, 1, 1};
  const std::vector<uint8_t> pixel = window_->ReadRgb(bottom);
  EXPECT_EQ(pixel, std::vector<uint8_t>({0, 0, 0}));
  EXPECT_LT(window_->ReadDepth(bottom.x, bottom.y), 1.0f);  // drawn, not just cleared
  EXPECT_EQ(window_->ReadDepth(5, 5), 1.0f);                // outside every viewport
}

// A square logo: quadrants of four colours over its inscribed disc (and a
// texel and a half beyond, so that filtering at the rim stays inside),
// magenta corners that must never show.
std::vector<uint8_t> QuadrantLogo(int size) {
  const uint8_t colours[4][3] = {{0, 0, 230}, {0, 200, 0}, {220, 0, 0}, {0, 220, 220}};  // BGR
  const uint8_t magenta[3] = {255, 0, 255};
  std::vector<uint8_t> bgr(size_t(size) * size * 3);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double dx = x + 0.5 - size / 2.0, dy = y + 0.5 - size / 2.0;
      const bool corner = std::hypot(dx, dy) > size / 2.0 + 1.5;
      const uint8_t* c = corner ? magenta : colours[(dx < 0 ? 0 : 1) + (dy < 0 ? 0 : 2)];
      std::copy(c, c + 3, &bgr[(size_t(y) * size + x) * 3]);
    }
  return bgr;
}

// RGB of a BGR picture at texture coordinates (u, v), v = 0 at its first
// row, filtered like GL_LINEAR with edges clamped.
samplegen::Rgb SampleBgr(const std::vector<uint8_t>& bgr, int size, double u, double v) {
  const double x = u * size - 0.5, y = v * size - 0.5;
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  double rgb[3] = {};
  for (int k = 0; k < 4; ++k) {
    const int px = std::clamp(x0 + (k & 1), 0, size - 1), py = std::clamp(y0 + (k >> 1), 0, size - 1);
    const double w = ((k & 1) ? fx : 1 - fx) * ((k >> 1) ? fy : 1 - fy);
    for (int c = 0; c < 3; ++c) rgb[c] += w * bgr[(size_t(py) * size + px) * 3 + 2 - c];
  }
  const auto byte = [](double value) { return static_cast<uint8_t>(std::lround(value)); };
  return {byte(rgb[0]), byte(rgb[1]), byte(rgb[2])};
}

// The logo as the render thread gets it: a picture file decoded to BGR.
std::vector<uint8_t> LoadLogoFile(const std::vector<uint8_t>& bgr, int size) {
  const std::string path = TestFile("quadrant_logo.ppm");
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << "P6\n" << size << " " << size << "\n255\n";
    for (size_t i = 0; i < bgr.size(); i += 3) file << bgr[i + 2] << bgr[i + 1] << bgr[i];
  }
  std::string error;
  int width = 0, height = 0;
  std::vector<uint8_t> loaded = calib::LoadPictureFile(&error, path, &width, &height);
  EXPECT_EQ(width, size) << error;
  EXPECT_EQ(height, size);
  return loaded;
}

TEST_F(PictureTest, LogoCoversTheUnseenCapAsADisc) {
  constexpr int kLogoSize = 64;
  const std::vector<uint8_t> logo = LoadLogoFile(QuadrantLogo(kLogoSize), kLogoSize);
  ASSERT_EQ(logo, QuadrantLogo(kLogoSize));
  ManagerOptions options;
  options.need_logo = 1;
  options.logo_fov = -1;  // 80 degrees for this lens
  options.logo_bgr = logo.data();
  options.logo_width = options.logo_height = kLogoSize;
  auto manager = MakeManager(options);
  ISS_ViewBlock view;
  const ViewCase flat{1, 720, 360};
  const ViewRect rect{40, 100, flat.width, flat.height};
  Enable(view, 0, 1, rect);
  ASSERT_EQ(DrawFrame(*manager, view), 0);
  const std::vector<uint8_t> drawn = window_->ReadRgb(rect);

  // Cap rows from 99 degrees to the pole: radius 0.5 at the cap's edge, 0 at
  // the pole; longitude once round the disc.
  std::vector<uint8_t> expected(drawn.size(), 0);
  std::vector<bool> cap(drawn.size() / 3, false);
  int magenta = 0;
  for (int row = 0; row < rect.height; ++row)
    for (int col = 0; col < rect.width; ++col) {
      const size_t i = size_t(row) * rect.width + col;
      if (drawn[i * 3] > 200 && drawn[i * 3 + 1] < 60 && drawn[i * 3 + 2] > 200) ++magenta;
      double phi, lambda;
      if (!GridAnglesAt(flat, 2.0 * (col + 0.5) / rect.width - 1, 2.0 * (row + 0.5) / rect.height - 1, &phi,
                        &lambda) ||
          phi + 90 < kLensEndDegrees)
        continue;
      const double q = 0.5 * (1 - (phi + 90 - kLensEndDegrees) / 81.0);
      const double alpha = (lambda / 360.0 - 0.5) * 2 * samplegen::kPi;
      const samplegen::Rgb c = SampleBgr(logo, kLogoSize, 0.5 + q * std::cos(alpha), 0.5 + q * std::sin(alpha));
      expected[i * 3] = c.r, expected[i * 3 + 1] = c.g, expected[i * 3 + 2] = c.b;
      cap[i] = true;
    }
  const double psnr = Psnr(drawn, expected, &cap);
  EXPECT_GE(psnr, kPsnrThreshold);
  EXPECT_EQ(magenta, 0);
  std::printf("logo cap: %.1f dB\n", psnr);
  // Above the cap the lens picture is unchanged.
  std::vector<bool> lensRows(cap.size());
  for (size_t i = 0; i < cap.size(); ++i) lensRows[i] = !cap[i];
  EXPECT_GE(Psnr(drawn, ExpectedSceneView(flat, kSeconds, kLensEndDegrees), &lensRows), kPsnrThreshold);
}

TEST_F(PictureTest, AViewportWithoutAMeshEndsTheFrame) {
  auto manager = MakeManager();
  ISS_ViewBlock view;
  Enable(view, 0, 1, {0, 300, 400, 200});
  Enable(view, 3, 1, {400, 300, 400, 200});
  std::string printed;
  ASSERT_EQ(DrawFrame(*manager, view, &printed), 0);
  view.viewport_enabled[1] = 1;  // enabled, but its draw mode never applied
  view.viewport_rect[1] = {0, 0, 400, 200};
  testing::internal::CaptureStdout();
  EXPECT_EQ(manager->draw_all(view.viewport_enabled), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "error: vp 1 vertex is not inited, please set draw mode first;\n");
  // Drawn in the order 0, 1, 3, 2: viewport 0 made it, viewport 3 did not.
  EXPECT_LT(window_->ReadDepth(200, 400), 1.0f);
  EXPECT_EQ(window_->ReadDepth(600, 400), 1.0f);
}

TEST_F(PictureTest, AnInvalidDrawModeKeepsTheOldOne) {
  auto manager = MakeManager();
  ISS_ViewBlock view;
  const ViewRect rect{40, 100, 720, 360};
  Enable(view, 0, 1, rect);
  ASSERT_EQ(DrawFrame(*manager, view), 0);
  const std::vector<uint8_t> before = window_->ReadRgb(rect);

  testing::internal::CaptureStdout();
  EXPECT_EQ(manager->set_draw_mode(0, 7), 7);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "error: invalid draw mode 7;\n");
  // The frame loop's path: the request is cleared and the view block shows
  // the mode still in use.
  view.draw_mode[0] = 7;
  view.pending_mode_change = 1;
  testing::internal::CaptureStdout();
  EXPECT_EQ(manager->apply_pending(view), 0);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(view.pending_mode_change, 0);
  EXPECT_EQ(view.draw_mode[0], 1);
  EXPECT_EQ(manager->renderer(0)->transform().draw_mode(), 1);
  ASSERT_EQ(manager->draw_all(view.viewport_enabled), 0);
  EXPECT_EQ(window_->ReadRgb(rect), before);
}

TEST_F(PictureTest, PendingRequestsApplyModeDefaultsAndRectangles) {
  auto manager = MakeManager();
  ISS_ViewBlock view;
  Enable(view, 0, 1, {0, 0, 400, 300});
  ASSERT_EQ(DrawFrame(*manager, view), 0);

  view.draw_mode[0] = 2;
  view.zoom[0] = 2.5f;
  view.view_angle[0][0] = 10, view.view_angle[0][1] = 20, view.view_angle[0][2] = 30;
  view.pending_mode_change = 1;
  view.viewport_rect[2] = {400, 300, 400, 300};
  view.pending_viewport_change = 3;
  testing::internal::CaptureStdout();
  EXPECT_EQ(manager->apply_pending(view), 0);
  testing::internal::GetCapturedStdout();

  EXPECT_EQ(view.pending_mode_change, 0);
  EXPECT_EQ(view.pending_viewport_change, 0);
  EXPECT_FLOAT_EQ(view.zoom[0], 1.5f);  // the mode's default zoom
  for (float a : view.view_angle[0]) EXPECT_EQ(a, 0);
  const ViewTransform& vp0 = manager->renderer(0)->transform();
  EXPECT_EQ(vp0.draw_mode(), 2);
  EXPECT_FLOAT_EQ(vp0.zoom(), 1.5f);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(vp0.angles()[i], 0);
  EXPECT_EQ(view.viewport_enabled[2], 1);
  EXPECT_EQ(manager->renderer(2)->transform().rect().x, 400);
  EXPECT_EQ(manager->renderer(2)->transform().rect().height, 300);
}

TEST_F(PictureTest, MouseSteersTheLowerOverlappingViewportAndZoomStopsAtItsLimits) {
  auto manager = MakeManager();
  ISS_ViewBlock view;
  Enable(view, 0, 2, {0, 0, 400, 400});
  Enable(view, 1, 2, {200, 0, 400, 400});
  ASSERT_EQ(DrawFrame(*manager, view), 0);

  PointerMotion drag;
  drag.x = 300, drag.y = kWindowHeight - 100;  // inside both
  drag.dx = 10, drag.dy = 5, drag.left_button_only = true;
  testing::internal::CaptureStderr();
  EXPECT_EQ(manager->on_mouse_motion(view, kWindowHeight, drag), 0);
  drag.double_click_seen = true;  // a drag started by a double-click's second press
  EXPECT_EQ(manager->on_mouse_motion(view, kWindowHeight, drag), -1);
  testing::internal::GetCapturedStderr();
  const float* turned = manager->renderer(0)->transform().angles();
  EXPECT_EQ(turned[0], 5);
  EXPECT_EQ(turned[1], 10);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(manager->renderer(1)->transform().angles()[i], 0);

  // Wheel at a point only viewport 1 covers.
  for (int step = 0; step < 40; ++step) manager->on_mouse_wheel(view, kWindowHeight, 500, kWindowHeight - 100, 1);
  EXPECT_FLOAT_EQ(view.zoom[1], 3.0f);
  EXPECT_FLOAT_EQ(manager->renderer(1)->transform().zoom(), 3.0f);
  for (int step = 0; step < 80; ++step) manager->on_mouse_wheel(view, kWindowHeight, 500, kWindowHeight - 100, -1);
  EXPECT_FLOAT_EQ(view.zoom[1], 0.05f);
  EXPECT_FLOAT_EQ(manager->renderer(1)->transform().zoom(), 0.05f);
  EXPECT_FLOAT_EQ(view.zoom[0], 1.5f);
}

TEST_F(PictureTest, InitFailuresAreReported) {
  const std::string missing = TestFile("no_lens_here.inf");
  const struct {
    const char* what;
    ManagerOptions options;
    const char* text;
  } cases[] = {
      {"missing calibration", {missing.c_str(), 0, -1, 0, 640, 480}, "can not load calibration file"},
      {"logo without picture", {lens_path_->c_str(), 1, -1, 0, 640, 480}, "no logo picture"},
      {"no picture size", {lens_path_->c_str(), 0, -1, 0, 0, 480}, "invalid video size"},
  };
  for (const auto& c : cases) {
    ISS_OglRendererMgr manager;
    testing::internal::CaptureStdout();
    EXPECT_NE(manager.init(c.options), 0) << c.what;
    testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string(manager.error_text()).find(c.text), std::string::npos) << manager.error_text();
  }
  // A raw picture needs no calibration.
  ISS_OglRendererMgr raw;
  EXPECT_EQ(raw.init({nullptr, 0, -1, 1, 640, 480}), 0) << raw.error_text();
}

}  // namespace
