#include "samplegen/sample_set.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <set>

#include "calib/calibration_file.h"
#include "platform/paths.h"
#include "samplegen/geometry.h"

namespace samplegen {
namespace {

constexpr const char* kManifestName = "samples.txt";

RecordingSpec Spec(int width, int height, int fps, double seconds, bool audio, GpsCarrier gps) {
  RecordingSpec spec;
  spec.width = width, spec.height = height, spec.fps = fps;
  spec.frames = static_cast<int>(seconds * fps);
  spec.audio = audio, spec.gps = gps;
  return spec;
}

std::string LensFileName(int width, int height) {
  return "lens_" + std::to_string(width) + "x" + std::to_string(height) + ".inf";
}

int64_t ModifiedTime(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec : -1;
}

std::vector<std::string> ManifestNames(const std::vector<SampleEntry>& entries) {
  std::vector<std::string> names;
  std::set<std::pair<int, int>> sizes;
  for (const SampleEntry& entry : entries) {
    names.push_back(entry.name);
    if (entry.spec.gps == GpsCarrier::kSidecar) {
      const std::string sidecar = SidecarPathFor("/" + entry.name);
      names.push_back(sidecar.substr(1));
    }
    if (!entry.spec.rearCamera && sizes.insert({entry.spec.width, entry.spec.height}).second) {
      names.push_back(LensFileName(entry.spec.width, entry.spec.height));
    }
  }
  return names;
}

bool IsFresh(const std::string& folder, const std::vector<std::string>& names) {
  const std::string manifest = platform::JoinPath(folder, kManifestName);
  if (ModifiedTime(manifest) < ModifiedTime(platform::ProgramFilePath())) return false;
  for (const std::string& name : names) {
    if (!platform::FileExists(platform::JoinPath(folder, name))) return false;
  }
  return true;
}

}  // namespace

std::vector<SampleEntry> SampleSet(const std::string& setName) {
  double seconds = 0;
  if (setName == "test") seconds = 8;
  if (setName == "demo") seconds = 10;
  if (seconds == 0) return {};
  const double squareSeconds = setName == "test" ? 3 : seconds;  // the big pictures are slow to encode

  std::vector<SampleEntry> set = {
      {"front_1080p30.mp4", Spec(1920, 1080, 30, seconds, true, GpsCarrier::kMp4Box)},
      {"front_1080p60_sbtl.mp4", Spec(1920, 1080, 60, seconds, true, GpsCarrier::kSubtitleTrack)},
      {"front_2880p30.mp4", Spec(2880, 2880, 30, squareSeconds, true, GpsCarrier::kMp4Box)},
      {"front_1080p30.ts", Spec(1920, 1080, 30, seconds, true, GpsCarrier::kTransportStream)},
      {"front_1080p30_silent.mp4", Spec(1920, 1080, 30, seconds, false, GpsCarrier::kMp4Box)},
      {"front_1080p30_short.mp4", Spec(1920, 1080, 30, 2, true, GpsCarrier::kMp4Box)},
      {"DCIMA/20240615_103000.MP4", Spec(1920, 1080, 30, seconds, true, GpsCarrier::kSidecar)},
      {"20240615_103000_B.mp4", Spec(1920, 1080, 30, seconds, true, GpsCarrier::kMp4Box)},
  };
  set.back().spec.rearCamera = true;
  return set;
}

bool WriteLensCalibration(const std::string& path, int width, int height) {
  const FisheyeLens lens = StandardLens(width, height);
  return calib::WriteCalibrationFile(path, lens.fovDegrees(), lens.cx(), lens.cy(), lens.radius(), width, height) == 0;
}

bool WriteSampleSet(const std::string& setName, const std::string& folder, bool onlyIfStale, std::string* error) {
  std::vector<SampleEntry> entries = SampleSet(setName);
  if (entries.empty()) return *error = "unknown sample set '" + setName + "' (use test or demo)", false;
  const std::vector<std::string> names = ManifestNames(entries);
  if (onlyIfStale && IsFresh(folder, names)) return true;

  std::set<std::pair<int, int>> sizes;
  for (SampleEntry& entry : entries) {
    entry.spec.path = platform::JoinPath(folder, entry.name);
    platform::MakeFolders(platform::FolderOf(entry.spec.path));
    std::fprintf(stderr, "samplegen: writing %s\n", entry.spec.path.c_str());
    if (!WriteRecording(entry.spec, error)) return false;
    if (!entry.spec.rearCamera && sizes.insert({entry.spec.width, entry.spec.height}).second) {
      const std::string inf = platform::JoinPath(folder, LensFileName(entry.spec.width, entry.spec.height));
      if (!WriteLensCalibration(inf, entry.spec.width, entry.spec.height)) return *error = "cannot write " + inf, false;
    }
  }
  std::ofstream manifest(platform::JoinPath(folder, kManifestName));
  for (const std::string& name : names) manifest << name << '\n';
  return manifest.good() || (*error = "cannot write the manifest", false);
}

}  // namespace samplegen
