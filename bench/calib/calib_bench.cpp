// calib_bench: prints how long lens-circle detection takes on a 2880 x 2880
// frame (stage by stage) and how long CaculateVideoBiaodingA takes to
// calibrate a recording that has no calibration file.
//
//   calib_bench [repetitions]     (default 20)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "calib/circle_detector.h"
#include "calib/frame_capture.h"
#include "platform/paths.h"
#include "samplegen/frame_renderer.h"
#include "samplegen/geometry.h"
#include "samplegen/recording.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
  double median = 0, min = 0, max = 0;  // milliseconds
};

Figures Time(int repetitions, const std::function<void()>& work) {
  std::vector<double> ms;
  for (int i = 0; i < repetitions; ++i) {
    const auto start = Clock::now();
    work();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.front(), ms.back()};
}

void Print(const char* what, const Figures& f) {
  std::printf("  %-34s median %8.2f ms   min %8.2f   max %8.2f\n", what, f.median, f.min, f.max);
}

cv::Mat RenderFrame(int width, int height) {
  const samplegen::FisheyeLens lens = samplegen::StandardLens(width, height);
  std::vector<uint8_t> yuv(static_cast<size_t>(width) * height * 3 / 2);
  uint8_t* y = yuv.data();
  uint8_t* u = y + width * height;
  uint8_t* v = u + width * height / 4;
  samplegen::FrameRenderer(lens, width, height).Render(0, 0.0, {y, width}, {u, width / 2}, {v, width / 2});
  cv::Mat bgr;
  cv::cvtColor(cv::Mat(height * 3 / 2, width, CV_8UC1, yuv.data()), bgr, cv::COLOR_YUV2BGR_I420);
  return bgr;
}

void BenchDetection(int repetitions) {
  const cv::Mat frame = RenderFrame(2880, 2880);
  std::printf("Detection on a 2880x2880 frame (%d runs, target under 100 ms):\n", repetitions);
  calib::CircleDetector detector;
  float cx = 0, cy = 0, r = calib::kNoCircleRadius;
  Print("whole detection", Time(repetitions, [&] { detector.Detect(frame, &cx, &cy, &r); }));
  std::printf("  found cx %.1f cy %.1f r %.1f (true 1440.0 1440.0 %.1f)\n", cx, cy, r,
              samplegen::StandardLens(2880, 2880).radius());

  double scale = 0;
  cv::Mat working, edges;
  std::vector<cv::Point> points;
  Print("grey + resize + blur", Time(repetitions, [&] { working = calib::CircleDetector::WorkingPicture(frame, &scale); }));
  Print("gradient thresholds + Canny", Time(repetitions, [&] { edges = calib::CircleDetector::EdgePicture(working); }));
  Print("boundary points", Time(repetitions, [&] { points = calib::BoundaryPoints(edges); }));
  std::mt19937 random(1);
  Print("circle fit", Time(repetitions, [&] { calib::FitCircleBySampling(points, working.cols, working.rows, random); }));
  std::printf("  %zu boundary points\n", points.size());
}

void BenchRecording(int width, int height, int repetitions) {
  const std::string folder = platform::ProgramFolderFile("calib_bench_data/");
  platform::MakeFolders(folder.substr(0, folder.size() - 1));
  samplegen::RecordingSpec spec;
  spec.path = folder + "front_" + std::to_string(width) + "x" + std::to_string(height) + ".mp4";
  spec.width = width;
  spec.height = height;
  spec.frames = 30;
  std::string error;
  if (!samplegen::WriteRecording(spec, &error)) {
    std::printf("cannot write %s: %s\n", spec.path.c_str(), error.c_str());
    return;
  }
  const std::string inf = folder + "lens.inf";
  int code = 0;
  const Figures f = Time(repetitions, [&] { code = calib::CaculateVideoBiaodingA(spec.path.c_str(), inf.c_str()); });
  std::printf("CaculateVideoBiaodingA on a %dx%d recording (%d runs, result %d):\n", width, height, repetitions, code);
  Print("capture + detection + file", f);
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  BenchDetection(repetitions);
  BenchRecording(2880, 2880, std::max(1, repetitions / 4));
  BenchRecording(1920, 1080, std::max(1, repetitions / 4));
  return 0;
}
