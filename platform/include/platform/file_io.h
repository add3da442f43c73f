#pragma once
// Whole-file reads that never throw: a missing file, a folder or a device
// in place of a file, or a read error all give false.

#include <cstddef>
#include <string>

namespace platform {

// Reads at most `maxBytes` bytes of the regular file at `path`.
bool ReadFileBytes(const std::string& path, std::string* bytes, size_t maxBytes = std::string::npos);

}  // namespace platform
