#pragma once
// Pictures and files the calibration tests share: fisheye frames rendered
// without codec loss, scratch files beside the test program, the sample
// recordings.

#include <string>

#include <opencv2/core.hpp>

#include "samplegen/geometry.h"

namespace calibtest {

// One frame of the synthetic scene through `lens`, as 8-bit BGR.
cv::Mat RenderFrame(const samplegen::Projection& lens, int width, int height);

// A file in this test program's scratch folder (created on first use).
std::string ScratchPath(const std::string& name);
// A recording of the generated sample set.
std::string SamplePath(const std::string& name);

// A copy of a sample whose media data are all zero bytes: it opens and has
// a video stream, but no packet decodes to a picture.
std::string UndecodableRecording();
// The sound of a sample without its pictures (made with the ffmpeg CLI);
// empty when that failed.
std::string AudioOnlyRecording();

// Runs a shell command with FFmpeg's CLI and friends; true on exit status 0.
bool Run(const std::string& command);

}  // namespace calibtest
