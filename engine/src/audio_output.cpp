// Sound through SDL's audio device: the device request, the callback that
// decodes, converts to 16-bit stereo and mixes at the engine's volume, and
// the master clock that the callback drives.

#include <algorithm>
#include <cstring>

#include "iss_domeview_impl.h"
#include "packet_queue.h"

namespace domeview {

void ISS_DomeviewImpl::FillWantedSpec() {
  const AVCodecContext* decoder = state->audio_decoder;
  SDL_AudioSpec& spec = state->wanted_spec;
  spec = {};
  spec.freq = decoder->sample_rate;
  spec.format = AUDIO_S16SYS;
  spec.channels = static_cast<Uint8>(state->output_channels);
  spec.silence = 0;
  // One decoder frame per device buffer; codecs without a fixed frame size
  // get about 21 ms at 48 kHz.
  spec.samples = static_cast<Uint16>(decoder->frame_size > 0 ? decoder->frame_size : 1024);
  spec.callback = &ISS_DomeviewImpl::AudioCallback;
  spec.userdata = this;
}

// Render thread start-up, after SDL is up; the device plays at once.
int ISS_DomeviewImpl::OpenAudioDevice() {
  // No obtained spec: SDL converts to whatever the hardware wants.
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &state->wanted_spec, nullptr, 0);
  if (device == 0) return error_text.Set("error: can't open audio for SDL;\n"), kIssAudioFailed;
  {
    std::lock_guard<std::mutex> lock(state->state_lock);
    audio_device_ = device;
  }
  SDL_PauseAudioDevice(device, 0);
  return kIssOk;
}

// Render thread teardown; the caller holds the state lock.
void ISS_DomeviewImpl::CloseAudioDevice() {
  if (audio_device_ == 0) return;
  SDL_PauseAudioDevice(audio_device_, 1);
  SDL_CloseAudioDevice(audio_device_);
  audio_device_ = 0;
}

// Pause, Resume and Seek; the caller holds the state lock. Pausing waits for
// a running callback to return, which is why the callback only tries that lock.
void ISS_DomeviewImpl::PauseAudioDevice(bool pause) {
  if (HasAudio() && audio_device_ != 0) SDL_PauseAudioDevice(audio_device_, pause ? 1 : 0);
}

void ISS_DomeviewImpl::AudioCallback(void* user, Uint8* stream, int length) {
  static_cast<ISS_DomeviewImpl*>(user)->FillAudio(stream, length);
}

void ISS_DomeviewImpl::FillAudio(Uint8* stream, int length) {
  // SDL2 hands over a buffer with whatever it held before: every byte that
  // is not mixed below must play as silence.
  std::memset(stream, 0, static_cast<size_t>(length));
  {
    std::unique_lock<std::mutex> lock(state->state_lock, std::try_to_lock);
    if (!lock.owns_lock() || state->quit_request || state->pause_request) return;
  }
  // Sound and clock start once the decoder is ahead (after Play, a seek or
  // a refill), not while it is still starting up.
  if (!state->ring.pictures_ready) return;
  if (audio_bytes_left == 0 && !DecodeAudioPacket()) return;
  MixAudio(stream, length);
}

void ISS_DomeviewImpl::MixAudio(Uint8* stream, int length) {
  const uint32_t n = std::min(static_cast<uint32_t>(length), audio_bytes_left);
  SDL_MixAudioFormat(stream, audio_cursor, AUDIO_S16SYS, n, volume.load());
  audio_cursor += n;
  audio_bytes_left -= n;
}

// Decodes the next queued packet into converted audio and moves the master
// clock to it. False (leaving silence) when there is nothing to play; an
// empty queue still advances the clock by one device buffer so that the
// picture keeps moving.
bool ISS_DomeviewImpl::DecodeAudioPacket() {
  video_state& vs = *state;
  AVPacket* packet = av_packet_alloc();
  bool got = false;
  {
    std::lock_guard<std::mutex> lock(vs.audio_queue.lock);
    got = packet && packet_queue_get(vs.audio_queue, packet);
  }
  if (!got) {
    av_packet_free(&packet);
    const int64_t step = av_rescale_q(vs.wanted_spec.samples, {1, vs.wanted_spec.freq}, vs.clock_time_base);
    std::lock_guard<std::mutex> lock(vs.clock_lock);
    vs.master_clock += step;
    return false;
  }
  // One frame per packet; further frames of the same packet are not played.
  AVFrame* frame = vs.audio_frame;
  const bool decoded =
      avcodec_send_packet(vs.audio_decoder, packet) >= 0 && avcodec_receive_frame(vs.audio_decoder, frame) >= 0;
  const int64_t pts = packet->pts;
  av_packet_free(&packet);
  if (!decoded) return false;
  uint8_t* out[] = {vs.audio_buffer};
  const int samples = swr_convert(vs.resampler, out, kAudioBufferSamples,
                                  const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
  const int frameSamples = frame->nb_samples;
  while (avcodec_receive_frame(vs.audio_decoder, frame) >= 0) av_frame_unref(frame);
  if (samples <= 0) return false;
  vs.converted_bytes = samples * vs.output_channels * 2;
  {
    std::lock_guard<std::mutex> lock(vs.clock_lock);
    // A packet without a timestamp continues the clock from the last one.
    vs.master_clock = pts != kNoTimestamp
                          ? pts
                          : vs.master_clock + av_rescale_q(frameSamples, {1, vs.wanted_spec.freq}, vs.clock_time_base);
  }
  audio_bytes_left = static_cast<uint32_t>(vs.converted_bytes);
  audio_cursor = vs.audio_buffer;
  return true;
}

}  // namespace domeview
