#include "calib/picture_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "test_pictures.h"

using namespace calib;
using calibtest::ScratchPath;

namespace {

constexpr int kPatch = 32;  // pixels per colour patch, two JPEG blocks of chroma
const cv::Scalar kPatchColours[] = {
    {0, 0, 0},       {255, 255, 255}, {0, 0, 255},    {0, 255, 0},    {255, 0, 0},     {0, 255, 255},
    {255, 0, 255},   {255, 255, 0},   {40, 90, 200},  {200, 60, 30},  {128, 128, 128}, {16, 16, 16},
    {235, 235, 235}, {70, 180, 120},  {20, 40, 160},  {160, 200, 240},
};  // BGR

// A 4 x 4 grid of flat colour patches.
cv::Mat PatchPicture() {
  cv::Mat bgr(4 * kPatch, 4 * kPatch, CV_8UC3);
  for (int i = 0; i < 16; ++i) bgr(cv::Rect((i % 4) * kPatch, (i / 4) * kPatch, kPatch, kPatch)).setTo(kPatchColours[i]);
  return bgr;
}

// The middle of each patch, away from where chroma is interpolated.
cv::Rect PatchMiddle(int i) { return {(i % 4) * kPatch + 8, (i / 4) * kPatch + 8, kPatch - 16, kPatch - 16}; }

cv::Mat Load(const std::string& path, std::string* error = nullptr) {
  int width = -1, height = -1;
  std::vector<uint8_t> bgr = LoadPictureFile(error, path, &width, &height);
  if (bgr.empty()) return {};
  EXPECT_EQ(bgr.size(), size_t(width) * height * 3);
  return cv::Mat(height, width, CV_8UC3, bgr.data()).clone();
}

TEST(PictureFileTest, FullRangeJpegAndPngWithAlphaGiveTheSameColours) {
  // The JPEG comes from FFmpeg's encoder in full-range 4:2:0. The PNG holds
  // the same picture as an independent decoder (libjpeg) sees it, with an
  // alpha channel that differs in every patch, so that dropping alpha
  // cannot be confused with blending it.
  const std::string source = ScratchPath("patches_source.png");
  const std::string jpeg = ScratchPath("patches.jpg");
  const std::string png = ScratchPath("patches_alpha.png");
  ASSERT_TRUE(cv::imwrite(source, PatchPicture()));
  ASSERT_TRUE(calibtest::Run("ffmpeg -nostdin -hide_banner -loglevel error -y -i '" + source +
                             "' -pix_fmt yuvj420p -q:v 1 '" + jpeg + "'"));
  const cv::Mat reference = cv::imread(jpeg, cv::IMREAD_COLOR);
  ASSERT_FALSE(reference.empty());
  cv::Mat withAlpha;
  cv::cvtColor(reference, withAlpha, cv::COLOR_BGR2BGRA);
  for (int i = 0; i < 16; ++i) {
    cv::Mat patch = withAlpha(cv::Rect((i % 4) * kPatch, (i / 4) * kPatch, kPatch, kPatch));
    cv::Mat alpha(patch.size(), CV_8UC1, cv::Scalar(255 - 16 * i));
    cv::mixChannels(&alpha, 1, &patch, 1, std::vector<int>{0, 3}.data(), 1);
  }
  ASSERT_TRUE(cv::imwrite(png, withAlpha));

  const cv::Mat fromPng = Load(png);
  const cv::Mat fromJpeg = Load(jpeg);
  ASSERT_EQ(fromPng.size(), reference.size());
  ASSERT_EQ(fromJpeg.size(), reference.size());
  EXPECT_EQ(cv::norm(fromPng, reference, cv::NORM_INF), 0) << "alpha must be dropped, not blended";
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE(i);
    EXPECT_LE(cv::norm(fromJpeg(PatchMiddle(i)), fromPng(PatchMiddle(i)), cv::NORM_INF), 2);
    // And the JPEG still is the picture it was made from.
    EXPECT_LE(cv::norm(fromPng(PatchMiddle(i)), PatchPicture()(PatchMiddle(i)), cv::NORM_INF), 4);
  }
}

TEST(PictureFileTest, OddSizedPictureKeepsItsRowsPacked) {
  cv::Mat picture(7, 5, CV_8UC3);
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 5; ++x) picture.at<cv::Vec3b>(y, x) = cv::Vec3b(uint8_t(x * 50), uint8_t(y * 30), 77);
  }
  const std::string png = ScratchPath("odd.png");
  ASSERT_TRUE(cv::imwrite(png, picture));
  const cv::Mat loaded = Load(png);
  ASSERT_EQ(loaded.size(), picture.size());
  EXPECT_EQ(cv::norm(loaded, picture, cv::NORM_INF), 0);
}

TEST(PictureFileTest, FailuresNameTheirStep) {
  const std::string text = ScratchPath("text.png");
  std::ofstream(text) << "not a picture at all";
  struct Case {
    std::string path;
    std::string message;
  };
  const Case cases[] = {
      {ScratchPath("missing.png"), "error: couldn't open input picture file, code: -2;\n"},
      {text, "error: fail to fill image arrays for picture decoding;\n"},  // no size to be found
      {calibtest::AudioOnlyRecording(), "error: can not find a video stream for picture;\n"},
      {calibtest::UndecodableRecording(), "error: decode picture error;\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string error;
    testing::internal::CaptureStdout();
    const cv::Mat picture = Load(c.path, &error);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(picture.empty());
    EXPECT_EQ(error, c.message);
    EXPECT_EQ(out, c.message);
  }
  // Without an error text the message still reaches standard output.
  testing::internal::CaptureStdout();
  int width = 0, height = 0;
  EXPECT_TRUE(LoadPictureFile(nullptr, text, &width, &height).empty());
  EXPECT_FALSE(testing::internal::GetCapturedStdout().empty());
}

}  // namespace
