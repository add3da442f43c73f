// Figures of the unwarped views through the whole engine:
//  - latency from a mouse drag event (sent through XTest to the engine's
//    window) to the presented frame that shows the turned view, while
//    playing and while paused (target: one frame);
//  - time of SetDrawMode while playing (target: under 50 ms);
//  - cost of a frame with four perspective viewports of the 2880 x 2880
//    sample: picture upload, drawing and swap, and the pictures per second
//    the engine keeps up with;
//  - time of PrepareCalibration for a recording without a calibration file
//    (snapshot, circle detection, file).
// Run it on a display: scripts/run-with-display.sh build/bench/view_bench

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "domeview/iss_domeview.h"
#include "engine_hooks.h"
#include "platform/paths.h"
#include "samplegen/recording.h"

extern "C" {
#include <libavutil/log.h>
}

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kWindowWidth = 640, kWindowHeight = 360;

std::string SamplePath(const std::string& name) {
  const char* folder = std::getenv("KESTRA_SAMPLES_DIR");
  return std::string(folder ? folder : KESTRA_SAMPLES_DIR) + "/" + name;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The figures go here; standard output carries the engine's own lines
// (calibration dumps, mesh builds), which main() sends away.
std::FILE* report = stdout;

void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Say(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::vfprintf(report, format, args);
  va_end(args);
  std::fflush(report);
}

void PrintFigures(const char* what, std::vector<double> ms) {
  if (ms.empty()) return Say("  %-44s no figures\n", what);
  std::sort(ms.begin(), ms.end());
  Say("  %-44s median %7.1f ms   worst %7.1f ms   (%zu)\n", what, ms[ms.size() / 2], ms.back(), ms.size());
}

// An engine playing one recording in a free-standing window at (0, 0).
class Playback {
 public:
  Playback(const std::string& media, const std::string& calibration) : media_(media), calibration_(calibration) {
    engine_ = CreateDomeview();
    engine_->SetVolume(64);
    params_ = {media_.c_str(), calibration_.c_str(), "", 0, 0, -1, 0};
  }
  ~Playback() {
    engine_->Stop();
    DestroyDomeview(engine_);
  }
  ISS_Domeview& engine() { return *engine_; }
  bool Start(int width, int height, const std::function<void(ISS_Domeview&)>& arrange) {
    if (engine_->Init(&params_) != 0) return Report();
    engine_->SetWindowRect(0, 0, width, height);
    arrange(*engine_);
    return engine_->Play(nullptr, nullptr, nullptr, nullptr, nullptr) == 0 || Report();
  }

 private:
  bool Report() {
    Say("  cannot play %s: %s", media_.c_str(), engine_->GetErrorText());
    return false;
  }
  std::string media_, calibration_;
  ISS_InitParams params_{};
  ISS_Domeview* engine_ = nullptr;
};

// Times from taking each picture to presenting it (upload, drawing and
// swap) while it exists.
class FrameCosts {
 public:
  FrameCosts() {
    domeview::TestHooks().picture_shown = [this](const domeview::ShownPicture&) {
      std::lock_guard<std::mutex> guard(lock_);
      taken_.push_back(Clock::now());
    };
    domeview::TestHooks().presented = [this] {
      std::lock_guard<std::mutex> guard(lock_);
      if (!taken_.empty() && costs_.size() < taken_.size()) costs_.push_back(Ms(Clock::now() - taken_.back()));
    };
  }
  ~FrameCosts() { domeview::TestHooks() = {}; }
  size_t pictures() {
    std::lock_guard<std::mutex> guard(lock_);
    return taken_.size();
  }
  std::vector<double> costs() {
    std::lock_guard<std::mutex> guard(lock_);
    return costs_;
  }

 private:
  std::mutex lock_;
  std::vector<Clock::time_point> taken_;
  std::vector<double> costs_;
};

// Drags of 10 pixels to and fro with the left button held; for each, the
// time from sending the motion to the first presented frame whose viewport
// 0 shows the new angle.
std::vector<double> DragLatencies(ISS_Domeview& engine, Display* display, int drags) {
  std::mutex lock;
  std::condition_variable shown;
  std::atomic<float> wanted{1e9f};
  Clock::time_point seenAt;
  domeview::TestHooks().presented = [&] {
    float a0 = 0, a1 = 0, a2 = 0;
    if (engine.GetViewAngles(0, &a0, &a1, &a2) != 0 || a1 != wanted) return;
    std::lock_guard<std::mutex> guard(lock);
    seenAt = Clock::now();
    wanted = 1e9f;
    shown.notify_all();
  };
  const int x = kWindowWidth / 2, y = kWindowHeight / 2;
  XTestFakeMotionEvent(display, -1, x, y, 0);
  XTestFakeButtonEvent(display, 1, True, 0);
  XFlush(display);
  std::this_thread::sleep_for(100ms);
  float a0 = 0, a1 = 0, a2 = 0;
  engine.GetViewAngles(0, &a0, &a1, &a2);
  std::vector<double> latencies;
  for (int i = 0; i < drags; ++i) {
    const int dx = i % 2 == 0 ? 10 : -10;
    a1 += static_cast<float>(dx);
    std::unique_lock<std::mutex> guard(lock);
    wanted = a1;
    const auto sentAt = Clock::now();
    XTestFakeMotionEvent(display, -1, x + (dx > 0 ? 10 : 0), y, 0);
    XFlush(display);
    if (shown.wait_for(guard, 2s, [&] { return wanted == 1e9f; })) latencies.push_back(Ms(seenAt - sentAt));
    guard.unlock();
    std::this_thread::sleep_for(60ms);
  }
  XTestFakeButtonEvent(display, 1, False, 0);
  XFlush(display);
  domeview::TestHooks().presented = nullptr;
  return latencies;
}

void MeasureDragLatency(Display* display) {
  Say("Mouse drag to the presented frame, 1920 x 1080 at 30 pictures a second (a frame: 33.3 ms)\n");
  Playback playback(SamplePath("front_1080p30.mp4"), SamplePath("lens_1920x1080.inf"));
  if (!playback.Start(kWindowWidth, kWindowHeight, [](ISS_Domeview& e) {
        e.SetViewport(0, 0, kWindowWidth, kWindowHeight, 0);
        e.SetDrawMode(2, 0);
      }))
    return;
  {
    FrameCosts frames;
    std::this_thread::sleep_for(1500ms);
    PrintFigures("one frame: upload + draw + swap", frames.costs());
  }
  PrintFigures("drag while playing", DragLatencies(playback.engine(), display, 30));
  playback.engine().Pause();
  PrintFigures("drag while paused", DragLatencies(playback.engine(), display, 30));
}

void MeasureDrawModeSwitch() {
  Say("SetDrawMode while playing (mesh build and upload included)\n");
  Playback playback(SamplePath("front_1080p30.mp4"), SamplePath("lens_1920x1080.inf"));
  if (!playback.Start(kWindowWidth, kWindowHeight,
                      [](ISS_Domeview& e) { e.SetViewport(0, 0, kWindowWidth, kWindowHeight, 0); }))
    return;
  std::this_thread::sleep_for(500ms);
  const int modes[] = {2, 1, 5, 6, 3, 0, 4};
  std::vector<double> first, later;
  for (int round = 0; round < 4; ++round) {
    for (int mode : modes) {
      const auto start = Clock::now();
      playback.engine().SetDrawMode(mode, 0);
      (round == 0 ? first : later).push_back(Ms(Clock::now() - start));
    }
  }
  PrintFigures("first switch into each mode", first);
  PrintFigures("later switches", later);
}

void MeasureFourViewFrames() {
  Say("Four perspective viewports of the 2880 x 2880 sample in a 1280 x 720 window\n");
  Playback playback(SamplePath("front_2880p30.mp4"), SamplePath("lens_2880x2880.inf"));
  FrameCosts frames;
  const int w = 1280, h = 720;
  const float yaw[4] = {-160, -45, 90, -90};
  if (!playback.Start(w, h, [&](ISS_Domeview& e) {
        const int rects[4][2] = {{0, 0}, {w / 2, 0}, {0, h / 2}, {w / 2, h / 2}};
        for (int vp = 0; vp < 4; ++vp) {
          e.SetViewport(rects[vp][0], rects[vp][1], w / 2, h / 2, vp);
          e.SetDrawMode(2, vp);
          e.SetViewAngles(25, yaw[vp], 0, vp);
        }
      }))
    return;
  const auto start = Clock::now();
  while (playback.engine().IsPlaying() && Clock::now() - start < 30s) std::this_thread::sleep_for(50ms);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  Say("  %zu pictures shown in %.1f s: %.1f a second (the recording has 30)\n", frames.pictures(), seconds,
      frames.pictures() / seconds);
  PrintFigures("upload + draw + swap of one frame", frames.costs());
}

void MeasurePrepareCalibration() {
  Say("PrepareCalibration without a calibration file (1440 x 1440: no 1440.inf in the program folder)\n");
  const std::string folder = platform::ProgramFolder() + "view_bench_media/";
  std::filesystem::create_directories(folder);
  samplegen::RecordingSpec spec;
  spec.path = folder + "front_1440p30.mp4";
  spec.width = spec.height = 1440;
  spec.frames = 30;
  std::string error;
  if (!std::filesystem::exists(spec.path) && !samplegen::WriteRecording(spec, &error)) {
    return void(Say("  cannot make %s: %s\n", spec.path.c_str(), error.c_str()));
  }
  std::vector<double> times;
  for (int i = 0; i < 5; ++i) {
    ISS_Domeview* engine = CreateDomeview();
    const std::string target = folder + "prepared.inf";
    std::filesystem::remove(target);
    const auto start = Clock::now();
    const int code = engine->PrepareCalibration(spec.path.c_str(), target.c_str());
    if (code == 0) times.push_back(Ms(Clock::now() - start));
    DestroyDomeview(engine);
  }
  PrintFigures("capture + detection + file", times);
}

}  // namespace

int main() {
  av_log_set_level(AV_LOG_ERROR);
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::printf("no X display: run it through scripts/run-with-display.sh\n");
    return 1;
  }
  // The engine's own lines (calibration dumps, mesh builds) would bury the
  // figures: they go to /dev/null, the figures to the original output.
  std::fflush(stdout);
  report = fdopen(dup(STDOUT_FILENO), "w");
  const int null = open("/dev/null", O_WRONLY);
  if (!report || null < 0 || dup2(null, STDOUT_FILENO) < 0) return 1;
  close(null);
  MeasureDragLatency(display);
  MeasureDrawModeSwitch();
  MeasureFourViewFrames();
  MeasurePrepareCalibration();
  XCloseDisplay(display);
  return 0;
}
