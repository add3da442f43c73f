#include "media_input.h"

extern "C" {
#include <libavutil/avstring.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cstring>

#include "packet_queue.h"
#include "pts_list.h"

namespace domeview {
namespace {

// Socket timeout of network inputs (RTSP), microseconds.
constexpr const char* kSocketTimeoutUs = "5000000";

// The socket timeout as the media library's RTSP input names it: "stimeout"
// in older libraries, "timeout" in newer ones, which ignore "stimeout", so
// that a server that stops answering would block the open or the reads for
// good. "timeout" is set for RTSP only: other protocols read it otherwise
// (RTMP as a time to listen for a connection).
void SetSocketTimeout(AVDictionary** options, const char* path) {
  av_dict_set(options, "stimeout", kSocketTimeoutUs, 0);
  const AVInputFormat* rtsp = av_find_input_format("rtsp");
  if (!rtsp || !rtsp->priv_class || !(av_strstart(path, "rtsp:", nullptr) || av_strstart(path, "rtsps:", nullptr))) {
    return;
  }
  void* rtspClass = const_cast<AVClass**>(&rtsp->priv_class);
  if (!av_opt_find(rtspClass, "stimeout", nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ)) {
    av_dict_set(options, "timeout", kSocketTimeoutUs, 0);
  }
}

bool Known(int64_t value) { return value != kNoTimestamp; }

int64_t Milliseconds(int64_t duration, AVRational timeBase) {
  return static_cast<int64_t>(static_cast<double>(duration) * av_q2d(timeBase) * 1000.0);
}

// Opens a decoder for the stream; replaces (and frees) *slot. 0 or the
// failure: 1 no decoder, 2 the decoder does not open.
int OpenDecoder(AVStream* stream, AVCodecContext** slot, bool video) {
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  if (!codec) return 1;
  avcodec_free_context(slot);
  AVCodecContext* context = avcodec_alloc_context3(codec);
  *slot = context;
  if (!context || avcodec_parameters_to_context(context, stream->codecpar) < 0) return 2;
  context->pkt_timebase = stream->time_base;
  if (video) {
    context->pix_fmt = OrdinaryPixelFormat(context->pix_fmt);
    context->thread_count = 0;  // as many as the machine has cores
  }
  return avcodec_open2(context, codec, nullptr) < 0 ? 2 : 0;
}

// Step 4 of opening: the last audio and the last video stream win.
int ChooseStreams(video_state& vs, ErrorText& errors) {
  vs.audio_stream_index = -1;
  vs.video_stream_index = -1;
  for (unsigned i = 0; i < vs.input->nb_streams; ++i) {
    AVStream* stream = vs.input->streams[i];
    const AVMediaType type = stream->codecpar->codec_type;
    if (type == AVMEDIA_TYPE_AUDIO) {
      vs.audio_stream_index = static_cast<int>(i);
      vs.audio_stream = stream;
      const int failure = OpenDecoder(stream, &vs.audio_decoder, false);
      if (failure == 1) return errors.Set("error: codec not found for audio.\n"), kIssFailed;
      if (failure == 2) return errors.Set("error: can not open codec for audio.\n"), kIssFailed;
    } else if (type == AVMEDIA_TYPE_VIDEO) {
      vs.video_stream_index = static_cast<int>(i);
      vs.video_stream = stream;
      const AVRational rate = stream->r_frame_rate;
      vs.frame_rate = rate.den ? static_cast<float>(rate.num) / static_cast<float>(rate.den) : 0.0f;
      const int failure = OpenDecoder(stream, &vs.video_decoder, true);
      if (failure == 1) return errors.Set("error: codec not found for video.\n"), kIssFailed;
      if (failure == 2) return errors.Set("error: can not open codec for video.\n"), kIssFailed;
    }
  }
  if (vs.video_stream_index < 0) return errors.Set("error: can not find a video stream.\n"), kIssNoVideoStream;
  return kIssOk;
}

void ComputeDuration(video_state& vs) {
  DurationInputs in;
  in.frame_rate = vs.frame_rate;
  in.has_audio = vs.audio_stream != nullptr;
  if (vs.audio_stream) {
    in.audio_duration = vs.audio_stream->duration;
    in.audio_time_base = vs.clock_time_base;
  }
  in.video_duration = vs.video_stream->duration;
  in.video_time_base = vs.video_stream->time_base;
  in.frame_count = vs.video_stream->nb_frames;
  in.container_duration_us = vs.input->duration;
  vs.duration = TimeTripleOf(DurationMilliseconds(in));
}

int PrepareAudioOutput(video_state& vs, ErrorText& errors) {
  AVCodecContext* decoder = vs.audio_decoder;
  vs.output_channels = 2;
  vs.converted_bytes = av_samples_get_buffer_size(nullptr, vs.output_channels, decoder->frame_size,
                                                  AV_SAMPLE_FMT_S16, 1);
  vs.audio_buffer = static_cast<uint8_t*>(av_mallocz(kAudioBufferBytes));
  AVChannelLayout inLayout = {};
  if (decoder->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || av_channel_layout_copy(&inLayout, &decoder->ch_layout) < 0) {
    av_channel_layout_default(&inLayout, std::max(1, decoder->ch_layout.nb_channels));
  }
  AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  const int allocated = swr_alloc_set_opts2(&vs.resampler, &stereo, AV_SAMPLE_FMT_S16, decoder->sample_rate,
                                            &inLayout, decoder->sample_fmt, decoder->sample_rate, 0, nullptr);
  av_channel_layout_uninit(&inLayout);
  if (allocated < 0 || !vs.resampler || !vs.audio_buffer) {
    return errors.Set("error: can not create audio converter;\n"), kIssFailed;
  }
  if (swr_init(vs.resampler) < 0) return errors.Set("error: can not init audio converter;\n"), kIssFailed;
  vs.audio_frame = av_frame_alloc();
  if (!vs.audio_frame) return errors.Set("error: can not create audio converter;\n"), kIssFailed;
  return kIssOk;
}

}  // namespace

AVPixelFormat OrdinaryPixelFormat(AVPixelFormat format) {
  switch (format) {
    case AV_PIX_FMT_YUVJ420P: return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: return AV_PIX_FMT_YUV440P;
    default: return format;
  }
}

bool IsLiveInputFormat(const char* formatName) {
  if (!formatName) return false;
  for (const char* name : {"flv", "hls,applehttp", "hls", "rtsp"}) {
    if (std::strcmp(formatName, name) == 0) return true;
  }
  return false;
}

int64_t DurationMilliseconds(const DurationInputs& in) {
  const bool audioKnown = in.has_audio && Known(in.audio_duration);
  const bool videoKnown = Known(in.video_duration);
  int64_t ms = -1;
  if (in.frame_rate > 30 && audioKnown) {
    ms = Milliseconds(in.audio_duration, in.audio_time_base);
  } else if (in.frame_count != 0 && in.frame_rate > 0) {
    const auto byCount = static_cast<int64_t>(static_cast<double>(in.frame_count) / in.frame_rate * 1000.0);
    ms = std::max(videoKnown ? Milliseconds(in.video_duration, in.video_time_base) : 0, byCount);
  } else if (audioKnown) {
    ms = Milliseconds(in.audio_duration, in.audio_time_base);
  } else if (videoKnown) {
    ms = Milliseconds(in.video_duration, in.video_time_base);
  } else if (Known(in.container_duration_us)) {
    ms = in.container_duration_us / 1000;
  }
  return std::max<int64_t>(ms, 0);
}

ISS_TimeTriple TimeTripleOf(int64_t milliseconds) {
  const int64_t seconds = milliseconds / 1000;
  return {static_cast<int32_t>(seconds / 60), static_cast<int32_t>(seconds % 60),
          static_cast<int32_t>(milliseconds - seconds * 1000)};
}

int64_t PictureTimestamp(const AVFrame* picture, int64_t packetPts) {
  if (picture->pts != kNoTimestamp) return picture->pts;
  if (picture->best_effort_timestamp != kNoTimestamp) return picture->best_effort_timestamp;
  return packetPts;
}

bool AllocFrameRing(FrameRing& ring, int width, int height) {
  ReleaseFrameRing(ring);
  const int size = av_image_get_buffer_size(AV_PIX_FMT_YUV420P, width, height, 4);
  if (size <= 0) return false;
  ring.width = width;
  ring.height = height;
  for (int i = 0; i < kRingSize; ++i) {
    ring.frames[i] = av_frame_alloc();
    ring.buffers[i] = static_cast<uint8_t*>(av_malloc(size));
    if (!ring.frames[i] || !ring.buffers[i] || !BindSlotBuffer(ring, i)) return false;
  }
  return true;
}

bool BindSlotBuffer(FrameRing& ring, int slot) {
  AVFrame* frame = ring.frames[slot];
  av_frame_unref(frame);
  if (av_image_fill_arrays(frame->data, frame->linesize, ring.buffers[slot], AV_PIX_FMT_YUV420P, ring.width,
                           ring.height, 4) < 0) {
    return false;
  }
  frame->width = ring.width;
  frame->height = ring.height;
  frame->format = AV_PIX_FMT_YUV420P;
  frame->pts = kNoTimestamp;
  return true;
}

void ReleaseFrameRing(FrameRing& ring) {
  for (int i = 0; i < kRingSize; ++i) {
    av_frame_free(&ring.frames[i]);
    av_freep(&ring.buffers[i]);
  }
  ring.width = ring.height = 0;
  std::lock_guard<std::mutex> lock(ring.lock);
  EmptyFrameRing(ring);
}

int OpenMedia(video_state& vs, const char* path, ErrorText& errors) {
  vs.input = avformat_alloc_context();
  if (!vs.input) return errors.Set("error: couldn't allocate formate contex;\n"), kIssFailed;
  AVDictionary* options = nullptr;
  SetSocketTimeout(&options, path);
  const int opened = avformat_open_input(&vs.input, path, nullptr, &options);
  av_dict_free(&options);
  if (opened < 0) {  // the media library has freed the context
    return errors.Set("error: couldn't open input stream, code: 0x%x;\n", static_cast<unsigned>(opened)), kIssMediaNotOpened;
  }
  if (avformat_find_stream_info(vs.input, nullptr) < 0) {
    return errors.Set("error: couldn't find stream information;\n"), kIssFailed;
  }
  if (const int code = ChooseStreams(vs, errors)) return code;
  vs.clock_time_base = vs.audio_stream ? vs.audio_stream->time_base : av_d2q(0.001, 9000);
  vs.video_decoder->pkt_timebase = vs.clock_time_base;  // video packets are queued in the clock time base
  ComputeDuration(vs);

  AVCodecContext* video = vs.video_decoder;
  vs.decode_frame = av_frame_alloc();
  vs.output_format = AV_PIX_FMT_YUV420P;
  if (!vs.decode_frame || !AllocFrameRing(vs.ring, video->width, video->height)) {
    return errors.Set("error: fail to fill image arrays;\n"), kIssFailed;
  }
  vs.scaler = sws_getContext(video->width, video->height, video->pix_fmt, video->width, video->height,
                             vs.output_format, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!vs.scaler) return errors.Set("error: on createing converter context for video;\n"), kIssFailed;
  return vs.audio_stream ? PrepareAudioOutput(vs, errors) : kIssOk;
}

void ReleaseMedia(video_state& vs) {
  packet_queue_flush(vs.audio_queue);
  packet_queue_flush(vs.video_queue);
  av_freep(&vs.audio_buffer);
  av_frame_free(&vs.decode_frame);
  av_frame_free(&vs.audio_frame);
  sws_freeContext(vs.scaler);
  vs.scaler = nullptr;
  swr_free(&vs.resampler);
  avcodec_free_context(&vs.audio_decoder);
  avcodec_free_context(&vs.video_decoder);
  avformat_close_input(&vs.input);
  ReleaseFrameRing(vs.ring);
  vs.audio_stream = vs.video_stream = nullptr;
  vs.audio_stream_index = vs.video_stream_index = -1;
}

int ProbeMedia(const char* path, int* width, int* height) {
  AVFormatContext* input = nullptr;
  if (!path || avformat_open_input(&input, path, nullptr, nullptr) < 0) return 1;
  int result = 1;
  if (avformat_find_stream_info(input, nullptr) >= 0) {
    result = 0;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
      const AVCodecParameters* par = input->streams[i]->codecpar;
      if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
        *width = par->width;
        *height = par->height;
        break;
      }
    }
  }
  avformat_close_input(&input);
  return result;
}

}  // namespace domeview
