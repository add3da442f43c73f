#include "av_handles.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace calib::av {

int OpenInput(const char* path, Input* input) {
  AVFormatContext* context = avformat_alloc_context();
  if (!context) return AVERROR(ENOMEM);
  // avformat_open_input frees the context itself when it fails.
  const int code = avformat_open_input(&context, path, nullptr, nullptr);
  if (code < 0) return code;
  input->reset(context);
  return 0;
}

DecoderStatus OpenDecoder(const AVStream* stream, CodecContext* decoder) {
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  if (!codec) return DecoderStatus::kNoDecoder;
  decoder->reset(avcodec_alloc_context3(codec));
  if (!*decoder) return DecoderStatus::kOpenFailed;
  if (avcodec_parameters_to_context(decoder->get(), stream->codecpar) < 0) return DecoderStatus::kOpenFailed;
  (*decoder)->pkt_timebase = stream->time_base;
  if (avcodec_open2(decoder->get(), codec, nullptr) < 0) return DecoderStatus::kOpenFailed;
  return DecoderStatus::kOpened;
}

namespace {

// Takes every picture the decoder has ready. 1 when `onPicture` accepted
// one, 0 when the decoder wants more input (or has ended), <0 on an error.
int ReceivePictures(AVCodecContext* decoder, AVFrame* frame, const std::function<bool(AVFrame*)>& onPicture) {
  for (;;) {
    const int code = avcodec_receive_frame(decoder, frame);
    if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return 0;
    if (code < 0) return code;
    const bool accepted = onPicture(frame);
    av_frame_unref(frame);
    if (accepted) return 1;
  }
}

}  // namespace

DecodeResult DecodePictures(AVFormatContext* input, int streamIndex, AVCodecContext* decoder,
                            const std::function<bool(AVFrame*)>& onPicture, bool skipBadPackets) {
  Packet packet(av_packet_alloc());
  Frame frame(av_frame_alloc());
  if (!packet || !frame) return DecodeResult::kDecodeError;
  while (av_read_frame(input, packet.get()) >= 0) {
    int code = 0;
    if (packet->stream_index == streamIndex) {
      code = avcodec_send_packet(decoder, packet.get());
      if (code >= 0) code = ReceivePictures(decoder, frame.get(), onPicture);
    }
    av_packet_unref(packet.get());
    if (code == 1) return DecodeResult::kAccepted;
    if (code < 0 && !skipBadPackets) return DecodeResult::kDecodeError;
  }
  // End of input: pictures held back by the decoder's delay come out now.
  avcodec_send_packet(decoder, nullptr);
  const int code = ReceivePictures(decoder, frame.get(), onPicture);
  if (code == 1) return DecodeResult::kAccepted;
  if (code < 0 && !skipBadPackets) return DecodeResult::kDecodeError;
  return DecodeResult::kEnded;
}

AVPixelFormat ScalerInputFormat(const AVFrame* picture, bool* fullRange) {
  AVPixelFormat format = static_cast<AVPixelFormat>(picture->format);
  bool jpegFormat = true;
  switch (format) {
    case AV_PIX_FMT_YUVJ420P: format = AV_PIX_FMT_YUV420P; break;
    case AV_PIX_FMT_YUVJ422P: format = AV_PIX_FMT_YUV422P; break;
    case AV_PIX_FMT_YUVJ444P: format = AV_PIX_FMT_YUV444P; break;
    case AV_PIX_FMT_YUVJ440P: format = AV_PIX_FMT_YUV440P; break;
    default: jpegFormat = false; break;
  }
  *fullRange = jpegFormat || picture->color_range == AVCOL_RANGE_JPEG;
  return format;
}

namespace {

int SwsColourSpace(AVColorSpace space) {
  switch (space) {
    case AVCOL_SPC_BT709: return SWS_CS_ITU709;
    case AVCOL_SPC_FCC: return SWS_CS_FCC;
    case AVCOL_SPC_SMPTE240M: return SWS_CS_SMPTE240M;
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL: return SWS_CS_BT2020;
    default: return SWS_CS_DEFAULT;  // BT.601, also what JPEG uses
  }
}

}  // namespace

SwsContext* ScalerFor(const AVFrame* picture, AVPixelFormat outFormat, int flags) {
  bool sourceFull = false;
  const AVPixelFormat inFormat = ScalerInputFormat(picture, &sourceFull);
  // The output side: a JPEG format becomes its ordinary layout with full range.
  AVFrame outProbe{};
  outProbe.format = outFormat;
  bool outFull = false;
  const AVPixelFormat scalerOut = ScalerInputFormat(&outProbe, &outFull);
  // The ranges must be known before the scaler is initialised: with equal
  // sizes and formats it would otherwise settle on a plain copy that
  // ignores a later range change.
  Scaler scaler(sws_alloc_context());
  if (!scaler) return nullptr;
  SwsContext* s = scaler.get();
  const bool optionsSet = av_opt_set_int(s, "srcw", picture->width, 0) >= 0 &&
                          av_opt_set_int(s, "srch", picture->height, 0) >= 0 &&
                          av_opt_set_int(s, "src_format", inFormat, 0) >= 0 &&
                          av_opt_set_int(s, "dstw", picture->width, 0) >= 0 &&
                          av_opt_set_int(s, "dsth", picture->height, 0) >= 0 &&
                          av_opt_set_int(s, "dst_format", scalerOut, 0) >= 0 &&
                          av_opt_set_int(s, "sws_flags", flags, 0) >= 0 &&
                          av_opt_set_int(s, "src_range", sourceFull ? 1 : 0, 0) >= 0 &&
                          av_opt_set_int(s, "dst_range", outFull ? 1 : 0, 0) >= 0;
  if (!optionsSet || sws_init_context(s, nullptr, nullptr) < 0) return nullptr;
  int *inverseTable = nullptr, *table = nullptr;
  int sourceRange = 0, outRange = 0, brightness = 0, contrast = 0, saturation = 0;
  if (sws_getColorspaceDetails(s, &inverseTable, &sourceRange, &table, &outRange, &brightness, &contrast,
                               &saturation) >= 0) {
    const int* coefficients = sws_getCoefficients(SwsColourSpace(picture->colorspace));
    sws_setColorspaceDetails(s, coefficients, sourceRange, coefficients, outRange, brightness, contrast, saturation);
  }
  return scaler.release();
}

}  // namespace calib::av
