#pragma once
// Owning handles for the FFmpeg objects the picture loader and the frame
// capture open, so that every early return releases what was allocated,
// and the decode loop both of them share.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <functional>
#include <memory>

namespace calib::av {

struct InputDeleter {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecContextDeleter {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameDeleter {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScalerDeleter {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};

using Input = std::unique_ptr<AVFormatContext, InputDeleter>;
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using Frame = std::unique_ptr<AVFrame, FrameDeleter>;
using Packet = std::unique_ptr<AVPacket, PacketDeleter>;
using Scaler = std::unique_ptr<SwsContext, ScalerDeleter>;

// Opens `path` with no options; the AVERROR code on failure.
int OpenInput(const char* path, Input* input);

// Allocates and opens a decoder for `stream`. Full-range JPEG pixel formats
// are left as they are: the conversion takes the range from each picture.
enum class DecoderStatus { kOpened, kNoDecoder, kOpenFailed };
DecoderStatus OpenDecoder(const AVStream* stream, CodecContext* decoder);

// How a decode loop ended.
enum class DecodeResult {
  kAccepted,     // `onPicture` accepted a picture
  kEnded,        // the input and the decoder's delayed pictures ran out
  kDecodeError,  // a packet failed to decode and errors stop the loop
};

// Feeds every packet of `streamIndex` to the decoder and hands each picture
// that comes out to `onPicture` until it returns true. At the end of the
// input the decoder is drained, so pictures held back by decoder delay are
// still seen. With `skipBadPackets` a packet that fails to decode is
// skipped; otherwise the loop stops with kDecodeError.
DecodeResult DecodePictures(AVFormatContext* input, int streamIndex, AVCodecContext* decoder,
                            const std::function<bool(AVFrame*)>& onPicture, bool skipBadPackets);

// The pixel format to hand to the scaler for a decoded picture, with the
// deprecated full-range JPEG formats replaced by their ordinary
// counterparts; *fullRange says whether the samples use the full 0..255 range.
AVPixelFormat ScalerInputFormat(const AVFrame* picture, bool* fullRange);

// A scaler from the picture's own size and format to `outFormat` of the same
// size, with the source range taken from the picture and a full-range
// output for the JPEG formats. Null when FFmpeg cannot convert.
SwsContext* ScalerFor(const AVFrame* picture, AVPixelFormat outFormat, int flags);

}  // namespace calib::av
