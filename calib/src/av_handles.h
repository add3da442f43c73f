#pragma once
// The FFmpeg steps the picture loader and the frame capture share: opening
// the input and the decoder, the decode loop and the scaler set-up.

#include <functional>

#include "avhandles/av_handles.h"

namespace calib::av {

using ::av::CodecContext;
using ::av::Frame;
using ::av::Input;
using ::av::Output;
using ::av::Packet;
using ::av::Scaler;

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
