#include "calib/picture_file.h"

extern "C" {
#include <libavutil/imgutils.h>
}

#include <cstdio>

#include "av_handles.h"

namespace calib {
namespace {

// Bilinear, with exact rounding and full chroma interpolation: swscale's
// fast YUV to RGB path is off by up to 3 levels, enough to tell a JPEG
// from the PNG of the same picture.
constexpr int kConversionFlags = SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT;

std::vector<uint8_t> Fail(std::string* errorText, const std::string& message) {
  std::fputs(message.c_str(), stdout);
  std::fflush(stdout);
  if (errorText) *errorText = message;
  return {};
}

int LastVideoStream(const AVFormatContext* input) {
  int index = -1;
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    if (input->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) index = static_cast<int>(i);
  }
  return index;
}

// Converts one decoded picture into packed BGR24 rows. False when FFmpeg
// has no conversion for the picture's format.
bool ConvertToBgr(const AVFrame* picture, std::vector<uint8_t>* bgr) {
  av::Scaler scaler(av::ScalerFor(picture, AV_PIX_FMT_BGR24, kConversionFlags));
  if (!scaler) return false;
  bgr->assign(static_cast<size_t>(picture->width) * picture->height * 3, 0);
  uint8_t* planes[4] = {bgr->data(), nullptr, nullptr, nullptr};
  const int strides[4] = {picture->width * 3, 0, 0, 0};
  sws_scale(scaler.get(), picture->data, picture->linesize, 0, picture->height, planes, strides);
  return true;
}

}  // namespace

std::vector<uint8_t> LoadPictureFile(std::string* errorText, const std::string& path, int* width, int* height) {
  AVFormatContext* context = avformat_alloc_context();
  if (!context) return Fail(errorText, "error: couldn't allocate formate context to load picture file;\n");
  // avformat_open_input frees the context itself when it fails.
  const int code = avformat_open_input(&context, path.c_str(), nullptr, nullptr);
  if (code < 0) {
    char message[128];
    std::snprintf(message, sizeof(message), "error: couldn't open input picture file, code: %d;\n", code);
    return Fail(errorText, message);
  }
  av::Input input(context);
  if (avformat_find_stream_info(input.get(), nullptr) < 0) {
    return Fail(errorText, "error: couldn't find stream information for picture file;\n");
  }

  const int streamIndex = LastVideoStream(input.get());
  if (streamIndex < 0) return Fail(errorText, "error: can not find a video stream for picture;\n");
  av::CodecContext decoder;
  switch (av::OpenDecoder(input->streams[streamIndex], &decoder)) {
    case av::DecoderStatus::kNoDecoder: return Fail(errorText, "error: codec not found for picture.\n");
    case av::DecoderStatus::kOpenFailed: return Fail(errorText, "error: can not open codec for picture.\n");
    case av::DecoderStatus::kOpened: break;
  }
  if (width) *width = decoder->width;
  if (height) *height = decoder->height;
  if (av_image_get_buffer_size(AV_PIX_FMT_BGR24, decoder->width, decoder->height, 1) <= 0) {
    return Fail(errorText, "error: fail to fill image arrays for picture decoding;\n");
  }

  std::vector<uint8_t> bgr;
  bool converted = false;
  const av::DecodeResult result = av::DecodePictures(
      input.get(), streamIndex, decoder.get(),
      [&](AVFrame* picture) {
        converted = ConvertToBgr(picture, &bgr);
        // The picture's own size wins should it differ from the stream's.
        if (width) *width = picture->width;
        if (height) *height = picture->height;
        return true;
      },
      /*skipBadPackets=*/false);
  switch (result) {
    case av::DecodeResult::kDecodeError: return Fail(errorText, "error: decode picture error;\n");
    case av::DecodeResult::kEnded: return Fail(errorText, "error: no frame decoded;\n");
    case av::DecodeResult::kAccepted: break;
  }
  if (!converted) return Fail(errorText, "error: on createing converter context for picture decoding;\n");
  return bgr;
}

}  // namespace calib
