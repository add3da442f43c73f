#pragma once
// The engine's per-media state shared by its threads, declared before any
// code so that the pipeline reads from the types alone:
//
//   read thread --(video queue, audio queue)--> decode thread --(frame ring +
//   pts list)--> render thread;  audio queue --> SDL audio callback, which
//   drives the master clock (the clock thread does without sound).
//
// Every field says which lock guards it or which thread owns it.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <SDL2/SDL.h>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "domeview/iss_domeview.h"
#include "ogl_rendererMgr/view_control.h"

namespace domeview {

constexpr int kRingSize = 30;          // pictures between decoding and display
constexpr int kMaxQueuedPackets = 50;  // per packet queue; the reader waits above it
constexpr int kAudioBufferBytes = 768000;     // converted audio: 192,000 stereo 16-bit samples
constexpr int kAudioBufferSamples = 192000;   // per channel
constexpr int64_t kNoTimestamp = AV_NOPTS_VALUE;

// -- packet queue: read thread -> decode thread (video) / audio callback (audio)
struct PacketNode {
  AVPacket* packet;  // owned, taken over whole with its data reference
  PacketNode* next;
};

// Invariants: count equals the number of nodes; first and last are null
// together; the queue owns its packets. Guarded by `lock`.
struct PacketQueue {
  PacketNode* first = nullptr;
  PacketNode* last = nullptr;
  int count = 0;
  std::mutex lock;
};

// -- pts list: the presentation times of the pictures in the ring, ascending
struct PtsNode {
  int64_t value;  // clock time base
  PtsNode* previous;
  PtsNode* next;
};

// Guarded by `lock`; emptied while the ring lock is held (ring lock first).
struct PtsList {
  PtsNode* smallest = nullptr;
  PtsNode* largest = nullptr;
  int count = 0;
  std::mutex lock;
};

// -- frame ring: decode thread -> render thread, 30 YUV420P pictures
struct FrameRing {
  AVFrame* frames[kRingSize] = {};   // planes bound to buffers[i]; pts = clock time base
  uint8_t* buffers[kRingSize] = {};  // one picture each, 4-byte row alignment
  int width = 0, height = 0;         // picture size of every slot
  // -- guarded by `lock`
  std::mutex lock;
  int count = 0;        // pictures written and not yet taken, 0..30
  int write_index = 0;  // next slot the decoder fills
  int read_index = 0;   // next slot the render thread takes
  int filled[kRingSize] = {};
  // Slots written since the ring was last emptied, at most 30: the history
  // that frame stepping walks back through. The oldest held picture is at
  // (write_index - held) mod 30.
  int held = 0;
  // A slot whose picture is being read outside the lock (upload, stepping);
  // the decoder does not write into it. -1 when none.
  int pinned = -1;
  int shown = -1;  // slot of the picture on screen, -1 none (or emptied since)
  // The decode thread has a decoded picture that it could not store yet
  // (ring full, or paused). While paused it stores only what frame stepping
  // grants through `store_allowance`, so stepping never reorders pictures.
  int decoder_holding = 0;
  int store_allowance = 0;
  int paused = 0;  // pause_request as the decoder sees it: set by Pause, cleared by Resume and Seek
  PtsList pts;
  // Enough pictures have been stored since the ring was last emptied (or
  // the decoder has given its last one). Until then the sound waits, so that
  // a slow decoder start does not leave the picture behind its sound. Read
  // without the lock by the audio callback.
  std::atomic<int> pictures_ready{0};
};

// -- view block: window and viewport fields, guarded by `render_lock`
struct ViewBlock {
  SDL_Window* window = nullptr;           // render thread creates and destroys it
  const ISS_InitParams* params = nullptr;  // the host's record (not owned)
  SDL_GLContext gl_context = nullptr;
  int window_x = 0, window_y = 0, window_width = 0, window_height = 0;
  platform::HWND native_window = nullptr;
  int use_native_window = 0;
  // Draw modes, rectangles, zooms, angles and their limits, enabled flags,
  // pending requests and the ring rotation: the fields the renderer manager
  // applies to its viewports.
  ISS_ViewBlock viewports;
  std::mutex render_lock;
  int last_mouse_x = 0, last_mouse_y = 0;  // pointer at the last motion event, window pixels from the top left
};

struct video_state {
  // -- input (open procedure; then read thread, Seek and stepping, under input_lock)
  AVFormatContext* input = nullptr;
  ISS_TimeTriple duration = {};
  ISS_TimeTriple play_time = {};
  int64_t reserved_value = 0;
  int64_t play_position = 0;  // seconds

  ViewBlock view;

  // -- state lock block
  std::mutex state_lock;
  // The clock thread's reference points, written by it, Seek and Play; they
  // go with the master clock, so clock_lock guards them.
  int64_t paused_milliseconds = 0;  // time spent paused, ms
  int64_t clock_start_tick = 0;     // process clock at the start, ms
  // -- guarded by state_lock
  int quit_request = 0;
  int pause_request = 0;
  int input_ended = 0;    // the reader met the end of the input
  int video_drained = 0;  // the decoder has given up its last picture
  // Bumped by Seek and the stepping refill, which move the input: a packet or
  // picture that a thread held across one of them is stale and dropped.
  std::atomic<uint32_t> media_serial{0};
  // The read thread holds a video packet it could not queue yet (queue full).
  std::atomic<int> reader_holding_video{0};

  // -- audio block (decoder and resampler: audio callback, or Seek while the device is paused)
  AVCodecContext* audio_decoder = nullptr;
  AVStream* audio_stream = nullptr;
  int audio_stream_index = -1;
  PacketQueue audio_queue;
  SwrContext* resampler = nullptr;
  uint8_t* audio_buffer = nullptr;  // kAudioBufferBytes
  AVFrame* audio_frame = nullptr;
  int converted_bytes = 0;
  int output_channels = 2;

  // -- clock block, guarded by clock_lock
  int64_t master_clock = 0;  // clock time base
  AVRational clock_time_base = {1, 1000};
  std::mutex clock_lock;

  // -- video block (decoder and scaler: decode thread, Seek and stepping, under decoder_lock)
  AVPixelFormat output_format = AV_PIX_FMT_YUV420P;
  AVCodecContext* video_decoder = nullptr;
  int video_stream_index = -1;
  SwsContext* scaler = nullptr;
  AVStream* video_stream = nullptr;
  PacketQueue video_queue;

  FrameRing ring;

  AVFrame* decode_frame = nullptr;  // decode thread's output picture
  float frame_rate = 0;             // r_frame_rate, num / den

  SDL_AudioSpec wanted_spec = {};

  // The input and the video decoder have more than one user: the read
  // thread reads under input_lock, the decode thread decodes and stores
  // under decoder_lock, and Seek and frame stepping take both (input_lock
  // first) to move the input. Lock order: input, decoder, ring, pts list.
  std::mutex input_lock;
  std::mutex decoder_lock;
};

// Back to the initial values for a new media (the media itself must have
// been released): no streams, zero duration and play time, flags cleared,
// master clock zero, every angle limit back to -180..180. Rectangles, draw
// modes, angles and zooms of the view block stay as they are.
void ResetVideoState(video_state& vs);

// Forgets every picture of the ring (slots keep their buffers); the
// caller holds ring.lock.
void EmptyFrameRing(FrameRing& ring);

// Milliseconds of a process clock with a fixed origin.
int64_t ProcessClockMs();

}  // namespace domeview
