// kestra-gps: a recording's GPS track as CSV or GPX, read exactly as the
// player reads it (sidecar, transport-stream packets, 'gps ' index or
// subtitle track).

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gps/gps_track.h"
#include "platform/paths.h"
#include "platform/trace.h"
#include "track_export.h"

namespace {

constexpr const char* kUsage =
    "usage: kestra-gps [--trace] FILE\n"
    "       kestra-gps [--trace] --gpx [OUT] FILE\n"
    "\n"
    "Reads the GPS records of a dash-camera recording (MP4 or MPEG-TS, or the\n"
    "\".gps\" sidecar file in the sibling folder ending in 'G') the way the\n"
    "player does, one record per second.\n"
    "\n"
    "  (default)    print every record as CSV on standard output\n"
    "  --gpx [OUT]  write the records with a fix as a GPX 1.1 track to OUT\n"
    "               (standard output when OUT is left out or is -)\n"
    "  --trace      show the reader's diagnostic lines on standard error\n"
    "  --help       show this text\n";

struct Options {
  std::string recording;
  bool gpx = false;
  std::string gpxOut = "-";
  bool trace = false;
};

int Usage(std::FILE* out, int code) {
  std::fputs(kUsage, out);
  return code;
}

// Returns -1 when the program should go on, else its exit code.
int ParseOptions(int argc, char** argv, Options* options) {
  std::vector<std::string> positional;
  int gpxAt = -1;  // index in `positional` that follows --gpx
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") return Usage(stdout, 0);
    if (arg == "--trace") {
      options->trace = true;
    } else if (arg == "--gpx") {
      options->gpx = true;
      gpxAt = static_cast<int>(positional.size());
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "kestra-gps: unknown option %s\n", arg.c_str());
      return Usage(stderr, 2);
    } else {
      positional.push_back(arg);
    }
  }
  // With two names, the one right after --gpx is the output.
  if (positional.size() == 2 && options->gpx && gpxAt == 0) {
    options->gpxOut = positional[0];
    positional.erase(positional.begin());
  }
  if (positional.size() != 1) return Usage(stderr, 2);
  options->recording = positional[0];
  return -1;
}

int WriteOutput(const Options& options, const gps::GpsTrack& track) {
  const bool toStdout = !options.gpx || options.gpxOut == "-";
  std::FILE* out = toStdout ? stdout : std::fopen(options.gpxOut.c_str(), "w");
  if (!out) {
    std::fprintf(stderr, "kestra-gps: cannot write %s: %s\n", options.gpxOut.c_str(), std::strerror(errno));
    return 1;
  }
  bool ok = options.gpx ? kestragps::WriteGpx(out, track.records(), platform::FileNameOf(options.recording))
                        : kestragps::WriteCsv(out, track.records());
  ok = (toStdout ? std::fflush(out) == 0 : std::fclose(out) == 0) && ok;
  if (!ok) {
    std::fprintf(stderr, "kestra-gps: writing %s failed\n", toStdout ? "standard output" : options.gpxOut.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const int code = ParseOptions(argc, argv, &options); code >= 0) return code;

  gps::GpsTrack track;
  if (track.LoadGpsTrack(options.recording, options.trace ? platform::DebugTrace : gps::QuietTrace) == 0) {
    std::fprintf(stderr, "kestra-gps: cannot open %s\n", options.recording.c_str());
    return 1;
  }
  if (track.count() == 0) std::fprintf(stderr, "kestra-gps: %s holds no GPS records\n", options.recording.c_str());
  return WriteOutput(options, track);
}
