#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace platform {

bool ReadFileBytes(const std::string& path, std::string* bytes, size_t maxBytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  bytes->clear();
  if (ok) bytes->reserve(std::min<size_t>(static_cast<size_t>(info.st_size), maxBytes));
  char chunk[64 * 1024];
  while (ok && bytes->size() < maxBytes) {
    const ssize_t n = read(fd, chunk, std::min(sizeof(chunk), maxBytes - bytes->size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    bytes->append(chunk, static_cast<size_t>(n));
  }
  close(fd);
  return ok;
}

}  // namespace platform
