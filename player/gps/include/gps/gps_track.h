#pragma once
// The GPS track of one recording: record i belongs to second i. The
// playback controller holds one and replaces it on every load; only the
// user-interface thread touches it (load before playback, reads on timer
// ticks), so it has no lock.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gps/gps_reader.h"
#include "gps/gps_record.h"
#include "platform/trace.h"

namespace gps {

// GetGpsRecord's answer for a second past the last record.
constexpr int kGpsRecordOutOfRange = 618;

class GpsTrack {
 public:
  // Frees the old records, reads the recording's (a ".ts" path is read as a
  // transport stream) and sets hasFix. Returns ReadGpsFile's result.
  int LoadGpsTrack(const std::string& path, GpsTraceFunction trace = platform::DebugTrace);

  // Copies record `second` into *out and returns 0, or returns
  // kGpsRecordOutOfRange and leaves *out untouched.
  int GetGpsRecord(uint32_t second, GpsRecord* out) const;

  const GpsRecord* data() const { return records_.data(); }
  uint32_t count() const { return static_cast<uint32_t>(records_.size()); }
  std::span<const GpsRecord> records() const { return records_; }
  // At least one record has Status 'A' (upper case only).
  bool hasFix() const { return hasFix_; }

  // Empties the track: no records, no fix.
  void Clear();
  // Replaces the records; the fix flag is only set by LoadGpsTrack.
  void SetRecords(std::vector<GpsRecord> records) { records_ = std::move(records); }

 private:
  std::vector<GpsRecord> records_;
  bool hasFix_ = false;
};

// True when some record's Status is an upper-case 'A'.
bool HasValidFix(std::span<const GpsRecord> records);

}  // namespace gps
