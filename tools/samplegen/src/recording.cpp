#include "samplegen/recording.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "avhandles/av_handles.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "samplegen/frame_renderer.h"
#include "samplegen/gps_track.h"

namespace samplegen {
namespace {

constexpr double kToneAmplitude = 0.25;
constexpr int kAudioBitRate = 128000;
// The MP4 muxer ends a timed-text sample with an empty one as soon as any
// packet's timestamp, compared as a raw number, passes the sample's end. A
// fine timescale keeps the subtitle times above every other stream's, so
// each GPS record stays alone in its chunk, as cameras write them.
constexpr int kSubtitleTimescale = 1000000;

using av::CodecContext;
using av::Frame;
using av::Packet;

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof(text));
  return text;
}

const char* ContainerFor(const std::string& path) {
  const std::string ext = platform::ToLowerAscii(platform::ExtensionOf(path));
  if (ext == "mp4" || ext == "mov") return "mp4";
  if (ext == "ts") return "mpegts";
  if (ext == "m3u8") return "hls";
  return nullptr;
}

// A minimal 3GPP timed-text sample description (display flags, justification,
// colours, text box, default style, a one-entry font table): what players
// expect of a subtitle track before they meet its samples.
std::vector<uint8_t> TimedTextDescription() {
  return {0, 0, 0, 0,  1, 0xFF,  0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0,
          0, 0, 0, 0, 0, 1, 0, 18, 0xFF, 0xFF, 0xFF, 0xFF,
          0, 0, 0, 18, 'f', 't', 'a', 'b', 0, 1, 0, 1, 5, 'S', 'e', 'r', 'i', 'f'};
}

// One output stream with its encoder.
struct EncodedStream {
  AVStream* stream = nullptr;
  CodecContext codec;
};

class RecordingWriter {
 public:
  explicit RecordingWriter(const RecordingSpec& spec) : spec_(spec), fixes_(MakeDrive(SecondsCovered(spec))) {}

  bool Write(std::string* error) {
    if (!Open(error)) return false;
    if (!WriteMedia(error)) return false;
    const int code = av_write_trailer(format_.get());
    format_.reset();  // the file is complete and closed before the GPS carriers touch it
    if (code < 0) return Fail(error, "cannot finish " + spec_.path + ": " + AvError(code));
    if (spec_.gps == GpsCarrier::kMp4Box && !AddGpsBox(spec_.path, fixes_, error)) return false;
    if (spec_.gps == GpsCarrier::kSidecar) return WriteSidecar(error);
    return true;
  }

 private:
  static int SecondsCovered(const RecordingSpec& spec) { return (spec.frames + spec.fps - 1) / spec.fps; }

  static bool Fail(std::string* error, std::string message) {
    *error = std::move(message);
    return false;
  }

  bool Open(std::string* error) {
    const char* container = ContainerFor(spec_.path);
    if (!container) return Fail(error, "unknown container for " + spec_.path + " (use .mp4, .ts or .m3u8)");
    if (!ValidCarrier(container)) return Fail(error, "this GPS carrier does not fit a " + std::string(container) + " file");
    AVFormatContext* context = nullptr;
    int code = avformat_alloc_output_context2(&context, nullptr, container, spec_.path.c_str());
    if (code < 0) return Fail(error, "cannot create " + spec_.path + ": " + AvError(code));
    format_.reset(context);
    format_->flags |= AVFMT_FLAG_BITEXACT;
    if (!AddVideo(error) || (spec_.audio && !AddAudio(error))) return false;
    if (spec_.gps == GpsCarrier::kSubtitleTrack) AddSubtitleTrack();

    if (!(format_->oformat->flags & AVFMT_NOFILE)) {
      code = avio_open(&format_->pb, spec_.path.c_str(), AVIO_FLAG_WRITE);
      if (code < 0) return Fail(error, "cannot write " + spec_.path + ": " + AvError(code));
    }
    AVDictionary* options = nullptr;
    if (std::strcmp(container, "hls") == 0) {
      av_dict_set(&options, "hls_time", "2", 0);
      av_dict_set(&options, "hls_list_size", "0", 0);
      av_dict_set(&options, "hls_playlist_type", "vod", 0);
    }
    code = avformat_write_header(format_.get(), &options);
    av_dict_free(&options);
    if (code < 0) return Fail(error, "cannot start " + spec_.path + ": " + AvError(code));
    return true;
  }

  bool ValidCarrier(const std::string& container) const {
    switch (spec_.gps) {
      case GpsCarrier::kTransportStream: return container == "mpegts";
      case GpsCarrier::kMp4Box:
      case GpsCarrier::kSubtitleTrack: return container == "mp4";
      case GpsCarrier::kSidecar: return !SidecarPathFor(spec_.path).empty();
      case GpsCarrier::kNone: return true;
    }
    return false;
  }

  bool OpenEncoder(EncodedStream& out, const AVCodec* codec, std::string* error) {
    if (format_->oformat->flags & AVFMT_GLOBALHEADER) out.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    out.codec->flags |= AV_CODEC_FLAG_BITEXACT;
    int code = avcodec_open2(out.codec.get(), codec, nullptr);
    if (code < 0) return Fail(error, std::string("cannot open encoder ") + codec->name + ": " + AvError(code));
    out.stream = avformat_new_stream(format_.get(), nullptr);
    if (!out.stream) return Fail(error, "cannot add a stream");
    out.stream->time_base = out.codec->time_base;
    code = avcodec_parameters_from_context(out.stream->codecpar, out.codec.get());
    return code >= 0 || Fail(error, "cannot describe a stream: " + AvError(code));
  }

  bool AddVideo(std::string* error) {
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (!codec) codec = avcodec_find_encoder(AV_CODEC_ID_H264);
    if (!codec) return Fail(error, "no H.264 encoder in this FFmpeg");
    video_.codec.reset(avcodec_alloc_context3(codec));
    AVCodecContext* c = video_.codec.get();
    c->width = spec_.width;
    c->height = spec_.height;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = {1, spec_.fps};
    c->framerate = {spec_.fps, 1};
    c->gop_size = spec_.fps;  // a key frame every second, as cameras write them
    c->keyint_min = spec_.fps;
    c->max_b_frames = 0;
    av_opt_set(c->priv_data, "preset", "ultrafast", 0);
    av_opt_set(c->priv_data, "crf", "23", 0);
    const std::string params = "keyint=" + std::to_string(spec_.fps) + ":min-keyint=" + std::to_string(spec_.fps) +
                               ":scenecut=0";
    av_opt_set(c->priv_data, "x264-params", params.c_str(), 0);
    if (!OpenEncoder(video_, codec, error)) return false;
    video_.stream->avg_frame_rate = {spec_.fps, 1};
    return true;
  }

  bool AddAudio(std::string* error) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!codec) return Fail(error, "no AAC encoder in this FFmpeg");
    audio_.codec.reset(avcodec_alloc_context3(codec));
    AVCodecContext* c = audio_.codec.get();
    c->sample_fmt = AV_SAMPLE_FMT_FLTP;
    c->sample_rate = kAudioSampleRate;
    av_channel_layout_default(&c->ch_layout, 2);
    c->bit_rate = kAudioBitRate;
    c->time_base = {1, kAudioSampleRate};
    return OpenEncoder(audio_, codec, error);
  }

  void AddSubtitleTrack() {
    subtitle_ = avformat_new_stream(format_.get(), nullptr);
    subtitle_->time_base = {1, kSubtitleTimescale};
    subtitle_->codecpar->codec_type = AVMEDIA_TYPE_SUBTITLE;
    subtitle_->codecpar->codec_id = AV_CODEC_ID_MOV_TEXT;
    const std::vector<uint8_t> description = TimedTextDescription();
    subtitle_->codecpar->extradata =
        static_cast<uint8_t*>(av_mallocz(description.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    std::memcpy(subtitle_->codecpar->extradata, description.data(), description.size());
    subtitle_->codecpar->extradata_size = static_cast<int>(description.size());
  }

  bool WriteMedia(std::string* error) {
    const FisheyeLens lens = StandardLens(spec_.width, spec_.height);
    const PerspectiveCamera rear(spec_.width, spec_.height, 180, 8, 110);
    const Projection& projection = spec_.rearCamera ? static_cast<const Projection&>(rear) : lens;
    const FrameRenderer renderer(projection, spec_.width, spec_.height);

    Frame picture(av_frame_alloc());
    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = spec_.width;
    picture->height = spec_.height;
    if (av_frame_get_buffer(picture.get(), 0) < 0) return Fail(error, "out of memory for a picture");

    for (int i = 0; i < spec_.frames; ++i) {
      if (i % spec_.fps == 0 && !WriteSecondOfGps(i / spec_.fps, error)) return false;
      if (av_frame_make_writable(picture.get()) < 0) return Fail(error, "out of memory for a picture");
      renderer.Render(i, double(i) / spec_.fps, {picture->data[0], picture->linesize[0]},
                      {picture->data[1], picture->linesize[1]}, {picture->data[2], picture->linesize[2]});
      picture->pts = i;
      if (!Encode(video_, picture.get(), error)) return false;
      if (spec_.audio && !WriteSoundUntil(int64_t(i + 1) * kAudioSampleRate / spec_.fps, error)) return false;
    }
    if (!Encode(video_, nullptr, error)) return false;
    if (spec_.audio && !Encode(audio_, nullptr, error)) return false;
    return WriteHeldBackRecord(error);
  }

  bool Encode(EncodedStream& out, const AVFrame* frame, std::string* error) {
    int code = avcodec_send_frame(out.codec.get(), frame);
    if (code < 0) return Fail(error, "encoding failed: " + AvError(code));
    Packet packet(av_packet_alloc());
    while ((code = avcodec_receive_packet(out.codec.get(), packet.get())) >= 0) {
      av_packet_rescale_ts(packet.get(), out.codec->time_base, out.stream->time_base);
      packet->stream_index = out.stream->index;
      code = av_interleaved_write_frame(format_.get(), packet.get());
      if (code < 0) return Fail(error, "writing failed: " + AvError(code));
    }
    return code == AVERROR(EAGAIN) || code == AVERROR_EOF || Fail(error, "encoding failed: " + AvError(code));
  }

  bool WriteSoundUntil(int64_t endSample, std::string* error) {
    const int frameSize = audio_.codec->frame_size;
    while (samplesWritten_ + frameSize <= endSample) {
      Frame frame(av_frame_alloc());
      frame->format = audio_.codec->sample_fmt;
      frame->sample_rate = kAudioSampleRate;
      frame->nb_samples = frameSize;
      av_channel_layout_copy(&frame->ch_layout, &audio_.codec->ch_layout);
      if (av_frame_get_buffer(frame.get(), 0) < 0) return Fail(error, "out of memory for sound");
      auto* left = reinterpret_cast<float*>(frame->data[0]);
      auto* right = reinterpret_cast<float*>(frame->data[1]);
      for (int n = 0; n < frameSize; ++n) {
        const int second = static_cast<int>((samplesWritten_ + n) / kAudioSampleRate);
        tonePhase_ += 2 * kPi * ToneFrequency(second) / kAudioSampleRate;  // phase-continuous at tone changes
        if (tonePhase_ > 2 * kPi) tonePhase_ -= 2 * kPi;
        left[n] = right[n] = static_cast<float>(kToneAmplitude * std::sin(tonePhase_));
      }
      frame->pts = samplesWritten_;
      samplesWritten_ += frameSize;
      if (!Encode(audio_, frame.get(), error)) return false;
    }
    return true;
  }

  bool WriteSecondOfGps(int second, std::string* error) {
    if (second >= static_cast<int>(fixes_.size())) return true;
    if (spec_.gps == GpsCarrier::kTransportStream) {
      // The muxer writes whole 188-byte packets, so between two frames the
      // file is at a packet boundary and the camera's own packet fits in.
      const auto packet = EncodeTsGpsPacket(fixes_[second], second, 126000 + int64_t(second) * 90000);
      avio_write(format_->pb, packet.data(), static_cast<int>(packet.size()));
    } else if (spec_.gps == GpsCarrier::kSubtitleTrack && second + 1 < static_cast<int>(fixes_.size())) {
      return WriteSubtitleRecord(second, error);
    }
    return true;
  }

  // The last record is written after all pictures and sound, so that the
  // empty sample the muxer adds at the end shares its chunk.
  bool WriteHeldBackRecord(std::string* error) {
    if (spec_.gps != GpsCarrier::kSubtitleTrack || fixes_.empty()) return true;
    const int code = av_interleaved_write_frame(format_.get(), nullptr);  // everything queued goes out first
    if (code < 0) return Fail(error, "writing failed: " + AvError(code));
    return WriteSubtitleRecord(static_cast<int>(fixes_.size()) - 1, error, av_write_frame);
  }

  bool WriteSubtitleRecord(int second, std::string* error,
                           int (*write)(AVFormatContext*, AVPacket*) = av_interleaved_write_frame) {
    const auto record = EncodeGpsRecord(fixes_[second]);
    Packet packet(av_packet_alloc());
    if (av_new_packet(packet.get(), static_cast<int>(record.size())) < 0) return Fail(error, "out of memory");
    std::memcpy(packet->data, record.data(), record.size());
    packet->stream_index = subtitle_->index;
    packet->pts = packet->dts = int64_t(second) * kSubtitleTimescale;
    packet->duration = kSubtitleTimescale;
    packet->flags |= AV_PKT_FLAG_KEY;
    const int code = write(format_.get(), packet.get());
    return code >= 0 || Fail(error, "writing GPS samples failed: " + AvError(code));
  }

  bool WriteSidecar(std::string* error) const {
    const std::string path = SidecarPathFor(spec_.path);
    platform::MakeFolders(platform::FolderOf(path));
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return Fail(error, "cannot write " + path);
    bool ok = true;
    for (const GpsFix& fix : fixes_) {
      const auto record = EncodeGpsRecord(fix);
      ok = ok && std::fwrite(record.data(), record.size(), 1, file) == 1;
    }
    ok = std::fclose(file) == 0 && ok;
    return ok || Fail(error, "cannot write " + path);
  }

  const RecordingSpec& spec_;
  const std::vector<GpsFix> fixes_;
  av::Output format_;
  EncodedStream video_, audio_;
  AVStream* subtitle_ = nullptr;
  int64_t samplesWritten_ = 0;
  double tonePhase_ = 0;
};

}  // namespace

double ToneFrequency(int second) { return 400.0 + 100.0 * (second % 8); }

std::string SidecarPathFor(const std::string& recordingPath) {
  const std::string folder = platform::FolderOf(recordingPath);
  if (folder.size() < 2 || folder[folder.size() - 2] != 'A') return {};
  std::string sidecarFolder = folder;
  sidecarFolder[sidecarFolder.size() - 2] = 'G';
  std::string name = platform::FileNameOf(recordingPath);
  name = name.substr(0, name.rfind('.')) + ".gps";
  return sidecarFolder + name;
}

bool WriteRecording(const RecordingSpec& spec, std::string* error) {
  // Checked before the writer exists: it plans the drive from the length in seconds.
  if (spec.width % 2 || spec.height % 2 || spec.width < 16 || spec.height < 16) {
    return *error = "width and height must be even and at least 16", false;
  }
  if (spec.fps <= 0 || spec.frames <= 0) return *error = "fps and frames must be positive", false;
  RecordingWriter writer(spec);
  return writer.Write(error);
}

}  // namespace samplegen
