#include "gps/gps_presentation.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "gps/coordinate_transform.h"

namespace gps {
namespace {

constexpr double kOutlierDegrees = 0.1;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char small[96];
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(small, sizeof(small), format, args);
  va_end(args);
  if (length < 0) return {};
  if (static_cast<size_t>(length) < sizeof(small)) return std::string(small, static_cast<size_t>(length));
  // Only absurd coordinates (1e300 degrees from a corrupt file) get here.
  std::string text(static_cast<size_t>(length), '\0');
  va_start(args, format);
  std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  return text;
}

// Orders numbers with every NaN last, so that sorting a corrupt track stays
// well-defined.
bool LessNanLast(double a, double b) { return std::isnan(b) ? !std::isnan(a) : a < b; }

double MedianOf(std::vector<double> values) {
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end(), LessNanLast);
  return *middle;
}

// A coordinate further than 0.1 degree from the median (or not a number)
// becomes the median.
double PullToMedian(double value, double median) {
  return std::fabs(value - median) <= kOutlierDegrees ? value : median;
}

LatLon ForMap(LatLon point, int* mapType) {
  if (!InChinaBox(point) || *mapType == kMapTypeWgs84) return point;
  if (*mapType == kMapTypeBd09) return Gcj02ToBd09(Wgs84ToGcj02(point));
  *mapType = kMapTypeOffset;
  return ShiftForOffsetMap(point);
}

}  // namespace

std::string SpeedText(double metresPerSecond) {
  const double speed = metresPerSecond > 0 ? metresPerSecond : 0;
  return Format("%.0fkm/h", speed * 3.6);
}

int CompassFrame(double heading) {
  // Whole degrees in floating point, so that a corrupt heading cannot
  // overflow an integer conversion; NaN and infinity count as below 1.
  double whole = std::trunc(heading);
  if (!(whole >= 1) || std::isinf(whole)) whole = 1;
  return static_cast<int>(std::fmod(whole + 180, 360));
}

std::string CompassPictureName(int frame) { return Format("mag%04d.png", frame); }

std::string DateTimeText(const GpsRecord& r) {
  return Format("%d-%d-%d \n\n %d:%d:%d", r.year, r.month, r.day, r.hour, r.minute, r.second);
}

bool IsMapFix(char status) { return status == 'A' || status == 'a'; }

GpsTickView ViewOfRecord(const GpsRecord& record) {
  GpsTickView view;
  if (record.Status == 'A') view.speedText = SpeedText(record.speed);
  view.compassPicture = CompassPictureName(CompassFrame(record.heading));
  view.timeText = DateTimeText(record);
  view.hideMarker = record.Status == 'V';
  return view;
}

std::optional<MapTrack> BuildMapTrack(std::span<const GpsRecord> records, int mapType) {
  if (records.size() < 2) return std::nullopt;
  std::vector<double> latitudes, longitudes;
  for (const GpsRecord& r : records) {
    if (!IsMapFix(r.Status)) continue;
    latitudes.push_back(r.latitude);
    longitudes.push_back(r.longitude);
  }
  const bool haveMedian = !latitudes.empty();
  const double medianLatitude = haveMedian ? MedianOf(std::move(latitudes)) : 0;
  const double medianLongitude = haveMedian ? MedianOf(std::move(longitudes)) : 0;

  MapTrack track;
  track.mapType = mapType;
  track.gsensor.reserve(records.size());
  for (const GpsRecord& r : records) {
    LatLon point{r.latitude, r.longitude};
    if (haveMedian) point = {PullToMedian(point.latitude, medianLatitude), PullToMedian(point.longitude, medianLongitude)};
    point = ForMap(point, &track.mapType);
    track.points += IsMapFix(r.Status) ? Format("%.15f,%.15f;", point.longitude, point.latitude) : "V,V;";
    track.gsensor.push_back({r.gx, r.gy, r.gz});
  }
  return track;
}

std::string StartScript(const std::string& points) { return "start(\"" + points + "\")"; }
std::string SetStartPosScript(int second) { return Format("setstartpos(%d)", second); }
std::string SetPosScript(int second) { return Format("setpos(%d)", second); }

}  // namespace gps
