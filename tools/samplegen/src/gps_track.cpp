#include "samplegen/gps_track.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace samplegen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMetresPerDegree = 111320.0;
constexpr double kCruise = 60 / 3.6;      // m/s
constexpr double kCornerSpeed = 15 / 3.6;  // m/s
constexpr double kMaxAcceleration = 2.5;   // m/s^2
constexpr double kMaxBraking = 3.5;        // m/s^2
constexpr int kLightStopSeconds = 4;
constexpr int kStartWaitSeconds = 2;  // the drive starts at a red light
constexpr int kNoFixFirst = 5, kNoFixLast = 7;

struct Point {
  double x, y;  // metres east and north of the base
};

// The loop, counter-clockwise round three blocks, back to its start.
constexpr Point kRoute[] = {{0, 0}, {420, 0}, {420, 260}, {180, 260}, {180, 520}, {-60, 520}, {-60, 0}, {0, 0}};
constexpr int kRoutePoints = sizeof(kRoute) / sizeof(kRoute[0]);

struct RouteCursor {
  int segment = 0;
  double along = 0;  // metres into the segment
};

double SegmentLength(int s) {
  const Point a = kRoute[s], b = kRoute[s + 1];
  return std::hypot(b.x - a.x, b.y - a.y);
}

double SegmentHeading(int s) {
  const Point a = kRoute[s], b = kRoute[s + 1];
  double heading = std::atan2(b.x - a.x, b.y - a.y) * 180 / kPi;
  return heading < 0 ? heading + 360 : heading;
}

Point PositionOf(const RouteCursor& c) {
  const Point a = kRoute[c.segment], b = kRoute[c.segment + 1];
  const double t = c.along / SegmentLength(c.segment);
  return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

// Moves along the loop; true when the loop was completed, in which case the
// car waits at the light where the loop starts.
bool Advance(RouteCursor& c, double metres) {
  c.along += metres;
  while (c.along >= SegmentLength(c.segment)) {
    c.along -= SegmentLength(c.segment);
    c.segment = (c.segment + 1) % (kRoutePoints - 1);
    if (c.segment == 0) {
      c.along = 0;
      return true;
    }
  }
  return false;
}

// Fastest speed that still allows braking to the corner speed in time.
double SpeedLimitAhead(const RouteCursor& c) {
  const double toCorner = SegmentLength(c.segment) - c.along;
  return std::min(kCruise, std::sqrt(kCornerSpeed * kCornerSpeed + 2 * kMaxBraking * toCorner));
}

void PutI32(uint8_t* out, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(u >> (8 * i));
}

void PutBytes(uint8_t* out, const void* value, size_t size) {
  // The records are little-endian, like the machines that read them.
  std::memcpy(out, value, size);
}

void PutF64(uint8_t* out, double v) { PutBytes(out, &v, 8); }
void PutF32(uint8_t* out, float v) { PutBytes(out, &v, 4); }

}  // namespace

std::vector<GpsFix> MakeDrive(int seconds) {
  std::vector<GpsFix> fixes;
  RouteCursor cursor;
  double speed = 0;
  int waitAtLight = kStartWaitSeconds;
  Point lastFixPosition = PositionOf(cursor);
  const int startOfDay = 10 * 3600 + 30 * 60;
  for (int t = 0; t < seconds; ++t) {
    GpsFix fix;
    fix.year = 2024, fix.month = 6, fix.day = 15;
    const int clock = startOfDay + t;
    fix.hour = clock / 3600, fix.minute = clock / 60 % 60, fix.second = clock % 60;

    const double previous = speed;
    const double headingBefore = SegmentHeading(cursor.segment);
    if (waitAtLight > 0) {
      speed = 0, --waitAtLight;
    } else {
      speed = std::min(speed + kMaxAcceleration, SpeedLimitAhead(cursor));
      speed = std::max(speed, previous - kMaxBraking);
      if (Advance(cursor, speed)) waitAtLight = kLightStopSeconds;
    }
    const Point position = PositionOf(cursor);

    fix.valid = t < kNoFixFirst || t > kNoFixLast;
    if (fix.valid) lastFixPosition = position;  // without a fix the camera repeats the last position
    fix.latitude = kDriveLatitude + lastFixPosition.y / kMetresPerDegree;
    fix.longitude = kDriveLongitude + lastFixPosition.x / (kMetresPerDegree * std::cos(kDriveLatitude * kPi / 180));
    fix.speed = speed;
    fix.heading = SegmentHeading(cursor.segment);

    // Longitudinal and lateral acceleration in milli-g, plus road bumps.
    double turn = fix.heading - headingBefore;
    if (turn > 180) turn -= 360;
    if (turn < -180) turn += 360;
    fix.gx = static_cast<int>(std::lround((speed - previous) / 9.81 * 1000));
    fix.gy = static_cast<int>(std::lround(speed * (turn * kPi / 180) / 9.81 * 1000));
    fix.gz = 1000 + (t % 11 == 8 ? 420 : 0) - (t % 11 == 9 ? 260 : 0);
    fixes.push_back(fix);
  }
  return fixes;
}

std::array<uint8_t, kGpsRecordSize> EncodeGpsRecord(const GpsFix& fix) {
  std::array<uint8_t, kGpsRecordSize> r{};
  PutI32(&r[0], fix.hour);
  PutI32(&r[4], fix.minute);
  PutI32(&r[8], fix.second);
  r[12] = fix.valid ? 'A' : 'V';
  PutF64(&r[16], fix.latitude);
  r[24] = 'N';
  PutF64(&r[32], fix.longitude);
  r[40] = 'E';
  PutF64(&r[48], fix.speed);
  PutF64(&r[56], fix.heading);
  PutI32(&r[64], fix.year);
  PutI32(&r[68], fix.month);
  PutI32(&r[72], fix.day);
  PutI32(&r[76], fix.gx);
  PutI32(&r[80], fix.gy);
  PutI32(&r[84], fix.gz);
  return r;
}

float PackDegreesMinutes(double degrees) {
  const double whole = std::floor(degrees);
  return static_cast<float>(whole * 100 + (degrees - whole) * 60);
}

std::vector<uint8_t> EncodeFreeGpsBlock(const GpsFix& fix) {
  constexpr uint32_t kPayloadLength = 76;
  std::vector<uint8_t> b(kFreeGpsBlockSize, 0);
  b[0] = kFreeGpsBlockSize >> 24, b[1] = (kFreeGpsBlockSize >> 16) & 0xFF;  // big-endian box size
  b[2] = (kFreeGpsBlockSize >> 8) & 0xFF, b[3] = kFreeGpsBlockSize & 0xFF;
  std::memcpy(&b[4], "freeGPS ", 8);
  PutI32(&b[12], kPayloadLength);
  PutI32(&b[48], fix.hour);
  PutI32(&b[52], fix.minute);
  PutI32(&b[56], fix.second);
  PutI32(&b[60], fix.year % 100);
  PutI32(&b[64], fix.month);
  PutI32(&b[68], fix.day);
  b[72] = fix.valid ? 'A' : 'V';
  b[73] = 'N';
  b[74] = 'E';
  PutF32(&b[76], PackDegreesMinutes(fix.latitude));
  PutF32(&b[80], PackDegreesMinutes(fix.longitude));
  PutF32(&b[84], static_cast<float>(fix.speed * 3.6 / 1.852));  // knots
  PutF32(&b[88], static_cast<float>(fix.heading));              // track, after the fields readers need
  return b;
}

std::array<uint8_t, kTsPacketSize> EncodeTsGpsPacket(const GpsFix& fix, int continuityCounter, int64_t pts90k) {
  std::array<uint8_t, kTsPacketSize> p;
  p.fill(0xFF);
  p[0] = 0x47;
  p[1] = 0x40 | (kGpsPid >> 8);  // payload unit start, PID high bits
  p[2] = kGpsPid & 0xFF;
  p[3] = 0x10 | (continuityCounter & 0x0F);  // payload only
  // PES header of a private stream with a PTS: 14 bytes, then the record.
  const uint8_t pes[] = {0x00, 0x00, 0x01, 0xBD, 0x00, 3 + 5 + kGpsRecordSize, 0x80, 0x80, 0x05};
  std::memcpy(&p[4], pes, sizeof(pes));
  const uint64_t pts = static_cast<uint64_t>(pts90k) & ((uint64_t(1) << 33) - 1);
  p[13] = static_cast<uint8_t>(0x21 | ((pts >> 29) & 0x0E));
  p[14] = static_cast<uint8_t>(pts >> 22);
  p[15] = static_cast<uint8_t>(0x01 | ((pts >> 14) & 0xFE));
  p[16] = static_cast<uint8_t>(pts >> 7);
  p[17] = static_cast<uint8_t>(0x01 | ((pts << 1) & 0xFE));
  const auto record = EncodeGpsRecord(fix);
  std::memcpy(&p[18], record.data(), record.size());
  return p;
}

}  // namespace samplegen
