#pragma once
// The small MP4 box walker of the GPS reader. It enters only the boxes that
// lead to GPS data (moov, trak, mdia, minf, stbl) and reads only the
// camera's 'gps ' index, each track's handler type and its chunk offsets;
// everything else is skipped by its size. Values inside boxes are
// big-endian.
//
// Malformed sizes never make it loop or read outside a box: a child below
// its header size, a child running past its container, children whose sizes
// do not add up to the container's, or a top-level box running past the end
// of the file end the walk of that container (or of the file), with a trace
// line saying why. 64-bit box sizes (size field 1) and 'co64' chunk offsets
// are read, since long recordings need them. A top-level size of 0 means the
// box runs to the end of the file, so it is the last one.

#include <cstdint>
#include <string>
#include <vector>

#include "gps/byte_source.h"
#include "gps/gps_reader.h"

namespace gps {

// One per 'trak' met, in walk order.
struct Mp4TrackInfo {
  std::string handlerType;             // the 'hdlr' type ("vide", "sbtl"); empty without 'hdlr'
  std::vector<uint64_t> chunkOffsets;  // 'stco' or 'co64' entries, absolute file offsets

  size_t chunkCount() const { return chunkOffsets.size(); }
};

// One entry of the camera's 'gps ' index: where a GPS data block starts.
struct GpsBoxEntry {
  uint32_t offset = 0;  // from the start of the file
  uint32_t size = 0;    // read but not needed
};

// What one walk of a file found.
struct Mp4GpsLayout {
  uint32_t gps_sum_number = 0;       // entry count the 'gps ' box declares
  std::vector<GpsBoxEntry> gps_box;  // the entries it really holds, at most kMaxGpsRecords
  std::vector<Mp4TrackInfo> tracks;
};

// Walks the top-level boxes of `source` and the GPS-related boxes inside
// 'moov'. Never fails: what cannot be read is left out.
Mp4GpsLayout WalkMp4(const ByteSource& source, GpsTraceFunction trace);

}  // namespace gps
