#pragma once
// Coordinate systems of the map pages. Map services inside China expect
// positions in GCJ-02 (a published obfuscation of WGS-84) or in BD-09 (a
// further offset of GCJ-02); the formulas are those published for the two
// systems, all angles in degrees.

namespace gps {

struct LatLon {
  double latitude = 0;   // degrees
  double longitude = 0;  // degrees
};

// The rectangle inside which the China offsets apply (edges included):
// longitude 73.004 to 135, latitude 4.8293 to 53.8271.
bool InChinaBox(LatLon point);

LatLon Wgs84ToGcj02(LatLon point);
LatLon Gcj02ToBd09(LatLon point);

// The fixed offset of the third map page: +0.004967451 degrees of
// longitude, -0.002986815 of latitude.
LatLon ShiftForOffsetMap(LatLon point);

}  // namespace gps
