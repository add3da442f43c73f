#pragma once
// Owning handles for FFmpeg objects, so that every early return releases
// what was allocated. Header-only; each user links the FFmpeg libraries it
// calls itself.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace av {

struct InputDeleter {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
// An output context also closes the file opened into its pb; muxers that
// open their own files (AVFMT_NOFILE) close them themselves.
struct OutputDeleter {
  void operator()(AVFormatContext* c) const {
    if (!(c->oformat->flags & AVFMT_NOFILE)) avio_closep(&c->pb);
    avformat_free_context(c);
  }
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

using Input = std::unique_ptr<AVFormatContext, InputDeleter>;    // from avformat_open_input
using Output = std::unique_ptr<AVFormatContext, OutputDeleter>;  // from avformat_alloc_output_context2
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using Frame = std::unique_ptr<AVFrame, FrameDeleter>;
using Packet = std::unique_ptr<AVPacket, PacketDeleter>;
using Scaler = std::unique_ptr<SwsContext, ScalerDeleter>;

}  // namespace av
