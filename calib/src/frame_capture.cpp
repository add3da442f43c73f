#include "calib/frame_capture.h"

#include <cstdio>

#include "av_handles.h"
#include "calib/circle_detector.h"
#include "platform/paths.h"
#include "platform/trace.h"

namespace calib {
namespace {

constexpr AVRational kJpegTimeBase = {1, 25};

int CaptureFailure(int code, const char* message) {
  platform::DebugTrace("%s", message);
  return code;
}

int FirstVideoStream(const AVFormatContext* input) {
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    if (input->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) return static_cast<int>(i);
  }
  return -1;
}

// (Re)allocates `frame` as a YUVJ420P picture of width x height.
bool AllocateJpegFrame(AVFrame* frame, int width, int height) {
  av_frame_unref(frame);
  frame->format = AV_PIX_FMT_YUVJ420P;
  frame->width = width;
  frame->height = height;
  return width > 0 && height > 0 && av_frame_get_buffer(frame, 1) >= 0;
}

// Converts the decoded picture to full-range 4:2:0 in `jpegFrame` and saves
// it. Decoders hand out other layouts too (4:2:2, 10 bits, semi-planar),
// which the encoder would misread as 4:2:0.
int StorePicture(const AVFrame* picture, AVFrame* jpegFrame, const char* jpegPath) {
  if ((picture->width != jpegFrame->width || picture->height != jpegFrame->height) &&
      !AllocateJpegFrame(jpegFrame, picture->width, picture->height)) {
    return CaptureFailure(kCaptureBufferFailed, "av malloc failed!\n");
  }
  av::Scaler scaler(av::ScalerFor(picture, AV_PIX_FMT_YUVJ420P, SWS_BICUBIC));
  if (!scaler) return CaptureFailure(kCaptureBufferFailed, "sws get context failed!\n");
  sws_scale(scaler.get(), picture->data, picture->linesize, 0, picture->height, jpegFrame->data,
            jpegFrame->linesize);
  return SaveFrameAsJpeg(jpegFrame, jpegFrame->width, jpegFrame->height, jpegPath);
}

// Encodes the one picture and writes its packet. 0 on success.
int EncodePicture(AVFormatContext* output, AVCodecContext* encoder, const AVFrame* picture) {
  av::Frame frame(av_frame_clone(picture));
  av::Packet packet(av_packet_alloc());
  if (!frame || !packet) return kJpegEncodeFailed;
  frame->pts = 0;
  if (avcodec_send_frame(encoder, frame.get()) < 0) return kJpegEncodeFailed;
  avcodec_send_frame(encoder, nullptr);
  const int code = avcodec_receive_packet(encoder, packet.get());
  if (code < 0) return kJpegEncodeFailed;  // also when no packet came out: no picture, no snapshot
  packet->stream_index = 0;
  packet->pts = packet->dts = 0;
  return av_write_frame(output, packet.get()) < 0 ? kJpegEncodeFailed : kJpegSaved;
}

// Describes the picture on the stream and opens the encoder for it.
int OpenJpegEncoder(AVFormatContext* output, AVStream* stream, int width, int height, av::CodecContext* encoder) {
  const AVCodecID codecId = output->oformat->video_codec;
  stream->time_base = kJpegTimeBase;
  stream->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
  stream->codecpar->codec_id = codecId;
  stream->codecpar->format = AV_PIX_FMT_YUVJ420P;
  stream->codecpar->width = width;
  stream->codecpar->height = height;
  av_dump_format(output, 0, output->url, 1);

  const AVCodec* codec = avcodec_find_encoder(codecId);
  if (!codec) {
    std::printf("Codec not found.");
    return kJpegNoEncoder;
  }
  encoder->reset(avcodec_alloc_context3(codec));
  AVCodecContext* c = encoder->get();
  if (c) {
    c->codec_type = AVMEDIA_TYPE_VIDEO;
    c->pix_fmt = AV_PIX_FMT_YUVJ420P;
    c->width = width;
    c->height = height;
    c->time_base = kJpegTimeBase;
  }
  if (!c || avcodec_open2(c, codec, nullptr) < 0) {
    std::printf("Could not open codec.");
    return kJpegEncoderOpenFailed;
  }
  return avcodec_parameters_from_context(stream->codecpar, c) < 0 ? kJpegEncoderOpenFailed : kJpegSaved;
}

}  // namespace

std::string ModuleFilePath(std::string_view fileName) { return platform::ProgramFolderFile(fileName); }

std::string SnapshotPathIn(const std::string& programFolder) {
  if (platform::IsFolderWritable(programFolder)) return platform::JoinPath(programFolder, kSnapshotFileName);
  const std::string path = platform::UserCacheFolder() + kSnapshotFileName;
  platform::DebugTrace("program folder %s is not writable; the frame snapshot goes to %s", programFolder.c_str(),
                       path.c_str());
  return path;
}

std::string SnapshotPath() { return SnapshotPathIn(platform::ProgramFolder()); }

int SaveFrameAsJpeg(const AVFrame* picture, int width, int height, const char* jpegPath) {
  if (!picture || !jpegPath) return kJpegNoOutputContext;
  AVFormatContext* context = nullptr;
  if (avformat_alloc_output_context2(&context, av_guess_format("mjpeg", nullptr, nullptr), nullptr, jpegPath) < 0) {
    return kJpegNoOutputContext;
  }
  av::Output output(context);
  if (avio_open(&output->pb, jpegPath, AVIO_FLAG_READ_WRITE) < 0) {
    std::printf("Couldn't open output file.");
    return kJpegOpenFailed;
  }
  AVStream* stream = avformat_new_stream(output.get(), nullptr);
  if (!stream) return kJpegNoStream;
  av::CodecContext encoder;
  int code = OpenJpegEncoder(output.get(), stream, width, height, &encoder);
  if (code == kJpegSaved && avformat_write_header(output.get(), nullptr) < 0) code = kJpegHeaderFailed;
  if (code == kJpegSaved) code = EncodePicture(output.get(), encoder.get(), picture);
  if (code == kJpegEncodeFailed) std::printf("Encode Error.\n");
  if (code == kJpegSaved) {
    av_write_trailer(output.get());
    std::printf("Encode Successful.\n");
  }
  std::fflush(stdout);
  output.reset();
  // A half-written file must not pass for a snapshot.
  if (code != kJpegSaved) std::remove(jpegPath);
  return code;
}

int CaptureFrame2Jpg(const char* mediaPath, const char* jpegPath) {
  if (!mediaPath || !jpegPath) return CaptureFailure(kCaptureOpenFailed, "av open input file failed!\n");
  if (platform::FileExists(jpegPath)) std::remove(jpegPath);  // never a folder of that name
  av::Input input;
  if (av::OpenInput(mediaPath, &input) < 0) return CaptureFailure(kCaptureOpenFailed, "av open input file failed!\n");
  if (avformat_find_stream_info(input.get(), nullptr) < 0) {
    return CaptureFailure(kCaptureStreamInfoFailed, "av find stream info failed!\n");
  }
  const int streamIndex = FirstVideoStream(input.get());
  if (streamIndex < 0) return CaptureFailure(kCaptureNoVideoStream, "find video stream failed!\n");
  av::CodecContext decoder;
  switch (av::OpenDecoder(input->streams[streamIndex], &decoder)) {
    case av::DecoderStatus::kNoDecoder: return CaptureFailure(kCaptureNoDecoder, "avcode find decoder failed!\n");
    case av::DecoderStatus::kOpenFailed: return CaptureFailure(kCaptureDecoderOpenFailed, "avcode open failed!\n");
    case av::DecoderStatus::kOpened: break;
  }
  av::Frame jpegFrame(av_frame_alloc());
  if (!jpegFrame) return CaptureFailure(kCaptureFrameAllocFailed, "avcodec alloc frame failed!\n");
  if (!AllocateJpegFrame(jpegFrame.get(), decoder->width, decoder->height)) {
    return CaptureFailure(kCaptureBufferFailed, "av malloc failed!\n");
  }
  // Only the first picture is tried: when it cannot be stored, the next
  // ones would fail the same way, and the rest of the recording need not
  // be decoded to find that out.
  av::DecodePictures(
      input.get(), streamIndex, decoder.get(),
      [&](AVFrame* picture) {
        StorePicture(picture, jpegFrame.get(), jpegPath);
        return true;
      },
      /*skipBadPackets=*/true);
  return kCaptureDone;
}

int CaculateVideoBiaodingA(const char* mediaPath, const char* calibrationPath) {
  if (!mediaPath || !calibrationPath) return kCaptureOpenFailed;
  const std::string jpegPath = SnapshotPath();
  const int code = CaptureFrame2Jpg(mediaPath, jpegPath.c_str());
  if (code != kCaptureDone) return code;
  return CalcauteDingbiao(jpegPath.c_str(), calibrationPath, kRecordingLensFov);
}

}  // namespace calib
