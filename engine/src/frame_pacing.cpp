// Frame timing: writing pictures into the ring, the master clock, which
// picture is due on each render pass, the end of the media, and the Seek,
// Pause and Resume operations that move or hold the timeline.

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "engine_hooks.h"
#include "iss_domeview_impl.h"
#include "media_input.h"
#include "packet_queue.h"
#include "pts_list.h"
#include "ogl_rendererMgr/ogl_rendererMgr.h"

namespace domeview {
namespace {

// A picture is due when its time is at most this far ahead of the clock.
constexpr int64_t kLeadMs = 30;
// Longest wait between two render passes: how soon events, pauses and new
// pictures are noticed when nothing is due.
constexpr int kMaxPassWaitMs = 10;
constexpr int kSeekSettleMs = 100;       // Seek lets the threads settle on the pause
constexpr int64_t kSeekClockWaitMs = 10000;  // at most, for the first picture after a seek
constexpr int kLastPictureMaxMs = 100;    // the last picture stays at most this long
// The sound (and with it the clock) starts once the decoder is this many
// pictures ahead, so that its slow first second does not leave the picture
// behind the sound.
constexpr int kPicturesBeforeSound = 8;

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

// ---------------------------------------------------------------- ring writes

// The caller holds the decoder lock, which also guards the scaler. A
// picture that already has the ring's layout and size is kept by reference
// (the decoder allocates a new one for its next picture), which spares a
// copy of every picture; any other is converted, or scaled when its size
// changed mid-stream, into the slot's own buffer.
bool ISS_DomeviewImpl::ConvertIntoSlot(const AVFrame* picture, int slot) {
  video_state& vs = *state;
  FrameRing& ring = vs.ring;
  AVFrame* target = ring.frames[slot];
  const auto format = OrdinaryPixelFormat(static_cast<AVPixelFormat>(picture->format));
  if (format == vs.output_format && picture->width == ring.width && picture->height == ring.height && picture->buf[0]) {
    av_frame_unref(target);
    if (av_frame_ref(target, picture) == 0) return true;
  }
  if (target->buf[0] && !BindSlotBuffer(ring, slot)) return false;
  SwsContext* scaler = sws_getCachedContext(vs.scaler, picture->width, picture->height, format, ring.width,
                                            ring.height, vs.output_format, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!scaler) {
    std::printf("error: on createing converter context for video;\n");
    return false;
  }
  vs.scaler = scaler;
  sws_scale(scaler, picture->data, picture->linesize, 0, picture->height, target->data, target->linesize);
  return true;
}

// `pending`: the picture waits for the render thread (and its time joins
// the pts list); otherwise it only joins the history that stepping walks.
bool ISS_DomeviewImpl::CommitSlot(int slot, int64_t pts, bool pending) {
  FrameRing& ring = state->ring;
  std::lock_guard<std::mutex> lock(ring.lock);
  ring.frames[slot]->pts = pts;
  if (pending) {
    if (!pts_list_push(ring.pts, pts)) {
      error_text.Set("error: on malloc a pts list to push to the pts queue;\n");
      return false;
    }
    ring.filled[slot] = 1;
    ++ring.count;
  }
  ring.write_index = SlotAfter(slot);
  ring.held = std::min(ring.held + 1, kRingSize);
  if (ring.held >= kPicturesBeforeSound) ring.pictures_ready = 1;
  if (!pending) ring.read_index = ring.write_index;
  return true;
}

int64_t ISS_DomeviewImpl::ReadMasterClock() {
  std::lock_guard<std::mutex> lock(state->clock_lock);
  return state->master_clock;
}

void ISS_DomeviewImpl::WriteMasterClock(int64_t value) {
  std::lock_guard<std::mutex> lock(state->clock_lock);
  state->master_clock = value;
}

int64_t ISS_DomeviewImpl::ClockToMs(int64_t value) const {
  return static_cast<int64_t>(static_cast<double>(value) * av_q2d(state->clock_time_base) * 1000.0);
}

// ---------------------------------------------------------------- pacing

// One pass of the render thread: takes the next picture from the ring when
// its time has come (at most 30 ms ahead of the clock, late ones included;
// one picture per pass, in ring order) and says how long the pass may wait
// before the next one is due.
bool ISS_DomeviewImpl::TakeDueFrame(int* waitMs) {
  FrameRing& ring = state->ring;
  const int64_t clock = ReadMasterClock();
  *waitMs = kMaxPassWaitMs;
  int slot;
  {
    // One critical section from the look to the take, so that a Seek that
    // empties the ring meanwhile cannot leave a stale picture to be taken.
    std::lock_guard<std::mutex> lock(ring.lock);
    int64_t due = 0;
    if (ring.count == 0 || !pts_list_peek(ring.pts, &due)) return false;
    const int64_t lead = ClockToMs(due - clock);
    if (lead > kLeadMs) {
      *waitMs = static_cast<int>(std::clamp<int64_t>(lead - kLeadMs, 1, kMaxPassWaitMs));
      return false;
    }
    pts_list_pop(ring.pts);
    slot = ring.read_index;
    ring.filled[slot] = 0;
    --ring.count;
    ring.read_index = SlotAfter(slot);
    ring.pinned = slot;
  }
  ShowSlot(slot);
  *waitMs = 0;  // a late picture behind this one goes on the next pass
  return true;
}

// Hands the ring picture to the renderer as the current picture. The slot
// is pinned by the caller so that the decoder does not overwrite it
// meanwhile; this unpins it.
void ISS_DomeviewImpl::ShowSlot(int slot) {
  const AVFrame* picture = state->ring.frames[slot];
  // The render thread alone sets and clears the manager, so reading the
  // pointer here needs no lock; the upload is GL work on this thread.
  if (renderer_manager) {
    renderer_manager->upload_frame(picture->data, picture->linesize, state->ring.width, state->ring.height);
  }
  if (TestHooks().picture_shown) {
    TestHooks().picture_shown({picture, ClockToMs(picture->pts), ClockToMs(ReadMasterClock())});
  }
  redraw_ = true;
  std::lock_guard<std::mutex> lock(state->ring.lock);
  state->ring.pinned = -1;
  state->ring.shown = slot;
}

// At the end of the input the decoder has been drained; once the ring is
// empty too, the last picture stays up for one frame time and playback
// ends. Not while paused: the user may still step back.
bool ISS_DomeviewImpl::CheckEndOfMedia() {
  video_state& vs = *state;
  {
    std::lock_guard<std::mutex> lock(vs.state_lock);
    if (!vs.video_drained || vs.pause_request) return end_seen_at_ = -1, false;
  }
  {
    std::lock_guard<std::mutex> lock(vs.ring.lock);
    if (vs.ring.count > 0) return end_seen_at_ = -1, false;
  }
  const int64_t now = ProcessClockMs();
  if (end_seen_at_ < 0) end_seen_at_ = now;
  const int hold = vs.frame_rate > 0 ? std::min(kLastPictureMaxMs, static_cast<int>(1000 / vs.frame_rate))
                                     : kLastPictureMaxMs;
  if (now - end_seen_at_ < hold) return false;
  std::lock_guard<std::mutex> lock(vs.state_lock);
  vs.quit_request = 1;
  return true;
}

// ---------------------------------------------------------------- Seek, Pause, Resume

int ISS_DomeviewImpl::Seek(int minutes, int seconds, int milliseconds) {
  std::lock_guard<std::mutex> control(control_lock_);
  video_state& vs = *state;
  const int64_t target = (int64_t{minutes} * 60 + seconds) * 1000 + milliseconds;
  const ISS_TimeTriple d = vs.duration;
  const int64_t duration = (int64_t{d.minutes} * 60 + d.seconds) * 1000 + d.milliseconds;
  if (target >= duration || !media_open_) {
    return error_text.Set("error: invalid seeking time: out of video time duration;\n"), kIssFailed;
  }
  // A seek lands on whole seconds; the milliseconds only take part in the range check.
  const AVRational videoBase = vs.video_stream->time_base;
  const int64_t start = vs.video_stream->start_time != kNoTimestamp ? vs.video_stream->start_time : 0;
  const int64_t timestamp = static_cast<int64_t>(static_cast<double>(target / 1000) / av_q2d(videoBase)) + start;
  {
    std::lock_guard<std::mutex> lock(vs.state_lock);
    PauseAudioDevice(true);
    vs.pause_request = 1;
    ++vs.media_serial;  // packets and pictures held across the seek are stale
  }
  SleepMs(kSeekSettleMs);
  {
    std::lock_guard<std::mutex> inputLock(vs.input_lock);
    std::lock_guard<std::mutex> decoderLock(vs.decoder_lock);
    av_seek_frame(vs.input, vs.video_stream_index, timestamp, AVSEEK_FLAG_BACKWARD);
    {
      std::lock_guard<std::mutex> lock(vs.clock_lock);
      vs.clock_start_tick = ProcessClockMs() - target;
      // Until the next sound (or picture) sets it, the clock stands at the
      // new position rather than the old one.
      vs.master_clock = av_rescale_q(timestamp, videoBase, vs.clock_time_base);
    }
    avcodec_flush_buffers(vs.video_decoder);
    packet_queue_flush(vs.video_queue);
    if (HasAudio()) {
      avcodec_flush_buffers(vs.audio_decoder);
      packet_queue_flush(vs.audio_queue);
    }
    std::lock_guard<std::mutex> lock(vs.ring.lock);
    EmptyFrameRing(vs.ring);
    vs.ring.paused = 0;
  }
  {
    std::lock_guard<std::mutex> lock(vs.state_lock);
    vs.pause_request = 0;
    vs.input_ended = vs.video_drained = 0;
    audio_bytes_left = 0;
    PauseAudioDevice(false);
  }
  if (!HasAudio()) RestartClockAtFirstPicture(kSeekClockWaitMs);
  return kIssOk;
}

int ISS_DomeviewImpl::Pause() {
  if (!playing) return kIssOk;
  video_state& vs = *state;
  {
    std::lock_guard<std::mutex> lock(vs.state_lock);
    vs.pause_request = 1;
    PauseAudioDevice(true);
  }
  {
    std::lock_guard<std::mutex> lock(vs.ring.lock);
    vs.ring.paused = 1;
  }
  paused_position = std::max<int64_t>(0, ClockToMs(ReadMasterClock()));
  std::lock_guard<std::mutex> lock(vs.view.render_lock);
  stepping = false;
  step_request = kNoStep;
  return kIssOk;
}

int ISS_DomeviewImpl::Resume() {
  if (!playing) return kIssOk;
  video_state& vs = *state;
  {
    std::lock_guard<std::mutex> lock(vs.state_lock);
    vs.pause_request = 0;
    PauseAudioDevice(false);
  }
  std::lock_guard<std::mutex> lock(vs.ring.lock);
  vs.ring.paused = 0;
  vs.ring.store_allowance = 0;
  return kIssOk;
}

}  // namespace domeview
