#include "viewer.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <thread>

#include "platform/paths.h"
#include "png_file.h"

namespace domeview_play {
namespace {

constexpr const char* kEngineWindowTitle = "Lumora VR Player";
constexpr int kWindowWaitMs = 5000;  // for the engine's window to appear after Play
constexpr int kKeyPollMs = 50;
constexpr int kSeekStepSeconds = 5;
constexpr int kVolume = 64;  // of 128

using Clock = std::chrono::steady_clock;

// What the viewer itself says goes to standard error: the engine writes its
// own diagnostics (calibration dumps, mesh builds) on standard output.
void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Say(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::fputs("domeview-play: ", stderr);
  std::vfprintf(stderr, format, args);
  std::fputc('\n', stderr);
  va_end(args);
}

}  // namespace

Viewer::Viewer(PlayOptions options) : options_(std::move(options)) {}

Viewer::~Viewer() {
  if (!engine_) return;
  engine_->Stop();
  DestroyDomeview(engine_);
}

void Viewer::OnEnd(void* self) { static_cast<Viewer*>(self)->ended_ = true; }

void Viewer::OnFail(void* self, int code) { static_cast<Viewer*>(self)->fail_code_ = code; }

int Viewer::Fail(const std::string& what) {
  std::fprintf(stderr, "domeview-play: %s\n", what.c_str());
  return 1;
}

int Viewer::Run() {
  std::string error;
  if (!window_.Connect(&error)) return Fail(error);
  engine_ = CreateDomeview();
  if (!engine_) return Fail("cannot create the playback engine");
  engine_->SetVolume(kVolume);
  if (!PrepareCalibration() || !Start()) return 1;
  return options_.screenshot.empty() ? Interact() : TakeScreenshot();
}

// The given file, or one the engine prepares for the recording in the
// user's cache folder, as the player does for its default calibration.
bool Viewer::PrepareCalibration() {
  if (!options_.calibration.empty()) {
    calibration_ = options_.calibration;
    return true;
  }
  calibration_ = platform::UserCacheFolder() + "domeview-play.inf";
  if (engine_->PrepareCalibration(options_.recording.c_str(), calibration_.c_str()) != 0) {
    Fail("cannot prepare a lens calibration for " + options_.recording + ": " + engine_->GetErrorText());
    return false;
  }
  Say("calibration prepared in %s", calibration_.c_str());
  return true;
}

bool Viewer::Start() {
  params_.media_path = options_.recording.c_str();
  params_.calibration_path = calibration_.c_str();
  params_.logo_path = options_.logo.c_str();
  params_.need_logo = options_.logo.empty() ? 0 : 1;
  params_.logo_fov = options_.logo_fov;
  params_.mounting = options_.mounting;
  ended_ = false;
  if (engine_->Init(&params_) != 0) {
    return Fail(std::string("cannot open the recording: ") + engine_->GetErrorText()), false;
  }
  engine_->SetWindowRect(0, 0, options_.width, options_.height);
  Arrange();
  if (engine_->Play(nullptr, nullptr, &OnEnd, this, &OnFail) != 0) {
    return Fail(std::string("cannot play the recording: ") + engine_->GetErrorText()), false;
  }
  paused_ = false;
  std::string error;
  if (!window_.Attach(kEngineWindowTitle, kWindowWaitMs, &error)) return Fail(error), false;
  return true;
}

// Viewports, draw modes and view angles; before Play they take effect as
// the engine's window opens.
void Viewer::Arrange() {
  const std::vector<ViewportPlan> plan = PlanViewports(options_, options_.width, options_.height);
  for (int vp = 0; vp < 4; ++vp) {
    if (vp >= static_cast<int>(plan.size())) {
      engine_->DisableViewport(vp);
      continue;
    }
    const ViewportPlan& p = plan[vp];
    engine_->SetViewport(p.x, p.y, p.width, p.height, vp);
    engine_->SetDrawMode(p.mode, vp);
    engine_->SetViewAngles(p.angles[0], p.angles[1], p.angles[2], vp);
  }
}

int Viewer::Interact() {
  Say("playing %s; keys: space, Left, Right, 0..6, q", options_.recording.c_str());
  for (;;) {
    if (const int code = fail_code_.load()) {
      return Fail("playback failed (code " + std::to_string(code) + "): " + engine_->GetErrorText());
    }
    if (ended_) {
      if (!options_.loop) return 0;
      engine_->Stop();
      if (!Start()) return 1;
    }
    const Key key = window_.NextKey(kKeyPollMs);
    if (key.kind == Key::kQuit) return 0;
    HandleKey(key);
  }
}

void Viewer::HandleKey(const Key& key) {
  switch (key.kind) {
    case Key::kSpace:
      paused_ ? engine_->Resume() : engine_->Pause();
      paused_ = !paused_;
      Say("%s", paused_ ? "paused" : "playing");
      break;
    case Key::kLeft:
    case Key::kRight:
      if (paused_) {
        engine_->StepFrame(key.kind == Key::kRight);
      } else {
        SeekBy(key.kind == Key::kRight ? kSeekStepSeconds : -kSeekStepSeconds);
      }
      break;
    case Key::kDigit: {
      if (key.digit > 6) break;
      const std::vector<ViewportPlan> plan = PlanViewports(options_, window_.width(), window_.height());
      const int vp = ViewportAt(plan, window_.height(), key.x, key.y);
      if (engine_->SetDrawMode(key.digit, vp) == 0) Say("viewport %d: draw mode %d", vp, key.digit);
      break;
    }
    default:
      break;
  }
}

// Positions are whole seconds; the engine refuses a target at or past the end.
void Viewer::SeekBy(int seconds) {
  const ISS_TimeTriple d = engine_->GetDuration();
  const int64_t durationMs = (int64_t{d.minutes} * 60 + d.seconds) * 1000 + d.milliseconds;
  const int64_t nowMs = (engine_->GetPlayPosition() - 1) * 1000;
  const int64_t target = std::clamp<int64_t>(nowMs + int64_t{seconds} * 1000, 0, std::max<int64_t>(durationMs - 1, 0));
  if (engine_->Seek(static_cast<int>(target / 60000), static_cast<int>(target / 1000 % 60),
                    static_cast<int>(target % 1000)) == 0) {
    Say("at %lld s", static_cast<long long>(target / 1000));
  }
}

int Viewer::TakeScreenshot() {
  const auto due = Clock::now() + std::chrono::milliseconds(static_cast<int64_t>(options_.after_seconds * 1000));
  while (Clock::now() < due) {
    if (fail_code_) return Fail(std::string("playback failed: ") + engine_->GetErrorText());
    if (ended_) return Fail("the recording ended before the screenshot was due");
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  int width = 0, height = 0;
  const std::vector<uint8_t> rgb = window_.Grab(&width, &height);
  if (rgb.empty()) return Fail("cannot read the engine's window");
  std::string error;
  if (!WritePng(options_.screenshot, rgb, width, height, &error)) return Fail(error);
  Say("screenshot %dx%d saved in %s", width, height, options_.screenshot.c_str());
  return 0;
}

}  // namespace domeview_play
