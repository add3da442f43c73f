// The decode thread turns video packets into pictures in the frame ring;
// the clock thread keeps the master clock for media without sound.

#include <chrono>
#include <cstdio>

#include "iss_domeview_impl.h"
#include "media_input.h"
#include "packet_queue.h"
#include "pts_list.h"
#include "thread_name.h"

namespace domeview {
namespace {

constexpr int kPausedWaitMs = 100;
constexpr int kEmptyQueueWaitMs = 10;
constexpr int kRingFullWaitMs = 10;
constexpr int kClockStepMs = 5;        // the clock thread's resolution
constexpr int kClockPausedStepMs = 10;  // while paused

enum StoreResult { kStored, kDropped, kQuit, kStoreFailed };

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

void ISS_DomeviewImpl::DecodeThreadMain() {
  NameThisThread("decode");
  SetStartState(&decode_start_state, kStarted);
  AVPacket* packet = av_packet_alloc();
  const int code = packet ? DecodeLoop(packet) : kIssFailed;
  av_packet_free(&packet);
  if (code != kIssOk) SetStartState(&decode_start_state, kStartFailed);
  EndOfThread(&decode_running);
}

int ISS_DomeviewImpl::DecodeLoop(AVPacket* packet) {
  video_state& vs = *state;
  for (;;) {
    bool drain = false;
    {
      std::unique_lock<std::mutex> lock(vs.state_lock);
      if (vs.quit_request) return kIssOk;
      if (vs.pause_request) {
        lock.unlock();
        SleepMs(kPausedWaitMs);
        continue;
      }
      drain = vs.input_ended && !vs.video_drained;
    }
    const uint32_t serial = vs.media_serial.load();
    bool got;
    {
      std::lock_guard<std::mutex> lock(vs.video_queue.lock);
      got = packet_queue_get(vs.video_queue, packet);
    }
    int code = kIssOk;
    if (got) {
      code = DecodePacket(packet, serial);
      av_packet_unref(packet);
    } else if (drain) {
      code = DrainDecoder(serial);
    } else {
      SleepMs(kEmptyQueueWaitMs);
    }
    if (code == kQuit) return kIssOk;
    if (code == kStoreFailed) return kIssFailed;
  }
}

// Sends one packet and stores every picture that comes out. Returns a
// StoreResult: kStored also covers "nothing came out".
int ISS_DomeviewImpl::DecodePacket(AVPacket* packet, uint32_t serial) {
  video_state& vs = *state;
  std::lock_guard<std::mutex> lock(vs.decoder_lock);
  if (serial != vs.media_serial.load()) return kDropped;  // queued before a Seek that flushed it
  if (avcodec_send_packet(vs.video_decoder, packet) < 0) {
    std::printf("caution: decode video error;\n");
    return kStored;
  }
  for (;;) {
    const int received = avcodec_receive_frame(vs.video_decoder, vs.decode_frame);
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return kStored;
    if (received < 0) {
      std::printf("caution: decode video error;\n");
      return kStored;
    }
    const int stored = StorePicture(vs.decode_frame, PictureTimestamp(vs.decode_frame, packet->pts), serial);
    av_frame_unref(vs.decode_frame);
    if (stored != kStored) return stored;
  }
}

// At the end of the input: the pictures the decoder still holds come out
// too, so that the last second of a recording is shown.
int ISS_DomeviewImpl::DrainDecoder(uint32_t serial) {
  video_state& vs = *state;
  std::lock_guard<std::mutex> lock(vs.decoder_lock);
  if (serial != vs.media_serial.load()) return kDropped;
  avcodec_send_packet(vs.video_decoder, nullptr);
  int received;
  while ((received = avcodec_receive_frame(vs.video_decoder, vs.decode_frame)) >= 0) {
    const int stored = StorePicture(vs.decode_frame, PictureTimestamp(vs.decode_frame, kNoTimestamp), serial);
    av_frame_unref(vs.decode_frame);
    if (stored != kStored) return stored;
  }
  std::lock_guard<std::mutex> stateLock(vs.state_lock);
  if (serial == vs.media_serial.load()) {
    vs.video_drained = 1;
    vs.ring.pictures_ready = 1;  // a media shorter than the sound's head start
  }
  return kStored;
}

// Waits for a free slot and converts the picture into it. While paused a
// picture is kept, not dropped, until frame stepping asks for it or
// playback resumes; a Seek or refill meanwhile makes it stale.
int ISS_DomeviewImpl::StorePicture(AVFrame* picture, int64_t pts, uint32_t serial) {
  video_state& vs = *state;
  FrameRing& ring = vs.ring;
  int slot = -1;
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(ring.lock);
      if (serial != vs.media_serial.load()) {
        ring.decoder_holding = 0;
        return kDropped;
      }
      const bool room = ring.count < kRingSize && ring.write_index != ring.pinned;
      if (room && (!ring.paused || ring.store_allowance > 0)) {
        if (ring.paused) --ring.store_allowance;
        ring.decoder_holding = 0;
        slot = ring.write_index;
        break;
      }
      ring.decoder_holding = 1;
    }
    {
      std::lock_guard<std::mutex> lock(vs.state_lock);
      if (vs.quit_request) return kQuit;
    }
    SleepMs(kRingFullWaitMs);
  }
  // Outside the ring lock, so that the render thread is never held up by a
  // conversion; the slot is neither filled nor pinned, and other writers
  // need the decoder lock that this thread holds.
  if (!ConvertIntoSlot(picture, slot)) return kStored;
  return CommitSlot(slot, pts, true) ? kStored : kStoreFailed;
}

// ---------------------------------------------------------------- clock thread

void ISS_DomeviewImpl::ClockThreadMain() {
  NameThisThread("clock");
  video_state& vs = *state;
  {
    std::lock_guard<std::mutex> lock(vs.clock_lock);
    vs.clock_start_tick = ProcessClockMs();
    vs.paused_milliseconds = 0;
  }
  // The clock starts at the first picture's time rather than at 0, so that
  // a recording whose timestamps start later does not wait for them.
  if (RestartClockAtFirstPicture(INT64_MAX / 2)) {
    for (;;) {
      bool paused;
      {
        std::lock_guard<std::mutex> lock(vs.state_lock);
        if (vs.quit_request) break;
        paused = vs.pause_request;
      }
      const int64_t before = ProcessClockMs();
      SleepMs(paused ? kClockPausedStepMs : kClockStepMs);
      std::lock_guard<std::mutex> lock(vs.clock_lock);
      const int64_t now = ProcessClockMs();
      if (paused) {
        vs.paused_milliseconds += now - before;
      } else {
        vs.master_clock = now - vs.clock_start_tick - vs.paused_milliseconds;
      }
    }
  }
  EndOfThread(&clock_running);
}

bool ISS_DomeviewImpl::RestartClockAtFirstPicture(int64_t maxWaitMs) {
  video_state& vs = *state;
  const int64_t giveUpAt = ProcessClockMs() + maxWaitMs;
  while (ProcessClockMs() < giveUpAt) {
    int64_t first = 0;
    if (pts_list_peek(vs.ring.pts, &first)) {
      std::lock_guard<std::mutex> lock(vs.clock_lock);
      vs.clock_start_tick = ProcessClockMs();
      vs.paused_milliseconds = -first;  // the clock time base is 1 ms without sound
      vs.master_clock = first;
      return true;
    }
    {
      std::lock_guard<std::mutex> lock(vs.state_lock);
      if (vs.quit_request) return false;
      if (!decode_running || vs.video_drained) return true;  // no picture will come
    }
    SleepMs(kClockStepMs);
  }
  return true;
}

}  // namespace domeview
