#pragma once
// The camera's record of one second of GPS and G-sensor data. Sidecar files,
// transport-stream GPS packets and subtitle chunks hold exactly these 120
// bytes, little-endian, so a record is read by copying the bytes into the
// struct; the static_asserts below pin the layout to the file format.

#include <bit>
#include <cstddef>
#include <cstdint>

namespace gps {

constexpr size_t kGpsRecordSize = 120;

struct GpsRecord {
  int32_t hour;    // local time of the fix as the camera wrote it
  int32_t minute;
  int32_t second;
  char Status;     // 'A' valid fix, 'V' no fix ('a' is taken as valid by the map)
  uint8_t reserved0[3];
  double latitude;  // degrees, not negative; the hemisphere is in nsInd
  char nsInd;       // 'N' or 'S'
  uint8_t reserved1[7];
  double longitude;  // degrees, not negative; the hemisphere is in ewInd
  char ewInd;        // 'E' or 'W'
  uint8_t reserved2[7];
  double speed;    // metres per second
  double heading;  // degrees clockwise from north
  int32_t year;    // as the camera wrote it (the 'gps ' blocks carry two digits)
  int32_t month;
  int32_t day;
  int32_t gx;  // raw G-sensor reading, three axes
  int32_t gy;
  int32_t gz;
  uint8_t reserved3[32];
};

static_assert(std::endian::native == std::endian::little, "records are stored little-endian");
static_assert(sizeof(GpsRecord) == kGpsRecordSize);
static_assert(offsetof(GpsRecord, Status) == 12 && offsetof(GpsRecord, latitude) == 16);
static_assert(offsetof(GpsRecord, nsInd) == 24 && offsetof(GpsRecord, longitude) == 32);
static_assert(offsetof(GpsRecord, ewInd) == 40 && offsetof(GpsRecord, speed) == 48);
static_assert(offsetof(GpsRecord, heading) == 56 && offsetof(GpsRecord, year) == 64);
static_assert(offsetof(GpsRecord, gx) == 76 && offsetof(GpsRecord, gz) == 84);
static_assert(offsetof(GpsRecord, reserved3) == 88);

// The G-sensor reading of one record, as the chart takes it.
struct GSensorSample {
  int32_t x = 0, y = 0, z = 0;
};

}  // namespace gps
