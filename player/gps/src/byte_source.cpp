#include "gps/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace gps {

std::unique_ptr<FileSource> FileSource::Open(const std::string& path) {
  // Without O_NONBLOCK, opening a named pipe would wait for a writer that
  // may never come; for a regular file the flag changes nothing.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat info {};
  // Only regular files: a folder cannot be read and a device or pipe has no
  // end that a reader could rely on.
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<FileSource>(new FileSource(fd, static_cast<uint64_t>(info.st_size)));
}

FileSource::~FileSource() { ::close(fd_); }

size_t FileSource::ReadAt(uint64_t offset, void* out, size_t size) const {
  if (offset >= size_) return 0;
  size = static_cast<size_t>(std::min<uint64_t>(size, size_ - offset));
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd_, static_cast<char*>(out) + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // error, or the file shrank since it was opened
    done += static_cast<size_t>(n);
  }
  return done;
}

size_t MemorySource::ReadAt(uint64_t offset, void* out, size_t size) const {
  if (offset >= bytes_.size()) return 0;
  size = static_cast<size_t>(std::min<uint64_t>(size, bytes_.size() - offset));
  if (size > 0) std::memcpy(out, bytes_.data() + offset, size);
  return size;
}

}  // namespace gps
