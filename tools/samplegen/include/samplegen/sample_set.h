#pragma once
// The standard sets of sample recordings for tests, benchmarks and the demo.

#include <string>
#include <vector>

#include "samplegen/recording.h"

namespace samplegen {

struct SampleEntry {
  std::string name;  // path relative to the set's folder
  RecordingSpec spec;
};

// "test": short recordings that tests play to the end quickly;
// "demo": the same recordings, ten seconds long.
// Empty for an unknown set name.
std::vector<SampleEntry> SampleSet(const std::string& setName);

// Calibration file of the standard lens for a frame size.
bool WriteLensCalibration(const std::string& path, int width, int height);

// Writes the set into `folder` with a calibration file per frame size and a
// manifest; with `onlyIfStale` nothing is written when the manifest is newer
// than the generator and names every file.
bool WriteSampleSet(const std::string& setName, const std::string& folder, bool onlyIfStale, std::string* error);

}  // namespace samplegen
