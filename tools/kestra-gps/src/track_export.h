#pragma once
// The two outputs of kestra-gps: every record as a CSV row, or the fixes as
// a GPX 1.1 track.

#include <cstdio>
#include <span>
#include <string>

#include "gps/gps_record.h"

namespace kestragps {

// The camera's 'gps ' blocks carry two-digit years; 24 stands for 2024.
int FullYear(int year);

// Header line, then one row per record in track order. Latitude and
// longitude are printed as stored (not negative), with their hemisphere
// letters beside them.
bool WriteCsv(std::FILE* out, std::span<const gps::GpsRecord> records);

// A GPX 1.1 document with one track of the records that hold a fix, signed
// by hemisphere. The camera's clock has no time zone, so times carry none.
bool WriteGpx(std::FILE* out, std::span<const gps::GpsRecord> records, const std::string& trackName);

}  // namespace kestragps
