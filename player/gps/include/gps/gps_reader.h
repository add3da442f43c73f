#pragma once
// Reading a recording's GPS records from wherever the camera put them, in a
// fixed order: a sidecar ".gps" file, the GPS packets of a transport stream,
// the 'gps ' index of an MP4 with its data blocks, or the first subtitle
// ('sbtl') track of an MP4. Every source yields GpsRecords, one per second.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gps/byte_source.h"
#include "gps/gps_record.h"

namespace gps {

class GpsTrack;

// Where diagnostic lines go: platform::DebugTrace in the programs, a quiet
// function where nobody reads them (fuzzing, the command-line tool).
using GpsTraceFunction = void (*)(const char* format, ...);
void QuietTrace(const char* format, ...);

// No source yields more records than this (about twelve days at one record
// per second); sizes and counts inside a file can claim anything, memory
// cannot follow.
constexpr uint32_t kMaxGpsRecords = 1u << 20;

constexpr size_t kTsPacketSize = 188;
// A transport stream without a GPS packet among its first 21 packets has none.
constexpr uint32_t kTsPacketsToFindGps = 21;
// Bytes of a GPS data block that hold the fix: 44 to 87.
constexpr size_t kGpsBlockFieldsOffset = 44;
constexpr size_t kGpsBlockFieldsSize = 44;

// The sidecar of a recording: the containing folder's name must end in an
// upper-case 'A', which becomes 'G', and the extension becomes ".gps"
// (appended when the file name has none). "MOVA/x.MP4" -> "MOVG/x.gps".
// Empty when the recording has no sidecar.
std::string MakeSidecarPath(std::string_view recordingPath);

// True when the last three characters are ".ts" in any case.
bool IsTransportStreamPath(std::string_view path);

// The records of a sidecar file: size / 120, trailing bytes ignored.
std::vector<GpsRecord> ReadSidecarRecords(const ByteSource& source);

// The record of every GPS packet (0x47 0x43 0x00, record at bytes 18..137)
// of a transport stream read in 188-byte packets from offset 0. Gives up
// when none of the first 21 packets is a GPS packet.
std::vector<GpsRecord> ScanTransportStream(const ByteSource& source, GpsTraceFunction trace);

// Bytes 44..87 of a 'gps ' data block as a record: positions unpacked from
// ddmm.mmmm, speed from knots to m/s; no heading, no G-sensor values.
GpsRecord ConvertGpsBlock(const uint8_t fields[kGpsBlockFieldsSize], uint32_t index, GpsTraceFunction trace);

// The records of an MP4: one per 'gps ' index entry when the file has that
// index, else one per chunk of its first 'sbtl' track, else none.
std::vector<GpsRecord> ReadMp4Records(const ByteSource& source, GpsTraceFunction trace);

// Fills `track` with the records of the recording at `path` (the order
// above). Returns 0 when the recording itself cannot be opened (the track is
// then empty), non-zero otherwise. Leaves the track's fix flag alone.
int ReadGpsFile(const std::string& path, GpsTrack& track, bool isTransportStream, GpsTraceFunction trace);

}  // namespace gps
