// gps_bench: kestra-gps against exiftool -ee on the same recordings. Prints,
// per recording, the fixes each finds, whether the values agree, and the
// wall time of one run of each program (and of the reader in-process).
//
// usage: gps_bench [SAMPLES-FOLDER]   (default: the build's sample folder)
// The long recordings are generated into the bench folder on first use.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "gps/gps_reader.h"
#include "gps/gps_track.h"
#include "platform/paths.h"
#include "samplegen/recording.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Fix {
  double latitude = 0, longitude = 0, speed = 0;  // degrees, m/s
};
using FixesBySecondOfDay = std::map<int, Fix>;

// Runs a program without a shell, its standard output captured and its
// standard error dropped, so that both programs pay only their own start.
std::string Run(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int out[2];
  if (pipe(out) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  std::string output;
  char buffer[65536];
  for (ssize_t n; (n = read(out[0], buffer, sizeof(buffer))) > 0;) output.append(buffer, size_t(n));
  close(out[0]);
  if (spawned == 0) waitpid(pid, nullptr, 0);
  return output;
}

// Mean wall time of `runs` runs, in milliseconds; the last output in *output.
double TimeCommand(const std::vector<std::string>& arguments, int runs, std::string* output) {
  const auto start = Clock::now();
  for (int i = 0; i < runs; ++i) *output = Run(arguments);
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / runs;
}

FixesBySecondOfDay ParseOurs(const std::string& csv) {
  FixesBySecondOfDay fixes;
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);  // header
  while (std::getline(lines, line)) {
    int second, h, m, s;
    char date[16], status;
    Fix fix;
    if (std::sscanf(line.c_str(), "%d,%15[^,],%d:%d:%d,%c,%lf,%*c,%lf,%*c,%lf", &second, date, &h, &m, &s, &status,
                    &fix.latitude, &fix.longitude, &fix.speed) == 9 &&
        status == 'A') {
      fixes[h * 3600 + m * 60 + s] = fix;
    }
  }
  return fixes;
}

FixesBySecondOfDay ParseExiftool(const std::string& text) {
  FixesBySecondOfDay fixes;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    int y, mo, d, h, m, s;
    Fix fix;
    if (std::sscanf(line.c_str(), "%d:%d:%d %d:%d:%dZ,%lf,%lf,%lf", &y, &mo, &d, &h, &m, &s, &fix.latitude,
                    &fix.longitude, &fix.speed) == 9) {
      fix.speed /= 3.6;  // km/h
      fixes[h * 3600 + m * 60 + s] = fix;
    }
  }
  return fixes;
}

// Every fix exiftool found is ours to float32 precision.
bool SameValues(const FixesBySecondOfDay& ours, const FixesBySecondOfDay& theirs) {
  for (const auto& [second, fix] : theirs) {
    const auto found = ours.find(second);
    if (found == ours.end() || std::fabs(found->second.latitude - fix.latitude) > 1e-5 ||
        std::fabs(found->second.longitude - fix.longitude) > 1e-5 || std::fabs(found->second.speed - fix.speed) > 1e-4) {
      return false;
    }
  }
  return true;
}

double ReaderMicroseconds(const std::string& path) {
  constexpr int kRuns = 200;
  gps::GpsTrack track;
  const auto start = Clock::now();
  for (int i = 0; i < kRuns; ++i) track.LoadGpsTrack(path, gps::QuietTrace);
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kRuns;
}

// Ten-minute recordings with small pictures: long GPS tracks cost little to encode.
std::vector<std::string> LongRecordings() {
  const std::string folder = platform::JoinPath(platform::ProgramFolder(), "gps_bench_samples");
  std::vector<std::string> paths;
  for (const auto& [name, carrier] : {std::pair{"long_box.mp4", samplegen::GpsCarrier::kMp4Box},
                                      std::pair{"long_sbtl.mp4", samplegen::GpsCarrier::kSubtitleTrack},
                                      std::pair{"long.ts", samplegen::GpsCarrier::kTransportStream}}) {
    samplegen::RecordingSpec spec;
    spec.path = platform::JoinPath(folder, name);
    spec.width = 160, spec.height = 120, spec.fps = 2, spec.frames = 1200, spec.audio = false, spec.gps = carrier;
    std::string error;
    platform::MakeFolders(folder);
    if (!platform::FileExists(spec.path) && !samplegen::WriteRecording(spec, &error)) {
      std::fprintf(stderr, "gps_bench: %s\n", error.c_str());
      continue;
    }
    paths.push_back(spec.path);
  }
  return paths;
}

}  // namespace

int main(int argc, char** argv) {
  av_log_set_level(AV_LOG_ERROR);  // the encoder's reports while making the long recordings
  const std::string samples = argc > 1 ? argv[1] : KESTRA_SAMPLES_DIR;
  std::vector<std::string> paths;
  for (const char* name : {"front_1080p30.mp4", "front_1080p60_sbtl.mp4", "front_2880p30.mp4", "front_1080p30.ts",
                           "DCIMA/20240615_103000.MP4"}) {
    const std::string path = platform::JoinPath(samples, name);
    if (!platform::FileExists(path)) {
      std::fprintf(stderr, "gps_bench: %s is missing; make the samples first (ctest -R generate_samples)\n",
                   path.c_str());
      return 1;
    }
    paths.push_back(path);
  }
  for (const std::string& path : LongRecordings()) paths.push_back(path);

  std::string ignored;
  std::printf("starting a program that does nothing (true): %.2f ms\n", TimeCommand({"true"}, 20, &ignored));
  std::printf("%-28s %6s %6s %6s %12s %12s %9s %11s\n", "recording", "ours", "exif", "same", "kestra-gps", "exiftool",
              "speed-up", "reader");
  double oursTotal = 0, theirsTotal = 0;
  for (const std::string& path : paths) {
    std::string ours, theirs;
    const double oursMs = TimeCommand({KESTRA_GPS_TOOL, path}, 20, &ours);
    const double theirsMs = TimeCommand(
        {"exiftool", "-ee", "-n", "-p", "$GPSDateTime,$GPSLatitude,$GPSLongitude,$GPSSpeed", path}, 3, &theirs);
    const FixesBySecondOfDay ourFixes = ParseOurs(ours), theirFixes = ParseExiftool(theirs);
    oursTotal += oursMs, theirsTotal += theirsMs;
    std::printf("%-28s %6zu %6zu %6s %9.2f ms %9.1f ms %8.0fx %8.0f us\n", platform::FileNameOf(path).c_str(),
                ourFixes.size(), theirFixes.size(), SameValues(ourFixes, theirFixes) ? "yes" : "NO", oursMs, theirsMs,
                theirsMs / oursMs, ReaderMicroseconds(path));
  }
  std::printf("all recordings: kestra-gps %.1f ms, exiftool %.1f ms, %.0fx faster\n", oursTotal, theirsTotal,
              theirsTotal / oursTotal);
  std::printf("(\"same\": every fix exiftool finds is ours to float32 precision; exiftool reads only the 'gps ' box)\n");
  return 0;
}
