// The unwarped picture as the engine presents it: a fisheye recording played
// in draw modes 1 and 2 must show what the lens model predicts for the
// generator's scene (with the sample's lens file and with a file the engine
// calibrated from the recording itself), the logo covers the cap the lens
// cannot see, and real mouse events on the engine's window turn and zoom
// the views. The frames are read back on the render thread before the swap.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "engine_test_support.h"
#include "expected_view.h"
#include "platform/paths.h"

namespace enginetest {
namespace {

using render_test::Distortion;
using render_test::ViewCase;

constexpr int kViewWidth = 480, kViewHeight = 360;
const domeview::ViewRect kWholeView{0, 0, kViewWidth, kViewHeight};
constexpr int kFps = 30;
// The 1920 x 1080 samples' 200 degree circle of radius 640 is cut by the
// frame: the reader clamps the radius to 539 pixels, 84.2 degrees from the
// lens axis, so mesh rows from 84 degrees on carry no picture.
constexpr double kLensEndDegrees = 84;

class EngineViewTest : public ::testing::Test {
 protected:
  void TearDown() override { engine_->Stop(); }

  // Plays the recording in a free-standing window that viewport 0 fills and
  // pauses it once a picture with at least this frame code is up. Returns
  // the scene time of the picture on screen, negative on failure.
  double PlayAndPause(const std::string& media, int code, const std::function<void(ISS_InitParams&)>& adjust = {}) {
    open_ = std::make_unique<OpenParams>(media);
    if (adjust) adjust(*open_->get());
    if (engine_->Init(open_->get()) != 0) return -1;
    engine_->SetWindowRect(0, 0, kViewWidth, kViewHeight);
    engine_->SetViewport(0, 0, kViewWidth, kViewHeight, 0);
    if (events_.Play(*engine_) != 0) return -1;
    if (!log_.WaitFor([code](const auto& e) { return !e.empty() && e.back().code >= code; }, 15s)) return -1;
    engine_->Pause();
    std::this_thread::sleep_for(150ms);  // a picture being taken as Pause came in
    return double(log_.LastCode()) / kFps;
  }

  Engine engine_ = NewEngine();
  PlaybackEvents events_;
  std::unique_ptr<OpenParams> open_;
  PictureLog log_;
};

// The drawn view scores at least `threshold` against the expected one, and
// every deliberately wrong expectation (the scene turned by 15 degrees, one
// axis mirrored, a lens of 10 % less radius) scores below it.
::testing::AssertionResult MatchesScene(const std::vector<uint8_t>& drawn, const ViewCase& view, double seconds,
                                        double threshold) {
  if (drawn.empty()) return ::testing::AssertionFailure() << "no frame was drawn";
  const double right = render_test::Psnr(drawn, render_test::ExpectedSceneView(view, seconds, kLensEndDegrees));
  std::printf("mode %d at (%g, %g, %g): %.1f dB", view.mode, view.angles[0], view.angles[1], view.angles[2], right);
  double bestWrong = 0;
  for (const Distortion& wrong : {Distortion{15, false, 1.0}, Distortion{0, true, 1.0}, Distortion{0, false, 0.9}}) {
    const auto expected = render_test::ExpectedSceneView(view, seconds, kLensEndDegrees, wrong);
    bestWrong = std::max(bestWrong, render_test::Psnr(drawn, expected));
  }
  std::printf(", best wrong expectation %.1f dB\n", bestWrong);
  if (right < threshold) return ::testing::AssertionFailure() << right << " dB, below " << threshold;
  if (bestWrong >= threshold) return ::testing::AssertionFailure() << "a wrong view scores " << bestWrong << " dB";
  return ::testing::AssertionSuccess();
}

// Decoded pictures carry the encoder's losses. Correct views score 31 to
// 42 dB (the self-calibrated lens the lower figures), the wrong expectations
// at most 20 dB (the panorama's black bars agree with any of them).
constexpr double kPsnrThreshold = 26.0;

// Where the calibration comes from: the sample's lens file, or the engine
// calibrating the recording from its first picture (no width-named file in
// the program folder).
class EngineUnwarpTest : public EngineViewTest, public ::testing::WithParamInterface<bool> {};

TEST_P(EngineUnwarpTest, FlatPanoramaAndPerspectiveShowTheScene) {
  const std::string media = SamplePath("front_1080p30.mp4");
  std::string calibration = SamplePath("lens_1920x1080.inf");
  if (GetParam()) {
    std::filesystem::remove(platform::ProgramFolder() + "1920.inf");
    calibration = ScratchPath("calibrated_from_picture.inf");
    std::filesystem::remove(calibration);
    ASSERT_EQ(engine_->PrepareCalibration(media.c_str(), calibration.c_str()), 0) << engine_->GetErrorText();
  }
  FrameReadback readback(kWholeView);
  StopFirst stopFirst{*engine_};
  engine_->SetDrawMode(1, 0);
  const double seconds = PlayAndPause(media, 20, [&](ISS_InitParams& p) { p.calibration_path = calibration.c_str(); });
  ASSERT_GE(seconds, 0) << engine_->GetErrorText();

  engine_->SetViewAngles(10, 20, 0, 0);  // ignored by the panorama; draws it again
  EXPECT_TRUE(MatchesScene(readback.Next(), {1, kViewWidth, kViewHeight}, seconds, kPsnrThreshold));

  ASSERT_EQ(engine_->SetDrawMode(2, 0), 0);
  engine_->SetViewAngles(30, 45, 0, 0);
  const std::vector<uint8_t> perspective = readback.Next();
  EXPECT_TRUE(MatchesScene(perspective, {2, kViewWidth, kViewHeight, {30, 45, 0}}, seconds, kPsnrThreshold));
  float a[3] = {};
  ASSERT_EQ(engine_->GetViewAngles(0, &a[0], &a[1], &a[2]), 0);
  EXPECT_EQ(a[0] * 1000 + a[1], 30045.0f) << "the renderer's angles";

  // An invalid mode while playing is refused and leaves the view as it was.
  EXPECT_EQ(engine_->SetDrawMode(7, 0), 21);
  engine_->SetViewAngles(30, 45, 0, 0);
  EXPECT_EQ(readback.Next(), perspective);
}

INSTANTIATE_TEST_SUITE_P(Calibration, EngineUnwarpTest, ::testing::Values(false, true),
                         [](const auto& test) { return test.param ? "FromTheFirstPicture" : "LensFile"; });

TEST_F(EngineViewTest, TheLogoCoversTheCapTheLensCannotSee) {
  // Orange: red, green and blue differ, so swapped channels show.
  const uint8_t orange[3] = {250, 130, 20};
  const std::string logo = ScratchPath("orange_logo.ppm");
  {
    std::ofstream file(logo, std::ios::binary | std::ios::trunc);
    file << "P6\n32 32\n255\n";
    for (int i = 0; i < 32 * 32; ++i) file.write(reinterpret_cast<const char*>(orange), 3);
  }
  FrameReadback readback(kWholeView);
  StopFirst stopFirst{*engine_};
  engine_->SetDrawMode(1, 0);
  const double seconds = PlayAndPause(SamplePath("front_1080p30.mp4"), 5, [&](ISS_InitParams& p) {
    p.need_logo = 1;
    p.logo_fov = -1;
    p.logo_path = logo.c_str();
  });
  ASSERT_GE(seconds, 0) << engine_->GetErrorText();
  engine_->SetViewAngles(0, 0, 0, 0);
  const std::vector<uint8_t> drawn = readback.Next();
  ASSERT_FALSE(drawn.empty());

  const ViewCase flat{1, kViewWidth, kViewHeight};
  int cap = 0, capOrange = 0, lens = 0, lensOrange = 0;
  for (int row = 0; row < kViewHeight; ++row)
    for (int col = 0; col < kViewWidth; ++col) {
      double phi, lambda;
      if (!render_test::GridAnglesAt(flat, 2.0 * (col + 0.5) / kViewWidth - 1, 2.0 * (row + 0.5) / kViewHeight - 1,
                                     &phi, &lambda))
        continue;
      const uint8_t* p = &drawn[(size_t(row) * kViewWidth + col) * 3];
      const bool isOrange = std::abs(p[0] - orange[0]) < 12 && std::abs(p[1] - orange[1]) < 12 &&
                            std::abs(p[2] - orange[2]) < 12;
      const double fromAxis = phi + 90;  // degrees
      if (fromAxis > kLensEndDegrees + 1) ++cap, capOrange += isOrange;
      if (fromAxis < kLensEndDegrees - 1) ++lens, lensOrange += isOrange;
    }
  ASSERT_GT(cap, 0);
  EXPECT_GT(capOrange, cap * 99 / 100) << "the cap shows the logo";
  EXPECT_LT(lensOrange, lens / 50) << "the lens rows show the picture";
}

// Real pointer events through xdotool on the host's window (the engine
// selects the input on it): viewport 0 (left half) in the perspective mode,
// viewport 1 (right half) in the ring mode.
TEST_F(EngineViewTest, TheMouseTurnsZoomsAndUnrollsTheViewUnderThePointer) {
  HostWindow host(kViewWidth, kViewHeight);
  host.RegisterChildId();
  StopFirst stopFirst{*engine_};
  open_ = std::make_unique<OpenParams>(SamplePath("front_1080p30.mp4"));
  ASSERT_EQ(engine_->Init(open_->get()), 0);
  engine_->SetNativeWindow(host.child());
  engine_->SetDrawMode(2, 0);
  engine_->SetViewport(0, 0, kViewWidth / 2, kViewHeight, 0);
  engine_->SetDrawMode(6, 1);
  engine_->SetViewport(kViewWidth / 2, 0, kViewWidth / 2, kViewHeight, 1);
  ASSERT_EQ(events_.Play(*engine_), 0) << engine_->GetErrorText();
  ASSERT_TRUE(log_.WaitForCount(3, 10s));
  engine_->Pause();  // events are handled while paused as well

  const std::string window = "--window " + std::to_string(host.child_id());
  auto xdo = [&](const std::string& steps) { return RunCommand("xdotool " + steps); };
  auto angles = [&] {
    std::array<float, 3> a{};
    engine_->GetViewAngles(0, &a[0], &a[1], &a[2]);
    return a;
  };
  auto waitFor = [](const std::function<bool()>& done) {
    for (auto giveUp = Clock::now() + 10s; Clock::now() < giveUp; std::this_thread::sleep_for(10ms))
      if (done()) return true;
    return done();
  };

  // A drag of (40, 20) pixels: one degree per pixel, vertical into a0.
  ASSERT_TRUE(xdo("mousemove " + window + " 100 150 mousedown 1 mousemove " + window + " 140 170 mouseup 1"));
  ASSERT_TRUE(waitFor([&] { return angles()[1] != 0; }));
  EXPECT_EQ(angles(), (std::array<float, 3>{20, 40, 0}));

  // The drag that starts with the second press of a double-click does not
  // turn the view; the next single press drags again (-50 pixels).
  ASSERT_TRUE(xdo("sleep 0.7 mousemove " + window + " 100 150 click 1 mousedown 1 mousemove " + window +
                  " 160 150 mouseup 1 sleep 0.7 mousedown 1 mousemove " + window + " 110 150 mouseup 1"));
  ASSERT_TRUE(waitFor([&] { return angles()[1] != 40; }));
  EXPECT_EQ(angles()[1], -10.0f) << "+60 of the latched drag must not count";

  // The wheel zooms the viewport under the pointer and stops at 3.0 and 0.05.
  const float ringZoom = engine_->GetZoom(1);
  ASSERT_TRUE(xdo("mousemove " + window + " 100 150 click --repeat 40 --delay 5 4"));
  EXPECT_TRUE(waitFor([&] { return engine_->GetZoom(0) == 3.0f; })) << engine_->GetZoom(0);
  ASSERT_TRUE(xdo("click --repeat 70 --delay 5 5"));
  EXPECT_TRUE(waitFor([&] { return engine_->GetZoom(0) == 0.05f; })) << engine_->GetZoom(0);
  EXPECT_EQ(engine_->GetZoom(1), ringZoom);

  // Dragging the ring 60 pixels left turns it by pi/6.
  domeview::ViewBlock& view = EngineTestAccess::State(*engine_).view;
  auto ringRotation = [&] {
    std::lock_guard<std::mutex> lock(view.render_lock);
    return view.viewports.ring_rotation;
  };
  const float before = ringRotation();
  ASSERT_TRUE(xdo("sleep 0.7 mousemove " + window + " 400 150 mousedown 1 mousemove " + window +
                  " 340 150 mouseup 1"));
  ASSERT_TRUE(waitFor([&] { return ringRotation() != before; }));
  EXPECT_NEAR(ringRotation() - before, M_PI / 6, 1e-5);
  EXPECT_EQ(angles()[1], -10.0f) << "viewport 0 stays as it was";
}

}  // namespace
}  // namespace enginetest
