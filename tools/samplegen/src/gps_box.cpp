// Adds the camera's GPS index to a finished MP4: the "freeGPS " blocks go
// after the media data and the 'gps ' box into 'moov'. Because
// 'moov' follows the media data, no chunk offset moves.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "samplegen/gps_track.h"
#include "samplegen/recording.h"

namespace samplegen {
namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

uint32_t ReadU32(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }
void WriteU32(uint8_t* p, uint32_t v) {
  p[0] = v >> 24, p[1] = (v >> 16) & 0xFF, p[2] = (v >> 8) & 0xFF, p[3] = v & 0xFF;
}

struct BoxSpan {
  int64_t offset = -1, size = 0;
};

// The top-level 'moov' box, walking 32- and 64-bit box sizes.
BoxSpan FindTopLevelMoov(FILE* file, int64_t fileSize) {
  int64_t offset = 0;
  while (offset + 8 <= fileSize) {
    uint8_t header[16];
    if (fseeko(file, offset, SEEK_SET) != 0 || std::fread(header, 1, 8, file) != 8) break;
    int64_t size = ReadU32(header);
    if (size == 1) {
      if (std::fread(header + 8, 1, 8, file) != 8) break;
      size = (int64_t(ReadU32(header + 8)) << 32) | ReadU32(header + 12);
    } else if (size == 0) {
      size = fileSize - offset;
    }
    if (size < 8) break;
    if (std::memcmp(header + 4, "moov", 4) == 0) return {offset, size};
    offset += size;
  }
  return {};
}

// Offset just past the 'mvhd' child of 'moov' (just past the 'moov' header
// when there is none).
size_t EndOfMovieHeader(const std::vector<uint8_t>& moov) {
  size_t offset = 8;
  while (offset + 8 <= moov.size()) {
    const uint32_t size = ReadU32(&moov[offset]);
    if (size < 8 || offset + size > moov.size()) break;
    if (std::memcmp(&moov[offset + 4], "mvhd", 4) == 0) return offset + size;
    offset += size;
  }
  return 8;
}

}  // namespace

bool AddGpsBox(const std::string& mp4Path, const std::vector<GpsFix>& fixes, std::string* error) {
  File file(std::fopen(mp4Path.c_str(), "r+b"));
  struct stat info {};
  if (!file || fstat(fileno(file.get()), &info) != 0) return *error = "cannot open " + mp4Path, false;
  const BoxSpan moov = FindTopLevelMoov(file.get(), info.st_size);
  if (moov.offset < 0 || moov.offset + moov.size != info.st_size || moov.size > UINT32_MAX / 2) {
    return *error = "the 'moov' box is not the last box of " + mp4Path, false;
  }
  std::vector<uint8_t> moovBytes(static_cast<size_t>(moov.size));
  if (fseeko(file.get(), moov.offset, SEEK_SET) != 0 ||
      std::fread(moovBytes.data(), 1, moovBytes.size(), file.get()) != moovBytes.size()) {
    return *error = "cannot read 'moov' of " + mp4Path, false;
  }
  if (ReadU32(moovBytes.data()) != moovBytes.size()) return *error = "64-bit 'moov' sizes are not handled", false;

  // Blocks where 'moov' was, then 'moov' again with the index inside.
  std::vector<uint8_t> index(16 + 8 * fixes.size(), 0);
  WriteU32(&index[0], static_cast<uint32_t>(index.size()));
  std::memcpy(&index[4], "gps ", 4);
  WriteU32(&index[8], 0x00000101);  // version word, as cameras write it
  WriteU32(&index[12], static_cast<uint32_t>(fixes.size()));
  int64_t offset = moov.offset;
  if (fseeko(file.get(), offset, SEEK_SET) != 0) return *error = "cannot seek in " + mp4Path, false;
  for (size_t i = 0; i < fixes.size(); ++i) {
    const std::vector<uint8_t> block = EncodeFreeGpsBlock(fixes[i]);
    if (std::fwrite(block.data(), 1, block.size(), file.get()) != block.size()) {
      return *error = "cannot write GPS blocks to " + mp4Path, false;
    }
    WriteU32(&index[16 + 8 * i], static_cast<uint32_t>(offset));
    WriteU32(&index[20 + 8 * i], kFreeGpsBlockSize);
    offset += kFreeGpsBlockSize;
  }
  // The index goes right after 'mvhd', before the tracks, where cameras put
  // it and where tools look for a box that belongs to no track.
  WriteU32(&moovBytes[0], static_cast<uint32_t>(moovBytes.size() + index.size()));
  moovBytes.insert(moovBytes.begin() + static_cast<std::ptrdiff_t>(EndOfMovieHeader(moovBytes)), index.begin(),
                   index.end());
  if (std::fwrite(moovBytes.data(), 1, moovBytes.size(), file.get()) != moovBytes.size() ||
      std::fflush(file.get()) != 0) {
    return *error = "cannot write 'moov' to " + mp4Path, false;
  }
  return true;
}

}  // namespace samplegen
