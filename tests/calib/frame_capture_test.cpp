#include "calib/frame_capture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "calib/calibration_file.h"
#include "calib/circle_detector.h"
#include "calib/picture_file.h"
#include "platform/paths.h"
#include "samplegen/frame_renderer.h"
#include "samplegen/geometry.h"
#include "test_pictures.h"

using namespace calib;
using calibtest::SamplePath;
using calibtest::ScratchPath;

namespace {

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

cv::Mat LoadBgr(const std::string& path) {
  std::string error;
  int width = 0, height = 0;
  std::vector<uint8_t> bgr = LoadPictureFile(&error, path, &width, &height);
  if (bgr.empty()) return {};
  return cv::Mat(height, width, CV_8UC3, bgr.data()).clone();
}

// The frame number the generator stamped into a picture, -1 when none.
int FrameNumberOf(const cv::Mat& bgr) {
  cv::Mat grey;
  cv::cvtColor(bgr, grey, cv::COLOR_BGR2GRAY);
  return samplegen::ReadFrameCode(grey.data, static_cast<int>(grey.step), grey.cols, grey.rows);
}

// Re-encodes the start of a sample with B-frames, so that the decoder holds
// pictures back before it yields the first one.
std::string DelayedRecording(int frames) {
  const std::string path = ScratchPath("bframes_" + std::to_string(frames) + ".mp4");
  if (!Exists(path)) {
    EXPECT_TRUE(calibtest::Run("ffmpeg -nostdin -hide_banner -loglevel error -y -i '" +
                               SamplePath("front_1080p30_short.mp4") + "' -an -frames:v " + std::to_string(frames) +
                               " -c:v libx264 -bf 3 '" + path + "'"));
  }
  return path;
}

TEST(FrameCaptureTest, StoresTheFirstPictureInFullRange) {
  const std::string jpeg = ScratchPath("first.jpg");
  testing::internal::CaptureStdout();
  ASSERT_EQ(CaptureFrame2Jpg(SamplePath("front_1080p30_short.mp4").c_str(), jpeg.c_str()), kCaptureDone);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Encode Successful.\n"), std::string::npos);

  const cv::Mat snapshot = cv::imread(jpeg, cv::IMREAD_COLOR);  // an independent decoder
  ASSERT_EQ(snapshot.size(), cv::Size(1920, 1080));
  EXPECT_EQ(FrameNumberOf(snapshot), 0);
  // The recording is limited range: its black (Y 16) and the dark grey of
  // the frame code's zero bits (Y 60) must come out as full-range levels.
  const cv::Scalar corner = cv::mean(snapshot(cv::Rect(0, 900, 200, 180)));
  EXPECT_LT(corner[1], 3.0);
  const samplegen::FrameCodeLayout code = samplegen::FrameCodeLayoutFor(1920, 1080);
  const cv::Scalar zeroBit = cv::mean(snapshot(cv::Rect(code.x + 2, code.y + 2, code.blockSize - 4, code.blockSize - 4)));
  EXPECT_NEAR(zeroBit[1], (60 - 16) * 255.0 / 219, 3.0);
}

TEST(FrameCaptureTest, WaitsOutDecoderDelay) {
  // Ten frames: the first picture comes out some packets late. One frame:
  // it only comes out when the decoder is drained at the end of the input.
  for (int frames : {10, 1}) {
    SCOPED_TRACE(frames);
    const std::string jpeg = ScratchPath("delayed.jpg");
    ASSERT_EQ(CaptureFrame2Jpg(DelayedRecording(frames).c_str(), jpeg.c_str()), kCaptureDone);
    const cv::Mat snapshot = LoadBgr(jpeg);
    ASSERT_FALSE(snapshot.empty());
    EXPECT_EQ(FrameNumberOf(snapshot), 0);
  }
}

TEST(FrameCaptureTest, SecondCaptureOverwritesTheSnapshot) {
  const std::string jpeg = ScratchPath("overwritten.jpg");
  const std::string reference = ScratchPath("reference.jpg");
  ASSERT_EQ(CaptureFrame2Jpg(SamplePath("front_1080p30_short.mp4").c_str(), reference.c_str()), kCaptureDone);
  ASSERT_EQ(CaptureFrame2Jpg(SamplePath("front_2880p30.mp4").c_str(), jpeg.c_str()), kCaptureDone);
  ASSERT_EQ(LoadBgr(jpeg).cols, 2880);
  ASSERT_EQ(CaptureFrame2Jpg(SamplePath("front_1080p30_short.mp4").c_str(), jpeg.c_str()), kCaptureDone);
  // The smaller picture replaced the larger one entirely: no tail is left.
  EXPECT_EQ(std::filesystem::file_size(jpeg), std::filesystem::file_size(reference));
  EXPECT_EQ(LoadBgr(jpeg).cols, 1920);
}

TEST(FrameCaptureTest, SetUpFailuresHaveTheirCodeAndLeaveNoSnapshot) {
  const std::string text = ScratchPath("not_a_video.mp4");
  std::ofstream(text) << "plain text, no media here\n";
  const std::string audioOnly = calibtest::AudioOnlyRecording();
  ASSERT_FALSE(audioOnly.empty());
  struct Case {
    std::string media;
    int code;
    const char* trace;
  };
  const Case cases[] = {
      {ScratchPath("missing.mp4"), kCaptureOpenFailed, "DebugTrace: av open input file failed!\n"},
      {text, kCaptureOpenFailed, "DebugTrace: av open input file failed!\n"},
      {audioOnly, kCaptureNoVideoStream, "DebugTrace: find video stream failed!\n"},
  };
  const std::string jpeg = ScratchPath("failed.jpg");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.media);
    std::ofstream(jpeg) << "an old snapshot";
    testing::internal::CaptureStderr();
    EXPECT_EQ(CaptureFrame2Jpg(c.media.c_str(), jpeg.c_str()), c.code);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(c.trace), std::string::npos);
    EXPECT_FALSE(Exists(jpeg));
  }
}

TEST(FrameCaptureTest, MediaWithoutAPictureIsReadThroughAndLeavesNoSnapshot) {
  const std::string jpeg = ScratchPath("none.jpg");
  ASSERT_EQ(CaptureFrame2Jpg(SamplePath("front_1080p30_short.mp4").c_str(), jpeg.c_str()), kCaptureDone);
  ASSERT_TRUE(Exists(jpeg));
  EXPECT_EQ(CaptureFrame2Jpg(calibtest::UndecodableRecording().c_str(), jpeg.c_str()), kCaptureDone);
  EXPECT_FALSE(Exists(jpeg));
}

TEST(FrameCaptureTest, UnwritableSnapshotIsReportedOnce) {
  const std::string jpeg = ScratchPath("no/such/folder/onframe.jpg");
  testing::internal::CaptureStdout();
  EXPECT_EQ(CaptureFrame2Jpg(SamplePath("front_1080p30_short.mp4").c_str(), jpeg.c_str()), kCaptureDone);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_FALSE(Exists(jpeg));
  // Only the first picture is tried, not every picture of the recording.
  const std::string message = "Couldn't open output file.";
  ASSERT_NE(out.find(message), std::string::npos);
  EXPECT_EQ(out.find(message, out.find(message) + 1), std::string::npos) << out;
}

TEST(SnapshotPathTest, ProgramFolderWhenWritableElseUserCache) {
  const std::string folder = platform::ProgramFolder();
  EXPECT_EQ(SnapshotPath(), folder + "onframe.jpg");
  EXPECT_EQ(ModuleFilePath("1920.inf"), folder + "1920.inf");

  const std::string cache = ScratchPath("cache");
  ASSERT_EQ(setenv("XDG_CACHE_HOME", cache.c_str(), 1), 0);
  testing::internal::CaptureStderr();
  const std::string path = SnapshotPathIn("/proc/no-such-program-folder/");
  const std::string trace = testing::internal::GetCapturedStderr();
  unsetenv("XDG_CACHE_HOME");
  EXPECT_EQ(path, cache + "/kestrago/onframe.jpg");
  EXPECT_NE(trace.find(path), std::string::npos) << trace;
}

class CalibrateRecordingTest : public testing::Test {
 protected:
  void SetUp() override { std::remove(inf_.c_str()); }
  const std::string inf_ = ScratchPath("recording.inf");
};

TEST_F(CalibrateRecordingTest, WritesTheLensOfTheRecording) {
  struct Case {
    const char* sample;
    int width, height;
  };
  for (const Case& c : {Case{"front_1080p30_short.mp4", 1920, 1080}, Case{"front_2880p30.mp4", 2880, 2880}}) {
    SCOPED_TRACE(c.sample);
    std::remove(inf_.c_str());
    ASSERT_EQ(CaculateVideoBiaodingA(SamplePath(c.sample).c_str(), inf_.c_str()), 0);
    EXPECT_TRUE(Exists(SnapshotPath()));
    ASSERT_EQ(std::filesystem::file_size(inf_), size_t(kCalibrationFileSize));

    CalibrationValues values;
    std::string error;
    ASSERT_TRUE(ReadCalibrationValues(inf_, &values, &error)) << error;
    const samplegen::FisheyeLens lens = samplegen::StandardLens(c.width, c.height);
    const double longSide = std::max(c.width, c.height);
    EXPECT_EQ(values.width, c.width);
    EXPECT_EQ(values.height, c.height);
    EXPECT_NEAR(values.max_angle, 200 * 0.5 / 180 * 3.141592653589793, 1e-6);
    EXPECT_NEAR(values.centres[0][0], lens.cx(), 0.01 * longSide);
    EXPECT_NEAR(values.centres[0][1], lens.cy(), 0.01 * longSide);
    EXPECT_NEAR(kLensScale * values.k1 * values.max_angle, lens.radius(), 0.015 * lens.radius());
  }
}

TEST_F(CalibrateRecordingTest, NoDecodablePictureWritesNoFile) {
  // A snapshot of another recording is already in place and must not be
  // taken for this one's.
  ASSERT_EQ(CaptureFrame2Jpg(SamplePath("front_1080p30_short.mp4").c_str(), SnapshotPath().c_str()), kCaptureDone);
  EXPECT_NE(CaculateVideoBiaodingA(calibtest::UndecodableRecording().c_str(), inf_.c_str()), 0);
  EXPECT_FALSE(Exists(inf_));
  EXPECT_NE(CaculateVideoBiaodingA(ScratchPath("missing.mp4").c_str(), inf_.c_str()), 0);
  EXPECT_FALSE(Exists(inf_));
  EXPECT_NE(CaculateVideoBiaodingA(nullptr, inf_.c_str()), 0);
}

}  // namespace
