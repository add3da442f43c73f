// The read thread: pulls packets from the input and files them into the
// video and audio packet queues, at most 50 each.

#include <chrono>
#include <cstdio>

#include "iss_domeview_impl.h"
#include "packet_queue.h"
#include "thread_name.h"

namespace domeview {
namespace {

// Waits of the read thread, milliseconds: they keep it from spinning.
constexpr int kPausedWaitMs = 100;
constexpr int kEndedWaitMs = 30;     // input at its end: wait for Seek or quit
constexpr int kAudioFullWaitMs = 20;
constexpr int kVideoFullWaitMs = 50;
constexpr int kRetryWaitMs = 10;     // the input asked to be read again later

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

void ISS_DomeviewImpl::ReadThreadMain() {
  NameThisThread("read");
  SetStartState(&read_start_state, kStarted);
  video_state& vs = *state;
  AVPacket* packet = av_packet_alloc();
  while (packet) {
    {
      std::unique_lock<std::mutex> lock(vs.state_lock);
      if (vs.quit_request) break;
      const int wait = vs.pause_request ? kPausedWaitMs : vs.input_ended ? kEndedWaitMs : 0;
      if (wait) {
        lock.unlock();
        SleepMs(wait);
        continue;
      }
    }
    const uint32_t serial = vs.media_serial.load();
    int result;
    {
      std::lock_guard<std::mutex> lock(vs.input_lock);
      result = av_read_frame(vs.input, packet);
    }
    if (result == AVERROR(EAGAIN)) {
      SleepMs(kRetryWaitMs);
      continue;
    }
    if (result < 0) {
      // End of the input, or a read error of a network stream, which ends
      // playback the same way once the queued video has been shown. A Seek
      // meanwhile has moved the input, so the end no longer holds.
      std::lock_guard<std::mutex> lock(vs.state_lock);
      if (serial == vs.media_serial.load()) vs.input_ended = 1;
      continue;
    }
    bool keepGoing = true;
    if (packet->stream_index == vs.audio_stream_index) {
      keepGoing = QueuePacket(vs.audio_queue, packet, kAudioFullWaitMs, serial);
    } else if (packet->stream_index == vs.video_stream_index) {
      // Video timestamps enter their queue in the clock time base.
      av_packet_rescale_ts(packet, vs.video_stream->time_base, vs.clock_time_base);
      vs.reader_holding_video = 1;
      keepGoing = QueuePacket(vs.video_queue, packet, kVideoFullWaitMs, serial);
      vs.reader_holding_video = 0;
    }
    av_packet_unref(packet);
    if (!keepGoing) break;
  }
  av_packet_free(&packet);
  EndOfThread(&read_running);
}

// Puts the packet once its queue has room. While paused the packet is kept
// (dropping a video packet would break decoding up to the next key frame);
// a Seek or refill meanwhile makes it stale, and it is dropped. False when
// the thread must end.
bool ISS_DomeviewImpl::QueuePacket(PacketQueue& queue, AVPacket* packet, int waitMs, uint32_t serial) {
  video_state& vs = *state;
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(queue.lock);
      if (queue.count < kMaxQueuedPackets) {
        if (!packet_queue_put(queue, packet)) {
          error_text.Set("error: on malloc a packet list to push to the packet queue;\n");
        }
        return true;
      }
    }
    {
      std::lock_guard<std::mutex> lock(vs.state_lock);
      if (vs.quit_request) return false;
    }
    if (serial != vs.media_serial.load()) return true;
    SleepMs(waitMs);
  }
}

}  // namespace domeview
