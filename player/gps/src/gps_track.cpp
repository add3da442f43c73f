#include "gps/gps_track.h"

#include <algorithm>

namespace gps {

int GpsTrack::LoadGpsTrack(const std::string& path, GpsTraceFunction trace) {
  Clear();
  const int result = ReadGpsFile(path, *this, IsTransportStreamPath(path), trace);
  hasFix_ = HasValidFix(records_);
  return result;
}

int GpsTrack::GetGpsRecord(uint32_t second, GpsRecord* out) const {
  if (second >= count()) return kGpsRecordOutOfRange;
  *out = records_[second];
  return 0;
}

void GpsTrack::Clear() {
  records_ = {};  // frees the array, not just empties it
  hasFix_ = false;
}

bool HasValidFix(std::span<const GpsRecord> records) {
  return std::any_of(records.begin(), records.end(), [](const GpsRecord& r) { return r.Status == 'A'; });
}

}  // namespace gps
