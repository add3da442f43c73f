#include "gps/mp4_box_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace gps {
namespace {

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

uint64_t BigEndian64(const uint8_t* p) { return (uint64_t(BigEndian32(p)) << 32) | BigEndian32(p + 4); }

struct Box {
  uint64_t offset = 0;      // of the header
  uint64_t size = 0;        // header included
  uint32_t headerSize = 8;  // 16 with a 64-bit size
  char type[5] = {};

  uint64_t body() const { return offset + headerSize; }
  uint64_t end() const { return offset + size; }
  bool Is(const char* name) const { return std::memcmp(type, name, 4) == 0; }
};

// The type for a trace line: bytes outside printable ASCII become '?'.
std::array<char, 5> PrintableType(const Box& box) {
  std::array<char, 5> type{};
  for (int i = 0; i < 4; ++i) type[i] = box.type[i] >= 0x20 && box.type[i] < 0x7F ? box.type[i] : '?';
  return type;
}

enum class HeaderResult { kOk, kNoHeader, kBadSize };

class Mp4Walker {
 public:
  Mp4Walker(const ByteSource& source, GpsTraceFunction trace) : source_(source), trace_(trace) {}

  Mp4GpsLayout Walk() {
    uint64_t offset = 0;
    const uint64_t fileSize = source_.Size();
    while (offset < fileSize) {
      Box box;
      const HeaderResult header = ReadHeader(offset, fileSize, true, &box);
      if (header == HeaderResult::kNoHeader) break;  // a few stray bytes at the end
      if (header == HeaderResult::kBadSize) return Stop(box, "has a size below its header"), std::move(layout_);
      const bool pastEnd = box.size > fileSize - offset;
      if (box.Is("moov")) WalkChildren(box, nullptr);
      if (pastEnd) return Stop(box, "runs past the end of the file"), std::move(layout_);
      offset = box.end();
    }
    return std::move(layout_);
  }

 private:
  // Reads the header at `offset`. A size field of 0 makes the box run to the
  // end of the file, which only a top-level box may do.
  HeaderResult ReadHeader(uint64_t offset, uint64_t limit, bool topLevel, Box* box) const {
    uint8_t header[16];
    if (limit - offset < 8 || !source_.ReadExact(offset, header, 8)) return HeaderResult::kNoHeader;
    box->offset = offset;
    std::memcpy(box->type, header + 4, 4);
    box->size = BigEndian32(header);
    if (box->size == 1) {
      box->headerSize = 16;
      if (limit - offset < 16 || !source_.ReadExact(offset + 8, header + 8, 8)) return HeaderResult::kNoHeader;
      box->size = BigEndian64(header + 8);
    } else if (box->size == 0 && topLevel) {
      box->size = limit - offset;
    }
    return box->size < box->headerSize ? HeaderResult::kBadSize : HeaderResult::kOk;
  }

  void WalkChildren(const Box& parent, Mp4TrackInfo* track) {
    uint64_t offset = parent.body();
    while (offset < parent.end()) {
      Box child;
      const HeaderResult header = ReadHeader(offset, parent.end(), false, &child);
      if (header == HeaderResult::kNoHeader) {
        // Either the file ends inside the container, or the bytes left over
        // cannot hold a header: the sizes do not add up.
        Stop(parent, parent.end() - offset < 8 ? "has children whose sizes do not add up to its own"
                                               : "is cut short by the end of the file");
        return;
      }
      if (header == HeaderResult::kBadSize) return Stop(child, "has a size below its header");
      if (child.size > parent.end() - offset) return Stop(child, "runs past its container");
      VisitChild(parent, child, track);
      offset = child.end();
    }
  }

  void VisitChild(const Box& parent, const Box& child, Mp4TrackInfo* track) {
    if (parent.Is("moov") && child.Is("trak")) {
      Mp4TrackInfo info;
      WalkChildren(child, &info);
      layout_.tracks.push_back(std::move(info));
    } else if (parent.Is("moov") && child.Is("gps ")) {
      ReadGpsIndex(child);
    } else if (track == nullptr) {
      return;  // the boxes below belong inside a track
    } else if ((parent.Is("trak") && child.Is("mdia")) || (parent.Is("mdia") && child.Is("minf")) ||
               (parent.Is("minf") && child.Is("stbl"))) {
      WalkChildren(child, track);
    } else if (parent.Is("mdia") && child.Is("hdlr")) {
      ReadHandler(child, track);
    } else if (parent.Is("stbl") && (child.Is("stco") || child.Is("co64"))) {
      ReadChunkOffsets(child, child.Is("co64") ? 8 : 4, track);
    }
  }

  // Bytes of the box body that exist in the source: a box may claim more.
  uint64_t BodyBytes(const Box& box) const {
    const uint64_t end = std::min(box.end(), source_.Size());
    return end > box.body() ? end - box.body() : 0;
  }

  // version and flags (4), pre-defined (4), handler type (4), ...
  void ReadHandler(const Box& box, Mp4TrackInfo* track) const {
    uint8_t body[12];
    if (BodyBytes(box) < sizeof(body) || !source_.ReadExact(box.body(), body, sizeof(body))) return;
    track->handlerType.assign(reinterpret_cast<const char*>(body + 8), 4);
  }

  // version and flags (4), entry count (4), then the offsets, 32- or 64-bit.
  void ReadChunkOffsets(const Box& box, uint32_t entrySize, Mp4TrackInfo* track) {
    uint8_t head[8];
    const uint64_t bodyBytes = BodyBytes(box);
    if (bodyBytes < sizeof(head) || !source_.ReadExact(box.body(), head, sizeof(head))) return;
    const uint32_t declared = BigEndian32(head + 4);
    const uint32_t count = Clamp(declared, (bodyBytes - sizeof(head)) / entrySize, box);
    std::vector<uint8_t> entries(size_t(count) * entrySize);
    const size_t got = source_.ReadAt(box.body() + sizeof(head), entries.data(), entries.size());
    track->chunkOffsets.clear();
    for (size_t i = 0; i + entrySize <= got; i += entrySize) {
      track->chunkOffsets.push_back(entrySize == 8 ? BigEndian64(&entries[i]) : BigEndian32(&entries[i]));
    }
  }

  // not used (4), gps_sum_number (4), then (offset, size) pairs.
  void ReadGpsIndex(const Box& box) {
    uint8_t head[8];
    const uint64_t bodyBytes = BodyBytes(box);
    if (bodyBytes < sizeof(head) || !source_.ReadExact(box.body(), head, sizeof(head))) return;
    layout_.gps_sum_number = BigEndian32(head + 4);
    const uint32_t count = Clamp(layout_.gps_sum_number, (bodyBytes - sizeof(head)) / 8, box);
    std::vector<uint8_t> entries(size_t(count) * 8);
    const size_t got = source_.ReadAt(box.body() + sizeof(head), entries.data(), entries.size());
    layout_.gps_box.clear();
    for (size_t i = 0; i + 8 <= got; i += 8) {
      layout_.gps_box.push_back({BigEndian32(&entries[i]), BigEndian32(&entries[i + 4])});
    }
  }

  // A declared entry count cut to what the box holds and to kMaxGpsRecords.
  uint32_t Clamp(uint32_t declared, uint64_t held, const Box& box) const {
    const uint64_t count = std::min<uint64_t>({declared, held, kMaxGpsRecords});
    if (count < declared) {
      trace_("mp4: box '%s' at %llu declares %u entries and holds %llu", PrintableType(box).data(),
             static_cast<unsigned long long>(box.offset), declared, static_cast<unsigned long long>(count));
    }
    return static_cast<uint32_t>(count);
  }

  void Stop(const Box& box, const char* why) const {
    trace_("mp4: box '%s' at %llu %s; its walk ends here", PrintableType(box).data(),
           static_cast<unsigned long long>(box.offset), why);
  }

  const ByteSource& source_;
  const GpsTraceFunction trace_;
  Mp4GpsLayout layout_;
};

}  // namespace

Mp4GpsLayout WalkMp4(const ByteSource& source, GpsTraceFunction trace) { return Mp4Walker(source, trace).Walk(); }

}  // namespace gps
