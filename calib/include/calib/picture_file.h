#pragma once
// Still pictures (the logo drawn over the video, frames picked for lens
// calibration) decoded with FFmpeg into packed BGR24.

#include <cstdint>
#include <string>
#include <vector>

namespace calib {

// Decodes the first picture of any still picture or video file FFmpeg reads
// into width x height x 3 bytes: rows back to back without padding, each
// pixel blue, green, red. Full-range (JPEG) YUV keeps its range, so a JPEG
// gives the colours of the same picture stored as PNG; an alpha channel is
// dropped. On failure returns an empty vector and writes the reason into
// *errorText (when given) and on standard output; width and height are set
// from the decoder once it is open.
std::vector<uint8_t> LoadPictureFile(std::string* errorText, const std::string& path, int* width, int* height);

}  // namespace calib
