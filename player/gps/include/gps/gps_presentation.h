#pragma once
// What the main window shows of a GPS track: the speed label, the compass
// picture and the date label of the current second, and the track text the
// map page receives with its start call. Pure functions; the window and the
// web view only apply their results.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "gps/gps_record.h"

namespace gps {

// Map pages by map type (the "map" key of "rerederiv.cfg").
constexpr int kMapTypeBd09 = 0;      // China, positions in BD-09
constexpr int kMapTypeWgs84 = 1;     // positions unchanged
constexpr int kMapTypeOffset = 2;    // China, positions shifted by a fixed offset

// "%.0fkm/h" of the speed in km/h; a speed that is not above 0 shows 0.
std::string SpeedText(double metresPerSecond);
// Compass frame of a heading: (h + 180) mod 360 with h the whole degrees,
// at least 1. The picture of frame N points its needle N + 180 degrees
// from north, so the needle follows the heading.
int CompassFrame(double heading);
// "mag%04d.png"
std::string CompassPictureName(int frame);
// Year, month, day joined by '-', then " \n\n ", then hour, minute, second
// joined by ':', all without leading zeros.
std::string DateTimeText(const GpsRecord& record);
// A fix the map draws: Status 'A' or 'a'.
bool IsMapFix(char status);

// What one timer tick shows of the record of the current second.
struct GpsTickView {
  std::optional<std::string> speedText;  // only for Status 'A'; otherwise the label keeps its text
  std::string compassPicture;
  std::string timeText;
  bool hideMarker = false;  // Status 'V': the map hides its marker after placing it
};
GpsTickView ViewOfRecord(const GpsRecord& record);

// The track as the map page's start call takes it, with the chart samples
// built in the same pass.
struct MapTrack {
  std::string points;  // "%.15f,%.15f;" (longitude first) per fix, "V,V;" per second without one
  int mapType = 0;     // the map type after the pass: a type other than 0 and 1 becomes 2
  std::vector<GSensorSample> gsensor;  // gx, gy, gz of every record, in order
};

// Builds the track text: positions further than 0.1 degree from the median
// of the valid fixes are moved onto the median (a receiver's bad fix must
// not throw the map across the world), and positions inside China are
// converted for the map type. Empty for a track of fewer than 2 records.
std::optional<MapTrack> BuildMapTrack(std::span<const GpsRecord> records, int mapType);

// The map page's script calls.
std::string StartScript(const std::string& points);  // start("points")
std::string SetStartPosScript(int second);           // setstartpos(%d)
std::string SetPosScript(int second);                // setpos(%d)

}  // namespace gps
