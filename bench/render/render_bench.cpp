// Figures of the unwarping renderer: how long the meshes take to build, how
// long a draw-mode switch takes (mesh and buffer upload), and what a frame
// with four viewports of a 2880 x 2880 picture costs. Needs a display with
// OpenGL (run it through scripts/run-with-display.sh for Xvfb + llvmpipe).
//
//   render_bench [--repeat N]

#include <GL/glew.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "calib/calibration_file.h"
#include "gl_fixture.h"
#include "mesh/vertex_factory.h"
#include "ogl_rendererMgr/ogl_rendererMgr.h"
#include "platform/paths.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPictureSize = 2880;
constexpr double kLensRadius = 1400;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double ProcessCpuMilliseconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

struct Figure {
  double median = 0, worst = 0;
};

Figure Measure(int repeat, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < repeat; ++i) {
    const auto start = Clock::now();
    work();
    times.push_back(Milliseconds(Clock::now() - start));
  }
  std::sort(times.begin(), times.end());
  return {times[times.size() / 2], times.back()};
}

void Print(const char* what, const Figure& f) {
  std::printf("%-48s median %8.2f ms   worst %8.2f ms\n", what, f.median, f.worst);
}

// Runs `fn` with standard output dropped: the calibration reader dumps the
// file on every load.
template <typename Fn>
auto Quietly(Fn fn) {
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  const int null = open("/dev/null", O_WRONLY);
  if (null >= 0) dup2(null, STDOUT_FILENO), close(null);
  auto result = fn();
  std::fflush(stdout);
  if (saved >= 0) dup2(saved, STDOUT_FILENO), close(saved);
  return result;
}

void BenchMeshes(const std::string& lens, int repeat) {
  domeview::VertexFactory factory;
  if (Quietly([&] { return factory.init(false, 0, lens.c_str()); }) != 0) {
    std::fprintf(stderr, "render_bench: cannot load %s\n", lens.c_str());
    std::exit(1);
  }
  // The first build of a renderer also maps its arrays' memory (14 MB for
  // the sphere); later builds reuse it.
  std::vector<double> cold;
  for (int i = 0; i < repeat; ++i) {
    domeview::VertexFactory fresh;
    Quietly([&] { return fresh.init(false, 0, lens.c_str()); });
    const auto start = Clock::now();
    fresh.build(2, 0, -1);
    cold.push_back(Milliseconds(Clock::now() - start));
  }
  std::sort(cold.begin(), cold.end());
  Print("first sphere build of a renderer", {cold[cold.size() / 2], cold.back()});
  const struct {
    const char* name;
    int model, logo;
  } meshes[] = {{"sphere mesh (388,800 vertices)", 2, 0},
                {"sphere mesh with logo cap", 2, 1},
                {"flat panorama mesh", 1, 0},
                {"ring mesh", 6, 0}};
  for (const auto& m : meshes) {
    char label[96];
    std::snprintf(label, sizeof(label), "build %s", m.name);
    Print(label, Measure(repeat, [&] { factory.build(m.model, m.logo, -1); }));
  }
  Print("ring texture coordinates per frame", Measure(repeat, [&] { factory.update_ring_texcoords(0.3f); }));
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 9;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) repeat = std::max(1, std::atoi(argv[++i]));
  }
  const std::string lens = platform::ProgramFolderFile("render_bench_2880.inf");
  if (calib::WriteCalibrationFile(lens, 200, kPictureSize / 2, kPictureSize / 2, kLensRadius, kPictureSize,
                                  kPictureSize) != 0) {
    std::fprintf(stderr, "render_bench: cannot write %s\n", lens.c_str());
    return 1;
  }
  std::printf("Meshes (CPU, 2880 x 2880 lens, %d runs)\n", repeat);
  BenchMeshes(lens, repeat);

  render_test::GlWindow window;
  std::string error;
  if (!window.Open(1280, 720, &error)) {
    std::fprintf(stderr, "render_bench: no GL window: %s\n", error.c_str());
    return 1;
  }
  std::printf("\nGL: %s on %s\n", reinterpret_cast<const char*>(glGetString(GL_VERSION)),
              reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  const auto start = Clock::now();
  const render_test::YuvPicture picture = render_test::RenderFisheyePicture(
      samplegen::FisheyeLens(kPictureSize / 2, kPictureSize / 2, kLensRadius, 200), kPictureSize, kPictureSize, 1.0);
  std::printf("(test picture rendered in %.0f ms)\n", Milliseconds(Clock::now() - start));

  domeview::ISS_OglRendererMgr manager;
  domeview::ManagerOptions options;
  options.calibration_path = lens.c_str();
  options.video_width = options.video_height = kPictureSize;
  if (Quietly([&] { return manager.init(options); }) != 0) {
    std::fprintf(stderr, "render_bench: init failed: %s\n", manager.error_text());
    return 1;
  }

  // Four views of 640 x 360, the player's four-view arrangement.
  domeview::ISS_ViewBlock view;
  for (int vp = 0; vp < domeview::kMaxViewports; ++vp) {
    view.viewport_enabled[vp] = 1;
    view.viewport_rect[vp] = {(vp % 2) * 640, (vp / 2) * 360, 640, 360};
    view.draw_mode[vp] = 2;
    view.view_angle[vp][1] = 90.0f * vp;
  }
  Quietly([&] { return manager.apply_initial_views(view), 0; });

  // Mode switch: a new mesh and its buffers, as the frame loop applies it.
  int mode = 2;
  const Figure modeSwitch = Measure(repeat, [&] {
    mode = mode == 2 ? 1 : 2;
    Quietly([&] { return manager.set_draw_mode(0, mode); });
    glFinish();
  });
  Quietly([&] { return manager.set_draw_mode(0, 2); });
  std::printf("\nGL work (llvmpipe unless a GPU is present, %d runs)\n", repeat);
  Print("draw mode switch, flat <-> sphere (target 50)", modeSwitch);

  const Figure upload = Measure(repeat, [&] {
    manager.upload_frame(picture.View(), kPictureSize, kPictureSize);
    glFinish();
  });
  Print("upload 2880 x 2880 YUV picture", upload);
  double cpuBefore = ProcessCpuMilliseconds();
  const Figure draw = Measure(repeat, [&] {
    manager.draw_all(view.viewport_enabled);
    glFinish();
  });
  const double drawCpu = (ProcessCpuMilliseconds() - cpuBefore) / repeat;
  Print("draw four perspective viewports", draw);
  cpuBefore = ProcessCpuMilliseconds();
  const Figure frame = Measure(repeat, [&] {
    manager.upload_frame(picture.View(), kPictureSize, kPictureSize);
    manager.draw_all(view.viewport_enabled);
    glFinish();
  });
  const double frameCpu = (ProcessCpuMilliseconds() - cpuBefore) / repeat;
  Print("whole frame: upload + four viewports", frame);
  std::printf("CPU time per frame (all threads): draw %.1f ms, whole frame %.1f ms\n", drawCpu, frameCpu);
  return 0;
}
