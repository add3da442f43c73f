// Single-frame stepping while paused. The ring keeps the pictures already
// shown until the decoder overwrites them, so stepping walks back through
// that history and forward through the pictures still waiting; past the
// newest picture it decodes one more, and before the oldest it re-reads the
// input from a little earlier (the refill). All of it runs on the render
// thread, between two passes of its frame loop.

#include <algorithm>
#include <utility>
#include <cstdio>

#include "iss_domeview_impl.h"
#include "media_input.h"
#include "packet_queue.h"
#include "pts_list.h"

namespace domeview {
namespace {

constexpr int64_t kRefillBackMs = 600;  // a refill starts this far before the picture it must reach
constexpr int kMaxPacketsPerPicture = 1000;  // gives up on an input that yields no picture

// 1 for the newest picture written, up to 30 for the slot written next.
int Age(const FrameRing& ring, int slot) { return (ring.write_index - slot - 1 + 2 * kRingSize) % kRingSize + 1; }
bool IsHeld(const FrameRing& ring, int slot) { return slot >= 0 && Age(ring, slot) <= ring.held; }

struct FrameHandle {
  AVFrame* frame = av_frame_alloc();
  AVPacket* packet = av_packet_alloc();
  ~FrameHandle() {
    av_frame_free(&frame);
    av_packet_free(&packet);
  }
  bool ok() const { return frame && packet; }
};

}  // namespace

int ISS_DomeviewImpl::StepFrame(bool forward) {
  if (!playing) return kIssOk;
  std::lock_guard<std::mutex> lock(state->view.render_lock);
  step_request = forward ? kStepForward : kStepBack;
  return kIssOk;
}

// Carries out a pending step request (ShowSlot redraws).
void ISS_DomeviewImpl::HandleStepRequest(bool paused) {
  int request;
  bool first;
  {
    // Taken, not just read: a request made while this one runs is kept.
    std::lock_guard<std::mutex> lock(state->view.render_lock);
    request = std::exchange(step_request, kNoStep);
    if (request == kNoStep || !paused) return;  // steps are for a paused picture only
    first = !stepping;
  }
  if (first) step_cursor = ShownSlot();
  const bool done = request == kStepForward ? StepForward() : StepBack(first);
  std::lock_guard<std::mutex> lock(state->view.render_lock);
  if (!done) {  // waiting for a picture: tried again next pass unless superseded
    if (step_request == kNoStep) step_request = request;
    return;
  }
  stepping = true;
}

int ISS_DomeviewImpl::ShownSlot() {
  std::lock_guard<std::mutex> lock(state->ring.lock);
  return state->ring.shown;
}

// False while the next picture is not at hand yet.
bool ISS_DomeviewImpl::StepForward() {
  FrameRing& ring = state->ring;
  int slot = -1;
  {
    std::lock_guard<std::mutex> lock(ring.lock);
    const bool onScreen = IsHeld(ring, step_cursor);
    const int next = onScreen ? SlotAfter(step_cursor) : ring.read_index;
    if (ring.count > 0 && next == ring.read_index) {  // a picture waiting to be shown
      pts_list_pop(ring.pts);
      ring.filled[next] = 0;
      --ring.count;
      ring.read_index = SlotAfter(next);
      slot = next;
    } else if (onScreen && next != ring.write_index) {  // back in the history
      slot = next;
    } else if (ring.decoder_holding) {  // the decode thread has the next picture: let it store it
      ring.store_allowance = 1;
      return false;
    }
    if (slot >= 0) ring.pinned = slot;
  }
  if (slot < 0) {
    bool wait = false;
    slot = DecodeStepPicture(&wait);
    if (wait) return false;
    if (slot < 0) return true;  // the input has nothing more
  }
  ShowStepSlot(slot);
  return true;
}

bool ISS_DomeviewImpl::StepBack(bool first) {
  // The first step back of a pause re-reads from before the pause point.
  if (first) Refill();
  int slot = OlderSlot();
  if (slot < 0 && !first && Refill()) slot = OlderSlot();
  if (slot >= 0) ShowStepSlot(slot);
  return true;
}

// The slot before the cursor when the ring still holds it (pinned), else -1.
int ISS_DomeviewImpl::OlderSlot() {
  FrameRing& ring = state->ring;
  std::lock_guard<std::mutex> lock(ring.lock);
  if (!IsHeld(ring, step_cursor) || Age(ring, step_cursor) >= ring.held) return -1;
  ring.pinned = SlotBefore(step_cursor);
  return ring.pinned;
}

void ISS_DomeviewImpl::ShowStepSlot(int slot) {
  WriteMasterClock(state->ring.frames[slot]->pts);
  step_cursor = slot;
  ShowSlot(slot);
}

// Decodes the picture after the newest one into the ring. Both media locks
// are only tried: the decode thread may be busy with its last packet (then
// it will hold a picture, which stepping asks it to store instead).
int ISS_DomeviewImpl::DecodeStepPicture(bool* wait) {
  video_state& vs = *state;
  std::unique_lock<std::mutex> inputLock(vs.input_lock, std::try_to_lock);
  std::unique_lock<std::mutex> decoderLock(vs.decoder_lock, std::try_to_lock);
  {
    std::lock_guard<std::mutex> lock(vs.ring.lock);
    if (!inputLock.owns_lock() || !decoderLock.owns_lock() || vs.ring.decoder_holding || vs.ring.count > 0) {
      if (vs.ring.decoder_holding) vs.ring.store_allowance = 1;
      *wait = true;
      return -1;
    }
  }
  FrameHandle work;
  int64_t pts = 0;
  if (!work.ok() || !DecodeNextPicture(work.frame, work.packet, true, &pts, wait)) return -1;
  return StoreHistoryPicture(work.frame, pts);
}

// Stores a picture after the newest one as already shown (stepping and the
// refill show it themselves); the caller holds the decoder lock. Returns the
// slot, pinned.
int ISS_DomeviewImpl::StoreHistoryPicture(const AVFrame* picture, int64_t pts) {
  int slot;
  {
    std::lock_guard<std::mutex> lock(state->ring.lock);
    slot = state->ring.write_index;
  }
  if (!ConvertIntoSlot(picture, slot) || !CommitSlot(slot, pts, false)) return -1;
  std::lock_guard<std::mutex> lock(state->ring.lock);
  state->ring.pinned = slot;
  return slot;
}

// The next picture of the video decoder, fed from the video queue and then
// straight from the input; the caller holds both media locks. `wait` is set
// when the read thread still holds the next video packet (unless
// `fromReaderToo` is false: after a refill that packet is stale).
bool ISS_DomeviewImpl::DecodeNextPicture(AVFrame* frame, AVPacket* packet, bool fromReaderToo, int64_t* pts,
                                         bool* wait) {
  video_state& vs = *state;
  int64_t packetPts = kNoTimestamp;
  for (int fed = 0; fed < kMaxPacketsPerPicture; ++fed) {
    const int received = avcodec_receive_frame(vs.video_decoder, frame);
    if (received == 0) {
      *pts = PictureTimestamp(frame, packetPts);
      return true;
    }
    if (received == AVERROR_EOF) return false;
    if (received != AVERROR(EAGAIN)) std::printf("caution: decode video error;\n");
    if (!NextVideoPacket(packet, fromReaderToo, wait)) {
      if (*wait) return false;
      avcodec_send_packet(vs.video_decoder, nullptr);  // end of the input: drain the decoder
      continue;
    }
    packetPts = packet->pts;
    if (avcodec_send_packet(vs.video_decoder, packet) < 0) std::printf("caution: decode video error;\n");
    av_packet_unref(packet);
  }
  return false;
}

bool ISS_DomeviewImpl::NextVideoPacket(AVPacket* packet, bool fromReaderToo, bool* wait) {
  video_state& vs = *state;
  {
    std::lock_guard<std::mutex> lock(vs.video_queue.lock);
    if (packet_queue_get(vs.video_queue, packet)) return true;
  }
  if (fromReaderToo && vs.reader_holding_video) return *wait = true, false;
  for (;;) {
    const int result = av_read_frame(vs.input, packet);
    if (result == AVERROR(EAGAIN)) return *wait = true, false;
    if (result < 0) return false;
    if (packet->stream_index == vs.video_stream_index) {
      av_packet_rescale_ts(packet, vs.video_stream->time_base, vs.clock_time_base);
      return true;
    }
    av_packet_unref(packet);  // sound read here is not played
  }
}

// Re-reads the input from 600 ms before the picture on screen (and never
// later than 600 ms before the pause point) up to that picture, keeping the
// newest 30 pictures as history; the cursor ends on that picture. False
// when nothing was re-read (the pause point had reached 0 already).
bool ISS_DomeviewImpl::Refill() {
  video_state& vs = *state;
  int64_t noted;
  {
    std::lock_guard<std::mutex> lock(vs.ring.lock);
    const bool onScreen = IsHeld(vs.ring, step_cursor) && vs.ring.frames[step_cursor]->pts != kNoTimestamp;
    noted = onScreen ? vs.ring.frames[step_cursor]->pts : 0;
  }
  if (noted == 0) noted = ReadMasterClock();
  if (paused_position == 0) return false;
  paused_position = std::max<int64_t>(0, std::min<int64_t>(paused_position, ClockToMs(noted)) - kRefillBackMs);
  ++vs.media_serial;  // what the read and decode threads hold is stale now
  std::lock_guard<std::mutex> inputLock(vs.input_lock);
  std::lock_guard<std::mutex> decoderLock(vs.decoder_lock);
  RewindForRefill(paused_position);
  FrameHandle work;
  int64_t pts = 0;
  bool wait = false;
  int last = -1;
  while (work.ok() && DecodeNextPicture(work.frame, work.packet, false, &pts, &wait)) {
    const int slot = StoreHistoryPicture(work.frame, pts);
    av_frame_unref(work.frame);
    if (slot < 0) break;
    last = slot;
    if (pts >= noted) break;
  }
  std::lock_guard<std::mutex> lock(vs.ring.lock);
  vs.ring.pinned = -1;
  step_cursor = last;
  return true;
}

// Moves the input back for a refill (whole seconds, backward to a key
// frame) and forgets every packet and picture; the caller holds both media
// locks. The audio device is paused, so sound is flushed too, and playback
// resumes with sound from where the refill stopped reading.
void ISS_DomeviewImpl::RewindForRefill(int64_t positionMs) {
  video_state& vs = *state;
  const AVRational videoBase = vs.video_stream->time_base;
  const int64_t start = vs.video_stream->start_time != kNoTimestamp ? vs.video_stream->start_time : 0;
  const int64_t timestamp = static_cast<int64_t>(static_cast<double>(positionMs / 1000) / av_q2d(videoBase)) + start;
  av_seek_frame(vs.input, vs.video_stream_index, timestamp, AVSEEK_FLAG_BACKWARD);
  avcodec_flush_buffers(vs.video_decoder);
  packet_queue_flush(vs.video_queue);
  if (HasAudio()) {
    avcodec_flush_buffers(vs.audio_decoder);
    packet_queue_flush(vs.audio_queue);
    audio_bytes_left = 0;
  }
  {
    std::lock_guard<std::mutex> lock(vs.ring.lock);
    EmptyFrameRing(vs.ring);
  }
  std::lock_guard<std::mutex> lock(vs.state_lock);
  vs.input_ended = vs.video_drained = 0;
}

}  // namespace domeview
