#include "gps/gps_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gps/gps_track.h"
#include "gps/mp4_box_reader.h"

namespace gps {
namespace {

// Transport streams are read this many packets at a time (about 94 KiB).
constexpr size_t kTsPacketsPerRead = 512;
// Where a GPS packet keeps its record.
constexpr size_t kTsRecordOffset = 18;

int32_t LittleEndian32(const uint8_t* p) {
  int32_t value;
  std::memcpy(&value, p, sizeof(value));  // records and blocks are little-endian, like this machine
  return value;
}

float LittleEndianFloat(const uint8_t* p) {
  float value;
  std::memcpy(&value, p, sizeof(value));
  return value;
}

GpsRecord RecordFromBytes(const uint8_t* bytes) {
  GpsRecord record;
  std::memcpy(&record, bytes, sizeof(record));
  return record;
}

bool IsGpsPacket(const uint8_t* packet) { return packet[0] == 0x47 && packet[1] == 0x43 && packet[2] == 0x00; }

// ddmm.mmmm (or dddmm.mmmm) to degrees, in extended precision, rounded to
// float as the camera's own readers do. The whole degrees are the integer
// part divided by 100; it is taken with trunc so that a value no integer
// can hold gives a meaningless number, not undefined behaviour.
float UnpackDegreesMinutes(float packed) {
  const long double v = packed;
  const long double degrees = std::trunc(std::trunc(v) / 100);
  return static_cast<float>(degrees + (v / 100 - degrees) * 100 / 60);
}

// One record per chunk of the first subtitle track; an unreadable chunk
// leaves its record zero.
std::vector<GpsRecord> ReadSubtitleRecords(const ByteSource& source, const Mp4GpsLayout& layout) {
  const auto track = std::find_if(layout.tracks.begin(), layout.tracks.end(),
                                  [](const Mp4TrackInfo& t) { return t.handlerType == "sbtl"; });
  if (track == layout.tracks.end()) return {};
  std::vector<GpsRecord> records(track->chunkCount(), GpsRecord{});
  uint8_t bytes[kGpsRecordSize];
  for (size_t i = 0; i < records.size(); ++i) {
    if (source.ReadExact(track->chunkOffsets[i], bytes, sizeof(bytes))) records[i] = RecordFromBytes(bytes);
  }
  return records;
}

}  // namespace

void QuietTrace(const char*, ...) {}

std::string MakeSidecarPath(std::string_view recordingPath) {
  const size_t slash = recordingPath.rfind('/');
  if (slash == std::string_view::npos || slash == 0 || recordingPath[slash - 1] != 'A') return {};
  std::string sidecar(recordingPath);
  sidecar[slash - 1] = 'G';
  const size_t dot = sidecar.rfind('.');
  if (dot != std::string::npos && dot > slash) sidecar.resize(dot);
  return sidecar + ".gps";
}

bool IsTransportStreamPath(std::string_view path) {
  if (path.size() < 3) return false;
  const std::string_view tail = path.substr(path.size() - 3);
  return tail[0] == '.' && (tail[1] | 0x20) == 't' && (tail[2] | 0x20) == 's';
}

std::vector<GpsRecord> ReadSidecarRecords(const ByteSource& source) {
  const uint64_t count = std::min<uint64_t>(source.Size() / kGpsRecordSize, kMaxGpsRecords);
  std::vector<GpsRecord> records(static_cast<size_t>(count));
  const size_t got = source.ReadAt(0, records.data(), records.size() * kGpsRecordSize);
  records.resize(got / kGpsRecordSize);  // the file may have shrunk since it was opened
  return records;
}

std::vector<GpsRecord> ScanTransportStream(const ByteSource& source, GpsTraceFunction trace) {
  std::vector<GpsRecord> records;
  // Whole packets, and no bigger than the stream needs.
  const uint64_t packets = std::min<uint64_t>(kTsPacketsPerRead, (source.Size() + kTsPacketSize - 1) / kTsPacketSize);
  std::vector<uint8_t> buffer(static_cast<size_t>(packets) * kTsPacketSize);
  bool found = false;
  uint32_t packet = 0;
  for (uint64_t offset = 0; offset < source.Size() && records.size() < kMaxGpsRecords;) {
    const size_t got = source.ReadAt(offset, buffer.data(), buffer.size());
    if (got == 0) break;
    for (size_t at = 0; at < got; at += kTsPacketSize, ++packet) {
      if (!found && packet >= kTsPacketsToFindGps) return records;
      // A packet cut short by the end of the file counts only while it still
      // holds the whole record.
      if (got - at < kTsRecordOffset + kGpsRecordSize || !IsGpsPacket(&buffer[at])) continue;
      records.push_back(RecordFromBytes(&buffer[at + kTsRecordOffset]));
      trace("nIndex = %u\n", packet);
      found = true;
      if (records.size() == kMaxGpsRecords) break;
    }
    if (got < buffer.size()) break;  // the end of the file, or a read error
    offset += got;
  }
  return records;
}

GpsRecord ConvertGpsBlock(const uint8_t fields[kGpsBlockFieldsSize], uint32_t index, GpsTraceFunction trace) {
  // `fields` starts at block byte 44; the offsets below are the block's own.
  const auto at = [fields](size_t blockOffset) { return fields + (blockOffset - kGpsBlockFieldsOffset); };
  GpsRecord record{};
  record.hour = LittleEndian32(at(48));
  record.minute = LittleEndian32(at(52));
  record.second = LittleEndian32(at(56));
  record.year = LittleEndian32(at(60));
  record.month = LittleEndian32(at(64));
  record.day = LittleEndian32(at(68));
  const char status = static_cast<char>(*at(72)), ns = static_cast<char>(*at(73)), ew = static_cast<char>(*at(74));
  record.Status = status == 'A' ? 'A' : 'V';
  record.nsInd = ns == 'N' ? 'N' : 'S';
  record.ewInd = ew == 'E' ? 'E' : 'W';
  const float packedLatitude = LittleEndianFloat(at(76)), packedLongitude = LittleEndianFloat(at(80));
  const float knots = LittleEndianFloat(at(84));
  const float dwLon = UnpackDegreesMinutes(packedLongitude), dwLat = UnpackDegreesMinutes(packedLatitude);
  record.latitude = dwLat;
  record.longitude = dwLon;
  const double kmh = knots * 1.852;
  record.speed = kmh / 3.6;

  trace("index=%u", index);
  trace("%d-%d-%d %d:%d:%d", record.year, record.month, record.day, record.hour, record.minute, record.second);
  trace("status=%d", status);
  trace("nsInd=%d", ns);
  trace("ewInd=%d", ew);
  trace("lat=%f", packedLatitude);
  trace("lon=%f", packedLongitude);
  trace("-------------dwLon=%f", dwLon);
  trace("------------dwLat=%f", dwLat);
  trace("speed=%f km/h", kmh);
  return record;
}

std::vector<GpsRecord> ReadMp4Records(const ByteSource& source, GpsTraceFunction trace) {
  const Mp4GpsLayout layout = WalkMp4(source, trace);
  trace("gps_box.gps_sum_number = %u", layout.gps_sum_number);
  if (layout.gps_box.empty()) {
    trace("Begin do morvane gps read *************");
    return ReadSubtitleRecords(source, layout);
  }
  // One record per index entry; a block that cannot be read leaves its record zero.
  std::vector<GpsRecord> records(layout.gps_box.size(), GpsRecord{});
  uint8_t fields[kGpsBlockFieldsSize];
  for (size_t i = 0; i < records.size(); ++i) {
    const uint64_t at = uint64_t(layout.gps_box[i].offset) + kGpsBlockFieldsOffset;
    if (source.ReadExact(at, fields, sizeof(fields))) records[i] = ConvertGpsBlock(fields, uint32_t(i), trace);
  }
  return records;
}

int ReadGpsFile(const std::string& path, GpsTrack& track, bool isTransportStream, GpsTraceFunction trace) {
  trace("Get GPS %s", path.c_str());
  track.SetRecords({});
  const std::string sidecarPath = MakeSidecarPath(path);
  if (!sidecarPath.empty()) {
    if (const auto sidecar = FileSource::Open(sidecarPath); sidecar && sidecar->Size() >= kGpsRecordSize) {
      track.SetRecords(ReadSidecarRecords(*sidecar));
      if (track.count() > 0) return 1;
    }
  }
  const auto recording = FileSource::Open(path);
  if (!recording) {
    trace("failed to open\n");
    return 0;
  }
  track.SetRecords(isTransportStream ? ScanTransportStream(*recording, trace) : ReadMp4Records(*recording, trace));
  return 1;
}

}  // namespace gps
