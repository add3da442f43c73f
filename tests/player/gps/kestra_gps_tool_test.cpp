// kestra-gps, run as a user runs it: CSV on standard output, GPX that a GPX
// tool reads, and clear exit codes.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

#include "gps_fixtures.h"
#include "samplegen/gps_track.h"

using namespace gpsfixture;

namespace {

std::string Tool() { return std::string("'") + KESTRA_GPS_TOOL + "'"; }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(KestraGpsToolTest, CsvHasOneRowPerSecond) {
  const CommandResult run = RunCommand(Tool() + " '" + SamplePath("front_1080p30.ts") + "'");
  ASSERT_EQ(run.code, 0) << run.output;
  const std::vector<std::string> lines = Lines(run.output);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "second,date,time,status,latitude,ns,longitude,ew,speed_mps,heading,gx,gy,gz");
  const samplegen::GpsFix fix = samplegen::MakeDrive(8)[3];
  char expected[256];
  std::snprintf(expected, sizeof(expected), "3,2024-06-15,10:30:03,A,%.9f,N,%.9f,E,%.4f,%.2f,%d,%d,%d", fix.latitude,
                fix.longitude, fix.speed, fix.heading, fix.gx, fix.gy, fix.gz);
  EXPECT_EQ(lines[4], expected);
  EXPECT_EQ(lines[6].substr(0, 23), "5,2024-06-15,10:30:05,V");
}

// gpsbabel's CSV: "latitude, longitude, name" per point.
TEST(KestraGpsToolTest, GpxIsReadByAGpxTool) {
  if (RunCommand("command -v gpsbabel").output.empty()) GTEST_SKIP() << "gpsbabel is not installed";
  TempFolder folder("kestra_gps_gpx");
  const std::string gpx = folder.File("out.gpx");
  for (const char* sample : {"front_1080p30.mp4", "DCIMA/20240615_103000.MP4"}) {
    SCOPED_TRACE(sample);
    ASSERT_EQ(RunCommand(Tool() + " --gpx '" + gpx + "' '" + SamplePath(sample) + "'").code, 0);
    const CommandResult babel = RunCommand("gpsbabel -i gpx -f '" + gpx + "' -o csv -F - 2>&1");
    ASSERT_EQ(babel.code, 0) << babel.output;
    std::vector<samplegen::GpsFix> fixes;
    for (const samplegen::GpsFix& fix : samplegen::MakeDrive(8)) {
      if (fix.valid) fixes.push_back(fix);
    }
    const std::vector<std::string> lines = Lines(babel.output);
    ASSERT_EQ(lines.size(), fixes.size()) << babel.output;
    for (size_t i = 0; i < lines.size(); ++i) {
      double latitude = 0, longitude = 0;
      ASSERT_EQ(std::sscanf(lines[i].c_str(), "%lf, %lf", &latitude, &longitude), 2) << lines[i];
      EXPECT_NEAR(latitude, fixes[i].latitude, 2e-5) << lines[i];
      EXPECT_NEAR(longitude, fixes[i].longitude, 2e-5) << lines[i];
    }
  }
}

TEST(KestraGpsToolTest, GpxCarriesHemispheresAndTimes) {
  TempFolder folder("kestra_gps_hemi");
  gps::GpsRecord south = Record(9, 'A', 33.5, 70.25);
  south.nsInd = 'S', south.ewInd = 'W';
  const gps::GpsRecord noFix = Record(10, 'V');
  WriteFile(folder.File("CARA/a&b.mp4"), "");
  WriteFile(folder.File("CARG/a&b.gps"),
                        RecordBytes(south) + RecordBytes(noFix));
  const CommandResult run = RunCommand(Tool() + " --gpx '" + folder.File("CARA/a&b.mp4") + "'");
  ASSERT_EQ(run.code, 0);
  EXPECT_NE(run.output.find("<name>a&amp;b.mp4</name>"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("<trkpt lat=\"-33.500000000\" lon=\"-70.250000000\"><time>2024-06-15T10:30:09</time>"),
            std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("<trkpt", run.output.find("<trkpt") + 1), std::string::npos) << "only the fix";
}

TEST(KestraGpsToolTest, ExitCodes) {
  TempFolder folder("kestra_gps_codes");
  WriteFile(folder.File("empty.mp4"), "");
  const std::pair<std::string, int> cases[] = {
      {"--help", 0},
      {"'" + folder.File("empty.mp4") + "'", 0},  // opens, holds nothing: a header only
      {"'" + folder.File("missing.mp4") + "'", 1},
      {"--gpx '" + folder.File("no/such/folder/out.gpx") + "' '" + SamplePath("front_1080p30.ts") + "'", 1},
      {"", 2},
      {"--bogus x.mp4", 2},
      {"a.mp4 b.mp4", 2},
  };
  for (const auto& [arguments, code] : cases) {
    EXPECT_EQ(RunCommand(Tool() + " " + arguments + " 2>/dev/null").code, code) << arguments;
  }
}

}  // namespace
