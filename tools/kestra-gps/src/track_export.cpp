#include "track_export.h"

#include <cmath>

#include "gps/gps_presentation.h"

namespace kestragps {
namespace {

// A status or hemisphere byte as one CSV-safe character.
char CsvChar(char c) { return c > ' ' && c < 0x7F && c != ',' && c != '"' ? c : '?'; }

bool PlausibleTime(const gps::GpsRecord& r) {
  return r.month >= 1 && r.month <= 12 && r.day >= 1 && r.day <= 31 && r.hour >= 0 && r.hour <= 23 &&
         r.minute >= 0 && r.minute <= 59 && r.second >= 0 && r.second <= 60 && FullYear(r.year) >= 0 &&
         FullYear(r.year) <= 9999;
}

std::string XmlEscaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;  // not allowed in XML
    }
  }
  return out;
}

bool WriteTrackPoint(std::FILE* out, const gps::GpsRecord& r) {
  const double latitude = r.nsInd == 'S' ? -r.latitude : r.latitude;
  const double longitude = r.ewInd == 'W' ? -r.longitude : r.longitude;
  // GPX cannot hold positions off the globe; a corrupt record is left out.
  if (!(std::fabs(latitude) <= 90) || !(std::fabs(longitude) <= 180)) return true;
  bool ok = std::fprintf(out, "      <trkpt lat=\"%.9f\" lon=\"%.9f\">", latitude, longitude) > 0;
  if (PlausibleTime(r)) {
    ok = ok && std::fprintf(out, "<time>%04d-%02d-%02dT%02d:%02d:%02d</time>", FullYear(r.year), r.month, r.day,
                            r.hour, r.minute, r.second) > 0;
  }
  return ok && std::fputs("</trkpt>\n", out) >= 0;
}

}  // namespace

int FullYear(int year) { return year >= 0 && year < 100 ? 2000 + year : year; }

bool WriteCsv(std::FILE* out, std::span<const gps::GpsRecord> records) {
  bool ok = std::fputs("second,date,time,status,latitude,ns,longitude,ew,speed_mps,heading,gx,gy,gz\n", out) >= 0;
  for (size_t i = 0; i < records.size() && ok; ++i) {
    const gps::GpsRecord& r = records[i];
    ok = std::fprintf(out, "%zu,%04d-%02d-%02d,%02d:%02d:%02d,%c,%.9f,%c,%.9f,%c,%.4f,%.2f,%d,%d,%d\n", i,
                      FullYear(r.year), r.month, r.day, r.hour, r.minute, r.second, CsvChar(r.Status), r.latitude,
                      CsvChar(r.nsInd), r.longitude, CsvChar(r.ewInd), r.speed, r.heading, r.gx, r.gy, r.gz) > 0;
  }
  return ok;
}

bool WriteGpx(std::FILE* out, std::span<const gps::GpsRecord> records, const std::string& trackName) {
  bool ok = std::fprintf(out,
                         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<gpx version=\"1.1\" creator=\"kestra-gps\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
                         "  <trk>\n    <name>%s</name>\n    <trkseg>\n",
                         XmlEscaped(trackName).c_str()) > 0;
  for (size_t i = 0; i < records.size() && ok; ++i) {
    if (gps::IsMapFix(records[i].Status)) ok = WriteTrackPoint(out, records[i]);
  }
  return ok && std::fputs("    </trkseg>\n  </trk>\n</gpx>\n", out) >= 0;
}

}  // namespace kestragps
