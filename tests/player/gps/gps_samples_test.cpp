// The generated recordings, one per GPS carrier: the reader gives back the
// drive that was written, agrees with exiftool where exiftool reads the
// carrier, and survives every truncation of the files.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "gps/gps_reader.h"
#include "gps/gps_track.h"
#include "gps_fixtures.h"
#include "samplegen/gps_track.h"

using namespace gpsfixture;
using gps::GpsRecord;
using samplegen::GpsFix;

namespace {

enum class Carrier { kBox, kSubtitle, kTransportStream, kSidecar };

struct Sample {
  const char* name;
  Carrier carrier;
  int seconds;
};

const Sample kSamples[] = {
    {"front_1080p30.mp4", Carrier::kBox, 8},
    {"front_1080p60_sbtl.mp4", Carrier::kSubtitle, 8},
    {"front_2880p30.mp4", Carrier::kBox, 3},
    {"front_1080p30.ts", Carrier::kTransportStream, 8},
    {"front_1080p30_silent.mp4", Carrier::kBox, 8},
    {"front_1080p30_short.mp4", Carrier::kBox, 2},
    {"DCIMA/20240615_103000.MP4", Carrier::kSidecar, 8},
    {"20240615_103000_B.mp4", Carrier::kBox, 8},
};

// The 'gps ' blocks carry float32 ddmm.mmmm positions and knots, and
// neither heading nor G-sensor values; the other carriers hold the records
// as written.
void ExpectRecordMatchesFix(const GpsRecord& r, const GpsFix& fix, Carrier carrier) {
  const bool box = carrier == Carrier::kBox;
  EXPECT_EQ(r.year, box ? fix.year % 100 : fix.year);
  EXPECT_EQ(r.month * 100 + r.day, fix.month * 100 + fix.day);
  EXPECT_EQ(r.hour * 3600 + r.minute * 60 + r.second, fix.hour * 3600 + fix.minute * 60 + fix.second);
  EXPECT_EQ(r.Status, fix.valid ? 'A' : 'V');
  EXPECT_EQ(r.nsInd, 'N');
  EXPECT_EQ(r.ewInd, 'E');
  // float32 ddmm.mmmm, unpacked and rounded to float32 again: about 1e-5 degrees.
  EXPECT_NEAR(r.latitude, fix.latitude, box ? 2e-5 : 1e-12);
  EXPECT_NEAR(r.longitude, fix.longitude, box ? 2e-5 : 1e-12);
  EXPECT_NEAR(r.speed, fix.speed, box ? 1e-5 : 1e-12);
  EXPECT_EQ(r.heading, box ? 0 : fix.heading);
  EXPECT_EQ(r.gx, box ? 0 : fix.gx);
  EXPECT_EQ(r.gz, box ? 0 : fix.gz);
}

TEST(GpsSamplesTest, EveryCarrierGivesBackTheDrive) {
  for (const Sample& sample : kSamples) {
    SCOPED_TRACE(sample.name);
    gps::GpsTrack track;
    ASSERT_EQ(track.LoadGpsTrack(SamplePath(sample.name), gps::QuietTrace), 1);
    const std::vector<GpsFix> drive = samplegen::MakeDrive(sample.seconds);
    ASSERT_EQ(track.count(), drive.size());
    EXPECT_TRUE(track.hasFix());
    for (size_t i = 0; i < drive.size(); ++i) {
      SCOPED_TRACE(i);
      ExpectRecordMatchesFix(track.data()[i], drive[i], sample.carrier);
    }
  }
}

// exiftool reads the camera's 'gps ' blocks (not the other carriers). Where
// it finds fixes, they are ours: same time, position and speed.
TEST(GpsSamplesTest, ExiftoolFindsTheSameFixes) {
  if (RunCommand("command -v exiftool").output.empty()) GTEST_SKIP() << "exiftool is not installed";
  for (const Sample& sample : kSamples) {
    SCOPED_TRACE(sample.name);
    gps::GpsTrack track;
    track.LoadGpsTrack(SamplePath(sample.name), gps::QuietTrace);
    std::map<int, const GpsRecord*> bySecondOfDay;
    for (const GpsRecord& r : track.records()) {
      if (r.Status == 'A') bySecondOfDay[r.hour * 3600 + r.minute * 60 + r.second] = &r;
    }
    std::istringstream lines(RunCommand("exiftool -ee -n -p '$GPSDateTime,$GPSLatitude,$GPSLongitude,$GPSSpeed' '" +
                                        SamplePath(sample.name) + "' 2>/dev/null").output);
    size_t rows = 0;
    for (std::string line; std::getline(lines, line); ++rows) {
      int year, month, day, hour, minute, second;
      double latitude, longitude, kmh;
      ASSERT_EQ(std::sscanf(line.c_str(), "%d:%d:%d %d:%d:%dZ,%lf,%lf,%lf", &year, &month, &day, &hour, &minute,
                            &second, &latitude, &longitude, &kmh), 9) << line;
      const auto found = bySecondOfDay.find(hour * 3600 + minute * 60 + second);
      ASSERT_NE(found, bySecondOfDay.end()) << line;
      const GpsRecord& r = *found->second;
      EXPECT_EQ(year % 100, r.year % 100) << line;
      EXPECT_EQ(month * 100 + day, r.month * 100 + r.day) << line;
      // exiftool keeps the unpacked value in double; we round it to float32
      // as the camera's readers do (one float32 step at 114 degrees is 7.6e-6).
      EXPECT_NEAR(latitude, r.latitude, 1e-5) << line;
      EXPECT_NEAR(longitude, r.longitude, 1e-5) << line;
      EXPECT_NEAR(kmh / 3.6, r.speed, 1e-5) << line;
    }
    if (sample.carrier == Carrier::kBox) {
      EXPECT_EQ(rows, bySecondOfDay.size());
    }
  }
}

std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A recording cut anywhere (a camera losing power) reads cleanly and never
// yields more than the whole file. The cuts are dense near the end, where
// 'moov' and the GPS blocks are.
TEST(GpsSamplesTest, TruncatedRecordingsEndCleanly) {
  for (const char* name : {"front_1080p30_short.mp4", "front_1080p60_sbtl.mp4", "front_1080p30.ts"}) {
    SCOPED_TRACE(name);
    const std::string bytes = ReadBytes(SamplePath(name));
    ASSERT_FALSE(bytes.empty());
    const bool ts = gps::IsTransportStreamPath(name);
    auto read = [&](size_t size) {
      const gps::MemorySource source({reinterpret_cast<const uint8_t*>(bytes.data()), size});
      return ts ? gps::ScanTransportStream(source, gps::QuietTrace) : gps::ReadMp4Records(source, gps::QuietTrace);
    };
    const size_t whole = read(bytes.size()).size();
    ASSERT_GT(whole, 0u);
    std::vector<size_t> cuts;
    for (size_t i = 0; i < 200; ++i) cuts.push_back(bytes.size() * i / 200);
    for (size_t back = 1; back < 4096 && back < bytes.size(); back += 7) cuts.push_back(bytes.size() - back);
    for (size_t cut : cuts) EXPECT_LE(read(cut).size(), whole) << cut;
  }
}

}  // namespace
