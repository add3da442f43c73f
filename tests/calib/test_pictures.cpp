#include "test_pictures.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "platform/paths.h"
#include "samplegen/frame_renderer.h"

namespace calibtest {

cv::Mat RenderFrame(const samplegen::Projection& lens, int width, int height) {
  std::vector<uint8_t> yuv(static_cast<size_t>(width) * height * 3 / 2);
  uint8_t* y = yuv.data();
  uint8_t* u = y + width * height;
  uint8_t* v = u + width * height / 4;
  samplegen::FrameRenderer(lens, width, height)
      .Render(0, 0.0, {y, width}, {u, width / 2}, {v, width / 2});
  cv::Mat bgr;
  cv::cvtColor(cv::Mat(height * 3 / 2, width, CV_8UC1, yuv.data()), bgr, cv::COLOR_YUV2BGR_I420);
  return bgr;
}

std::string ScratchPath(const std::string& name) {
  const std::string folder = platform::ProgramFolderFile("scratch/");
  platform::MakeFolders(folder.substr(0, folder.size() - 1));
  return folder + name;
}

std::string SamplePath(const std::string& name) {
  const char* folder = std::getenv("KESTRA_SAMPLES_DIR");
  return platform::JoinPath(folder && *folder ? folder : KESTRA_SAMPLES_DIR, name);
}

std::string UndecodableRecording() {
  const std::string path = ScratchPath("zeroed_media.mp4");
  std::filesystem::copy_file(SamplePath("front_1080p30_short.mp4"), path,
                             std::filesystem::copy_options::overwrite_existing);
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), {});
  // Walk the top-level boxes (32-bit size, then type) to 'mdat'.
  for (size_t at = 0; at + 8 <= bytes.size();) {
    const size_t size = (size_t(uint8_t(bytes[at])) << 24) | (uint8_t(bytes[at + 1]) << 16) |
                        (uint8_t(bytes[at + 2]) << 8) | uint8_t(bytes[at + 3]);
    if (size < 8 || at + size > bytes.size()) break;
    if (bytes.compare(at + 4, 4, "mdat") == 0) std::fill(bytes.begin() + at + 8, bytes.begin() + at + size, '\0');
    at += size;
  }
  file.seekp(0);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::string AudioOnlyRecording() {
  const std::string path = ScratchPath("audio_only.m4a");
  const bool made = Run("ffmpeg -nostdin -hide_banner -loglevel error -y -i '" + SamplePath("front_1080p30_short.mp4") +
                        "' -vn -c:a copy '" + path + "'");
  return made ? path : std::string();
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

}  // namespace calibtest
