#pragma once
// A synthetic drive, one fix per second, and the byte layouts cameras use to
// store it: the 120-byte GPS record (sidecar files, transport-stream packets,
// subtitle samples) and the 32,768-byte "freeGPS " block that an MP4 'gps '
// box points at.

#include <array>
#include <cstdint>
#include <vector>

namespace samplegen {

struct GpsFix {
  int year = 0, month = 0, day = 0;  // four-digit year
  int hour = 0, minute = 0, second = 0;
  bool valid = false;                 // false: the receiver had no fix
  double latitude = 0, longitude = 0;  // degrees, not negative; hemisphere N/E
  double speed = 0;                    // metres per second
  double heading = 0;                  // degrees clockwise from north
  int gx = 0, gy = 0, gz = 0;          // raw G-sensor reading, milli-g
};

// Base of the drive: a loop round a few city blocks.
constexpr double kDriveLatitude = 22.5431;
constexpr double kDriveLongitude = 113.9520;

// One fix per second: speed between 0 and 60 km/h, headings all round the
// loop, a stop at a light, G-sensor bumps, and no fix in seconds 5 to 7.
std::vector<GpsFix> MakeDrive(int seconds);

constexpr int kGpsRecordSize = 120;
constexpr int kFreeGpsBlockSize = 32768;
constexpr int kTsPacketSize = 188;
constexpr uint16_t kGpsPid = 0x300;

std::array<uint8_t, kGpsRecordSize> EncodeGpsRecord(const GpsFix& fix);
// "freeGPS " block: payload length 76, two-digit year, ddmm.mmmm positions
// and speed in knots as float32.
std::vector<uint8_t> EncodeFreeGpsBlock(const GpsFix& fix);
// Degrees as the camera packs them: degrees * 100 + minutes.
float PackDegreesMinutes(double degrees);
// A transport-stream packet of PID 0x300 with the record at bytes 18..137.
std::array<uint8_t, kTsPacketSize> EncodeTsGpsPacket(const GpsFix& fix, int continuityCounter, int64_t pts90k);

}  // namespace samplegen
