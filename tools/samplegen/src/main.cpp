// kestra-samplegen: writes synthetic dash-camera recordings.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" {
#include <libavutil/log.h>
}

#include "samplegen/recording.h"
#include "samplegen/sample_set.h"

namespace {

constexpr const char* kUsage =
    "usage: kestra-samplegen [options] OUTPUT\n"
    "       kestra-samplegen --set test|demo [--if-stale] FOLDER\n"
    "       kestra-samplegen --lens WxH OUTPUT.inf\n"
    "\n"
    "Writes a synthetic recording: a 200-degree fisheye view of a test scene\n"
    "(or a rear-camera view), a tone that changes every second, and one GPS\n"
    "record per second. The container follows OUTPUT's extension: .mp4, .ts\n"
    "or .m3u8 (HLS).\n"
    "\n"
    "  --size WxH        picture size (default 1920x1080)\n"
    "  --fps N           frame rate (default 30)\n"
    "  --seconds S       length in seconds (default 10)\n"
    "  --frames N        length in frames (instead of --seconds)\n"
    "  --no-audio        leave out the sound\n"
    "  --rear            an ordinary rear-camera picture instead of the fisheye\n"
    "  --gps CARRIER     none, sidecar, ts, box or sbtl (default: ts for .ts,\n"
    "                    box for .mp4, none otherwise)\n"
    "  --inf PATH        also write the calibration file of the lens\n"
    "  --set NAME        write a standard set (test or demo) into FOLDER\n"
    "  --if-stale        with --set: only when the folder is older than this program\n"
    "  --lens WxH        write the calibration file of the standard lens for WxH\n";

bool ParseSize(const char* text, int* width, int* height) {
  return std::sscanf(text, "%dx%d", width, height) == 2 && *width > 0 && *height > 0;
}

bool ParseCarrier(const std::string& name, samplegen::GpsCarrier* carrier) {
  using samplegen::GpsCarrier;
  if (name == "none") *carrier = GpsCarrier::kNone;
  else if (name == "sidecar") *carrier = GpsCarrier::kSidecar;
  else if (name == "ts") *carrier = GpsCarrier::kTransportStream;
  else if (name == "box") *carrier = GpsCarrier::kMp4Box;
  else if (name == "sbtl") *carrier = GpsCarrier::kSubtitleTrack;
  else return false;
  return true;
}

samplegen::GpsCarrier DefaultCarrier(const std::string& path) {
  const auto endsWith = [&](const char* ext) {
    const size_t n = std::strlen(ext);
    return path.size() >= n && strcasecmp(path.c_str() + path.size() - n, ext) == 0;
  };
  if (endsWith(".ts")) return samplegen::GpsCarrier::kTransportStream;
  if (endsWith(".mp4")) return samplegen::GpsCarrier::kMp4Box;
  return samplegen::GpsCarrier::kNone;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "kestra-samplegen: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  av_log_set_level(AV_LOG_ERROR);
  samplegen::RecordingSpec spec;
  double seconds = 10;
  int frames = -1;
  bool carrierGiven = false, ifStale = false;
  std::string setName, infPath, lensSize, output;

  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--size" && hasValue) {
      if (!ParseSize(argv[++i], &spec.width, &spec.height)) return Fail("bad --size");
    } else if (arg == "--fps" && hasValue) {
      spec.fps = std::atoi(argv[++i]);
    } else if (arg == "--seconds" && hasValue) {
      seconds = std::atof(argv[++i]);
    } else if (arg == "--frames" && hasValue) {
      frames = std::atoi(argv[++i]);
    } else if (arg == "--no-audio") {
      spec.audio = false;
    } else if (arg == "--rear") {
      spec.rearCamera = true;
    } else if (arg == "--gps" && hasValue) {
      if (!ParseCarrier(argv[++i], &spec.gps)) return Fail("bad --gps");
      carrierGiven = true;
    } else if (arg == "--inf" && hasValue) {
      infPath = argv[++i];
    } else if (arg == "--set" && hasValue) {
      setName = argv[++i];
    } else if (arg == "--if-stale") {
      ifStale = true;
    } else if (arg == "--lens" && hasValue) {
      lensSize = argv[++i];
    } else if (!arg.empty() && arg[0] != '-' && output.empty()) {
      output = arg;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (output.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  std::string error;
  if (!setName.empty()) {
    return samplegen::WriteSampleSet(setName, output, ifStale, &error) ? 0 : Fail(error);
  }
  if (!lensSize.empty()) {
    int width = 0, height = 0;
    if (!ParseSize(lensSize.c_str(), &width, &height)) return Fail("bad --lens");
    return samplegen::WriteLensCalibration(output, width, height) ? 0 : Fail("cannot write " + output);
  }

  if (spec.fps <= 0 || spec.fps > 240) return Fail("bad --fps");
  spec.frames = frames > 0 ? frames : static_cast<int>(seconds * spec.fps);
  if (spec.frames <= 0) return Fail("the recording needs at least one frame");
  spec.path = output;
  if (!carrierGiven) spec.gps = DefaultCarrier(output);
  if (!samplegen::WriteRecording(spec, &error)) return Fail(error);
  if (!infPath.empty() && !samplegen::WriteLensCalibration(infPath, spec.width, spec.height)) {
    return Fail("cannot write " + infPath);
  }
  return 0;
}
