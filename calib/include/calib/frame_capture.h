#pragma once
// The first picture of a recording as a JPEG snapshot, and calibration of a
// recording's lens from that snapshot. Shared by the engine (preparing a
// calibration file for a recording that has none) and the calibration tool.

#include <string>
#include <string_view>

struct AVFrame;

namespace calib {

// The snapshot's file name.
constexpr const char* kSnapshotFileName = "onframe.jpg";
// Field of view, in degrees, of the lens a recording is calibrated for.
constexpr double kRecordingLensFov = 200.0;

// Result codes of CaptureFrame2Jpg; callers only test for zero.
enum CaptureCode {
  kCaptureDone = 0,  // the media was read, whether or not a picture was stored
  kCaptureOpenFailed = 1,
  kCaptureStreamInfoFailed = 2,
  kCaptureNoVideoStream = 3,
  kCaptureNoDecoder = 4,
  kCaptureDecoderOpenFailed = 5,
  kCaptureFrameAllocFailed = 6,
  kCaptureBufferFailed = 7,
};

// Result codes of SaveFrameAsJpeg.
enum JpegCode {
  kJpegSaved = 0,
  kJpegNoOutputContext = 1,
  kJpegOpenFailed = 2,
  kJpegNoStream = 3,
  kJpegNoEncoder = 4,
  kJpegEncoderOpenFailed = 5,
  kJpegHeaderFailed = 6,
  kJpegEncodeFailed = 7,
};

// Path of `fileName` in the folder of the running program.
std::string ModuleFilePath(std::string_view fileName);

// Where the snapshot goes: "onframe.jpg" in `programFolder` (ending in '/')
// when that folder is writable, as in a build tree; otherwise (an installed,
// read-only copy) in the user's cache folder, which the debug trace names.
std::string SnapshotPathIn(const std::string& programFolder);
// SnapshotPathIn(the running program's folder).
std::string SnapshotPath();

// Writes one picture as a baseline JPEG with FFmpeg's MJPEG encoder (4:2:0
// full range, time base 1/25). `picture` is a YUVJ420P frame of
// width x height. 0 on success; failures print the reason on standard output.
int SaveFrameAsJpeg(const AVFrame* picture, int width, int height, const char* jpegPath);

// Decodes the media's first video stream until the decoder yields its first
// picture (draining the decoder at the end of the input, so decoder delay
// never hides it) and stores that picture at `jpegPath`, converted to
// full-range 4:2:0 whatever the stream's own pixel format. A snapshot left
// at `jpegPath` by an earlier capture is removed first, so that a media
// without a decodable picture never leaves someone else's frame behind.
// kCaptureDone once the media was read through; the other codes when a
// set-up step fails, with the reason in the debug trace.
int CaptureFrame2Jpg(const char* mediaPath, const char* jpegPath);

// Calibrates the lens of a recording from its first picture: captures it to
// the snapshot (SnapshotPath()), finds the lens circle and writes the
// calibration file for a 200 degree lens at `calibrationPath`. 0 when a
// calibration file was written; otherwise the capture's code, or the
// detection's 398 (no circle, nothing written) or 414 (write failed).
int CaculateVideoBiaodingA(const char* mediaPath, const char* calibrationPath);

}  // namespace calib
