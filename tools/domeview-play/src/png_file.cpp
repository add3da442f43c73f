#include "png_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "avhandles/av_handles.h"

namespace domeview_play {
namespace {

// One encoded picture, or empty with *error set.
std::vector<uint8_t> EncodePng(const std::vector<uint8_t>& rgb, int width, int height, std::string* error) {
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PNG);
  if (!codec) return *error = "FFmpeg has no PNG encoder", std::vector<uint8_t>{};
  av::CodecContext context(avcodec_alloc_context3(codec));
  av::Frame frame(av_frame_alloc());
  av::Packet packet(av_packet_alloc());
  if (!context || !frame || !packet) return *error = "out of memory", std::vector<uint8_t>{};
  context->width = frame->width = width;
  context->height = frame->height = height;
  context->pix_fmt = AV_PIX_FMT_RGB24;
  frame->format = AV_PIX_FMT_RGB24;
  context->time_base = {1, 25};
  if (avcodec_open2(context.get(), codec, nullptr) < 0 || av_frame_get_buffer(frame.get(), 0) < 0) {
    return *error = "cannot start the PNG encoder", std::vector<uint8_t>{};
  }
  for (int y = 0; y < height; ++y) {
    std::memcpy(frame->data[0] + size_t(y) * frame->linesize[0], &rgb[size_t(y) * width * 3], size_t(width) * 3);
  }
  if (avcodec_send_frame(context.get(), frame.get()) < 0 || avcodec_receive_packet(context.get(), packet.get()) < 0) {
    return *error = "the PNG encoder failed", std::vector<uint8_t>{};
  }
  return std::vector<uint8_t>(packet->data, packet->data + packet->size);
}

}  // namespace

bool WritePng(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height, std::string* error) {
  if (width <= 0 || height <= 0 || rgb.size() < size_t(width) * height * 3) return *error = "no picture", false;
  const std::vector<uint8_t> png = EncodePng(rgb, width, height, error);
  if (png.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return *error = "cannot write " + path + ": " + std::strerror(errno), false;
  const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) return *error = "cannot write " + path, false;
  return true;
}

}  // namespace domeview_play
