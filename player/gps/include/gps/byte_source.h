#pragma once
// Random-access bytes of a recording: a file, or memory (tests and the
// fuzzer). Readers ask for a range and get what exists of it; nothing past
// Size() is ever read, so a size taken from inside the file cannot make a
// reader wander off.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace gps {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Bytes in the source, fixed when it was opened.
  virtual uint64_t Size() const = 0;
  // Copies up to `size` bytes from `offset` into `out`; returns how many
  // were copied (fewer at the end of the source or on a read error).
  virtual size_t ReadAt(uint64_t offset, void* out, size_t size) const = 0;

  // ReadAt that succeeds only when every byte was read.
  bool ReadExact(uint64_t offset, void* out, size_t size) const { return ReadAt(offset, out, size) == size; }
};

// A regular file, read with pread. Open() gives null when the path is not a
// regular file that can be opened for reading.
class FileSource final : public ByteSource {
 public:
  static std::unique_ptr<FileSource> Open(const std::string& path);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, void* out, size_t size) const override;

 private:
  FileSource(int fd, uint64_t size) : fd_(fd), size_(size) {}
  int fd_;
  uint64_t size_;
};

// Bytes owned by someone else, who keeps them alive while this is used.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  size_t ReadAt(uint64_t offset, void* out, size_t size) const override;

 private:
  std::span<const uint8_t> bytes_;
};

}  // namespace gps
