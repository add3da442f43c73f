// The generator's models: lens, scene, drive and the GPS byte layouts.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "samplegen/frame_renderer.h"
#include "samplegen/geometry.h"
#include "samplegen/gps_track.h"
#include "samplegen/recording.h"
#include "samplegen/scene.h"

using namespace samplegen;

namespace {

template <typename T>
T Read(const uint8_t* bytes) {
  T value;
  std::memcpy(&value, bytes, sizeof(T));
  return value;
}

TEST(SamplegenLensTest, PixelsAndDirectionsRoundTrip) {
  const FisheyeLens lens = StandardLens(1920, 1080);
  EXPECT_GT(lens.radius(), 540);  // a 16:9 frame cuts the circle
  EXPECT_LT(StandardLens(2880, 2880).radius(), 1440);  // a square frame holds all of it

  for (double px : {300.0, 960.0, 1500.5}) {
    for (double py : {100.0, 540.0, 1000.0}) {
      Vec3 d;
      if (!lens.DirectionAt(px, py, &d)) continue;
      double x, y;
      ASSERT_TRUE(lens.PixelOf(d, &x, &y));
      EXPECT_NEAR(x, px, 1e-9);
      EXPECT_NEAR(y, py, 1e-9);
    }
  }
  Vec3 outside;
  EXPECT_FALSE(lens.DirectionAt(10, 10, &outside));
}

TEST(SamplegenLensTest, CompassDirectionsLieWhereTheSceneSaysTheyDo) {
  const FisheyeLens lens(1000, 1000, 900, 200);
  const double horizon = 900 * 90.0 / 100.0;  // theta 90 of a 100 degree half field
  struct Case {
    double px, py, azimuth, elevation;
  } const cases[] = {
      {1000, 1000, -1, 90},            // centre: the zenith
      {1000, 1000 - horizon, 0, 0},    // top: north on the horizon
      {1000 - horizon, 1000, 90, 0},   // left: east
      {1000, 1000 + horizon, 180, 0},  // bottom: south
      {1000 + horizon, 1000, 270, 0},  // right: west
      {1000, 100, 0, -10},             // the rim sees 10 degrees below the horizon
  };
  for (const Case& c : cases) {
    Vec3 d;
    ASSERT_TRUE(lens.DirectionAt(c.px, c.py, &d));
    EXPECT_NEAR(ElevationOf(d), c.elevation, 1e-6);
    if (c.azimuth >= 0) {
      EXPECT_NEAR(AzimuthOf(d), c.azimuth, 1e-6);
    }
  }
}

TEST(SamplegenSceneTest, QuadrantsSkyGroundAndBallHaveTheirColours) {
  const Rgb north = StaticSceneColour(DirectionAt(10, 25));
  const Rgb east = StaticSceneColour(DirectionAt(100, 25));
  const Rgb sky = StaticSceneColour(DirectionAt(200, 60));
  const Rgb ground = StaticSceneColour(DirectionAt(300, -5));
  EXPECT_GT(north.r, north.g + 100);
  EXPECT_GT(east.g, east.r + 100);
  EXPECT_GT(sky.b, sky.r);
  EXPECT_GT(ground.r, ground.b);
  const Rgb ball = SceneColour(BallCentre(2.5), 2.5);
  EXPECT_EQ(ball.r + ball.g + ball.b, 3 * 245);
  // A quarter turn later the ball has moved on.
  EXPECT_NE(SceneColour(BallCentre(2.5), 5.0).r, 245);
}

TEST(SamplegenRendererTest, FrameCodeSurvivesTheRoundTrip) {
  const FisheyeLens lens = StandardLens(640, 360);
  const FrameRenderer renderer(lens, 640, 360);
  std::vector<uint8_t> y(640 * 360), u(320 * 180), v(320 * 180);
  for (int frame : {0, 1, 1234, 65535}) {
    renderer.Render(frame, frame / 30.0, {y.data(), 640}, {u.data(), 320}, {v.data(), 320});
    EXPECT_EQ(ReadFrameCode(y.data(), 640, 640, 360), frame);
  }
  std::fill(y.begin(), y.end(), 16);
  EXPECT_EQ(ReadFrameCode(y.data(), 640, 640, 360), -1);
}

// Pictures too small for the frame counter and the frame code (the
// generator takes sizes down to 16 x 16) get them cut at the border: not a
// byte is written outside the planes.
TEST(SamplegenRendererTest, SmallPicturesKeepTheMarkersInsideThePlanes) {
  constexpr size_t kGuard = 4096;
  constexpr uint8_t kGuardByte = 0xA5;
  struct Case {
    int width, height;
    int code;  // read back where the whole code fits, else -1
  };
  const Case cases[] = {{16, 16, -1}, {64, 64, -1}, {320, 16, 65535}, {16, 240, -1}};
  for (const auto& [width, height, code] : cases) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    const FisheyeLens lens = StandardLens(width, height);
    const FrameRenderer renderer(lens, width, height);
    const size_t lumaSize = size_t(width) * height, chromaSize = lumaSize / 4;
    // One block: guard, Y, guard, U, guard, V, guard.
    std::vector<uint8_t> block(lumaSize + 2 * chromaSize + 4 * kGuard, kGuardByte);
    uint8_t* y = &block[kGuard];
    uint8_t* u = y + lumaSize + kGuard;
    uint8_t* v = u + chromaSize + kGuard;
    renderer.Render(65535, 2.5, {y, width}, {u, width / 2}, {v, width / 2});
    const auto untouched = [&](const uint8_t* from, size_t size) {
      return std::all_of(from, from + size, [](uint8_t b) { return b == kGuardByte; });
    };
    EXPECT_TRUE(untouched(block.data(), kGuard));
    EXPECT_TRUE(untouched(y + lumaSize, kGuard));
    EXPECT_TRUE(untouched(u + chromaSize, kGuard));
    EXPECT_TRUE(untouched(v + chromaSize, kGuard));
    EXPECT_EQ(ReadFrameCode(y, width, width, height), code);
  }
}

TEST(SamplegenDriveTest, DriveCoversTheRangesCamerasRecord) {
  const std::vector<GpsFix> drive = MakeDrive(400);
  ASSERT_EQ(drive.size(), 400u);
  double maxSpeed = 0, minSpeed = 1e9;
  bool quadrants[4] = {};
  for (size_t t = 0; t < drive.size(); ++t) {
    const GpsFix& fix = drive[t];
    EXPECT_EQ(fix.valid, t < 5 || t > 7) << t;
    EXPECT_NE(fix.latitude, 0);
    EXPECT_NEAR(fix.latitude, kDriveLatitude, 0.01);
    EXPECT_NEAR(fix.longitude, kDriveLongitude, 0.01);
    maxSpeed = std::max(maxSpeed, fix.speed);
    minSpeed = std::min(minSpeed, fix.speed);
    quadrants[static_cast<int>(fix.heading / 90) % 4] = true;
  }
  EXPECT_EQ(minSpeed, 0);
  EXPECT_NEAR(maxSpeed * 3.6, 60, 1e-9);
  EXPECT_TRUE(quadrants[0] && quadrants[1] && quadrants[2] && quadrants[3]);
  EXPECT_EQ(drive[0].hour * 3600 + drive[0].minute * 60 + drive[0].second + 61,
            drive[61].hour * 3600 + drive[61].minute * 60 + drive[61].second);
}

TEST(SamplegenGpsLayoutTest, RecordBlockAndPacketHoldTheFieldsWhereReadersLook) {
  GpsFix fix;
  fix.year = 2024, fix.month = 6, fix.day = 15, fix.hour = 10, fix.minute = 30, fix.second = 7;
  fix.valid = true;
  fix.latitude = 5.50416666666, fix.longitude = 9.5, fix.speed = 10 * 1.852 / 3.6, fix.heading = 91.5;
  fix.gx = -12, fix.gy = 34, fix.gz = 1000;

  const auto record = EncodeGpsRecord(fix);
  EXPECT_EQ(Read<int32_t>(&record[8]), 7);
  EXPECT_EQ(record[12], 'A');
  EXPECT_EQ(Read<double>(&record[16]), fix.latitude);
  EXPECT_EQ(record[24], 'N');
  EXPECT_EQ(Read<double>(&record[32]), 9.5);
  EXPECT_EQ(record[40], 'E');
  EXPECT_EQ(Read<double>(&record[56]), 91.5);
  EXPECT_EQ(Read<int32_t>(&record[64]), 2024);
  EXPECT_EQ(Read<int32_t>(&record[76]), -12);
  EXPECT_EQ(Read<int32_t>(&record[84]), 1000);

  const auto block = EncodeFreeGpsBlock(fix);
  ASSERT_EQ(block.size(), 32768u);
  EXPECT_EQ(std::memcmp(&block[0], "\x00\x00\x80\x00" "freeGPS ", 12), 0);
  EXPECT_EQ(Read<uint32_t>(&block[12]), 76u);
  EXPECT_EQ(Read<int32_t>(&block[48]), 10);
  EXPECT_EQ(Read<int32_t>(&block[60]), 24);  // two-digit year
  EXPECT_EQ(std::memcmp(&block[72], "ANE", 3), 0);
  EXPECT_NEAR(Read<float>(&block[76]), 530.25f, 1e-3);
  EXPECT_NEAR(Read<float>(&block[80]), 930.0f, 1e-3);
  EXPECT_NEAR(Read<float>(&block[84]), 10.0f, 1e-5);  // knots

  const auto packet = EncodeTsGpsPacket(fix, 17, 90000);
  EXPECT_EQ(std::memcmp(&packet[0], "\x47\x43\x00", 3), 0);
  EXPECT_EQ(packet[3], 0x11);  // payload only, continuity counter mod 16
  EXPECT_EQ(std::memcmp(&packet[18], record.data(), record.size()), 0);
}

TEST(SamplegenPathTest, SidecarGoesToTheSiblingGFolder) {
  EXPECT_EQ(SidecarPathFor("/rec/DCIMA/20240615_103000.MP4"), "/rec/DCIMG/20240615_103000.gps");
  EXPECT_EQ(SidecarPathFor("/rec/MOVA/x.ts"), "/rec/MOVG/x.gps");
  EXPECT_EQ(SidecarPathFor("/rec/mova/x.ts"), "");
  EXPECT_EQ(SidecarPathFor("x.ts"), "");
}

}  // namespace
