#pragma once
// Tiny byte fixtures for the GPS readers: MP4 boxes, 'gps ' data blocks,
// transport-stream packets and records, written out as files when a test
// needs a path; and the way tests reach the samples and run programs.

#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "gps/byte_source.h"
#include "gps/gps_record.h"
#include "platform/paths.h"
#include "temp_folder.h"  // TempFolder, shared with the platform tests

namespace gpsfixture {

inline std::string U32(uint32_t v) {
  const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
  return std::string(bytes, 4);
}

inline std::string U64(uint64_t v) { return U32(uint32_t(v >> 32)) + U32(uint32_t(v)); }

// A box with a 32-bit size, or with `sizeOverride` in the size field.
inline std::string Box(const char* type, const std::string& body, int64_t sizeOverride = -1) {
  const uint32_t size = sizeOverride >= 0 ? uint32_t(sizeOverride) : uint32_t(8 + body.size());
  return U32(size) + std::string(type, 4) + body;
}

// A box with a 64-bit size (size field 1).
inline std::string Box64(const char* type, const std::string& body) {
  return U32(1) + std::string(type, 4) + U64(16 + body.size()) + body;
}

inline std::string Hdlr(const char* handler) {
  return Box("hdlr", U32(0) + U32(0) + std::string(handler, 4) + std::string(12, '\0') + std::string("name\0", 5));
}

inline std::string Stco(const std::vector<uint32_t>& offsets) {
  std::string body = U32(0) + U32(uint32_t(offsets.size()));
  for (uint32_t o : offsets) body += U32(o);
  return Box("stco", body);
}

inline std::string Co64(const std::vector<uint64_t>& offsets) {
  std::string body = U32(0) + U32(uint32_t(offsets.size()));
  for (uint64_t o : offsets) body += U64(o);
  return Box("co64", body);
}

// trak > mdia > (hdlr, minf > stbl > chunk offsets)
inline std::string Track(const char* handler, const std::string& chunkOffsetBox) {
  return Box("trak", Box("mdia", Hdlr(handler) + Box("minf", Box("stbl", chunkOffsetBox))));
}

// The camera's index: 4 unused bytes, the declared count, (offset, size) pairs.
inline std::string GpsIndex(const std::vector<uint32_t>& offsets, uint32_t declaredCount) {
  std::string body = U32(0x101) + U32(declaredCount);
  for (uint32_t o : offsets) body += U32(o) + U32(0x8000);
  return Box("gps ", body);
}
inline std::string GpsIndex(const std::vector<uint32_t>& offsets) {
  return GpsIndex(offsets, uint32_t(offsets.size()));
}

struct BlockFix {
  int32_t year = 24, month = 6, day = 15, hour = 10, minute = 30, second = 0;
  char status = 'A', ns = 'N', ew = 'E';
  float latitude = 2232.586f, longitude = 11357.12f;  // ddmm.mmmm
  float knots = 10;
};

// An 88-byte GPS data block: fields at bytes 48 to 87, little-endian.
inline std::string GpsBlock(const BlockFix& f) {
  std::string b(88, '\0');
  std::memcpy(&b[0], "\0\0\0\x58" "freeGPS ", 12);
  const int32_t ints[6] = {f.hour, f.minute, f.second, f.year, f.month, f.day};
  std::memcpy(&b[48], ints, sizeof(ints));
  b[72] = f.status, b[73] = f.ns, b[74] = f.ew;
  std::memcpy(&b[76], &f.latitude, 4);
  std::memcpy(&b[80], &f.longitude, 4);
  std::memcpy(&b[84], &f.knots, 4);
  return b;
}

inline gps::GpsRecord Record(int second, char status, double latitude = 22.5, double longitude = 114.0) {
  gps::GpsRecord r{};
  r.hour = 10, r.minute = 30, r.second = second, r.Status = status;
  r.latitude = latitude, r.nsInd = 'N', r.longitude = longitude, r.ewInd = 'E';
  r.speed = 5, r.heading = 90, r.year = 2024, r.month = 6, r.day = 15;
  r.gx = second, r.gy = -second, r.gz = 1000;
  return r;
}

inline std::string RecordBytes(const gps::GpsRecord& r) {
  return std::string(reinterpret_cast<const char*>(&r), sizeof(r));
}

// An MP4 laid out as cameras write it: 'ftyp', 'mdat' with the payload the
// boxes point at, then 'moov'.
class Mp4File {
 public:
  Mp4File() : bytes_(Box("ftyp", "isom" + U32(0))) {
    mdatAt_ = bytes_.size();
    bytes_ += Box("mdat", "");
  }
  // Appends to 'mdat'; returns the absolute offset of `data`.
  uint32_t AddData(const std::string& data) {
    const uint32_t at = uint32_t(bytes_.size());
    bytes_ += data;
    return at;
  }
  std::string Finish(const std::string& moovChildren) const {
    std::string file = bytes_;
    const std::string size = U32(uint32_t(file.size() - mdatAt_));
    file.replace(mdatAt_, 4, size);
    return file + Box("moov", moovChildren);
  }

 private:
  std::string bytes_;
  size_t mdatAt_ = 0;
};

// A 188-byte packet: the GPS packet with `record`, or a filler packet.
inline std::string TsPacket(const gps::GpsRecord* record) {
  std::string p(188, '\xFF');
  p[0] = 0x47;
  if (record) {
    p[1] = 0x43, p[2] = 0x00, p[3] = 0x10;
    p.replace(18, sizeof(*record), RecordBytes(*record));
  } else {
    p[1] = 0x01, p[2] = 0x00, p[3] = 0x10;  // PID 0x100, a video packet
  }
  return p;
}

inline gps::MemorySource Source(const std::string& bytes) {
  return gps::MemorySource({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(platform::FolderOf(path));
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string SamplePath(const std::string& name) {
  const char* folder = std::getenv("KESTRA_SAMPLES_DIR");
  return std::string(folder ? folder : KESTRA_SAMPLES_DIR) + "/" + name;
}

struct CommandResult {
  int code = -1;  // exit status, -1 when it did not exit normally
  std::string output;
};

// Runs a shell command and collects its standard output.
inline CommandResult RunCommand(const std::string& command) {
  CommandResult run;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof(buffer), pipe)) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  return run;
}

}  // namespace gpsfixture
