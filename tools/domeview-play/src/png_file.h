#pragma once
// Packed RGB pictures written as PNG files with FFmpeg's PNG encoder.

#include <cstdint>
#include <string>
#include <vector>

namespace domeview_play {

// `rgb` holds width x height pixels, rows from the top, 3 bytes each.
// False with *error set when the file cannot be made.
bool WritePng(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height, std::string* error);

}  // namespace domeview_play
